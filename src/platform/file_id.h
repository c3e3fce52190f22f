// A file's identity as Windows gives it, whatever path leads to the file.
#pragma once

#include <functional>
#include <optional>

struct FileId {
  unsigned long volume = 0;  // the volume's serial number
  unsigned long indexHigh = 0;
  unsigned long indexLow = 0;
};

// What is known of a file: its size, which comes without opening it, and
// its identity, which costs an open and so is read only when needed.
struct FileProbe {
  std::optional<unsigned long long> size;  // none when it cannot be read
  std::function<FileId()> identity;
};

// True when two files are one. Files of different sizes are two; else their
// identities decide when both are known, and else sameFullPath. Index 0
// identifies nothing: some network and virtual file systems give it to
// every file, and a file that cannot be opened has no identity at all.
bool IsOneFile(const FileProbe& a, const FileProbe& b, const std::function<bool()>& sameFullPath);
