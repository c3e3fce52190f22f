#include <gtest/gtest.h>

#include "app/launcher_app.h"
#include "virtual_platform.h"

namespace {

struct Analysis {
  const char* commandLine;
  const char* currentPath;
  const char* exeName;
  const char* appAlias;
  const char* passedAlias;
  bool logRequested;
  const char* logFilename;
};

void PrintTo(const Analysis& analysis, std::ostream* os) { *os << analysis.commandLine; }

struct Launcher {
  VirtualPlatform platform;
  TraceLog log{platform};
  CLauncherApp app{platform, log};
};

struct CommandLineTest : Launcher, ::testing::TestWithParam<Analysis> {};
struct CommandLine : Launcher, ::testing::Test {};

}  // namespace

TEST_P(CommandLineTest, SplitsPathNameAliasAndLogSwitch) {
  const Analysis& want = GetParam();
  platform.commandLine = want.commandLine;
  ASSERT_TRUE(app.ParseCommandLine());
  EXPECT_EQ(app.m_szCurrentPath, want.currentPath);
  EXPECT_EQ(app.m_szCurrentExeName, want.exeName);
  EXPECT_EQ(app.m_szAppAlias, want.appAlias);
  EXPECT_EQ(app.m_szPassedAlias, want.passedAlias);
  EXPECT_EQ(app.m_bLogRequested, want.logRequested);
  EXPECT_EQ(app.m_szLogFilename, want.logFilename);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        Analysis{"\"D:\\Title\\start.exe\" movie -log", "D:\\Title", "start.exe", "start", "movie",
                 true, ""},
        Analysis{"D:\\Title\\START.EXE -LOG", "D:\\Title", "START.EXE", "START", "", true, ""},
        Analysis{"\"D:\\setup.exe\"", "D:", "setup.exe", "setup", "", false, ""},
        Analysis{"D:\\a.exe\\start.exe", "D:", "a.exe", "a", "\\start.exe", false, ""},
        Analysis{"\"D:\\My\"Disk\\start.exe\"", "D:\\My\"Disk", "start.exe", "start", "", false,
                 ""},
        Analysis{"D:/Title/start.exe movie extra ", "D:/Title", "start.exe", "start", "movie extra",
                 false, ""},
        Analysis{"D:\\T\\start.exe\tmovie", "D:\\T", "start.exe", "start", "\tmovie", false, ""},
        Analysis{"D:\\T\\start.exe \" \" ", "D:\\T", "start.exe", "start", "", false, ""},
        Analysis{"D:\\T\\start.exe -log  \"my log.txt\"", "D:\\T", "start.exe", "start", "", true,
                 " \"my log.txt\""},
        Analysis{"D:\\T\\start.exe x\t-log trace.log", "D:\\T", "start.exe", "start", "x\t", true,
                 "trace.log"},
        Analysis{"start.exe movie -log", "", "", "", "movie", true, ""},
        // The four letters inside the launcher's folder or inside a word of
        // the alias are not the switch.
        Analysis{"\"D:\\Setup -Logs\\start.exe\" movie-logo", "D:\\Setup -Logs", "start.exe",
                 "start", "movie-logo", false, ""},
        Analysis{"D:\\T\\start.exe movie-log -log x.log", "D:\\T", "start.exe", "start",
                 "movie-log", true, "x.log"},
        Analysis{"-log D:\\T\\start.exe", "-log D:\\T", "start.exe", "start", "", false, ""}));

TEST_F(CommandLine, LogsTheAnalysisAfterStartingTheNamedLog) {
  platform.commandLine = "\"D:\\Title\\start.exe\" movie -log";
  platform.files["c:\\install.log"] = "old run";
  ASSERT_TRUE(app.ParseCommandLine());
  EXPECT_EQ(platform.removed, std::vector<std::string>{"c:\\install.log"});
  EXPECT_EQ(platform.LogEntries("c:\\install.log"),
            (std::vector<std::string>{
                " Log File Started", "Command Line Parameters passed to the launch are:",
                "\"D:\\Title\\start.exe\" movie -log", "m_szCurrentPath=", "D:\\Title",
                "m_szCurrentExeName=", "start.exe", "m_szAppAlias=", "start",
                "m_szPassedAlias=", "movie"}));
}

TEST_F(CommandLine, WithoutExeNothingIsStoredNamedOrLogged) {
  platform.commandLine = "D:\\Title\\start -log D:\\keep.txt";
  platform.files["D:\\keep.txt"] = "precious";
  EXPECT_FALSE(app.ParseCommandLine());
  EXPECT_FALSE(app.m_bLogRequested);
  EXPECT_EQ(app.m_szCurrentPath, "");
  EXPECT_TRUE(platform.removed.empty());
  EXPECT_EQ(platform.files["D:\\keep.txt"], "precious");
}

TEST_F(CommandLine, LogSwitchWithOnlyASpaceIsOnButWritesNothing) {
  platform.commandLine = "D:\\T\\start.exe -log ";
  ASSERT_TRUE(app.ParseCommandLine());
  EXPECT_TRUE(app.m_bLogRequested);
  EXPECT_EQ(app.m_szLogFilename, "");
  EXPECT_TRUE(platform.files.empty());
  EXPECT_TRUE(platform.removed.empty());
}

TEST_F(CommandLine, StartUpEndsWithoutAWindowWhateverTheLaunchDid) {
  platform.commandLine = "D:\\T\\start.exe";
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(platform.errorModeCalls, 1);
  EXPECT_EQ(platform.probes, (std::vector<std::string>{"D:\\T\\start.ini", "D:\\T\\config.ini"}));
  EXPECT_FALSE(app.InitInstance());
}
