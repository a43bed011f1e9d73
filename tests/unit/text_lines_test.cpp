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
