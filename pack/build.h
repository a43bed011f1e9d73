// scenery-pack build: one Setup.exe that carries its whole package.
#ifndef SCENERY_SETUP_PACK_BUILD_H_
#define SCENERY_SETUP_PACK_BUILD_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/packed_package.h"
#include "pack/check.h"

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

// The files that a one-file Setup.exe of the package in `folder` carries,
// in their order, each compressed at `level` (0: stored), with their data
// when compressed.
struct PackageFiles {
  std::vector<FileToPack> list;
  std::vector<std::string> data;  // per file; empty for a stored one
  std::uint64_t size = 0;         // of the files' bytes
  std::uint64_t stored = 0;       // of the data the package holds
};
PackageFiles CollectFiles(FileSystem& fs, const std::string& folder, const PackageReport& report,
                          int level);

// The line that says what compression gave.
std::string CompressionLine(const PackageFiles& files, int level);

// Setup.exe reads compressed packages from this version on (major << 16 | minor).
constexpr std::uint32_t kFirstCompressingVersion = 1u << 16 | 1;

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_BUILD_H_
