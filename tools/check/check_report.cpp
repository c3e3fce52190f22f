#include "check_report.h"

#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "checking_platform.h"
#include "config_rules.h"
#include "hint_text.h"
#include "launch/target_rules.h"
#include "launch_rules.h"
#include "platform/text.h"

namespace {

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

// As much of the INI file as the checker looks at for its encoding.
constexpr size_t kIniBytes = 1 << 16;

// Enough to tell a value that is too long for the launcher from a missing one.
constexpr size_t kLongRegistryValue = 1 << 16;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string ViewName(RegistryView view) {
  return (view == RegistryView::Own ? kOwnView : view) == RegistryView::Bits32 ? "32-bit view"
                                                                               : "64-bit view";
}

// True when the launcher, started with this command line, keeps a trace.
bool AsksForLog(Platform& real, SystemQueries& system, const std::string& launcher,
                const std::string& line) {
  CheckingPlatform platform(real, system, launcher, line);
  TraceLog unused(platform);
  CLauncherApp app(platform, unused);
  return app.ParseCommandLine() && app.m_bLogRequested;
}

// The folders and the file name of a path, between its separators.
std::vector<std::string> PathParts(const std::string& path, const text::LeadByteTest& isLeadByte) {
  std::vector<std::string> parts;
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

// The last message of a trace.
std::string LastEntry(std::string trace) {
  while (!trace.empty() && trace.back() == '\n') {
    trace.pop_back();
  }
  // No line feed left: rfind gives npos, and npos + 1 wraps to the start.
  const std::string line = trace.substr(trace.rfind('\n') + 1);
  const size_t message = line.find(") ");
  return message == std::string::npos ? line : line.substr(message + 2);
}

// Prints the launcher's decisions and gathers, from this machine, what the
// warning rules need.
class Report {
 public:
  Report(Platform& real, SystemQueries& system, CheckingPlatform& platform, const CLauncherApp& app,
         const LaunchResult& result, std::ostream& out)
      : m_real(real),
        m_system(system),
        m_platform(platform),
        m_app(app),
        m_result(result),
        m_out(out),
        m_isLeadByte(real.LeadBytes()) {}

  const rules::Warnings& Warnings() const { return m_warnings; }

  void ConfigFiles() {
    m_out << "\nConfiguration file\n";
    for (const std::string& file : m_result.configTried) {
      m_out << "  " << file << ": " << (file == m_result.configFile ? "found, used" : "not found")
            << "\n";
    }
    if (m_result.configFile.empty()) {
      m_out << "  none found: the launcher would stop here\n";
    }
    Add(rules::LauncherName(m_app.m_szCurrentExeName, m_app.m_szAppAlias));
  }

  void Section() {
    const std::string& file = m_result.configFile;
    m_out << "Section [" << m_result.section << "]\n";
    const rules::IniLayout ini = {file, m_result.section, m_system.IniSections(file),
                                  hints::Keys(m_system.IniLines(file, "")),
                                  hints::Keys(m_system.IniLines(file, m_result.section))};
    const rules::SameName sameName = [this](const std::string& a, const std::string& b) {
      return m_system.SameIniName(a, b);
    };
    std::string bytes;
    m_real.ReadFileStart(file, kIniBytes, &bytes);
    Add(rules::IniEncoding(file, m_result.section, bytes, m_system.AnsiCodePage(), sameName));
    Add(rules::IniKeys(ini, sameName));
  }

  void Settings() {
    const LaunchSettings& settings = m_result.settings;
    m_out << "\nSettings\n";
    for (const SettingKey& setting : kSettingKeys) {
      m_out << "  " << setting.name << std::string(32 - std::string(setting.name).size(), ' ')
            << "= " << settings.*setting.field << "\n";
    }
    const std::string& parameters = settings.szInstalledAppParameters;
    if (FindWithCharBefore(parameters, kDirectoryMarker, m_isLeadByte).at >= 0) {
      m_out << "  InstalledAppParameters with PATH: replaced: " << m_result.appParameters << "\n";
    }
    Add(rules::SettingValues(settings));
    Add(rules::Parameters(settings, m_result.launcherDir, m_isLeadByte));
    Add(rules::Installer(InstallerFacts()));
  }

  void Registry() {
    m_out << "\nRegistry lookups\n";
    bool any = false;
    for (const SettingKey& setting : kSettingKeys) {
      const std::string& pathText = m_result.settings.*setting.field;
      if (setting.use != SettingUse::RegistryPath || pathText.empty()) {
        continue;
      }
      any = true;
      rules::LookupFacts facts;
      facts.setting = &setting;
      facts.pathText = pathText;
      for (const SettingLookup& made : m_result.lookups) {
        facts.made = made.setting == &setting ? &made : facts.made;
      }
      m_out << "  " << setting.name << ": ";
      RegistryLocation at;
      if (!ParseRegistryPath(pathText, m_isLeadByte, &at)) {
        m_out << "no registry root, not looked up\n";
      } else {
        m_out << RegistryRootName(at.root) << ", " << ViewName(at.view) << ", key "
              << Quoted(at.keyPath) << ", value " << Quoted(at.valueName) << ": ";
        Lookup(at, facts);
      }
      Add(rules::Registry(facts, kOwnView, m_isLeadByte));
    }
    if (!any) {
      m_out << "  none: no registry setting is given\n";
    }
  }

  void Starts() {
    m_out << "\nStart attempts (nothing is started: each verdict is the shell's, foreseen)\n";
    std::vector<rules::AttemptFacts> attempts;
    for (const StartAttempt& attempt : m_result.attempts) {
      const StartRecord* forecast = m_platform.Forecast(attempt.handed, attempt.parameters);
      attempts.push_back({&attempt, forecast});
      m_out << "  " << attempt.path << ": "
            << (attempt.outcome == StartOutcome::Started ? "would start" : "would fail") << " ("
            << (forecast != nullptr ? forecast->rule : Refusal(attempt.outcome)) << ")\n";
    }
    if (attempts.empty()) {
      m_out << "  none\n";
    }
    Add(rules::Starts(attempts));
  }

  // An installed product whose program would not start, so that the
  // installer would run again over it.
  void Reinstall() {
    rules::ReinstallFacts facts;
    for (const StartAttempt& attempt : m_result.attempts) {
      facts.attempt = attempt.route == StartRoute::Installer ? facts.attempt : &attempt;
    }
    const SettingLookup* fullPath = Made(&LaunchSettings::szInstalledRegFullFilename);
    const SettingLookup* folder = Made(&LaunchSettings::szInstalledRegPath);
    if (facts.attempt != nullptr) {
      facts.found = facts.attempt->route == StartRoute::RegistryFullPath ? fullPath : folder;
    } else {
      facts.found = fullPath != nullptr && !fullPath->text.empty() ? fullPath
                    : folder != nullptr && !folder->text.empty()   ? folder
                                                                   : nullptr;
    }
    if (facts.found == nullptr ||
        (facts.attempt != nullptr && facts.attempt->outcome == StartOutcome::Started)) {
      return;
    }
    const StartRecord* forecast =
        facts.attempt == nullptr
            ? nullptr
            : m_platform.Forecast(facts.attempt->handed, facts.attempt->parameters);
    facts.verdict = forecast != nullptr        ? forecast->rule
                    : facts.attempt != nullptr ? Refusal(facts.attempt->outcome)
                                               : std::string();
    facts.cut = m_result.settings.szInstalledRegFullFilenameRemove;
    const std::string& value = facts.found->text;
    facts.programReadable =
        m_real.CanOpenForReading(text::Unquoted(rules::ProgramInCommand(value)));
    const std::string iconless = rules::WithoutIconIndex(value);
    facts.iconlessReadable =
        !iconless.empty() && m_real.CanOpenForReading(text::Unquoted(iconless));
    facts.installLocation = InstallLocation(*facts.found);
    Add(rules::Reinstall(facts, kOwnView, m_isLeadByte));
  }

  void Outcome() {
    if (!m_result.started) {
      m_out << "\nWould start nothing. The launcher's trace would end with: "
            << Quoted(LastEntry(m_platform.Trace())) << "\n";
      return;
    }
    const StartAttempt& last = m_result.attempts.back();
    const StartRecord& started = *m_platform.Forecast(last.handed, last.parameters);
    m_out << "\nWould start " << started.program << "\n  Parameters: " << started.parameters
          << "\n  Working directory: " << started.dir
          << (started.ownDir ? " (the launcher's own, unchanged)" : "")
          << "\n  Because: " << started.rule << "\n";
  }

  // Where the launcher, started with this -log, would write its trace, or
  // why it would write none. True when it would write one.
  bool LogDestination() {
    const LogRequest& log = m_app.m_logRequest;
    const std::string why = rules::WhyNoLog(
        log, m_real.IsDirectory(log.file),
        log.choice == LogChoice::Named ? m_system.CanWrite(log.file) : WriteAccess::Writable,
        m_isLeadByte);
    if (why.empty()) {
      m_out << "\nTrace log: the launcher, started with this -log, would write it to " << log.file
            << "\n";
      return true;
    }
    m_out << "\nTrace log: the launcher, started with this -log, would write none: " << why << "\n";
    Add({"-log: the launcher would write no trace: " + why +
         ": name a file you can write, such as -log %TEMP%\\start.log"});
    return false;
  }

 private:
  void Add(const rules::Warnings& more) {
    m_warnings.insert(m_warnings.end(), more.begin(), more.end());
  }

  static const char* Refusal(StartOutcome outcome) {
    return outcome == StartOutcome::Itself ? "this launcher itself, which it never starts"
           : outcome == StartOutcome::Folder
               ? "a folder, which the launcher never hands to the shell"
               : "no file named, which the launcher never hands to "
                 "the shell";
  }

  const SettingLookup* Made(std::string LaunchSettings::*field) const {
    for (const SettingLookup& made : m_result.lookups) {
      if (made.setting->field == field && made.lookup.found) {
        return &made;
      }
    }
    return nullptr;
  }

  // The path text of the InstallLocation value beside the one found, as
  // the Uninstall keys hold it; empty when there is none.
  std::string InstallLocation(const SettingLookup& found) {
    static const char kName[] = "InstallLocation";
    const RegistryLocation& at = found.lookup.location;
    RegistryValue value;
    if (at.valueName == kName ||
        !m_real.ReadRegistryValue(at.root, at.view, at.keyPath, kName, kMaxRegistryValueBytes,
                                  &value) ||
        text::Searchable(value.data).empty()) {
      return std::string();
    }
    const std::string& pathText = m_result.settings.*found.setting->field;
    return text::Left(pathText, text::FindLastOf(pathText, "\\", m_isLeadByte) + 1) + kName;
  }

  // The installer where the launcher would find it, and whether a text
  // without a drive letter reaches it.
  rules::InstallerFacts InstallerFacts() {
    rules::InstallerFacts facts;
    facts.configured = m_result.settings.szInstallFilename;
    if (facts.configured.empty()) {
      return facts;
    }
    facts.file = m_platform.Completed(m_result.installer);
    facts.present = m_real.CanOpenForReading(facts.file);
    m_out << "  Installer on this machine: " << facts.file << (facts.present ? "" : " (missing)")
          << "\n";
    facts.relative = facts.present ? RelativeInstaller(facts.file) : "";
    return facts;
  }

  // The text that leads the launcher to the installer without a drive
  // letter: ..\ for each folder of the launcher's that the installer's path
  // leaves; empty when none does.
  std::string RelativeInstaller(const std::string& installer) {
    const std::string& launcherDir = m_result.launcherDir;
    const std::vector<std::string> from = PathParts(launcherDir, m_isLeadByte);
    const std::vector<std::string> to = PathParts(installer, m_isLeadByte);
    size_t common = 0;
    while (common < from.size() && common + 1 < to.size() &&
           text::AsciiLower(from[common]) == text::AsciiLower(to[common])) {
      ++common;
    }
    std::string relative;
    for (size_t up = common; up < from.size(); ++up) {
      relative += "..\\";
    }
    relative += hints::Joined(to.begin() + static_cast<std::ptrdiff_t>(common), to.end(), "\\");
    const bool reaches =
        common > 0 &&
        m_real.IsSameFile(LocateInstaller(relative, launcherDir, m_isLeadByte), installer);
    return reaches ? relative : std::string();
  }

  // Prints the lookup's result and gathers what the machine holds besides.
  void Lookup(const RegistryLocation& at, rules::LookupFacts& facts) {
    const SettingLookup* made = facts.made;
    if (made == nullptr) {
      m_out << "not looked up, the launcher stops before the registry\n";
      return;
    }
    if (made->lookup.found) {
      const std::string raw(text::Searchable(made->lookup.value.data));
      m_out << Quoted(raw) << (made->text == raw ? "" : ", expanded " + Quoted(made->text))
            << (made->used == made->text ? "" : ", after the cut " + Quoted(made->used)) << "\n";
      return;
    }
    RegistryValue value;
    facts.tooLong = m_real.ReadRegistryValue(at.root, at.view, at.keyPath, at.valueName,
                                             kLongRegistryValue, &value) &&
                    value.data.size() > kMaxRegistryValueBytes;
    const RegistryView view = at.view == RegistryView::Own ? kOwnView : at.view;
    const RegistryView other =
        view == RegistryView::Bits32 ? RegistryView::Bits64 : RegistryView::Bits32;
    facts.inOtherView =
        !facts.tooLong && m_real.ReadRegistryValue(at.root, other, at.keyPath, at.valueName,
                                                   kMaxRegistryValueBytes, &value);
    // A per-user install writes HKEY_CURRENT_USER, a per-machine one
    // HKEY_LOCAL_MACHINE.
    const RegistryRoot otherRoot = at.root == RegistryRoot::LocalMachine ? RegistryRoot::CurrentUser
                                   : at.root == RegistryRoot::CurrentUser
                                       ? RegistryRoot::LocalMachine
                                       : at.root;
    facts.otherRoot = !facts.tooLong && !facts.inOtherView &&
                              m_real.ReadRegistryValue(otherRoot, at.view, at.keyPath, at.valueName,
                                                       kMaxRegistryValueBytes, &value)
                          ? otherRoot
                          : at.root;
    const std::string key = at.keyPath + (at.keyPath.empty() ? "" : "\\") + at.valueName;
    facts.keyNotValue = !at.valueName.empty() && m_system.RegistryKeyExists(at.root, at.view, key);
    m_out << (facts.tooLong ? "longer than " + std::to_string(kMaxRegistryValueBytes) +
                                  " bytes, unreadable for the launcher"
              : facts.inOtherView ? "not found; the " + ViewName(other) + " holds it"
              : facts.otherRoot != at.root
                  ? "not found; " + std::string(RegistryRootName(otherRoot)) + " holds it"
              : facts.keyNotValue ? "not found: " + at.valueName + " is a key, not a value"
                                  : std::string("not found"))
          << "\n";
  }

  Platform& m_real;
  SystemQueries& m_system;
  CheckingPlatform& m_platform;
  const CLauncherApp& m_app;
  const LaunchResult& m_result;
  std::ostream& m_out;
  text::LeadByteTest m_isLeadByte;
  rules::Warnings m_warnings;
};

}  // namespace

int CheckLauncher(Platform& real, SystemQueries& system, const CheckRequest& request,
                  std::ostream& out) {
  out << "Checking " << request.launcherLine << "\n" << kRegistryView << "\n";
  std::string line = request.launcherLine;
  const std::string written = ProgramPathAsWritten(line, real.LeadBytes());
  if (written.empty()) {
    out << "\nNo .exe on the launcher's command line: it would start nothing.\n";
    return kWouldStartNothing;
  }
  const std::string launcher = real.FullPath(written);
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
  const LaunchResult result = RunLaunchSequence(platform, app.Names());

  Report report(real, system, platform, app, result, out);
  report.ConfigFiles();
  if (!result.configFile.empty()) {
    report.Section();
    report.Settings();
    report.Registry();
  }
  report.Starts();
  report.Reinstall();
  report.Outcome();
  const bool logged = app.m_bLogRequested && report.LogDestination();

  out << "\n";
  for (const std::string& warning : report.Warnings()) {
    out << "warning: " << warning << "\n";
  }
  if (report.Warnings().empty()) {
    out << "No warnings.\n";
  }
  if (logged) {
    out << "\nTrace log, as the launcher writes it with -log\n" << platform.Trace();
  }
  if (!result.started) {
    return kWouldStartNothing;
  }
  return report.Warnings().empty() ? kWouldStart : kWouldStartWithWarnings;
}
