// A platform that reads like the real one but acts on nothing: the checker
// runs the launcher's own code over it to learn what the launcher would do.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

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
  std::string data;
};

struct StartRecord {
  std::string file;
  std::string parameters;
  std::string dir;  // the current directory at the moment of the start
  bool started = false;
};

class CheckingPlatform final : public Platform {
 public:
  // launcherPath: the full path of the launcher checked, which stands in
  // for this program's own.
  CheckingPlatform(Platform& real, std::string launcherPath, std::string commandLine)
      : m_real(real),
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
                         const std::string& valueName, size_t maxBytes, std::string* data) override;
  // Records the start instead of making it. A start counts as successful
  // when the file exists and can be read: the shell's own verdict would
  // need the start itself.
  bool ShellOpen(const std::string& file, const std::string& parameters) override;
  bool GetCurrentDir(size_t bufferSize, std::string* dir) override {
    return m_real.GetCurrentDir(bufferSize, dir);
  }
  bool SetCurrentDir(const std::string& dir) override { return m_real.SetCurrentDir(dir); }
  LocalTime Now() override { return m_real.Now(); }
  // An old log of the same name belongs to a real run: it stays.
  void RemoveFile(const std::string&) override {}
  bool IsDirectory(const std::string& name) override { return m_real.IsDirectory(name); }
  std::string FullPath(const std::string& name) override { return m_real.FullPath(name); }
  std::string ExecutablePath() override { return m_launcherPath; }
  bool IsSameFile(const std::string& a, const std::string& b) override {
    return m_real.IsSameFile(a, b);
  }
  bool CanOpenForReading(const std::string& name) override;
  // The trace goes to memory, never to a file.
  bool AppendText(const std::string&, const std::string& text) override {
    m_trace += text;
    return true;
  }

  const std::vector<ProbeRecord>& Probes() const { return m_probes; }
  const std::vector<RegistryRead>& RegistryReads() const { return m_registryReads; }
  const std::vector<StartRecord>& Starts() const { return m_starts; }
  const std::string& Trace() const { return m_trace; }

 private:
  Platform& m_real;
  std::string m_launcherPath;
  std::string m_commandLine;
  std::vector<ProbeRecord> m_probes;
  std::vector<RegistryRead> m_registryReads;
  std::vector<StartRecord> m_starts;
  std::string m_trace;
};
