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
    "  this machine with the alias words, and warns about likely mistakes in its\n"
    "  configuration. It starts nothing, writes nothing and deletes nothing.\n"
    "  -log            also show where the launcher would write its trace with this\n"
    "                  -log (c:\\install.log without a file), and the trace itself\n"
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

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

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

  void Section(const std::string& file, const std::string& section) {
    m_out << "Section [" << section << "]\n";
    const Args above = hints::Keys(m_system.IniLines(file, ""));
    if (!above.empty()) {
      Warn(file + " holds settings above its first [section] header, where the launcher " +
           "never reads them: " + hints::Joined(above, ", ") + "; put them under [" + section +
           "]");
    }
    if (SectionPresent(file, section)) {
      UnknownKeys(file, section);
    }
  }

  bool SectionPresent(const std::string& file, const std::string& section) {
    Args sections;
    for (const std::string& name : m_system.IniSections(file)) {
      if (SameName(name, section)) {
        return true;
      }
      sections.push_back("[" + name + "]");
    }
    Warn("no section [" + section + "] in " + file + ": every setting reads as empty; " +
         (sections.empty() ? "the file has no sections"
                           : "its sections are " + hints::Joined(sections, ", ")) +
         ": pass one of them as the alias, or name the section [" + section + "]");
    return false;
  }

  void UnknownKeys(const std::string& file, const std::string& section) {
    Args unknown;
    for (const std::string& key : hints::Keys(m_system.IniLines(file, section))) {
      if (std::none_of(std::begin(kSettingKeys), std::end(kSettingKeys),
                       [&key](const SettingKey& known) { return SameName(key, known.name); })) {
        const std::string closest = hints::ClosestKey(key);
        unknown.push_back(key + (closest.empty() ? "" : " (did you mean " + closest + "?)"));
      }
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
          << "\n  Working directory: "
          << (text::IsBareName(started->file, m_real.LeadBytes()) ? "the launcher's own, unchanged"
                                                                  : started->dir)
          << "\n  Because: " << started->rule << "\n";
  }

  void LogDestination(const std::string& file) {
    m_out << "\nTrace log: the launcher, started with this -log, would write it to " << file
          << "\n";
    const int separator = text::FindLastSeparator(file, m_real.LeadBytes());
    if (SameName(text::Left(file, separator), "c:") && !m_system.IsElevated()) {
      Warn("-log: " + file +
           " is in the root of C:, where on current Windows only an administrator may create "
           "files, and this user is not one here: name a file you can write, such as -log "
           "%TEMP%\\start.log");
    }
  }

 private:
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
    const Args arguments = hints::ProgramArguments(replaced);
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
    if (text::AsciiLower(text::Mid(installer, static_cast<int>(installer.size()) - 4)) != ".msi") {
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
    const std::string installer = LocateInstaller(configured, launcherDir, m_real.LeadBytes());
    const bool present = m_real.CanOpenForReading(installer);
    m_out << "  Installer on this machine: " << installer << (present ? "" : " (missing)") << "\n";
    const std::string drive = text::Left(configured, 2);
    if (drive.size() == 2 && drive[1] == ':' && !SameName(drive, text::Left(installer, 2))) {
      Warn("InstallFilename names drive " + drive +
           ", but the launcher always takes the installer from its own drive: it would start " +
           installer +
           (present ? ", which is there; to say so without a drive letter, name it"
                    : ", which is not there: put the installer on the medium and name it") +
           " relative to the launcher's folder, such as Setup\\setup.exe");
    } else if (!present) {
      Warn("the installer " + installer + " is not on the medium, or cannot be read");
    }
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

CheckerCommand ParseCheckerArguments(const Args& args, CheckRequest* request) {
  auto next = args.begin();
  request->showTrace = next != args.end() && IsLogSwitch(*next);
  next += request->showTrace ? 1 : 0;
  if (next == args.end()) {
    return CheckerCommand::Wrong;
  }
  if (IsHelp(args.front()) || IsHelp(*next)) {
    return CheckerCommand::Help;
  }
  request->launcherPath = *next++;
  const auto log = std::find_if(next, args.end(), IsLogSwitch);
  request->alias = hints::Joined(next, log, " ");
  if (log != args.end()) {
    request->showTrace = true;
    request->logFile = hints::Joined(log + 1, args.end(), " ");
  }
  return CheckerCommand::Check;
}

int CheckLauncher(Platform& real, SystemQueries& system, const CheckRequest& request,
                  std::ostream& out) {
  // The launcher as AutoPlay or Explorer would start it, with the trace on:
  // the trace goes to memory and no old log is deleted.
  const std::string alias = request.alias.empty() ? std::string() : " " + request.alias;
  const std::string log = request.logFile.empty() ? std::string() : " " + request.logFile;
  CheckingPlatform platform(real, system, request.launcherPath,
                            Quoted(request.launcherPath) + alias + " -log" + log);
  TraceLog trace(platform);
  CLauncherApp app(platform, trace);

  out << "Checking " << Quoted(request.launcherPath) << alias << "\n" << kRegistryView << "\n";
  // A path with spaces typed without quotes arrives cut at its first space,
  // and the launcher would take a later word's .exe for its own.
  const std::string lower = text::AsciiLower(request.launcherPath);
  if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".exe") != 0) {
    out << "\nThe launcher's path does not end in .exe: there is no launcher to check. Put a "
           "path with spaces in double quotes.\n";
    return kWouldStartNothing;
  }
  app.ParseCommandLine();  // true: it finds the .exe that ends the path
  const bool started = app.RunLaunch();

  Checker checker(real, system, out);
  checker.ConfigFiles(platform, app.m_szConfigFile);
  if (!app.m_szConfigFile.empty()) {
    checker.Section(app.m_szConfigFile, app.m_szSectionName);
    const LaunchSettings settings = ReadSettings(platform, app.m_szConfigFile, app.m_szSectionName);
    checker.Settings(settings, app.m_szCurrentPath);
    checker.Registry(settings, platform.RegistryReads());
  }
  checker.Starts(platform.Starts());
  checker.Outcome(started ? &platform.Starts().back() : nullptr, platform.Trace());
  if (request.showTrace) {
    checker.LogDestination(platform.LogFile());
  }

  out << "\n";
  for (const std::string& warning : checker.Warnings()) {
    out << "warning: " << warning << "\n";
  }
  if (checker.Warnings().empty()) {
    out << "No warnings.\n";
  }
  if (request.showTrace) {
    out << "\nTrace log, as the launcher writes it with -log\n" << platform.Trace();
  }
  if (!started) {
    return kWouldStartNothing;
  }
  return checker.Warnings().empty() ? kWouldStart : kWouldStartWithWarnings;
}
