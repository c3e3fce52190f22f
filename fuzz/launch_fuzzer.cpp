// The whole launcher over the in-memory platform: the command-line analysis,
// the trace log and the launch sequence, with fuzzed text everywhere. Input:
// fields separated by the byte 0x01: flags and lead bytes (bit 0 of the
// first byte: the first start succeeds, bit 1: the second does, bit 2: the
// registry values are REG_EXPAND_SZ; the other bytes are lead bytes), the
// command line, the ten settings in the order the launcher reads them, then
// the registry values in the order it asks.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/launcher_app.h"
#include "config/launch_settings.h"
#include "virtual_platform.h"

// A violated property aborts, so libFuzzer keeps the input and shows the line.
#define FUZZ_CHECK(condition) \
  if (!(condition)) std::abort()

namespace {

struct FuzzedPlatform : VirtualPlatform {
  Texts fields;
  size_t registryReads = 0;
  std::string Field(size_t index) const { return index < fields.size() ? fields[index] : ""; }
  // Every configuration candidate exists and holds the fuzzed settings.
  bool CanOpenForReading(const std::string& name) override {
    return name.size() >= 4 && name.compare(name.size() - 4, 4, ".ini") == 0;
  }
  std::string ReadIniString(const std::string&, const std::string&, const std::string& key,
                            size_t bufferSize) override {
    const auto at = std::find_if(std::begin(kSettingKeys), std::end(kSettingKeys),
                                 [&key](const SettingKey& known) { return key == known.name; });
    return Field(2 + static_cast<size_t>(at - std::begin(kSettingKeys))).substr(0, bufferSize - 1);
  }
  bool ReadRegistryValue(RegistryRoot, RegistryView, const std::string&, const std::string&,
                         size_t maxBytes, RegistryValue* value) override {
    value->data = Field(12 + registryReads++);
    value->expandable = (static_cast<unsigned char>(Field(0)[0]) & 4u) != 0;
    return !value->data.empty() && value->data.size() <= maxBytes;
  }
  bool ShellOpen(const std::string& file, const std::string& parameters) override {
    VirtualPlatform::ShellOpen(file, parameters);
    return (static_cast<unsigned char>(Field(0)[0]) >> (starts.size() - 1) & 1u) != 0;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedPlatform platform;
  platform.fields = Split(std::string(reinterpret_cast<const char*>(data), size) + '\x01', '\x01');
  const std::string flags = platform.Field(0).empty() ? std::string(1, '\0') : platform.Field(0);
  platform.leadBytes.insert(flags.begin() + 1, flags.end());
  platform.commandLine = platform.Field(1);
  platform.environment = {{"P", "C:\\Program Files"}};
  // No command line can name the second file: it holds the field separator.
  platform.files = {{"c:\\install.log", "old"}, {"D:\\keep\x01", "kept"}};
  TraceLog log(platform);
  CLauncherApp app(platform, log);
  FUZZ_CHECK(app.Run() == 0);

  // The directory, a separator and the file name begin the command line.
  const std::string& s = platform.commandLine;
  const std::string& exe = app.m_szCurrentExeName;
  const size_t separator = (s[0] == '"' ? 1 : 0) + app.m_szCurrentPath.size();
  FUZZ_CHECK(exe.empty() || s.compare(separator - app.m_szCurrentPath.size(),
                                      app.m_szCurrentPath.size(), app.m_szCurrentPath) == 0);
  FUZZ_CHECK(exe.empty() ||
             (text::IsSeparator(s[separator]) && s.compare(separator + 1, exe.size(), exe) == 0 &&
              text::AsciiLower(exe) == text::AsciiLower(app.m_szAppAlias + ".exe")));
  // At most one start succeeds, and it ends the run; none is the launcher
  // itself; each runs from its own folder or from here, which is restored.
  FUZZ_CHECK(platform.starts.size() <= 2 && platform.currentDir == "C:\\Work");
  FUZZ_CHECK(platform.starts.size() < 2 || (flags[0] & 1) == 0);
  // The double leaves a path as written; Windows would turn / into \.
  const auto slashed = [](std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  };
  for (const ShellStart& start : platform.starts) {
    FUZZ_CHECK(!start.file.empty() && !platform.IsSameFile(start.file, platform.self) &&
               !platform.IsSameFile(text::FileUrlPath(start.file), platform.self));
    FUZZ_CHECK(start.dir.size() != 2 || start.dir[1] != ':');  // D: is not D:'s root
    FUZZ_CHECK(start.dir == "C:\\Work" || slashed(start.file).rfind(slashed(start.dir), 0) == 0);
  }
  // No file that is not a trace is ever replaced (c:\install.log is another
  // program's); a new log begins with its first entry.
  FUZZ_CHECK(platform.files["D:\\keep\x01"] == "kept" &&
             platform.files["c:\\install.log"] == "old");
  for (const auto& [name, content] : platform.files) {
    FUZZ_CHECK(name == "D:\\keep\x01" || name == "c:\\install.log" ||
               content.rfind("(3/9/2004, 2:05:09:007PM)  Log File Started\r\n", 0) == 0);
  }
  return 0;
}
