#include "platform/text.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(Text, ClampsAndSearchesUpToTheFirstZeroAtCharacterStarts) {
  const text::LeadByteTest lead83 = [](char c) { return c == '\x83'; };  // as in code page 932
  const text::LeadByteTest single = [](char) { return false; };
  const std::string s = "ab\\c\0d\\e.exe"s;
  EXPECT_EQ(text::Left(s, -1) + text::Left(s, 0) + text::Mid(s, 99) + text::Mid(s, 2, -1), "");
  EXPECT_EQ(text::Left("abc", 99) + text::Mid("abc", -5) + text::Mid("abc", -1, 2), "abcabcab");
  EXPECT_EQ(text::Mid(s, 3).size(), 9u);
  EXPECT_EQ(text::Find(s, "c") + text::Find(s, ".exe") + text::Find(s, "b", 2), 1);
  EXPECT_EQ(text::FindLastSeparator(s, single), 2);
  EXPECT_EQ(text::FindAtCharStart("a\x83.exe.exe", ".exe", lead83), 6);
  EXPECT_EQ(text::FindAtCharStart("a\x83.exe.exe", ".exe", single), 2);
  EXPECT_EQ(text::FindLastSeparator("D:\\\x83\\x", lead83), 2);
  EXPECT_EQ(text::FindLastSeparator("D:/\x83\\", single), 4);
  EXPECT_EQ(text::AsciiLower("D:\\START.EXE -LOG \xC4"), "d:\\start.exe -log \xC4");
}
