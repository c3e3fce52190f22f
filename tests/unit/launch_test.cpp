#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "app/launcher_app.h"
#include "launch/shell_launcher.h"
#include "virtual_platform.h"

namespace {

const char kMarker[] = "Changed the InstalledAppParameters by replacing the Drive Letter variable";

// The launcher D:\Title\start.exe (or the one line names), started with -log
// from C:\Work. Its start.ini names the
// installer E:\S\s.exe, parameters, the app a.exe and three registry values
// HKEY_LOCAL_MACHINE\P\Full (expandable, with %P% for C:\P), Dir and File. Changes (Key=value;...)
// set those values, or keys of start.ini.
struct Launch : VirtualPlatform {
  TraceLog log{*this};
  CLauncherApp app{*this, log};
  bool result;

  explicit Launch(const std::string& changes,
                  const std::string& line = "\"D:\\Title\\start.exe\"") {
    commandLine = line + " -log";
    const std::string file =
        line.substr(line[0] == '"', line.find(".exe") - (line[0] == '"')) + ".ini";
    leadBytes = {'\x95'};
    startable = {"C:\\P\\b.exe", "D:\\S\\s.exe", "C:\\P\\a.exe", "notepad.exe", "ws://h/a"};
    directories = {"C:\\P"};
    expandable = {"Full"};
    environment = {{"P", "C:\\P"}};
    for (const std::string& change :
         Split("InstallFilename=E:\\S\\s.exe;InstallParameters=/quiet;InstalledAppFilename=a.exe;"
               "InstalledAppParameters=%PATH:\\d;InstalledRegFullFilename=HKEY_LOCAL_MACHINE\\P\\"
               "Full;InstalledRegPath=HKEY_LOCAL_MACHINE\\P\\Dir;InstalledRegFilename="
               "HKEY_LOCAL_MACHINE\\P\\File" +
               (changes.empty() ? "" : ";" + changes))) {
      const std::string key = change.substr(0, change.find('=')),
                        value = change.substr(key.size() + 1);
      if (key == "Full" || key == "Dir" || key == "File") {
        registry[{RegistryRoot::LocalMachine, RegistryView::Own, "P", key}] = value;
      } else {
        SetIni(file, "start", key, value);
      }
    }
    EXPECT_TRUE(app.ParseCommandLine());
    result = app.RunLaunch();
  }
};

// The log entries a row's shorthand stands for: "I:path" and "J:path" an
// attempt with the installed program's or the app's path label; "setup" the
// installer's attempt and success, "setup:path" the attempt at path; a few
// words for messages; anything else stands for itself.
Texts Expand(const std::string& shorthand) {
  const std::map<std::string, std::string> words = {
      {"I", "Launching Installed App with path:;@;And parameters:;D:\\Title\\d"},
      {"J", "Launching app with path:;@;And parameters:;D:\\Title\\d"},
      {"setup", "Trying to Launch installer now:;@;With Parameter :;/quiet"},
      {"ok", "Successfully Launched Installed App"},
      {"joined", "Success Launching InstalledApp"},
      {"refused", "Not started: it is this launcher itself"},
      {"error", "Error Launching InstallFilename"},
      {"nofile",
       "The Filename was not specified for the installed app.  Cannot launch anything "
       "except installer"}};
  std::string entries;
  for (const std::string& item : Split(shorthand)) {
    const size_t colon = item.find(':');
    const auto word = words.find(item.substr(0, colon));
    std::string text = word == words.end() ? item : word->second;
    const size_t at = text.find('@');
    if (at != std::string::npos) {
      text.replace(at, 1, colon == std::string::npos ? "D:\\S\\s.exe" : item.substr(colon + 1));
    }
    entries += text + (item == "setup" ? ";Successfully Launched InstallFilename;" : ";");
  }
  entries.pop_back();
  return Split(entries);
}

}  // namespace

// The whole trace of a start from the registry's full path, as the real
// launcher writes it under Wine: tests/trace.txt, @ standing for its folder.
TEST(LaunchSequence, WholeTraceOfAFullPathStart) {
  VirtualPlatform run;
  run.commandLine = "\"D:\\trace\\start.exe\" -log run.log";
  const std::string ini = "D:\\trace\\start.ini", key = "Software\\StartpointTest";
  run.SetIni(ini, "start", "InstallFilename", "Setup\\setup.exe");
  run.SetIni(ini, "start", "InstalledAppParameters", "%PATH:\\data");
  run.SetIni(ini, "start", "InstalledRegFullFilename", "HKEY_CURRENT_USER\\" + key + "\\Full");
  run.registry[{RegistryRoot::CurrentUser, RegistryView::Own, key, "Full"}] = "C:\\Prog\\app.exe";
  run.startable = {"C:\\Prog\\app.exe"};
  TraceLog log(run);
  CLauncherApp(run, log).Run();
  std::ifstream golden(STARTPOINT_TRACE);
  Texts want;
  for (std::string line; std::getline(golden, line);) {
    want.push_back(std::regex_replace(line, std::regex("@"), "D:\\trace"));
  }
  EXPECT_EQ(run.LogEntries("run.log"), want);
}

