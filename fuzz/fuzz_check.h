// Property checks for the fuzz targets: a violated property aborts, so
// libFuzzer records the input as a finding just like a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "property violated: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

namespace fuzz {

inline bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

inline bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

inline bool Contains(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

// The part before the first zero byte: what the launcher's searches see.
inline std::string BeforeZero(const std::string& s) { return s.substr(0, s.find('\0')); }

inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when s holds word at pos, ASCII letters in any case.
inline bool HasAtIgnoringCase(const std::string& s, size_t pos, const std::string& word) {
  if (pos > s.size() || s.size() - pos < word.size()) {
    return false;
  }
  for (size_t k = 0; k < word.size(); ++k) {
    if (Lower(s[pos + k]) != Lower(word[k])) {
      return false;
    }
  }
  return true;
}

// First position at or after from where s holds word in any case, or npos.
inline size_t FindIgnoringCase(const std::string& s, const std::string& word, size_t from = 0) {
  for (size_t pos = from; pos + word.size() <= s.size(); ++pos) {
    if (HasAtIgnoringCase(s, pos, word)) {
      return pos;
    }
  }
  return std::string::npos;
}

}  // namespace fuzz
