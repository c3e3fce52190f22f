// An in-memory platform: files, INI sections, registry values, a current
// directory, a fixed clock and a record of shell starts.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "platform/text.h"

struct ShellStart {
  std::string file;
  std::string parameters;
  std::string dir;  // the current directory during the start
  bool operator==(const ShellStart& o) const {
    return file == o.file && parameters == o.parameters && dir == o.dir;
  }
};

class VirtualPlatform : public Platform {
 public:
  void SuppressErrorDialogs() override { ++errorModeCalls; }
  std::string CommandLine() override { return commandLine; }
  bool IsLeadByte(char c) override { return leadBytes.count(c) != 0; }

  // Section and key names match regardless of case, as in INI files.
  std::string ReadIniString(const std::string& file, const std::string& section,
                            const std::string& key, size_t bufferSize) override {
    iniReads.push_back(key);
    const auto found = ini.find(IniKey{file, text::AsciiLower(section), text::AsciiLower(key)});
    return found == ini.end() ? std::string() : found->second.substr(0, bufferSize - 1);
  }
  void SetIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    files.emplace(file, "");
    ini[IniKey{file, text::AsciiLower(section), text::AsciiLower(key)}] = value;
  }

  bool ReadRegistryValue(RegistryRoot root, const std::string& keyPath,
                         const std::string& valueName, size_t maxBytes,
                         std::string* data) override {
    const auto found = registry.find(RegistryKey{root, keyPath, valueName});
    if (found == registry.end() || found->second.size() > maxBytes) {
      return false;
    }
    *data = found->second;
    return true;
  }

  // Succeeds for the programs listed in startable, from the directory that
  // is current at that moment.
  bool ShellOpen(const std::string& file, const std::string& parameters) override {
    starts.push_back({file, parameters, currentDir});
    return startable.count(file) != 0;
  }

  bool GetCurrentDir(size_t bufferSize, std::string* dir) override {
    if (!currentDirReadable || currentDir.size() + 1 > bufferSize) {
      return false;
    }
    *dir = currentDir;
    return true;
  }
  bool SetCurrentDir(const std::string& dir) override {
    dirChanges.push_back(dir);
    if (dir.empty()) {
      return false;
    }
    currentDir = dir;
    return true;
  }

  LocalTime Now() override { return clock; }

  void RemoveFile(const std::string& name) override {
    removed.push_back(name);
    files.erase(name);
  }
  bool IsDirectory(const std::string& name) override { return directories.count(name) != 0; }
  bool CanOpenForReading(const std::string& name) override {
    probes.push_back(name);
    return files.count(name) != 0 && unreadable.count(name) == 0;
  }
  bool AppendText(const std::string& name, const std::string& text) override {
    if (unwritable.count(name) != 0) {
      return false;
    }
    std::string& content = files[name];
    for (char c : text) {
      content += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return true;
  }

  // The messages of a log file, timestamps and line ends taken off.
  std::vector<std::string> LogEntries(const std::string& name) const {
    std::vector<std::string> entries;
    const auto file = files.find(name);
    if (file == files.end()) {
      return entries;
    }
    size_t start = 0;
    for (size_t end; (end = file->second.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      const std::string line = file->second.substr(start, end - start);
      const size_t close = line.find(") ");
      entries.push_back(line[0] == '(' && close != std::string::npos ? line.substr(close + 2)
                                                                     : line);
    }
    return entries;
  }

  using IniKey = std::tuple<std::string, std::string, std::string>;
  using RegistryKey = std::tuple<RegistryRoot, std::string, std::string>;

  std::string commandLine;
  std::set<char> leadBytes;
  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;
  std::map<IniKey, std::string> ini;
  std::map<RegistryKey, std::string> registry;
  std::set<std::string> startable;
  std::string currentDir = "C:\\Work";
  bool currentDirReadable = true;
  LocalTime clock{2004, 3, 9, 14, 5, 9, 7};

  int errorModeCalls = 0;
  std::vector<std::string> iniReads;
  std::vector<std::string> probes;
  std::vector<std::string> removed;
  std::vector<std::string> dirChanges;
  std::vector<ShellStart> starts;
};
