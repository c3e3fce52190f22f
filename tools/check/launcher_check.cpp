#include "launcher_check.h"

#include "app/launcher_app.h"
#include "checking_platform.h"
#include "config/launch_settings.h"
#include "config/registry.h"
#include "launch/target_rules.h"
#include "platform/text.h"

namespace {

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
const char kRegistryView[] = "Registry: the 64-bit view, as the x64 launcher reads it.";
#else
const char kRegistryView[] =
    "Registry: the 32-bit view on 64-bit Windows, as the x86 launcher reads it.";
#endif

// Enough to tell a value that is too long for the launcher from a missing one.
constexpr size_t kLongRegistryValue = 1 << 16;

bool SameName(const std::string& a, const std::string& b) {
  return text::AsciiLower(a) == text::AsciiLower(b);
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  return first == std::string::npos ? std::string()
                                    : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

class Checker {
 public:
  Checker(Platform& real, IniLayout& ini, std::ostream& out)
      : m_real(real), m_ini(ini), m_out(out) {}

  void Warn(const std::string& warning) { m_warnings.push_back(warning); }
  const std::vector<std::string>& Warnings() const { return m_warnings; }

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
    bool present = false;
    for (const std::string& name : m_ini.Sections(file)) {
      present = present || SameName(name, section);
    }
    if (!present) {
      Warn("no section [" + section + "] in " + file + ": every setting reads as empty");
      return;
    }
    std::string unknown;
    for (const std::string& line : m_ini.Lines(file, section)) {
      const std::string key = Trim(line.substr(0, line.find('=')));
      bool known = key.empty() || key[0] == ';';
      for (const SettingKey& setting : kSettingKeys) {
        known = known || SameName(key, setting.name);
      }
      if (!known) {
        unknown += (unknown.empty() ? "" : ", ") + key;
      }
    }
    if (!unknown.empty()) {
      Warn("[" + section +
           "] holds keys the launcher does not know (typing mistakes?): " + unknown);
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
    std::string parameters = settings.szInstalledAppParameters;
    if (ReplaceDirectoryMarker(parameters, launcherDir)) {
      m_out << "  InstalledAppParameters with PATH: replaced: " << parameters << "\n";
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
    Marker(settings);
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
      m_out << RegistryRootName(location.root) << ", key " << Quoted(location.keyPath) << ", value "
            << Quoted(location.valueName) << ": ";
      if (next == reads.size()) {
        m_out << "not looked up, the launcher stops before the registry\n";
        continue;
      }
      const RegistryRead& read = reads[next++];
      if (read.found) {
        const std::string value(text::Searchable(read.data));
        m_out << Quoted(value);
        if (lookup.field == &LaunchSettings::szInstalledRegFullFilename) {
          const std::string cut = CutText(value, settings.szInstalledRegFullFilenameRemove);
          if (cut != value) {
            m_out << ", after the cut " << Quoted(cut);
          }
        }
        m_out << "\n";
      } else if (TooLong(read)) {
        m_out << "longer than 255 bytes, unreadable for the launcher\n";
        Warn(std::string(lookup.name) +
             ": the registry value is longer than 255 bytes, so the launcher cannot read it");
      } else {
        m_out << "not found\n";
      }
    }
    if (!any) {
      m_out << "  none: no registry setting is given\n";
    }
  }

  void Starts(const std::vector<StartRecord>& starts) {
    m_out << "\nStart attempts (nothing is started: a start counts as successful when the "
             "file exists and can be read)\n";
    for (const StartRecord& start : starts) {
      m_out << "  " << start.file << ": "
            << (start.started ? "would start" : "no readable file, would fail") << "\n";
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
    m_out << "\nWould start " << started->file << "\n  Parameters: " << started->parameters
          << "\n  Working directory: "
          << (text::FindLastSeparator(started->file, m_real.LeadBytes()) < 0
                  ? "the launcher's own, unchanged"
                  : started->dir)
          << "\n";
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

  void Marker(const LaunchSettings& settings) {
    const std::string& parameters = settings.szInstalledAppParameters;
    const int marker = text::Find(parameters, "PATH:");
    if (marker == 0) {
      Warn(
          "InstalledAppParameters: PATH: has no spare character in front; the launcher removes "
          "the character in front of the marker wherever it stands, so write %PATH:");
    } else if (marker > 0) {
      const char before = parameters[static_cast<size_t>(marker - 1)];
      const char* name = before == ' '    ? "space"
                         : before == '\t' ? "tab"
                         : before == '"'  ? "quote"
                                          : nullptr;
      if (name != nullptr) {
        Warn(std::string("InstalledAppParameters: the ") + name +
             " in front of PATH: is removed with the marker; put a spare character there: "
             "%PATH:");
      }
    }
    const std::string lower = text::AsciiLower(parameters);
    for (int at = text::Find(lower, "path:"); at >= 0; at = text::Find(lower, "path:", at + 1)) {
      if (parameters.compare(static_cast<size_t>(at), 5, "PATH:") != 0) {
        Warn("InstalledAppParameters: " + parameters.substr(static_cast<size_t>(at), 5) +
             " is not the marker: only PATH: in capitals is replaced by the launcher's folder");
        break;
      }
    }
    if (text::Find(text::AsciiLower(settings.szInstallParameters), "path:") >= 0) {
      Warn(
          "InstallParameters holds PATH:, but the launcher replaces the marker only in "
          "InstalledAppParameters: the installer gets it as written");
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
    if (!present) {
      Warn("the installer " + installer + " is not on the medium, or cannot be read");
    }
  }

  bool TooLong(const RegistryRead& read) {
    std::string data;
    return m_real.ReadRegistryValue(read.root, read.view, read.keyPath, read.valueName,
                                    kLongRegistryValue, &data) &&
           data.size() > kMaxRegistryValueBytes;
  }

  Platform& m_real;
  IniLayout& m_ini;
  std::ostream& m_out;
  std::vector<std::string> m_warnings;
};

}  // namespace

int CheckLauncher(Platform& real, IniLayout& ini, const CheckRequest& request, std::ostream& out) {
  // The launcher as AutoPlay or Explorer would start it, with the trace on:
  // the trace goes to memory and no old log is deleted.
  const std::string alias = request.alias.empty() ? std::string() : " " + request.alias;
  CheckingPlatform platform(real, request.launcherPath,
                            Quoted(request.launcherPath) + alias + " -log");
  TraceLog log(platform);
  CLauncherApp app(platform, log);

  out << "Checking " << Quoted(request.launcherPath) << alias << "\n" << kRegistryView << "\n";
  if (!app.ParseCommandLine()) {
    out << "\nThe launcher's path has no .exe: the launcher would do nothing.\n";
    return kWouldStartNothing;
  }
  const bool started = app.RunLaunch();

  Checker checker(real, ini, out);
  checker.ConfigFiles(platform, app.m_szConfigFile);
  if (!app.m_szConfigFile.empty()) {
    checker.Section(app.m_szConfigFile, app.m_szSectionName);
    const LaunchSettings settings = ReadSettings(platform, app.m_szConfigFile, app.m_szSectionName);
    checker.Settings(settings, app.m_szCurrentPath);
    checker.Registry(settings, platform.RegistryReads());
  }
  checker.Starts(platform.Starts());
  checker.Outcome(started ? &platform.Starts().back() : nullptr, platform.Trace());

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
