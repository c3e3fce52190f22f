#include "platform/file_id.h"

namespace {

bool IsKnown(const FileId& id) { return id.indexHigh != 0 || id.indexLow != 0; }

}  // namespace

bool IsOneFile(const FileProbe& a, const FileProbe& b, const std::function<bool()>& sameFullPath) {
  if (a.size && b.size && *a.size != *b.size) {
    return false;
  }
  const FileId first = a.identity();
  const FileId second = b.identity();
  if (!IsKnown(first) || !IsKnown(second)) {
    return sameFullPath();
  }
  return first.volume == second.volume && first.indexHigh == second.indexHigh &&
         first.indexLow == second.indexLow;
}
