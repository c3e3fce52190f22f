// The example medium's installer: copies the example program from beside
// itself into Program Files and writes the registry values that the example
// start.ini names. It shows no window; its exit status tells what failed.
#include <windows.h>

#include <string>

#include "record.h"

namespace {

const char kProductKey[] = "Software\\Startpoint Example";
const char kProgramName[] = "example.exe";

std::string OwnDirectory() {
  char self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string path(self, length);
  return path.substr(0, path.rfind('\\'));
}

bool SetText(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char programFiles[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles))) {
    return 1;
  }
  const std::string dir = std::string(programFiles) + "\\Startpoint Example";
  const std::string program = dir + "\\" + kProgramName;
  CreateDirectoryA(dir.c_str(), nullptr);  // fails harmlessly when it exists
  if (!CopyFileA((OwnDirectory() + "\\" + kProgramName).c_str(), program.c_str(), FALSE)) {
    return 2;
  }
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return 3;
  }
  // One value for each way start.ini finds the program.
  const bool written = SetText(key, "ProgramPath", program) && SetText(key, "InstallDir", dir) &&
                       SetText(key, "ProgramName", kProgramName);
  RegCloseKey(key);
  if (!written) {
    return 3;
  }
  RecordRun(std::string("setup.exe installed ") + program + ", started as: " + GetCommandLineA());
  return 0;
}
