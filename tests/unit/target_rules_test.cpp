#include "launch/target_rules.h"

#include <gtest/gtest.h>

#include "virtual_platform.h"

// Each row: rule|first input|second input|result; url: the path of a file:
// URL; type: whether the file name has one.
TEST(TargetRules, Table) {
  // 表 is 0x95 0x5C, the full-width ％ 0x81 0x93.
  const text::LeadByteTest lead = [](char c) { return c == '\x95' || c == '\x81'; };
  for (const char* row : {
           "marker|/play %PATH:\\Movie|D:|/play D:\\Movie",
           "marker|%PATH:\\a %PATH:\\b|D:\\T|D:\\T\\a %PATH:\\b",
           "marker|PATH:|D:\\Title|D:\\Title",
           "marker|/dir %path:\\x|D:|unchanged",
           "marker|/play \x81\x93PATH:\\Movie|D:\\T|/play D:\\T\\Movie",
           "locate|E:\\Setup\\setup.exe|D:\\Title|D:\\Setup\\setup.exe",
           "locate|C:setup.exe|D:|D:setup.exe",
           "locate|Setup\\setup.exe|D:\\Title|D:\\Title\\Setup\\setup.exe",
           "locate|/setup.exe|D:\\Title|D:\\Title/setup.exe",
           "locate|x|D:\\Title|D:\\Title\\x",
           "locate|C:|D:\\Title|D:",
           "locate|\\\\server\\share\\setup.exe|D:|D:\\\\server\\share\\setup.exe",
           "locate|E:\\Setup\\setup.exe||",
           "locate|Setup\\setup.exe||\\Setup\\setup.exe",
           "locate|E:\\Setup\\s.exe|\\\\server\\share\\Title|\\\\server\\share\\Setup\\s.exe",
           "locate|E:s.exe|\\\\server\\share|\\\\server\\share\\s.exe",
           "locate|E:\\s.exe|\\\\|\\\\\\s.exe",
           "locate|E:\\s.exe|\\\\\\a\\b|\\\\\\a\\s.exe",
           "locate|E:\\s.exe|\\\\srv\x95\\\\share\\T|\\\\srv\x95\\\\share\\s.exe",
           "locate|https://example.com/get|D:\\T|https://example.com/get",
           "cut|C:\\Prog\\app.exe /autorun|/autorun|C:\\Prog\\app.exe",
           "cut|C:\\Prog\\app.exe -a x -a|-a|C:\\Prog\\app.exe x -a",
           "cut|C:\\Prog\\app.exe|C:\\Prog\\app.exe|",
           "cut|C:\\Prog\\app.exe|:\\Prog\\app.exe|",
           "cut|C:\\Prog\\app.exe|none|C:\\Prog\\app.exe",
           "cut|C:\\\x95\\\x95\\/x|/x|C:\\\x95\\",  // 表 before the cut goes whole
           "join|C:\\App\\|\\app.exe|C:\\App\\app.exe",
           "join|C:\\App|app.exe|C:\\App\\app.exe",
           "join|C:\\App/|app.exe|C:\\App/app.exe",
           "join|C:\\App|/app.exe|C:\\App/app.exe",
           "join|D:\\\x95\\|a.exe|D:\\\x95\\\\a.exe",
           "join|\"C:\\Ex App\"|a.exe|C:\\Ex App\\a.exe",
           "join|\"C:\\Ex App\\\"|\\a.exe|C:\\Ex App\\a.exe",
           "url|file:///D:/T/s.exe||D:\\T\\s.exe",
           "url|FILE://localhost/A:/Q%20R/s.exe%4||A:\\Q R\\s.exe%4",
           "url|file:///D:||D:",
           "url|file://srv/share/s.exe||\\\\srv\\share\\s.exe",
           "url|file:/D:\\s.exe||D:\\s.exe",
           "url|https://h/s.exe||",
           "type|D:\\a.\\setup||no",
           "type|D:\\a\\setup.exe||yes",
       }) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    std::string marked = cell[1];
    EXPECT_EQ(cell[0] == "marker"
                  ? ReplaceDirectoryMarker(marked, cell[2], lead) ? marked : "unchanged"
              : cell[0] == "locate" ? LocateInstaller(cell[1], cell[2], lead)
              : cell[0] == "cut"    ? CutText(cell[1], cell[2], lead)
              : cell[0] == "url"    ? text::FileUrlPath(cell[1])
              : cell[0] == "type"   ? (text::HasType(cell[1], lead) ? "yes" : "no")
                                    : JoinPath(cell[1], cell[2], lead),
              cell[3]);
  }
  // The old form of a drive, which a table row cannot hold.
  EXPECT_EQ(text::FileUrlPath("file:///d|"), "d:");
}
