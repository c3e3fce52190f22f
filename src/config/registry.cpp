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

// The program-folder variables, and the ones that a 32-bit and a 64-bit
// program on 64-bit Windows read for them.
struct FolderVariable {
  const char* name;  // in lower case
  const char* in32;
  const char* in64;
};

const FolderVariable kFolderVariables[] = {
    {"programfiles", "ProgramFiles(x86)", "ProgramW6432"},
    {"commonprogramfiles", "CommonProgramFiles(x86)", "CommonProgramW6432"},
};

// The variable that a program of the view's bitness reads for name (in any
// letter case); name itself for any other, or when that variable is not
// defined here, as %ProgramW6432% is not on 32-bit Windows.
std::string NameInView(Platform& platform, const std::string& name, RegistryView view) {
  for (const FolderVariable& variable : kFolderVariables) {
    const std::string other = view == RegistryView::Bits64 ? variable.in64 : variable.in32;
    const std::string pair = "%" + other + "%";
    if (text::AsciiLower(name) == variable.name && platform.ExpandEnvironment(pair) != pair) {
      return other;
    }
  }
  return name;
}

}  // namespace

std::string ExpandRegistryText(Platform& platform, const std::string& value, RegistryView view) {
  if (view == RegistryView::Own || view == platform.OwnView()) {
    return platform.ExpandEnvironment(value);
  }
  // The pairs of % from the left, as Windows' expansion takes them: a pair
  // whose name is not defined keeps both its %.
  std::string renamed;
  size_t at = 0;
  for (size_t open = value.find('%'); open != std::string::npos; open = value.find('%', at)) {
    const size_t close = value.find('%', open + 1);
    if (close == std::string::npos) {
      break;
    }
    const std::string name = value.substr(open + 1, close - open - 1);
    renamed += value.substr(at, open - at) + '%' + NameInView(platform, name, view) + '%';
    at = close + 1;
  }
  return platform.ExpandEnvironment(renamed + value.substr(at));
}

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
  made.found =
      ParseRegistryPath(pathText, platform.LeadBytes(), &made.location) &&
      platform.ReadRegistryValue(made.location.root, made.location.view, made.location.keyPath,
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
    out = ExpandRegistryText(platform, out, made.location.view);
  }
  return true;
}
