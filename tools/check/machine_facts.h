// What the warning rules need to know of this machine beyond the launcher's
// decisions, found by asking the real platform and the system queries,
// never by working a decision out again.
#pragma once

#include <string>
#include <vector>

#include "checking_platform.h"
#include "config_rules.h"
#include "launch/launch_sequence.h"
#include "launch_rules.h"
#include "system_queries.h"

class MachineFacts {
 public:
  MachineFacts(Platform& real, SystemQueries& system, CheckingPlatform& platform,
               const LaunchResult& result, RegistryView ownView)
      : m_real(real),
        m_system(system),
        m_platform(platform),
        m_result(result),
        m_ownView(ownView),
        m_isLeadByte(real.LeadBytes()) {}

  // The configuration file as the INI reader takes it, and its bytes.
  rules::IniLayout Ini();
  std::string IniBytes();

  rules::InstallerFacts Installer();

  // One registry setting: the launcher's lookup, and what the machine
  // holds where it found nothing.
  rules::LookupFacts Lookup(const SettingKey& setting);

  // The start attempts, each with the shell's verdict.
  std::vector<rules::AttemptFacts> Attempts();

  // The installed product, when the registry finds one whose program would
  // not start; attempts: as Attempts gives them.
  rules::ReinstallFacts Reinstall(const std::vector<rules::AttemptFacts>& attempts);

 private:
  const SettingLookup* Found(std::string LaunchSettings::*field) const;
  std::string RelativeInstaller(const std::string& installer);
  std::string InstallLocation(const SettingLookup& found);

  Platform& m_real;
  SystemQueries& m_system;
  CheckingPlatform& m_platform;
  const LaunchResult& m_result;
  RegistryView m_ownView;
  text::LeadByteTest m_isLeadByte;
};
