// The compression of a one-file package's files.
#ifndef SCENERY_SETUP_PACK_COMPRESS_H_
#define SCENERY_SETUP_PACK_COMPRESS_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

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
// dictionary.
std::string CompressLzma(const std::function<std::size_t(char*, std::size_t)>& read,
                         std::uint64_t expected, int level);

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_COMPRESS_H_
