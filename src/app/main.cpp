// The Windows entry point: the process-wide objects, then the framework's
// start. No window is ever created.
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <objbase.h>

#include "app/launcher_app.h"
#include "platform/win32_platform.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

Win32Platform thePlatform;
TraceLog theLog(thePlatform);
CLauncherApp theApp(thePlatform, theLog);

// Media are writable: a DLL dropped beside the launcher or in the current
// directory must never be loaded, by us or by the shell on our behalf.
// SetDefaultDllDirectories is looked up at run time so that Windows
// versions without it still start.
void RestrictDllSearchToSystem32() {
  SetDllDirectoryA("");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const FARPROC found =
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  if (found != nullptr) {
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(found));
    setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystem32();
  // The shell's documentation asks callers of ShellExecute to initialise COM.
  // Multithreaded: this thread never pumps messages, as a single-threaded
  // apartment must, and COM hosts extensions that need one in an apartment
  // of its own. The apartment's hidden window would also, under Wine with no
  // desktop running, start one and more than double a run.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE);
  const int status = theApp.Run();
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return status;
}
