// The rules that turn configured and registry values into the paths and
// parameters that are started. The launcher directory never ends in a
// separator; it is D: for the root of drive D.
#pragma once

#include <string>

#include "platform/text.h"

// The text in the installed program's parameters that stands for the
// launcher directory.
extern const char kDirectoryMarker[];

// Where the first occurrence of what stands, at a character start, and where
// the whole character in front of it starts, which the marker and the cut
// take with them: both -1 when what does not occur, both 0 when it stands
// at the start.
struct Occurrence {
  int at = -1;
  int charBefore = -1;
};
Occurrence FindWithCharBefore(const std::string& s, const std::string& what,
                              const text::LeadByteTest& isLeadByte);

// Replaces the first "PATH:" in the parameters, together with the one spare
// character in front of it (%PATH:), by the launcher directory. False, and
// the parameters unchanged, when there is no marker. The marker and the
// character are whole characters of the ANSI code page, double-byte ones
// included (a full-width ％ is two bytes).
bool ReplaceDirectoryMarker(std::string& parameters, const std::string& launcherDir,
                            const text::LeadByteTest& isLeadByte);

// Moves the installer onto the launcher's drive: a drive letter is replaced
// by the launcher's, a relative path is taken from the launcher directory.
// A URL stays as written.
std::string LocateInstaller(const std::string& installer, const std::string& launcherDir,
                            const text::LeadByteTest& isLeadByte);

// Removes the first occurrence of cut, with the one character in front of it
// (such as a separating space), from the full path; whole characters, as for
// the marker.
std::string CutText(std::string fullPath, const std::string& cut,
                    const text::LeadByteTest& isLeadByte);

// Directory and file name with exactly one separator at the seam when each
// side brings at most one. A directory in one pair of double quotes, as
// registry values often hold it, is the one inside them.
std::string JoinPath(const std::string& quotedDir, const std::string& file,
                     const text::LeadByteTest& isLeadByte);
