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

// Each row of command_lines.txt: the launcher run with that command line.
TEST(CommandLine, SplitsPathNameAliasAndLogSwitch) {
  const Texts rows = Cases(STARTPOINT_TEST_DATA "/command_lines.txt");
  ASSERT_FALSE(rows.empty());
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
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
    EXPECT_EQ(t.app.m_bLogRequested, !want[5].empty());
    for (const auto& [name, content] : t.platform.files) {
      EXPECT_EQ(content.substr(0, 3), name == want[5] ? "(3/" : before.at(name).substr(0, 3));
    }
    if (want[5].size() > 1) {  // the launch ran, and found no configuration
      EXPECT_EQ(t.platform.LogEntries(want[5]).back(),
                "ERROR: Unable to open any log file! Exiting App");
      EXPECT_FALSE(t.app.RunLaunch());
    }
    EXPECT_EQ(t.app.ParseCommandLine(), text::AsciiLower(want[0]).find(".exe") < want[0].size());
  }
}
