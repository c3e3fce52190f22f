// Stands in for an installer or installed program: appends how it was
// started (its own path, command line and working directory, separated by
// tabs) as one line to C:\probe-starts.txt, then exits.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH] = {};
  char dir[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  GetCurrentDirectoryA(MAX_PATH, dir);
  FILE* log = std::fopen("C:\\probe-starts.txt", "ab");
  if (log != nullptr) {
    std::fprintf(log, "%s\t%s\t%s\n", self, GetCommandLineA(), dir);
    std::fclose(log);
  }
  return 0;
}
