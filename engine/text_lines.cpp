#include "engine/text_lines.h"

namespace scenery {

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  ForEachLine(bytes, [&lines](const char* begin, std::size_t length) {
    lines.emplace_back(begin, length);
  });
  return lines;
}

std::vector<std::string> ReadLines(FileSystem& fs, const std::string& path) {
  return SplitLines(fs.ReadWholeFile(path));
}

}  // namespace scenery
