// Timestamp and log entry formatting. Input: the clock's seven
// fields (within their ranges or any int), then a sequence of operations on
// the log: write, enable, disable, name, write through qel_log, read the time
// through getCurrentDateAndTime.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "log/exports.h"
#include "log/trace_log.h"
#include "virtual_platform.h"

namespace {

using fuzz::BeforeZero;
using fuzz::EndsWith;

// Records every append, so that each write can be checked on its own.
class RecordingPlatform : public VirtualPlatform {
 public:
  bool AppendText(const std::string& name, const std::string& text) override {
    appends.emplace_back(name, text);
    return VirtualPlatform::AppendText(name, text);
  }
  std::vector<std::pair<std::string, std::string>> appends;
};

// A decimal number, with a minus sign when negative, at pos.
bool ReadNumber(const std::string& s, size_t& pos, long long& value, std::string& digits) {
  const size_t start = pos;
  if (pos < s.size() && s[pos] == '-') {
    ++pos;
  }
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && pos - start < 12) {
    ++pos;
  }
  digits = s.substr(start, pos - start);
  if (digits.empty() || digits == "-") {
    return false;
  }
  value = std::stoll(digits);
  return true;
}

bool Expect(const std::string& s, size_t& pos, const std::string& text) {
  if (s.compare(pos, text.size(), text) != 0) {
    return false;
  }
  pos += text.size();
  return true;
}

// month/day/year, hour:minute:second:millisecond then AM or PM.
void CheckTimestamp(const LocalTime& time, bool inRange) {
  const std::string stamp = FormatTimestamp(time);
  long long v[7] = {};
  std::string text[7];
  const char* const separators[7] = {"", "/", "/", ", ", ":", ":", ":"};
  size_t pos = 0;
  for (int k = 0; k < 7; ++k) {
    FUZZ_CHECK(Expect(stamp, pos, separators[k]) && ReadNumber(stamp, pos, v[k], text[k]));
  }
  const std::string marker = stamp.substr(pos);
  FUZZ_CHECK(marker == (time.hour >= 12 ? "PM" : "AM"));
  FUZZ_CHECK(v[0] == time.month && v[1] == time.day && v[2] == time.year);
  FUZZ_CHECK(v[4] == time.minute && v[5] == time.second && v[6] == time.milliseconds);
  // The hour itself up to 12, less 12 from 13 on.
  FUZZ_CHECK(v[3] == (time.hour >= 13 ? static_cast<long long>(time.hour) - 12 : time.hour));
  if (inRange) {
    // No leading zeros in month, day, year and hour; two digits for the
    // minute and second, three for the milliseconds; the 12-hour clock gives
    // the hour back.
    for (int k : {0, 1, 2, 3}) {
      FUZZ_CHECK(text[k] == std::to_string(v[k]));
    }
    FUZZ_CHECK(text[4].size() == 2 && text[5].size() == 2 && text[6].size() == 3);
    FUZZ_CHECK(v[3] >= 0 && v[3] <= 12);
    FUZZ_CHECK((marker == "PM" ? (v[3] == 12 ? 12 : v[3] + 12) : v[3]) == time.hour);
  }
}

int Field(FuzzedDataProvider& provider, bool inRange, int low, int high) {
  return inRange ? provider.ConsumeIntegralInRange(low, high) : provider.ConsumeIntegral<int>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const bool inRange = provider.ConsumeBool();
  LocalTime time;
  time.year = Field(provider, inRange, 1601, 30827);
  time.month = Field(provider, inRange, 1, 12);
  time.day = Field(provider, inRange, 1, 31);
  time.hour = Field(provider, inRange, 0, 23);
  time.minute = Field(provider, inRange, 0, 59);
  time.second = Field(provider, inRange, 0, 59);
  time.milliseconds = Field(provider, inRange, 0, 999);
  CheckTimestamp(time, inRange);

  RecordingPlatform platform;
  platform.clock = time;
  TraceLog log(platform);
  InstallProcessLog(&log);
  const std::string stamp = FormatTimestamp(time);
  bool enabled = false;
  std::string name;
  while (provider.remaining_bytes() > 0) {
    switch (provider.ConsumeIntegralInRange(0, 5)) {
      case 0:
      case 4: {  // one entry per call when on and named, the message as data
        const bool exported = provider.ConsumeBool();
        const std::string message = provider.ConsumeRandomLengthString(512);
        const size_t appendsBefore = platform.appends.size();
        if (exported) {
          qel_log(message.c_str());
        } else {
          log.Write(message);
        }
        if (!enabled || name.empty()) {
          FUZZ_CHECK(platform.appends.size() == appendsBefore);
          break;
        }
        FUZZ_CHECK(platform.appends.size() == appendsBefore + 1);
        const std::string text = BeforeZero(message);
        FUZZ_CHECK(platform.appends.back().first == name);
        FUZZ_CHECK(platform.appends.back().second == "(" + stamp + ") " + text + "\n");
        std::string line = "(" + stamp + ") ";
        for (char c : text) {
          line += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        FUZZ_CHECK(EndsWith(platform.files[name], line + "\r\n"));
        break;
      }
      case 1:
        provider.ConsumeBool() ? log.Enable() : enableLogFile();
        enabled = true;
        break;
      case 2:
        provider.ConsumeBool() ? log.Disable() : disableLogFile();
        enabled = false;
        break;
      case 3: {  // naming deletes only that file, and does not switch on
        name = provider.ConsumeRandomLengthString(16);
        platform.files["other"] = "kept";
        const size_t removedBefore = platform.removed.size();
        provider.ConsumeBool() ? log.SetFilename(name) : setLogFilename(name);
        FUZZ_CHECK(platform.removed.size() == removedBefore + (name.empty() ? 0 : 1));
        FUZZ_CHECK(name.empty() ||
                   (platform.removed.back() == name && !platform.files.count(name)));
        FUZZ_CHECK(name == "other" || platform.files["other"] == "kept");
        break;
      }
      case 5: {
        std::string now;
        getCurrentDateAndTime(now);
        FUZZ_CHECK(now == stamp);
        break;
      }
    }
  }
  InstallProcessLog(nullptr);
  return 0;
}
