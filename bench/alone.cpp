// One of the launcher's steps alone, in a program that imports what the
// launcher imports and does nothing else, so that a whole run of it shows
// what that step costs a process under Wine.
//
//   alone.exe STEP DIR
//
// DIR is the medium's folder of one build (D:\x86), laid out as bench/run.sh
// lays it out. STEP is one of:
//   nothing      only the program's start and end
//   com          CoInitializeEx as the launcher calls it, and CoUninitialize
//   ini          the ten settings read from Title\start.ini
//   same-file    the identity (volume serial number, file index) of the
//                installer and of the launcher, as the launcher compares them
//                before a start
//   log          42 log entries as the launcher appends them: open, lock a
//                byte, go to the end, write, unlock, close
//   log-no-lock  the same entries without the lock
//   shell        the installer handed to the shell, as the floor hands it
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr int kEntries = 42;
const char kEntry[] = "(12/8/2025, 0:00:00:000AM) Trying to Launch installer now:\r\n";

void Identify(const std::string& name) {
  const HANDLE file =
      CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info;
  GetFileInformationByHandle(file, &info);
  CloseHandle(file);
}

void AppendEntry(const std::string& name, bool lock) {
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  OVERLAPPED turn = {};
  turn.OffsetHigh = 0x7FFFFFFF;
  if (lock) {
    LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn);
  }
  LARGE_INTEGER end = {};
  SetFilePointerEx(file, end, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, kEntry, sizeof kEntry - 1, &written, nullptr);
  if (lock) {
    UnlockFileEx(file, 0, 1, 0, &turn);
  }
  CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc != 3) {
    return 2;
  }
  const std::string step = __argv[1];
  const std::string dir = __argv[2];
  if (step == "com") {
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE))) {
      CoUninitialize();
    }
  } else if (step == "ini") {
    char value[260];
    for (int i = 0; i < 10; ++i) {
      GetPrivateProfileStringA("start", "InstallFilename", "", value, sizeof value,
                               (dir + "\\Title\\start.ini").c_str());
    }
  } else if (step == "same-file") {
    Identify(dir + "\\Setup\\noop.exe");
    Identify(dir + "\\Title\\start.exe");
  } else if (step == "log" || step == "log-no-lock") {
    const std::string log = dir + "\\alone.log";
    for (int i = 0; i < kEntries; ++i) {
      AppendEntry(log, step == "log");
    }
    DeleteFileA(log.c_str());
  } else if (step == "shell") {
    ShellExecuteA(nullptr, "open", (dir + "\\Setup\\noop.exe").c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
  } else if (step != "nothing") {
    return 2;
  }
  return 0;
}
