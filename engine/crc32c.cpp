#include "engine/crc32c.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <nmmintrin.h>
#include <wmmintrin.h>
#endif

namespace scenery {
namespace {

// The CRC-32C table of the reflected polynomial 0x82F63B78.
struct CrcTable {
  std::uint32_t entries[256];
  CrcTable() {
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0x82F63B78u : c >> 1;
      entries[i] = c;
    }
  }
};

std::uint32_t TableCrc(std::uint32_t crc, const unsigned char* p, std::size_t size) {
  static const CrcTable table;
  for (std::size_t i = 0; i < size; ++i) crc = table.entries[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

#if defined(__i386__) || defined(__x86_64__)
// Folding with carry-less multiplication (PCLMULQDQ, since 2010): four
// 16-byte lanes are multiplied forward by x^512 and joined, as the CRC of a
// message is that of any shorter message of the same remainder. The
// constants are x^e mod P, bit-reflected and shifted by one, for the
// reflected domain in which the data lies.
constexpr std::uint64_t FoldConstant(int exponent) {
  std::uint64_t r = 1;
  for (int i = 0; i < exponent; ++i) {
    r <<= 1;
    if (r & (std::uint64_t{1} << 32)) r ^= 0x11EDC6F41u;  // P, x^32 included
  }
  std::uint64_t reflected = 0;
  for (int i = 0; i < 32; ++i) {
    if ((r >> i) & 1) reflected |= std::uint64_t{1} << (31 - i);
  }
  return reflected << 1;
}

__attribute__((target("pclmul,sse4.2"), always_inline)) inline __m128i Load(const unsigned char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

__attribute__((target("pclmul,sse4.2"), always_inline)) inline __m128i Fold(__m128i x, __m128i k,
                                                                            __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
  const __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

// REQUIRES: size >= 64.
__attribute__((target("pclmul,sse4.2"))) std::uint32_t Crc32cFolding(std::uint32_t crc,
                                                                    const unsigned char* p,
                                                                    std::size_t size) {
  constexpr std::uint64_t k544 = FoldConstant(512 + 32), k480 = FoldConstant(512 - 32);
  constexpr std::uint64_t k160 = FoldConstant(128 + 32), k96 = FoldConstant(128 - 32);
  const __m128i by512 = _mm_set_epi64x(static_cast<long long>(k480), static_cast<long long>(k544));
  const __m128i by128 = _mm_set_epi64x(static_cast<long long>(k96), static_cast<long long>(k160));
  __m128i x0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = Load(p + 16), x2 = Load(p + 32), x3 = Load(p + 48);
  for (p += 64, size -= 64; size >= 64; p += 64, size -= 64) {
    x0 = Fold(x0, by512, Load(p));
    x1 = Fold(x1, by512, Load(p + 16));
    x2 = Fold(x2, by512, Load(p + 32));
    x3 = Fold(x3, by512, Load(p + 48));
  }
  __m128i x = Fold(Fold(Fold(x0, by128, x1), by128, x2), by128, x3);
  for (; size >= 16; p += 16, size -= 16) x = Fold(x, by128, Load(p));
  // The 16 bytes of x have the remainder of everything folded so far.
  std::uint32_t words[4];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(words), x);
  crc = 0;
  for (std::uint32_t word : words) crc = _mm_crc32_u32(crc, word);
  for (; size > 0; --size) crc = _mm_crc32_u8(crc, *p++);
  return crc;
}

// Chosen once, at start, from the processor's feature bits (CPUID leaf 1:
// ECX bit 1 carry-less multiply, bit 20 SSE4.2). Read with the instruction
// itself: the compiler's feature test links some 5 KB of processor tables
// into Setup.exe.
const bool kHasFolding = [] {
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
  return (ecx & bit_PCLMUL) != 0 && (ecx & bit_SSE4_2) != 0;
}();
#endif

}  // namespace

std::uint32_t Crc32cByTable(std::uint32_t crc, const void* data, std::size_t size) {
  return ~TableCrc(~crc, static_cast<const unsigned char*>(data), size);
}

std::uint32_t Crc32c(std::uint32_t crc, const void* data, std::size_t size) {
#if defined(__i386__) || defined(__x86_64__)
  if (kHasFolding && size >= 64) {
    return ~Crc32cFolding(~crc, static_cast<const unsigned char*>(data), size);
  }
#endif
  return Crc32cByTable(crc, data, size);
}

}  // namespace scenery
