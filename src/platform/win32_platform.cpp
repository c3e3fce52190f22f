#include "platform/win32_platform.h"

#include <share.h>
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "platform/win32_registry.h"

HKEY RegistryRootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::Users:
      return HKEY_USERS;
    case RegistryRoot::LocalMachine:
      break;
  }
  return HKEY_LOCAL_MACHINE;
}

REGSAM RegistryViewFlag(RegistryView view) {
  switch (view) {
    case RegistryView::Bits32:
      return KEY_WOW64_32KEY;
    case RegistryView::Bits64:
      return KEY_WOW64_64KEY;
    case RegistryView::Own:
      break;
  }
  return 0;
}

namespace {

FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// The volume and the file index that name one file, folders included.
bool FileIdentity(const std::string& name, BY_HANDLE_FILE_INFORMATION* info) {
  const HANDLE file =
      CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  const bool known = GetFileInformationByHandle(file, info) != FALSE;
  CloseHandle(file);
  return known;
}

}  // namespace

void Win32Platform::SuppressErrorDialogs() {
  const UINT mode = SetErrorMode(0);
  SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

std::string Win32Platform::CommandLine() {
  const char* line = GetCommandLineA();
  return line != nullptr ? std::string(line) : std::string();
}

bool Win32Platform::IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE; }

std::string Win32Platform::ReadIniString(const std::string& file, const std::string& section,
                                         const std::string& key, size_t bufferSize) {
  std::vector<char> buffer(bufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), file.c_str());
  return std::string(buffer.data(), length);
}

bool Win32Platform::ReadRegistryValue(RegistryRoot root, RegistryView view,
                                      const std::string& keyPath, const std::string& valueName,
                                      size_t maxBytes, RegistryValue* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RegistryRootKey(root), keyPath.c_str(), 0,
                    KEY_QUERY_VALUE | RegistryViewFlag(view), &key) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<BYTE> buffer(maxBytes, 0);
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(buffer.size());
  const LONG status =
      RegQueryValueExA(key, valueName.c_str(), nullptr, &type, buffer.data(), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || size > buffer.size()) {
    return false;
  }
  value->data.assign(reinterpret_cast<const char*>(buffer.data()), size);
  value->expandable = type == REG_EXPAND_SZ;
  return true;
}

std::string Win32Platform::ExpandEnvironment(const std::string& text) {
  std::vector<char> buffer(kLongPath, '\0');
  const DWORD length = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), kLongPath);
  return length == 0 || length > kLongPath ? text : std::string(buffer.data());
}

bool Win32Platform::ShellOpen(const std::string& file, const std::string& parameters) {
  const HINSTANCE result =
      ShellExecuteA(nullptr, "open", file.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Platform::GetCurrentDir(size_t bufferSize, std::string* dir) {
  std::vector<char> buffer(bufferSize, '\0');
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) {
    return false;
  }
  dir->assign(buffer.data(), length);
  return true;
}

void Win32Platform::SetCurrentDir(const std::string& dir) { SetCurrentDirectoryA(dir.c_str()); }

LocalTime Win32Platform::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.milliseconds = now.wMilliseconds;
  return time;
}

void Win32Platform::RemoveFile(const std::string& name) { DeleteFileA(name.c_str()); }

bool Win32Platform::Exists(const std::string& name) {
  return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Platform::IsDirectory(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Win32Platform::FullPath(const std::string& name) {
  std::vector<char> buffer(kLongPath, '\0');
  const DWORD length = GetFullPathNameA(name.c_str(), kLongPath, buffer.data(), nullptr);
  return length == 0 || length >= kLongPath ? name : std::string(buffer.data(), length);
}

std::string Win32Platform::ExecutablePath() {
  std::vector<char> buffer(kLongPath, '\0');
  const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), kLongPath);
  const std::string path(buffer.data(), length < kLongPath ? length : 0);
  // Wine names a program started from a share UNC\server\share\..., without
  // the \\?\ in front; no real module path begins so.
  return path.compare(0, 4, "UNC\\") == 0 ? "\\\\" + path.substr(4) : path;
}

bool Win32Platform::IsSameFile(const std::string& a, const std::string& b) {
  // Opening a file for its identity is what costs (under Wine each open is
  // a round trip to the server), so the sizes, which come without an open,
  // go first.
  return IsOneFile({SizeOf(a), [&a] { return IdentityOf(a); }},
                   {SizeOf(b), [&b] { return IdentityOf(b); }}, [&] {
                     // The full paths in any letter case.
                     return lstrcmpiA(FullPath(a).c_str(), FullPath(b).c_str()) == 0;
                   });
}

bool Win32Platform::CanOpenForReading(const std::string& name) {
  // No sharing restriction: a file that another program holds open counts.
  FILE* file = _fsopen(name.c_str(), "rt", _SH_DENYNO);
  if (file == nullptr) {
    return false;
  }
  std::fclose(file);
  return true;
}

bool Win32Platform::ReadFileStart(const std::string& name, size_t count, std::string* start) {
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  std::vector<char> buffer(count, '\0');
  DWORD read = 0;
  const bool done =
      ReadFile(file, buffer.data(), static_cast<DWORD>(count), &read, nullptr) != FALSE;
  CloseHandle(file);
  start->assign(buffer.data(), read);
  return done;
}

void Win32Platform::AppendText(const std::string& name, const std::string& text) {
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  // Launchers writing one log at the same time take turns, so that neither
  // overwrites the other's entry between finding the end and writing. The
  // turn is a lock on one byte far past any real data: readers of the log
  // are never blocked.
  OVERLAPPED turn = {};
  turn.OffsetHigh = 0x7FFFFFFF;
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != FALSE;
  // Text mode's line ends are written here: a line feed as CR LF.
  std::string data;
  for (char c : text) {
    if (c == '\n') {
      data += '\r';
    }
    data += c;
  }
  LARGE_INTEGER end = {};
  SetFilePointerEx(file, end, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  if (locked) {
    UnlockFileEx(file, 0, 1, 0, &turn);
  }
  CloseHandle(file);
}

std::optional<unsigned long long> Win32Platform::SizeOf(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  return GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data)
             ? std::optional<unsigned long long>(
                   (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow)
             : std::nullopt;
}

FileId Win32Platform::IdentityOf(const std::string& name) {
  BY_HANDLE_FILE_INFORMATION info = {};
  return FileIdentity(name, &info) ? IdOf(info) : FileId();
}

// A build's pointer size is its bitness, and so the view it reads.
RegistryView Win32Platform::OwnView() {
  return sizeof(void*) == 8 ? RegistryView::Bits64 : RegistryView::Bits32;
}
