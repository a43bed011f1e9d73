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

// `path` without its trailing backslashes (and slashes), but never
// shorter than its root: "C:\Games\\" gives "C:\Games", "C:\" stays "C:\",
// "/" stays "/".
std::string WithoutTrailingSeparators(std::string path);

// The folder that holds `path`: the text before its last backslash, without
// trailing backslashes, and "C:\" for an entry of a drive's root; "" when
// `path` has no backslash.
std::string ParentFolder(const std::string& path);

// `name` (a relative path) in `folder`, with one backslash between them;
// `folder` itself when `name` is empty.
std::string Below(const std::string& folder, const std::string& name);

// True for "X:\..." and "\\server\share..." paths.
bool IsFullPath(const std::string& path);

// True when `path` holds a character that Windows never allows in a path
// (* ? " < > |, control characters, or a colon other than the drive's).
bool HasForbiddenPathCharacters(const std::string& path);

// True when `name` matches the wildcard `pattern` (* and ?) as Windows'
// file searches match it: without regard to letter case, and "*.*" also
// matching names without a dot.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// ASCII upper case of `text`, for comparisons that ignore letter case.
std::string UpperAscii(std::string text);

// `c` in upper case as Windows folds file names in the Western ANSI code
// page (1252): the ASCII letters and the accented letters.
unsigned char FoldAnsiCase(unsigned char c);
// `text` with each character folded by FoldAnsiCase: names that Windows
// takes for the same compare equal.
std::string FoldedCase(std::string text);

// The form in which two names of one folder compare equal, as Windows
// compares them: `path` taken relative to `base` when it has no root of its
// own (relative to base's drive when it starts with one backslash), "/" read
// as "\", doubled backslashes, "." and ".." resolved, no trailing
// backslash except at a drive root, blanks around it dropped, letter case
// folded by FoldAnsiCase.
std::string ComparableFolder(const std::string& path, const std::string& base);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_PATHS_H_
