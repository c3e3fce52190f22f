// The checker's own command line, its usage and its exit statuses.
#pragma once

#include <string>

struct CheckRequest {
  std::string launcherLine;  // the launcher's command line, as it would be typed
  bool showTrace = false;    // -log before it: print the trace and where it would go
};

// The checker's exit statuses.
constexpr int kWouldStart = 0;
constexpr int kWouldStartWithWarnings = 1;
constexpr int kWouldStartNothing = 2;

extern const char kCheckerUsage[];

enum class CheckerCommand { Check, Help, Wrong };

// Reads the checker's own command line as Windows hands it over, its own
// name first: [-log] <launcher path> [alias words] [-log [file]], or /?, -h
// or --help. Everything after the checker's own -log is the launcher's
// command line, read as the launcher reads its own.
CheckerCommand ParseCheckerArguments(const std::string& commandLine, CheckRequest* request);
