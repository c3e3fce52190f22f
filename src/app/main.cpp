// The Windows entry point: the process-wide objects, then the framework's
// start. No window is ever created.
#include <windows.h>

#include "app/launcher_app.h"
#include "log/exports.h"
#include "platform/win32_platform.h"

namespace {
Win32Platform thePlatform;
TraceLog theLog(thePlatform);
CLauncherApp theApp(thePlatform, theLog);
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InstallProcessLog(&theLog);
  return theApp.Run();
}
