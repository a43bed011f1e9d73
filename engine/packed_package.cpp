#include "engine/packed_package.h"

#include <cstring>

#if (defined(__i386__) || defined(__x86_64__)) && !defined(SCENERY_PORTABLE_CODE)
#include <nmmintrin.h>
#include <wmmintrin.h>
#endif

namespace scenery {
namespace {

constexpr char kMagic[8] = {'S', 'C', 'N', 'P', 'K', 'G', '1', '\0'};
constexpr std::uint64_t kHeaderSize = 32;
constexpr std::size_t kLongestName = 255;
constexpr std::uint64_t kLargestDirectory = 16u << 20;

std::uint64_t Align8(std::uint64_t n) { return (n + 7) & ~std::uint64_t{7}; }

std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t U64(const unsigned char* p) {
  return static_cast<std::uint64_t>(U32(p)) | static_cast<std::uint64_t>(U32(p + 4)) << 32;
}
std::uint16_t U16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put64(std::string& out, std::uint64_t v) {
  Put32(out, static_cast<std::uint32_t>(v));
  Put32(out, static_cast<std::uint32_t>(v >> 32));
}

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

std::uint32_t Crc32cPortable(std::uint32_t crc, const unsigned char* p, std::size_t size) {
  static const CrcTable table;
  for (std::size_t i = 0; i < size; ++i) crc = table.entries[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

// Shifting a CRC over a run of zero bytes is linear over GF(2): the
// operator is a 32x32 bit matrix, applied here byte by byte from four tables.
struct ZerosOperator {
  std::uint32_t tables[4][256];

  static std::uint32_t Times(const std::uint32_t* matrix, std::uint32_t vector) {
    std::uint32_t sum = 0;
    for (; vector != 0; vector >>= 1, ++matrix) {
      if (vector & 1) sum ^= *matrix;
    }
    return sum;
  }
  static void Square(std::uint32_t* square, const std::uint32_t* matrix) {
    for (int n = 0; n < 32; ++n) square[n] = Times(matrix, matrix[n]);
  }

  // The operator for `length` zero bytes, a power of two.
  explicit ZerosOperator(std::size_t length) {
    std::uint32_t odd[32], even[32];
    odd[0] = 0x82F63B78u;  // one zero bit
    for (int n = 1; n < 32; ++n) odd[n] = 1u << (n - 1);
    Square(even, odd);  // two zero bits
    Square(odd, even);  // four zero bits
    const std::uint32_t* result = nullptr;
    for (;;) {
      Square(even, odd);  // one zero byte, then four, sixteen, ...
      length >>= 1;
      if (length == 0) {
        result = even;
        break;
      }
      Square(odd, even);  // two zero bytes, then eight, ...
      length >>= 1;
      if (length == 0) {
        result = odd;
        break;
      }
    }
    for (std::uint32_t n = 0; n < 256; ++n) {
      for (int k = 0; k < 4; ++k) tables[k][n] = Times(result, n << (8 * k));
    }
  }

  std::uint32_t Apply(std::uint32_t crc) const {
    return tables[0][crc & 0xFF] ^ tables[1][(crc >> 8) & 0xFF] ^ tables[2][(crc >> 16) & 0xFF] ^
           tables[3][crc >> 24];
  }
};

#if (defined(__i386__) || defined(__x86_64__)) && !defined(SCENERY_PORTABLE_CODE)
// The processor's own CRC-32C instruction (SSE4.2, since 2008), in three
// independent streams so that it works every cycle; the streams are joined
// by shifting the first over the bytes of the next.
constexpr std::size_t kStream = 4096;

__attribute__((target("sse4.2"))) std::uint32_t Crc32cSse42(std::uint32_t crc,
                                                            const unsigned char* p,
                                                            std::size_t size) {
  static const ZerosOperator shift(kStream);
  while (size > 0 && (reinterpret_cast<std::uintptr_t>(p) & 3) != 0) {
    crc = _mm_crc32_u8(crc, *p++);
    --size;
  }
  while (size >= 3 * kStream) {
    std::uint32_t b = 0, c = 0;
    for (std::size_t i = 0; i < kStream; i += 4) {
      std::uint32_t wa, wb, wc;
      std::memcpy(&wa, p + i, 4);
      std::memcpy(&wb, p + kStream + i, 4);
      std::memcpy(&wc, p + 2 * kStream + i, 4);
      crc = _mm_crc32_u32(crc, wa);
      b = _mm_crc32_u32(b, wb);
      c = _mm_crc32_u32(c, wc);
    }
    crc = shift.Apply(crc) ^ b;
    crc = shift.Apply(crc) ^ c;
    p += 3 * kStream;
    size -= 3 * kStream;
  }
  for (; size >= 4; p += 4, size -= 4) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    crc = _mm_crc32_u32(crc, w);
  }
  for (; size > 0; --size) crc = _mm_crc32_u8(crc, *p++);
  return crc;
}

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

// Asked once, at start; the processor's features are read first, as this
// may run before the runtime's own constructors.
const bool kHasSse42 = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse4.2") != 0;
}();
const bool kHasFolding = kHasSse42 && __builtin_cpu_supports("pclmul") != 0;
#endif

}  // namespace

std::uint32_t Crc32c(std::uint32_t crc, const void* data, std::size_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  crc = ~crc;
#if (defined(__i386__) || defined(__x86_64__)) && !defined(SCENERY_PORTABLE_CODE)
  if (kHasFolding && size >= 256) {
    crc = Crc32cFolding(crc, p, size);
  } else {
    crc = kHasSse42 ? Crc32cSse42(crc, p, size) : Crc32cPortable(crc, p, size);
  }
#else
  crc = Crc32cPortable(crc, p, size);
#endif
  return ~crc;
}


bool ReadPeFacts(ByteFile& file, PeFacts* facts) {
  const std::uint64_t size = file.Size();
  unsigned char dos[64];
  if (size < sizeof dos) return false;
  file.ReadAt(0, dos, sizeof dos);
  if (dos[0] != 'M' || dos[1] != 'Z') return false;
  const std::uint64_t pe = U32(dos + 0x3C);
  unsigned char coff[24];
  if (pe + sizeof coff > size) return false;
  file.ReadAt(pe, coff, sizeof coff);
  if (std::memcmp(coff, "PE\0\0", 4) != 0) return false;
  const unsigned sections = U16(coff + 6);
  const unsigned optional_size = U16(coff + 20);
  const std::uint64_t optional = pe + sizeof coff;
  if (optional_size < 2 || optional + optional_size > size) return false;
  std::vector<unsigned char> header(optional_size);
  file.ReadAt(optional, header.data(), header.size());
  const std::uint16_t magic = U16(header.data());
  const std::size_t directories = magic == 0x20b ? 112 : 96;  // PE32+ or PE32
  const std::size_t security = directories + 4 * 8;           // the certificate table
  facts->certificates_offset = 0;
  facts->certificates_size = 0;
  if (security + 8 <= header.size() && U32(header.data() + directories - 4) > 4) {
    facts->certificates_offset = U32(header.data() + security);
    facts->certificates_size = U32(header.data() + security + 4);
  }
  const std::uint64_t table = optional + optional_size;
  if (sections == 0 || table + 40u * sections > size) return false;
  std::vector<unsigned char> entries(40u * sections);
  file.ReadAt(table, entries.data(), entries.size());
  std::uint64_t end = table + entries.size();
  for (unsigned i = 0; i < sections; ++i) {
    const unsigned char* section = entries.data() + 40u * i;
    const std::uint64_t raw_size = U32(section + 16);
    const std::uint64_t raw_at = U32(section + 20);
    if (raw_size != 0 && raw_at + raw_size > end) end = raw_at + raw_size;
  }
  facts->image_end = end;
  return end <= size;
}

PackedState ReadPackedLayout(ByteFile& file, PackedLayout* layout, std::string* why) {
  PeFacts pe;
  if (!ReadPeFacts(file, &pe)) {
    *why = "It is not a complete Windows program.";
    return PackedState::kDamaged;
  }
  const std::uint64_t size = file.Size();
  const std::uint64_t start = Align8(pe.image_end);
  const bool signed_program = pe.certificates_size != 0;
  // Nothing after the program, or only its signature: no package.
  if (size <= pe.image_end || (signed_program && pe.certificates_offset <= start)) {
    return PackedState::kNone;
  }
  unsigned char header[kHeaderSize];
  if (size < start + kHeaderSize) {
    *why = "It ends in the middle of its package (" + std::to_string(size) + " bytes).";
    return PackedState::kDamaged;
  }
  file.ReadAt(start, header, sizeof header);
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0) {
    *why = "Bytes that are not a package follow the program.";
    return PackedState::kDamaged;
  }
  const std::uint64_t length = U64(header + 8);
  const std::uint32_t count = U32(header + 16);
  const std::uint64_t directory_at = U32(header + 20);
  const std::uint64_t directory_size = U32(header + 24);
  const std::uint32_t directory_crc = U32(header + 28);
  if (length < kHeaderSize || length % 8 != 0 || directory_at < kHeaderSize ||
      directory_at + directory_size > length || directory_size > kLargestDirectory ||
      count > directory_size / 21) {
    *why = "The header of its package is damaged.";
    return PackedState::kDamaged;
  }
  // Compared before it is added: a damaged length may be near 2^64.
  if (length > size - start) {
    *why = length > (std::uint64_t{1} << 40)
               ? "The header of its package is damaged."
               : "It is cut short: it has " + std::to_string(size) + " of its " +
                     std::to_string(start + length) + " bytes.";
    return PackedState::kDamaged;
  }
  const std::uint64_t end = start + length;
  // After the package, only a signature that the program's header lists.
  if (size > end && !(signed_program && pe.certificates_offset >= end &&
                      pe.certificates_offset + pe.certificates_size == size)) {
    *why = "Unknown bytes follow its package.";
    return PackedState::kDamaged;
  }
  std::string directory(static_cast<std::size_t>(directory_size), '\0');
  if (!directory.empty()) file.ReadAt(start + directory_at, &directory[0], directory.size());
  if (Crc32c(0, directory.data(), directory.size()) != directory_crc) {
    *why = "The list of files in its package is damaged.";
    return PackedState::kDamaged;
  }
  layout->image_end = pe.image_end;
  layout->start = start;
  layout->length = length;
  layout->files.clear();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(directory.data());
  const unsigned char* stop = p + directory.size();
  for (std::uint32_t i = 0; i < count; ++i) {
    if (stop - p < 4) break;
    const std::uint32_t name_length = U32(p);
    if (name_length == 0 || name_length > kLongestName ||
        static_cast<std::uint64_t>(stop - p) < 4u + name_length + 20u) {
      break;
    }
    PackedFile entry;
    entry.name.assign(reinterpret_cast<const char*>(p + 4), name_length);
    p += 4 + name_length;
    const std::uint64_t offset = U64(p);
    entry.size = U64(p + 8);
    entry.crc = U32(p + 16);
    p += 20;
    if (entry.name.find_first_of("\\/:") != std::string::npos || offset < kHeaderSize ||
        offset > directory_at || entry.size > directory_at - offset) {
      break;
    }
    entry.offset = start + offset;
    layout->files.push_back(entry);
  }
  if (layout->files.size() != count || p != stop) {
    *why = "The list of files in its package is damaged.";
    return PackedState::kDamaged;
  }
  return PackedState::kPackage;
}

