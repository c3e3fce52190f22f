#include "config/launch_settings.h"

#include <vector>

const SettingKey kSettingKeys[10] = {
    {"InstallFilename", &LaunchSettings::szInstallFilename},
    {"InstallParameters", &LaunchSettings::szInstallParameters},
    {"InstalledRegPath", &LaunchSettings::szInstalledRegPath},
    {"InstalledRegPathRemove", &LaunchSettings::szInstalledRegPathRemove},
    {"InstalledRegFilename", &LaunchSettings::szInstalledRegFilename},
    {"InstalledRegFilenameRemove", &LaunchSettings::szInstalledRegFilenameRemove},
    {"InstalledAppFilename", &LaunchSettings::szInstalledAppFilename},
    {"InstalledAppParameters", &LaunchSettings::szInstalledAppParameters},
    {"InstalledRegFullFilename", &LaunchSettings::szInstalledRegFullFilename},
    {"InstalledRegFullFilenameRemove", &LaunchSettings::szInstalledRegFullFilenameRemove},
};

namespace {

void LogSetting(TraceLog& log, const SettingKey& key, const LaunchSettings& settings) {
  log.Write("sz" + std::string(key.name) + ":");
  log.Write(settings.*key.field);
}

}  // namespace

std::string ChooseSection(const std::string& appAlias, const std::string& passedAlias) {
  return passedAlias.empty() ? appAlias : passedAlias;
}

std::string FindConfigFile(Platform& platform, TraceLog& log, const std::string& dir,
                           const std::string& appAlias, const std::string& passedAlias) {
  std::vector<std::string> baseNames = {appAlias};
  if (!passedAlias.empty()) {
    baseNames.push_back(passedAlias);
  }
  baseNames.push_back("config");
  for (const std::string& baseName : baseNames) {
    const std::string candidate = dir + "\\" + baseName + ".ini";
    log.Write("Trying to Configuration File with the following name: ");
    log.Write(candidate);
    if (platform.CanOpenForReading(candidate)) {
      return candidate;
    }
  }
  log.Write("ERROR: Unable to open any log file! Exiting App");
  return std::string();
}

LaunchSettings ReadSettings(Platform& platform, const std::string& file,
                            const std::string& section) {
  LaunchSettings settings;
  for (const SettingKey& key : kSettingKeys) {
    settings.*key.field = platform.ReadIniString(file, section, key.name, kSettingBufferSize);
  }
  return settings;
}

void LogSettings(TraceLog& log, const std::string& file, const std::string& section,
                 const LaunchSettings& settings) {
  log.Write("Parsing Config File:");
  log.Write(file);
  log.Write("Using Section Name:");
  log.Write(section);
  // The installed program's parameters come last, still as read: the
  // directory-marker entry that may follow shows what they became.
  const SettingKey* appParameters = nullptr;
  for (const SettingKey& key : kSettingKeys) {
    if (key.field == &LaunchSettings::szInstalledAppParameters) {
      appParameters = &key;
    } else {
      LogSetting(log, key, settings);
    }
  }
  LogSetting(log, *appParameters, settings);
}
