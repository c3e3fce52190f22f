#include "shell_forecast.h"

#include <algorithm>

#include "launch/target_rules.h"
#include "platform/text.h"

namespace {

// The types the shell starts as programs; every other file is a document,
// which needs an "open" action for its type.
bool IsProgramType(const std::string& file) {
  for (const char* type : {".exe", ".com", ".bat", ".cmd"}) {
    if (text::EndsWith(file, type)) {
      return true;
    }
  }
  return false;
}

// The entries of a list such as PATH: split at semicolons, each without
// the quotes around it, empty ones left out.
std::vector<std::string> ListEntries(const std::string& list) {
  std::vector<std::string> entries;
  size_t start = 0;
  for (size_t end = 0; end != std::string::npos; start = end + 1) {
    end = list.find(';', start);
    const std::string entry = text::Unquoted(list.substr(start, end - start));
    if (!entry.empty()) {
      entries.push_back(entry);
    }
  }
  return entries;
}

// The command of an "open" action with its placeholders filled: %1 and %L
// the file, %* all the parameters, %0 and %2 to %9 one word of them each,
// %% a percent sign; %I (an item list) gives nothing. takesParameters: some
// placeholder takes the parameters, which are otherwise dropped.
std::string FilledCommand(const std::string& command, const std::string& file,
                          const std::string& parameters, bool* takesParameters) {
  std::string filled;
  size_t word = 0;
  *takesParameters = false;
  for (size_t at = 0; at < command.size(); ++at) {
    const char c = command[at];
    const char next = command[at + 1];  // the terminating zero after the last
    if (c != '%' || next == '\0') {
      filled += c;
      continue;
    }
    ++at;
    if (next == '1' || next == 'L' || next == 'l') {
      filled += file;
    } else if (next == '*') {
      filled += parameters;
      *takesParameters = true;
    } else if (next == '0' || (next >= '2' && next <= '9')) {
      const size_t first = std::min(parameters.find_first_not_of(" \t", word), parameters.size());
      word = std::min(parameters.find_first_of(" \t", first), parameters.size());
      filled += parameters.substr(first, word - first);
      *takesParameters = true;
    } else if (next == '%') {
      filled += '%';
    } else if (next != 'I' && next != 'i') {
      filled += std::string{c, next};  // not a placeholder, such as %SystemRoot%
    }
  }
  return filled;
}

}  // namespace

StartRecord ShellForecast::Open(const std::string& file, const std::string& parameters,
                                const std::string& dir) {
  StartRecord start;
  start.program = file;
  start.parameters = parameters;
  start.dir = dir;
  start.started = Locate(start) && FollowShortcut(start) && Run(start);
  return start;
}

// A name without a folder is searched for; a path is completed.
bool ShellForecast::Locate(StartRecord& start) {
  const text::LeadByteTest isLeadByte = m_real.LeadBytes();
  if (text::HasUrlScheme(start.program)) {
    return true;
  }
  if (text::IsBareName(start.program, isLeadByte)) {
    std::string where;
    const std::string found = SearchBareName(start.program, start.dir, &where);
    if (found.empty()) {
      start.rule =
          "a bare name that the shell finds neither along its search path nor in App Paths";
      return false;
    }
    start.program = found;
    start.rule = "a bare name, found in " + where + ": ";
  } else {
    const std::string completed = Completed(start.program);
    if (completed != start.program) {
      start.rule = "no file of that name, so the shell adds " +
                   completed.substr(start.program.size()) + ": ";
      start.program = completed;
    }
  }
  return true;
}

std::string ShellForecast::Completed(const std::string& path) {
  if (text::HasType(path, m_real.LeadBytes()) || m_real.Exists(path)) {
    return path;
  }
  for (const std::string& type : AddedTypes()) {
    if (m_real.CanOpenForReading(path + type)) {
      return path + type;
    }
  }
  return path;
}

// The shell opens a shortcut's target, with the shortcut's arguments before
// the parameters, in the shortcut's working directory.
bool ShellForecast::FollowShortcut(StartRecord& start) {
  if (!text::EndsWith(start.program, ".lnk")) {
    return true;
  }
  Shortcut shortcut;
  if (!m_real.CanOpenForReading(start.program) ||
      !m_system.ReadShortcut(start.program, &shortcut)) {
    start.rule += "a shortcut that cannot be read";
    return false;
  }
  // Wine's shell opens a shortcut through a COM object that needs a
  // single-threaded apartment, and the launcher's is multithreaded.
  if (m_system.IsWine()) {
    start.rule +=
        "a shortcut to " + shortcut.target + ", which Wine's shell does not open for the launcher";
    return false;
  }
  start.rule += "a shortcut to " + shortcut.target + ": ";
  start.program = shortcut.target;
  start.parameters = shortcut.arguments + (start.parameters.empty() ? "" : " " + start.parameters);
  start.dir = shortcut.folder.empty() ? start.dir : shortcut.folder;
  return true;
}