void WritePackage(std::uint64_t image_size, const std::vector<FileToPack>& files,
                  PackWriter& writer) {
  writer.Write(std::string(static_cast<std::size_t>(Align8(image_size) - image_size), '\0'));
  std::string directory;
  std::uint64_t offset = kHeaderSize;
  for (const FileToPack& file : files) {
    Put32(directory, static_cast<std::uint32_t>(file.name.size()));
    directory += file.name;
    Put64(directory, offset);
    Put64(directory, file.size);
    Put32(directory, file.crc);
    offset += file.size;
  }
  const std::uint64_t directory_at = offset;
  const std::uint64_t length = Align8(directory_at + directory.size());
  std::string header(kMagic, sizeof kMagic);
  Put64(header, length);
  Put32(header, static_cast<std::uint32_t>(files.size()));
  Put32(header, static_cast<std::uint32_t>(directory_at));
  Put32(header, static_cast<std::uint32_t>(directory.size()));
  Put32(header, Crc32c(0, directory.data(), directory.size()));
  writer.Write(header);
  for (std::size_t i = 0; i < files.size(); ++i) writer.CopyFile(i);
  writer.Write(directory);
  writer.Write(std::string(static_cast<std::size_t>(length - directory_at - directory.size()), '\0'));
}

}  // namespace scenery
