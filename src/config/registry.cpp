#include "config/registry.h"

namespace {

struct RootName {
  const char* name;
  RegistryRoot root;
};

const RootName kRootNames[] = {
    {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {"HKEY_USERS", RegistryRoot::Users},
};

RegistryView ViewAfter(const std::string& pathText, int at) {
  const std::string suffix = text::Mid(pathText, at, 2);
  return suffix == "32"   ? RegistryView::Bits32
         : suffix == "64" ? RegistryView::Bits64
                          : RegistryView::Own;
}

}  // namespace

const char* RegistryRootName(RegistryRoot root) {
  for (const RootName& entry : kRootNames) {
    if (entry.root == root) {
      return entry.name;
    }
  }
  return kRootNames[0].name;
}

bool ParseRegistryPath(const std::string& pathText, const text::LeadByteTest& isLeadByte,
                       RegistryLocation* location) {
  for (const RootName& candidate : kRootNames) {
    const std::string_view name = candidate.name;
    const int at = text::Find(pathText, name);
    if (at < 0) {
      continue;
    }
    const int firstSeparator = text::FindAtCharStart(pathText, "\\", isLeadByte);
    const std::string rest =
        firstSeparator < 0 ? pathText : text::Mid(pathText, firstSeparator + 1);
    const int lastSeparator = text::FindLastOf(rest, "\\", isLeadByte);
    location->root = candidate.root;
    location->view = ViewAfter(pathText, at + static_cast<int>(name.size()));
    location->keyPath = text::Left(rest, lastSeparator);
    location->valueName = text::Mid(rest, lastSeparator + 1);
    return true;
  }
  return false;
}

bool ReadRegistryString(Platform& platform, std::string pathText, std::string& out,
                        RegistryLookup* lookup) {
  if (pathText.empty()) {
    return false;
  }
  out.clear();
  RegistryLookup made;
  made.parsed = ParseRegistryPath(pathText, platform.LeadBytes(), &made.location);
  made.found = made.parsed && platform.ReadRegistryValue(
                                  made.location.root, made.location.view, made.location.keyPath,
                                  made.location.valueName, kMaxRegistryValueBytes, &made.value);
  if (lookup != nullptr) {
    *lookup = made;
  }
  if (!made.found) {
    return false;
  }
  out = std::string(text::Searchable(made.value.data));
  // Installers write paths such as %ProgramFiles%\Example\example.exe as
  // REG_EXPAND_SZ; Windows' shell does not expand them when it opens a file.
  if (made.value.expandable) {
    out = platform.ExpandEnvironment(out);
  }
  return true;
}
