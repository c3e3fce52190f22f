#include "launch/target_rules.h"

#include "platform/text.h"

namespace {

// Replaces count characters at pos, and the character before them, by
// replacement.
std::string ReplaceWithCharBefore(const std::string& s, int pos, size_t count,
                                  const std::string& replacement) {
  return text::Left(s, pos - 1) + replacement + text::Mid(s, pos + static_cast<int>(count));
}

bool StartsWithSeparator(const std::string& s) { return !s.empty() && text::IsSeparator(s[0]); }

// \\server\share of a directory on a network share.
std::string ShareRoot(const std::string& dir) {
  int separators = 0;
  for (size_t i = 2; i < dir.size(); ++i) {
    if (text::IsSeparator(dir[i]) && ++separators == 2) {
      return dir.substr(0, i);
    }
  }
  return dir;
}

}  // namespace

bool ReplaceDirectoryMarker(std::string& parameters, const std::string& launcherDir) {
  static const std::string kMarker = "PATH:";
  const int pos = text::Find(parameters, kMarker);
  if (pos < 0) {
    return false;
  }
  parameters = ReplaceWithCharBefore(parameters, pos, kMarker.size(), launcherDir);
  return true;
}

std::string LocateInstaller(const std::string& installer, const std::string& launcherDir) {
  if (installer.size() >= 2 && installer[1] == ':') {
    if (launcherDir.empty()) {
      return std::string();  // no drive letter to copy
    }
    // A launcher on a network share has no drive letter: its share takes the
    // place of the configured drive.
    if (launcherDir.size() >= 2 && text::IsSeparator(launcherDir[0]) &&
        text::IsSeparator(launcherDir[1])) {
      const std::string rest = text::Mid(installer, 2);
      return ShareRoot(launcherDir) + (StartsWithSeparator(rest) ? "" : "\\") + rest;
    }
    std::string moved = installer;
    moved[0] = launcherDir[0];
    return moved;
  }
  return launcherDir + (StartsWithSeparator(installer) ? "" : "\\") + installer;
}

std::string CutText(const std::string& fullPath, const std::string& cut) {
  if (fullPath.empty() || cut.empty()) {
    return fullPath;
  }
  const int pos = text::Find(fullPath, cut);
  return pos < 0 ? fullPath : ReplaceWithCharBefore(fullPath, pos, cut.size(), std::string());
}

std::string JoinPath(const std::string& dir, const std::string& file) {
  const bool dirEnds = !dir.empty() && text::IsSeparator(dir.back());
  const bool fileStarts = StartsWithSeparator(file);
  if (dirEnds && fileStarts) {
    return dir + text::Mid(file, 1);
  }
  return dir + (dirEnds || fileStarts ? "" : "\\") + file;
}
