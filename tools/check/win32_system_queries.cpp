#include "win32_system_queries.h"

#include <share.h>
#include <windows.h>
// After windows.h, whose declarations they need.
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <sstream>

#include "platform/text.h"
#include "platform/win32_platform.h"
#include "platform/win32_registry.h"

namespace {

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// The zero-separated list that the profile functions fill, grown until it
// fits: they report a cut list as the buffer size less two.
template <typename Read>
std::vector<std::string> ProfileList(Read read) {
  for (DWORD size = 4096;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const DWORD length = read(buffer.data(), size);
    if (length + 2 < size || size >= (1u << 24)) {
      std::vector<std::string> items;
      for (DWORD at = 0; at < length && buffer[at] != '\0';) {
        items.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(items.back().size()) + 1;
      }
      return items;
    }
  }
}

// The text that a function fills into a buffer of kLongPath characters,
// returning its length; empty when it fails or does not fit.
template <typename Fill>
std::string Filled(Fill fill) {
  std::vector<char> buffer(kLongPath, '\0');
  const UINT length = fill(buffer.data(), static_cast<UINT>(kLongPath));
  return length == 0 || length >= kLongPath ? std::string() : std::string(buffer.data(), length);
}

// True unless this process's token is refused the access to the file or
// folder by its security descriptor; a descriptor that cannot be read
// refuses nothing.
bool Allowed(const std::string& name, DWORD access) {
  const SECURITY_INFORMATION parts =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  GetFileSecurityA(name.c_str(), parts, nullptr, 0, &size);
  std::vector<char> descriptor(size);
  HANDLE process = nullptr;
  if (size == 0 || !GetFileSecurityA(name.c_str(), parts, descriptor.data(), size, &size) ||
      !OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &process)) {
    return true;
  }
  BOOL allowed = TRUE;
  HANDLE token = nullptr;
  if (DuplicateToken(process, SecurityImpersonation, &token)) {
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                               FILE_ALL_ACCESS};
    PRIVILEGE_SET privileges = {};
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    if (!AccessCheck(descriptor.data(), token, access, &mapping, &privileges, &privilegesSize,
                     &granted, &allowed)) {
      allowed = TRUE;
    }
    CloseHandle(token);
  }
  CloseHandle(process);
  return allowed != FALSE;
}

// Whether a new file could be created in the folder.
WriteAccess MayAddFile(const std::string& folder) {
  char volume[MAX_PATH] = {};
  DWORD flags = 0;
  if (GetVolumePathNameA(folder.c_str(), volume, MAX_PATH) &&
      GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
      (flags & FILE_READ_ONLY_VOLUME) != 0) {
    return WriteAccess::ReadOnlyMedium;
  }
  return Allowed(folder, FILE_ADD_FILE) ? WriteAccess::Writable : WriteAccess::Denied;
}

// The lines before the first section header: the profile functions have no
// name for them, so the file is read as text.
std::vector<std::string> LinesAboveSections(const std::string& file) {
  std::vector<std::string> lines;
  FILE* in = _fsopen(file.c_str(), "rt", _SH_DENYNO);
  if (in == nullptr) {
    return lines;
  }
  std::string content;
  for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
    content += static_cast<char>(c);
  }
  std::fclose(in);
  // A UTF-8 file may begin with its byte order mark.
  std::istringstream stream(content.rfind("\xEF\xBB\xBF", 0) == 0 ? content.substr(3) : content);
  for (std::string line; std::getline(stream, line);) {
    const size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '[') {
      break;
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::vector<std::string> Win32SystemQueries::IniSections(const std::string& file) {
  return ProfileList([&file](char* buffer, DWORD size) {
    return GetPrivateProfileSectionNamesA(buffer, size, file.c_str());
  });
}

std::vector<std::string> Win32SystemQueries::IniLines(const std::string& file,
                                                      const std::string& section) {
  if (section.empty()) {
    return LinesAboveSections(file);
  }
  return ProfileList([&file, &section](char* buffer, DWORD size) {
    return GetPrivateProfileSectionA(section.c_str(), buffer, size, file.c_str());
  });
}

bool Win32SystemQueries::RegistryKeyExists(RegistryRoot root, RegistryView view,
                                           const std::string& keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RegistryRootKey(root), keyPath.c_str(), 0,
                    KEY_QUERY_VALUE | RegistryViewFlag(view), &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

bool Win32SystemQueries::SameIniName(const std::string& a, const std::string& b) {
  // The INI functions compare names in Unicode, in any letter case.
  const auto wide = [](const std::string& name) {
    std::wstring converted(name.size(), L'\0');
    converted.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), converted.data(),
                            static_cast<int>(converted.size()))));
    return converted;
  };
  const std::wstring first = wide(a);
  const std::wstring second = wide(b);
  return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                              static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

