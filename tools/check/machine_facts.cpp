#include "machine_facts.h"

#include "config/registry.h"
#include "hint_text.h"
#include "launch/target_rules.h"
#include "platform/text.h"

namespace {

// As much of the INI file as the checker looks at for its encoding.
constexpr size_t kIniBytes = 1 << 16;

// Enough to tell a value that is too long for the launcher from a missing one.
constexpr size_t kLongRegistryValue = 1 << 16;

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

}  // namespace

rules::IniLayout MachineFacts::Ini() {
  const std::string& file = m_result.configFile;
  return {file, m_result.section, m_system.IniSections(file),
          hints::Keys(m_system.IniLines(file, "")),
          hints::Keys(m_system.IniLines(file, m_result.section))};
}

std::string MachineFacts::IniBytes() {
  std::string bytes;
  m_real.ReadFileStart(m_result.configFile, kIniBytes, &bytes);
  return bytes;
}

rules::InstallerFacts MachineFacts::Installer() {
  rules::InstallerFacts facts;
  facts.configured = m_result.settings.szInstallFilename;
  if (facts.configured.empty()) {
    return facts;
  }
  facts.file = m_platform.Completed(m_result.installer);
  // A URL names no file: the shell's verdict on it says whether it opens.
  facts.present = text::HasUrlScheme(facts.file) || m_real.CanOpenForReading(facts.file);
  facts.relative = facts.present ? RelativeInstaller(facts.file) : "";
  return facts;
}

// The text that leads the launcher to the installer without a drive
// letter: ..\ for each folder of the launcher's that the installer's path
// leaves; empty when none does.
std::string MachineFacts::RelativeInstaller(const std::string& installer) {
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

rules::LookupFacts MachineFacts::Lookup(const SettingKey& setting) {
  rules::LookupFacts facts;
  facts.setting = &setting;
  facts.pathText = m_result.settings.*setting.field;
  for (const SettingLookup& made : m_result.lookups) {
    facts.made = made.setting == &setting ? &made : facts.made;
  }
  RegistryLocation at;
  if (facts.made == nullptr || facts.made->lookup.found ||
      !ParseRegistryPath(facts.pathText, m_isLeadByte, &at)) {
    return facts;
  }
  facts.otherRoot = at.root;
  RegistryValue value;
  facts.tooLong = m_real.ReadRegistryValue(at.root, at.view, at.keyPath, at.valueName,
                                           kLongRegistryValue, &value) &&
                  value.data.size() > kMaxRegistryValueBytes;
  facts.inOtherView =
      !facts.tooLong &&
      m_real.ReadRegistryValue(at.root, rules::OtherView(rules::ViewRead(at.view, m_ownView)),
                               at.keyPath, at.valueName, kMaxRegistryValueBytes, &value);
  // A per-user install writes HKEY_CURRENT_USER, a per-machine one
  // HKEY_LOCAL_MACHINE.
  const RegistryRoot otherRoot = at.root == RegistryRoot::LocalMachine  ? RegistryRoot::CurrentUser
                                 : at.root == RegistryRoot::CurrentUser ? RegistryRoot::LocalMachine
                                                                        : at.root;
  if (!facts.tooLong && !facts.inOtherView &&
      m_real.ReadRegistryValue(otherRoot, at.view, at.keyPath, at.valueName, kMaxRegistryValueBytes,
                               &value)) {
    facts.otherRoot = otherRoot;
  }
  const std::string key = at.keyPath + (at.keyPath.empty() ? "" : "\\") + at.valueName;
  facts.keyNotValue = !at.valueName.empty() && m_system.RegistryKeyExists(at.root, at.view, key);
  return facts;
}

std::vector<rules::AttemptFacts> MachineFacts::Attempts() {
  std::vector<rules::AttemptFacts> attempts;
  for (const StartAttempt& attempt : m_result.attempts) {
    attempts.push_back({&attempt, m_platform.Forecast(attempt.handed, attempt.parameters)});
  }
  return attempts;
}

rules::ReinstallFacts MachineFacts::Reinstall(const std::vector<rules::AttemptFacts>& attempts) {
  rules::ReinstallFacts facts;
  const rules::AttemptFacts* installed = nullptr;
  for (const rules::AttemptFacts& attempt : attempts) {
    installed = attempt.attempt->route == StartRoute::Installer ? installed : &attempt;
  }
  const SettingLookup* fullPath = Found(&LaunchSettings::szInstalledRegFullFilename);
  const SettingLookup* folder = Found(&LaunchSettings::szInstalledRegPath);
  if (installed != nullptr) {
    facts.found = installed->attempt->route == StartRoute::RegistryFullPath ? fullPath : folder;
    facts.attempt = installed->attempt;
    facts.verdict = rules::Verdict(*installed);
  } else {
    facts.found = fullPath != nullptr && !fullPath->text.empty() ? fullPath
                  : folder != nullptr && !folder->text.empty()   ? folder
                                                                 : nullptr;
  }
  if (facts.found == nullptr ||
      (installed != nullptr && installed->attempt->outcome == StartOutcome::Started)) {
    return rules::ReinstallFacts();
  }
  facts.cut = m_result.settings.szInstalledRegFullFilenameRemove;
  const SettingLookup& found = *facts.found;
  facts.programReadable =
      m_real.CanOpenForReading(text::Unquoted(rules::ProgramInCommand(found.text)));
  const std::string iconless = rules::WithoutIconIndex(found.text);
  facts.iconlessReadable = !iconless.empty() && m_real.CanOpenForReading(text::Unquoted(iconless));
  facts.installLocation = InstallLocation(found);
  // The same value as the programs of the other view would expand it.
  if (found.lookup.value.expandable) {
    const std::string raw(text::Searchable(found.lookup.value.data));
    const std::string other = ExpandRegistryText(
        m_real, raw, rules::OtherView(rules::ViewRead(found.lookup.location.view, m_ownView)));
    if (other != found.text &&
        m_real.CanOpenForReading(text::Unquoted(rules::ProgramInCommand(other)))) {
      facts.elsewhere = other;
    }
  }
  return facts;
}

const SettingLookup* MachineFacts::Found(std::string LaunchSettings::*field) const {
  for (const SettingLookup& made : m_result.lookups) {
    if (made.setting->field == field && made.lookup.found) {
      return &made;
    }
  }
  return nullptr;
}

// The path text of the InstallLocation value beside the one found, as the
// Uninstall keys hold it; empty when there is none.
std::string MachineFacts::InstallLocation(const SettingLookup& found) {
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
