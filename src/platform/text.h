// Small text helpers with the launcher's clamping rules: negative starts
// count as 0, negative lengths give the empty text, lengths stop at the end,
// and searches end at the first zero byte, as the C string functions that
// configuration authors' values pass through would.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace text {

// True for a lead byte of a double-byte character in the ANSI code page.
// Searches step over a lead byte and the byte after it together, since that
// second byte can be a backslash (0x5C) in code pages such as 932.
using LeadByteTest = std::function<bool(char)>;

// The part of s that searches look at: everything before its first zero.
std::string_view Searchable(const std::string& s);

// Index of the first occurrence of needle at or after from, or -1.
int Find(const std::string& s, std::string_view needle, int from = 0);

// Index of the first occurrence of needle, at a character start, for which
// accept(index) holds (without accept: the first), or -1.
int FindAtCharStart(const std::string& s, std::string_view needle, const LeadByteTest& isLeadByte,
                    const std::function<bool(int)>& accept = nullptr);

// Index of the last character, at a character start, that is one of chars,
// or -1.
int FindLastOf(const std::string& s, std::string_view chars, const LeadByteTest& isLeadByte);

// The last backslash or forward slash, at a character start, or -1.
int FindLastSeparator(const std::string& s, const LeadByteTest& isLeadByte);

// Index of the start of the character that ends just before pos, both
// bytes of a double-byte one included; -1 when pos is 0.
int CharStartBefore(const std::string& s, int pos, const LeadByteTest& isLeadByte);

// The folder of a path: the text before its last separator; empty for a
// name without one.
std::string Folder(const std::string& path, const LeadByteTest& isLeadByte);

std::string Left(const std::string& s, int count);
std::string Mid(const std::string& s, int start);
std::string Mid(const std::string& s, int start, int count);

// A drive letter and its colon alone, such as D:, which names the current
// folder of that drive, not its root.
bool IsDriveAlone(const std::string& s);

// A program named without a folder or a drive, such as notepad.exe, which
// the shell looks for along its own search path.
bool IsBareName(const std::string& s, const LeadByteTest& isLeadByte);

// True when the file name at the end of path has a type, such as .exe.
bool HasType(const std::string& path, const LeadByteTest& isLeadByte);

// A URL or another name the shell resolves by its scheme, such as
// http://host/x or mailto:x: two characters or more (a letter, then letters,
// digits, +, - or .) before the first colon, where a drive letter has one.
bool HasUrlScheme(const std::string& s);

// The path that a file: URL names, as the shell takes it: file:///D:/x and
// file://localhost/D|/x name D:\x, file://server/share/x names
// \\server\share\x, and %XX is the byte XX. Empty for any other text.
std::string FileUrlPath(const std::string& url);

// The text inside one pair of double quotes around the whole of s, else s.
std::string Unquoted(const std::string& s);

// True when s ends with end (given in lower case), in any letter case of
// the ASCII letters, as file types are compared.
bool EndsWith(const std::string& s, std::string_view end);

// Lower-cases the ASCII letters only, so every byte keeps its position.
std::string AsciiLower(std::string s);

bool IsSeparator(char c);

bool IsAsciiLetter(char c);

bool IsAsciiAlphanumeric(char c);

}  // namespace text
