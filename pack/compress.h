// The compression of a one-file package's files.
#ifndef SCENERY_SETUP_PACK_COMPRESS_H_
#define SCENERY_SETUP_PACK_COMPRESS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/packed_package.h"
#include "pack/check.h"

namespace scenery {
namespace pack {

constexpr int kDefaultLevel = 9;

// The LZMA stream of `bytes` as a package stores it: 5 bytes of properties,
// then the coded bytes without an end mark. `level` 1 to 9 (faster to
// smaller); the dictionary is at most the package's largest, and no
// larger than `bytes` need. Empty when no memory could be had.
std::string CompressLzma(const std::string& bytes, int level);

// The same for the bytes that `read(buffer, size)` gives, up to `size` at a
// time, until it gives 0: about `expected` of them, which sizes the
// dictionary. What `read` throws is thrown on.
std::string CompressLzma(const std::function<std::size_t(char*, std::size_t)>& read,
                         std::uint64_t expected, int level);

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

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_COMPRESS_H_