// Each row: changes|log entries after the directory marker's|starts, each as
// file>working directory (setup: the installer). Each row also checks the
// parameters of each start, the result and the current directory after.
TEST(LaunchSequence, EachRouteEndsInTheRightStartFromTheProgramsFolder) {
  for (const char* row : {
           "|setup|setup",
           "Full=C:\\G\\b.exe;Dir=C:\\P|I:C:\\G\\b.exe;setup|C:\\G\\b.exe>C:\\G;setup",
           "Dir=C:\\P\\;File=\\b.exe|I:C:\\P\\b.exe;joined|C:\\P\\b.exe>C:\\P",
           "Dir=C:\\P|J:C:\\P\\a.exe;joined|C:\\P\\a.exe>C:\\P",
           "Dir=C:\\P;File=c.exe|I:C:\\P\\c.exe;setup|C:\\P\\c.exe>C:\\P;setup",
           "InstalledAppFilename=;Dir=C:\\P|nofile;setup|setup",
           "InstalledRegFullFilenameRemove=C:\\P\\b.exe;Full=C:\\P\\b.exe;Dir=C:\\P|J:C:\\P\\a.exe;"
           "joined|C:\\P\\a.exe>C:\\P",
           "InstallFilename=;Full=C:\\P\\b.exe|Error szInstallFilename is NULL |",
           // A folder, or the launcher itself in any spelling: failed starts,
           // never handed to the shell.
           "Full=C:\\P|I:C:\\P;setup|setup", "Full=\"\"|I:\"\";setup|setup",
           "Full=d:\\TITLE\\Start.exe|I:d:\\TITLE\\Start.exe;refused;setup|setup",
           "InstallFilename=Start.EXE|setup:D:\\Title\\Start.EXE;refused;error|",
           // The path inside quotes; the folder up to either separator; a
           // drive's root, named or the current drive's; a bare name left to
           // the shell's search from here.
           "Full=\"C:\\P\\b.exe\"|I:\"C:\\P\\b.exe\";ok|C:\\P\\b.exe>C:\\P",
           "InstallFilename=C:/S/s.exe|setup:D:/S/s.exe;error|D:/S/s.exe>D:/S",
           "InstallFilename=E:\\s.exe|setup:D:\\s.exe;error|D:\\s.exe>D:\\",
           "Full=\\b.exe|I:\\b.exe;setup|C:\\b.exe>C:\\;setup",
           "Full=notepad.exe|I:notepad.exe;ok|notepad.exe>C:\\Work",
           // Expanded before anything is decided; a URL as written, a path
           // with a colon in its arguments made full; the launcher's own
           // name bare, or without its type.
           "Full=%P%\\b.exe|I:C:\\P\\b.exe;ok|C:\\P\\b.exe>C:\\P",
           "Full=ws://h/a|I:ws://h/a;ok|ws://h/a>C:\\Work",
           "Full=P\\b x:y|I:P\\b x:y;setup|C:\\Work\\P\\b x:y>C:\\Work\\P;setup",
           "Full=START.exe|I:START.exe;refused;setup|setup",
           "Full=D:\\Title\\start|I:D:\\Title\\start;refused;setup|setup",
           "Dir=C:\\\x95\\|J:C:\\\x95\\\\a.exe;setup|C:\\\x95\\\\a.exe>C:\\\x95\\;setup",  // 表
       }) {
    const Texts cell = Split(row, '|');
    Launch run(cell[0]);
    const Texts log = run.LogEntries("c:\\install.log");
    EXPECT_EQ(Texts(std::find(log.begin(), log.end(), kMarker) + 2, log.end()), Expand(cell[1]))
        << row;
    Texts starts;
    for (const ShellStart& start : run.starts) {
      const bool setup = start.parameters == "/quiet";
      EXPECT_EQ(start.parameters, setup ? "/quiet" : "D:\\Title\\d");
      starts.push_back(start.file == "D:\\S\\s.exe" && setup ? "setup"
                                                             : start.file + ">" + start.dir);
    }
    EXPECT_EQ(starts, Split(cell[2])) << row;
    EXPECT_EQ(run.result, Expand(cell[1]).back().rfind("Succe", 0) == 0) << row;
    EXPECT_EQ(run.currentDir, "C:\\Work");
  }
}

// Each row: the launcher's path|its folder in full, which gives the
// installer's drive and replaces %PATH:.
TEST(LaunchSequence, TakesTheLaunchersFolderInFull) {
  for (const char* row : {"Title\\start.exe|C:\\Work\\Title", "\\Title\\start.exe|C:\\Title",
                          "E:\\Title\\start.exe|E:\\Title", "E:\\start.exe|E:"}) {
    const Texts cell = Split(row, '|');
    Launch run("", cell[0]);
    const Texts log = run.LogEntries("c:\\install.log");
    EXPECT_EQ(*(std::find(log.begin(), log.end(), kMarker) + 1), cell[1] + "\\d");
    EXPECT_EQ(run.starts.at(0).file, cell[1].substr(0, 2) + "\\S\\s.exe") << row;
  }
}

// The program starts from the current directory as it is when that
// cannot be saved, so that the launcher never strands itself elsewhere.
TEST(ShellLauncher, LeavesACurrentDirectoryItCannotSaveAsItIs) {
  VirtualPlatform platform;
  platform.currentDir = "C:\\" + std::string(259, 'd');
  CShellLauncher(platform).Launch("C:\\P\\b.exe", "");
  EXPECT_EQ(platform.starts.at(0).dir, platform.currentDir);
}
