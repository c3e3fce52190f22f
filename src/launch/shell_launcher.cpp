#include "launch/shell_launcher.h"

#include "platform/text.h"

namespace {
constexpr size_t kDirectoryBufferSize = 260;
}  // namespace

bool CShellLauncher::Launch(std::string file, std::string parameters) {
  const text::LeadByteTest isLeadByte = m_platform.LeadBytes();
  std::string program = text::Unquoted(file);
  // A path with a folder or a drive is made full from the current directory
  // as it is now, so the shell does not resolve it again from the program's
  // folder. A bare name stays bare, for the shell's own search.
  const bool bare = text::IsBareName(program, isLeadByte);
  if (!bare) {
    program = m_platform.FullPath(program);
  }
  // The shell would open a folder window for the empty text or a folder;
  // the launcher never shows one.
  if (program.empty() || m_platform.IsDirectory(program)) {
    return false;
  }
  // Starting itself again would start itself again, without end.
  if (m_platform.IsSameFile(program, m_platform.ExecutablePath())) {
    m_log.Write("Not started: it is this launcher itself");
    return false;
  }
  // Only a directory that can be given back is left: when the current one
  // cannot be saved, the program starts from it as it is. D: alone would
  // mean the current folder of drive D, not its root.
  std::string programDir;
  if (!bare) {
    programDir = text::Left(program, text::FindLastSeparator(program, isLeadByte));
    if (programDir.size() == 2 && programDir[1] == ':') {
      programDir += '\\';
    }
  }
  std::string saved;
  const bool changeDir =
      !programDir.empty() && m_platform.GetCurrentDir(kDirectoryBufferSize, &saved);
  if (changeDir) {
    m_platform.SetCurrentDir(programDir);
  }
  const bool started = m_platform.ShellOpen(program, parameters);
  if (changeDir) {
    m_platform.SetCurrentDir(saved);
  }
  return started;
}
