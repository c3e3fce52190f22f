#include <gtest/gtest.h>

#include <sstream>

#include "app/launcher_app.h"
#include "launcher_check.h"
#include "virtual_platform.h"

namespace {

// The launcher that the checker's arguments name, start.ini beside it with
// a [start] that finds C:\Work\P\a.exe through HKEY_USERS\S\F (O: only in
// the 64-bit view), its installer D:\s.exe, programs and documents.
// Changes: Key=value for [start]; @full= the registry's full path, @above= a
// line above [start].
struct Machine : VirtualPlatform, SystemQueries {
  using Name = const std::string&;
  CheckRequest request;
  Texts lines, above;

  Machine(Name changes, Name arguments) {
    ParseCheckerArguments(Split(arguments, ','), &request);
    commandLine = "\"" + (self = request.launcherPath) + "\" " + request.alias;
    startable = {"C:\\Work\\P\\a.exe", "viewer.exe", "C:\\D\\a.pdf", "D:\\s.exe"};
    files = {{"C:\\Win\\viewer.exe", ""}, {"C:\\D\\a.xyz", ""}};
    registry[{RegistryRoot::Users, RegistryView::Bits64, "S", "O"}] = "x";
    for (const std::string& line : Split("@full=C:\\Work\\P\\a.exe;InstallFilename=D:\\s.exe;"
                                         "InstalledRegFullFilename=HKEY_USERS\\S\\F;" +
                                         changes)) {
      const std::string key = line.substr(0, line.find('='));
      if (key[0] == '@') {
        (key == "@full" ? registry[{RegistryRoot::Users, RegistryView::Own, "S", "F"}]
                        : above.emplace_back()) = line.substr(key.size() + 1);
      } else {
        SetIni(self.substr(0, self.size() - 3) + "ini", "start", key, line.substr(key.size() + 1));
        lines.push_back(line);
      }
    }
  }
  Texts IniSections(Name) override { return {"start"}; }
  Texts IniLines(Name, Name section) override { return section.empty() ? above : lines; }
  bool RegistryKeyExists(RegistryRoot, RegistryView, Name key) override { return key == "S"; }
  FoundProgram FindProgram(Name name, Name) override {
    return {name == "viewer.exe" ? "C:\\Win\\viewer.exe" : "", "the search path"};
  }
  std::string OpenCommand(Name f) override { return f.find(".pdf") < f.size() ? "reader" : ""; }
  bool CanOpenForReading(Name f) override { return files.count(f) + startable.count(f) > 0; }
  bool IsElevated() override { return false; }
};

}  // namespace

// Each row: changes to the clean machine|words of the report|exit status|
// the checker's arguments (commas between them). Whatever the row, the
// checker names the file, parameters and working directory the launcher then
// starts, or nothing when it starts nothing.
TEST(Checker, ForeseesTheLaunchersStartAndNamesEachLikelyMistakeWithItsFix) {
  for (const std::string row : {
           // The path forms: quoted and relative (to C:\Work), bare, document, the
           // launcher itself; the first row also passes a folder with spaces safely.
           "@full=\"P\\a.exe\";InstalledAppParameters=\"%PATH:\"|No warnings|0|D:\\A B\\start.exe",
           "@full=nowhere.exe|neither App Paths nor the search path finds|0",
           "@full=viewer.exe|a bare name, found by the search path|0",
           "@full=C:\\D\\a.pdf|a document, opened by reader|0",
           "@full=d:\\T\\START.exe|InstalledRegFullFilename gives this launcher itself|1",
           "InstallFilename=start.exe;@full=|InstallFilename names this launcher itself|2",
           // The hints; two of them after a failed start (a document with no "open"
           // action, a program that is gone).
           "InstalledRegFullFilename=Computer\\HKEY_USERS\\S\\F|remove Computer\\ in front|1",
           "InstalledRegFullFilename=HKEY_USERS\\S|S is a key, not a value|1",
           "InstalledRegFullFilename=HKEY_USERS\\S\\O|to read it, write HKEY_USERS64\\S\\O|1",
           "InstalledRegFulFilename=x|(did you mean InstalledRegFullFilename?)|1",
           "InstallParameters=/q|its sections are [start]|2|D:\\T\\start.exe,manuel",
           "@full=C:\\D\\a.xyz;@above=InstallFilename=x|never reads them: InstallFilename;|1",
           "InstalledAppParameters=-m=PATH:\\|character = in front of PATH: is removed|1",
           "InstallParameters=/LOGPATH:C:\\l;InstalledAppParameters=PATH:\\x|No warnings.|0",
           "InstalledAppParameters=-m %PATH:\\|but [-m] [D:\\A] [B\\]|1|D:\\A B\\start.exe",
           "InstalledAppParameters=-m \"%PATH:\\\"|but [-m] [D:\\A B\"]|1|D:\\A B\\start.exe",
           "InstallFilename=C:\\s.exe;@full=C:\\Gone\\a.exe|names drive C:, but the launcher|1",
           "InstallParameters=/q|C:\\x.log is in the root of C:|1|D:\\T\\start.exe,-LOG,C:\\x.log",
           "InstallFilename=D:\\s.MSI;InstallParameters=/l xqn -QN|-QN: msiexec installs|1",
           "InstallParameters=/qn|No warnings.|0",
       }) {
    const Texts cell = Split(row, '|');
    Machine machine(cell[0], cell.size() > 3 ? cell[3] : "D:\\T\\start.exe");
    std::ostringstream report;
    const int status = CheckLauncher(machine, machine, machine.request, report);
    TraceLog log(machine);
    CLauncherApp launcher(machine, log);
    std::string want = "Would start nothing.";
    if (launcher.ParseCommandLine() && launcher.RunLaunch()) {
      const ShellStart& start = machine.starts.back();
      const std::string found = machine.FindProgram(start.file, "").path;
      want = "Would start " + (found.empty() ? start.file : found) +
             "\n  Parameters: " + start.parameters + "\n  Working directory: " +
             (found.empty() ? start.dir : "the launcher's own, unchanged") + "\n";
    }
    EXPECT_NE(report.str().find(want), std::string::npos) << row << "\n" << report.str();
    EXPECT_NE(report.str().find(cell[1]), std::string::npos) << row << "\n" << report.str();
    EXPECT_EQ(status, std::stoi(cell[2])) << row;
  }
}
