#include "checking_platform.h"

namespace {

constexpr size_t kDirectoryBufferSize = 260;

// The types the shell starts as programs; every other file is a document,
// which needs an "open" action for its type.
bool IsProgramType(const std::string& file) {
  const std::string lower = text::AsciiLower(file);
  for (const char* extension : {".exe", ".com", ".bat", ".cmd"}) {
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, extension) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool CheckingPlatform::ReadRegistryValue(RegistryRoot root, RegistryView view,
                                         const std::string& keyPath, const std::string& valueName,
                                         size_t maxBytes, RegistryValue* value) {
  const bool found = m_real.ReadRegistryValue(root, view, keyPath, valueName, maxBytes, value);
  m_registryReads.push_back(
      {root, view, keyPath, valueName, found, found ? *value : RegistryValue()});
  return found;
}

bool CheckingPlatform::ShellOpen(const std::string& file, const std::string& parameters) {
  StartRecord start;
  start.file = start.program = file;
  start.parameters = parameters;
  m_real.GetCurrentDir(kDirectoryBufferSize, &start.dir);
  start.started = PredictShell(start);
  m_starts.push_back(start);
  return start.started;
}

// The shell searches for a name without a folder or drive as the launcher's
// process would; any other file must exist and be readable, and a document
// must have an "open" action for its type.
bool CheckingPlatform::PredictShell(StartRecord& start) {
  const text::LeadByteTest isLeadByte = LeadBytes();
  if (text::IsBareName(start.file, isLeadByte)) {
    const FoundProgram found = m_system.FindProgram(
        start.file,
        text::Left(m_launcherPath, text::FindLastSeparator(m_launcherPath, isLeadByte)));
    if (found.path.empty()) {
      start.rule = "a bare name that neither App Paths nor the search path finds";
      return false;
    }
    start.program = found.path;
    start.rule = "a bare name, found by " + found.rule + ": ";
  }
  if (!m_real.CanOpenForReading(start.program)) {
    start.rule += "no readable file";
    return false;
  }
  if (IsProgramType(start.program)) {
    start.rule += "a program that exists and can be read";
    return true;
  }
  const std::string command = m_system.OpenCommand(start.program);
  start.rule += command.empty() ? "a document whose type has no \"open\" action"
                                : "a document, opened by " + command;
  return !command.empty();
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

void CheckingPlatform::Refused(const std::string& file, const char* rule, bool itself) {
  StartRecord start;
  start.file = start.program = file;
  start.rule = rule;
  start.itself = itself;
  m_starts.push_back(start);
}

bool CheckingPlatform::CanOpenForReading(const std::string& name) {
  const bool readable = m_real.CanOpenForReading(name);
  m_probes.push_back({name, readable});
  return readable;
}
