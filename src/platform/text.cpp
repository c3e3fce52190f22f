#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace text {

namespace {

// Calls visit(index) for every character start before the first zero, in
// order; stops early when visit returns true.
template <typename Visit>
void ForEachCharStart(const std::string& s, const LeadByteTest& isLeadByte, Visit visit) {
  const std::string_view searched = Searchable(s);
  for (size_t pos = 0; pos < searched.size(); pos += isLeadByte(searched[pos]) ? 2u : 1u) {
    if (visit(static_cast<int>(pos))) {
      return;
    }
  }
}

}  // namespace

std::string_view Searchable(const std::string& s) {
  return std::string_view(s.data(), std::strlen(s.c_str()));
}

int Find(const std::string& s, std::string_view needle, int from) {
  const size_t pos = Searchable(s).find(needle, static_cast<size_t>(std::max(from, 0)));
  return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

int FindAtCharStart(const std::string& s, std::string_view needle, const LeadByteTest& isLeadByte,
                    const std::function<bool(int)>& accept) {
  const std::string_view searched = Searchable(s);
  int found = -1;
  ForEachCharStart(s, isLeadByte, [&](int pos) {
    if (searched.compare(static_cast<size_t>(pos), needle.size(), needle) == 0 &&
        (!accept || accept(pos))) {
      found = pos;
    }
    return found >= 0;
  });
  return found;
}

int FindLastOf(const std::string& s, std::string_view chars, const LeadByteTest& isLeadByte) {
  int last = -1;
  ForEachCharStart(s, isLeadByte, [&](int pos) {
    if (chars.find(s[static_cast<size_t>(pos)]) != std::string_view::npos) {
      last = pos;
    }
    return false;
  });
  return last;
}

int FindLastSeparator(const std::string& s, const LeadByteTest& isLeadByte) {
  return FindLastOf(s, "\\/", isLeadByte);
}

int CharStartBefore(const std::string& s, int pos, const LeadByteTest& isLeadByte) {
  int before = -1;
  ForEachCharStart(s, isLeadByte, [&](int start) {
    before = start < pos ? start : before;
    return false;
  });
  return before;
}

std::string Folder(const std::string& path, const LeadByteTest& isLeadByte) {
  return Left(path, FindLastSeparator(path, isLeadByte));
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

bool IsDriveAlone(const std::string& s) { return s.size() == 2 && s[1] == ':'; }

bool IsBareName(const std::string& s, const LeadByteTest& isLeadByte) {
  return FindLastSeparator(s, isLeadByte) < 0 && Mid(s, 1, 1) != ":";
}

bool HasType(const std::string& path, const LeadByteTest& isLeadByte) {
  return Mid(path, FindLastSeparator(path, isLeadByte) + 1).find('.') != std::string::npos;
}

bool HasUrlScheme(const std::string& s) {
  const size_t colon = s.find(':');
  if (colon == std::string::npos || colon < 2 || !IsAsciiLetter(s[0])) {
    return false;
  }
  return std::all_of(s.begin() + 1, s.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
    return IsAsciiAlphanumeric(c) || c == '+' || c == '-' || c == '.';
  });
}

std::string FileUrlPath(const std::string& url) {
  if (AsciiLower(Left(url, 5)) != "file:") {
    return std::string();
  }
  std::string path = Mid(url, 5);
  if (path.compare(0, 2, "//") == 0) {
    const size_t end = std::min(path.find_first_of("/\\", 2), path.size());
    const std::string host = path.substr(2, end - 2);
    path = (host.empty() || AsciiLower(host) == "localhost" ? "" : "//" + host) + path.substr(end);
  }
  // /D:/x and /D|/x: a drive after the slash that ends the host.
  if (path.size() >= 3 && IsSeparator(path[0]) && IsAsciiLetter(path[1]) &&
      (path[2] == ':' || path[2] == '|')) {
    path.erase(0, 1);
  }
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == '|') {
    path[1] = ':';
  }
  std::string decoded;
  for (size_t at = 0; at < path.size(); ++at) {
    // The text's terminating zero, which is no digit, ends a cut-off %X.
    const bool escaped = path[at] == '%' &&
                         std::isxdigit(static_cast<unsigned char>(path[at + 1])) &&
                         std::isxdigit(static_cast<unsigned char>(path[at + 2]));
    decoded += escaped           ? static_cast<char>(std::stoi(path.substr(at + 1, 2), nullptr, 16))
               : path[at] == '/' ? '\\'
                                 : path[at];
    at += escaped ? 2 : 0;
  }
  return decoded;
}

std::string Unquoted(const std::string& s) {
  const bool quoted = s.size() >= 2 && s.front() == '"' && s.back() == '"';
  return quoted ? s.substr(1, s.size() - 2) : s;
}

bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && AsciiLower(s.substr(s.size() - end.size())) == end;
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

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsAsciiAlphanumeric(char c) { return IsAsciiLetter(c) || (c >= '0' && c <= '9'); }

}  // namespace text
