#include "log/trace_log.h"

#include <cstdio>
#include <cstring>

std::string FormatTimestamp(const LocalTime& time) {
  // The noon hour is PM: 12:30 AM would read as half past midnight.
  const bool pm = time.hour >= 12;
  const int hour = time.hour > 12 ? time.hour - 12 : time.hour;
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%d/%d/%d, %d:%02d:%02d:%03d%s", time.month, time.day,
                time.year, hour, time.minute, time.second, time.milliseconds, pm ? "PM" : "AM");
  return buffer;
}

namespace {

// "(3/9/2004, 2:05:09:007PM) ", as each entry begins; # stands for one or
// more digits. The text's terminating zero ends every scan.
bool BeginsAsEntry(const std::string& s) {
  static const std::string kPattern = "(#/#/#, #:#:#:#";
  const char* at = s.c_str();
  for (const char expected : kPattern) {
    if (expected == '#') {
      const char* digits = at;
      while (*at >= '0' && *at <= '9') {
        ++at;
      }
      if (at == digits) {
        return false;
      }
    } else if (*at++ != expected) {
      return false;
    }
  }
  return std::strncmp(at, "AM) ", 4) == 0 || std::strncmp(at, "PM) ", 4) == 0;
}

}  // namespace

bool MayReplaceWithLog(Platform& platform, const std::string& name) {
  std::string start;
  return !platform.Exists(name) ||
         (platform.ReadFileStart(name, 64, &start) && (start.empty() || BeginsAsEntry(start)));
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
