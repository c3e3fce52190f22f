#include "launch/launch_sequence.h"

#include "launch/target_rules.h"
#include "log/exports.h"
#include "platform/text.h"

namespace {

// The launcher's folder in full. Started as Title\start.exe (or ..\start.exe,
// \Title\start.exe) from a prompt, the folder as written holds no drive
// letter for the installer, and means nothing to a program started in its
// own folder. Started by bare name (start.exe typed at a prompt), the
// command line names no folder at all: the executable's own is the one.
std::string FullFolder(Platform& platform, const std::string& dir,
                       const text::LeadByteTest& isLeadByte) {
  if (dir.empty()) {
    return text::Folder(platform.ExecutablePath(), isLeadByte);
  }
  const std::string full = platform.FullPath(dir + "\\");
  const int last = text::FindLastSeparator(full, isLeadByte);
  return last == static_cast<int>(full.size()) - 1 ? text::Left(full, last) : full;
}

const SettingKey& KeyOf(std::string LaunchSettings::*field) {
  for (const SettingKey& key : kSettingKeys) {
    if (key.field == field) {
      return key;
    }
  }
  return kSettingKeys[0];
}

// The sequence's steps, each adding to the result.
class Sequence {
 public:
  Sequence(Platform& platform, LaunchResult& result)
      : m_platform(platform), m_result(result), m_shell(platform) {}

  // The registry value that the setting names, less the text to cut.
  std::string LookUp(std::string LaunchSettings::*field, const std::string& cut = std::string()) {
    SettingLookup& made = m_result.lookups.emplace_back();
    made.setting = &KeyOf(field);
    ReadRegistryString(m_platform, m_result.settings.*field, made.text, &made.lookup);
    made.used = CutText(made.text, cut, m_platform.LeadBytes());
    return made.used;
  }

  // Logs the attempt as the route's label gives it, and makes it.
  bool Attempt(StartRoute route, const char* label, const std::string& path,
               const std::string& parameters) {
    LogEntry(label);
    LogEntry(path);
    LogEntry(route == StartRoute::Installer ? "With Parameter :" : "And parameters:");
    LogEntry(parameters);
    StartAttempt& attempt = m_result.attempts.emplace_back();
    attempt.route = route;
    attempt.path = path;
    attempt.parameters = parameters;
    m_result.started = m_shell.Launch(path, parameters, &attempt.outcome, &attempt.handed);
    return m_result.started;
  }

 private:
  Platform& m_platform;
  LaunchResult& m_result;
  CShellLauncher m_shell;
};

}  // namespace

LaunchResult RunLaunchSequence(Platform& platform, const LauncherNames& names) {
  LaunchResult result;
  const text::LeadByteTest isLeadByte = platform.LeadBytes();
  result.launcherDir = FullFolder(platform, names.dir, isLeadByte);
  result.section = ChooseSection(names.appAlias, names.passedAlias);
  // The folder as written, which the log shows; the executable's own when
  // the command line names none.
  result.configFile = FindConfigFile(platform, names.dir.empty() ? result.launcherDir : names.dir,
                                     names.appAlias, names.passedAlias, &result.configTried);
  if (result.configFile.empty()) {
    return result;
  }
  result.settings = ReadSettings(platform, result.configFile, result.section);
  const LaunchSettings& settings = result.settings;
  LogSettings(result.configFile, result.section, settings);

  result.appParameters = settings.szInstalledAppParameters;
  if (ReplaceDirectoryMarker(result.appParameters, result.launcherDir, isLeadByte)) {
    LogEntry("Changed the InstalledAppParameters by replacing the Drive Letter variable");
    LogEntry(result.appParameters);
  }

  if (settings.szInstallFilename.empty()) {
    LogEntry("Error szInstallFilename is NULL ");
    return result;
  }
  result.installer = LocateInstaller(settings.szInstallFilename, result.launcherDir, isLeadByte);

  Sequence sequence(platform, result);
  const std::string szInstalledDir = sequence.LookUp(&LaunchSettings::szInstalledRegPath);
  const std::string szInstalledFilename = sequence.LookUp(&LaunchSettings::szInstalledRegFilename);
  const std::string szInstalledFullPath = sequence.LookUp(
      &LaunchSettings::szInstalledRegFullFilename, settings.szInstalledRegFullFilenameRemove);

  const std::string& szParameters = result.appParameters;
  if (!szInstalledFullPath.empty()) {
    if (sequence.Attempt(StartRoute::RegistryFullPath,
                         "Launching Installed App with path:", szInstalledFullPath, szParameters)) {
      LogEntry("Successfully Launched Installed App");
      return result;
    }
  } else if (!szInstalledDir.empty()) {
    bool started = false;
    if (!szInstalledFilename.empty()) {
      started =
          sequence.Attempt(StartRoute::RegistryFolderAndName, "Launching Installed App with path:",
                           JoinPath(szInstalledDir, szInstalledFilename, isLeadByte), szParameters);
    } else if (!settings.szInstalledAppFilename.empty()) {
      started = sequence.Attempt(
          StartRoute::FolderAndAppFilename, "Launching app with path:",
          JoinPath(szInstalledDir, settings.szInstalledAppFilename, isLeadByte), szParameters);
    } else {
      LogEntry(
          "The Filename was not specified for the installed app.  Cannot launch anything except "
          "installer");
    }
    if (started) {
      LogEntry("Success Launching InstalledApp");
      return result;
    }
  }

  if (!sequence.Attempt(StartRoute::Installer, "Trying to Launch installer now:", result.installer,
                        settings.szInstallParameters)) {
    LogEntry("Error Launching InstallFilename");
    return result;
  }
  LogEntry("Successfully Launched InstallFilename");
  return result;
}
