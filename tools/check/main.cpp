// startpoint-check: shows what the launcher would do on this machine for a
// launcher path and an alias, without starting anything.
#include <windows.h>

#include <iostream>
#include <vector>

#include "launcher_check.h"
#include "platform/win32_platform.h"

namespace {

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

class Win32IniLayout final : public IniLayout {
 public:
  std::vector<std::string> Sections(const std::string& file) override {
    return ProfileList([&file](char* buffer, DWORD size) {
      return GetPrivateProfileSectionNamesA(buffer, size, file.c_str());
    });
  }
  std::vector<std::string> Lines(const std::string& file, const std::string& section) override {
    return ProfileList([&file, &section](char* buffer, DWORD size) {
      return GetPrivateProfileSectionA(section.c_str(), buffer, size, file.c_str());
    });
  }
};

std::string FullPath(const std::string& path) {
  std::vector<char> buffer(32768, '\0');
  const DWORD length =
      GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  return length == 0 || length >= buffer.size() ? path : std::string(buffer.data(), length);
}

}  // namespace

int main(int argc, char** argv) {
  CheckRequest request;
  int next = 1;
  if (next < argc && lstrcmpiA(argv[next], "-log") == 0) {
    request.showTrace = true;
    ++next;
  }
  if (next >= argc) {
    std::cerr << "usage: startpoint-check [-log] <path of the launcher, such as "
                 "D:\\start.exe> [alias]\n";
    return kWouldStartNothing;
  }
  request.launcherPath = FullPath(argv[next++]);
  for (; next < argc; ++next) {
    request.alias += (request.alias.empty() ? "" : " ") + std::string(argv[next]);
  }

  Win32Platform platform;
  platform.SuppressErrorDialogs();
  Win32IniLayout ini;
  return CheckLauncher(platform, ini, request, std::cout);
}
