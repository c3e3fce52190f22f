// Starts a program through the shell's "open" action, with the program's
// own directory as the current directory for the duration of the start.
#pragma once

#include <string>

#include "platform/platform.h"

// What became of a start: handed to the shell, which started it or failed,
// or never handed to it.
enum class StartOutcome {
  Started,
  Failed,
  Empty,   // no file named
  Folder,  // the shell would open a folder window
  Itself,  // this launcher's own executable
};

class CShellLauncher {
 public:
  explicit CShellLauncher(Platform& platform) : m_platform(platform) {}
  virtual ~CShellLauncher() = default;

  // True when the shell reports that the start succeeded; does not wait for
  // the program. A file in one pair of double quotes is the path inside
  // them. An empty name, a folder or this launcher's own executable (named
  // by a file: URL too) is a failed start, never handed to the shell. A URL
  // goes to the shell as written. The current directory is the same
  // afterwards as before. outcome and handed, when given, receive what
  // became of the start and what was, or would have been, handed to the
  // shell.
  bool Launch(std::string file, std::string parameters, StartOutcome* outcome = nullptr,
              std::string* handed = nullptr);

 private:
  StartOutcome Start(const std::string& file, const std::string& parameters, std::string& program);
  // True when program, full or bare, would start this launcher's own file.
  bool IsThisLauncher(const std::string& program, bool bare);

  Platform& m_platform;
};
