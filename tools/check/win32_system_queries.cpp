#include "win32_system_queries.h"

#include <share.h>
#include <windows.h>
// After windows.h, whose declarations it needs.
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <sstream>

#include "platform/text.h"
#include "platform/win32_registry.h"

namespace {

// Paths up to the longest Windows allows, not only MAX_PATH.
constexpr DWORD kLongPath = 32768;

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

// The program an App Paths key names, the user's before the machine's; a
// REG_EXPAND_SZ value arrives with its environment variables expanded.
std::string AppPath(const std::string& name) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    std::vector<char> buffer(kLongPath, '\0');
    DWORD size = kLongPath;
    if (RegGetValueA(root, (kAppPaths + name).c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                     buffer.data(), &size) == ERROR_SUCCESS) {
      return text::Unquoted(buffer.data());
    }
  }
  return std::string();
}

// The name searched in the folders of path, or, without one, along the
// search path of this process; a name without a type is tried as a .exe.
std::string Searched(const char* path, const std::string& name) {
  std::vector<char> buffer(kLongPath, '\0');
  const DWORD length = SearchPathA(path, name.c_str(), ".exe", kLongPath, buffer.data(), nullptr);
  return length == 0 || length >= kLongPath ? std::string() : std::string(buffer.data(), length);
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

FoundProgram Win32SystemQueries::FindProgram(const std::string& name,
                                             const std::string& launcherDir) {
  // App Paths keys are named with the type: notepad.exe, not notepad.
  const bool typed = *PathFindExtensionA(name.c_str()) != '\0';
  std::string path = AppPath(typed ? name : name + ".exe");
  if (!path.empty()) {
    return {path, "its App Paths entry"};
  }
  // The launcher's process searches its own folder first, where this one
  // searches the checker's.
  path = Searched(launcherDir.c_str(), name);
  if (path.empty()) {
    path = Searched(nullptr, name);
  }
  return {path, "the search path"};
}

std::string Win32SystemQueries::OpenCommand(const std::string& file) {
  const char* type = PathFindExtensionA(file.c_str());
  std::vector<char> buffer(kLongPath, '\0');
  DWORD size = kLongPath;
  if (*type == '\0' || AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, type, "open",
                                         buffer.data(), &size) != S_OK) {
    return std::string();
  }
  return buffer.data();
}

bool Win32SystemQueries::IsElevated() { return IsUserAnAdmin() != FALSE; }
