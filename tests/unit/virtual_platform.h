// An in-memory platform: files, folders, INI values, registry values, a
// current directory, a fixed clock and a record of shell starts.
#pragma once

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"

using Texts = std::vector<std::string>;

// The cells of a table row written as one text: "a;b" gives a and b.
inline Texts Split(const std::string& s, char separator = ';') {
  Texts cells;
  for (size_t start = 0, end = 0; end != std::string::npos && !s.empty(); start = end + 1) {
    end = s.find(separator, start);
    cells.push_back(s.substr(start, end - start));
  }
  return cells;
}

// The rows of a table kept in a data file: its lines but blank ones and
// comments (#), each with ^ for a line end and {XX} for the byte XX; none
// when the file cannot be read.
inline Texts Cases(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  Texts rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::string& row = rows.emplace_back();
    for (size_t at = 0; at < line.size(); ++at) {
      const bool byte = line[at] == '{' && line.find('}', at) == at + 3;
      row += byte              ? static_cast<char>(std::stoi(line.substr(at + 1, 2), nullptr, 16))
             : line[at] == '^' ? '\n'
                               : line[at];
      at += byte ? 3 : 0;
    }
  }
  return rows;
}

struct ShellStart {
  std::string file, parameters, dir;  // dir: the current directory during the start
};

class VirtualPlatform : public Platform {
 public:
  void SuppressErrorDialogs() override { ++errorModeCalls; }
  std::string CommandLine() override { return commandLine; }
  bool IsLeadByte(char c) override { return leadBytes.count(c) != 0; }
  // Section and key names match regardless of case, as in INI files.
  std::string ReadIniString(const std::string& file, const std::string& section,
                            const std::string& key, size_t bufferSize) override {
    const auto found = ini.find({file, text::AsciiLower(section), text::AsciiLower(key)});
    return found == ini.end() ? std::string() : found->second.substr(0, bufferSize - 1);
  }
  void SetIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    files.emplace(file, "");
    ini[{file, text::AsciiLower(section), text::AsciiLower(key)}] = value;
  }
  bool ReadRegistryValue(RegistryRoot root, RegistryView view, const std::string& keyPath,
                         const std::string& valueName, size_t maxBytes,
                         RegistryValue* value) override {
    const auto found = registry.find({root, view, keyPath, valueName});
    if (found == registry.end() || found->second.size() > maxBytes) {
      return false;
    }
    *value = {found->second, expandable.count(valueName) != 0};
    return true;
  }
  RegistryView OwnView() override { return ownView; }
  // The first %NAME% of each variable, in that letter case, becomes its value.
  std::string ExpandEnvironment(const std::string& text) override {
    std::string out = text;
    for (const auto& [name, value] : environment) {
      const size_t at = out.find("%" + name + "%");
      out = at == std::string::npos ? out : out.replace(at, name.size() + 2, value);
    }
    return out;
  }
  // Succeeds for the programs listed in startable.
  bool ShellOpen(const std::string& file, const std::string& parameters) override {
    starts.push_back({file, parameters, currentDir});
    return startable.count(file) != 0;
  }
  bool GetCurrentDir(size_t bufferSize, std::string* dir) override {
    *dir = currentDir;  // callers use it only on success
    return currentDir.size() < bufferSize;
  }
  void SetCurrentDir(const std::string& dir) override {
    currentDir = dir.empty() ? currentDir : dir;
  }
  LocalTime Now() override { return clock; }
  void RemoveFile(const std::string& name) override { files.erase(name); }
  bool Exists(const std::string& name) override {
    return files.count(name) + directories.count(name) != 0;
  }
  bool IsDirectory(const std::string& name) override { return directories.count(name) != 0; }
  // Only C:\... and \\... are full; \x is on the current drive. Nothing is
  // normalised.
  std::string FullPath(const std::string& name) override {
    const bool drive = name.size() > 2 && name[1] == ':' && text::IsSeparator(name[2]);
    const bool share = name.size() > 1 && text::IsSeparator(name[0]) && text::IsSeparator(name[1]);
    const bool root = !name.empty() && text::IsSeparator(name[0]);
    return drive || share ? name : root ? currentDir.substr(0, 2) + name : currentDir + "\\" + name;
  }
  std::string ExecutablePath() override { return self; }
  bool IsSameFile(const std::string& a, const std::string& b) override {
    return text::AsciiLower(FullPath(a)) == text::AsciiLower(FullPath(b));
  }
  bool CanOpenForReading(const std::string& name) override {
    return files.count(name) != 0 && unreadable.count(name) == 0;
  }
  bool ReadFileStart(const std::string& name, size_t count, std::string* start) override {
    *start = CanOpenForReading(name) ? files[name].substr(0, count) : std::string();
    return CanOpenForReading(name);
  }
  void AppendText(const std::string& name, const std::string& text) override {
    for (char c : unwritable.count(name) == 0 ? text : std::string()) {
      files[name] += c == '\n' ? "\r\n" : std::string(1, c);
    }
  }

  // The messages of a log file: its lines, timestamps taken off.
  Texts LogEntries(const std::string& name) const {
    const auto file = files.find(name);
    Texts lines = Split(file == files.end() ? "" : file->second, '\n');
    lines.resize(lines.empty() ? 0 : lines.size() - 1);  // nothing follows the last line end
    for (std::string& line : lines) {
      line.pop_back();  // the CR
      line.erase(0, line[0] == '(' ? line.find(") ") + 2 : 0);
    }
    return lines;
  }

  std::string commandLine;
  std::string self = "D:\\Title\\start.exe";
  std::set<char> leadBytes;
  std::map<std::string, std::string> files;
  std::set<std::string> directories, unreadable, unwritable, startable;
  std::set<std::string> expandable;  // names of REG_EXPAND_SZ values
  std::map<std::string, std::string> environment;
  RegistryView ownView = RegistryView::Bits32;
  std::map<std::tuple<std::string, std::string, std::string>, std::string> ini;
  std::map<std::tuple<RegistryRoot, RegistryView, std::string, std::string>, std::string> registry;
  std::string currentDir = "C:\\Work";
  LocalTime clock{2004, 3, 9, 14, 5, 9, 7};
  int errorModeCalls = 0;
  std::vector<ShellStart> starts;
};
