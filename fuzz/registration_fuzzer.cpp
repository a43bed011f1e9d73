// Any bytes as scenery.cfg: the registration leaves the backup equal to the
// old bytes and the library equal to the old bytes plus one well-formed
// section (after a CR LF where the old file lacked a final line end), under
// a number above every area number in the old file. A number that cannot
// grow within 32 bits is refused with nothing written. Registering again
// gives a higher number for another folder, and nothing for the same one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/failure.h"
#include "engine/journal.h"
#include "engine/scenery_library.h"
#include "tests/support/memory_file_system.h"

namespace {

// The area numbers of the old file, read independently of the engine:
// lines that start, after blanks, with "[area." in any case; blanks, an
// optional sign, then the whole run of digits (held at 1e12 and above).
long long LargestAreaNumber(const std::string& bytes) {
  long long largest = 0;
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line.size() < i + 6) continue;
    std::string head = line.substr(i, 6);
    for (char& c : head) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (head != "[AREA.") continue;
    std::size_t k = line.find_first_not_of(" \t", i + 6);
    if (k == std::string::npos) continue;
    int sign = 1;
    if (line[k] == '-' || line[k] == '+') sign = line[k++] == '-' ? -1 : 1;
    long long value = 0;
    while (k < line.size() && line[k] >= '0' && line[k] <= '9') {
      value = value >= 1000000000000LL ? value : value * 10 + (line[k] - '0');
      ++k;
    }
    if (sign * value > largest) largest = sign * value;
  }
  return largest;
}

bool MentionsFolderName(const std::string& bytes, const std::string& name) {
  std::string upper = bytes;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return upper.find(name) != std::string::npos;
}

// The number of the section that `now` holds past `old_bytes`; aborts unless
// it is one well-formed section for `target`.
long long AddedNumber(const std::string& old_bytes, const std::string& now,
                      const std::string& target) {
  if (now.compare(0, old_bytes.size(), old_bytes) != 0) std::abort();
  std::string added = now.substr(old_bytes.size());
  const bool needs_line_end =
      !old_bytes.empty() && old_bytes.back() != '\n' && old_bytes.back() != '\r';
  if (needs_line_end) {
    if (added.compare(0, 2, "\r\n") != 0) std::abort();
    added.erase(0, 2);
  }
  // [Area.N] with at least three digits.
  if (added.compare(0, 6, "[Area.") != 0) std::abort();
  const std::size_t close = added.find("]\r\n");
  if (close == std::string::npos || close < 9 || close > 16) std::abort();
  const std::string digits = added.substr(6, close - 6);
  if (digits.find_first_not_of("0123456789") != std::string::npos) std::abort();
  const long long number = std::atoll(digits.c_str());
  const std::string rest = "Title=Fuzz Island\r\nLocal=" + target + "\r\nActive=TRUE\r\nLayer=" +
                           std::to_string(number) + "\r\n\r\n";
  if (added.substr(close + 3) != rest) std::abort();
  if (number < 1 || number > 2147483647LL) std::abort();
  return number;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string old_bytes(reinterpret_cast<const char*>(data), size);
  scenery::MemoryFileSystem fs;
  fs.AddFile("C:\\FS2000\\scenery.cfg", old_bytes);
  scenery::InstallSettings settings;
  settings.cfg_path = "C:\\FS2000\\scenery.cfg";
  settings.backup_path = "C:\\FS2000\\scenery.bak";
  settings.scenery_title = "Fuzz Island";
  settings.target_dir = "C:\\Addon\\Fuzz";
  const long long largest = LargestAreaNumber(old_bytes);

  scenery::Journal journal(fs);
  bool appended = false;
  try {
    appended = scenery::RegisterSceneryArea(fs, settings, journal);
  } catch (const scenery::Failure&) {
    // Refused only for a number that cannot grow, and then nothing is written.
    if (largest < 2147483647LL) std::abort();
    if (fs.Contents(settings.cfg_path) != old_bytes || fs.Has(settings.backup_path)) std::abort();
    return 0;
  }
  if (!appended) {
    // An area of the old file names the folder: nothing may be written.
    if (!MentionsFolderName(old_bytes, "FUZZ")) std::abort();
    if (fs.Contents(settings.cfg_path) != old_bytes || fs.Has(settings.backup_path)) std::abort();
    return 0;
  }
  if (largest >= 2147483647LL) std::abort();
  if (fs.Contents(settings.backup_path) != old_bytes) std::abort();
  const std::string once = fs.Contents(settings.cfg_path);
  const long long first = AddedNumber(old_bytes, once, settings.target_dir);
  if (first <= largest) std::abort();

  // The same folder again, named another way: nothing more is written.
  settings.target_dir = "c:\\addon\\\\FUZZ\\";
  if (scenery::RegisterSceneryArea(fs, settings, journal)) std::abort();
  if (fs.Contents(settings.cfg_path) != once) std::abort();

  // Another folder: a number above the first, unless none is left.
  settings.target_dir = "C:\\Addon\\Fuzz Two";
  try {
    if (!scenery::RegisterSceneryArea(fs, settings, journal)) {
      if (!MentionsFolderName(old_bytes, "FUZZ TWO")) std::abort();
      return 0;
    }
  } catch (const scenery::Failure&) {
    if (first != 2147483647LL) std::abort();
    return 0;
  }
  if (AddedNumber(once, fs.Contents(settings.cfg_path), settings.target_dir) <= first) std::abort();
  return 0;
}
