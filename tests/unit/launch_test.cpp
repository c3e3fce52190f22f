#include <gtest/gtest.h>

#include "app/launcher_app.h"
#include "launch/shell_launcher.h"
#include "virtual_platform.h"

namespace {

const char kIni[] = "D:\\Title\\start.ini";
const char kLog[] = "c:\\install.log";
const char kData[] = "D:\\Title\\data";
const char kMarker[] = "Changed the InstalledAppParameters by replacing the Drive Letter variable";

// The launcher D:\Title\start.exe, started with -log. Its start.ini names an
// installer, parameters and three registry values below
// HKEY_LOCAL_MACHINE\Software\P (Full, Dir and File); settings add to it and
// registry gives the values (both as Key=value;...).
struct Launch : VirtualPlatform {
  TraceLog log{*this};
  CLauncherApp app{*this, log};
  bool result;

  Launch(const std::string& settings, const std::string& values) {
    commandLine = "\"D:\\Title\\start.exe\" -log";
    leadBytes = {'\x95'};
    startable = {"C:\\Prog\\app.exe", "D:\\Setup\\setup.exe", "C:\\Prog\\a.exe", "notepad.exe"};
    directories = {"C:\\Prog"};
    const std::string reg = "=HKEY_LOCAL_MACHINE\\Software\\P\\";
    for (const std::string& setting :
         Split("InstallFilename=E:\\Setup\\setup.exe;InstallParameters=/quiet;InstalledAppFilename="
               "a.exe;InstalledAppParameters=%PATH:\\data;InstalledRegFullFilename" +
               reg + "Full;InstalledRegPath" + reg + "Dir;InstalledRegFilename" + reg + "File;" +
               settings)) {
      const size_t equals = setting.find('=');
      SetIni(kIni, "start", setting.substr(0, equals), setting.substr(equals + 1));
    }
    for (const std::string& value : Split(values)) {
      const size_t equals = value.find('=');
      registry[{RegistryRoot::LocalMachine, RegistryView::Own, "Software\\P",
                value.substr(0, equals)}] = value.substr(equals + 1);
    }
    EXPECT_TRUE(app.ParseCommandLine());
    result = app.RunLaunch();
  }
};

// The log entries a row's shorthand stands for: "I:path" and "J:path" an
// attempt with the installed program's or the app's path label, "setup" or
// "setup:path" the installer's attempt (then its success, with no path),
// "ok" and "joined" the installed program's two success messages, "refused"
// the launcher's own executable refused; anything else stands for itself.
Texts Expand(const std::string& shorthand) {
  const std::map<std::string, Texts> words = {
      {"I", {"Launching Installed App with path:", "", "And parameters:", kData}},
      {"J", {"Launching app with path:", "", "And parameters:", kData}},
      {"setup", {"Trying to Launch installer now:", "", "With Parameter :", "/quiet"}},
      {"ok", {"Successfully Launched Installed App"}},
      {"joined", {"Success Launching InstalledApp"}},
      {"refused", {"Not started: it is this launcher itself"}}};
  Texts entries;
  for (const std::string& item : Split(shorthand)) {
    const size_t colon = item == "setup" ? 5 : item.find(':');
    const auto word = words.find(item.substr(0, colon));
    Texts expansion = word == words.end() ? Texts{item} : word->second;
    if (expansion.size() > 1) {
      expansion[1] = colon < item.size() ? item.substr(colon + 1) : "D:\\Setup\\setup.exe";
    }
    entries.insert(entries.end(), expansion.begin(), expansion.end());
    if (item == "setup") {
      entries.push_back("Successfully Launched InstallFilename");
    }
  }
  return entries;
}

}  // namespace

TEST(LaunchSequence, WholeTraceOfAFullPathStart) {
  Launch run("", "Full=C:\\Prog\\app.exe");
  EXPECT_TRUE(run.result);
  Texts want = Split(
      " Log File Started;Command Line Parameters passed to the launch are:;"
      "\"D:\\Title\\start.exe\" -log;m_szCurrentPath=;D:\\Title;m_szCurrentExeName=;start.exe;"
      "m_szAppAlias=;start;m_szPassedAlias=;;Trying to Configuration File with the following name: "
      ";"
      "D:\\Title\\start.ini;Parsing Config File:;D:\\Title\\start.ini;Using Section Name:;start");
  for (const char* key : kLoggedKeys) {
    want.push_back("sz" + std::string(key) + ":");
    want.push_back(run.ReadIniString(kIni, "start", key, 260));
  }
  const Texts decisions = Expand(std::string(kMarker) + ";" + kData + ";I:C:\\Prog\\app.exe;ok");
  want.insert(want.end(), decisions.begin(), decisions.end());
  EXPECT_EQ(run.LogEntries(kLog), want);
  EXPECT_EQ(run.starts.size(), 1u);
  EXPECT_EQ(run.starts[0].parameters, kData);
  EXPECT_EQ(run.app.m_szConfigFile, kIni);
}

