#include "checking_platform.h"

#include "platform/text.h"

const char kTraceInMemory[] = "<the checker's copy of the trace>";

namespace {

// Enough for any directory, so that a long one is shown, not lost.
constexpr size_t kLongPath = 32768;

}  // namespace

CheckingPlatform::CheckingPlatform(Platform& real, SystemQueries& system,
                                   const std::string& launcherPath, std::string commandLine)
    : m_real(real),
      m_launcherPath(launcherPath),
      m_commandLine(std::move(commandLine)),
      m_shell(real, system, text::Folder(launcherPath, real.LeadBytes())),
      m_logFile(kTraceInMemory) {
  m_real.GetCurrentDir(kLongPath, &m_ownDir);
}

bool CheckingPlatform::ReadRegistryValue(RegistryRoot root, RegistryView view,
                                         const std::string& keyPath, const std::string& valueName,
                                         size_t maxBytes, RegistryValue* value) {
  const bool found = m_real.ReadRegistryValue(root, view, keyPath, valueName, maxBytes, value);
  m_registryReads.push_back(
      {root, view, keyPath, valueName, found, found ? *value : RegistryValue()});
  return found;
}

bool CheckingPlatform::ShellOpen(const std::string& file, const std::string& parameters) {
  std::string dir;
  m_real.GetCurrentDir(kLongPath, &dir);
  StartRecord start = m_shell.Open(file, parameters, dir);
  start.file = AsRead(file);
  start.ownDir = start.dir == m_ownDir;
  m_starts.push_back(start);
  return start.started;
}

bool CheckingPlatform::IsDirectory(const std::string& name) {
  const bool folder = m_real.IsDirectory(name);
  if (folder) {
    Refused(name, "a folder, which the launcher never hands to the shell", false);
  }
  return folder;
}

bool CheckingPlatform::IsSameFile(const std::string& a, const std::string& b) {
  const bool same = m_real.IsSameFile(a, b);
  if (same) {
    Refused(a, "this launcher itself, which it never starts", true);
  }
  return same;
}

std::string CheckingPlatform::FullPath(const std::string& name) {
  const std::string full = m_real.FullPath(name);
  m_read[full] = name;
  return full;
}

void CheckingPlatform::Refused(const std::string& file, const char* rule, bool itself) {
  StartRecord start;
  start.file = AsRead(file);
  start.rule = rule;
  start.itself = itself;
  m_starts.push_back(start);
}

std::string CheckingPlatform::AsRead(const std::string& full) const {
  const auto read = m_read.find(full);
  return read == m_read.end() ? full : read->second;
}

bool CheckingPlatform::CanOpenForReading(const std::string& name) {
  const bool readable = m_real.CanOpenForReading(name);
  m_probes.push_back({name, readable});
  return readable;
}
