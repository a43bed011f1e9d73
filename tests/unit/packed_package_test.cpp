// The package a one-file Setup.exe carries, its files stored and compressed:
// read back as written, refused when cut short or damaged or of a form it
// does not know, found behind a signature; a file whose bytes do not match
// their checksum fails its copy and leaves nothing behind.
#include "engine/crc32c.h"
#include "engine/packed_package.h"

#include <gtest/gtest.h>

#include "engine/package_source.h"
#include "tests/support/fake_program.h"
#include "tests/support/memory_file_system.h"

namespace scenery {
namespace {

// More than one piece of a copy, compressed to more than one piece too.
std::string SceneryBytes() {
  std::string bytes(3 << 20, '\0');
  std::uint32_t seed = 7;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(i % 3 == 0 ? seed >> 24 : 'B');
  }
  return bytes;
}

const std::vector<std::pair<std::string, std::string>> kFiles = {
    {"Setup.ini", "InstallTitle=Harbour\r\n"},
    {"Harbour.bgl", SceneryBytes()},
    {"water.bmp", "BM" + std::string(5000, 'w')},
    {"License.txt", "Licence\r\n" + std::string(200, 'L')},
    {"empty.bmp", ""},
};

// Stored (form 1) and compressed (form 2).
const int kLevels[] = {0, 1};

// The package of kFiles after FakeProgram(1001), made once per level.
const std::string& PackedFiles(int level) {
  static std::string made[2];
  if (made[level != 0].empty()) made[level != 0] = Packed(FakeProgram(1001), kFiles, level);
  return made[level != 0];
}

PackedState Read(const std::string& bytes, PackedLayout* layout = nullptr) {
  MemoryByteFile file(bytes);
  PackedLayout ignored;
  std::string why;
  return ReadPackedLayout(file, layout != nullptr ? layout : &ignored, &why);
}

// CRC-32C a bit at a time, as its definition reads.
std::uint32_t Crc32cByBits(std::uint32_t crc, const std::string& bytes) {
  crc = ~crc;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0x82F63B78u : crc >> 1;
  }
  return ~crc;
}

TEST(PackedPackage, ChecksumsOnEveryPathOfTheProcessor) {
  EXPECT_EQ(Crc32c(0, "123456789", 9), 0xE3069283u);  // the check value of CRC-32C
  std::string bytes(40000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7919 % 251);
  // Sizes below and above the folding's least (64 bytes), with tails of
  // every length, at odd and even starts, whole and in two parts; the table
  // alone (processors without carry-less multiplication) the same way.
  for (std::size_t size : {1, 15, 63, 64, 79, 255, 256, 257, 1000, 12289, 39990}) {
    for (std::size_t start : {0, 1, 3}) {
      const std::string part = bytes.substr(start, size);
      EXPECT_EQ(Crc32c(5, part.data(), part.size()), Crc32cByBits(5, part)) << size << "@" << start;
      EXPECT_EQ(Crc32cByTable(5, part.data(), part.size()), Crc32cByBits(5, part)) << size;
      const std::uint32_t first = Crc32c(0, part.data(), part.size() / 3);
      EXPECT_EQ(Crc32c(first, part.data() + part.size() / 3, part.size() - part.size() / 3),
                Crc32cByBits(0, part));
    }
  }
}

