// The launch sequence: the installed program when the registry says where it
// is, else (or when that start fails) the installer, at most one start. It
// returns what it decided, for the launcher and for whoever checks it.
#pragma once

#include <string>
#include <vector>

#include "config/launch_settings.h"
#include "config/registry.h"
#include "launch/shell_launcher.h"
#include "platform/platform.h"

// Where the launcher lives and under which names it was started, as its
// command line gives them.
struct LauncherNames {
  std::string dir;  // as written, no trailing separator
  std::string appAlias;
  std::string passedAlias;
};

// The setting, or pair of settings, that named the program of an attempt.
enum class StartRoute {
  RegistryFullPath,       // InstalledRegFullFilename
  RegistryFolderAndName,  // InstalledRegPath with InstalledRegFilename
  FolderAndAppFilename,   // InstalledRegPath with InstalledAppFilename
  Installer,              // InstallFilename
};

struct StartAttempt {
  StartRoute route = StartRoute::Installer;
  std::string path;  // as the sequence made it
  std::string parameters;
  std::string handed;  // what went, or would have gone, to the shell
  StartOutcome outcome = StartOutcome::Failed;
};

// One registry setting's lookup, and the text the sequence took from it.
struct SettingLookup {
  const SettingKey* setting = nullptr;
  RegistryLookup lookup;
  std::string text;  // as read, expanded
  std::string used;  // the text, for the full path after the cut
};

struct LaunchResult {
  std::vector<std::string> configTried;  // the configuration files probed, in order
  std::string configFile;                // the one found; empty when none was
  std::string section;
  LaunchSettings settings;             // as read
  std::string launcherDir;             // in full
  std::string appParameters;           // InstalledAppParameters after the marker
  std::string installer;               // InstallFilename on the launcher's drive
  std::vector<SettingLookup> lookups;  // those made, in order
  std::vector<StartAttempt> attempts;  // in order; the last one decides
  bool started = false;
};

LaunchResult RunLaunchSequence(Platform& platform, const LauncherNames& names);
