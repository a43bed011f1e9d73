#include "pack/package_folder.h"

#include <windows.h>

#include "engine/paths.h"
#include "platform/win32/win32_file_system.h"

namespace scenery {
namespace pack {
namespace {

// The Win32 file system with the package folder in the place of the
// program's own folder.
class PackageFolderFileSystem : public Win32FileSystem {
 public:
  explicit PackageFolderFileSystem(std::string folder) : folder_(std::move(folder)) {}
  std::string ProgramFolder() override { return folder_; }

 private:
  std::string folder_;
};

}  // namespace

std::unique_ptr<FileSystem> OpenPackageFolder(const std::string& folder) {
  return std::make_unique<PackageFolderFileSystem>(WithoutTrailingSeparators(folder));
}

char PathSeparator() { return '\\'; }

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string* why) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *why = SystemErrorText(GetLastError());
  return false;
}

}  // namespace pack
}  // namespace scenery
