#include "launch/target_rules.h"

#include "platform/text.h"

namespace {

// Replaces the first occurrence of what, at a character start, and the
// whole character before it, by replacement. False when what does not occur.
bool ReplaceWithCharBefore(std::string& s, const std::string& what, const std::string& replacement,
                           const text::LeadByteTest& isLeadByte) {
  const Occurrence found = FindWithCharBefore(s, what, isLeadByte);
  if (found.at < 0) {
    return false;
  }
  s = text::Left(s, found.charBefore) + replacement +
      text::Mid(s, found.at + static_cast<int>(what.size()));
  return true;
}

bool StartsWithSeparator(const std::string& s) { return !s.empty() && text::IsSeparator(s[0]); }

// \\server\share of a directory on a network share: up to the second
// separator after the leading two.
std::string ShareRoot(const std::string& dir, const text::LeadByteTest& isLeadByte) {
  int separators = 0;
  const int end = text::FindAtCharStart(dir, "", isLeadByte, [&](int pos) {
    return pos >= 2 && text::IsSeparator(dir[static_cast<size_t>(pos)]) && ++separators == 2;
  });
  return end < 0 ? dir : text::Left(dir, end);
}

}  // namespace

const char kDirectoryMarker[] = "PATH:";

Occurrence FindWithCharBefore(const std::string& s, const std::string& what,
                              const text::LeadByteTest& isLeadByte) {
  Occurrence found;
  found.at = text::FindAtCharStart(s, what, isLeadByte);
  found.charBefore = found.at <= 0 ? found.at : text::CharStartBefore(s, found.at, isLeadByte);
  return found;
}

bool ReplaceDirectoryMarker(std::string& parameters, const std::string& launcherDir,
                            const text::LeadByteTest& isLeadByte) {
  return ReplaceWithCharBefore(parameters, kDirectoryMarker, launcherDir, isLeadByte);
}

std::string LocateInstaller(const std::string& installer, const std::string& launcherDir,
                            const text::LeadByteTest& isLeadByte) {
  // A URL (https://host/get-setup) names no file on the medium.
  if (text::HasUrlScheme(installer)) {
    return installer;
  }
  if (installer.size() >= 2 && installer[1] == ':') {
    if (launcherDir.empty()) {
      return std::string();  // no drive letter to copy
    }
    // A launcher on a network share has no drive letter: its share takes the
    // place of the configured drive.
    if (launcherDir.size() >= 2 && text::IsSeparator(launcherDir[0]) &&
        text::IsSeparator(launcherDir[1])) {
      const std::string rest = text::Mid(installer, 2);
      return ShareRoot(launcherDir, isLeadByte) + (StartsWithSeparator(rest) ? "" : "\\") + rest;
    }
    std::string moved = installer;
    moved[0] = launcherDir[0];
    return moved;
  }
  return launcherDir + (StartsWithSeparator(installer) ? "" : "\\") + installer;
}

std::string CutText(std::string fullPath, const std::string& cut,
                    const text::LeadByteTest& isLeadByte) {
  if (!cut.empty()) {
    ReplaceWithCharBefore(fullPath, cut, std::string(), isLeadByte);
  }
  return fullPath;
}

std::string JoinPath(const std::string& quotedDir, const std::string& file,
                     const text::LeadByteTest& isLeadByte) {
  const std::string dir = text::Unquoted(quotedDir);
  const bool dirEnds =
      !dir.empty() && text::FindLastSeparator(dir, isLeadByte) == static_cast<int>(dir.size()) - 1;
  const bool fileStarts = StartsWithSeparator(file);
  if (dirEnds && fileStarts) {
    return dir + text::Mid(file, 1);
  }
  return dir + (dirEnds || fileStarts ? "" : "\\") + file;
}
