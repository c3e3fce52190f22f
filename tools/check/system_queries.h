// What the checker asks of Windows beyond the launcher's own platform: the
// layout of an INI file, registry keys, how the shell finds and opens a
// file, and whether a log could be written. The launcher never needs these,
// so they stay out of its platform. None of them changes anything.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// What a shortcut (.lnk) starts.
struct Shortcut {
  std::string target;
  std::string arguments;
  std::string folder;  // its working directory; empty when it names none
};

// The "open" action for a file's type or a URL's scheme.
struct OpenAction {
  std::string command;     // with its %1 and %* unfilled; empty when it has none
  bool delegated = false;  // no command, but a handler that the shell runs
                           // through COM (DelegateExecute), as packaged apps have
};

// Whether a file could be created or appended to, and if not, why.
enum class WriteAccess { Writable, BadName, NoFolder, Folder, ReadOnly, ReadOnlyMedium, Denied };

class SystemQueries {
 public:
  virtual ~SystemQueries() = default;

  // Every section header of the file, in order, a repeated one each time.
  virtual std::vector<std::string> IniSections(const std::string& file) = 0;
  // Each line of the section as the INI reader gives it, such as key=value;
  // for the empty name, the lines before the file's first section header,
  // which no named section holds.
  virtual std::vector<std::string> IniLines(const std::string& file,
                                            const std::string& section) = 0;
  // True when the INI reader takes the two section or key names for one.
  virtual bool SameIniName(const std::string& a, const std::string& b) = 0;

  virtual bool RegistryKeyExists(RegistryRoot root, RegistryView view,
                                 const std::string& keyPath) = 0;

  // The program that the App Paths entry for name names; empty when there
  // is none.
  virtual std::string AppPath(const std::string& name) = 0;
  virtual std::string WindowsFolder() = 0;
  virtual std::string SystemFolder() = 0;
  // True under Wine, whose shell searches in an order of its own.
  virtual bool IsWine() = 0;
  // The ANSI code page, in which the INI reader takes an 8-bit file.
  virtual unsigned AnsiCodePage() = 0;

  // The "open" action for the file's type, or for the URL's scheme, as the
  // shell finds it: the user's choice first.
  virtual OpenAction OpenActionFor(const std::string& file) = 0;
  // False when the file cannot be read as a shortcut.
  virtual bool ReadShortcut(const std::string& file, Shortcut* shortcut) = 0;

  // Whether this process, and so the launcher started the same way, could
  // create the file or append to it.
  virtual WriteAccess CanWrite(const std::string& file) = 0;
};
