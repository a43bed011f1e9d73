#include "engine/text_lines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

namespace scenery {
namespace {

struct LinesCase {
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(SplitLines, EachLineEndAndTheLastLine) {
  const LinesCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"mixed\rends\nhere\r\n", {"mixed", "ends", "here"}},
      {std::string("nul\0inside\r\n", 12), {std::string("nul\0inside", 10)}},
      {"\x81\x40\x82\xA0 \xE9t\xE9", {"\x81\x40\x82\xA0 \xE9t\xE9"}},
  };
  for (const LinesCase& c : cases) {
    EXPECT_EQ(SplitLines(c.bytes), c.lines) << "bytes: " << testing::PrintToString(c.bytes);
  }
}

TEST(AnsiText, ByteOrderMarksAndUtf16) {
  const struct {
    std::string bytes;
    std::string text;
    int lost;
  } cases[] = {
      {"plain \xE9t\xE9", "plain \xE9t\xE9", 0},
      {"\xEF\xBB\xBFKey=1", "Key=1", 0},
      // "A", e acute, the euro sign, a character beyond 16 bits (a pair), "?".
      {std::string("\xFF\xFE"
                   "A\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE?\0",
                   14),
       "A\xE9\x80??", 1},
      {std::string("\xFE\xFF\0A\x01\x53\x04\x10", 8), "A\x9C?", 1},  // big-endian: oe, a Cyrillic A
      {"\xFF\xFE", "", 0},
      // UTF-8 without its mark, as Notepad saves it: e acute, the euro sign,
      // a Polish L with stroke (not in Windows-1252), a character beyond 16 bits.
      {"G\xC3\xA9n\xC3\xA8"
       "ve \xE2\x82\xAC \xC5\x81\xC3\xB3"
       "d\xC5\xBA \xF0\x9F\x9B\xA9",
       "G\xE9n\xE8"
       "ve \x80 ?\xF3"
       "d? ?",
       3},
      // Not UTF-8 (an overlong form, a lone continuation, a surrogate): ANSI, kept.
      {"\xC0\xAF \xC3\xA9", "\xC0\xAF \xC3\xA9", 0},
      {"Caf\xE9 \xC3\xA9", "Caf\xE9 \xC3\xA9", 0},
      {"\xC3\xBF", "\xFF", 0},  // the last character of Windows-1252
      {"\xED\xA0\x80", "\xED\xA0\x80", 0},
  };
  for (const auto& c : cases) {
    int lost = -1;
    EXPECT_EQ(AnsiText(c.bytes, &lost), c.text) << testing::PrintToString(c.bytes);
    EXPECT_EQ(lost, c.lost) << testing::PrintToString(c.bytes);
  }
  // The encoding said: a mark alone makes a file UTF-8.
  TextEncoding encoding = TextEncoding::kAnsi;
  AnsiText("\xEF\xBB\xBFKey=1", nullptr, &encoding);
  EXPECT_EQ(encoding, TextEncoding::kUtf8);
}

TEST(SplitLines, EndsExactlyAtTheLastByte) {
  // A lone CR as the very last byte must not look one byte further for a LF:
  // a buffer of exactly those bytes, which the sanitizer build guards.
  const auto buffer = std::make_unique<char[]>(2);
  buffer[0] = 'x';
  buffer[1] = '\r';
  EXPECT_EQ(SplitLines(std::string_view(buffer.get(), 2)), std::vector<std::string>{"x"});
}

}  // namespace
}  // namespace scenery
