#include "engine/installation.h"

#include "engine/scenery_library.h"

namespace scenery {

bool InstallPackage(PackageSource& source, FileSystem& fs, InstallSettings& settings,
                    CopyProgress& progress) {
  CheckSceneryLibrary(fs, settings);
  CopyPackageFiles(source, fs, settings, progress);
  return RegisterSceneryArea(fs, settings);
}

}  // namespace scenery
