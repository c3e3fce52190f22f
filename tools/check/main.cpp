// startpoint-check: shows what the launcher would do on this machine for a
// launcher path and an alias, without starting anything.
#include <iostream>
#include <vector>

#include "launcher_check.h"
#include "platform/win32_platform.h"
#include "win32_system_queries.h"

int main(int argc, char** argv) {
  CheckRequest request;
  switch (ParseCheckerArguments(std::vector<std::string>(argv + 1, argv + argc), &request)) {
    case CheckerCommand::Help:
      std::cout << kCheckerUsage;
      return kWouldStart;
    case CheckerCommand::Wrong:
      std::cerr << kCheckerUsage;
      return kWouldStartNothing;
    case CheckerCommand::Check:
      break;
  }
  Win32Platform platform;
  platform.SuppressErrorDialogs();
  // A relative launcher path is checked as the full path Explorer would pass.
  request.launcherPath = platform.FullPath(request.launcherPath);
  Win32SystemQueries system;
  return CheckLauncher(platform, system, request, std::cout);
}
