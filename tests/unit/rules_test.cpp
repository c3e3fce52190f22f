#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "config_rules.h"
#include "hint_text.h"
#include "launch/target_rules.h"
#include "launch_rules.h"
#include "virtual_platform.h"

namespace {

using Rule = std::function<rules::Warnings(const Texts& cell)>;

const text::LeadByteTest kLeadBytes = [](char c) { return c == '\x81' || c == '\x83'; };

const SettingKey& Key(const std::string& name) {
  for (const SettingKey& key : kSettingKeys) {
    if (name == key.name) {
      return key;
    }
  }
  throw std::invalid_argument(name);
}

Texts List(const std::string& cell) { return Split(cell, ','); }

rules::Warnings IniKeys(const Texts& cell) {
  const rules::IniLayout ini = {"D:\\T\\start.ini", "start", List(cell[0]), List(cell[1]),
                                List(cell[2])};
  return rules::IniKeys(ini, [](const std::string& a, const std::string& b) {
    return text::AsciiLower(a) == text::AsciiLower(b);
  });
}

rules::Warnings IniEncoding(const Texts& cell) {
  return rules::IniEncoding("D:\\T\\start.ini", "start", cell[0],
                            static_cast<unsigned>(std::stoul(cell[1])),
                            [](const std::string& a, const std::string& b) {
                              return text::AsciiLower(a) == text::AsciiLower(b);
                            });
}

rules::Warnings SettingValues(const Texts& cell) {
  LaunchSettings settings;
  for (auto setting = cell.begin(); setting + 1 != cell.end(); ++setting) {
    const size_t equals = setting->find('=');
    settings.*Key(setting->substr(0, equals)).field = setting->substr(equals + 1);
  }
  return rules::SettingValues(settings);
}

rules::Warnings Parameters(const Texts& cell) {
  LaunchSettings settings;
  settings.szInstalledAppParameters = cell[0];
  settings.szInstallParameters = cell[1];
  settings.szInstallFilename = cell[2];
  return rules::Parameters(settings, cell[3], kLeadBytes);
}

rules::Warnings Installer(const Texts& cell) {
  return rules::Installer({cell[0], cell[1], cell[2] == "present", cell[3]});
}

// The lookup of InstalledRegFullFilename, not made, found, or missing and
// where the machine holds it instead.
rules::Warnings Registry(const Texts& cell) {
  SettingLookup made;
  made.setting = &Key("InstalledRegFullFilename");
  made.lookup.found = cell[1] == "found";
  rules::LookupFacts facts;
  facts.setting = made.setting;
  facts.pathText = cell[0];
  facts.made = cell[1] == "none" ? nullptr : &made;
  facts.tooLong = cell[1] == "long";
  facts.inOtherView = cell[1] == "view";
  facts.keyNotValue = cell[1] == "key";
  RegistryLocation at;
  ParseRegistryPath(cell[0], kLeadBytes, &at);
  facts.otherRoot = cell[1] == "root" ? RegistryRoot::CurrentUser : at.root;
  return rules::Registry(facts, RegistryView::Bits32, kLeadBytes);
}

// An installed product whose program would not start (see rule_cases.txt).
rules::Warnings Reinstall(const Texts& cell) {
  SettingLookup found;
  const bool full = cell[0] == "full";
  found.setting = &Key(full ? "InstalledRegFullFilename" : "InstalledRegPath");
  found.lookup.location.valueName = "DisplayIcon";
  const size_t arrow = cell[1].find('>');
  found.lookup.value = {cell[1].substr(0, arrow), cell[4].find("sz") == std::string::npos};
  found.text = cell[1].substr(arrow == std::string::npos ? 0 : arrow + 1);
  found.used = full ? CutText(found.text, cell[2], kLeadBytes) : found.text;
  StartAttempt attempt;
  attempt.path = full ? found.used : found.text + "\\app.exe";
  attempt.outcome = cell[3] == "itself"   ? StartOutcome::Itself
                    : cell[3] == "folder" ? StartOutcome::Folder
                                          : StartOutcome::Failed;
  rules::ReinstallFacts facts;
  facts.found = &found;
  facts.attempt = cell[3] == "none" ? nullptr : &attempt;
  facts.verdict = "no readable file";
  facts.cut = cell[2];
  facts.programReadable = cell[4].find("program") != std::string::npos;
  facts.iconlessReadable = cell[4].find("iconless") != std::string::npos;
  (cell[5].rfind("loc:", 0) == 0 ? facts.installLocation : facts.elsewhere) = text::Mid(cell[5], 4);
  return rules::Reinstall(facts, RegistryView::Bits32, kLeadBytes);
}

// Attempts as route outcome path [parameters dropped], separated by ;.
rules::Warnings Starts(const Texts& cell) {
  const std::map<std::string, StartRoute> routes = {{"full", StartRoute::RegistryFullPath},
                                                    {"named", StartRoute::RegistryFolderAndName},
                                                    {"folder", StartRoute::FolderAndAppFilename},
                                                    {"installer", StartRoute::Installer}};
  const std::map<std::string, StartOutcome> outcomes = {{"started", StartOutcome::Started},
                                                        {"failed", StartOutcome::Failed},
                                                        {"empty", StartOutcome::Empty},
                                                        {"itself", StartOutcome::Itself}};
  std::vector<StartAttempt> attempts;
  std::vector<StartRecord> forecasts;
  for (const std::string& item : Split(cell[0])) {
    const Texts word = Split(item + "  ", ' ');
    attempts.push_back({routes.at(word[0]), word[2], "", word[2], outcomes.at(word[1])});
    forecasts.emplace_back().dropped = word[3];
    forecasts.back().program = "viewer.exe";
  }
  std::vector<rules::AttemptFacts> facts;
  for (size_t at = 0; at < attempts.size(); ++at) {
    facts.push_back({&attempts[at], &forecasts[at]});
  }
  return rules::Starts(facts);
}

rules::Warnings WhyNoLog(const Texts& cell) {
  const std::map<std::string, LogChoice> choices = {
      {"named", LogChoice::Named}, {"noname", LogChoice::NoName}, {"kept", LogChoice::Kept}};
  const std::map<std::string, WriteAccess> access = {
      {"", WriteAccess::Writable},         {"badname", WriteAccess::BadName},
      {"nofolder", WriteAccess::NoFolder}, {"folder", WriteAccess::Folder},
      {"readonly", WriteAccess::ReadOnly}, {"medium", WriteAccess::ReadOnlyMedium},
      {"denied", WriteAccess::Denied}};
  const std::string why = rules::WhyNoLog({choices.at(cell[0]), cell[1]}, cell[2] == "folder",
                                          access.at(cell[3]), kLeadBytes);
  return why.empty() ? rules::Warnings() : rules::Warnings{why};
}

}  // namespace

