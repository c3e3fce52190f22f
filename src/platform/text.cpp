#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace text {

std::string_view Searchable(const std::string& s) {
  return std::string_view(s.data(), std::strlen(s.c_str()));
}

int Find(const std::string& s, std::string_view needle, int from) {
  const size_t pos = Searchable(s).find(needle, static_cast<size_t>(std::max(from, 0)));
  return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

int FindLast(const std::string& s, char c) {
  const size_t pos = Searchable(s).rfind(c);
  return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

std::string Left(const std::string& s, int count) { return Mid(s, 0, count); }

std::string Mid(const std::string& s, int start) {
  return Mid(s, start, static_cast<int>(s.size()));
}

std::string Mid(const std::string& s, int start, int count) {
  const size_t first = static_cast<size_t>(std::max(start, 0));
  if (count <= 0 || first >= s.size()) {
    return std::string();
  }
  return s.substr(first, static_cast<size_t>(count));
}

std::string AsciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return s;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace text
