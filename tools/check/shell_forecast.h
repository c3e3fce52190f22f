// How the shell's "open" action would treat what the launcher hands it,
// foreseen from what is on this machine, without starting anything.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "system_queries.h"

// One start the launcher hands to the shell, with the verdict the shell
// would give.
struct StartRecord {
  std::string program;     // the program that would run
  std::string parameters;  // the parameters it would get
  std::string dir;         // its working directory
  std::string rule;        // why it would start or fail
  std::string dropped;     // parameters that a document's "open" action drops
  bool started = false;
  bool ownDir = false;  // the working directory is the launcher's own, unchanged
};

class ShellForecast {
 public:
  ShellForecast(Platform& real, SystemQueries& system, std::string launcherDir)
      : m_real(real), m_system(system), m_launcherDir(std::move(launcherDir)) {}

  // The verdict on the file and parameters handed to the shell while dir
  // is the current directory.
  StartRecord Open(const std::string& file, const std::string& parameters, const std::string& dir);

  // The file the shell opens for a path: the path itself, or, when no file
  // has that name and it has no type, the first with a type that the shell
  // adds (path unchanged when there is none).
  std::string Completed(const std::string& path);

 private:
  bool Locate(StartRecord& start);
  bool FollowShortcut(StartRecord& start);
  bool Run(StartRecord& start);
  // The file the shell finds for a name without a folder, searched from
  // dir, or the empty text; where: the place it was found.
  std::string SearchBareName(const std::string& name, const std::string& dir, std::string* where);
  // The types the shell tries, in order, on a name without one.
  std::vector<std::string> AddedTypes();

  Platform& m_real;
  SystemQueries& m_system;
  std::string m_launcherDir;
};
