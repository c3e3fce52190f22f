// The example programs' one output: a line appended to
// %LOCALAPPDATA%\Startpoint Example\runs.txt, so that a demo can show what
// ran, with which command line, without any window.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>

inline void RecordRun(const std::string& line) {
  char appData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData))) {
    return;
  }
  const std::string dir = std::string(appData) + "\\Startpoint Example";
  CreateDirectoryA(dir.c_str(), nullptr);
  FILE* file = std::fopen((dir + "\\runs.txt").c_str(), "ab");
  if (file != nullptr) {
    std::fprintf(file, "%s\r\n", line.c_str());
    std::fclose(file);
  }
}
