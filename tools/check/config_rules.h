// The checker's warning rules on the configuration: the launcher's name, the
// INI file's layout, the values and the parameters. Each takes what the
// launcher read and decided and gives the likely mistakes, each with its
// fix; none asks the machine anything itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/launch_settings.h"
#include "platform/text.h"

namespace rules {

using Warnings = std::vector<std::string>;

// The launcher's file name, such as start.exe.exe.
Warnings LauncherName(const std::string& exeName, const std::string& appAlias);

// The INI file as its reader takes it.
struct IniLayout {
  std::string file;
  std::string section;
  std::vector<std::string> headers;    // every section header, in order
  std::vector<std::string> keysAbove;  // keys above the first header
  std::vector<std::string> keys;       // the keys of the section, in order
};
// The INI reader's comparison of section and key names.
using SameName = std::function<bool(const std::string&, const std::string&)>;
// Missing and repeated sections, keys that are repeated or unknown, and
// settings where the launcher never reads them.
Warnings IniKeys(const IniLayout& ini, const SameName& sameName);

// The encoding of the INI file, from its bytes: a UTF-8 byte order mark
// that hides a section header from Windows' reader, and UTF-8 text, which
// the reader takes in the ANSI code page codePage.
Warnings IniEncoding(const std::string& file, const std::string& section, const std::string& bytes,
                     unsigned codePage, const SameName& sameName);

// Values as read: cut at the buffer's size, with a comment, or of settings
// that change nothing.
Warnings SettingValues(const LaunchSettings& settings);

// InstalledAppParameters with the marker (in the launcher's folder in full)
// and InstallParameters.
Warnings Parameters(const LaunchSettings& settings, const std::string& launcherDir,
                    const text::LeadByteTest& isLeadByte);

}  // namespace rules
