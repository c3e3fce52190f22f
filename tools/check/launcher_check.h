// What the launcher would do on this machine, for a launcher path and an
// alias, and the likely mistakes in its configuration.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "system_queries.h"

struct CheckRequest {
  std::string launcherPath;  // a full path, as Explorer or AutoPlay pass it
  std::string alias;
  bool showTrace = false;  // -log: print the trace and where it would go
  std::string logFile;     // the file named after -log; empty for the default
};

// The checker's exit statuses.
constexpr int kWouldStart = 0;
constexpr int kWouldStartWithWarnings = 1;
constexpr int kWouldStartNothing = 2;

extern const char kCheckerUsage[];

enum class CheckerCommand { Check, Help, Wrong };

// Reads the checker's own arguments, the program's name left out:
// [-log] <launcher path> [alias words] [-log [file]], or /?, -h or --help.
// As on the launcher's command line, everything after a later -log names
// the log file.
CheckerCommand ParseCheckerArguments(const std::vector<std::string>& args, CheckRequest* request);

// Runs the launcher's own code over a platform that acts on nothing, prints
// what it found and would do, and returns the exit status.
int CheckLauncher(Platform& real, SystemQueries& system, const CheckRequest& request,
                  std::ostream& out);
