// CRC-32C (Castagnoli), the checksum of every file that a one-file package
// carries.
#ifndef SCENERY_SETUP_ENGINE_CRC32C_H_
#define SCENERY_SETUP_ENGINE_CRC32C_H_

#include <cstddef>
#include <cstdint>

namespace scenery {

// CRC-32C of `size` bytes, continuing `crc` (0 to start).
std::uint32_t Crc32c(std::uint32_t crc, const void* data, std::size_t size);

// The same by the table alone, as processors without carry-less
// multiplication compute it; for the tests, which check both ways.
std::uint32_t Crc32cByTable(std::uint32_t crc, const void* data, std::size_t size);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_CRC32C_H_
