// Finding the configuration file beside the launcher and reading its ten
// settings.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

struct LaunchSettings {
  std::string szInstallFilename;
  std::string szInstallParameters;
  std::string szInstalledRegPath;
  std::string szInstalledRegPathRemove;
  std::string szInstalledRegFilename;
  std::string szInstalledRegFilenameRemove;
  std::string szInstalledAppFilename;
  std::string szInstalledAppParameters;
  std::string szInstalledRegFullFilename;
  std::string szInstalledRegFullFilenameRemove;
};

// What the launcher does with a setting's value.
enum class SettingUse {
  Value,         // used as written, or by the target rules
  RegistryPath,  // names a registry value to look up
  Unused,        // read and logged, nothing more
};

// A key of the configuration section, the field it fills and its use.
struct SettingKey {
  const char* name;
  std::string LaunchSettings::*field;
  SettingUse use;
};

// The ten keys, in the order they are read.
extern const SettingKey kSettingKeys[10];

// Each key's value arrives in a buffer of this size, so at most 259
// characters.
constexpr size_t kSettingBufferSize = 260;

// The passed alias when there is one, else the launcher's base name.
std::string ChooseSection(const std::string& appAlias, const std::string& passedAlias);

// Probes, in order, <dir>\<appAlias>.ini, <dir>\<passedAlias>.ini (only with
// an alias) and <dir>\config.ini, logging each name. Returns the first that
// opens for reading; when none does, logs the error entry and returns the
// empty text. tried, when given, receives the names probed, in order.
std::string FindConfigFile(Platform& platform, const std::string& dir, const std::string& appAlias,
                           const std::string& passedAlias,
                           std::vector<std::string>* tried = nullptr);

// Reads the ten keys from the section; missing ones are empty.
LaunchSettings ReadSettings(Platform& platform, const std::string& file,
                            const std::string& section);

// The file, the section and each setting as label and value.
void LogSettings(const std::string& file, const std::string& section,
                 const LaunchSettings& settings);
