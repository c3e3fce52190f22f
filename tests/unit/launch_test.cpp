#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "app/launcher_app.h"
#include "launch/shell_launcher.h"
#include "platform/file_id.h"
#include "virtual_platform.h"

namespace {

const char kMarker[] = "Changed the InstalledAppParameters by replacing the Drive Letter variable";

// The machine that launch_cases.txt describes, the launcher started with
// the command line given.
struct Launch : VirtualPlatform {
  TraceLog log{*this};
  CLauncherApp app{*this, log};
  bool result;

  explicit Launch(const std::string& changes,
                  const std::string& line = "\"D:\\Title\\start.exe\"") {
    commandLine = line + " -log";
    // Named without a folder, the launcher looks beside its executable.
    const std::string file = (line.find('\\') == std::string::npos ? "D:\\Title\\" : "") +
                             line.substr(line[0] == '"', line.find(".exe") - (line[0] == '"')) +
                             ".ini";
    leadBytes = {'\x95'};
    startable = {"C:\\P\\b.exe", "D:\\S\\s.exe", "C:\\P\\a.exe",
                 "notepad.exe",  "ws://h/a",     "file:///C:/P/b.exe"};
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

// The log entries a row's words stand for (see launch_cases.txt).
Texts Expand(const std::string& words) {
  const std::map<std::string, std::string> entries = {
      {"installed", "Launching Installed App with path:;@;And parameters:;D:\\Title\\d"},
      {"app", "Launching app with path:;@;And parameters:;D:\\Title\\d"},
      {"installer", "Trying to Launch installer now:;@;With Parameter :;/quiet"},
      {"started", "Successfully Launched Installed App"},
      {"joined", "Success Launching InstalledApp"},
      {"refused", "Not started: it is this launcher itself"},
      {"failed", "Error Launching InstallFilename"},
      {"no name",
       "The Filename was not specified for the installed app.  Cannot launch anything "
       "except installer"}};
  std::string expanded;
  for (const std::string& item : Split(words)) {
    const size_t colon = item.find(':');
    const auto word = entries.find(item.substr(0, colon));
    std::string text = word == entries.end() ? item : word->second;
    const size_t at = text.find('@');
    if (at != std::string::npos) {
      text.replace(at, 1, colon == std::string::npos ? "D:\\S\\s.exe" : item.substr(colon + 1));
    }
    expanded += text + (item == "installer" ? ";Successfully Launched InstallFilename;" : ";");
  }
  expanded.pop_back();
  return Split(expanded);
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

// Each row of launch_cases.txt: a run that ends in its start, from the
// program's own folder, and the application object knows the file and
// section read.
TEST(LaunchSequence, EachRouteEndsInTheRightStartFromTheProgramsFolder) {
  const Texts rows = Cases(STARTPOINT_TEST_DATA "/launch_cases.txt");
  ASSERT_FALSE(rows.empty());
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    Launch run(cell[0]);
    const Texts log = run.LogEntries("c:\\install.log");
    EXPECT_EQ(Texts(std::find(log.begin(), log.end(), kMarker) + 2, log.end()), Expand(cell[1]));
    Texts starts;
    for (const ShellStart& start : run.starts) {
      const bool installer = start.parameters == "/quiet";
      EXPECT_EQ(start.parameters, installer ? "/quiet" : "D:\\Title\\d");
      starts.push_back(start.file == "D:\\S\\s.exe" && installer ? "installer"
                                                                 : start.file + ">" + start.dir);
    }
    EXPECT_EQ(starts, Split(cell[2]));
    EXPECT_EQ(run.result, Expand(cell[1]).back().rfind("Succe", 0) == 0);
    EXPECT_EQ(run.currentDir, "C:\\Work");
    EXPECT_EQ(Texts({run.app.m_szConfigFile, run.app.m_szSectionName}),
              Texts({"D:\\Title\\start.ini", "start"}));
  }
}

// Each row: the launcher's command line|its folder in full, which gives the
// installer's drive and replaces %PATH:; named without a folder, the
// executable's (D:\Title\start.exe).
TEST(LaunchSequence, TakesTheLaunchersFolderInFull) {
  for (const char* row :
       {"Title\\start.exe|C:\\Work\\Title", "\\Title\\start.exe|C:\\Title",
        "E:\\Title\\start.exe|E:\\Title", "E:\\start.exe|E:", "start.exe start|D:\\Title"}) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    Launch run("", cell[0]);
    const Texts log = run.LogEntries("c:\\install.log");
    EXPECT_EQ(*(std::find(log.begin(), log.end(), kMarker) + 1), cell[1] + "\\d");
    EXPECT_EQ(run.starts.at(0).file, cell[1].substr(0, 2) + "\\S\\s.exe");
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

// Each row: two files as size (- when unknown):volume:index high:index
// low|whether their full paths match|whether they are one file|how many
// identities were read.
TEST(FileId, IdentifiesAFileByItsSizeAndIndexWhereItHasThem) {
  for (const char* row :
       {"9:1:0:7|9:1:0:7|no|yes|2", "9:1:0:7|9:2:0:7|yes|no|2", "9:1:0:7|9:1:1:7|yes|no|2",
        "9:1:0:7|9:1:0:8|yes|no|2", "9:0:0:7|9:0:0:7|no|yes|2", "9:1:5:0|9:1:5:0|no|yes|2",
        "9:1:0:0|9:1:0:0|no|no|2", "9:1:0:0|9:1:0:0|yes|yes|2", "9:1:0:7|9:1:0:0|yes|yes|2",
        "8:1:0:7|9:1:0:7|yes|no|0", "-:1:0:7|9:1:0:7|no|yes|2", "9:1:0:7|-:1:0:8|yes|no|2"}) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    int read = 0;
    const auto probe = [&read](const std::string& text) {
      const Texts part = Split(text, ':');
      const FileId id = {std::stoul(part[1]), std::stoul(part[2]), std::stoul(part[3])};
      return FileProbe{part[0] == "-" ? std::nullopt : std::optional(std::stoull(part[0])),
                       [&read, id] { return ++read, id; }};
    };
    EXPECT_EQ(IsOneFile(probe(cell[0]), probe(cell[1]), [&cell] { return cell[2] == "yes"; }),
              cell[3] == "yes");
    EXPECT_EQ(read, std::stoi(cell[4]));
  }
}
