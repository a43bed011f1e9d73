// scenery-pack build: one Setup.exe that carries its whole package.
#ifndef SCENERY_SETUP_PACK_BUILD_H_
#define SCENERY_SETUP_PACK_BUILD_H_

#include <cstdint>
#include <string>

namespace scenery {
namespace pack {

// Checks the package in `folder` and, when it has no error, writes
// `output`: the program `setup` (empty: the folder's own Setup.exe) with
// every file of the package that Setup.exe reads. `output` is written under
// a temporary name and takes its name only when whole; a missing folder of
// it is made. With `strict`, warnings refuse it too. Files are compressed
// at `level` (1 to 9), or stored as they are with 0. Prints what it does and
// what the package leaves out; returns the exit code (0 packed, 2 refused or
// failed).
int BuildPackage(const std::string& folder, const std::string& output, const std::string& setup,
                 bool strict, int level);

// Setup.exe reads compressed packages from this version on (major << 16 | minor).
constexpr std::uint32_t kFirstCompressingVersion = 1u << 16 | 1;

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_BUILD_H_
