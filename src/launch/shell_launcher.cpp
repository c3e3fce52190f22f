#include "launch/shell_launcher.h"

#include "launch/target_rules.h"
#include "log/exports.h"
#include "platform/text.h"

namespace {

constexpr size_t kDirectoryBufferSize = 260;

}  // namespace

bool CShellLauncher::Launch(std::string file, std::string parameters, StartOutcome* outcome,
                            std::string* handed) {
  std::string program;
  const StartOutcome made = Start(file, parameters, program);
  if (outcome != nullptr) {
    *outcome = made;
  }
  if (handed != nullptr) {
    *handed = program;
  }
  return made == StartOutcome::Started;
}

StartOutcome CShellLauncher::Start(const std::string& file, const std::string& parameters,
                                   std::string& program) {
  const text::LeadByteTest isLeadByte = m_platform.LeadBytes();
  program = text::Unquoted(file);
  // A path with a folder or a drive is made full from the current directory
  // as it is now, so the shell does not resolve it again from the program's
  // folder. A bare name stays bare, for the shell's own search, and a URL
  // (http://host/x) stays as written: it names no file here.
  const bool url = text::HasUrlScheme(program);
  const bool bare = !url && text::IsBareName(program, isLeadByte);
  const bool path = !url && !bare;
  if (path) {
    program = m_platform.FullPath(program);
  }
  // The shell would open a folder window for the empty text or a folder;
  // the launcher never shows one.
  if (program.empty()) {
    return StartOutcome::Empty;
  }
  if (m_platform.IsDirectory(program)) {
    return StartOutcome::Folder;
  }
  // A file: URL names a file as a path does, and the shell starts it.
  const std::string urlPath = url ? text::FileUrlPath(program) : std::string();
  if ((!url && IsThisLauncher(program, bare)) ||
      (!urlPath.empty() && IsThisLauncher(urlPath, false))) {
    LogEntry("Not started: it is this launcher itself");
    return StartOutcome::Itself;
  }
  // Only a directory that can be given back is left: when the current one
  // cannot be saved, the program starts from it as it is. D: alone would
  // mean the current folder of drive D, not its root.
  std::string programDir;
  if (path) {
    programDir = text::Folder(program, isLeadByte);
    if (text::IsDriveAlone(programDir)) {
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
  return started ? StartOutcome::Started : StartOutcome::Failed;
}

// Starting itself again would start itself again, without end. A bare name
// is looked for first in the current directory (Windows) or in the starting
// program's own folder (Wine): either leads to the launcher's file only when
// the name names it in the launcher's own folder. A name without a type
// leads to it too when the shell adds .exe.
bool CShellLauncher::IsThisLauncher(const std::string& program, bool bare) {
  const text::LeadByteTest isLeadByte = m_platform.LeadBytes();
  const std::string self = m_platform.ExecutablePath();
  const std::string candidate =
      bare ? JoinPath(text::Folder(self, isLeadByte), program, isLeadByte) : program;
  return m_platform.IsSameFile(candidate, self) ||
         (!text::HasType(program, isLeadByte) && !m_platform.Exists(candidate) &&
          m_platform.IsSameFile(candidate + ".exe", self));
}
