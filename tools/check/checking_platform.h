// A platform that reads like the real one but acts on nothing: the checker
// runs the launcher's own code over it to learn what the launcher would do.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "shell_forecast.h"
#include "system_queries.h"

// The name under which the checker keeps the trace until the launcher names
// its log, and when it names none. No file of that name is written.
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
                         RegistryValue* value) override {
    return m_real.ReadRegistryValue(root, view, keyPath, valueName, maxBytes, value);
  }
  RegistryView OwnView() override { return m_real.OwnView(); }
  std::string ExpandEnvironment(const std::string& text) override {
    return m_real.ExpandEnvironment(text);
  }
  // Records the start instead of making it, with the shell's verdict
  // foreseen from what is on this machine.
  bool ShellOpen(const std::string& file, const std::string& parameters) override;
  bool GetCurrentDir(size_t bufferSize, std::string* dir) override {
    return m_real.GetCurrentDir(bufferSize, dir);
  }
  void SetCurrentDir(const std::string& dir) override { m_real.SetCurrentDir(dir); }
  LocalTime Now() override { return m_real.Now(); }
  // The launcher deletes the old file of its log's name: the file stays.
  void RemoveFile(const std::string&) override {}
  bool Exists(const std::string& name) override { return m_real.Exists(name); }
  bool IsDirectory(const std::string& name) override { return m_real.IsDirectory(name); }
  bool IsSameFile(const std::string& a, const std::string& b) override {
    return m_real.IsSameFile(a, b);
  }
  std::string FullPath(const std::string& name) override { return m_real.FullPath(name); }
  std::string ExecutablePath() override { return m_launcherPath; }
  bool CanOpenForReading(const std::string& name) override {
    return m_real.CanOpenForReading(name);
  }
  bool ReadFileStart(const std::string& name, size_t count, std::string* start) override {
    return m_real.ReadFileStart(name, count, start);
  }
  // The trace goes to memory, never to a file.
  void AppendText(const std::string&, const std::string& text) override { m_trace += text; }

  // The shell's verdict on a file and parameters that the launcher handed
  // to it; null when it handed over no such pair.
  const StartRecord* Forecast(const std::string& file, const std::string& parameters) const;
  const std::string& Trace() const { return m_trace; }
  // The file the shell opens for a path, as the forecast completes it.
  std::string Completed(const std::string& path) { return m_shell.Completed(path); }

 private:
  Platform& m_real;
  std::string m_launcherPath;
  std::string m_commandLine;
  std::string m_ownDir;
  ShellForecast m_shell;
  std::map<std::pair<std::string, std::string>, StartRecord> m_starts;
  std::string m_trace;
};
