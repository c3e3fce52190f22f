#include "config/launch_settings.h"

#include <vector>

#include "log/exports.h"

const SettingKey kSettingKeys[10] = {
    {"InstallFilename", &LaunchSettings::szInstallFilename, SettingUse::Value},
    {"InstallParameters", &LaunchSettings::szInstallParameters, SettingUse::Value},
    {"InstalledRegPath", &LaunchSettings::szInstalledRegPath, SettingUse::RegistryPath},
    {"InstalledRegPathRemove", &LaunchSettings::szInstalledRegPathRemove, SettingUse::Unused},
    {"InstalledRegFilename", &LaunchSettings::szInstalledRegFilename, SettingUse::RegistryPath},
    {"InstalledRegFilenameRemove", &LaunchSettings::szInstalledRegFilenameRemove,
     SettingUse::Unused},
    {"InstalledAppFilename", &LaunchSettings::szInstalledAppFilename, SettingUse::Value},
    {"InstalledAppParameters", &LaunchSettings::szInstalledAppParameters, SettingUse::Value},
    {"InstalledRegFullFilename", &LaunchSettings::szInstalledRegFullFilename,
     SettingUse::RegistryPath},
    {"InstalledRegFullFilenameRemove", &LaunchSettings::szInstalledRegFullFilenameRemove,
     SettingUse::Value},
};

namespace {

void LogSetting(const SettingKey& key, const LaunchSettings& settings) {
  LogEntry("sz" + std::string(key.name) + ":");
  LogEntry(settings.*key.field);
}

}  // namespace

std::string ChooseSection(const std::string& appAlias, const std::string& passedAlias) {
  return passedAlias.empty() ? appAlias : passedAlias;
}

std::string FindConfigFile(Platform& platform, const std::string& dir, const std::string& appAlias,
                           const std::string& passedAlias, std::vector<std::string>* tried) {
  std::vector<std::string> baseNames = {appAlias};
  if (!passedAlias.empty()) {
    baseNames.push_back(passedAlias);
  }
  baseNames.push_back("config");
  for (const std::string& baseName : baseNames) {
    const std::string candidate = dir + "\\" + baseName + ".ini";
    LogEntry("Trying to Configuration File with the following name: ");
    LogEntry(candidate);
    if (tried != nullptr) {
      tried->push_back(candidate);
    }
    if (platform.CanOpenForReading(candidate)) {
      return candidate;
    }
  }
  LogEntry("ERROR: Unable to open any log file! Exiting App");
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

void LogSettings(const std::string& file, const std::string& section,
                 const LaunchSettings& settings) {
  LogEntry("Parsing Config File:");
  LogEntry(file);
  LogEntry("Using Section Name:");
  LogEntry(section);
  // The installed program's parameters come last, still as read: the
  // directory-marker entry that may follow shows what they became.
  const SettingKey* appParameters = nullptr;
  for (const SettingKey& key : kSettingKeys) {
    if (key.field == &LaunchSettings::szInstalledAppParameters) {
      appParameters = &key;
    } else {
      LogSetting(key, settings);
    }
  }
  LogSetting(*appParameters, settings);
}
