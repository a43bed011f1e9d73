// The package folder as the platform's file system shows it: the folder
// stands where Setup.exe's own folder would.
#ifndef SCENERY_SETUP_PACK_PACKAGE_FOLDER_H_
#define SCENERY_SETUP_PACK_PACKAGE_FOLDER_H_

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_system.h"

namespace scenery {
namespace pack {

std::unique_ptr<FileSystem> OpenPackageFolder(const std::string& folder);

// The separator between a folder and a file name in paths shown to the author.
char PathSeparator();

// Puts the file `from` in the place of `to`, replacing a file of that name
// in one step. False, with the system's reason in `why`, when it cannot.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* why);

// Makes the folder `folder` and every missing folder above it, each made
// one added to `made` (the highest first). False, with the system's reason
// in `why`, when it cannot.
bool MakeFolders(const std::string& folder, std::string* why, std::vector<std::string>* made);

// Removes the empty folder `folder`; one that cannot be removed stays.
void RemoveEmptyFolder(const std::string& folder);

// The program's arguments as the user gave them. On Windows they are read
// as Unicode: an argument with a character that the ANSI code page lacks
// (which no file call of this program could open or write as given) is a
// fault, said in `fault`, and the result false.
bool ProgramArguments(int argc, char** argv, std::vector<std::string>* arguments,
                      std::string* fault);

// Writes `text`, in the ANSI code page, to `stream`. On Windows a console
// gets it as Unicode, so that it shows every character as written whatever
// the console's own code page (most often an OEM one, where the ANSI bytes
// of an accent or a dash show as other signs); a file or pipe gets the
// ANSI bytes.
void WriteText(std::FILE* stream, const std::string& text);

// printf into WriteText.
inline void Print(std::FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, again);
  va_end(again);
  text.pop_back();
  WriteText(stream, text);
}

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_PACKAGE_FOLDER_H_
