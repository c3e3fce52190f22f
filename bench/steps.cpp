// The launcher cut short: its own start-up and code, as src/app/main.cpp
// runs them, on a platform that ends the process at one step, so that whole
// runs up to each step can be timed against the floor. Built once per step,
// with STOP set to one of the Stop values below.
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <objbase.h>

#include "app/launcher_app.h"
#include "platform/win32_platform.h"

namespace {

enum class Stop {
  AtStart,        // before anything of the launcher's own: the program's load
  AfterCom,       // after CoInitializeEx
  AfterIni,       // after the ten settings
  AfterRegistry,  // after the registry lookups
  BeforeShell,    // just before ShellExecuteA
  AfterShell,     // right after ShellExecuteA, without CoUninitialize
  NoCom,          // the whole run, without COM
};

constexpr Stop kStop = Stop::STOP;

// The platform operations that end a step: the process ends at the first
// operation after a run of them, or, for the shell, when it is reached.
enum class Op { Other, ReadIni, ReadRegistry, Shell };

// Forwards every operation to the real Win32 layer and ends the process,
// with exit status 0 as the launcher's, where the step is over.
class StopPlatform final : public Platform {
 public:
  void SuppressErrorDialogs() override { Reach(Op::Other), real_.SuppressErrorDialogs(); }
  std::string CommandLine() override { return Reach(Op::Other), real_.CommandLine(); }
  bool IsLeadByte(char c) override { return Reach(Op::Other), real_.IsLeadByte(c); }
  std::string ReadIniString(const std::string& file, const std::string& section,
                            const std::string& key, size_t bufferSize) override {
    return Reach(Op::ReadIni), real_.ReadIniString(file, section, key, bufferSize);
  }
  bool ReadRegistryValue(RegistryRoot root, RegistryView view, const std::string& keyPath,
                         const std::string& valueName, size_t maxBytes,
                         RegistryValue* value) override {
    Reach(Op::ReadRegistry);
    return real_.ReadRegistryValue(root, view, keyPath, valueName, maxBytes, value);
  }
  RegistryView OwnView() override { return real_.OwnView(); }
  std::string ExpandEnvironment(const std::string& text) override {
    return Reach(Op::Other), real_.ExpandEnvironment(text);
  }
  bool ShellOpen(const std::string& file, const std::string& parameters) override {
    Reach(Op::Shell);
    if (kStop == Stop::BeforeShell) {
      ExitProcess(0);
    }
    return real_.ShellOpen(file, parameters);
  }
  bool GetCurrentDir(size_t bufferSize, std::string* dir) override {
    return Reach(Op::Other), real_.GetCurrentDir(bufferSize, dir);
  }
  void SetCurrentDir(const std::string& dir) override {
    Reach(Op::Other), real_.SetCurrentDir(dir);
  }
  LocalTime Now() override { return Reach(Op::Other), real_.Now(); }
  void RemoveFile(const std::string& name) override { Reach(Op::Other), real_.RemoveFile(name); }
  bool Exists(const std::string& name) override { return Reach(Op::Other), real_.Exists(name); }
  bool IsDirectory(const std::string& name) override {
    return Reach(Op::Other), real_.IsDirectory(name);
  }
  std::string FullPath(const std::string& name) override {
    return Reach(Op::Other), real_.FullPath(name);
  }
  std::string ExecutablePath() override { return Reach(Op::Other), real_.ExecutablePath(); }
  bool IsSameFile(const std::string& a, const std::string& b) override {
    return Reach(Op::Other), real_.IsSameFile(a, b);
  }
  bool CanOpenForReading(const std::string& name) override {
    return Reach(Op::Other), real_.CanOpenForReading(name);
  }
  bool ReadFileStart(const std::string& name, size_t count, std::string* start) override {
    return Reach(Op::Other), real_.ReadFileStart(name, count, start);
  }
  void AppendText(const std::string& name, const std::string& text) override {
    Reach(Op::Other), real_.AppendText(name, text);
  }

 private:
  static Op LastOp() {
    switch (kStop) {
      case Stop::AfterIni:
        return Op::ReadIni;
      case Stop::AfterRegistry:
        return Op::ReadRegistry;
      case Stop::AfterShell:
        return Op::Shell;
      default:
        return Op::Other;
    }
  }

  void Reach(Op op) {
    if (previous_ == LastOp() && op != previous_ && previous_ != Op::Other) {
      ExitProcess(0);
    }
    previous_ = op;
  }

  Win32Platform real_;
  Op previous_ = Op::Other;
};

StopPlatform thePlatform;
TraceLog theLog(thePlatform);
CLauncherApp theApp(thePlatform, theLog);

void RestrictDllSearchToSystem32() {
  SetDllDirectoryA("");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const FARPROC found =
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  if (found != nullptr) {
    reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(found))(
        LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (kStop == Stop::AtStart) {
    return 0;
  }
  RestrictDllSearchToSystem32();
  const HRESULT com = kStop == Stop::NoCom
                          ? E_FAIL
                          : CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE);
  if (kStop == Stop::AfterCom) {
    ExitProcess(0);
  }
  const int status = theApp.Run();
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return status;
}
