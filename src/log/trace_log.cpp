#include "log/trace_log.h"

#include <cstdio>

std::string FormatTimestamp(const LocalTime& time) {
  // The noon hour is PM: 12:30 AM would read as half past midnight.
  const bool pm = time.hour >= 12;
  const int hour = time.hour > 12 ? time.hour - 12 : time.hour;
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%d/%d/%d, %d:%02d:%02d:%03d%s", time.month, time.day,
                time.year, hour, time.minute, time.second, time.milliseconds, pm ? "PM" : "AM");
  return buffer;
}

void TraceLog::SetFilename(const std::string& name) {
  m_szFilename = name;
  if (!name.empty()) {
    m_platform.RemoveFile(name);
  }
}

void TraceLog::Write(const char* message) {
  if (!m_bEnabled || m_szFilename.empty()) {
    return;
  }
  std::string entry = "(" + CurrentDateAndTime() + ") ";
  entry += message;
  entry += '\n';
  m_platform.AppendText(m_szFilename, entry);
}
