// Small text helpers with the launcher's clamping rules: negative starts
// count as 0, negative lengths give the empty text, lengths stop at the end,
// and searches end at the first zero byte, as the C string functions that
// configuration authors' values pass through would.
#pragma once

#include <string>
#include <string_view>

namespace text {

// The part of s that searches look at: everything before its first zero.
std::string_view Searchable(const std::string& s);

// Index of the first occurrence of needle at or after from, or -1.
int Find(const std::string& s, std::string_view needle, int from = 0);

// Index of the first occurrence of needle for which accept(index) holds,
// or -1. In a double-byte code page it matches only where a character
// starts: a lead byte and the byte after it are stepped over together.
template <typename IsLeadByte, typename Accept>
int FindAtCharStartIf(const std::string& s, std::string_view needle, IsLeadByte isLeadByte,
                      Accept accept) {
  std::string_view hay = Searchable(s);
  const auto size = static_cast<int>(hay.size());
  const auto length = static_cast<int>(needle.size());
  for (int pos = 0; pos + length <= size;
       pos += isLeadByte(hay[static_cast<size_t>(pos)]) ? 2 : 1) {
    if (hay.compare(static_cast<size_t>(pos), needle.size(), needle) == 0 && accept(pos)) {
      return pos;
    }
  }
  return -1;
}

// As Find, but matching only at character starts.
template <typename IsLeadByte>
int FindAtCharStart(const std::string& s, std::string_view needle, int from,
                    IsLeadByte isLeadByte) {
  return FindAtCharStartIf(s, needle, isLeadByte, [from](int pos) { return pos >= from; });
}

// Index of the last occurrence of c, or -1.
int FindLast(const std::string& s, char c);

std::string Left(const std::string& s, int count);
std::string Mid(const std::string& s, int start);
std::string Mid(const std::string& s, int start, int count);

// Lower-cases the ASCII letters only, so every byte keeps its position.
std::string AsciiLower(std::string s);

bool IsSeparator(char c);

}  // namespace text
