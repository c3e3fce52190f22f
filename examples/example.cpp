// The example medium's installed program: records that it ran, with its
// command line and working directory, and exits. It shows no window.
#include <windows.h>

#include <string>

#include "record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char dir[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, dir);
  RecordRun(std::string("example.exe ran, started as: ") + GetCommandLineA() +
            ", working directory: " + dir);
  return 0;
}
