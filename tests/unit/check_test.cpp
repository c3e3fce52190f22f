#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/launcher_app.h"
#include "launcher_check.h"
#include "virtual_platform.h"

namespace {

// The launcher that the checker's command line names, start.ini beside it
// with a [start] that finds C:\Work\P\a.exe through HKEY_USERS\S\F (O: only
// in the 64-bit view), its installer D:\s.exe, programs, documents and a
// shortcut. Windows' search path: C:\Work (here), C:\Win, C:\Win\System32,
// then C:\Tools on PATH. Changes: Key=value for [start] (` for ;); @full= the
// registry's full path, @above= a line above [start], @headers= the file's
// section headers, @cwd= the current directory, @wine: Wine's shell, @gone:
// no launcher.
struct Machine : VirtualPlatform, SystemQueries {
  using Name = const std::string&;
  CheckRequest request;
  Texts lines, above, headers = {"start"};
  bool wine = false;

  Machine(Name changes, Name arguments) {
    ParseCheckerArguments("\"C:\\x y\\check.exe\"\t" + arguments, &request);
    leadBytes = {'\x83'};
    const std::string& line = request.launcherLine;
    const int exe = ProgramNameEnd(text::AsciiLower(line), LeadBytes());
    self = line.substr(line[0] == '"', size_t(exe + 4 - (line[0] == '"')));
    files = {{self, ""}, {"D:\\T\\setup.exe", "MZ"}};
    for (Name file :
         Split("C:\\Work\\P\\a.exe;C:\\D\\a.pdf;D:\\s.exe;C:\\AP\\app.exe;C:\\D\\a.xyz;"
               "C:\\D\\a.doc;C:\\P\\u.bat;C:\\P\\u.cmd;D:\\s.lnk;C:\\Work\\w.exe;"
               "C:\\Win\\System32\\w.exe;D:\\T\\v.exe;C:\\Tools\\v.exe;D:\\Setup\\setup.exe")) {
      files[file];
    }
    environment = {{"PATH", "C:\\Tools"}, {"PATHEXT", ".COM;.BAT;.CMD;.EXE"}};
    registry[{RegistryRoot::Users, RegistryView::Bits64, "S", "O"}] = "x";
    for (const std::string& change : Split("@full=C:\\Work\\P\\a.exe;InstallFilename=D:\\s.exe;"
                                           "InstalledRegFullFilename=HKEY_USERS\\S\\F;" +
                                           changes)) {
      const std::string key = change.substr(0, change.find('='));
      std::string value = change.substr(std::min(key.size() + 1, change.size()));
      std::replace(value.begin(), value.end(), '`', ';');
      if (key == "@full") {
        registry[{RegistryRoot::Users, RegistryView::Own, "S", "F"}] = value;
      } else if (key == "@above" || key == "@headers") {
        (key == "@above" ? above : headers) = Split(value, ',');
      } else if (key[0] == '@') {
        wine = wine || key == "@wine";
        files.erase(key == "@gone" ? self : "");
        currentDir = key == "@cwd" ? value : currentDir;
      } else {
        SetIni(self.substr(0, self.size() - 3) + "ini", "start", key, value);
        lines.push_back(change);
      }
    }
  }
  // The INI reader finds [start]'s values under any header it takes for it.
  std::string ReadIniString(Name file, Name section, Name key, size_t size) override {
    const bool found = SameIniName(headers[0], section);
    return found ? VirtualPlatform::ReadIniString(file, "start", key, size) : std::string();
  }
  Texts IniSections(Name) override { return headers; }
  Texts IniLines(Name, Name section) override { return section.empty() ? above : lines; }
  // In any letter case, Latin-1's À to Þ included.
  bool SameIniName(Name a, Name b) override {
    const auto fold = [](std::string s) {
      for (char& c : s) c = (c >= 'A' && c <= 'Z') || (c >= '\xC0' && c <= '\xDE') ? c | 0x20 : c;
      return s;
    };
    return fold(a) == fold(b);
  }
  bool RegistryKeyExists(RegistryRoot, RegistryView, Name key) override { return key == "S"; }
  std::string AppPath(Name name) override { return name == "app.exe" ? "C:\\AP\\app.exe" : ""; }
  std::string WindowsFolder() override { return "C:\\Win"; }
  std::string SystemFolder() override { return "C:\\Win\\System32"; }
  bool IsWine() override { return wine; }
  std::string OpenCommand(Name f) override {
    return f.rfind("Zz:", 0) == 0      ? "\"C:\\B\\b.exe\" %1"
           : f.find(".pdf") < f.size() ? "\"C:\\R\\reader.exe\" /o \"%1\" %2 100%% %*"
           : f.find(".doc") < f.size() ? "C:\\V\\viewer.exe \"%1\""
                                       : "";
  }
  bool ReadShortcut(Name, Shortcut* shortcut) override {
    *shortcut = {"C:\\Work\\P\\a.exe", "/a", "C:\\L"};
    return true;
  }
  WriteAccess CanWrite(Name f) override {
    return f == "E:\\x.log"                            ? WriteAccess::ReadOnlyMedium
           : text::AsciiLower(f).rfind("c:\\", 0) == 0 ? WriteAccess::Denied
                                                       : WriteAccess::Writable;
  }
  // D:\T\..\Setup is D:\Setup.
  bool IsSameFile(Name a, Name b) override {
    return VirtualPlatform::IsSameFile(a, b) ||
           (a == "D:\\T\\..\\Setup\\setup.exe" && b == "D:\\Setup\\setup.exe");
  }
};

}  // namespace

