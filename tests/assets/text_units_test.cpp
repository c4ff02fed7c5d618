// The font-free parts of text: UTF-8 decoding and line breaking.
#include <gtest/gtest.h>

#include "assets/linebreak.h"
#include "assets/utf8.h"

namespace {
std::u32string decoded(const std::string& bytes) {
  std::u32string out;
  utf8::decode(bytes, out);
  return out;
}

const char32_t BAD = utf8::INVALID;

// Lines of `text` where every character advances 10 and "AV" kerns by -3.
std::vector<linebreak::Line> lines(const std::string& text, float maxWidth) {
  std::u32string characters = decoded(text);
  std::vector<float> advance(characters.size(), 10), kerning(characters.size(), 0);
  for (size_t i = 1; i < characters.size(); ++i)
    if (characters[i - 1] == 'A' && characters[i] == 'V') kerning[i] = -3;
  std::vector<linebreak::Line> result;
  linebreak::breakLines(characters, advance, kerning, maxWidth, result);
  return result;
}

// "begin-end:width" for each line, for readable comparisons.
std::string shape(const std::vector<linebreak::Line>& result) {
  std::string text;
  for (const linebreak::Line& line : result)
    text += std::to_string(line.begin) + "-" + std::to_string(line.end) + ":" +
            std::to_string(static_cast<int>(line.width)) + " ";
  return text;
}
}  // namespace

TEST(Utf8, WellFormedSequencesOfEveryLength) {
  EXPECT_EQ(decoded("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
            (std::u32string{U'A', 0xE9, 0x20AC, 0x1F600}));
  EXPECT_EQ(decoded("\xF4\x8F\xBF\xBF"), std::u32string{0x10FFFF});
}

TEST(Utf8, EachIllFormedPartIsOneInvalidCharacterAndTheRestSurvives) {
  // Stray continuation, a byte never used, overlong, surrogate, beyond U+10FFFF.
  EXPECT_EQ(decoded("\x80" "a\xFF" "b\xC0\xAF" "c"), (std::u32string{BAD, 'a', BAD, 'b', BAD, BAD, 'c'}));
  EXPECT_EQ(decoded("\xED\xA0\x80"), (std::u32string{BAD, BAD, BAD}));
  EXPECT_EQ(decoded("\xF4\x90\x80\x80"), (std::u32string{BAD, BAD, BAD, BAD}));
  // A sequence cut short by the next character or by the end: one each.
  EXPECT_EQ(decoded("\xE2\x82" "x\xF0\x9F\x98"), (std::u32string{BAD, 'x', BAD}));
}

TEST(LineBreaking, NewlinesAlwaysBreakAndEmptyTextHasNoLines) {
  EXPECT_EQ(shape(lines("", 0)), "");
  EXPECT_EQ(shape(lines("ab\ncde", 0)), "0-2:20 3-6:30 ");
  EXPECT_EQ(shape(lines("ab\r\n\n", 0)), "0-2:20 4-4:0 5-5:0 ");
  EXPECT_EQ(shape(lines("AVA", 0)), "0-3:27 ") << "kerning counts within a line";
}

TEST(LineBreaking, WrapsBeforeTheWordThatOverflowsAndDropsTheSpacesThere) {
  // "aaa bbb" is 70 wide, so at 75 "ccc" moves down; the spaces belong to no line.
  EXPECT_EQ(shape(lines("aaa bbb ccc", 75)), "0-7:70 8-11:30 ");
  EXPECT_EQ(shape(lines("aaa   bbb", 50)), "0-3:30 6-9:30 ");
  EXPECT_EQ(shape(lines("aaa bbb\nc", 45)), "0-3:30 4-7:30 8-9:10 ");
  // Kerning is left out at the start of a line: "V" opens the second line.
  EXPECT_EQ(shape(lines("aAVb", 20)), "0-2:20 2-4:20 ");
}

TEST(LineBreaking, AWordWiderThanTheLineIsBrokenBetweenCharacters) {
  EXPECT_EQ(shape(lines("abcdefg", 30)), "0-3:30 3-6:30 6-7:10 ");
  EXPECT_EQ(shape(lines("ab cdefgh", 30)), "0-2:20 3-6:30 6-9:30 ");
  EXPECT_EQ(shape(lines("  ab", 15)), "0-2:20 2-3:10 3-4:10 ")
      << "spaces end no line, and leading spaces are no place to break at";
}
