#include "launch_rules.h"

#include <cstring>

#include "config/registry.h"
#include "launch/target_rules.h"
#include "platform/text.h"

namespace rules {

namespace {

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
