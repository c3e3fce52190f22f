// The checker's own queries on the real Win32 API.
#pragma once

#include "system_queries.h"

class Win32SystemQueries final : public SystemQueries {
 public:
  std::vector<std::string> IniSections(const std::string& file) override;
  std::vector<std::string> IniLines(const std::string& file, const std::string& section) override;
  bool RegistryKeyExists(RegistryRoot root, RegistryView view, const std::string& keyPath) override;
  FoundProgram FindProgram(const std::string& name, const std::string& launcherDir) override;
  std::string OpenCommand(const std::string& file) override;
  bool IsElevated() override;
};