// Each row: changes to the clean machine|words of the report, several
// joined by &, ! before words it must not hold|exit status|the checker's
// command line after its own name.
TEST(Checker, ForeseesTheLaunchersStartAndNamesEachLikelyMistakeWithItsFix) {
  for (const std::string& row : Texts{
           // The path forms: quoted and relative (to C:\Work), bare, document, shortcut,
           // without a type, the launcher itself; the first row also passes a folder with
           // spaces safely.
           "@full=\"P\\a.exe\";InstalledAppParameters=\"%PATH:\"|Would start C:\\Work\\P\\a.exe\n"
           "  Parameters: \"D:\\A B\"\n  Working directory: C:\\Work\\P\n&No warnings|0|"
           "\"D:\\A B\\start.exe\"",
           "@full=nowhere.exe|finds neither along its search path nor in App Paths)|0",
           "@full=w.exe|a bare name, found in the current directory|0",
           "@full=v|PATH (C:\\Tools): |0",
           "@full=v;@wine|found in the launcher's folder: |0",
           "@full=app.exe|found in its App Paths entry|0",
           "@full=Zz://h/a|a URL, opened by its \"open\" action: \"C:\\B\\b.exe\" Zz://h/a|0",
           "@full=C:\\P\\u|so the shell adds .bat|0",
           "@full=C:\\P\\u;@wine|C:\\P\\u: would fail (no readable file)|0",
           "@full=C:\\D\\a.pdf;InstalledAppParameters=-p|Would start C:\\R\\reader.exe\n"
           "  Parameters: /o \"C:\\D\\a.pdf\" -p 100% -p\n  Working directory: C:\\D\n|0",
           "@full=C:\\D\\a.doc;InstalledAppParameters=-p|-p would be dropped&start C:\\V\\viewer|1",
           "@full=D:\\s.lnk;InstalledAppParameters=-p|Would start C:\\Work\\P\\a.exe\n"
           "  Parameters: /a -p\n  Working directory: C:\\L\n|0",
           "@cwd=C:\\" + std::string(270, 'w') + "|(the launcher's own, unchanged)|0",
           "@full=d:\\T\\START.exe|gives this launcher itself (d:\\T\\START.exe)|1",
           "InstallFilename=start.exe;@full=|InstallFilename names this launcher itself|2",
           "|No .exe on the launcher's command line|2|D:\\T\\start",
           "@gone|There is no launcher D:\\T\\start.exe: nothing would run|2",
           "|twice: it looks for start.exe.ini&none: no registry|2|D:\\T\\start.exe.exe",
           // The hints; some after a failed start (a document with no "open" action, a
           // program that is gone, a value that names a program with its arguments).
           "InstalledRegFullFilename=Computer\\HKEY_USERS\\S\\F|remove Computer\\ in front|1",
           "InstalledRegFullFilename=HKEY_USERS\\S|S is a key, not a value|1",
           "InstalledRegFullFilename=HKEY_USERS\\S\\O|the 64-bit view: to read it, write HKEY_US|1",
           "@full=\"C:\\Work\\P\\a.exe\" /arg|\" /arg: would "
           "fail&InstalledRegFullFilenameRemove=|1",
           "InstalledRegFulFilename=x|(did you mean InstalledRegFullFilename?)|1",
           "InstallParameters=/q|its sections are [start]&is empty|2|D:\\T\\start.exe manuel",
           "@headers=\311diteur|No warnings|0|D:\\T\\start.exe \351diteur",
           "@headers=start,x,START|holds 2 sections [start]|1",
           "InstallParameters=/a;installparameters=/b|gives installparameters more than once|1",
           "InstallParameters=/q ` all|reads \"; all\" as part of the value|1",
           "@full=C:\\D\\a.xyz;@above=InstallFilename=x|never reads them: InstallFilename;|1",
           "InstalledAppParameters=-m=PATH:\\|character = in front of PATH: is removed|1",
           "InstallParameters=/LOGPATH:C:\\l;InstalledAppParameters=PATH:\\x|No warnings.|0",
           "InstalledAppParameters=-m %PATH:\\|but [-m] [D:\\A] [B\\]|1|D:\\A B\\start.exe",
           "InstalledAppParameters=-m \"%PATH:\\\"|but [-m] [D:\\A B\"]|1|D:\\A B\\start.exe",
           "InstalledAppParameters=\"%PATH:\"|the program gets D:, which names|1|D:\\start.exe",
           "InstalledAppParameters=\"%PATH:\"|No warnings|0|D:\\\x83\\\\start.exe",  // ソ
           "InstallFilename=C:\\s.exe;@full=C:\\Gone\\a.exe|names drive C:, but the launcher|1",
           "InstallFilename=E:\\Setup\\setup.exe|write InstallFilename=..\\Setup\\setup.exe|1",
           "InstallFilename=D:\\s.MSI;InstallParameters=/l xqn -QN|-QN: msiexec installs|1",
           "InstallParameters=/qn|No warnings.|0",
           // Where the trace would go, and why it would go nowhere.
           "|to D:\\My  Logs\\s.log&007PM)  Log File Started|0|D:\\T\\start.exe -log D:\\My  "
           "Logs\\s.log",
           "|may not write c:\\install.log (only an administrator|1|-log D:\\T\\start.exe",
           "|E:\\x.log is on a read-only medium&!as the launcher writes|1|D:\\T\\start.exe -log "
           "E:\\x.log",
           "|setup.exe is a file but not a trace log|1|D:\\T\\start.exe -log D:\\T\\setup.exe",
           "|-log is followed by a single space, which names no file|1|D:\\T\\start.exe -log ",
       }) {
    const Texts cell = Split(row, '|');
    Machine machine(cell[0], cell.size() > 3 ? cell[3] : "D:\\T\\start.exe");
    std::ostringstream report;
    const int status = CheckLauncher(machine, machine, machine.request, report);
    for (const std::string& words : Split(cell[1], '&')) {
      const bool absent = words[0] == '!';
      EXPECT_EQ(report.str().find(words.substr(absent)) == std::string::npos, absent)
          << row << "\n"
          << report.str();
    }
    EXPECT_EQ(status, std::stoi(cell[2])) << row;
  }
}