std::string Win32SystemQueries::AppPath(const std::string& name) {
  // Wine's shell reads the machine's entries only; Windows the user's first.
  const std::vector<HKEY> roots = IsWine()
                                      ? std::vector<HKEY>{HKEY_LOCAL_MACHINE}
                                      : std::vector<HKEY>{HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
  for (HKEY root : roots) {
    std::vector<char> buffer(kLongPath, '\0');
    DWORD size = kLongPath;
    // A REG_EXPAND_SZ value arrives with its environment variables expanded.
    if (RegGetValueA(root, (kAppPaths + name).c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                     buffer.data(), &size) == ERROR_SUCCESS) {
      return text::Unquoted(buffer.data());
    }
  }
  return std::string();
}

std::string Win32SystemQueries::WindowsFolder() {
  return Filled([](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); });
}

std::string Win32SystemQueries::SystemFolder() {
  return Filled([](char* buffer, UINT size) { return GetSystemDirectoryA(buffer, size); });
}

unsigned Win32SystemQueries::AnsiCodePage() { return GetACP(); }

bool Win32SystemQueries::IsWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

OpenAction Win32SystemQueries::OpenActionFor(const std::string& file) {
  // A URL's scheme, such as http, names its type; a file's type is its
  // extension. For a scheme, only ASSOCF_IS_PROTOCOL reads the user's
  // chosen handler, as the shell does since Windows 8.
  const bool url = text::HasUrlScheme(file);
  const std::string type = url ? file.substr(0, file.find(':')) : PathFindExtensionA(file.c_str());
  const auto query = [&type, url](ASSOCSTR what) {
    std::vector<char> buffer(kLongPath, '\0');
    DWORD size = kLongPath;
    const ASSOCF flags = ASSOCF_NOTRUNCATE | (url ? ASSOCF_IS_PROTOCOL : ASSOCF_NONE);
    return !type.empty() && AssocQueryStringA(flags, what, type.c_str(), "open", buffer.data(),
                                              &size) == S_OK
               ? std::string(buffer.data())
               : std::string();
  };
  OpenAction action;
  action.command = query(ASSOCSTR_COMMAND);
  action.delegated = action.command.empty() && !query(ASSOCSTR_DELEGATEEXECUTE).empty();
  return action;
}

bool Win32SystemQueries::ReadShortcut(const std::string& file, Shortcut* shortcut) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  IPersistFile* persisted = nullptr;
  std::wstring name(file.size() + 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, name.data(), static_cast<int>(name.size()));
  std::vector<char> target(kLongPath, '\0');
  std::vector<char> arguments(kLongPath, '\0');
  std::vector<char> folder(kLongPath, '\0');
  const bool read =
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persisted))) &&
      SUCCEEDED(persisted->Load(name.c_str(), STGM_READ)) &&
      SUCCEEDED(link->GetPath(target.data(), kLongPath, nullptr, 0)) &&
      SUCCEEDED(link->GetArguments(arguments.data(), kLongPath)) &&
      SUCCEEDED(link->GetWorkingDirectory(folder.data(), kLongPath));
  if (persisted != nullptr) {
    persisted->Release();
  }
  link->Release();
  *shortcut = {target.data(), arguments.data(), folder.data()};
  return read;
}

WriteAccess Win32SystemQueries::CanWrite(const std::string& file) {
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND: {
        Win32Platform platform;
        const std::string folder = text::Folder(platform.FullPath(file), platform.LeadBytes());
        return MayAddFile(text::IsDriveAlone(folder) ? folder + "\\" : folder);
      }
      case ERROR_INVALID_NAME:
      case ERROR_BAD_PATHNAME:
        return WriteAccess::BadName;
      case ERROR_ACCESS_DENIED:
        return WriteAccess::Denied;
      default:
        return WriteAccess::NoFolder;
    }
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return WriteAccess::Folder;
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return WriteAccess::ReadOnly;
  }
  // Opened for writing as the launcher opens it; nothing changes until
  // something is written.
  const HANDLE opened = CreateFileA(file.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_WRITE_PROTECT ? WriteAccess::ReadOnlyMedium
                                                 : WriteAccess::Denied;
  }
  CloseHandle(opened);
  return WriteAccess::Writable;
}
