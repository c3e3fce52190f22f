// The launch sequence: the installed program when the registry says where it
// is, else (or when that start fails) the installer, at most one start.
#include "app/launcher_app.h"
#include "config/launch_settings.h"
#include "config/registry.h"
#include "launch/shell_launcher.h"
#include "launch/target_rules.h"
#include "platform/text.h"

namespace {

bool LaunchLogged(CShellLauncher& shell, const char* label, const std::string& path,
                  const std::string& parameters) {
  LogEntry(label);
  LogEntry(path);
  LogEntry("And parameters:");
  LogEntry(parameters);
  return shell.Launch(path, parameters);
}

// The launcher's folder in full. Started as Title\start.exe (or ..\start.exe,
// \Title\start.exe) from a prompt, the folder as written holds no drive
// letter for the installer, and means nothing to a program started in its
// own folder. A launcher started by bare name has no folder, and keeps none.
std::string FullFolder(Platform& platform, const std::string& dir,
                       const text::LeadByteTest& isLeadByte) {
  if (dir.empty()) {
    return dir;
  }
  const std::string full = platform.FullPath(dir + "\\");
  const int last = text::FindLastSeparator(full, isLeadByte);
  return last == static_cast<int>(full.size()) - 1 ? text::Left(full, last) : full;
}

}  // namespace

bool CLauncherApp::RunLaunch() {
  m_szConfigFile.clear();
  m_szSectionName = ChooseSection(m_szAppAlias, m_szPassedAlias);
  const std::string configFile =
      FindConfigFile(m_platform, m_szCurrentPath, m_szAppAlias, m_szPassedAlias);
  if (configFile.empty()) {
    return false;
  }
  m_szConfigFile = configFile;
  LaunchSettings settings = ReadSettings(m_platform, m_szConfigFile, m_szSectionName);
  LogSettings(m_szConfigFile, m_szSectionName, settings);

  const text::LeadByteTest isLeadByte = m_platform.LeadBytes();
  const std::string szLauncherDir = FullFolder(m_platform, m_szCurrentPath, isLeadByte);
  std::string& szParameters = settings.szInstalledAppParameters;
  if (ReplaceDirectoryMarker(szParameters, szLauncherDir, isLeadByte)) {
    LogEntry("Changed the InstalledAppParameters by replacing the Drive Letter variable");
    LogEntry(szParameters);
  }

  if (settings.szInstallFilename.empty()) {
    LogEntry("Error szInstallFilename is NULL ");
    return false;
  }
  const std::string szInstallFilename =
      LocateInstaller(settings.szInstallFilename, szLauncherDir, isLeadByte);

  std::string szInstalledDir;
  std::string szInstalledFilename;
  std::string szInstalledFullPath;
  ReadRegistryString(m_platform, settings.szInstalledRegPath, szInstalledDir);
  ReadRegistryString(m_platform, settings.szInstalledRegFilename, szInstalledFilename);
  ReadRegistryString(m_platform, settings.szInstalledRegFullFilename, szInstalledFullPath);
  szInstalledFullPath =
      CutText(szInstalledFullPath, settings.szInstalledRegFullFilenameRemove, isLeadByte);

  CShellLauncher shell(m_platform);
  if (!szInstalledFullPath.empty()) {
    if (LaunchLogged(shell, "Launching Installed App with path:", szInstalledFullPath,
                     szParameters)) {
      LogEntry("Successfully Launched Installed App");
      return true;
    }
  } else if (!szInstalledDir.empty()) {
    bool started = false;
    if (!szInstalledFilename.empty()) {
      started =
          LaunchLogged(shell, "Launching Installed App with path:",
                       JoinPath(szInstalledDir, szInstalledFilename, isLeadByte), szParameters);
    } else if (!settings.szInstalledAppFilename.empty()) {
      started = LaunchLogged(shell, "Launching app with path:",
                             JoinPath(szInstalledDir, settings.szInstalledAppFilename, isLeadByte),
                             szParameters);
    } else {
      LogEntry(
          "The Filename was not specified for the installed app.  Cannot launch anything except "
          "installer");
    }
    if (started) {
      LogEntry("Success Launching InstalledApp");
      return true;
    }
  }

  LogEntry("Trying to Launch installer now:");
  LogEntry(szInstallFilename);
  LogEntry("With Parameter :");
  LogEntry(settings.szInstallParameters);
  if (!shell.Launch(szInstallFilename, settings.szInstallParameters)) {
    LogEntry("Error Launching InstallFilename");
    return false;
  }
  LogEntry("Successfully Launched InstallFilename");
  return true;
}
