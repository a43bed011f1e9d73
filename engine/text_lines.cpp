#include "engine/text_lines.h"

namespace scenery {

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  const std::size_t size = bytes.size();
  while (start < size) {
    std::size_t end = start;
    while (end < size && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    lines.emplace_back(bytes.substr(start, end - start));
    if (end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') {
      start = end + 2;
    } else {
      start = end + 1;
    }
  }
  return lines;
}

namespace {

// Windows-1252's characters at 0x80 to 0x9F, by their Unicode code points.
struct Cp1252Extra {
  char16_t code;
  char byte;
};
constexpr Cp1252Extra kCp1252Extras[] = {
    {0x20AC, '\x80'}, {0x201A, '\x82'}, {0x0192, '\x83'}, {0x201E, '\x84'}, {0x2026, '\x85'},
    {0x2020, '\x86'}, {0x2021, '\x87'}, {0x02C6, '\x88'}, {0x2030, '\x89'}, {0x0160, '\x8A'},
    {0x2039, '\x8B'}, {0x0152, '\x8C'}, {0x017D, '\x8E'}, {0x2018, '\x91'}, {0x2019, '\x92'},
    {0x201C, '\x93'}, {0x201D, '\x94'}, {0x2022, '\x95'}, {0x2013, '\x96'}, {0x2014, '\x97'},
    {0x02DC, '\x98'}, {0x2122, '\x99'}, {0x0161, '\x9A'}, {0x203A, '\x9B'}, {0x0153, '\x9C'},
    {0x017E, '\x9E'}, {0x0178, '\x9F'},
};

char ToCp1252(char16_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (const Cp1252Extra& extra : kCp1252Extras) {
    if (extra.code == code) return extra.byte;
  }
  return '?';
}

}  // namespace

bool IsUtf16(const std::string& bytes) {
  return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}

// The code points of `bytes` when they are valid UTF-8 (no overlong form,
// no surrogate, nothing beyond U+10FFFF); false otherwise. `beyond` tells
// whether any is beyond ASCII.
static bool DecodeUtf8(const std::string& bytes, std::u32string* codes, bool* beyond) {
  *beyond = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    std::size_t length = c < 0x80                 ? 1
                         : c >= 0xC2 && c <= 0xDF ? 2
                         : c >= 0xE0 && c <= 0xEF ? 3
                         : c >= 0xF0 && c <= 0xF4 ? 4
                                                  : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    char32_t code = length == 1 ? c : c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    *beyond = *beyond || length > 1;
    codes->push_back(code);
    i += length;
  }
  return true;
}

std::string AnsiText(std::string bytes, int* lost, TextEncoding* encoding) {
  if (lost != nullptr) *lost = 0;
  if (encoding != nullptr) *encoding = TextEncoding::kAnsi;
  const bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (marked) bytes.erase(0, 3);
  if (!IsUtf16(bytes)) {
    std::u32string codes;
    bool beyond = false;
    if (!DecodeUtf8(bytes, &codes, &beyond) || !(beyond || marked)) return bytes;
    if (encoding != nullptr) *encoding = TextEncoding::kUtf8;
    std::string text;
    for (char32_t code : codes) {
      text += code > 0xFFFF ? '?' : ToCp1252(static_cast<char16_t>(code));
      if (text.back() == '?' && code != U'?' && lost != nullptr) ++*lost;
    }
    return text;
  }
  if (encoding != nullptr) *encoding = TextEncoding::kUtf16;
  const bool big_endian = bytes[0] == '\xFE';
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const unsigned char first = static_cast<unsigned char>(bytes[i]);
    const unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
    const char16_t code = static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first);
    if (code >= 0xDC00 && code <= 0xDFFF) continue;  // the second half of a pair: one "?" made
    text += ToCp1252(code);
    if (text.back() == '?' && code != u'?' && lost != nullptr) ++*lost;
  }
  return text;
}

std::string Digits(std::uint64_t value, unsigned base, int width) {
  std::string text;
  while (value != 0 || static_cast<int>(text.size()) < width) {
    text.insert(text.begin(), "0123456789abcdef"[value % base]);
    value /= base;
  }
  return text;
}

}  // namespace scenery