TEST(PackedPackage, ReadBackAsWritten) {
  const std::string program = FakeProgram(1001);
  for (int level : kLevels) {
    SCOPED_TRACE(level);
    const std::string& packed = PackedFiles(level);
    EXPECT_EQ(packed.size() % 8, 0u);
    EXPECT_EQ(packed[1008 + 6], level == 0 ? '1' : '2');  // every Setup.exe reads form 1
    EXPECT_LT(packed.size(), program.size() + (level == 0 ? 3u << 20 : 2u << 20) + 64 * 1024);
    PackedLayout layout;
    ASSERT_EQ(Read(packed, &layout), PackedState::kPackage);
    ASSERT_EQ(layout.files.size(), kFiles.size());
    EXPECT_EQ(layout.files[0].method, PackMethod::kStored);  // larger compressed
    EXPECT_EQ(layout.files[1].method, level == 0 ? PackMethod::kStored : PackMethod::kLzmaSolid);
    EXPECT_EQ(layout.files[2].method, level == 0 ? PackMethod::kStored : PackMethod::kLzmaSolid);
    EXPECT_EQ(layout.files[3].method, level == 0 ? PackMethod::kStored : PackMethod::kLzma);
    MemoryByteFile file(packed);
    CarriedSource source(file, layout, "C:\\dl\\Setup.exe");
    EXPECT_EQ(source.Find("*.BGL"), std::vector<std::string>{"Harbour.bgl"});
    EXPECT_EQ(source.Read("license.TXT"), kFiles[3].second);
    // A solid stream's files in any order: a file before the last one read
    // starts the stream again.
    EXPECT_EQ(source.Read("water.bmp"), kFiles[2].second);
    EXPECT_EQ(source.Read("Harbour.bgl"), kFiles[1].second);
    EXPECT_EQ(source.Read("water.bmp"), kFiles[2].second);
    EXPECT_EQ(source.Read("Setup.ini"), kFiles[0].second);
    EXPECT_EQ(source.Read("empty.bmp"), "");
    MemoryFileSystem fs;
    source.CopyTo("Harbour.bgl", fs, "C:\\Harbour.bgl");
    EXPECT_EQ(fs.Contents("C:\\Harbour.bgl"), kFiles[1].second);
    EXPECT_FALSE(source.LiesIn(fs, "C:\\"));
  }
  const std::string packed = Packed(program, kFiles);
  // No package, with and without a signature of its own.
  EXPECT_EQ(Read(program), PackedState::kNone);
  std::string signed_program = program + std::string(7, '\0') + std::string(64, 'S');
  MarkSigned(signed_program, 64);
  EXPECT_EQ(Read(signed_program), PackedState::kNone);
  // A signature after the package, listed in the header: still found.
  std::string signed_packed = packed + std::string(512, 'S');
  MarkSigned(signed_packed, 512);
  EXPECT_EQ(Read(signed_packed), PackedState::kPackage);
}

