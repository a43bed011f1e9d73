// scenery-pack build: one Setup.exe that carries its whole package.
#ifndef SCENERY_SETUP_PACK_BUILD_H_
#define SCENERY_SETUP_PACK_BUILD_H_

#include <string>

namespace scenery {
namespace pack {

// Checks the package in `folder` and, when it has no error, writes
// `output`: the program `setup` (empty: the folder's own Setup.exe) with
// every file of the package that Setup.exe reads. `output` is written under
// a temporary name and takes its name only when whole; a missing folder of
// it is made. With `strict`, warnings refuse it too. Prints what it does and
// what the package leaves out; returns the exit code (0 packed, 2 refused or
// failed).
int BuildPackage(const std::string& folder, const std::string& output, const std::string& setup,
                 bool strict);

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_BUILD_H_
