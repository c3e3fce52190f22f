// A platform that reads like the real one but acts on nothing: the checker
// runs the launcher's own code over it to learn what the launcher would do.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
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

// One start the launcher attempts, with the verdict the shell would give.
struct StartRecord {
  std::string file;        // as the launcher hands it over
  std::string program;     // what would start: a bare name as the shell finds it
  std::string parameters;  // as the launcher passes them
  std::string dir;         // the current directory at the moment of the start
  std::string rule;        // why it would start or fail
  bool started = false;
  bool itself = false;  // refused as the launcher's own executable
};

class CheckingPlatform final : public Platform {
 public:
  // launcherPath: the full path of the launcher checked, which stands in
  // for this program's own.
  CheckingPlatform(Platform& real, SystemQueries& system, std::string launcherPath,
                   std::string commandLine)
      : m_real(real),
        m_system(system),
        m_launcherPath(std::move(launcherPath)),
        m_commandLine(std::move(commandLine)) {}

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
  bool SetCurrentDir(const std::string& dir) override { return m_real.SetCurrentDir(dir); }
  LocalTime Now() override { return m_real.Now(); }
  // An old log of the same name belongs to a real run: it stays.
  void RemoveFile(const std::string&) override {}
  // The launcher asks both just before it would hand a file to the shell:
  // a yes ends that attempt, so it is recorded as a failed start.
  bool Exists(const std::string& name) override { return m_real.Exists(name); }
  bool IsDirectory(const std::string& name) override;
  bool IsSameFile(const std::string& a, const std::string& b) override;
  std::string FullPath(const std::string& name) override { return m_real.FullPath(name); }
  std::string ExecutablePath() override { return m_launcherPath; }
  bool CanOpenForReading(const std::string& name) override;
  bool ReadFileStart(const std::string& name, size_t count, std::string* start) override {
    return m_real.ReadFileStart(name, count, start);
  }
  // The trace goes to memory, never to a file.
  bool AppendText(const std::string& name, const std::string& text) override {
    m_logFile = name;
    m_trace += text;
    return true;
  }

  const std::vector<ProbeRecord>& Probes() const { return m_probes; }
  const std::vector<RegistryRead>& RegistryReads() const { return m_registryReads; }
  const std::vector<StartRecord>& Starts() const { return m_starts; }
  const std::string& Trace() const { return m_trace; }
  // The file the launcher would write its trace to.
  const std::string& LogFile() const { return m_logFile; }

 private:
  bool PredictShell(StartRecord& start);
  void Refused(const std::string& file, const char* rule, bool itself);

  Platform& m_real;
  SystemQueries& m_system;
  std::string m_launcherPath;
  std::string m_commandLine;
  std::vector<ProbeRecord> m_probes;
  std::vector<RegistryRead> m_registryReads;
  std::vector<StartRecord> m_starts;
  std::string m_trace;
  std::string m_logFile;
};
