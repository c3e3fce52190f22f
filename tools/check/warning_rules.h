// The checker's warning rules. Each takes what the launcher decided and
// what the machine holds, and gives the likely mistakes, each with its fix;
// none asks the machine anything itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "launch/launch_sequence.h"
#include "shell_forecast.h"
#include "system_queries.h"

namespace rules {

using Warnings = std::vector<std::string>;
using SameName = std::function<bool(const std::string&, const std::string&)>;

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
// Missing and repeated sections, keys that are repeated or unknown, and
// settings where the launcher never reads them. sameName: the INI reader's
// comparison of names.
Warnings IniKeys(const IniLayout& ini, const SameName& sameName);

// Values as read: cut at the buffer's size, with a comment, or of settings
// that change nothing.
Warnings SettingValues(const LaunchSettings& settings);

// InstalledAppParameters with the marker (in the launcher's folder in full)
// and InstallParameters.
Warnings Parameters(const LaunchSettings& settings, const std::string& launcherDir,
                    const text::LeadByteTest& isLeadByte);

struct InstallerFacts {
  std::string configured;  // InstallFilename
  std::string file;        // where the launcher finds it, completed as the shell would
  bool present = false;
  std::string relative;  // a text without a drive letter that reaches it; empty when none
};
Warnings Installer(const InstallerFacts& installer);

// The program and the arguments after it in a registry value such as
// "C:\Prog\app.exe" /arg: up to the closing quote, or up to .exe and a
// space; the whole value when it holds neither.
std::string ProgramInCommand(const std::string& value);

// One registry setting, its lookup by the launcher when it made one, and
// what the machine holds besides.
struct LookupFacts {
  const SettingKey* setting = nullptr;
  std::string pathText;
  const SettingLookup* made = nullptr;  // null when the launcher stopped before
  bool tooLong = false;                 // present, but longer than the launcher reads
  bool inOtherView = false;             // missing, but present in the other view
  bool keyNotValue = false;             // missing: its name is a key's
  bool programReadable = false;         // ProgramInCommand of the value
  bool valueReadable = false;           // the whole value, as a file
};
// ownView: the view the launcher reads where a path text names none.
Warnings Registry(const LookupFacts& lookup, RegistryView ownView,
                  const text::LeadByteTest& isLeadByte);

// A start attempt, with the shell's verdict when it was handed over.
struct AttemptFacts {
  const StartAttempt* attempt = nullptr;
  const StartRecord* forecast = nullptr;
};
Warnings Starts(const std::vector<AttemptFacts>& attempts);

// Why the launcher would write no trace; empty when it would write one.
// folder: the file -log names is a folder.
std::string WhyNoLog(const LogRequest& log, bool folder, WriteAccess access,
                     const text::LeadByteTest& isLeadByte);

}  // namespace rules
