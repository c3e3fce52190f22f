#include "platform/text.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(Text, PositionsAndLengthsAreClamped) {
  const std::string s = "abcdef";
  EXPECT_EQ(text::Left(s, -1), "");
  EXPECT_EQ(text::Left(s, 0), "");
  EXPECT_EQ(text::Left(s, 3), "abc");
  EXPECT_EQ(text::Left(s, 99), "abcdef");
  EXPECT_EQ(text::Mid(s, -5), "abcdef");
  EXPECT_EQ(text::Mid(s, 4), "ef");
  EXPECT_EQ(text::Mid(s, 6), "");
  EXPECT_EQ(text::Mid(s, 99), "");
  EXPECT_EQ(text::Mid(s, 2, -1), "");
  EXPECT_EQ(text::Mid(s, 2, 2), "cd");
  EXPECT_EQ(text::Mid(s, 4, 99), "ef");
  EXPECT_EQ(text::Mid(s, -1, 2), "ab");
}

TEST(Text, SearchesStopAtTheFirstZeroByte) {
  const std::string s = "ab\\c\0d\\e.exe"s;
  EXPECT_EQ(text::Find(s, "c"), 3);
  EXPECT_EQ(text::Find(s, ".exe"), -1);
  EXPECT_EQ(text::Find(s, "b", 2), -1);
  EXPECT_EQ(text::FindLast(s, '\\'), 2);
  EXPECT_EQ(text::FindLast(s, 'x'), -1);
  // Copies keep every byte.
  EXPECT_EQ(text::Mid(s, 3).size(), 9u);
}

TEST(Text, DoubleByteSearchMatchesOnlyAtCharacterStarts) {
  const auto leadIs81 = [](char c) { return c == '\x81'; };
  // The second byte of "\x81." is not the start of ".exe".
  EXPECT_EQ(text::FindAtCharStart("a\x81.exe.exe", ".exe", 0, leadIs81), 6);
  EXPECT_EQ(text::FindAtCharStart("a\x81.exe.exe", ".exe", 0, [](char) { return false; }), 2);
  EXPECT_EQ(text::FindAtCharStart("x.exe", ".exe", 2, leadIs81), -1);
}

TEST(Text, LowerCasingKeepsPositions) {
  EXPECT_EQ(text::AsciiLower("D:\\TITLE\\START.EXE -LOG \xC4"), "d:\\title\\start.exe -log \xC4");
}
