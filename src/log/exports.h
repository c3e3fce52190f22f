// The log's operations, exported by name from the executable.
#pragma once

#include <string>

#include "log/trace_log.h"

#ifdef _WIN32
#define STARTPOINT_EXPORT __declspec(dllexport)
#else
#define STARTPOINT_EXPORT
#endif

// The log that the exported functions act on; until one is installed they
// do nothing. The launcher's own parts log through them too.
void InstallProcessLog(TraceLog* log);

extern "C" {
STARTPOINT_EXPORT void setLogFilename(std::string name);
STARTPOINT_EXPORT void enableLogFile();
STARTPOINT_EXPORT void disableLogFile();
STARTPOINT_EXPORT void getCurrentDateAndTime(std::string& out);
STARTPOINT_EXPORT void qel_log(const char* message);
}

// qel_log for a text object: the message up to its first zero byte.
inline void LogEntry(const std::string& message) { qel_log(message.c_str()); }
