// Starts a program through the shell's "open" action, with the program's
// own directory as the current directory for the duration of the start.
#pragma once

#include <string>

#include "platform/platform.h"

class CShellLauncher {
 public:
  explicit CShellLauncher(Platform& platform) : m_platform(platform) {}
  virtual ~CShellLauncher() = default;

  // True when the shell reports that the start succeeded; does not wait for
  // the program. An empty name or a folder is a failed start, never handed
  // to the shell. The current directory is the same afterwards as before.
  bool Launch(std::string file, std::string parameters);

 private:
  Platform& m_platform;
};
