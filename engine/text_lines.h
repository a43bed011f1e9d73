// Splitting of text files into lines, shared by every reader of the
// installer's text files (Setup.ini, scenery.cfg).
#ifndef SCENERY_SETUP_ENGINE_TEXT_LINES_H_
#define SCENERY_SETUP_ENGINE_TEXT_LINES_H_

#include <string>
#include <vector>

#include "engine/file_system.h"

namespace scenery {

// Calls visit(begin, length) for each line of `bytes`, without its line end,
// by the rules of SplitLines and without copying the text.
template <typename Visit>
void ForEachLine(const std::string& bytes, Visit visit) {
  const std::size_t size = bytes.size();
  std::size_t start = 0;
  while (start < size) {
    std::size_t end = start;
    while (end < size && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    visit(bytes.data() + start, end - start);
    const bool crlf = end + 1 < size && bytes[end] == '\r' && bytes[end + 1] == '\n';
    start = end + (crlf ? 2 : 1);
  }
}

// The lines of `bytes`, without their line ends. CR LF, a lone LF and a lone
// CR each end a line; a last line without a line end is a line too, and a
// final line end does not start another one. Bytes are kept as they are
// (the ANSI code page, NULs included); nothing past the end is ever read.
std::vector<std::string> SplitLines(const std::string& bytes);

// The lines of the whole file `path`, read through `fs`.
std::vector<std::string> ReadLines(FileSystem& fs, const std::string& path);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_TEXT_LINES_H_
