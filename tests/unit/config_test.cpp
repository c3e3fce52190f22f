#include <gtest/gtest.h>

#include "config/launch_settings.h"
#include "config/registry.h"
#include "virtual_platform.h"

using namespace std::string_literals;

namespace {

struct ConfigTest : ::testing::Test {
  VirtualPlatform platform;
  TraceLog log{platform};
  ConfigTest() {
    log.SetFilename("log");
    log.Enable();
  }
  std::string Find(const std::string& dir, const std::string& appAlias,
                   const std::string& passedAlias) {
    return FindConfigFile(platform, log, dir, appAlias, passedAlias);
  }
};

std::vector<std::string> Tried(const std::vector<std::string>& names) {
  std::vector<std::string> entries;
  for (const std::string& name : names) {
    entries.push_back("Trying to Configuration File with the following name: ");
    entries.push_back(name);
  }
  return entries;
}

}  // namespace

TEST_F(ConfigTest, TriesBaseNameThenAliasThenConfigIni) {
  platform.files["D:\\T\\config.ini"] = "";
  EXPECT_EQ(Find("D:\\T", "start", "movie"), "D:\\T\\config.ini");
  EXPECT_EQ(platform.LogEntries("log"),
            Tried({"D:\\T\\start.ini", "D:\\T\\movie.ini", "D:\\T\\config.ini"}));
  EXPECT_EQ(ChooseSection("start", "movie"), "movie");
  EXPECT_EQ(ChooseSection("start", ""), "start");
}

TEST_F(ConfigTest, StopsAtTheFirstReadableCandidate) {
  platform.files["D:\\T\\start.ini"] = "";
  platform.unreadable.insert("D:\\T\\start.ini");
  platform.files["D:\\T\\movie.ini"] = "";
  EXPECT_EQ(Find("D:\\T", "start", "movie"), "D:\\T\\movie.ini");
  EXPECT_EQ(platform.probes, (std::vector<std::string>{"D:\\T\\start.ini", "D:\\T\\movie.ini"}));
}

TEST_F(ConfigTest, AnAliasEqualToTheBaseNameIsProbedTwice) {
  EXPECT_EQ(Find("D:\\T", "start", "start"), "");
  std::vector<std::string> want =
      Tried({"D:\\T\\start.ini", "D:\\T\\start.ini", "D:\\T\\config.ini"});
  want.push_back("ERROR: Unable to open any log file! Exiting App");
  EXPECT_EQ(platform.LogEntries("log"), want);
}

TEST_F(ConfigTest, AnEmptyLauncherDirectoryGivesNamesFromTheRoot) {
  EXPECT_EQ(Find("", "", ""), "");
  EXPECT_EQ(platform.probes, (std::vector<std::string>{"\\.ini", "\\config.ini"}));
}

TEST_F(ConfigTest, ReadsTenKeysAndLogsTwentyFourEntries) {
  const std::string file = "D:\\T\\start.ini";
  platform.SetIni(file, "START", "installfilename", "setup.exe");
  platform.SetIni(file, "start", "InstalledAppParameters", "%PATH:\\data");
  platform.SetIni(file, "start", "InstalledRegFullFilename", std::string(300, 'x'));
  platform.SetIni(file, "other", "InstallParameters", "not this section");
  const LaunchSettings settings = ReadSettings(platform, file, "Start");
  EXPECT_EQ(platform.iniReads.size(), 10u);
  EXPECT_EQ(settings.szInstallFilename, "setup.exe");
  EXPECT_EQ(settings.szInstallParameters, "");
  EXPECT_EQ(settings.szInstalledRegFullFilename, std::string(259, 'x'));

  LogSettings(log, file, "Start", settings);
  const std::vector<std::string> entries = platform.LogEntries("log");
  ASSERT_EQ(entries.size(), 24u);
  EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 6),
            (std::vector<std::string>{"Parsing Config File:", file, "Using Section Name:", "Start",
                                      "szInstallFilename:", "setup.exe"}));
  const std::vector<std::string> labels = {
      "szInstallParameters:",          "szInstalledRegPath:",
      "szInstalledRegPathRemove:",     "szInstalledRegFilename:",
      "szInstalledRegFilenameRemove:", "szInstalledAppFilename:",
      "szInstalledRegFullFilename:",   "szInstalledRegFullFilenameRemove:",
      "szInstalledAppParameters:"};
  for (size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(entries[6 + 2 * i], labels[i]);
  }
  EXPECT_EQ(entries[23], "%PATH:\\data");
}

