#include "hint_text.h"

#include <algorithm>

#include "config/launch_settings.h"
#include "platform/text.h"

namespace hints {

namespace {

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  return first == std::string::npos ? std::string()
                                    : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The number of single-letter edits from one name to the other, in any
// letter case.
size_t EditDistance(const std::string& from, const std::string& to) {
  const std::string a = text::AsciiLower(from);
  const std::string b = text::AsciiLower(to);
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) {
    row[j] = j;
  }
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string Joined(Texts::const_iterator first, Texts::const_iterator last, const char* separator) {
  std::string joined;
  for (auto item = first; item != last; ++item) {
    joined += (item == first ? "" : separator) + *item;
  }
  return joined;
}

std::string Joined(const Texts& items, const char* separator) {
  return Joined(items.begin(), items.end(), separator);
}

std::string CharacterName(const std::string& c) {
  return c == " " ? "space" : c == "\t" ? "tab" : c == "\"" ? "quote" : "character " + c;
}

Texts Keys(const Texts& lines) {
  Texts keys;
  for (const std::string& line : lines) {
    const std::string key = Trim(line.substr(0, line.find('=')));
    if (!key.empty() && key[0] != ';') {
      keys.push_back(key);
    }
  }
  return keys;
}

std::string ClosestKey(const std::string& key) {
  std::string closest;
  size_t best = key.size() / 4 + 2;
  for (const SettingKey& setting : kSettingKeys) {
    const size_t distance = EditDistance(key, setting.name);
    if (distance < best) {
      closest = setting.name;
      best = distance;
    }
  }
  return closest;
}

Texts ProgramArguments(const std::string& parameters, const text::LeadByteTest& isLeadByte) {
  Texts arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  bool trailByte = false;
  size_t backslashes = 0;
  for (char c : parameters) {
    const bool lead = !trailByte && isLeadByte && isLeadByte(c);
    if (trailByte || lead) {
      current.append(backslashes, '\\');
      backslashes = 0;
      current += c;
      trailByte = lead;
    } else if (c == '\\') {
      ++backslashes;
    } else if (c == '"') {
      current.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        current += '"';
      } else {
        quoted = !quoted;
      }
      backslashes = 0;
    } else {
      current.append(backslashes, '\\');
      backslashes = 0;
      if ((c == ' ' || c == '\t') && !quoted) {
        if (inArgument) {
          arguments.push_back(current);
        }
        current.clear();
        inArgument = false;
        continue;
      }
      current += c;
    }
    inArgument = true;
  }
  current.append(backslashes, '\\');
  if (inArgument) {
    arguments.push_back(current);
  }
  return arguments;
}

bool StartsWord(const std::string& s, int at) {
  return at == 0 || !text::IsAsciiAlphanumeric(s[static_cast<size_t>(at - 1)]);
}

}  // namespace hints
