// The launcher's one application object: it analyses its own command line,
// then runs the launch sequence.
#pragma once

#include <string>

#include "app/win_app.h"
#include "launch/launch_sequence.h"
#include "log/exports.h"
#include "platform/text.h"

// The log file of a -log switch with no file name after it.
extern const char kDefaultLogFilename[];

// Where the ".exe" that ends the program's name stands in the lower-case
// copy of the command line, or -1 when there is none.
int ProgramNameEnd(const std::string& lower, const text::LeadByteTest& isLeadByte);

// The launcher's own path as its command line names it, up to its ".exe",
// without an opening quote; empty when the line names no program.
std::string ProgramPathAsWritten(const std::string& commandLine,
                                 const text::LeadByteTest& isLeadByte);

// What the command line's -log asked for.
enum class LogChoice {
  NotAsked,
  Named,   // file: the log
  NoName,  // a single space after -log names no file
  Kept,    // file: someone's data, not a trace log, which stays as it is
};

struct LogRequest {
  LogChoice choice = LogChoice::NotAsked;
  std::string file;
};

class CLauncherApp : public CWinApp {
 public:
  // The log becomes the process's, which the exported functions act on and
  // through which the launcher logs, for as long as this object lives.
  CLauncherApp(Platform& platform, TraceLog& log) : CWinApp(platform) { InstallProcessLog(&log); }
  ~CLauncherApp() override { InstallProcessLog(nullptr); }

  // Always false: no window, no message loop.
  bool InitInstance() override;

  // Fills the members below from the command line; false when it holds no
  // ".exe" (then nothing is stored or logged).
  bool ParseCommandLine();

  // Decides between the installed program and the installer and starts one;
  // true when a start succeeded.
  bool RunLaunch();

  // The launch sequence's view of the members below.
  LauncherNames Names() const { return {m_szCurrentPath, m_szAppAlias, m_szPassedAlias}; }

  std::string m_szAppAlias;        // own file name without ".exe"
  std::string m_szPassedAlias;     // words after the program path
  std::string m_szCurrentPath;     // own directory, no trailing separator
  std::string m_szCurrentExeName;  // own file name with ".exe"
  std::string m_szConfigFile;      // the configuration file found
  std::string m_szLogFilename;     // text after "-log", one leading space dropped
  std::string m_szSectionName;     // the configuration section used
  bool m_bLogRequested = false;
  LogRequest m_logRequest;  // what the command line's -log named, or why nothing
};
