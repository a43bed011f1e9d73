#include "engine/scenery_library.h"

#include <algorithm>

#include "engine/text_lines.h"

namespace scenery {
namespace {

constexpr char kHeader[] = "[AREA.";
constexpr std::size_t kHeaderLength = 6;
constexpr std::size_t kAreaTextLength = 3;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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

bool EndsWithLineEnd(const std::string& bytes) {
  return !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
}

}  // namespace

std::int32_t NextAreaNumber(const std::string& bytes) {
  std::int32_t largest = 0;
  // Scans the lines in place: a library of thousands of areas is read once
  // and nothing is copied but the three characters of each header's number.
  ForEachLine(bytes, [&largest](const char* line, std::size_t length) {
    std::size_t start = 0;
    while (start < length && IsBlank(line[start])) ++start;
    if (length - start < kHeaderLength) return;
    for (std::size_t i = 0; i < kHeaderLength; ++i) {
      const char c = line[start + i];
      const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
      if (upper != kHeader[i]) return;
    }
    const std::size_t at = start + kHeaderLength;
    const std::string area_text(line + at, std::min(kAreaTextLength, length - at));
    largest = std::max(largest, LeadingNumber(area_text));
  });
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
