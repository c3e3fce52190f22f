#include "log/exports.h"

namespace {
TraceLog* processLog = nullptr;
}  // namespace

void InstallProcessLog(TraceLog* log) { processLog = log; }

void setLogFilename(std::string name) {
  if (processLog != nullptr) {
    processLog->SetFilename(name);
  }
}

void enableLogFile() {
  if (processLog != nullptr) {
    processLog->Enable();
  }
}

void disableLogFile() {
  if (processLog != nullptr) {
    processLog->Disable();
  }
}

void getCurrentDateAndTime(std::string& out) {
  if (processLog != nullptr) {
    out = processLog->CurrentDateAndTime();
  }
}

void qel_log(const char* message) {
  if (processLog != nullptr && message != nullptr) {
    processLog->Write(message);
  }
}
