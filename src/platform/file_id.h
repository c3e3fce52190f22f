// A file's identity as Windows gives it, whatever path leads to the file.
#pragma once

#include <functional>

struct FileId {
  unsigned long volume = 0;  // the volume's serial number
  unsigned long indexHigh = 0;
  unsigned long indexLow = 0;
};

// True when two files are one: by their identities when both are known,
// else by sameFullPath. Index 0 identifies nothing: some network and
// virtual file systems give it to every file, and a file that cannot be
// opened has no identity at all.
bool IsOneFile(const FileId& a, const FileId& b, const std::function<bool()>& sameFullPath);
