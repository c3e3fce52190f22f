#include <gtest/gtest.h>

#include "log/exports.h"
#include "virtual_platform.h"

TEST(TraceLog, TimestampsAreTwelveHourWithNoonAsPm) {
  for (const auto& [stamp, time] : std::map<std::string, LocalTime>{
           {"3/9/2004, 0:10:00:000AM", {2004, 3, 9, 0, 10, 0, 0}},
           {"3/9/2004, 9:05:09:007AM", {2004, 3, 9, 9, 5, 9, 7}},
           {"3/9/2004, 12:30:05:250PM", {2004, 3, 9, 12, 30, 5, 250}},
           {"3/9/2004, 1:00:00:042PM", {2004, 3, 9, 13, 0, 0, 42}},
           {"12/31/2026, 11:59:59:999PM", {2026, 12, 31, 23, 59, 59, 999}}}) {
    SCOPED_TRACE(stamp);
    EXPECT_EQ(FormatTimestamp(time), stamp);
  }
}

// Through the exported functions, which act on the log installed for them.
TEST(TraceLog, EntriesAreTimestampedLinesOfTheMessageAsDataWhileOnAndNamed) {
  VirtualPlatform platform;
  TraceLog log(platform);
  platform.files = {{"D:\\t.log", "old run\r\n"}, {"D:\\other.log", "kept"}};
  TraceLog unnamed(platform);
  unnamed.Enable();
  unnamed.Write("unnamed");
  qel_log("before any log is installed");
  InstallProcessLog(&log);
  setLogFilename("D:\\t.log");
  qel_log("not yet on");
  enableLogFile();
  platform.unwritable = {"D:\\t.log"};
  qel_log("dropped");
  platform.unwritable.clear();
  for (const char* message : {" Log File Started", "100% %s %n done", "", "first\nsecond"}) {
    qel_log(message);
  }
  disableLogFile();
  qel_log("off");
  std::string now;
  getCurrentDateAndTime(now);
  InstallProcessLog(nullptr);
  EXPECT_EQ(now, "3/9/2004, 2:05:09:007PM");
  EXPECT_EQ(platform.files.size(), 2u);  // nothing unnamed
  EXPECT_EQ(platform.files["D:\\other.log"], "kept");
  EXPECT_EQ(platform.files["D:\\t.log"],
            "(3/9/2004, 2:05:09:007PM)  Log File Started\r\n"
            "(3/9/2004, 2:05:09:007PM) 100% %s %n done\r\n"
            "(3/9/2004, 2:05:09:007PM) \r\n"
            "(3/9/2004, 2:05:09:007PM) first\r\nsecond\r\n");
}

// Each row: the start of the file that -log names ("-": no file; "!": one
// that cannot be read)|whether the command line's -log may replace it.
TEST(TraceLog, TheCommandLineReplacesOnlyAMissingEmptyOrTraceLogFile) {
  for (const char* row : {"-|yes", "|yes", "(12/31/2026, 11:59:59:999AM)  Log File Started|yes",
                          "!(3/9/2004, 2:05:09:007PM) x|no", "[start]\r\nInstallFilename=x|no",
                          "(3/9/2004, 2:05:09:007XM) x|no", "(3/9/2004, 2:05:09:PM) x|no",
                          "(3/9/2004, 2:05:09:007PM|no"}) {
    SCOPED_TRACE(row);
    const Texts cell = Split(row, '|');
    VirtualPlatform platform;
    if (cell[0] != "-") {
      platform.files["x.log"] = cell[0].substr(cell[0][0] == '!');
      platform.unreadable.insert(cell[0][0] == '!' ? "x.log" : "");
    }
    EXPECT_EQ(MayReplaceWithLog(platform, "x.log"), cell[1] == "yes");
  }
}
