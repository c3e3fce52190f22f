#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/launcher_app.h"
#include "check_report.h"
#include "virtual_platform.h"

namespace {

// The machine that check_cases.txt describes.
struct Machine : VirtualPlatform, SystemQueries {
  using Name = const std::string&;
  CheckRequest request;
  Texts lines, above, headers = {"start"};
  bool wine = false;

  Machine(Name changes, Name arguments) {
    ParseCheckerArguments("\"C:\\x y\\check.exe\"\t" + arguments, &request);
    leadBytes = {'\x83'};
    const size_t cwd = changes.find("@cwd=");
    currentDir = cwd == std::string::npos ? currentDir : Split(changes.substr(cwd + 5))[0];
    self = FullPath(ProgramPathAsWritten(request.launcherLine, LeadBytes()));
    files = {{self, ""}, {"D:\\T\\setup.exe", "MZ"}};
    for (Name file :
         Split("C:\\Work\\P\\a.exe;C:\\D\\a.pdf;D:\\s.exe;C:\\AP\\app.exe;C:\\D\\a.xyz;"
               "C:\\D\\a.doc;C:\\D\\a.app;C:\\P\\u.bat;C:\\P\\u.cmd;D:\\s.lnk;C:\\Work\\w.exe;"
               "C:\\Win\\System32\\w.exe;C:\\Apps 2010\\a.exe;C:\\PF\\V\\a.exe;"
               "D:\\T\\v.exe;C:\\Tools\\v.exe;D:\\Setup\\setup.exe")) {
      files[file];
    }
    environment = {{"PATH", "C:\\Tools"},
                   {"PATHEXT", ".COM;.BAT;.CMD;.EXE"},
                   {"ProgramFiles", "C:\\PF86"},
                   {"ProgramW6432", "C:\\PF"}};
    registry[{RegistryRoot::Users, RegistryView::Bits64, "S", "O"}] = "x";
    registry[{RegistryRoot::Users, RegistryView::Own, "S", "InstallLocation"}] = "C:\\Apps 2010";
    registry[{RegistryRoot::CurrentUser, RegistryView::Own, "S", "U"}] = "x";
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
      } else if (key == "@file") {
        files[value] = "MZ";
      } else if (key == "@ini") {
        files[self.substr(0, self.size() - 3) + "ini"] = value;
      } else if (key[0] == '@') {
        wine = wine || key == "@wine";
        expandable.insert(key == "@expand" ? "F" : "");
        files.erase(key == "@gone" ? self : "");
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
  unsigned AnsiCodePage() override { return 1252; }
  OpenAction OpenActionFor(Name f) override {
    return {f.rfind("Zz:", 0) == 0      ? "\"C:\\B\\b.exe\" %1"
            : f.find(".pdf") < f.size() ? "\"C:\\R\\reader.exe\" /o \"%1\" %2 100%% %*"
            : f.find(".doc") < f.size() ? "C:\\V\\viewer.exe \"%1\""
                                        : "",
            f.find(".app") < f.size()};
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

// Each case of check_cases.txt: the checker run on the clean machine with the
// case's changes.
TEST(Checker, ForeseesTheLaunchersStartAndNamesEachLikelyMistakeWithItsFix) {
  const Texts rows = Cases(STARTPOINT_TEST_DATA "/check_cases.txt");
  ASSERT_FALSE(rows.empty());
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    Machine machine(cell[0], cell.size() > 3 ? cell[3] : "D:\\T\\start.exe");
    std::ostringstream report;
    const int status = CheckLauncher(machine, machine, machine.request, report);
    for (const std::string& words : Split(cell[1], '&')) {
      const bool absent = words[0] == '!';
      EXPECT_EQ(report.str().find(words.substr(absent)) == std::string::npos, absent)
          << report.str();
    }
    EXPECT_EQ(status, std::stoi(cell[2]));
  }
}
