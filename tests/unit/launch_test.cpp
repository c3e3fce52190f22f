#include <gtest/gtest.h>

#include <algorithm>

#include "app/launcher_app.h"
#include "launch/shell_launcher.h"
#include "virtual_platform.h"

namespace {

using Entries = std::vector<std::string>;
using Starts = std::vector<ShellStart>;

const char kIni[] = "D:\\Title\\start.ini";
const char kLog[] = "c:\\install.log";
const char kApp[] = "C:\\Prog\\app.exe";
const char kSetup[] = "D:\\Setup\\setup.exe";
const char kFull[] = "HKEY_LOCAL_MACHINE\\Software\\P\\Full";
const char kDir[] = "HKEY_LOCAL_MACHINE\\Software\\P\\Dir";
const char kFile[] = "HKEY_LOCAL_MACHINE\\Software\\P\\File";

struct LaunchTest : ::testing::Test {
  VirtualPlatform platform;
  TraceLog log{platform};
  CLauncherApp app{platform, log};

  LaunchTest() {
    platform.commandLine = "\"D:\\Title\\start.exe\" -log";
    Set("InstallFilename", "E:\\Setup\\setup.exe");
    Set("InstallParameters", "/quiet");
    Set("InstalledAppParameters", "%PATH:\\data");
    platform.startable = {kApp, kSetup};
  }
  void Set(const std::string& key, const std::string& value) {
    platform.SetIni(kIni, "start", key, value);
  }
  void Registry(const char* path, const std::string& value) {
    const std::string p = path;
    platform.registry[{RegistryRoot::LocalMachine, "Software\\P", p.substr(p.rfind('\\') + 1)}] =
        value;
  }
  bool Run() {
    EXPECT_TRUE(app.ParseCommandLine());
    return app.RunLaunch();
  }
  // The entries after the settings and the directory-marker entries.
  Entries Decisions() {
    Entries all = platform.LogEntries(kLog);
    auto marker =
        std::find(all.begin(), all.end(),
                  "Changed the InstalledAppParameters by replacing the Drive Letter variable");
    return marker == all.end() ? Entries() : Entries(marker + 2, all.end());
  }
  Entries InstallerEntries(bool started) {
    return {"Trying to Launch installer now:", kSetup, "With Parameter :", "/quiet",
            started ? "Successfully Launched InstallFilename" : "Error Launching InstallFilename"};
  }
  static Entries Join(Entries a, const Entries& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }
};

}  // namespace

TEST_F(LaunchTest, WholeTraceOfAFullPathStart) {
  Set("InstalledRegFullFilename", kFull);
  Registry(kFull, kApp);
  EXPECT_TRUE(Run());
  EXPECT_EQ(platform.LogEntries(kLog),
            (Entries{" Log File Started",
                     "Command Line Parameters passed to the launch are:",
                     "\"D:\\Title\\start.exe\" -log",
                     "m_szCurrentPath=",
                     "D:\\Title",
                     "m_szCurrentExeName=",
                     "start.exe",
                     "m_szAppAlias=",
                     "start",
                     "m_szPassedAlias=",
                     "",
                     "Trying to Configuration File with the following name: ",
                     kIni,
                     "Parsing Config File:",
                     kIni,
                     "Using Section Name:",
                     "start",
                     "szInstallFilename:",
                     "E:\\Setup\\setup.exe",
                     "szInstallParameters:",
                     "/quiet",
                     "szInstalledRegPath:",
                     "",
                     "szInstalledRegPathRemove:",
                     "",
                     "szInstalledRegFilename:",
                     "",
                     "szInstalledRegFilenameRemove:",
                     "",
                     "szInstalledAppFilename:",
                     "",
                     "szInstalledRegFullFilename:",
                     kFull,
                     "szInstalledRegFullFilenameRemove:",
                     "",
                     "szInstalledAppParameters:",
                     "%PATH:\\data",
                     "Changed the InstalledAppParameters by replacing the Drive Letter variable",
                     "D:\\Title\\data",
                     "Launching Installed App with path:",
                     kApp,
                     "And parameters:",
                     "D:\\Title\\data",
                     "Successfully Launched Installed App"}));
  EXPECT_EQ(platform.starts, (Starts{{kApp, "D:\\Title\\data", "C:\\Prog"}}));
  EXPECT_EQ(platform.currentDir, "C:\\Work");
  EXPECT_EQ(app.m_szConfigFile, kIni);
}

TEST_F(LaunchTest, WithoutRegistryValuesTheInstallerStartsFromItsOwnFolder) {
  Set("InstalledRegFullFilename", kFull);
  Set("InstalledRegPath", kDir);
  EXPECT_TRUE(Run());
  EXPECT_EQ(Decisions(), InstallerEntries(true));
  EXPECT_EQ(platform.starts, (Starts{{kSetup, "/quiet", "D:\\Setup"}}));
  EXPECT_EQ(platform.currentDir, "C:\\Work");
}

TEST_F(LaunchTest, AFailedFullPathStartGoesStraightToTheInstaller) {
  Set("InstalledRegFullFilename", kFull);
  Set("InstalledRegPath", kDir);
  Set("InstalledAppFilename", "app.exe");
  Registry(kFull, "C:\\Gone\\app.exe");
  Registry(kDir, "C:\\Prog");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Decisions(), Join({"Launching Installed App with path:", "C:\\Gone\\app.exe",
                               "And parameters:", "D:\\Title\\data"},
                              InstallerEntries(true)));
  EXPECT_EQ(platform.starts.size(), 2u);
}

