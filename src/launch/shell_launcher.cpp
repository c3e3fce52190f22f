#include "launch/shell_launcher.h"

#include "platform/text.h"

namespace {
constexpr size_t kDirectoryBufferSize = 260;
}  // namespace

bool CShellLauncher::Launch(std::string file, std::string parameters) {
  // The shell would open a folder window for the empty text or a folder;
  // the launcher never shows one.
  if (file.empty() || m_platform.IsDirectory(file)) {
    return false;
  }
  // Only a directory that can be given back is left: when the current one
  // cannot be saved, the program starts from it as it is.
  std::string saved;
  const std::string programDir = text::Left(file, text::FindLast(file, '\\'));
  const bool changeDir =
      !programDir.empty() && m_platform.GetCurrentDir(kDirectoryBufferSize, &saved);
  if (changeDir) {
    m_platform.SetCurrentDir(programDir);
  }
  const bool started = m_platform.ShellOpen(file, parameters);
  if (changeDir) {
    m_platform.SetCurrentDir(saved);
  }
  return started;
}
