#include "warning_rules.h"

#include <algorithm>
#include <cstring>

#include "config/registry.h"
#include "hint_text.h"
#include "launch/target_rules.h"
#include "platform/text.h"

namespace rules {

namespace {

using Texts = std::vector<std::string>;

bool SameLetters(const std::string& a, const std::string& b) {
  return text::AsciiLower(a) == text::AsciiLower(b);
}

RegistryView Bits(RegistryView view, RegistryView ownView) {
  return view == RegistryView::Own ? ownView : view;
}

std::string ViewName(RegistryView view) {
  return view == RegistryView::Bits32 ? "32-bit view" : "64-bit view";
}

// The path text that reads the same value from the given view: 32 or 64
// right after the root's name.
std::string WithView(const std::string& pathText, const RegistryLocation& at, RegistryView view) {
  const char* root = RegistryRootName(at.root);
  const int end = text::Find(pathText, root) + static_cast<int>(std::strlen(root));
  return text::Left(pathText, end) + (view == RegistryView::Bits32 ? "32" : "64") +
         text::Mid(pathText, end + (at.view == RegistryView::Own ? 0 : 2));
}

// The program must get the launcher's folder whole, spaces and all, and
// without a stray quote: "%PATH:\" would end in an escaped quote.
void MarkerQuoting(const std::string& replaced, const std::string& launcherDir,
                   const text::LeadByteTest& isLeadByte, Warnings& warnings) {
  const Texts arguments = hints::ProgramArguments(replaced, isLeadByte);
  for (const std::string& argument : arguments) {
    if (text::IsDriveAlone(launcherDir) && argument.size() >= 2 &&
        argument.compare(argument.size() - 2, 2, launcherDir) == 0) {
      warnings.push_back(
          "InstalledAppParameters: in the root of " + launcherDir + " the program gets " +
          argument + ", which names the current folder of drive " + launcherDir[0] +
          ", not its root: write \"%PATH:\\.\", which gives " + launcherDir + "\\. there");
    }
  }
  const auto whole = [&launcherDir](const std::string& argument) {
    return argument.find(launcherDir) != std::string::npos;
  };
  const auto stray = [](const std::string& argument) {
    return argument.find('"') != std::string::npos;
  };
  if (std::any_of(arguments.begin(), arguments.end(), whole) &&
      std::none_of(arguments.begin(), arguments.end(), stray)) {
    return;
  }
  warnings.push_back(
      "InstalledAppParameters: the program would not get the launcher's folder " + launcherDir +
      " as one argument, but [" + hints::Joined(arguments, "] [") +
      "]: put the marker in double quotes without a backslash before the closing one, such "
      "as \"%PATH:\\.\" (around a whole value, two pairs: \"\"%PATH:\\.\"\", since the INI "
      "reader drops one)");
}

// The launcher replaces the first PATH: together with the one character in
// front of it, wherever it stands.
void Marker(const std::string& parameters, const std::string& launcherDir,
            const text::LeadByteTest& isLeadByte, Warnings& warnings) {
  const Occurrence marker = FindWithCharBefore(parameters, kDirectoryMarker, isLeadByte);
  if (marker.at >= 0) {
    const std::string before =
        text::Mid(parameters, marker.charBefore, marker.at - marker.charBefore);
    std::string replaced = parameters;
    ReplaceDirectoryMarker(replaced, launcherDir, isLeadByte);
    if (!before.empty() && before != "%") {
      warnings.push_back("InstalledAppParameters: the " + hints::CharacterName(before) +
                         " in front of PATH: is removed with the marker, so the program gets " +
                         replaced +
                         ": put the spare % there: " + text::Left(parameters, marker.at) + "%" +
                         text::Mid(parameters, marker.at));
    }
    MarkerQuoting(replaced, launcherDir, isLeadByte, warnings);
  }
  const std::string lower = text::AsciiLower(parameters);
  for (int at = text::Find(lower, "path:"); at >= 0; at = text::Find(lower, "path:", at + 1)) {
    if (parameters.compare(static_cast<size_t>(at), 5, kDirectoryMarker) != 0 &&
        hints::StartsWord(lower, at)) {
      warnings.push_back(
          "InstalledAppParameters: " + parameters.substr(static_cast<size_t>(at), 5) +
          " is not the marker: only PATH: in capitals is replaced by the "
          "launcher's folder");
      break;
    }
  }
}

// PATH: as a word of its own was probably meant as the marker; inside a
// longer word, such as /LOGPATH:, it is the installer's own syntax.
void InstallerMarker(const std::string& parameters, Warnings& warnings) {
  const std::string lower = text::AsciiLower(parameters);
  for (int at = text::Find(lower, "path:"); at >= 0; at = text::Find(lower, "path:", at + 1)) {
    if (hints::StartsWord(lower, at)) {
      warnings.push_back(
          "InstallParameters holds PATH:, but the launcher replaces the marker only in "
          "InstalledAppParameters: the installer gets it as written");
      return;
    }
  }
}

// With no UI at all, Windows Installer asks nobody for an administrator's
// consent: a per-machine package then installs only where the launcher
// already runs as an administrator, which a double click or AutoPlay does
// not give it. On the author's own machine it may well work.
void SilentPackage(const std::string& installer, const std::string& parameters,
                   Warnings& warnings) {
  if (!text::EndsWith(installer, ".msi")) {
    return;
  }
  for (const std::string& argument : hints::ProgramArguments(parameters)) {
    const std::string option = text::AsciiLower(text::Mid(argument, 1));
    if ((argument[0] == '/' || argument[0] == '-') &&
        (option == "q" || option == "qn" || option == "quiet")) {
      warnings.push_back(
          "InstallParameters " + argument +
          ": msiexec installs without any window, and so asks nobody for an administrator's "
          "consent; a per-machine package then fails without a word unless the launcher "
          "already runs as an administrator. /passive shows only a progress bar and asks");
      return;
    }
  }
}

// Some installers register a command, such as "C:\Prog\app.exe" /arg: the
// launcher takes it all for one path, which names no file.
void ArgumentsInValue(const SettingLookup& made, const LookupFacts& facts,
                      const text::LeadByteTest& isLeadByte, Warnings& warnings) {
  const std::string& value = made.used;
  const std::string program = text::Unquoted(ProgramInCommand(value));
  if (!facts.programReadable || facts.valueReadable) {
    return;
  }
  // The cut takes the one character in front of its text with it.
  const std::string cut = text::Mid(value, static_cast<int>(ProgramInCommand(value).size()) + 1);
  const bool cuts = text::Unquoted(CutText(made.text, cut, isLeadByte)) == program;
  warnings.push_back(
      "InstalledRegFullFilename: the registry value " + value + " names the program " + program +
      " with arguments after it, and the launcher takes it all for one path" +
      (cuts ? ": to cut the arguments, set InstalledRegFullFilenameRemove=" + cut : ""));
}

// The settings that named the installed program of an attempt.
std::string RouteSettings(StartRoute route) {
  switch (route) {
    case StartRoute::RegistryFullPath:
      return "InstalledRegFullFilename";
    case StartRoute::RegistryFolderAndName:
      return "InstalledRegPath with InstalledRegFilename";
    case StartRoute::FolderAndAppFilename:
      return "InstalledRegPath with InstalledAppFilename";
    case StartRoute::Installer:
      break;
  }
  return "InstallFilename";
}

}  // namespace

Warnings LauncherName(const std::string& exeName, const std::string& appAlias) {
  // Explorer hides the type of a program, so a launcher renamed there to
  // start.exe may well be start.exe.exe, which looks for start.exe.ini.
  if (!text::EndsWith(exeName, ".exe.exe")) {
    return {};
  }
  return {"the launcher's file is named " + exeName + ", with .exe twice: it looks for " +
          appAlias + ".ini and the section [" + appAlias + "]; rename the file to " + appAlias};
}

Warnings IniKeys(const IniLayout& ini, const SameName& sameName) {
  Warnings warnings;
  const std::string& section = ini.section;
  if (!ini.keysAbove.empty()) {
    warnings.push_back(ini.file + " holds settings above its first [section] header, where the " +
                       "launcher never reads them: " + hints::Joined(ini.keysAbove, ", ") +
                       "; put them under [" + section + "]");
  }
  Texts headers;
  size_t found = 0;
  for (const std::string& name : ini.headers) {
    found += sameName(name, section) ? 1u : 0u;
    headers.push_back("[" + name + "]");
  }
  if (found == 0) {
    warnings.push_back("no section [" + section + "] in " + ini.file +
                       ": every setting reads as empty; " +
                       (headers.empty() ? "the file has no sections"
                                        : "its sections are " + hints::Joined(headers, ", ")) +
                       ": pass one of them as the alias, or name the section [" + section + "]");
    return warnings;
  }
  if (found > 1) {
    warnings.push_back(ini.file + " holds " + std::to_string(found) + " sections [" + section +
                       "]: the launcher reads the first only; merge them into one");
  }
  Texts unknown;
  Texts seen;
  for (const std::string& key : ini.keys) {
    const auto same = [&sameName, &key](const std::string& other) { return sameName(key, other); };
    if (std::any_of(seen.begin(), seen.end(), same)) {
      warnings.push_back("[" + section + "] gives " + key +
                         " more than once: the launcher reads the first only");
    } else if (std::none_of(std::begin(kSettingKeys), std::end(kSettingKeys),
                            [&same](const SettingKey& known) { return same(known.name); })) {
      const std::string closest = hints::ClosestKey(key);
      unknown.push_back(key + (closest.empty() ? "" : " (did you mean " + closest + "?)"));
    }
    seen.push_back(key);
  }
  if (!unknown.empty()) {
    warnings.push_back("[" + section + "] holds keys the launcher does not know (typing " +
                       "mistakes?): " + hints::Joined(unknown, ", "));
  }
  return warnings;
}

Warnings SettingValues(const LaunchSettings& settings) {
  Warnings warnings;
  for (const SettingKey& setting : kSettingKeys) {
    const std::string name = setting.name;
    const std::string& value = settings.*setting.field;
    if (value.size() == kSettingBufferSize - 1) {
      warnings.push_back(name + " is " + std::to_string(value.size()) +
                         " characters long, the most the launcher reads: it was probably cut");
    }
    const size_t comment = std::min(value.find(" ;"), value.find("\t;"));
    if (comment != std::string::npos) {
      warnings.push_back(name + ": the launcher reads \"" + value.substr(comment + 1) +
                         "\" as part of the value, not as a comment: put the comment on a line "
                         "of its own");
    }
    if (setting.use == SettingUse::Unused && !value.empty()) {
      warnings.push_back(name +
                         " is set, but the launcher only reads and logs it: it cuts nothing");
    }
  }
  return warnings;
}

Warnings Parameters(const LaunchSettings& settings, const std::string& launcherDir,
                    const text::LeadByteTest& isLeadByte) {
  Warnings warnings;
  Marker(settings.szInstalledAppParameters, launcherDir, isLeadByte, warnings);
  InstallerMarker(settings.szInstallParameters, warnings);
  SilentPackage(settings.szInstallFilename, settings.szInstallParameters, warnings);
  return warnings;
}

Warnings Installer(const InstallerFacts& installer) {
  if (installer.configured.empty()) {
    return {
        "InstallFilename is empty: the launcher starts nothing, not even the installed "
        "program"};
  }
  const std::string drive = text::Left(installer.configured, 2);
  if (drive.size() == 2 && drive[1] == ':' && !SameLetters(drive, text::Left(installer.file, 2))) {
    return {"InstallFilename names drive " + drive +
            ", but the launcher always takes the installer from its own drive: it would start " +
            installer.file +
            (!installer.present ? ", which is not there: put the installer on the medium and "
                                  "name it relative to the launcher's folder, such as "
                                  "Setup\\setup.exe"
             : installer.relative.empty()
                 ? ", which is there"
                 : ", which is there; to say so without a drive letter, write InstallFilename=" +
                       installer.relative)};
  }
  if (!installer.present) {
    return {"the installer " + installer.file + " is not on the medium, or cannot be read"};
  }
  return {};
}

std::string ProgramInCommand(const std::string& value) {
  size_t end = std::string::npos;
  if (value[0] == '"') {
    const size_t closing = value.find('"', 1);
    end = closing == std::string::npos ? closing : closing + 1;
  } else {
    const size_t exe = text::AsciiLower(value).find(".exe ");
    end = exe == std::string::npos ? exe : exe + 4;
  }
  return value.substr(0, end);
}

Warnings Registry(const LookupFacts& facts, RegistryView ownView,
                  const text::LeadByteTest& isLeadByte) {
  Warnings warnings;
  const std::string name = facts.setting->name;
  RegistryLocation at;
  if (!ParseRegistryPath(facts.pathText, isLeadByte, &at)) {
    return {name +
            " names no registry root: write HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, "
            "HKEY_CLASSES_ROOT or HKEY_USERS, in capitals"};
  }
  // The Registry Editor's address bar puts Computer\ in front of the root;
  // the launcher then looks for a key named after the root below it.
  const int root = text::Find(facts.pathText, RegistryRootName(at.root));
  if (root > 0) {
    warnings.push_back(name + ": remove " + text::Left(facts.pathText, root) +
                       " in front of the root, as copied from the Registry Editor: write " +
                       text::Mid(facts.pathText, root));
  }
  const SettingLookup* made = facts.made;
  if (made == nullptr) {
    return warnings;
  }
  if (made->lookup.found) {
    if (facts.setting->field == &LaunchSettings::szInstalledRegFullFilename) {
      ArgumentsInValue(*made, facts, isLeadByte, warnings);
    }
  } else if (facts.tooLong) {
    warnings.push_back(name + ": the registry value is longer than " +
                       std::to_string(kMaxRegistryValueBytes) +
                       " bytes, so the launcher cannot read it");
  } else if (facts.inOtherView) {
    const RegistryView view = Bits(at.view, ownView);
    const RegistryView other =
        view == RegistryView::Bits32 ? RegistryView::Bits64 : RegistryView::Bits32;
    warnings.push_back(name + ": the value is not in the " + ViewName(view) +
                       " that the launcher reads, but in the " + ViewName(other) +
                       ": to read it, write " + WithView(facts.pathText, at, other));
  } else if (facts.keyNotValue) {
    warnings.push_back(name + ": " + at.valueName +
                       " is a key, not a value: add the value's name after it (" + facts.pathText +
                       "\\<value>), or end the text with a backslash to read the key's default "
                       "value");
  }
  return warnings;
}

Warnings Starts(const std::vector<AttemptFacts>& attempts) {
  Warnings warnings;
  for (const AttemptFacts& facts : attempts) {
    const StartAttempt& attempt = *facts.attempt;
    if (attempt.outcome == StartOutcome::Itself && attempt.route == StartRoute::Installer) {
      warnings.push_back("InstallFilename names this launcher itself (" + attempt.path +
                         "), which never starts itself, so nothing would start: name the "
                         "installer, or rename the launcher so that the two differ");
    } else if (attempt.outcome == StartOutcome::Itself) {
      warnings.push_back(RouteSettings(attempt.route) + " gives this launcher itself (" +
                         attempt.path +
                         ") as the installed program, which the launcher never starts, so it "
                         "goes on to the installer: point the setting at the installed program");
    }
    if (facts.forecast != nullptr && !facts.forecast->dropped.empty()) {
      warnings.push_back("the parameters " + facts.forecast->dropped +
                         " would be dropped: the \"open\" action for " + attempt.path + " runs " +
                         facts.forecast->program +
                         " with no place for them (no %* in its command)");
    }
  }
  return warnings;
}

std::string WhyNoLog(const LogRequest& log, bool folder, WriteAccess access,
                     const text::LeadByteTest& isLeadByte) {
  const std::string& file = log.file;
  if (log.choice == LogChoice::NoName) {
    return "-log is followed by a single space, which names no file";
  }
  if (log.choice == LogChoice::Kept) {
    return folder ? file + " is a folder"
                  : file + " is a file but not a trace log, and the launcher leaves it untouched";
  }
  switch (access) {
    case WriteAccess::Writable:
      break;
    case WriteAccess::BadName:
      return file + " is not a valid file name" +
             (file.find('"') == std::string::npos
                  ? ""
                  : " (quotes after -log are part of the name: leave them out, spaces and all)");
    case WriteAccess::NoFolder:
      return "the folder of " + file + " does not exist";
    case WriteAccess::Folder:
      return file + " is a folder";
    case WriteAccess::ReadOnly:
      return file + " is read-only";
    case WriteAccess::ReadOnlyMedium:
      return file + " is on a read-only medium";
    case WriteAccess::Denied:
      return "this user may not write " + file +
             (SameLetters(text::Left(file, 3), "c:\\") &&
                      text::FindLastSeparator(file, isLeadByte) == 2
                  ? " (only an administrator may create files in the root of C:)"
                  : "");
  }
  return std::string();
}

}  // namespace rules
