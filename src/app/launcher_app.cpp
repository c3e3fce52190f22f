#include "app/launcher_app.h"

#include "platform/text.h"

namespace {

const char kDefaultLogFilename[] = "c:\\install.log";

bool IsAliasPadding(char c) { return c == ' ' || c == '"'; }

// Everything from the first non-space after ".exe" up to end, with spaces
// and quotes trimmed from both ends; the closing quote of a quoted program
// path goes with the leading trim.
std::string PassedAlias(const std::string& s, int start, int end) {
  int first = start;
  while (first < end && s[static_cast<size_t>(first)] == ' ') {
    ++first;
  }
  int last = end;
  while (last > first && IsAliasPadding(s[static_cast<size_t>(last - 1)])) {
    --last;
  }
  while (first < last && IsAliasPadding(s[static_cast<size_t>(first)])) {
    ++first;
  }
  return text::Mid(s, first, last - first);
}

}  // namespace

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

  // The ".exe" that ends the program's name is not the start of a longer
  // word: D:\Course.Exercises\start.exe ends at the second one.
  const int exe = text::FindAtCharStart(lower, ".exe", isLeadByte, [&lower](int pos) {
    return !text::IsAsciiAlphanumeric(lower[static_cast<size_t>(pos) + 4]);
  });
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
    if (m_szLogFilename.empty()) {
      m_log.SetFilename(kDefaultLogFilename);
    } else {
      if (m_szLogFilename[0] == ' ') {
        m_szLogFilename.erase(0, 1);
      }
      m_log.SetFilename(m_szLogFilename);
    }
    m_log.Enable();
    m_log.Write(" Log File Started");
  }

  m_log.Write("Command Line Parameters passed to the launch are:");
  m_log.Write(s);
  m_log.Write("m_szCurrentPath=");
  m_log.Write(m_szCurrentPath);
  m_log.Write("m_szCurrentExeName=");
  m_log.Write(m_szCurrentExeName);
  m_log.Write("m_szAppAlias=");
  m_log.Write(m_szAppAlias);
  m_log.Write("m_szPassedAlias=");
  m_log.Write(m_szPassedAlias);
  return true;
}
