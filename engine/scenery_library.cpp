#include "engine/scenery_library.h"

#include <algorithm>
#include <cstring>

namespace scenery {
namespace {

constexpr char kHeader[] = "[AREA.";
constexpr std::size_t kHeaderLength = 6;
constexpr std::size_t kAreaTextLength = 3;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The numeric value at the start of `text`, read as a decimal literal:
// blanks skipped, an optional sign, then digits up to the first other
// character; 0 when no digit comes first.
std::int32_t LeadingNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');  // at most three digits: no overflow
  }
  return negative ? -value : value;
}

bool EndsWithLineEnd(const std::string& bytes) { return !bytes.empty() && IsLineEnd(bytes.back()); }

// The position of the next '[' at or after `from`, or `size`. A library file
// may be large and '[' is rare in it, so it is looked for a word at a time.
std::size_t NextBracket(const char* data, std::size_t size, std::size_t from) {
  std::size_t i = from;
  for (; i + 4 <= size; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, data + i, 4);
    const std::uint32_t x = word ^ 0x5B5B5B5Bu;  // a zero byte where data holds '['
    if (((x - 0x01010101u) & ~x & 0x80808080u) != 0) break;
  }
  for (; i < size; ++i) {
    if (data[i] == '[') return i;
  }
  return size;
}

}  // namespace

std::int32_t NextAreaNumber(const std::string& bytes) {
  const char* data = bytes.data();
  const std::size_t size = bytes.size();
  std::int32_t largest = 0;
  for (std::size_t at = NextBracket(data, size, 0); at < size;
       at = NextBracket(data, size, at + 1)) {
    // A header's bracket starts its line, after blanks only.
    std::size_t line_start = at;
    while (line_start > 0 && IsBlank(data[line_start - 1])) --line_start;
    if (line_start > 0 && !IsLineEnd(data[line_start - 1])) continue;
    if (size - at < kHeaderLength) break;
    bool header = true;
    for (std::size_t i = 0; i < kHeaderLength && header; ++i) {
      const char c = data[at + i];
      header = ((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c) == kHeader[i];
    }
    if (!header) continue;
    std::size_t end = at + kHeaderLength;
    while (end < size && end < at + kHeaderLength + kAreaTextLength && !IsLineEnd(data[end])) {
      ++end;
    }
    const std::string area_text(data + at + kHeaderLength, end - at - kHeaderLength);
    largest = std::max(largest, LeadingNumber(area_text));
  }
  return largest + 1;
}

std::string AreaSection(std::int32_t area_number, const InstallSettings& settings) {
  std::string label = std::to_string(area_number);
  if (label.size() < 3) label.insert(0, 3 - label.size(), '0');
  std::string section;
  auto line = [&section](const std::string& text) { section += text + "\r\n"; };
  line("[Area." + label + "]");
  line("Title=" + settings.scenery_title);
  line("Local=" + settings.target_dir);
  line("Active=TRUE");
  line("Layer=" + std::to_string(area_number));
  if (!settings.exclude.empty()) line("Exclude=" + settings.exclude);
  if (!settings.flatten0.empty()) line("Flatten.0=" + settings.flatten0);
  if (!settings.flatten1.empty()) line("Flatten.1=" + settings.flatten1);
  line("");
  return section;
}

void RegisterSceneryArea(FileSystem& fs, const InstallSettings& settings) {
  const std::string& cfg = settings.cfg_path;
  const std::string installed = "The package was installed in " + settings.target_dir +
                                ", but the simulator does not know it yet: ";
  std::string old_bytes;
  try {
    old_bytes = fs.ReadWholeFile(cfg);
    fs.CopyReplacing(cfg, settings.backup_path);
  } catch (Failure& failure) {
    failure.set_aftermath(installed + "scenery.cfg was not changed.");
    throw;
  }

  std::string section = AreaSection(NextAreaNumber(old_bytes), settings);
  // Keep the old last line whole and start the header on a line of its own.
  if (!old_bytes.empty() && !EndsWithLineEnd(old_bytes)) section.insert(0, "\r\n");

  try {
    fs.AppendToFile(cfg, section);
  } catch (Failure& failure) {
    std::string state;
    try {
      // An append that never got to write leaves nothing to undo.
      if (fs.FileLength(cfg) != old_bytes.size()) fs.Truncate(cfg, old_bytes.size());
      state = "scenery.cfg was not changed";
    } catch (const Failure& undo) {
      state = "scenery.cfg may end in part of the new section (" + undo.reason() + ")";
    }
    failure.set_aftermath(installed + state + "; its backup is " + settings.backup_path + ".");
    throw;
  }
}

}  // namespace scenery
