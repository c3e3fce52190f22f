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

// The path text that reads the same value from the given view: 32 or 64
// right after the root's name.
std::string WithView(const std::string& pathText, const RegistryLocation& at, RegistryView view) {
  const char* root = RegistryRootName(at.root);
  const int end = text::Find(pathText, root) + static_cast<int>(std::strlen(root));
  return text::Left(pathText, end) + (view == RegistryView::Bits32 ? "32" : "64") +
         text::Mid(pathText, end + (at.view == RegistryView::Own ? 0 : 2));
}

// The path text that reads the same value below the other root.
std::string WithRoot(const std::string& pathText, const RegistryLocation& at, RegistryRoot root) {
  const char* name = RegistryRootName(at.root);
  const int start = text::Find(pathText, name);
  return text::Left(pathText, start) + RegistryRootName(root) +
         text::Mid(pathText, start + static_cast<int>(std::strlen(name)));
}

}  // namespace

RegistryView ViewRead(RegistryView named, RegistryView ownView) {
  return named == RegistryView::Own ? ownView : named;
}

RegistryView OtherView(RegistryView bits) {
  return bits == RegistryView::Bits32 ? RegistryView::Bits64 : RegistryView::Bits32;
}

std::string ViewName(RegistryView bits) {
  return bits == RegistryView::Bits32 ? "32-bit view" : "64-bit view";
}