TEST_F(LaunchTest, DirectoryAndRegistryFileName) {
  Set("InstalledRegPath", kDir);
  Set("InstalledRegFilename", kFile);
  Set("InstalledAppFilename", "other.exe");
  Registry(kDir, "C:\\Prog\\");
  Registry(kFile, "\\app.exe");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Decisions(), (Entries{"Launching Installed App with path:", kApp, "And parameters:",
                                  "D:\\Title\\data", "Success Launching InstalledApp"}));
}

TEST_F(LaunchTest, DirectoryAndConfiguredFileName) {
  Set("InstalledRegPath", kDir);
  Set("InstalledRegFilename", kFile);
  Set("InstalledAppFilename", "app.exe");
  Registry(kDir, "C:\\Prog");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Decisions(), (Entries{"Launching app with path:", kApp, "And parameters:",
                                  "D:\\Title\\data", "Success Launching InstalledApp"}));
}

TEST_F(LaunchTest, AFailedJoinedStartDoesNotTryTheConfiguredFileName) {
  Set("InstalledRegPath", kDir);
  Set("InstalledRegFilename", kFile);
  Set("InstalledAppFilename", "app.exe");
  Registry(kDir, "C:\\Prog");
  Registry(kFile, "gone.exe");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Decisions(), Join({"Launching Installed App with path:", "C:\\Prog\\gone.exe",
                               "And parameters:", "D:\\Title\\data"},
                              InstallerEntries(true)));
}

TEST_F(LaunchTest, ADirectoryWithoutAFileNameFallsBackToTheInstaller) {
  Set("InstalledRegPath", kDir);
  Registry(kDir, "C:\\Prog");
  platform.startable.clear();
  EXPECT_FALSE(Run());
  EXPECT_EQ(Decisions(), Join({"The Filename was not specified for the installed app.  Cannot "
                               "launch anything except installer"},
                              InstallerEntries(false)));
}

TEST_F(LaunchTest, ACutTextEqualToTheFullPathLeadsToTheDirectoryRoute) {
  Set("InstalledRegFullFilename", kFull);
  Set("InstalledRegFullFilenameRemove", kApp);
  Set("InstalledRegPath", kDir);
  Set("InstalledAppFilename", "app.exe");
  Registry(kFull, kApp);
  Registry(kDir, "C:\\Prog");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Decisions()[0], "Launching app with path:");
}

TEST_F(LaunchTest, AnEmptyInstallerSettingStopsEverything) {
  Set("InstallFilename", "");
  Set("InstalledRegFullFilename", kFull);
  Registry(kFull, kApp);
  EXPECT_FALSE(Run());
  EXPECT_EQ(Decisions(), Entries{"Error szInstallFilename is NULL "});
  EXPECT_TRUE(platform.starts.empty());
}

TEST_F(LaunchTest, WithoutAConfigurationNothingStarts) {
  platform.files.erase(kIni);
  EXPECT_FALSE(Run());
  EXPECT_EQ(platform.LogEntries(kLog).back(), "ERROR: Unable to open any log file! Exiting App");
  EXPECT_EQ(app.m_szSectionName, "start");
  EXPECT_EQ(app.m_szConfigFile, "");
  EXPECT_TRUE(platform.starts.empty());
}

TEST_F(LaunchTest, ALauncherWithoutADirectoryNeverAsksTheShellToOpenNothing) {
  platform.commandLine = "start.exe movie";
  platform.SetIni("\\movie.ini", "movie", "InstallFilename", "E:\\Setup\\setup.exe");
  EXPECT_FALSE(Run());
  EXPECT_TRUE(platform.starts.empty());
}

TEST(ShellLauncher, StartsFromTheProgramsFolderAndRestoresTheCurrentOne) {
  VirtualPlatform platform;
  CShellLauncher shell(platform);
  platform.startable = {"D:\\setup.exe", "D:/Setup/setup.exe", "C:\\Prog\\"};
  platform.directories = {"C:\\Prog\\"};
  EXPECT_TRUE(shell.Launch("D:\\setup.exe", ""));
  EXPECT_TRUE(shell.Launch("D:/Setup/setup.exe", "/x"));
  EXPECT_FALSE(shell.Launch("D:\\Gone\\setup.exe", ""));
  EXPECT_FALSE(shell.Launch("", ""));
  EXPECT_FALSE(shell.Launch("C:\\Prog\\", ""));
  EXPECT_EQ(platform.starts, (Starts{{"D:\\setup.exe", "", "D:"},
                                     {"D:/Setup/setup.exe", "/x", "C:\\Work"},
                                     {"D:\\Gone\\setup.exe", "", "D:\\Gone"}}));
  EXPECT_EQ(platform.currentDir, "C:\\Work");
}

TEST(ShellLauncher, ACurrentDirectoryThatCannotBeSavedIsNotChanged) {
  VirtualPlatform platform;
  CShellLauncher shell(platform);
  platform.currentDir = "C:\\" + std::string(259, 'd');
  shell.Launch("D:\\Setup\\setup.exe", "");
  platform.currentDir = "C:\\Work";
  platform.currentDirReadable = false;
  shell.Launch("D:\\Setup\\setup.exe", "");
  EXPECT_TRUE(platform.dirChanges.empty());
  EXPECT_EQ(platform.starts.back().dir, "C:\\Work");
}
