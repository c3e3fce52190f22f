// The platform operations on the real Win32 API.
#pragma once

#include "platform/file_id.h"
#include "platform/platform.h"

class Win32Platform final : public Platform {
 public:
  void SuppressErrorDialogs() override;
  std::string CommandLine() override;
  bool IsLeadByte(char c) override;
  std::string ReadIniString(const std::string& file, const std::string& section,
                            const std::string& key, size_t bufferSize) override;
  bool ReadRegistryValue(RegistryRoot root, RegistryView view, const std::string& keyPath,
                         const std::string& valueName, size_t maxBytes,
                         RegistryValue* value) override;
  RegistryView OwnView() override;
  std::string ExpandEnvironment(const std::string& text) override;
  bool ShellOpen(const std::string& file, const std::string& parameters) override;
  bool GetCurrentDir(size_t bufferSize, std::string* dir) override;
  void SetCurrentDir(const std::string& dir) override;
  LocalTime Now() override;
  void RemoveFile(const std::string& name) override;
  bool Exists(const std::string& name) override;
  bool IsDirectory(const std::string& name) override;
  std::string FullPath(const std::string& name) override;
  std::string ExecutablePath() override;
  bool IsSameFile(const std::string& a, const std::string& b) override;
  bool CanOpenForReading(const std::string& name) override;
  bool ReadFileStart(const std::string& name, size_t count, std::string* start) override;
  void AppendText(const std::string& name, const std::string& text) override;

 private:
  // What IsSameFile reads of a file: its size, without opening it, and
  // its identity, none when it cannot be opened.
  static std::optional<unsigned long long> SizeOf(const std::string& name);
  static FileId IdentityOf(const std::string& name);
};
