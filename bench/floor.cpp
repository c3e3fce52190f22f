// The floor of a launcher run: hands the program named on its command line
// to the shell's "open" action and exits. Whatever a launcher takes on top
// of this is its own cost.
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  ShellExecuteA(nullptr, "open", commandLine, nullptr, nullptr, SW_SHOWNORMAL);
  return 0;
}
