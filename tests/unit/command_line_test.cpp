#include <gtest/gtest.h>

#include "app/launcher_app.h"
#include "virtual_platform.h"

namespace {

struct Launcher {
  VirtualPlatform platform;
  TraceLog log{platform};
  CLauncherApp app{platform, log};
};

}  // namespace

// Each row: command line|directory|file name|passed alias|log name as
// stored|the file the entries reach ("-": none, though -log was given). The
// old logs hold a trace; a program does not, so it is never replaced.
TEST(CommandLine, SplitsPathNameAliasAndLogSwitch) {
  for (const char* row : {
           "\"D:\\Title\\start.exe\" movie -log|D:\\Title|start.exe|movie||c:\\install.log",
           "D:\\Title\\START.EXE -LOG|D:\\Title|START.EXE|||c:\\install.log",
           "\"D:\\Tools.exe dir\\start.exe\" movie|D:\\Tools.exe dir|start.exe|movie||",
           "D:\\T\\start.exe.exe|D:\\T|start.exe.exe|||",
           "D:\\T\\start.exe -log D:\\T\\setup.exe|D:\\T|start.exe||D:\\T\\setup.exe|-",
           "\"D:\\setup.exe\"|D:|setup.exe|||",
           "T\\s.exe|T|s.exe|||",
           ".exe movie|||movie||",
           "D:\\a.exe\\start.exe|D:|a.exe|\\start.exe||",
           "D:\\Course.Exercises\\s.exe -log x.log|D:\\Course.Exercises|s.exe||x.log|x.log",
           "D:\\a.exez\\s.exe|D:\\a.exez|s.exe|||",  // letters and digits at the ranges' ends
           "D:\\a.exea\\s.exe|D:\\a.exea|s.exe|||",
           "D:\\a.exe9\\s.exe|D:\\a.exe9|s.exe|||",
           "D:\\a.exe0\\s.exe|D:\\a.exe0|s.exe|||",
           "D:\\T\\\x83\\\x83t.exe|D:\\T|\x83\\\x83t.exe|||",  // ソフト.exe: ソ is 0x83 0x5C
           "\"D:\\My\"Disk\\start.exe\"|D:\\My\"Disk|start.exe|||",
           "D:/Title/start.exe movie extra |D:/Title|start.exe|movie extra||",
           "D:\\T\\start.exe\tmovie\t|D:\\T|start.exe|movie||",
           "D:\\T\\start.exe \" \" |D:\\T|start.exe|||",
           "D:\\T\\start.exe -log  \"my.txt\"|D:\\T|start.exe|| \"my.txt\"| \"my.txt\"",
           "D:\\T\\start.exe x\t-log x.log|D:\\T|start.exe|x|x.log|x.log",
           "start.exe movie -log|||movie||c:\\install.log",
           "-log D:\\T\\start.exe|-log D:\\T|start.exe|||",
           "\"D:\\Setup -Logs\\s.exe\" movie-logo|D:\\Setup -Logs|s.exe|movie-logo||",
           "D:\\T\\start.exe movie-log -log x.log|D:\\T|start.exe|movie-log|x.log|x.log",
           "D:\\T\\start.exe -log |D:\\T|start.exe|||-",
           "D:\\T\\start -log x.log|||||",  // no .exe: nothing named, deleted or launched
       }) {
    const Texts want = Split(row, '|');
    Launcher t;
    t.platform.leadBytes = {'\x83'};
    t.platform.commandLine = want[0];
    const std::string old = "(1/2/2003, 4:05:06:007AM) old\r\n";
    t.platform.files = {
        {"c:\\install.log", old}, {"x.log", old}, {" \"my.txt\"", old}, {"D:\\T\\setup.exe", "MZ"}};
    const auto before = t.platform.files;
    EXPECT_EQ(t.app.Run(), 0);
    EXPECT_EQ(t.platform.errorModeCalls, 1);
    const std::string& exe = t.app.m_szCurrentExeName;
    EXPECT_EQ(Texts({t.app.m_szCurrentPath, exe, t.app.m_szPassedAlias, t.app.m_szLogFilename}),
              Texts(want.begin() + 1, want.end() - 1));
    EXPECT_EQ(t.app.m_szAppAlias, exe.substr(0, exe.empty() ? 0 : exe.size() - 4));
    EXPECT_EQ(t.app.m_bLogRequested, !want[5].empty()) << row;
    for (const auto& [name, content] : t.platform.files) {
      EXPECT_EQ(content.substr(0, 3), name == want[5] ? "(3/" : before.at(name).substr(0, 3))
          << row;
    }
    if (want[5].size() > 1) {  // the launch ran, and found no configuration
      EXPECT_EQ(t.platform.LogEntries(want[5]).back(),
                "ERROR: Unable to open any log file! Exiting App");
      EXPECT_FALSE(t.app.RunLaunch());
    }
    EXPECT_EQ(t.app.ParseCommandLine(), text::AsciiLower(want[0]).find(".exe") < want[0].size());
  }
}
