#include <gtest/gtest.h>

#include "config/launch_settings.h"
#include "config/registry.h"
#include "log/exports.h"
#include "virtual_platform.h"

using namespace std::string_literals;

// Each row: directory|base name|alias|files there ("!" before one that
// cannot be read)|names probed, in order.
TEST(ConfigFile, ProbesBaseNameThenAliasThenConfigIni) {
  for (const char* row : {
           "D:\\T|start|movie|config.ini|start.ini;movie.ini;config.ini",
           "D:\\T|start|movie|!start.ini;movie.ini|start.ini;movie.ini",
           "D:\\T|start|start||start.ini;start.ini;config.ini",
           "||||.ini;config.ini",
       }) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    VirtualPlatform platform;
    TraceLog log(platform);
    log.SetFilename("log");
    log.Enable();
    InstallProcessLog(&log);
    for (const std::string& file : Split(cell[3])) {
      platform.files[cell[0] + "\\" + file.substr(file[0] == '!')] = "";
      platform.unreadable.insert(file[0] == '!' ? cell[0] + "\\" + file.substr(1) : "");
    }
    Texts want;
    for (const std::string& name : Split(cell[4])) {
      want.insert(want.end(), {"Trying to Configuration File with the following name: ",
                               cell[0] + "\\" + name});
    }
    const std::string found = platform.CanOpenForReading(want.back()) ? want.back() : "";
    EXPECT_EQ(FindConfigFile(platform, cell[0], cell[1], cell[2]), found);
    if (found.empty()) {
      want.push_back("ERROR: Unable to open any log file! Exiting App");
    }
    InstallProcessLog(nullptr);
    EXPECT_EQ(platform.LogEntries("log"), want);
  }
}

// Each row: path text|root|view (own, 32 or 64)|key path|value name; no
// more than the text for one that names no root.
TEST(Registry, PathTextsNameRootViewKeyAndValue) {
  for (const char* row : {
           "HKEY_LOCAL_MACHINE\\S\\V\\Dir|HKEY_LOCAL_MACHINE|own|S\\V|Dir",
           "HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE\\v|HKEY_LOCAL_MACHINE|own|HKEY_LOCAL_MACHINE|v",
           "Computer\\HKEY_USERS\\S\\Dir|HKEY_USERS|own|HKEY_USERS\\S|Dir",
           "\\HKEY_USERS\\S\\v|HKEY_USERS|own|HKEY_USERS\\S|v",
           "HKEY_USERS\\S\\|HKEY_USERS|own|S|",
           "HKEY_CLASSES_ROOT\\Name|HKEY_CLASSES_ROOT|own||Name",
           "HKEY_LOCAL_MACHINE64\\S\\X\\Dir|HKEY_LOCAL_MACHINE|64|S\\X|Dir",
           "HKEY_LOCAL_MACHINE32\\S\\v|HKEY_LOCAL_MACHINE|32|S|v",
           "HKEY_CURRENT_USER64\\S\\v|HKEY_CURRENT_USER|64|S|v",
           "HKEY_LOCAL_MACHINE6\\S\\v|HKEY_LOCAL_MACHINE|own|S|v",
           "HKEY_USERS\\S\\HKEY_USERS64|HKEY_USERS|own|S|HKEY_USERS64",
           "Computer\\HKEY_USERS64\\S\\v|HKEY_USERS|64|HKEY_USERS64\\S|v",
           "HKEY_USERS\\S\\\x95\\|HKEY_USERS|own|S|\x95\\",  // the value 表, 0x95 0x5C
           "hkey_local_machine64\\S\\v",
           "HKLM\\Software\\X\\Dir",
       }) {
    SCOPED_TRACE(row);
    const Texts want = Split(row, '|');
    RegistryLocation at;
    const bool parsed = ParseRegistryPath(
        want[0], [](char c) { return c == '\x95'; }, &at);
    EXPECT_EQ(parsed, want.size() > 1);
    if (parsed) {
      const char* view = at.view == RegistryView::Own      ? "own"
                         : at.view == RegistryView::Bits32 ? "32"
                                                           : "64";
      EXPECT_EQ(Texts({RegistryRootName(at.root), view, at.keyPath, at.valueName}),
                Texts(want.begin() + 1, want.end()));
    }
  }
}

// An expandable value (REG_EXPAND_SZ) arrives with its variables expanded;
// a value of another type as it stands.
TEST(Registry, ReadsUpTo255BytesAsTextWhateverTheType) {
  VirtualPlatform platform;
  const std::string fits(254, 'a');
  const std::map<std::string, std::string> values = {{"fits", fits + '\0'},
                                                     {"long", fits + "a\0"s},
                                                     {"dword", "\x2a\0\0\0"s},
                                                     {"exp", "%P%\\x.exe\0"s},
                                                     {"sz", "%P%\\x.exe"}};
  for (const auto& [name, value] : values) {
    platform.registry[{RegistryRoot::LocalMachine, RegistryView::Own, "S", name}] = value;
  }
  platform.expandable = {"exp"};
  platform.environment = {{"P", "C:\\Program Files"}};
  for (const auto& [name, want] :
       std::map<std::string, std::string>{{"fits", fits},
                                          {"long", "-"},
                                          {"dword", "*"},
                                          {"none", "-"},
                                          {"exp", "C:\\Program Files\\x.exe"},
                                          {"sz", "%P%\\x.exe"}}) {
    SCOPED_TRACE(name);
    std::string out = "stale";
    EXPECT_EQ(ReadRegistryString(platform, "HKEY_LOCAL_MACHINE\\S\\" + name, out), want != "-");
    EXPECT_EQ(out, want == "-" ? "" : want);
  }
  std::string untouched = "stale";
  EXPECT_FALSE(ReadRegistryString(platform, "", untouched));
  EXPECT_EQ(untouched, "stale");
}

// Each row: the launcher's own view (32 or 64)|the view read (own, 32 or
// 64)|value|expanded, each variable's value being a mark of its own. This
// machine has no CommonProgramW6432.
TEST(Registry, ExpandsProgramFoldersAsAProgramOfTheViewsBitness) {
  const std::map<std::string, RegistryView> views = {
      {"own", RegistryView::Own}, {"32", RegistryView::Bits32}, {"64", RegistryView::Bits64}};
  for (const char* row : {
           "32|64|%ProgramFiles%\\%CommonProgramFiles%|w64\\cpf",
           "64|32|%CommonProgramFiles%\\a|cx86\\a",
           "64|64|%ProgramFiles%\\a|pf\\a",
           "32|own|%ProgramFiles%\\a|pf\\a",
           "32|64|%X%%programFILES%\\a|%X%w64\\a",
       }) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    VirtualPlatform platform;
    platform.ownView = views.at(cell[0]);
    platform.environment = {{"ProgramFiles", "pf"},
                            {"ProgramW6432", "w64"},
                            {"ProgramFiles(x86)", "x86"},
                            {"CommonProgramFiles", "cpf"},
                            {"CommonProgramFiles(x86)", "cx86"}};
    EXPECT_EQ(ExpandRegistryText(platform, cell[2], views.at(cell[1])), cell[3]);
  }
}