TEST(RegistryPath, RootByTableOrderAndSplitAtTheLastBackslash) {
  RegistryLocation at;
  ASSERT_TRUE(ParseRegistryPath("HKEY_LOCAL_MACHINE\\Software\\V\\P\\InstallDir", &at));
  EXPECT_EQ(at.root, RegistryRoot::LocalMachine);
  EXPECT_EQ(at.keyPath, "Software\\V\\P");
  EXPECT_EQ(at.valueName, "InstallDir");

  ASSERT_TRUE(ParseRegistryPath("HKEY_CURRENT_USER\\S\\HKEY_LOCAL_MACHINE\\v", &at));
  EXPECT_EQ(at.root, RegistryRoot::LocalMachine);
  EXPECT_EQ(at.keyPath, "S\\HKEY_LOCAL_MACHINE");

  ASSERT_TRUE(ParseRegistryPath("Computer\\HKEY_LOCAL_MACHINE\\Software\\X\\Dir", &at));
  EXPECT_EQ(at.keyPath, "HKEY_LOCAL_MACHINE\\Software\\X");
  EXPECT_EQ(at.valueName, "Dir");

  ASSERT_TRUE(ParseRegistryPath("HKEY_USERS\\S\\", &at));
  EXPECT_EQ(at.root, RegistryRoot::Users);
  EXPECT_EQ(at.keyPath, "S");
  EXPECT_EQ(at.valueName, "");

  ASSERT_TRUE(ParseRegistryPath("HKEY_CLASSES_ROOT\\Name", &at));
  EXPECT_EQ(at.keyPath, "");
  EXPECT_EQ(at.valueName, "Name");

  EXPECT_FALSE(ParseRegistryPath("hkey_local_machine\\Software\\X\\Dir", &at));
  EXPECT_FALSE(ParseRegistryPath("HKLM\\Software\\X\\Dir", &at));
}

TEST(RegistryString, ReadsUpTo255BytesAsTextWhateverTheType) {
  VirtualPlatform platform;
  const auto key = [](const char* value) {
    return VirtualPlatform::RegistryKey{RegistryRoot::LocalMachine, "S", value};
  };
  platform.registry[key("fits")] = std::string(254, 'a') + '\0';
  platform.registry[key("long")] = std::string(255, 'a') + '\0';
  platform.registry[key("dword")] = "\x2a\0\0\0"s;
  platform.registry[key("unterminated")] = "C:\\App";

  std::string out = "stale";
  EXPECT_FALSE(ReadRegistryString(platform, "", out));
  EXPECT_EQ(out, "stale");
  EXPECT_TRUE(ReadRegistryString(platform, "HKEY_LOCAL_MACHINE\\S\\fits", out));
  EXPECT_EQ(out, std::string(254, 'a'));
  EXPECT_FALSE(ReadRegistryString(platform, "HKEY_LOCAL_MACHINE\\S\\long", out));
  EXPECT_EQ(out, "");
  EXPECT_TRUE(ReadRegistryString(platform, "HKEY_LOCAL_MACHINE\\S\\dword", out));
  EXPECT_EQ(out, "*");
  EXPECT_TRUE(ReadRegistryString(platform, "HKEY_LOCAL_MACHINE\\S\\unterminated", out));
  EXPECT_EQ(out, "C:\\App");
  EXPECT_FALSE(ReadRegistryString(platform, "hkey_local_machine\\S\\fits", out));
  EXPECT_EQ(out, "");
}
