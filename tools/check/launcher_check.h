// What the launcher would do on this machine, for a launcher path and an
// alias, and the likely mistakes in its configuration.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

// The sections and lines of an INI file, which the launcher's own reads
// cannot list.
class IniLayout {
 public:
  virtual ~IniLayout() = default;
  virtual std::vector<std::string> Sections(const std::string& file) = 0;
  // Each line of the section as the INI reader gives it, such as key=value.
  virtual std::vector<std::string> Lines(const std::string& file, const std::string& section) = 0;
};

struct CheckRequest {
  std::string launcherPath;  // a full path, as Explorer or AutoPlay pass it
  std::string alias;
  bool showTrace = false;
};

// The checker's exit statuses.
constexpr int kWouldStart = 0;
constexpr int kWouldStartWithWarnings = 1;
constexpr int kWouldStartNothing = 2;

// Runs the launcher's own code over a platform that acts on nothing, prints
// what it found and would do, and returns the exit status.
int CheckLauncher(Platform& real, IniLayout& ini, const CheckRequest& request, std::ostream& out);