TEST(PackedPackage, CutShortOrDamagedIsRefused) {
  for (int level : kLevels) {
    SCOPED_TRACE(level);
    const std::string& packed = PackedFiles(level);
    for (std::size_t length = 1002; length < packed.size(); length += packed.size() / 37) {
      EXPECT_EQ(Read(packed.substr(0, length)), PackedState::kDamaged) << length;
    }
    EXPECT_EQ(Read(packed.substr(0, packed.size() - 1)), PackedState::kDamaged);
    EXPECT_EQ(Read(packed + "junk"), PackedState::kDamaged);
    std::string huge = packed;  // a length that wraps around when added to the start
    for (int i = 0; i < 8; ++i) huge[1008 + 8 + i] = static_cast<char>(i == 0 ? 0xC8 : 0xFF);
    EXPECT_EQ(Read(huge), PackedState::kDamaged);
    EXPECT_EQ(Read(FakeProgram(1001).substr(0, 900)), PackedState::kDamaged);  // no whole program
    PackedLayout layout;
    ASSERT_EQ(Read(packed, &layout), PackedState::kPackage);
    const std::size_t directory = 1008 + 1 +
                                  (static_cast<unsigned char>(packed[1008 + 20]) |
                                   static_cast<unsigned char>(packed[1008 + 21]) << 8 |
                                   static_cast<unsigned char>(packed[1008 + 22]) << 16);
    for (std::size_t at : {std::size_t{1008}, std::size_t{1008 + 9}, std::size_t{1008 + 20},
                           directory, packed.size() - 20}) {
      std::string damaged = packed;
      damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
      EXPECT_EQ(Read(damaged), PackedState::kDamaged) << at;
    }
    // Inside the directory: one bit of the first stored name; then the first
    // entry's size run past the data, with the directory's checksum made to
    // match, so that only the entry's own check can refuse it.
    const auto u32 = [](const std::string& b, std::size_t at) {
      std::uint32_t v = 0;
      for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
      return v;
    };
    const auto put = [](std::string& b, std::size_t at, std::uint64_t v, int bytes) {
      for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    };
    const std::size_t header = 1008, entries = header + u32(packed, header + 20);
    const std::size_t directory_size = u32(packed, header + 24);
    std::string renamed = packed;
    renamed[entries + 4] = static_cast<char>(renamed[entries + 4] ^ 0x01);
    EXPECT_EQ(Read(renamed), PackedState::kDamaged);
    std::string overlong = packed;
    put(overlong, entries + 4 + u32(packed, entries) + 8, std::uint64_t{1} << 40, 8);
    put(overlong, header + 28, Crc32c(0, overlong.data() + entries, directory_size), 4);
    EXPECT_EQ(Read(overlong), PackedState::kDamaged);
    if (level != 0) {
      // The files of one solid stream that name it with different sizes.
      const std::size_t second = entries + 4 + u32(packed, entries) + 29;  // Harbour.bgl's entry
      const std::size_t third = second + 4 + u32(packed, second) + 29;     // water.bmp's
      std::string unlike = packed;
      put(unlike, third + 4 + u32(packed, third) + 20, u32(packed, third + 4 + 9 + 20) - 1, 8);
      put(unlike, header + 28, Crc32c(0, unlike.data() + entries, directory_size), 4);
      EXPECT_EQ(Read(unlike), PackedState::kDamaged);
      // A stream whose dictionary is the largest a package may have is read;
      // one byte more is refused as damaged.
      ASSERT_EQ(Read(packed, &layout), PackedState::kPackage);
      for (const std::uint64_t dictionary :
           {std::uint64_t{16} << 20, (std::uint64_t{16} << 20) + 1}) {
        std::string asks = packed;
        put(asks, static_cast<std::size_t>(layout.files[1].offset) + 1, dictionary, 4);
        MemoryByteFile file(asks);
        CarriedSource source(file, layout, "Setup.exe");
        if (dictionary == kLargestDictionary) {
          EXPECT_EQ(source.Read("Harbour.bgl"), kFiles[1].second);
        } else {
          EXPECT_THROW(source.Read("Harbour.bgl"), Failure);
        }
      }
    }
    // A form that this reader does not know is told apart from damage.
    std::string newer = packed;
    newer[header + 6] = '3';
    std::string why;
    MemoryByteFile file(newer);
    PackedLayout ignored;
    EXPECT_EQ(ReadPackedLayout(file, &ignored, &why), PackedState::kNewer);
    EXPECT_NE(why.find("newer form (3)"), std::string::npos) << why;
  }
}

TEST(PackedPackage, AFileThatDoesNotMatchItsChecksumFailsAndLeavesNothing) {
  // One byte changed in the data's third piece, and (compressed) in its
  // first bytes, its properties, and its last.
  const struct {
    int level;
    double at;  // of the data
  } cases[] = {{0, 0.7}, {1, 0.7}, {1, 0.0}, {1, 0.0001}, {1, 0.9999}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.at);
    std::string packed = PackedFiles(c.level);
    PackedLayout layout;
    ASSERT_EQ(Read(packed, &layout), PackedState::kPackage);
    const PackedFile& bgl = layout.files[1];
    const std::size_t at = static_cast<std::size_t>(bgl.offset + bgl.stored * c.at);
    packed[at] = static_cast<char>(packed[at] ^ 0x10);
    MemoryByteFile file(packed);
    CarriedSource source(file, layout, "C:\\dl\\Setup.exe");
    MemoryFileSystem fs;
    fs.AddFile("C:\\Scenery\\Harbour.bgl", "an older version");
    try {
      source.CopyTo("Harbour.bgl", fs, "C:\\Scenery\\Harbour.bgl");
      FAIL() << "a damaged file was copied";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind(), FailureKind::kBadContent);
      EXPECT_EQ(failure.path(), "C:\\dl\\Setup.exe (its package's Harbour.bgl)");
      EXPECT_EQ(failure.target(), "C:\\Scenery\\Harbour.bgl");
      EXPECT_NE(failure.reason().find("download the package again"), std::string::npos);
    }
    EXPECT_FALSE(fs.Has("C:\\Scenery\\Harbour.bgl"));
    EXPECT_THROW(source.Read("Harbour.bgl"), Failure);
  }
}

}  // namespace
}  // namespace scenery
