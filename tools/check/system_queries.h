// What the checker asks of Windows beyond the launcher's own platform: the
// layout of an INI file, registry keys, and how the shell finds and opens a
// file. The launcher never needs these, so they stay out of its platform.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

struct FoundProgram {
  std::string path;  // empty when the shell would not find the name
  std::string rule;  // how it was found, such as "App Paths"
};

class SystemQueries {
 public:
  virtual ~SystemQueries() = default;

  virtual std::vector<std::string> IniSections(const std::string& file) = 0;
  // Each line of the section as the INI reader gives it, such as key=value;
  // for the empty name, the lines before the file's first section header,
  // which no named section holds.
  virtual std::vector<std::string> IniLines(const std::string& file,
                                            const std::string& section) = 0;

  virtual bool RegistryKeyExists(RegistryRoot root, RegistryView view,
                                 const std::string& keyPath) = 0;

  // Where the shell finds a program given by a bare name, as it would for
  // the launcher in launcherDir: its App Paths entry, else the search path.
  virtual FoundProgram FindProgram(const std::string& name, const std::string& launcherDir) = 0;

  // The command of the "open" action for the file's type; empty when its
  // type has none.
  virtual std::string OpenCommand(const std::string& file) = 0;

  // True when this process has an administrator's rights, which creating a
  // file in the root of C: needs; the launcher started the same way has
  // the same.
  virtual bool IsElevated() = 0;
};
