// The four target rules on arbitrary texts. Input: two texts,
// split by FuzzedDataProvider; each rule gets them as (first, second).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "launch/target_rules.h"

namespace {

using fuzz::BeforeZero;
using fuzz::EndsWith;
using fuzz::IsSeparator;
using fuzz::StartsWith;

size_t Separators(const std::string& s) {
  return static_cast<size_t>(std::count_if(s.begin(), s.end(), IsSeparator));
}

void CheckJoinPath(const std::string& dir, const std::string& file) {
  const std::string joined = JoinPath(dir, file);
  const bool dirEnds = !dir.empty() && IsSeparator(dir.back());
  const bool fileStarts = !file.empty() && IsSeparator(file.front());
  // Each side less its one separator at the seam, and what stands between.
  const std::string head = dir.substr(0, dir.size() - (dirEnds ? 1 : 0));
  const std::string tail = file.substr(fileStarts ? 1 : 0);
  FUZZ_CHECK(joined.size() == head.size() + 1 + tail.size());
  FUZZ_CHECK(StartsWith(joined, head) && EndsWith(joined, tail));
  const char seam = joined[head.size()];
  FUZZ_CHECK(seam == (dirEnds ? dir.back() : fileStarts ? file.front() : '\\'));
  // One separator at the seam, whatever the sides brought: none is added or
  // lost elsewhere.
  FUZZ_CHECK(Separators(joined) + (dirEnds && fileStarts ? 1 : 0) ==
             Separators(dir) + Separators(file) + (dirEnds || fileStarts ? 0 : 1));
  // When each side brought at most one separator at the seam, the run of
  // separators there is exactly one long.
  const bool dirEndsTwice = dir.size() >= 2 && dirEnds && IsSeparator(dir[dir.size() - 2]);
  const bool fileStartsTwice = file.size() >= 2 && fileStarts && IsSeparator(file[1]);
  if (!dirEndsTwice && !fileStartsTwice) {
    size_t first = head.size();
    size_t last = head.size();
    while (first > 0 && IsSeparator(joined[first - 1])) {
      --first;
    }
    while (last + 1 < joined.size() && IsSeparator(joined[last + 1])) {
      ++last;
    }
    FUZZ_CHECK(first == last);
  }
}

void CheckCutText(const std::string& full, const std::string& cut) {
  const std::string result = CutText(full, cut);
  FUZZ_CHECK(result.size() <= full.size());
  const size_t at = full.empty() || cut.empty() ? std::string::npos : BeforeZero(full).find(cut);
  if (at == std::string::npos) {
    FUZZ_CHECK(result == full);
    return;
  }
  // The cut text and the one character before it are gone; the rest stays.
  const size_t before = at == 0 ? 0 : at - 1;
  FUZZ_CHECK(result.size() == full.size() - (at - before) - cut.size());
  FUZZ_CHECK(result.compare(0, before, full, 0, before) == 0);
  FUZZ_CHECK(EndsWith(result, full.substr(at + cut.size())));
}

void CheckDirectoryMarker(const std::string& parameters, const std::string& dir) {
  std::string result = parameters;
  const bool replaced = ReplaceDirectoryMarker(result, dir);
  const size_t at = BeforeZero(parameters).find("PATH:");
  FUZZ_CHECK(replaced == (at != std::string::npos));
  if (!replaced) {
    FUZZ_CHECK(result == parameters);
    return;
  }
  // The marker and the one character before it make way for the directory.
  const size_t before = at == 0 ? 0 : at - 1;
  FUZZ_CHECK(result.size() == parameters.size() - (at - before) - 5 + dir.size());
  FUZZ_CHECK(result.compare(0, before, parameters, 0, before) == 0);
  FUZZ_CHECK(result.compare(before, dir.size(), dir) == 0);
  FUZZ_CHECK(EndsWith(result, parameters.substr(at + 5)));
  // Nothing before the first marker held one.
  FUZZ_CHECK(result.substr(0, before).find("PATH:") == std::string::npos);
}

void CheckLocateInstaller(const std::string& installer, const std::string& dir) {
  const std::string located = LocateInstaller(installer, dir);
  // On the launcher's drive: the result starts as the launcher directory.
  if (!dir.empty()) {
    FUZZ_CHECK(!located.empty() && located[0] == dir[0]);
  }
  const bool drive = installer.size() >= 2 && installer[1] == ':';
  if (!drive) {
    // Relative: the directory, one backslash unless the path brings a
    // separator, then the whole path.
    const bool starts = !installer.empty() && IsSeparator(installer[0]);
    FUZZ_CHECK(StartsWith(located, dir) && EndsWith(located, installer));
    FUZZ_CHECK(located.size() == dir.size() + installer.size() + (starts ? 0 : 1));
    FUZZ_CHECK(starts || located[dir.size()] == '\\');
    return;
  }
  if (dir.empty()) {
    FUZZ_CHECK(located.empty());  // no drive letter to copy
    return;
  }
  // Only the drive changes: the tail after "X:" is kept.
  const std::string tail = installer.substr(2);
  FUZZ_CHECK(EndsWith(located, tail));
  const bool share = dir.size() >= 2 && IsSeparator(dir[0]) && IsSeparator(dir[1]);
  if (!share) {
    FUZZ_CHECK(located.size() == installer.size() && located.substr(1) == installer.substr(1));
    return;
  }
  // A launcher on a share: a leading part of its directory takes the drive's
  // place, with one separator before the tail.
  const std::string root = located.substr(0, located.size() - tail.size());
  const bool tailStarts = !tail.empty() && IsSeparator(tail[0]);
  const std::string shareRoot = tailStarts ? root : root.substr(0, root.size() - 1);
  FUZZ_CHECK(tailStarts || (!root.empty() && root.back() == '\\'));
  FUZZ_CHECK(shareRoot.size() >= 2 && StartsWith(dir, shareRoot));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::string first = provider.ConsumeRandomLengthString(4096);
  const std::string second = provider.ConsumeRemainingBytesAsString();
  CheckJoinPath(first, second);
  CheckCutText(first, second);
  CheckDirectoryMarker(first, second);
  CheckLocateInstaller(first, second);
  return 0;
}
