// The text rules behind the checker's hints: INI lines and key names, and
// the arguments a program makes of its parameters.
#pragma once

#include <string>
#include <vector>

#include "platform/text.h"

namespace hints {

using Texts = std::vector<std::string>;

std::string Joined(Texts::const_iterator first, Texts::const_iterator last, const char* separator);
std::string Joined(const Texts& items, const char* separator);

// The keys of INI lines such as key=value; blank lines and comments have none.
Texts Keys(const Texts& lines);

// The known setting that an unknown key probably meant: the nearest one,
// in any letter case, when a few edits reach it; empty otherwise.
std::string ClosestKey(const std::string& key);

// The arguments a program gets from its parameters by the rules of the C
// runtime: white space separates them outside double quotes, and a quote
// after an odd number of backslashes is a literal quote. The second byte of
// a double-byte character is never a backslash.
Texts ProgramArguments(const std::string& parameters,
                       const text::LeadByteTest& isLeadByte = nullptr);

// The name of a character in a warning: "space", "tab", "quote" or
// "character =" (a double-byte one as itself).
std::string CharacterName(const std::string& c);

// True when the text at position at starts a word: nothing, or no ASCII
// letter or digit, stands in front of it.
bool StartsWord(const std::string& s, int at);

}  // namespace hints
