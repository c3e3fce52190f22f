#include <gtest/gtest.h>

#include "log/exports.h"
#include "log/trace_log.h"
#include "virtual_platform.h"

namespace {

LocalTime At(int hour, int minute, int second, int milliseconds) {
  return LocalTime{2004, 3, 9, hour, minute, second, milliseconds};
}

const char kLog[] = "D:\\trace.log";

struct LogTest : ::testing::Test {
  VirtualPlatform platform;
  TraceLog log{platform};
  void Open() {
    log.SetFilename(kLog);
    log.Enable();
  }
  std::string File() { return platform.files[kLog]; }
};

}  // namespace

TEST(Timestamp, HoursAreTwelveHourWithNoonAsPm) {
  EXPECT_EQ(FormatTimestamp(At(0, 10, 0, 0)), "3/9/2004, 0:10:00:000AM");
  EXPECT_EQ(FormatTimestamp(At(9, 5, 9, 7)), "3/9/2004, 9:05:09:007AM");
  EXPECT_EQ(FormatTimestamp(At(12, 30, 5, 250)), "3/9/2004, 12:30:05:250PM");
  EXPECT_EQ(FormatTimestamp(At(13, 0, 0, 42)), "3/9/2004, 1:00:00:042PM");
  EXPECT_EQ(FormatTimestamp(At(23, 59, 59, 999)), "3/9/2004, 11:59:59:999PM");
  EXPECT_EQ(FormatTimestamp(LocalTime{2026, 12, 31, 11, 0, 0, 5}), "12/31/2026, 11:00:00:005AM");
}

TEST_F(LogTest, EntriesAreTimestampedLinesWithTheMessageAsData) {
  Open();
  log.Write(" Log File Started");
  log.Write("100% %s %n done");
  log.Write("");
  log.Write("first\nsecond");
  EXPECT_EQ(File(),
            "(3/9/2004, 2:05:09:007PM)  Log File Started\r\n"
            "(3/9/2004, 2:05:09:007PM) 100% %s %n done\r\n"
            "(3/9/2004, 2:05:09:007PM) \r\n"
            "(3/9/2004, 2:05:09:007PM) first\r\nsecond\r\n");
}

TEST_F(LogTest, NothingIsWrittenWhenOffOrUnnamed) {
  log.SetFilename(kLog);
  log.Write("off");
  EXPECT_EQ(platform.files.count(kLog), 0u);

  TraceLog unnamed(platform);
  unnamed.Enable();
  unnamed.Write("unnamed");
  EXPECT_TRUE(platform.files.empty());
}

TEST_F(LogTest, DisableStopsAndEnableResumesTheSameFile) {
  Open();
  log.Write("one");
  log.Disable();
  log.Write("lost");
  log.Enable();
  log.Write("two");
  EXPECT_EQ(platform.LogEntries(kLog), (std::vector<std::string>{"one", "two"}));
}

TEST_F(LogTest, NamingTheLogDeletesTheOldFileOnly) {
  platform.files[kLog] = "old run\r\n";
  platform.files["D:\\other.log"] = "kept";
  log.SetFilename("D:\\other.log");
  log.SetFilename(kLog);
  EXPECT_EQ(platform.files.count(kLog), 0u);
  EXPECT_EQ(platform.removed, (std::vector<std::string>{"D:\\other.log", kLog}));
}

TEST_F(LogTest, AnEntryThatCannotBeWrittenIsDroppedAndTheNextTriesAgain) {
  Open();
  platform.unwritable.insert(kLog);
  log.Write("lost");
  platform.unwritable.clear();
  log.Write("kept");
  EXPECT_EQ(platform.LogEntries(kLog), (std::vector<std::string>{"kept"}));
}

TEST_F(LogTest, ExportedFunctionsActOnTheInstalledLog) {
  qel_log("before any log is installed");
  InstallProcessLog(&log);
  setLogFilename(kLog);
  enableLogFile();
  qel_log("on");
  disableLogFile();
  qel_log("off");
  std::string now;
  getCurrentDateAndTime(now);
  InstallProcessLog(nullptr);
  EXPECT_EQ(now, "3/9/2004, 2:05:09:007PM");
  EXPECT_EQ(platform.LogEntries(kLog), (std::vector<std::string>{"on"}));
}
