// Any bytes as scenery.cfg: the registration leaves the backup equal to the
// old bytes and the library equal to the old bytes plus one well-formed
// section (after a CR LF where the old file lacked a final line end), under
// a number above every area number in the old file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/scenery_library.h"
#include "tests/support/memory_file_system.h"

namespace {

// The area numbers of the old file, read independently of the engine:
// lines that start, after blanks, with "[area." in any case; up to three
// characters after the dot, an optional sign, then digits.
int LargestAreaNumber(const std::string& bytes) {
  int largest = 0;
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
    std::string text = line.substr(i + 6, 3);
    std::size_t k = text.find_first_not_of(" \t");
    if (k == std::string::npos) continue;
    int sign = 1;
    if (text[k] == '-' || text[k] == '+') sign = text[k++] == '-' ? -1 : 1;
    int value = 0;
    while (k < text.size() && text[k] >= '0' && text[k] <= '9') value = value * 10 + (text[k++] - '0');
    if (sign * value > largest) largest = sign * value;
  }
  return largest;
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
  scenery::RegisterSceneryArea(fs, settings);

  if (fs.Contents(settings.backup_path) != old_bytes) std::abort();
  const std::string now = fs.Contents(settings.cfg_path);
  if (now.compare(0, old_bytes.size(), old_bytes) != 0) std::abort();
  std::string added = now.substr(old_bytes.size());
  const bool needs_line_end =
      !old_bytes.empty() && old_bytes.back() != '\n' && old_bytes.back() != '\r';
  if (needs_line_end) {
    if (added.compare(0, 2, "\r\n") != 0) std::abort();
    added.erase(0, 2);
  }
  // [Area.N] with at least three digits and N above every old number.
  if (added.compare(0, 6, "[Area.") != 0) std::abort();
  const std::size_t close = added.find("]\r\n");
  if (close == std::string::npos || close < 9) std::abort();
  const std::string digits = added.substr(6, close - 6);
  if (digits.find_first_not_of("0123456789") != std::string::npos) std::abort();
  const int number = std::atoi(digits.c_str());
  if (number <= LargestAreaNumber(old_bytes) || number < 1) std::abort();
  const std::string rest = "Title=Fuzz Island\r\nLocal=C:\\Addon\\Fuzz\r\nActive=TRUE\r\nLayer=" +
                           std::to_string(number) + "\r\n\r\n";
  if (added.substr(close + 3) != rest) std::abort();
  return 0;
}
