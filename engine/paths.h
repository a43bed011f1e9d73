// Path helpers: plain functions over text, without any file-system access.
#ifndef SCENERY_SETUP_ENGINE_PATHS_H_
#define SCENERY_SETUP_ENGINE_PATHS_H_

#include <cstddef>
#include <string>

namespace scenery {

// The length of the root of `path` that is never made as a folder:
// 3 for "C:\", the length of "\\server\share\" (or "\\server\share" at the
// end of the text) for a UNC path, 2 for "C:" alone, 1 for a path that starts
// with a single backslash, 0 for a relative path.
std::size_t RootLength(const std::string& path);

// True for "X:\..." and "\\server\share..." paths.
bool IsFullPath(const std::string& path);

// True when `path` holds a character that Windows never allows in a path
// (* ? " < > |, control characters, or a colon other than the drive's).
bool HasForbiddenPathCharacters(const std::string& path);

// ASCII upper case of `text`, for comparisons that ignore letter case.
std::string UpperAscii(std::string text);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_PATHS_H_
