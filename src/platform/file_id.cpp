#include "platform/file_id.h"

namespace {

bool IsKnown(const FileId& id) { return id.indexHigh != 0 || id.indexLow != 0; }

}  // namespace

bool IsOneFile(const FileId& a, const FileId& b, const std::function<bool()>& sameFullPath) {
  if (!IsKnown(a) || !IsKnown(b)) {
    return sameFullPath();
  }
  return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}
