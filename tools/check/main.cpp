// startpoint-check: shows what the launcher would do on this machine for the
// command line it would be started with, without starting anything.
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <objbase.h>

#include <iostream>

#include "check_report.h"
#include "platform/win32_platform.h"
#include "win32_system_queries.h"

int main() {
  Win32Platform platform;
  CheckRequest request;
  // The command line as Windows hands it over: quotes and runs of spaces
  // reach the launcher as typed, and so they must reach the check.
  switch (ParseCheckerArguments(platform.CommandLine(), &request)) {
    case CheckerCommand::Help:
      std::cout << kCheckerUsage;
      return kWouldStart;
    case CheckerCommand::Wrong:
      std::cerr << kCheckerUsage;
      return kWouldStartNothing;
    case CheckerCommand::Check:
      break;
  }
  platform.SuppressErrorDialogs();
  // Shortcuts are read through COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  Win32SystemQueries system;
  const int status = CheckLauncher(platform, system, request, std::cout);
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return status;
}
