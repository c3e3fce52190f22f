#include "app/launcher_app.h"

#include "platform/text.h"

const char kDefaultLogFilename[] = "c:\\install.log";

namespace {

// The text from start to end, without the white space and quotes around it;
// the closing quote of a quoted program path goes with them.
std::string PassedAlias(const std::string& s, int start, int end) {
  static const char kPadding[] = " \t\"";
  const std::string alias = text::Mid(s, start, end - start);
  const size_t first = alias.find_first_not_of(kPadding);
  return first == std::string::npos
             ? std::string()
             : alias.substr(first, alias.find_last_not_of(kPadding) - first + 1);
}

}  // namespace

// A quoted path that ends in .exe is the program's path whole, whatever its
// folders are called (D:\Tools.exe dir\start.exe). Otherwise the first .exe
// that does not go on as a longer word or name: D:\Course.Exercises\start.exe
// and start.exe.exe end at the second one.
int ProgramNameEnd(const std::string& lower, const text::LeadByteTest& isLeadByte) {
  if (lower[0] == '"') {
    const int closing =
        text::FindAtCharStart(lower, "\"", isLeadByte, [](int pos) { return pos > 0; });
    if (closing > 4 && lower.compare(static_cast<size_t>(closing) - 4, 4, ".exe") == 0) {
      return closing - 4;
    }
  }
  return text::FindAtCharStart(lower, ".exe", isLeadByte, [&lower](int pos) {
    const char after = lower[static_cast<size_t>(pos) + 4];
    return !text::IsAsciiAlphanumeric(after) && after != '.';
  });
}

std::string ProgramPathAsWritten(const std::string& commandLine,
                                 const text::LeadByteTest& isLeadByte) {
  const int exe = ProgramNameEnd(text::AsciiLower(commandLine), isLeadByte);
  const int quote = commandLine[0] == '"' ? 1 : 0;
  return exe < 0 ? std::string() : text::Mid(commandLine, quote, exe + 4 - quote);
}

bool CLauncherApp::InitInstance() {
  if (ParseCommandLine()) {
    RunLaunch();
  }
  return false;
}

bool CLauncherApp::ParseCommandLine() {
  const std::string s = m_platform.CommandLine();
  // Searched in a lower-case copy with the same positions; every stored
  // piece is cut from s, so letter case is kept.
  const std::string lower = text::AsciiLower(s);
  const text::LeadByteTest isLeadByte = m_platform.LeadBytes();

  const int exe = ProgramNameEnd(lower, isLeadByte);
  if (exe < 0) {
    return false;
  }
  // The last separator before ".exe"; index 0 is never one.
  const int separator = text::FindLastSeparator(text::Left(lower, exe), isLeadByte);
  if (separator >= 1) {
    m_szCurrentPath = text::Left(s, separator);
    if (m_szCurrentPath[0] == '"') {
      m_szCurrentPath.erase(0, 1);
    }
    m_szCurrentExeName = text::Mid(s, separator + 1, exe - separator + 3);
    m_szAppAlias = text::Mid(s, separator + 1, exe - separator - 1);
  }

  // "-log" is the switch only after the program path and directly after
  // white space; inside a folder name (D:\Setup-Logs) or a word of the alias
  // (movie-logo) it is plain text, so it never names a file to delete.
  const int afterExe = exe + 4;
  const int logSwitch =
      text::FindAtCharStart(lower, "-log", isLeadByte, [&lower, afterExe](int pos) {
        if (pos < afterExe) {
          return false;
        }
        const char before = lower[static_cast<size_t>(pos - 1)];
        return before == ' ' || before == '\t';
      });

  m_bLogRequested = false;
  m_szPassedAlias =
      PassedAlias(s, afterExe, logSwitch >= 0 ? logSwitch : static_cast<int>(s.size()));

  if (logSwitch >= 0) {
    m_bLogRequested = true;
    m_szLogFilename = text::Mid(s, logSwitch + 4);
    const bool named = !m_szLogFilename.empty();
    if (m_szLogFilename[0] == ' ') {
      m_szLogFilename.erase(0, 1);
    }
    m_logRequest.file = named ? m_szLogFilename : kDefaultLogFilename;
    // A file that is not a trace log stays as it is, and this run writes
    // none; nor does one whose name is empty.
    m_logRequest.choice = m_logRequest.file.empty()                           ? LogChoice::NoName
                          : !MayReplaceWithLog(m_platform, m_logRequest.file) ? LogChoice::Kept
                                                                              : LogChoice::Named;
    if (m_logRequest.choice == LogChoice::Named) {
      setLogFilename(m_logRequest.file);
    }
    enableLogFile();
    LogEntry(" Log File Started");
  }

  LogEntry("Command Line Parameters passed to the launch are:");
  LogEntry(s);
  LogEntry("m_szCurrentPath=");
  LogEntry(m_szCurrentPath);
  LogEntry("m_szCurrentExeName=");
  LogEntry(m_szCurrentExeName);
  LogEntry("m_szAppAlias=");
  LogEntry(m_szAppAlias);
  LogEntry("m_szPassedAlias=");
  LogEntry(m_szPassedAlias);
  return true;
}

bool CLauncherApp::RunLaunch() {
  const LaunchResult result = RunLaunchSequence(m_platform, Names());
  m_szConfigFile = result.configFile;
  m_szSectionName = result.section;
  return result.started;
}