// Each row of rule_cases.txt: the rule of the [Name] above it, its inputs
// and the words its warnings must hold.
TEST(WarningRules, NameEachMistakeWithItsFix) {
  const std::map<std::string, Rule> rules = {
      {"IniKeys", IniKeys},       {"IniEncoding", IniEncoding}, {"SettingValues", SettingValues},
      {"Parameters", Parameters}, {"Installer", Installer},     {"Registry", Registry},
      {"Reinstall", Reinstall},   {"Starts", Starts},           {"WhyNoLog", WhyNoLog}};
  const Texts rows = Cases(STARTPOINT_TEST_DATA "/rule_cases.txt");
  ASSERT_FALSE(rows.empty());
  std::string rule;
  for (const std::string& row : rows) {
    if (row[0] == '[' && row.find('|') == std::string::npos) {
      rule = row.substr(1, row.size() - 2);
      continue;
    }
    SCOPED_TRACE(rule + ": " + row);
    const Texts cell = Split(row, '|');
    const rules::Warnings warnings = rules.at(rule)(cell);
    const std::string all = hints::Joined(warnings, "\n");
    EXPECT_EQ(warnings.empty(), cell.back() == "-") << all;
    for (const std::string& words : Split(cell.back(), '&')) {
      const bool absent = words[0] == '!';
      EXPECT_EQ(all.find(words.substr(absent)) == std::string::npos, absent || words == "-") << all;
    }
  }
}

// Values cut at the buffer's size.
TEST(WarningRules, ValuesAsLongAsTheBufferWereProbablyCut) {
  const std::string longest(kSettingBufferSize - 1, 'p');
  EXPECT_EQ(SettingValues({"InstallParameters=" + longest, ""}).size(), 1u);
  EXPECT_TRUE(SettingValues({"InstallParameters=" + longest.substr(1), ""}).empty());
}
