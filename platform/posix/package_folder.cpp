#include "pack/package_folder.h"

#include "platform/posix/posix_file_system.h"

namespace scenery {
namespace pack {

std::unique_ptr<FileSystem> OpenPackageFolder(const std::string& folder) {
  return std::make_unique<PosixFileSystem>(folder);
}

char PathSeparator() { return '/'; }

}  // namespace pack
}  // namespace scenery
