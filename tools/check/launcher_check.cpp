#include "launcher_check.h"

#include <algorithm>
#include <cstring>

#include "app/launcher_app.h"
#include "checking_platform.h"
#include "config/launch_settings.h"
#include "config/registry.h"
#include "hint_text.h"
#include "launch/target_rules.h"
#include "platform/text.h"

const char kCheckerUsage[] =
    "usage: startpoint-check [-log] <launcher path> [alias words] [-log [file]]\n"
    "  Shows what the launcher at <launcher path>, such as D:\\start.exe, would do on\n"
    "  this machine, started with the rest of this command line as typed, and warns\n"
    "  about likely mistakes in its configuration. It starts nothing, writes nothing\n"
    "  and deletes nothing.\n"
    "  -log [file]     as for the launcher: also show where it would write its trace\n"
    "                  (c:\\install.log without a file), or why none, and the trace\n"
    "  -log in front   the same, for the launcher started with a plain -log\n"
    "  /?, -h, --help  show this text\n"
    "exit status: 0 would start something; 1 would start something, with warnings;\n"
    "2 would start nothing, or a wrong command line\n";

namespace {

using Args = hints::Texts;

// The registry lookups, in the order the launcher makes them.
const SettingKey kLookups[] = {
    {"InstalledRegPath", &LaunchSettings::szInstalledRegPath},
    {"InstalledRegFilename", &LaunchSettings::szInstalledRegFilename},
    {"InstalledRegFullFilename", &LaunchSettings::szInstalledRegFullFilename},
};

// Read and logged by the launcher, but they change nothing.
const SettingKey kIgnored[] = {
    {"InstalledRegPathRemove", &LaunchSettings::szInstalledRegPathRemove},
    {"InstalledRegFilenameRemove", &LaunchSettings::szInstalledRegFilenameRemove},
};

#ifdef _WIN64
constexpr RegistryView kOwnView = RegistryView::Bits64;
const char kRegistryView[] =
    "Registry: the 64-bit view, as the x64 launcher reads it, where a path text names no view.";
#else
constexpr RegistryView kOwnView = RegistryView::Bits32;
const char kRegistryView[] =
    "Registry: the 32-bit view on 64-bit Windows, as the x86 launcher reads it, where a path "
    "text names no view.";
#endif

// Enough to tell a value that is too long for the launcher from a missing one.
constexpr size_t kLongRegistryValue = 1 << 16;

bool SameName(const std::string& a, const std::string& b) {
  return text::AsciiLower(a) == text::AsciiLower(b);
}

bool IsLogSwitch(const std::string& arg) { return SameName(arg, "-log"); }

bool IsHelp(const std::string& arg) { return arg == "/?" || arg == "-h" || arg == "--help"; }

const char kBlanks[] = " \t";

// The word that starts at at: up to the next white space.
std::string NextWord(const std::string& s, size_t at) {
  return s.substr(at, s.find_first_of(kBlanks, at) - at);
}

// True when the launcher, started with this command line, keeps a trace.
bool AsksForLog(Platform& real, SystemQueries& system, const std::string& launcher,
                const std::string& line) {
  CheckingPlatform platform(real, system, launcher, line);
  TraceLog unused(platform);
  CLauncherApp app(platform, unused);
  return app.ParseCommandLine() && app.m_bLogRequested;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The folders and the file name of a path, between its separators.
Args PathParts(const std::string& path, const text::LeadByteTest& isLeadByte) {
  Args parts;
  int start = 0;
  text::FindAtCharStart(path, "", isLeadByte, [&](int pos) {
    if (text::IsSeparator(path[static_cast<size_t>(pos)])) {
      parts.push_back(text::Mid(path, start, pos - start));
      start = pos + 1;
    }
    return false;
  });
  parts.push_back(text::Mid(path, start));
  return parts;
}

RegistryView Bits(RegistryView view) { return view == RegistryView::Own ? kOwnView : view; }

RegistryView OtherView(RegistryView view) {
  return Bits(view) == RegistryView::Bits32 ? RegistryView::Bits64 : RegistryView::Bits32;
}

std::string ViewName(RegistryView view) {
  return Bits(view) == RegistryView::Bits32 ? "32-bit view" : "64-bit view";
}

// The path text that reads the same value from the given view: 32 or 64
// right after the root's name.
std::string WithView(const std::string& pathText, const RegistryLocation& at, RegistryView view) {
  const char* root = RegistryRootName(at.root);
  const int end = text::Find(pathText, root) + static_cast<int>(std::strlen(root));
  return text::Left(pathText, end) + (view == RegistryView::Bits32 ? "32" : "64") +
         text::Mid(pathText, end + (at.view == RegistryView::Own ? 0 : 2));
}

class Checker {
 public:
  Checker(Platform& real, SystemQueries& system, std::ostream& out)
      : m_real(real), m_system(system), m_out(out) {}

  void Warn(const std::string& warning) { m_warnings.push_back(warning); }
  const Args& Warnings() const { return m_warnings; }

  void ConfigFiles(const CheckingPlatform& platform, const std::string& used) {
    m_out << "\nConfiguration file\n";
    for (const ProbeRecord& probe : platform.Probes()) {
      m_out << "  " << probe.file << ": "
            << (!probe.readable      ? "not found"
                : probe.file == used ? "found, used"
                                     : "found")
            << "\n";
    }
    if (used.empty()) {
      m_out << "  none found: the launcher would stop here\n";
    }
  }

  // Explorer hides the type of a program, so a launcher renamed there to
  // start.exe may well be start.exe.exe, which looks for start.exe.ini.
  void LauncherName(const CLauncherApp& app) {
    const std::string& name = app.m_szCurrentExeName;
    if (text::EndsWith(name, ".exe.exe")) {
      Warn("the launcher's file is named " + name + ", with .exe twice: it looks for " +
           app.m_szAppAlias + ".ini and the section [" + app.m_szAppAlias +
           "]; rename the file to " + app.m_szAppAlias);
    }
  }

  void Section(const std::string& file, const std::string& section) {
    m_out << "Section [" << section << "]\n";
    const Args above = hints::Keys(m_system.IniLines(file, ""));
    if (!above.empty()) {
      Warn(file + " holds settings above its first [section] header, where the launcher " +
           "never reads them: " + hints::Joined(above, ", ") + "; put them under [" + section +
           "]");
    }
    Args sections;
    size_t found = 0;
    for (const std::string& name : m_system.IniSections(file)) {
      found += m_system.SameIniName(name, section) ? 1u : 0u;
      sections.push_back("[" + name + "]");
    }
    if (found == 0) {
      Warn("no section [" + section + "] in " + file + ": every setting reads as empty; " +
           (sections.empty() ? "the file has no sections"
                             : "its sections are " + hints::Joined(sections, ", ")) +
           ": pass one of them as the alias, or name the section [" + section + "]");
      return;
    }
    if (found > 1) {
      Warn(file + " holds " + std::to_string(found) + " sections [" + section +
           "]: the launcher reads the first only; merge them into one");
    }
    Keys(file, section);
  }

  void Keys(const std::string& file, const std::string& section) {
    Args unknown;
    Args seen;
    for (const std::string& key : hints::Keys(m_system.IniLines(file, section))) {
      const auto same = [this, &key](const std::string& other) {
        return m_system.SameIniName(key, other);
      };
      if (std::any_of(seen.begin(), seen.end(), same)) {
        Warn("[" + section + "] gives " + key +
             " more than once: the launcher reads the first only");
      } else if (std::none_of(std::begin(kSettingKeys), std::end(kSettingKeys),
                              [&same](const SettingKey& known) { return same(known.name); })) {
        const std::string closest = hints::ClosestKey(key);
        unknown.push_back(key + (closest.empty() ? "" : " (did you mean " + closest + "?)"));
      }
      seen.push_back(key);
    }
    if (!unknown.empty()) {
      Warn("[" + section + "] holds keys the launcher does not know (typing mistakes?): " +
           hints::Joined(unknown, ", "));
    }
  }

  void Settings(const LaunchSettings& settings, const std::string& launcherDir) {
    m_out << "\nSettings\n";
    for (const SettingKey& setting : kSettingKeys) {
      const std::string& value = settings.*setting.field;
      m_out << "  " << setting.name << std::string(32 - std::string(setting.name).size(), ' ')
            << "= " << value << "\n";
      if (value.size() == kSettingBufferSize - 1) {
        Warn(std::string(setting.name) +
             " is 259 characters long, the most the launcher reads: it was probably cut");
      }
      const size_t comment = std::min(value.find(" ;"), value.find("\t;"));
      if (comment != std::string::npos) {
        Warn(std::string(setting.name) + ": the launcher reads \"" + value.substr(comment + 1) +
             "\" as part of the value, not as a comment: put the comment on a line of its own");
      }
    }
    for (const SettingKey& ignored : kIgnored) {
      if (!(settings.*ignored.field).empty()) {
        Warn(std::string(ignored.name) +
             " is set, but the launcher only reads and logs it: it cuts nothing");
      }
    }
    for (const SettingKey& lookup : kLookups) {
      RegistryLocation location;
      const std::string& pathText = settings.*lookup.field;
      if (!pathText.empty() && !ParseRegistryPath(pathText, m_real.LeadBytes(), &location)) {
        Warn(std::string(lookup.name) +
             " names no registry root: write HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, "
             "HKEY_CLASSES_ROOT or HKEY_USERS, in capitals");
      }
    }
    Marker(settings.szInstalledAppParameters, launcherDir);
    InstallerMarker(settings.szInstallParameters);
    SilentPackage(settings.szInstallFilename, settings.szInstallParameters);
    Installer(settings.szInstallFilename, launcherDir);
  }

  void Registry(const LaunchSettings& settings, const std::vector<RegistryRead>& reads) {
    m_out << "\nRegistry lookups\n";
    size_t next = 0;
    bool any = false;
    for (const SettingKey& lookup : kLookups) {
      const std::string& pathText = settings.*lookup.field;
      if (pathText.empty()) {
        continue;
      }
      any = true;
      m_out << "  " << lookup.name << ": ";
      RegistryLocation location;
      if (!ParseRegistryPath(pathText, m_real.LeadBytes(), &location)) {
        m_out << "no registry root, not looked up\n";
        continue;
      }
      TextInFrontOfRoot(lookup.name, pathText, location);
      m_out << RegistryRootName(location.root) << ", " << ViewName(location.view) << ", key "
            << Quoted(location.keyPath) << ", value " << Quoted(location.valueName) << ": ";
      if (next == reads.size()) {
        m_out << "not looked up, the launcher stops before the registry\n";
        continue;
      }
      const RegistryRead& read = reads[next++];
      if (read.found) {
        Found(lookup, read, settings.szInstalledRegFullFilenameRemove);
      } else if (TooLong(read)) {
        m_out << "longer than 255 bytes, unreadable for the launcher\n";
        Warn(std::string(lookup.name) +
             ": the registry value is longer than 255 bytes, so the launcher cannot read it");
      } else {
        NotFound(lookup.name, pathText, location);
      }
    }
    if (!any) {
      m_out << "  none: no registry setting is given\n";
    }
  }

  void Starts(const std::vector<StartRecord>& starts) {
    m_out << "\nStart attempts (nothing is started: each verdict is the shell's, foreseen)\n";
    for (const StartRecord& start : starts) {
      m_out << "  " << start.file << ": " << (start.started ? "would start" : "would fail") << " ("
            << start.rule << ")\n";
      // A failed attempt that is the last one is the installer's: a failed
      // installed program is always followed by the installer.
      if (start.itself && &start == &starts.back()) {
        Warn("InstallFilename names this launcher itself (" + start.file +
             "), which never starts itself, so nothing would start: name the installer, or "
             "rename the launcher so that the two differ");
      } else if (start.itself) {
        Warn(InstalledSource() + " gives this launcher itself (" + start.file +
             ") as the installed program, which the launcher never starts, so it goes on to the "
             "installer: point the setting at the installed program");
      }
      if (!start.dropped.empty()) {
        Warn("the parameters " + start.dropped + " would be dropped: the \"open\" action for " +
             start.file + " runs " + start.program +
             " with no place for them (no %* in its command)");
      }
    }
    if (starts.empty()) {
      m_out << "  none\n";
    }
  }

  void Outcome(const StartRecord* started, const std::string& trace) {
    if (started == nullptr) {
      m_out << "\nWould start nothing. The launcher's trace would end with: "
            << Quoted(LastEntry(trace)) << "\n";
      return;
    }
    m_out << "\nWould start " << started->program << "\n  Parameters: " << started->parameters
          << "\n  Working directory: " << started->dir
          << (started->ownDir ? " (the launcher's own, unchanged)" : "")
          << "\n  Because: " << started->rule << "\n";
  }

  // Where the launcher, started with this -log, would write its trace, or
  // why it would write none. True when it would write one.
  bool LogDestination(const CLauncherApp& app, const std::string& named) {
    const std::string why = named == kTraceInMemory ? WhyNotNamed(app) : WhyNotWritable(named);
    if (why.empty()) {
      m_out << "\nTrace log: the launcher, started with this -log, would write it to " << named
            << "\n";
      return true;
    }
    m_out << "\nTrace log: the launcher, started with this -log, would write none: " << why << "\n";
    Warn("-log: the launcher would write no trace: " + why +
         ": name a file you can write, such as -log %TEMP%\\start.log");
    return false;
  }

 private:
  // The launcher names no log when its file is not a trace log, or when
  // -log is followed by a single space.
  std::string WhyNotNamed(const CLauncherApp& app) {
    const std::string file =
        app.m_szLogFilename.empty() ? kDefaultLogFilename : app.m_szLogFilename;
    if (m_real.IsDirectory(file)) {
      return file + " is a folder";
    }
    if (!MayReplaceWithLog(m_real, file)) {
      return file + " is a file but not a trace log, and the launcher leaves it untouched";
    }
    return "-log is followed by a single space, which names no file";
  }

  std::string WhyNotWritable(const std::string& file) {
    switch (m_system.CanWrite(file)) {
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
               (SameName(text::Left(file, 3), "c:\\") &&
                        text::FindLastSeparator(file, m_real.LeadBytes()) == 2
                    ? " (only an administrator may create files in the root of C:)"
                    : "");
    }
    return std::string();
  }

  static std::string LastEntry(std::string trace) {
    while (!trace.empty() && trace.back() == '\n') {
      trace.pop_back();
    }
    // No line feed left: rfind gives npos, and npos + 1 wraps to the start.
    const std::string line = trace.substr(trace.rfind('\n') + 1);
    const size_t message = line.find(") ");
    return message == std::string::npos ? line : line.substr(message + 2);
  }

  // The value as the launcher takes it: expanded when its type asks, and the
  // full path after the cut.
  void Found(const SettingKey& lookup, const RegistryRead& read, const std::string& cut) {
    const std::string raw(text::Searchable(read.value.data));
    const std::string expanded = read.value.expandable ? m_real.ExpandEnvironment(raw) : raw;
    std::string& value = m_found.*lookup.field;
    value = lookup.field == &LaunchSettings::szInstalledRegFullFilename
                ? CutText(expanded, cut, m_real.LeadBytes())
                : expanded;
    m_out << Quoted(raw) << (expanded == raw ? "" : ", expanded " + Quoted(expanded))
          << (value == expanded ? "" : ", after the cut " + Quoted(value)) << "\n";
    if (lookup.field == &LaunchSettings::szInstalledRegFullFilename) {
      ArgumentsInValue(expanded, value);
    }
  }

  // Some installers register a command, such as "C:\Prog\app.exe" /arg:
  // the launcher takes it all for one path, which names no file.
  void ArgumentsInValue(const std::string& expanded, const std::string& value) {
    size_t end = std::string::npos;
    if (value[0] == '"') {
      const size_t closing = value.find('"', 1);
      end = closing == std::string::npos ? closing : closing + 1;
    } else {
      const size_t exe = text::AsciiLower(value).find(".exe ");
      end = exe == std::string::npos ? exe : exe + 4;
    }
    const std::string program = text::Unquoted(value.substr(0, end));
    if (!m_real.CanOpenForReading(program) || m_real.CanOpenForReading(text::Unquoted(value))) {
      return;
    }
    // The cut takes the one character in front of its text with it.
    const std::string cut = value.substr(end + 1);
    const bool cuts = text::Unquoted(CutText(expanded, cut, m_real.LeadBytes())) == program;
    Warn("InstalledRegFullFilename: the registry value " + value + " names the program " + program +
         " with arguments after it, and the launcher takes it all for one path" +
         (cuts ? ": to cut the arguments, set InstalledRegFullFilenameRemove=" + cut : ""));
  }

  // The launcher replaces the first PATH: together with the one character
  // in front of it, wherever it stands.
  void Marker(const std::string& parameters, const std::string& launcherDir) {
    std::string replaced = parameters;
    if (ReplaceDirectoryMarker(replaced, launcherDir, m_real.LeadBytes())) {
      m_out << "  InstalledAppParameters with PATH: replaced: " << replaced << "\n";
      const int marker = text::Find(parameters, "PATH:");
      const char before = marker > 0 ? parameters[static_cast<size_t>(marker - 1)] : '%';
      if (before != '%') {
        Warn("InstalledAppParameters: the " + hints::CharacterName(before) +
             " in front of PATH: is removed with the marker, so the program gets " + replaced +
             ": put the spare % there: " + text::Left(parameters, marker) + "%" +
             text::Mid(parameters, marker));
      }
      MarkerQuoting(replaced, launcherDir);
    }
    const std::string lower = text::AsciiLower(parameters);
    for (int at = text::Find(lower, "path:"); at >= 0; at = text::Find(lower, "path:", at + 1)) {
      if (parameters.compare(static_cast<size_t>(at), 5, "PATH:") != 0 &&
          hints::StartsWord(lower, at)) {
        Warn("InstalledAppParameters: " + parameters.substr(static_cast<size_t>(at), 5) +
             " is not the marker: only PATH: in capitals is replaced by the launcher's folder");
        break;
      }
    }
  }

  // The program must get the launcher's folder whole, spaces and all, and
  // without a stray quote: "%PATH:\" would end in an escaped quote.
  void MarkerQuoting(const std::string& replaced, const std::string& launcherDir) {
    const Args arguments = hints::ProgramArguments(replaced, m_real.LeadBytes());
    // D: alone names the current folder of drive D, not its root.
    const bool root = text::Mid(launcherDir, 1) == ":";
    for (const std::string& argument : arguments) {
      if (root && argument.size() >= 2 &&
          argument.compare(argument.size() - 2, 2, launcherDir) == 0) {
        Warn("InstalledAppParameters: in the root of " + launcherDir + " the program gets " +
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
    Warn("InstalledAppParameters: the program would not get the launcher's folder " + launcherDir +
         " as one argument, but [" + hints::Joined(arguments, "] [") +
         "]: put the marker in double quotes without a backslash before the closing one, such "
         "as \"%PATH:\\.\" (around a whole value, two pairs: \"\"%PATH:\\.\"\", since the INI "
         "reader drops one)");
  }

  // PATH: as a word of its own was probably meant as the marker; inside a
  // longer word, such as /LOGPATH:, it is the installer's own syntax.
  void InstallerMarker(const std::string& parameters) {
    const std::string lower = text::AsciiLower(parameters);
    for (int at = text::Find(lower, "path:"); at >= 0; at = text::Find(lower, "path:", at + 1)) {
      if (hints::StartsWord(lower, at)) {
        Warn(
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
  void SilentPackage(const std::string& installer, const std::string& parameters) {
    if (!text::EndsWith(installer, ".msi")) {
      return;
    }
    for (const std::string& argument : hints::ProgramArguments(parameters)) {
      const std::string option = text::AsciiLower(text::Mid(argument, 1));
      if ((argument[0] == '/' || argument[0] == '-') &&
          (option == "q" || option == "qn" || option == "quiet")) {
        Warn("InstallParameters " + argument +
             ": msiexec installs without any window, and so asks nobody for an administrator's "
             "consent; a per-machine package then fails without a word unless the launcher "
             "already runs as an administrator. /passive shows only a progress bar and asks");
        return;
      }
    }
  }

  void Installer(const std::string& configured, const std::string& launcherDir) {
    if (configured.empty()) {
      Warn("InstallFilename is empty: the launcher starts nothing, not even the installed program");
      return;
    }
    const std::string installer =
        ShellForecast(m_real, m_system, launcherDir)
            .Completed(LocateInstaller(configured, launcherDir, m_real.LeadBytes()));
    const bool present = m_real.CanOpenForReading(installer);
    m_out << "  Installer on this machine: " << installer << (present ? "" : " (missing)") << "\n";
    const std::string drive = text::Left(configured, 2);
    if (drive.size() == 2 && drive[1] == ':' && !SameName(drive, text::Left(installer, 2))) {
      const std::string relative = present ? RelativeInstaller(installer, launcherDir) : "";
      Warn("InstallFilename names drive " + drive +
           ", but the launcher always takes the installer from its own drive: it would start " +
           installer +
           (!present ? ", which is not there: put the installer on the medium and name it "
                       "relative to the launcher's folder, such as Setup\\setup.exe"
            : relative.empty() ? ", which is there"
                               : ", which is there; to say so without a drive letter, write "
                                 "InstallFilename=" +
                                     relative));
    } else if (!present) {
      Warn("the installer " + installer + " is not on the medium, or cannot be read");
    }
  }

  // The text that leads the launcher in launcherDir to the installer
  // without a drive letter: ..\ for each folder of launcherDir that the
  // installer's path leaves; empty when none does.
  std::string RelativeInstaller(const std::string& installer, const std::string& launcherDir) {
    const text::LeadByteTest isLeadByte = m_real.LeadBytes();
    const Args from = PathParts(launcherDir, isLeadByte);
    const Args to = PathParts(installer, isLeadByte);
    size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && SameName(from[common], to[common])) {
      ++common;
    }
    std::string relative;
    for (size_t up = common; up < from.size(); ++up) {
      relative += "..\\";
    }
    relative += hints::Joined(to.begin() + static_cast<std::ptrdiff_t>(common), to.end(), "\\");
    const bool reaches =
        common > 0 &&
        m_real.IsSameFile(LocateInstaller(relative, launcherDir, isLeadByte), installer);
    return reaches ? relative : std::string();
  }

  // The Registry Editor's address bar puts Computer\ in front of the root;
  // the launcher then looks for a key named after the root below it.
  void TextInFrontOfRoot(const char* name, const std::string& pathText,
                         const RegistryLocation& at) {
    const int root = text::Find(pathText, RegistryRootName(at.root));
    if (root > 0) {
      Warn(std::string(name) + ": remove " + text::Left(pathText, root) +
           " in front of the root, as copied from the Registry Editor: write " +
           text::Mid(pathText, root));
    }
  }

  void NotFound(const char* name, const std::string& pathText, const RegistryLocation& at) {
    const RegistryView other = OtherView(at.view);
    RegistryValue value;
    if (m_real.ReadRegistryValue(at.root, other, at.keyPath, at.valueName, kMaxRegistryValueBytes,
                                 &value)) {
      m_out << "not found; the " << ViewName(other) << " holds it\n";
      Warn(std::string(name) + ": the value is not in the " + ViewName(at.view) +
           " that the launcher reads, but in the " + ViewName(other) + ": to read it, write " +
           WithView(pathText, at, other));
      return;
    }
    const std::string key = at.keyPath + (at.keyPath.empty() ? "" : "\\") + at.valueName;
    if (!at.valueName.empty() && m_system.RegistryKeyExists(at.root, at.view, key)) {
      m_out << "not found: " << at.valueName << " is a key, not a value\n";
      Warn(std::string(name) + ": " + at.valueName +
           " is a key, not a value: add the value's name after it (" + pathText +
           "\\<value>), or end the text with a backslash to read the key's default value");
      return;
    }
    m_out << "not found\n";
  }

  bool TooLong(const RegistryRead& read) {
    RegistryValue value;
    return m_real.ReadRegistryValue(read.root, read.view, read.keyPath, read.valueName,
                                    kLongRegistryValue, &value) &&
           value.data.size() > kMaxRegistryValueBytes;
  }

  // The settings that named the installed program: the full path when it
  // was found, else the folder with a file name.
  std::string InstalledSource() const {
    if (!m_found.szInstalledRegFullFilename.empty()) {
      return "InstalledRegFullFilename";
    }
    return m_found.szInstalledRegFilename.empty() ? "InstalledRegPath with InstalledAppFilename"
                                                  : "InstalledRegPath with InstalledRegFilename";
  }

  Platform& m_real;
  SystemQueries& m_system;
  std::ostream& m_out;
  Args m_warnings;
  LaunchSettings m_found;  // the registry values found, by the setting that names each
};

}  // namespace

CheckerCommand ParseCheckerArguments(const std::string& commandLine, CheckRequest* request) {
  // The checker's own name, quoted or up to the first white space.
  size_t at = commandLine.compare(0, 1, "\"") == 0 ? commandLine.find('"', 1)
                                                   : commandLine.find_first_of(kBlanks);
  const std::string rest = at == std::string::npos ? std::string() : commandLine.substr(at + 1);
  at = std::min(rest.find_first_not_of(kBlanks), rest.size());
  request->showTrace = IsLogSwitch(NextWord(rest, at));
  if (request->showTrace) {
    at = std::min(rest.find_first_not_of(kBlanks, at + 4), rest.size());
  }
  if (IsHelp(NextWord(rest, at))) {
    return CheckerCommand::Help;
  }
  request->launcherLine = rest.substr(at);
  return request->launcherLine.empty() ? CheckerCommand::Wrong : CheckerCommand::Check;
}

int CheckLauncher(Platform& real, SystemQueries& system, const CheckRequest& request,
                  std::ostream& out) {
  out << "Checking " << request.launcherLine << "\n" << kRegistryView << "\n";
  // The launcher's own file, as it finds its name on its command line.
  const text::LeadByteTest isLeadByte = real.LeadBytes();
  std::string line = request.launcherLine;
  const int exe = ProgramNameEnd(text::AsciiLower(line), isLeadByte);
  if (exe < 0) {
    out << "\nNo .exe on the launcher's command line: it would start nothing.\n";
    return kWouldStartNothing;
  }
  const std::string written = text::Left(line, exe + 4);
  const std::string launcher = real.FullPath(written.substr(written[0] == '"' ? 1 : 0));
  if (!real.CanOpenForReading(launcher)) {
    out << "\nThere is no launcher " << launcher << ": nothing would run.\n";
    return kWouldStartNothing;
  }
  if (request.showTrace && !AsksForLog(real, system, launcher, line)) {
    line += " -log";
  }

  // The launcher's own code, over a platform that acts on nothing. The
  // trace is kept in memory even when the launcher would write none.
  CheckingPlatform platform(real, system, launcher, line);
  TraceLog trace(platform);
  trace.SetFilename(kTraceInMemory);
  trace.Enable();
  CLauncherApp app(platform, trace);
  app.ParseCommandLine();
  const bool started = app.RunLaunch();

  Checker checker(real, system, out);
  checker.ConfigFiles(platform, app.m_szConfigFile);
  checker.LauncherName(app);
  if (!app.m_szConfigFile.empty()) {
    checker.Section(app.m_szConfigFile, app.m_szSectionName);
    const LaunchSettings settings = ReadSettings(platform, app.m_szConfigFile, app.m_szSectionName);
    checker.Settings(settings, text::Folder(launcher, isLeadByte));
    checker.Registry(settings, platform.RegistryReads());
  }
  checker.Starts(platform.Starts());
  checker.Outcome(started ? &platform.Starts().back() : nullptr, platform.Trace());
  const bool logged = app.m_bLogRequested && checker.LogDestination(app, platform.LogFile());

  out << "\n";
  for (const std::string& warning : checker.Warnings()) {
    out << "warning: " << warning << "\n";
  }
  if (checker.Warnings().empty()) {
    out << "No warnings.\n";
  }
  if (logged) {
    out << "\nTrace log, as the launcher writes it with -log\n" << platform.Trace();
  }
  if (!started) {
    return kWouldStartNothing;
  }
  return checker.Warnings().empty() ? kWouldStart : kWouldStartWithWarnings;
}
