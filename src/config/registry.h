// Reading a registry value named by a path text such as
// HKEY_LOCAL_MACHINE\Software\Vendor\Product\InstallDir.
#pragma once

#include <string>

#include "platform/platform.h"

// At most this many bytes of a value are read.
constexpr size_t kMaxRegistryValueBytes = 255;

struct RegistryLocation {
  RegistryRoot root = RegistryRoot::LocalMachine;
  RegistryView view = RegistryView::Own;
  std::string keyPath;
  std::string valueName;
};

// The root is the first of HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER and HKEY_USERS (exact case) that occurs anywhere in the
// text; 32 or 64 right after that name's first occurrence names the view
// (HKEY_LOCAL_MACHINE64\...). The rest after the text's first backslash
// splits at its last backslash into key path and value name. False when no
// root name occurs.
bool ParseRegistryPath(const std::string& pathText, const text::LeadByteTest& isLeadByte,
                       RegistryLocation* location);

// The name of a root as it stands in a path text, such as
// "HKEY_LOCAL_MACHINE".
const char* RegistryRootName(RegistryRoot root);

// One lookup as it went: where the path text led and what was there.
struct RegistryLookup {
  RegistryLocation location;
  bool found = false;
  RegistryValue value;  // the value's data as read, before any expansion
};

// A REG_EXPAND_SZ value read from the view given, its %variables% expanded
// as a program of that view's bitness sees them: from the other view than
// the launcher's own, %ProgramFiles% and %CommonProgramFiles% name that
// view's folders (%ProgramW6432%, %ProgramFiles(x86)%, ...) where this
// machine defines those; from the own view, or none named, all stay the
// launcher's.
std::string ExpandRegistryText(Platform& platform, const std::string& value, RegistryView view);

// The value as text, up to its first zero byte, whatever its registry type;
// the %variables% of a REG_EXPAND_SZ value expanded by ExpandRegistryText.
// False on any failure; out is then empty, except for an empty path text,
// which leaves it untouched. lookup, when given, receives how the lookup
// went.
bool ReadRegistryString(Platform& platform, std::string pathText, std::string& out,
                        RegistryLookup* lookup = nullptr);