Warnings Installer(const InstallerFacts& installer) {
  if (installer.configured.empty()) {
    return {
        "InstallFilename is empty: the launcher starts nothing, not even the installed "
        "program"};
  }
  const std::string drive = text::Left(installer.configured, 2);
  if (text::IsDriveAlone(drive) && !SameLetters(drive, text::Left(installer.file, 2))) {
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
    return warnings;
  }
  if (facts.tooLong) {
    warnings.push_back(name + ": the registry value is longer than " +
                       std::to_string(kMaxRegistryValueBytes) +
                       " bytes, so the launcher cannot read it");
  } else if (facts.inOtherView) {
    const RegistryView view = ViewRead(at.view, ownView);
    const RegistryView other = OtherView(view);
    warnings.push_back(name + ": the value is not in the " + ViewName(view) +
                       " that the launcher reads, but in the " + ViewName(other) +
                       ": to read it, write " + WithView(facts.pathText, at, other));
  } else if (facts.otherRoot != at.root) {
    // A per-user install writes HKEY_CURRENT_USER, a per-machine one
    // HKEY_LOCAL_MACHINE.
    warnings.push_back(name + ": the value is not below " + RegistryRootName(at.root) +
                       ", where the launcher reads it, but below " +
                       RegistryRootName(facts.otherRoot) + ": to read it, write " +
                       WithRoot(facts.pathText, at, facts.otherRoot));
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

std::string Verdict(const AttemptFacts& attempt) {
  switch (attempt.attempt->outcome) {
    case StartOutcome::Itself:
      return "this launcher itself, which it never starts";
    case StartOutcome::Folder:
      return "a folder, which the launcher never hands to the shell";
    case StartOutcome::Empty:
      return "no file named, which the launcher never hands to the shell";
    case StartOutcome::Started:
    case StartOutcome::Failed:
      break;
  }
  return attempt.forecast != nullptr ? attempt.forecast->rule : std::string();
}

std::string WithoutIconIndex(const std::string& value) {
  const size_t comma = value.rfind(',');
  const size_t digits = value.find_first_not_of('-', comma + 1);
  const bool index = comma != std::string::npos && digits < value.size() &&
                     value.find_first_not_of("0123456789", digits) == std::string::npos;
  return index ? value.substr(0, comma) : std::string();
}

Warnings Reinstall(const ReinstallFacts& facts, RegistryView ownView,
                   const text::LeadByteTest& isLeadByte) {
  const SettingLookup* found = facts.found;
  if (found == nullptr) {
    return {};
  }
  const bool fullPath = found->setting->field == &LaunchSettings::szInstalledRegFullFilename;
  const StartAttempt* attempt = facts.attempt;
  std::string warning =
      std::string(found->setting->name) + " finds the product installed (" + found->text +
      "), but " +
      (attempt != nullptr
           ? "its program " + attempt->path + " would not start (" + facts.verdict + ")"
       : fullPath ? "InstalledRegFullFilenameRemove=" + facts.cut + " cuts all of it"
                  : "no file name is given (InstalledRegFilename finds none, "
                    "and InstalledAppFilename is empty)") +
      ": the launcher would run the installer again over the installed product";
  std::vector<std::string> hints;
  const StartOutcome outcome = attempt != nullptr ? attempt->outcome : StartOutcome::Failed;
  if (outcome == StartOutcome::Itself) {
    hints.push_back("point the setting at the installed program, not at this launcher");
  } else if (outcome == StartOutcome::Folder && fullPath) {
    hints.push_back(
        "that is the program's folder: read it with InstalledRegPath instead, and "
        "name the program with InstalledAppFilename");
  }
  const std::string& value = found->text;
  if (fullPath && !facts.cut.empty()) {
    const Occurrence first = FindWithCharBefore(value, facts.cut, isLeadByte);
    if (first.at >= 0 && text::Find(value, facts.cut, first.at + 1) >= 0) {
      hints.push_back("InstalledRegFullFilenameRemove=" + facts.cut + " cuts the first " +
                      facts.cut +
                      " in the value, with the character in front of it, not a "
                      "later one: the launcher gets " +
                      found->used);
    }
  }
  const std::string iconless = WithoutIconIndex(value);
  if (fullPath && facts.iconlessReadable && !iconless.empty()) {
    const std::string index = value.substr(iconless.size() + 1);
    const bool cuts = CutText(value, index, isLeadByte) == iconless;
    const std::string name = text::Mid(iconless, text::FindLastSeparator(iconless, isLeadByte) + 1);
    hints.push_back(
        "the value ends in an icon index (," + index + "), which the launcher takes for part of " +
        "the path: " +
        (cuts ? "set InstalledRegFullFilenameRemove=" + index
         : !facts.installLocation.empty()
             ? "no cut text removes it alone, so read the folder with InstalledRegPath=" +
                   facts.installLocation + " and name the program with InstalledAppFilename=" + name
             : "no cut text removes it alone, so name a value that holds the program's path "
               "alone"));
  }
  const std::string raw(text::Searchable(found->lookup.value.data));
  const int percent = text::Find(raw, "%");
  if (!found->lookup.value.expandable && percent >= 0 && text::Find(raw, "%", percent + 1) >= 0) {
    hints.push_back(
        "the value holds %variables%, but is of the type REG_SZ, so they stay as "
        "written: have the installer write it as REG_EXPAND_SZ, or expanded");
  } else if (!facts.elsewhere.empty()) {
    const RegistryView view = ViewRead(found->lookup.location.view, ownView);
    const RegistryView other = OtherView(view);
    hints.push_back("its %variables% mean the program folders of the " + ViewName(view) +
                    ", which it was read from, but the program is at " + facts.elsewhere +
                    ", where they lead in the " + ViewName(other) +
                    ": have the installer write the value into the " + ViewName(other) +
                    " (NSIS: SetRegView), or write it expanded");
  }
  const std::string program = text::Unquoted(ProgramInCommand(value));
  if (fullPath && facts.programReadable && program != text::Unquoted(value)) {
    // The cut takes the one character in front of its text with it.
    const std::string cut = text::Mid(value, static_cast<int>(ProgramInCommand(value).size()) + 1);
    const bool cuts = text::Unquoted(CutText(value, cut, isLeadByte)) == program;
    hints.push_back("the value names the program " + program +
                    " with arguments after it, which the launcher takes for part of the path" +
                    (cuts ? ": to cut them, set InstalledRegFullFilenameRemove=" + cut : ""));
  }
  for (const std::string& hint : hints) {
    warning += "; " + hint;
  }
  return {warning};
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