// Each row: settings|registry values|log entries after the settings and the
// directory marker|starts, as file>working directory (setup: the installer).
TEST(LaunchSequence, EachRouteEndsInTheRightStartFromTheProgramsFolder) {
  for (const char* row : {
           "||setup|setup",
           "|Full=C:\\Gone\\app.exe;Dir=C:\\Prog|I:C:\\Gone\\app.exe;"
           "setup|"
           "C:\\Gone\\app.exe>C:\\Gone;setup",
           "|Dir=C:\\Prog\\;File=\\app.exe|I:C:\\Prog\\app.exe;joined|"
           "C:\\Prog\\app.exe>C:\\Prog",
           "|Dir=C:\\Prog|J:C:\\Prog\\a.exe;joined|C:\\Prog\\a.exe>C:"
           "\\Prog",
           "|Dir=C:\\Prog;File=b.exe|I:C:\\Prog\\b.exe;setup|"
           "C:\\Prog\\b.exe>C:\\Prog;setup",
           "InstalledAppFilename=|Dir=C:\\Prog|The Filename was not specified for the installed "
           "app.  Cannot launch "
           "anything except installer;setup|setup",
           "InstalledRegFullFilenameRemove=C:\\Prog\\app.exe|"
           "Full=C:\\Prog\\app.exe;Dir=C:\\Prog|J:C:\\Prog\\a.exe;joined|C:\\Prog\\a.exe>C:\\Prog",
           "InstallFilename=|Full=C:\\Prog\\app.exe|Error szInstallFilename is NULL |",
           // A folder, or the launcher itself in any spelling: failed starts,
           // never handed to the shell.
           "|Full=C:\\Prog|I:C:\\Prog;setup|setup",
           "|Full=\"\"|I:\"\";setup|setup",
           "|Full=d:\\TITLE\\Start.exe|I:d:\\TITLE\\Start.exe;refused;setup|setup",
           "InstallFilename=Start.EXE||setup:D:\\Title\\Start.EXE;refused;"
           "Error Launching InstallFilename|",
           // The path inside quotes; the folder up to either separator; a
           // drive's root; a bare name left to the shell's search from here.
           "|Full=\"C:\\Prog\\app.exe\"|I:\"C:\\Prog\\app.exe\";ok|C:\\Prog\\app.exe>C:\\Prog",
           "InstallFilename=C:/S/s.exe||setup:D:/S/s.exe;Error Launching InstallFilename|"
           "D:/S/s.exe>D:/S",
           "InstallFilename=E:\\s.exe||setup:D:\\s.exe;Error Launching InstallFilename|"
           "D:\\s.exe>D:\\",
           "|Full=notepad.exe|I:notepad.exe;ok|notepad.exe>C:\\Work",
           // 時刻表 ends in the byte of a backslash.
           "|Dir=C:\\\x8e\x9e\x8d\x8f\x95\\|"
           "J:C:\\\x8e\x9e\x8d\x8f\x95\\\\a.exe;setup|"
           "C:\\\x8e\x9e\x8d\x8f\x95\\\\a.exe>C:\\\x8e\x9e\x8d\x8f\x95\\;setup",
       }) {
    const Texts cell = Split(row, '|');
    Launch run(cell[0], cell[1]);
    const Texts decisions = run.LogEntries(kLog);
    const auto marker = std::find(decisions.begin(), decisions.end(), kMarker);
    EXPECT_EQ(Texts(marker + 2, decisions.end()), Expand(cell[2])) << row;
    Texts starts;
    for (const ShellStart& start : run.starts) {
      const bool installer = start.parameters == "/quiet";
      EXPECT_EQ(start.parameters, installer ? "/quiet" : kData);
      starts.push_back(start.file == "D:\\Setup\\setup.exe" && installer
                           ? "setup"
                           : start.file + ">" + start.dir);
    }
    EXPECT_EQ(starts, Split(cell[3])) << row;
    EXPECT_EQ(run.result, Expand(cell[2]).back().rfind("Succe", 0) == 0) << row;
    EXPECT_EQ(run.currentDir, "C:\\Work");
  }
}

TEST(ShellLauncher, MakesARelativePathFullFromHereAndStaysWhenHereCannotBeSaved) {
  VirtualPlatform platform;
  TraceLog log(platform);
  CShellLauncher shell(platform, log);
  platform.currentDir = "D:\\Docs";
  platform.startable = {"D:\\Docs\\Title\\setup.exe"};
  EXPECT_TRUE(shell.Launch("Title\\setup.exe", "/x"));
  shell.Launch("\\x.exe", "");
  EXPECT_FALSE(shell.Launch("", ""));
  platform.currentDirReadable = false;
  shell.Launch("C:\\Prog\\app.exe", "");
  platform.currentDirReadable = true;
  platform.currentDir = "C:\\" + std::string(259, 'd');
  shell.Launch("C:\\Prog\\app.exe", "");
  ASSERT_EQ(platform.starts.size(), 4u);
  EXPECT_EQ(platform.starts[0].file + ">" + platform.starts[0].dir,
            "D:\\Docs\\Title\\setup.exe>D:\\Docs\\Title");
  EXPECT_EQ(platform.starts[1].file + ">" + platform.starts[1].dir, "D:\\x.exe>D:\\");
  EXPECT_EQ(platform.starts[2].dir + ">" + platform.starts[3].dir,
            "D:\\Docs>" + platform.currentDir);
}
