#include "engine/installation.h"

#include "engine/scenery_library.h"

namespace scenery {

bool InstallPackage(FileSystem& fs, InstallSettings& settings, CopyProgress& progress) {
  CheckSceneryLibrary(fs, settings);
  CopyPackageFiles(fs, settings, progress);
  return RegisterSceneryArea(fs, settings);
}

}  // namespace scenery
