// The process-wide trace log: off by default, one timestamped line per
// entry, the file opened and closed for every entry so that each one is
// complete on disk when the call returns.
#pragma once

#include <string>

#include "platform/platform.h"

// month/day/year, hour:minute:second:millisecond with AM or PM, such as
// "3/9/2004, 2:05:09:007PM".
std::string FormatTimestamp(const LocalTime& time);

// True when the command line's -log may replace the file: it is missing,
// empty, or begins as a trace log does. Any other file is someone's data
// (-log start.ini is one slip of the tab key away) and must stay.
bool MayReplaceWithLog(Platform& platform, const std::string& name);

class TraceLog {
 public:
  explicit TraceLog(Platform& platform) : m_platform(platform) {}

  // Names the log and deletes any old file of that name; does not switch
  // the log on.
  void SetFilename(const std::string& name);
  void Enable() { m_bEnabled = true; }
  void Disable() { m_bEnabled = false; }
  std::string CurrentDateAndTime() { return FormatTimestamp(m_platform.Now()); }

  // Appends "(timestamp) message" when the log is on and named. The message
  // is data: it ends at its first zero byte and is never a format.
  void Write(const char* message);
  void Write(const std::string& message) { Write(message.c_str()); }

 private:
  Platform& m_platform;
  std::string m_szFilename;
  bool m_bEnabled = false;
};
