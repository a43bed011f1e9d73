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

bool MakeFolders(const std::string& folder, std::string* why) {
  for (std::size_t at = folder.find('\\', RootLength(folder));; at = folder.find('\\', at + 1)) {
    const std::string part = folder.substr(0, at);
    if (!part.empty() && GetFileAttributesA(part.c_str()) == INVALID_FILE_ATTRIBUTES &&
        !CreateDirectoryA(part.c_str(), nullptr)) {
      *why = SystemErrorText(GetLastError());
      return false;
    }
    if (at == std::string::npos) return true;
  }
}

}  // namespace pack
}  // namespace scenery
