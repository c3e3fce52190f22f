// The operating-system operations the launcher's logic needs. The logic
// takes this interface, so it runs unchanged against the real Win32 API and
// against the in-memory double of the unit tests.
#pragma once

#include <cstddef>
#include <string>

enum class RegistryRoot { LocalMachine, ClassesRoot, CurrentUser, Users };

struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;  // 0 to 23
  int minute = 0;
  int second = 0;
  int milliseconds = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Adds "fail critical errors" and "no open-file error box" to the error
  // mode, keeping the flags already set.
  virtual void SuppressErrorDialogs() = 0;

  // The whole command line of the process, unchanged.
  virtual std::string CommandLine() = 0;

  // True for a lead byte of a double-byte character in the ANSI code page.
  virtual bool IsLeadByte(char c) = 0;

  // One key of one section of an INI file, the empty text when the file,
  // section or key is missing; at most bufferSize - 1 characters arrive.
  virtual std::string ReadIniString(const std::string& file, const std::string& section,
                                    const std::string& key, size_t bufferSize) = 0;

  // The raw data of one registry value, of any type. Fails when the key
  // cannot be opened for querying, the value is missing, or its data is
  // longer than maxBytes.
  virtual bool ReadRegistryValue(RegistryRoot root, const std::string& keyPath,
                                 const std::string& valueName, size_t maxBytes,
                                 std::string* data) = 0;

  // Starts a program or opens a document through the shell's "open" action
  // in the normal window state, without waiting. True when the shell reports
  // success.
  virtual bool ShellOpen(const std::string& file, const std::string& parameters) = 0;

  // Fails when the directory cannot be read or needs more than bufferSize
  // bytes with its terminating zero.
  virtual bool GetCurrentDir(size_t bufferSize, std::string* dir) = 0;
  virtual bool SetCurrentDir(const std::string& dir) = 0;

  virtual LocalTime Now() = 0;

  // The result is not reported: a missing file is as good as a deleted one.
  virtual void RemoveFile(const std::string& name) = 0;

  // True when name is an existing directory.
  virtual bool IsDirectory(const std::string& name) = 0;

  // True when the file can be opened for reading as text, with no sharing
  // restriction; it is closed again at once.
  virtual bool CanOpenForReading(const std::string& name) = 0;

  // Appends text in text mode (a line feed becomes CR LF), with no sharing
  // restriction, creating the file when absent. False when it cannot be
  // opened.
  virtual bool AppendText(const std::string& name, const std::string& text) = 0;
};
