// Command-line analysis on arbitrary command-line bytes.
// Input: one byte whose low two bits give a count n of lead bytes for the
// double-byte code page, those n bytes, then the command line itself (at
// most 32,767 bytes; zero and high bytes included).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/launcher_app.h"
#include "fuzz_check.h"
#include "log/trace_log.h"
#include "virtual_platform.h"

namespace {

using fuzz::BeforeZero;
using fuzz::EndsWith;
using fuzz::HasAtIgnoringCase;
using fuzz::IsSeparator;
using fuzz::StartsWith;

constexpr size_t kMaxCommandLine = 32767;
const char kDefaultLog[] = "c:\\install.log";

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// A "-log" at pos that counts as the switch: directly
// after a space or a tab.
bool IsSwitchAt(const std::string& s, size_t pos) {
  return pos >= 1 && IsSpaceOrTab(s[pos - 1]) && HasAtIgnoringCase(s, pos, "-log");
}

// The bytes a log file gains for one message: "(timestamp) ", the message up
// to its first zero with line feeds written as CR LF, then CR LF.
size_t EntrySize(const std::string& stamp, const std::string& message) {
  const std::string text = BeforeZero(message);
  size_t size = stamp.size() + 3 + text.size() + 2;
  for (char c : text) {
    size += c == '\n' ? 1 : 0;
  }
  return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const size_t leadCount = data[0] & 3u;
  if (size < 1 + leadCount) {
    return 0;
  }
  VirtualPlatform platform;
  for (size_t k = 1; k <= leadCount; ++k) {
    platform.leadBytes.insert(static_cast<char>(data[k]));
  }
  const bool singleByte = platform.leadBytes.empty();
  const std::string s(reinterpret_cast<const char*>(data + 1 + leadCount),
                      std::min(size - 1 - leadCount, kMaxCommandLine));
  platform.commandLine = s;
  platform.files[kDefaultLog] = "old run";
  platform.files["D:\\keep.txt"] = "precious";
  const std::map<std::string, std::string> filesBefore = platform.files;

  TraceLog log(platform);
  CLauncherApp app(platform, log);
  const bool found = app.ParseCommandLine();

  const std::string searched = BeforeZero(s);  // the searches stop at a zero
  const size_t firstExe = fuzz::FindIgnoringCase(searched, ".exe");

  // ".exe" decides; with a double-byte code page a match can be skipped as
  // the second byte of a character, so only one direction holds there.
  FUZZ_CHECK(!found || firstExe != std::string::npos);
  FUZZ_CHECK(!singleByte || found == (firstExe != std::string::npos));
  if (!found) {
    FUZZ_CHECK(app.m_szCurrentPath.empty() && app.m_szCurrentExeName.empty());
    FUZZ_CHECK(app.m_szAppAlias.empty() && app.m_szPassedAlias.empty());
    FUZZ_CHECK(app.m_szLogFilename.empty() && !app.m_bLogRequested);
    FUZZ_CHECK(platform.removed.empty() && platform.files == filesBefore);
    return 0;
  }

  // Directory, file name and base name: the command line starts with the
  // directory (after an opening quote, which is dropped), a separator and
  // the file name, which is the base name and ".exe".
  const std::string& path = app.m_szCurrentPath;
  const std::string& exeName = app.m_szCurrentExeName;
  const std::string& alias = app.m_szAppAlias;
  const std::string quote = !s.empty() && s[0] == '"' ? "\"" : "";
  size_t exePos = std::string::npos;  // where the ".exe" that was used starts
  if (exeName.empty()) {
    FUZZ_CHECK(path.empty() && alias.empty());
    // Started by bare name: no separator from index 1 up to the ".exe".
    if (singleByte) {
      for (size_t j = 1; j < firstExe; ++j) {
        FUZZ_CHECK(!IsSeparator(s[j]));
      }
      exePos = firstExe;
    }
  } else {
    FUZZ_CHECK(StartsWith(s, quote + path));
    const size_t separator = quote.size() + path.size();
    FUZZ_CHECK(separator >= 1 && separator < s.size() && IsSeparator(s[separator]));
    FUZZ_CHECK(s.compare(separator + 1, exeName.size(), exeName) == 0);
    FUZZ_CHECK(exeName.size() == alias.size() + 4 && StartsWith(exeName, alias));
    FUZZ_CHECK(HasAtIgnoringCase(exeName, alias.size(), ".exe"));
    for (char c : alias) {
      FUZZ_CHECK(!IsSeparator(c));  // the last separator before ".exe"
    }
    exePos = separator + 1 + alias.size();
    FUZZ_CHECK(exePos + 4 <= searched.size());
    // The first ".exe" in the command line is the one that ends the name.
    FUZZ_CHECK(!singleByte || exePos == firstExe);
  }
  const size_t afterExe = exePos == std::string::npos ? 0 : exePos + 4;

  // The passed alias: cut from the command line after the ".exe", with no
  // space or quote at either end.
  const std::string& passed = app.m_szPassedAlias;
  if (!passed.empty()) {
    FUZZ_CHECK(s.find(passed, afterExe) != std::string::npos);
    FUZZ_CHECK(passed.front() != ' ' && passed.front() != '"');
    FUZZ_CHECK(passed.back() != ' ' && passed.back() != '"');
  }

  // The log switch: "-log" after the ".exe", directly after a space or tab,
  // before the first zero; the log name is the whole rest of the command
  // line less one leading space. Single-byte: it is the first such "-log".
  const std::string& logName = app.m_szLogFilename;
  if (!app.m_bLogRequested) {
    FUZZ_CHECK(logName.empty());
    FUZZ_CHECK(platform.removed.empty() && platform.files == filesBefore);
    if (singleByte) {
      for (size_t p = afterExe; p < searched.size(); ++p) {
        FUZZ_CHECK(!IsSwitchAt(searched, p));
      }
    }
    return 0;
  }
  const bool spaceDropped = s.size() >= logName.size() + 5 &&
                            s[s.size() - logName.size() - 1] == ' ' && EndsWith(s, logName) &&
                            HasAtIgnoringCase(s, s.size() - logName.size() - 5, "-log");
  const bool kept = s.size() >= logName.size() + 4 && EndsWith(s, logName) &&
                    HasAtIgnoringCase(s, s.size() - logName.size() - 4, "-log") &&
                    (logName.empty() || logName[0] != ' ');
  FUZZ_CHECK(spaceDropped != kept);
  const size_t logSwitch = s.size() - logName.size() - (spaceDropped ? 5 : 4);
  FUZZ_CHECK(IsSwitchAt(s, logSwitch) && logSwitch + 4 <= searched.size());
  if (exePos != std::string::npos) {
    FUZZ_CHECK(logSwitch >= afterExe + 1);
    FUZZ_CHECK(passed.empty() || s.find(passed, afterExe) + passed.size() <= logSwitch);
  }
  if (singleByte) {
    for (size_t p = afterExe; p < logSwitch; ++p) {
      FUZZ_CHECK(!IsSwitchAt(searched, p));
    }
  }

  // Only the log's own name is deleted, and it holds one entry per message.
  const std::string named = logName.empty() && !spaceDropped ? kDefaultLog : logName;
  for (const auto& file : filesBefore) {
    if (file.first != named) {
      FUZZ_CHECK(platform.files.count(file.first) == 1 &&
                 platform.files.at(file.first) == file.second);
    }
  }
  if (named.empty()) {
    FUZZ_CHECK(platform.removed.empty() && platform.files == filesBefore);
    return 0;
  }
  FUZZ_CHECK(platform.removed == std::vector<std::string>{named});
  const std::string stamp = FormatTimestamp(platform.clock);
  const std::string messages[] = {" Log File Started",
                                  "Command Line Parameters passed to the launch are:",
                                  s,
                                  "m_szCurrentPath=",
                                  path,
                                  "m_szCurrentExeName=",
                                  exeName,
                                  "m_szAppAlias=",
                                  alias,
                                  "m_szPassedAlias=",
                                  passed};
  size_t expected = 0;
  for (const std::string& message : messages) {
    expected += EntrySize(stamp, message);
  }
  const std::string& written = platform.files[named];
  FUZZ_CHECK(written.size() == expected);
  FUZZ_CHECK(StartsWith(written, "(" + stamp + ")  Log File Started\r\n"));
  return 0;
}
