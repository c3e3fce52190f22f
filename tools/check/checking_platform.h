// A platform that reads like the real one but acts on nothing: the checker
// runs the launcher's own code over it to learn what the launcher would do.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "shell_forecast.h"
#include "system_queries.h"

struct ProbeRecord {
  std::string file;
  bool readable = false;
};

struct RegistryRead {
  RegistryRoot root = RegistryRoot::LocalMachine;
  RegistryView view = RegistryView::Own;
  std::string keyPath;
  std::string valueName;
  bool found = false;
  RegistryValue value;
};

// The name under which the checker keeps the trace before the launcher
// names its log, and when it names none. No file of that name is written.
extern const char kTraceInMemory[];

class CheckingPlatform final : public Platform {
 public:
  // launcherPath: the full path of the launcher checked, which stands in
  // for this program's own.
  CheckingPlatform(Platform& real, SystemQueries& system, const std::string& launcherPath,
                   std::string commandLine);

  void SuppressErrorDialogs() override { m_real.SuppressErrorDialogs(); }
  std::string CommandLine() override { return m_commandLine; }
  bool IsLeadByte(char c) override { return m_real.IsLeadByte(c); }
  std::string ReadIniString(const std::string& file, const std::string& section,
                            const std::string& key, size_t bufferSize) override {
    return m_real.ReadIniString(file, section, key, bufferSize);
  }
  bool ReadRegistryValue(RegistryRoot root, RegistryView view, const std::string& keyPath,
                         const std::string& valueName, size_t maxBytes,
                         RegistryValue* value) override;
  std::string ExpandEnvironment(const std::string& text) override {
    return m_real.ExpandEnvironment(text);
  }
  // Records the start instead of making it, with the shell's verdict
  // predicted from what is on this machine.
  bool ShellOpen(const std::string& file, const std::string& parameters) override;
  bool GetCurrentDir(size_t bufferSize, std::string* dir) override {
    return m_real.GetCurrentDir(bufferSize, dir);
  }
  void SetCurrentDir(const std::string& dir) override { m_real.SetCurrentDir(dir); }
  LocalTime Now() override { return m_real.Now(); }
  // The launcher deletes the old file of its log's name when it names the
  // log: the name is kept, and the file stays.
  void RemoveFile(const std::string& name) override { m_logFile = name; }
  // The launcher asks both just before it would hand a file to the shell:
  // a yes ends that attempt, so it is recorded as a failed start.
  bool Exists(const std::string& name) override { return m_real.Exists(name); }
  bool IsDirectory(const std::string& name) override;
  bool IsSameFile(const std::string& a, const std::string& b) override;
  // Kept, so that a start shows the path as the launcher read it.
  std::string FullPath(const std::string& name) override;
  std::string ExecutablePath() override { return m_launcherPath; }
  bool CanOpenForReading(const std::string& name) override;
  bool ReadFileStart(const std::string& name, size_t count, std::string* start) override {
    return m_real.ReadFileStart(name, count, start);
  }
  // The trace goes to memory, never to a file.
  void AppendText(const std::string&, const std::string& text) override { m_trace += text; }

  const std::vector<ProbeRecord>& Probes() const { return m_probes; }
  const std::vector<RegistryRead>& RegistryReads() const { return m_registryReads; }
  const std::vector<StartRecord>& Starts() const { return m_starts; }
  const std::string& Trace() const { return m_trace; }
  // The file the launcher names as its log; kTraceInMemory when it names
  // none.
  const std::string& LogFile() const { return m_logFile; }

 private:
  void Refused(const std::string& file, const char* rule, bool itself);
  std::string AsRead(const std::string& full) const;

  Platform& m_real;
  std::string m_launcherPath;
  std::string m_commandLine;
  std::string m_ownDir;
  ShellForecast m_shell;
  std::map<std::string, std::string> m_read;  // full paths and the texts they came from
  std::vector<ProbeRecord> m_probes;
  std::vector<RegistryRead> m_registryReads;
  std::vector<StartRecord> m_starts;
  std::string m_trace;
  std::string m_logFile;
};