// A program runs; a document or a URL runs the "open" action's command.
bool ShellForecast::Run(StartRecord& start) {
  const bool url = text::HasUrlScheme(start.program);
  if (!url && !m_real.CanOpenForReading(start.program)) {
    start.rule += "no readable file";
    return false;
  }
  if (!url && IsProgramType(start.program)) {
    start.rule += "a program that exists and can be read";
    return true;
  }
  const std::string what = url ? "a URL" : "a document";
  const OpenAction action = m_system.OpenActionFor(start.program);
  const std::string& command = action.command;
  if (action.delegated) {
    // Windows' shell hands the file to the handler's COM object, which
    // starts what it will; Wine's shell runs no such handler.
    start.rule += what + " whose \"open\" action is a handler that " +
                  (m_system.IsWine() ? "Wine's shell does not run"
                                     : "the shell runs itself (DelegateExecute): which program "
                                       "it starts, and with which parameters, cannot be foreseen");
    return !m_system.IsWine();
  }
  if (command.empty()) {
    start.rule += what + (url ? " whose scheme" : " whose type") + " has no \"open\" action";
    return false;
  }
  bool takesParameters = false;
  const std::string filled =
      FilledCommand(command, start.program, start.parameters, &takesParameters);
  start.dropped = takesParameters ? std::string() : start.parameters;
  start.rule +=
      std::string(url ? "a URL" : "a document") + ", opened by its \"open\" action: " + filled;
  // The command line's program, quoted or up to the first space, then one
  // space before its arguments.
  const bool quoted = !filled.empty() && filled[0] == '"';
  const size_t end = std::min(quoted ? filled.find('"', 1) : filled.find(' '), filled.size());
  start.program = filled.substr(quoted ? 1 : 0, end - (quoted ? 1 : 0));
  const size_t rest = std::min(end + (quoted ? 1 : 0), filled.size());
  start.parameters = filled.substr(rest + (filled.compare(rest, 1, " ") == 0 ? 1 : 0));
  return true;
}

// Windows looks in the current directory, the Windows folder, System32 and
// along PATH, then in App Paths. Wine's shell looks a name with a type up
// along System32, the Windows folders and PATH first, then has
// CreateProcess search from the launcher's own folder; a name without one
// CreateProcess alone searches, from the launcher's folder.
std::string ShellForecast::SearchBareName(const std::string& name, const std::string& dir,
                                          std::string* where) {
  const text::LeadByteTest isLeadByte = m_real.LeadBytes();
  const bool typed = text::HasType(name, isLeadByte);
  using Place = std::pair<std::string, std::string>;  // a folder, and how the report names it
  const Place here = {dir, "the current directory"};
  const Place windows = {m_system.WindowsFolder(), "the Windows folder"};
  const Place system = {m_system.SystemFolder(), "System32"};
  std::vector<Place> places = {here, windows, system};
  if (m_system.IsWine()) {
    places = {system, {windows.first + "\\system", "the Windows\\System folder"}, windows};
  }
  for (const std::string& folder : ListEntries(m_real.ExpandEnvironment("%PATH%"))) {
    places.emplace_back(folder, "PATH (" + folder + ")");
  }
  if (m_system.IsWine()) {
    places.insert(typed ? places.end() : places.begin(),
                  {{m_launcherDir, "the launcher's folder"}, here});
  }
  std::vector<std::string> candidates;
  for (const std::string& type : typed ? std::vector<std::string>{""} : AddedTypes()) {
    candidates.push_back(name + type);
  }
  for (const auto& [folder, place] : places) {
    for (const std::string& candidate : candidates) {
      const std::string path = JoinPath(folder, candidate, isLeadByte);
      if (!folder.empty() && m_real.CanOpenForReading(path)) {
        *where = place;
        return path;
      }
    }
  }
  *where = "its App Paths entry";
  return m_system.AppPath(candidates[0]);
}

// .exe, then on Windows the other types of PATHEXT, in its order, as
// SearchPath and the shell try them; Wine's shell tries .exe alone.
std::vector<std::string> ShellForecast::AddedTypes() {
  std::vector<std::string> types = {".exe"};
  const std::string pathext = m_real.ExpandEnvironment("%PATHEXT%");
  if (m_system.IsWine() || pathext == "%PATHEXT%") {
    return types;
  }
  for (const std::string& type : ListEntries(pathext)) {
    if (text::AsciiLower(type) != ".exe") {
      types.push_back(text::AsciiLower(type));
    }
  }
  return types;
}
