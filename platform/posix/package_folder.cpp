#include "pack/package_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/posix/posix_file_system.h"

namespace scenery {
namespace pack {

std::unique_ptr<FileSystem> OpenPackageFolder(const std::string& folder) {
  return std::make_unique<PosixFileSystem>(folder);
}

char PathSeparator() { return '/'; }

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* why) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *why = std::strerror(errno);
  return false;
}

}  // namespace pack
}  // namespace scenery
