#include "config_rules.h"

#include <algorithm>

#include "hint_text.h"
#include "launch/target_rules.h"
#include "platform/text.h"

namespace rules {

namespace {

using Texts = std::vector<std::string>;

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
    // /q, /qn and their variants such as /qn+ (no UI, but a last message
    // box) ask nobody; /qb, /qr and /qf show dialogs, and Windows asks.
    const std::string level = text::Mid(option, 1);
    const bool noUi =
        option == "quiet" ||
        (option[0] == 'q' &&
         level.find_first_not_of("+-!", level[0] == 'n' ? 1 : 0) == std::string::npos);
    if ((argument[0] == '/' || argument[0] == '-') && noUi) {
      warnings.push_back(
          "InstallParameters " + argument +
          ": msiexec installs without any window, and so asks nobody for an administrator's "
          "consent; a per-machine package then fails without a word unless the launcher "
          "already runs as an administrator. /passive shows only a progress bar and asks");
      return;
    }
  }
}

// The number of the first line that holds UTF-8 beyond ASCII, or 0 when
// none does or the text is not UTF-8.
size_t FirstUtf8Line(const std::string& bytes) {
  size_t line = 1;
  size_t found = 0;
  for (size_t at = 0; at < bytes.size(); ++at) {
    const auto byte = static_cast<unsigned char>(bytes[at]);
    const size_t more = byte < 0x80                    ? 0
                        : byte >= 0xC2 && byte <= 0xDF ? 1
                        : byte >= 0xE0 && byte <= 0xEF ? 2
                        : byte >= 0xF0 && byte <= 0xF4 ? 3
                                                       : 4;
    for (size_t next = 1; next <= more; ++next) {
      if (more == 4 || at + next >= bytes.size() ||
          (static_cast<unsigned char>(bytes[at + next]) & 0xC0) != 0x80) {
        return 0;
      }
    }
    found = found == 0 && more > 0 ? line : found;
    line += byte == '\n' ? 1 : 0;
    at += more;
  }
  return found;
}

}  // namespace

Warnings IniEncoding(const std::string& file, const std::string& section, const std::string& bytes,
                     unsigned codePage, const SameName& sameName) {
  static const char kMark[] = "\xEF\xBB\xBF";
  static const char kHowToSave[] =
      ": save it as ANSI in the system code page, or as UTF-16 with its byte order mark "
      "(\"Unicode\"), which Windows' reader converts";
  Warnings warnings;
  const bool marked = bytes.compare(0, 3, kMark) == 0;
  const size_t start = marked ? 3 : 0;
  const std::string first = bytes.substr(start, bytes.find_first_of("\r\n", start) - start);
  const size_t header = first.find_first_not_of(" \t");
  if (marked && header != std::string::npos && first[header] == '[') {
    const std::string name = first.substr(header + 1, first.find(']') - header - 1);
    warnings.push_back(
        file +
        " begins with a UTF-8 byte order mark, which Windows' INI reader does not "
        "skip (Wine's does): on Windows it does not see the section [" +
        name + "] on the first line" +
        (sameName(name, section) ? ", so the launcher there reads none of its settings" : "") +
        kHowToSave);
  }
  const size_t line = FirstUtf8Line(bytes.substr(start));
  if (line > 0 && codePage != 65001) {
    warnings.push_back(file + " holds UTF-8 text (line " + std::to_string(line) +
                       "), which Windows' INI reader takes byte by byte in this machine's " +
                       "code page " + std::to_string(codePage) +
                       ", so a name outside ASCII names another file" + kHowToSave);
  }
  return warnings;
}

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

}  // namespace rules
