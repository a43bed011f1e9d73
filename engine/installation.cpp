#include "engine/installation.h"

#include "engine/scenery_library.h"

namespace scenery {

bool InstallPackage(PackageSource& source, FileSystem& fs, InstallSettings& settings,
                    CopyProgress& progress) {
  CheckSceneryLibrary(fs, settings);
  CopyPackageFiles(source, fs, settings, progress);
  return RegisterSceneryArea(fs, settings);
}

bool InstallPackage(FileSystem& fs, InstallSettings& settings, CopyProgress& progress) {
  FolderSource source(fs);
  return InstallPackage(source, fs, settings, progress);
}

}  // namespace scenery
