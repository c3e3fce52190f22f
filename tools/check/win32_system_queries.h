// The checker's own queries on the real Win32 API.
#pragma once

#include "system_queries.h"

class Win32SystemQueries final : public SystemQueries {
 public:
  std::vector<std::string> IniSections(const std::string& file) override;
  std::vector<std::string> IniLines(const std::string& file, const std::string& section) override;
  bool SameIniName(const std::string& a, const std::string& b) override;
  bool RegistryKeyExists(RegistryRoot root, RegistryView view, const std::string& keyPath) override;
  std::string AppPath(const std::string& name) override;
  std::string WindowsFolder() override;
  std::string SystemFolder() override;
  bool IsWine() override;
  unsigned AnsiCodePage() override;
  OpenAction OpenActionFor(const std::string& file) override;
  bool ReadShortcut(const std::string& file, Shortcut* shortcut) override;
  WriteAccess CanWrite(const std::string& file) override;
};
