// Splitting of text files into lines, shared by every reader of the
// installer's text files (Setup.ini, scenery.cfg).
#ifndef SCENERY_SETUP_ENGINE_TEXT_LINES_H_
#define SCENERY_SETUP_ENGINE_TEXT_LINES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenery {

// The lines of `bytes`, without their line ends. CR LF, a lone LF and a lone
// CR each end a line; a last line without a line end is a line too, and a
// final line end does not start another one. Bytes are kept as they are
// (the ANSI code page, NULs included); nothing past the end is ever read.
std::vector<std::string> SplitLines(std::string_view bytes);

// How a text file was saved, as AnsiText read it.
enum class TextEncoding { kAnsi, kUtf8, kUtf16 };

// The text of a file as Setup.exe reads it, in the ANSI code page: the
// UTF-8 byte-order mark (EF BB BF) that some editors write is skipped (it is
// not part of the first line); a file saved as UTF-16 (Notepad's "Unicode",
// starting FF FE, or FE FF), and one that is valid UTF-8 with the mark or
// holding a character beyond ASCII (Notepad's default since Windows 10),
// is converted to Windows-1252, each character that code page lacks
// becoming "?" (counted in `lost`, when given). Any other bytes (the ANSI
// code page) are kept as they are. `encoding`, when given, tells which.
std::string AnsiText(std::string bytes, int* lost = nullptr, TextEncoding* encoding = nullptr);

// `value` in `base` (10 or 16, lower-case digits), with leading zeros to at
// least `width` digits. Formatted here: a printf would bring its
// floating-point formatting into the program.
std::string Digits(std::uint64_t value, unsigned base, int width);

// Whether `bytes` start with a UTF-16 byte-order mark.
bool IsUtf16(const std::string& bytes);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_TEXT_LINES_H_
