// The checker's warning rules on what the launcher would start: the
// installer, the registry lookups, the start attempts and the trace log.
// Each takes what the launcher decided and what the machine holds, and
// gives the likely mistakes, each with its fix; none asks the machine
// anything itself.
#pragma once

#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "launch/launch_sequence.h"
#include "shell_forecast.h"
#include "system_queries.h"

namespace rules {

using Warnings = std::vector<std::string>;

// The view a path text reads: the one it names, else the launcher's own.
RegistryView ViewRead(RegistryView named, RegistryView ownView);
// The other of the two views.
RegistryView OtherView(RegistryView bits);
// "32-bit view" or "64-bit view".
std::string ViewName(RegistryView bits);

struct InstallerFacts {
  std::string configured;  // InstallFilename
  std::string file;        // where the launcher finds it, completed as the shell would
  bool present = false;
  std::string relative;  // a text without a drive letter that reaches it; empty when none
};
Warnings Installer(const InstallerFacts& installer);

// The program in a registry value that may hold arguments after it, such as
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
  RegistryRoot otherRoot = RegistryRoot::LocalMachine;  // the root that holds it; its own
                                                        // when no other does
};
// ownView: the view the launcher reads where a path text names none.
Warnings Registry(const LookupFacts& lookup, RegistryView ownView,
                  const text::LeadByteTest& isLeadByte);

// The value without the icon index at its end (",0", ",-1"), as the
// Uninstall key's DisplayIcon holds one; empty when it ends in none.
std::string WithoutIconIndex(const std::string& value);

// An installed product, as the registry shows it, whose program would not
// start, and what the machine holds that tells why.
struct ReinstallFacts {
  const SettingLookup* found = nullptr;   // null when the registry finds no product
  const StartAttempt* attempt = nullptr;  // the installed program's; null when none was made
  std::string verdict;                    // why that attempt fails
  std::string cut;                        // InstalledRegFullFilenameRemove
  bool programReadable = false;           // ProgramInCommand of the value names a file
  bool iconlessReadable = false;          // WithoutIconIndex of the value names a file
  std::string installLocation;  // the path text of the key's InstallLocation, when it holds one
  std::string elsewhere;        // the value expanded for the other view, when that names a file
};
// The installer would run again over the installed product: why, where
// the facts show it.
Warnings Reinstall(const ReinstallFacts& facts, RegistryView ownView,
                   const text::LeadByteTest& isLeadByte);

// A start attempt, with the shell's verdict when it was handed over.
struct AttemptFacts {
  const StartAttempt* attempt = nullptr;
  const StartRecord* forecast = nullptr;
};
Warnings Starts(const std::vector<AttemptFacts>& attempts);

// The shell's verdict on an attempt, or why the launcher never handed it
// over.
std::string Verdict(const AttemptFacts& attempt);

// Why the launcher would write no trace; empty when it would write one.
// folder: the file -log names is a folder.
std::string WhyNoLog(const LogRequest& log, bool folder, WriteAccess access,
                     const text::LeadByteTest& isLeadByte);

}  // namespace rules
