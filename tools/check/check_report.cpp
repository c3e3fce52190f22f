#include "check_report.h"

#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "checking_platform.h"
#include "config_rules.h"
#include "launch/target_rules.h"
#include "launch_rules.h"
#include "machine_facts.h"
#include "platform/text.h"

namespace {

// The view each build reads where a path text names none.
const char* RegistryViewLine(RegistryView own) {
  return own == RegistryView::Bits64
             ? "Registry: the 64-bit view, as the x64 launcher reads it, where a path text names "
               "no view."
             : "Registry: the 32-bit view on 64-bit Windows, as the x86 launcher reads it, where a "
               "path text names no view.";
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// True when the launcher, started with this command line, keeps a trace.
bool AsksForLog(Platform& real, SystemQueries& system, const std::string& launcher,
                const std::string& line) {
  CheckingPlatform platform(real, system, launcher, line);
  TraceLog unused(platform);
  CLauncherApp app(platform, unused);
  return app.ParseCommandLine() && app.m_bLogRequested;
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

// Prints the launcher's decisions, and the warning rules' findings over
// them and over what the machine holds besides.
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
        m_isLeadByte(real.LeadBytes()),
        m_ownView(real.OwnView()),
        m_facts(real, system, platform, result, m_ownView) {}

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
    m_out << "Section [" << m_result.section << "]\n";
    const rules::SameName sameName = [this](const std::string& a, const std::string& b) {
      return m_system.SameIniName(a, b);
    };
    Add(rules::IniEncoding(m_result.configFile, m_result.section, m_facts.IniBytes(),
                           m_system.AnsiCodePage(), sameName));
    Add(rules::IniKeys(m_facts.Ini(), sameName));
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
    const rules::InstallerFacts installer = m_facts.Installer();
    if (!installer.configured.empty()) {
      m_out << "  Installer on this machine: " << installer.file
            << (installer.present ? "" : " (missing)") << "\n";
    }
    Add(rules::Installer(installer));
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
      const rules::LookupFacts facts = m_facts.Lookup(setting);
      m_out << "  " << setting.name << ": ";
      RegistryLocation at;
      if (!ParseRegistryPath(pathText, m_isLeadByte, &at)) {
        m_out << "no registry root, not looked up\n";
      } else {
        m_out << RegistryRootName(at.root) << ", "
              << rules::ViewName(rules::ViewRead(at.view, m_ownView)) << ", key "
              << Quoted(at.keyPath) << ", value " << Quoted(at.valueName) << ": "
              << Lookup(at, facts) << "\n";
      }
      Add(rules::Registry(facts, m_ownView, m_isLeadByte));
    }
    if (!any) {
      m_out << "  none: no registry setting is given\n";
    }
  }

  void Starts() {
    m_out << "\nStart attempts (nothing is started: each verdict is the shell's, foreseen)\n";
    const std::vector<rules::AttemptFacts> attempts = m_facts.Attempts();
    for (const rules::AttemptFacts& attempt : attempts) {
      m_out << "  " << attempt.attempt->path << ": "
            << (attempt.attempt->outcome == StartOutcome::Started ? "would start" : "would fail")
            << " (" << rules::Verdict(attempt) << ")\n";
    }
    if (attempts.empty()) {
      m_out << "  none\n";
    }
    Add(rules::Starts(attempts));
    Add(rules::Reinstall(m_facts.Reinstall(attempts), m_ownView, m_isLeadByte));
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

  // What a lookup found, or why not.
  std::string Lookup(const RegistryLocation& at, const rules::LookupFacts& facts) {
    const SettingLookup* made = facts.made;
    if (made == nullptr) {
      return "not looked up, the launcher stops before the registry";
    }
    if (made->lookup.found) {
      const std::string raw(text::Searchable(made->lookup.value.data));
      return Quoted(raw) + (made->text == raw ? "" : ", expanded " + Quoted(made->text)) +
             (made->used == made->text ? "" : ", after the cut " + Quoted(made->used));
    }
    const RegistryView other = rules::OtherView(rules::ViewRead(at.view, m_ownView));
    return facts.tooLong ? "longer than " + std::to_string(kMaxRegistryValueBytes) +
                               " bytes, unreadable for the launcher"
           : facts.inOtherView ? "not found; the " + rules::ViewName(other) + " holds it"
           : facts.otherRoot != at.root
               ? "not found; " + std::string(RegistryRootName(facts.otherRoot)) + " holds it"
           : facts.keyNotValue ? "not found: " + at.valueName + " is a key, not a value"
                               : std::string("not found");
  }

  Platform& m_real;
  SystemQueries& m_system;
  CheckingPlatform& m_platform;
  const CLauncherApp& m_app;
  const LaunchResult& m_result;
  std::ostream& m_out;
  text::LeadByteTest m_isLeadByte;
  RegistryView m_ownView;
  MachineFacts m_facts;
  rules::Warnings m_warnings;
};

}  // namespace

int CheckLauncher(Platform& real, SystemQueries& system, const CheckRequest& request,
                  std::ostream& out) {
  out << "Checking " << request.launcherLine << "\n" << RegistryViewLine(real.OwnView()) << "\n";
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
