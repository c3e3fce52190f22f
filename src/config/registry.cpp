#include "config/registry.h"

#include "platform/text.h"

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

}  // namespace

const char* RegistryRootName(RegistryRoot root) {
  for (const RootName& entry : kRootNames) {
    if (entry.root == root) {
      return entry.name;
    }
  }
  return kRootNames[0].name;
}

bool ParseRegistryPath(const std::string& pathText, RegistryLocation* location) {
  const RootName* found = nullptr;
  for (const RootName& candidate : kRootNames) {
    if (text::Find(pathText, candidate.name) >= 0) {
      found = &candidate;
      break;
    }
  }
  if (found == nullptr) {
    return false;
  }
  const int firstSeparator = text::Find(pathText, "\\");
  const std::string rest = firstSeparator < 0 ? pathText : text::Mid(pathText, firstSeparator + 1);
  const int lastSeparator = text::FindLast(rest, '\\');
  location->root = found->root;
  location->keyPath = text::Left(rest, lastSeparator);
  location->valueName = text::Mid(rest, lastSeparator + 1);
  return true;
}

bool ReadRegistryString(Platform& platform, std::string pathText, std::string& out) {
  if (pathText.empty()) {
    return false;
  }
  out.clear();
  RegistryLocation location;
  std::string data;
  if (!ParseRegistryPath(pathText, &location) ||
      !platform.ReadRegistryValue(location.root, location.keyPath, location.valueName,
                                  kMaxRegistryValueBytes, &data)) {
    return false;
  }
  out = std::string(text::Searchable(data));
  return true;
}
