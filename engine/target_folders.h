// The builder of the destination tree.
#ifndef SCENERY_SETUP_ENGINE_TARGET_FOLDERS_H_
#define SCENERY_SETUP_ENGINE_TARGET_FOLDERS_H_

#include <string>

#include "engine/file_system.h"

namespace scenery {

class Journal;

// Makes the destination folder `path`, every missing folder above it (at any
// depth), and its Scenery and Texture subfolders. The root of the path (a
// drive root, or the server and share of a UNC path) is never made. An entry
// that exists counts, hidden folders included; a file that stands where a
// folder is wanted throws kAlreadyExists. Folders made before a failure stay;
// each folder made is recorded in `journal`, and so are the files
// of the three folders that the copy run writes into.
void CreateTargetFolders(FileSystem& fs, const std::string& path, Journal& journal);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_TARGET_FOLDERS_H_
