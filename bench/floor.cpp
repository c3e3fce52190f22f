// The floor of a launcher run: hands the program named on its command line
// to the shell's "open" action and exits. Whatever a launcher takes on top
// of this is its own cost. Built with FLOOR_COM, it first initialises COM as
// the launcher does, and uninitialises it at the end.
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <objbase.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
#ifdef FLOOR_COM
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE);
#endif
  ShellExecuteA(nullptr, "open", commandLine, nullptr, nullptr, SW_SHOWNORMAL);
#ifdef FLOOR_COM
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
#endif
  return 0;
}
