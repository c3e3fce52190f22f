// The operating-system operations the launcher's logic needs. The logic
// takes this interface, so it runs unchanged against the real Win32 API and
// against the in-memory double of the unit tests.
#pragma once

#include <cstddef>
#include <string>

#include "platform/text.h"

// The longest path Windows allows, in characters with the terminating zero:
// buffers of this size keep a long path whole, where MAX_PATH would cut it.
constexpr unsigned long kLongPath = 32768;

enum class RegistryRoot { LocalMachine, ClassesRoot, CurrentUser, Users };

// Which of the two registry views of 64-bit Windows a read uses: the
// build's own (the 32-bit view for x86, the 64-bit view for x64), or the
// one named. 32-bit Windows has one view only and ignores the choice.
enum class RegistryView { Own, Bits32, Bits64 };

// The raw data of one registry value, and whether its type is REG_EXPAND_SZ:
// text whose %variables% are to be expanded before it is used.
struct RegistryValue {
  std::string data;
  bool expandable = false;
};

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
  // The same test in the form the text helpers take.
  text::LeadByteTest LeadBytes() {
    return [this](char c) { return IsLeadByte(c); };
  }

  // One key of one section of an INI file, the empty text when the file,
  // section or key is missing; at most bufferSize - 1 characters arrive.
  virtual std::string ReadIniString(const std::string& file, const std::string& section,
                                    const std::string& key, size_t bufferSize) = 0;

  // One registry value, of any type. Fails when the key cannot be opened for
  // querying, the value is missing, or its data is longer than maxBytes.
  virtual bool ReadRegistryValue(RegistryRoot root, RegistryView view, const std::string& keyPath,
                                 const std::string& valueName, size_t maxBytes,
                                 RegistryValue* value) = 0;

  // The view that RegistryView::Own reads: Bits32 for the x86 build, Bits64
  // for the x64 build.
  virtual RegistryView OwnView() = 0;

  // The text with each %variable% of the environment replaced by its value;
  // unknown ones stay as written.
  virtual std::string ExpandEnvironment(const std::string& text) = 0;

  // Starts a program or opens a document through the shell's "open" action
  // in the normal window state, without waiting. True when the shell reports
  // success.
  virtual bool ShellOpen(const std::string& file, const std::string& parameters) = 0;

  // Fails when the directory cannot be read or needs more than bufferSize
  // bytes with its terminating zero.
  virtual bool GetCurrentDir(size_t bufferSize, std::string* dir) = 0;
  // A failure is not reported: the start goes on from where it is.
  virtual void SetCurrentDir(const std::string& dir) = 0;

  virtual LocalTime Now() = 0;

  // The result is not reported: a missing file is as good as a deleted one.
  virtual void RemoveFile(const std::string& name) = 0;

  // True when name is an existing file or directory.
  virtual bool Exists(const std::string& name) = 0;

  // True when name is an existing directory.
  virtual bool IsDirectory(const std::string& name) = 0;

  // The full path of a relative one, taken from the current directory; the
  // name unchanged when it cannot be made full.
  virtual std::string FullPath(const std::string& name) = 0;

  // The path of the running executable.
  virtual std::string ExecutablePath() = 0;

  // True when both names lead to one file, however each is spelled: the
  // same volume and file index, or, when either has none (it cannot be
  // opened, or its file system numbers no file), the same full path in any
  // letter case.
  virtual bool IsSameFile(const std::string& a, const std::string& b) = 0;

  // True when the file can be opened for reading as text, with no sharing
  // restriction; it is closed again at once.
  virtual bool CanOpenForReading(const std::string& name) = 0;

  // Up to count bytes from the start of a file. False when it cannot be
  // opened for reading.
  virtual bool ReadFileStart(const std::string& name, size_t count, std::string* start) = 0;

  // Appends text in text mode (a line feed becomes CR LF), with no sharing
  // restriction, creating the file when absent. When it cannot be opened the
  // text is lost, unreported.
  virtual void AppendText(const std::string& name, const std::string& text) = 0;
};
