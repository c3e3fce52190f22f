#include "checking_platform.h"

#include "platform/text.h"

const char kTraceInMemory[] = "<the checker's copy of the trace>";

CheckingPlatform::CheckingPlatform(Platform& real, SystemQueries& system,
                                   const std::string& launcherPath, std::string commandLine)
    : m_real(real),
      m_launcherPath(launcherPath),
      m_commandLine(std::move(commandLine)),
      m_shell(real, system, text::Folder(launcherPath, real.LeadBytes())) {
  m_real.GetCurrentDir(kLongPath, &m_ownDir);
}

bool CheckingPlatform::ShellOpen(const std::string& file, const std::string& parameters) {
  std::string dir;
  m_real.GetCurrentDir(kLongPath, &dir);
  StartRecord start = m_shell.Open(file, parameters, dir);
  start.ownDir = start.dir == m_ownDir;
  m_starts[{file, parameters}] = start;
  return start.started;
}

const StartRecord* CheckingPlatform::Forecast(const std::string& file,
                                              const std::string& parameters) const {
  const auto found = m_starts.find({file, parameters});
  return found == m_starts.end() ? nullptr : &found->second;
}
