// The package folder as the platform's file system shows it: the folder
// stands where Setup.exe's own folder would.
#ifndef SCENERY_SETUP_PACK_PACKAGE_FOLDER_H_
#define SCENERY_SETUP_PACK_PACKAGE_FOLDER_H_

#include <memory>
#include <string>

#include "engine/file_system.h"

namespace scenery {
namespace pack {

std::unique_ptr<FileSystem> OpenPackageFolder(const std::string& folder);

// The separator between a folder and a file name in paths shown to the author.
char PathSeparator();

// Puts the file `from` in the place of `to`, replacing a file of that name
// in one step. False, with the system's reason in `why`, when it cannot.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* why);

// Makes the folder `folder` and every missing folder above it. False, with
// the system's reason in `why`, when it cannot.
bool MakeFolders(const std::string& folder, std::string* why);

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_PACKAGE_FOLDER_H_
