// The package that a one-file Setup.exe carries after its program image,
// and the reader and writer of its bytes.
//
// Layout, all numbers little-endian:
//
//   program image          the PE file as the linker made it
//   zero bytes             to the next multiple of 8
//   header, 32 bytes       "SCNPKG1\0" (every file stored as it is) or
//                          "SCNPKG2\0" (files may be compressed); u64 package
//                          length (from the header to the end of the package,
//                          padding included); u32 number of files; u32 offset
//                          of the directory (from the header); u32 size of the
//                          directory; u32 CRC-32C of the directory
//   file data              each file's data, one after the other: its bytes,
//                          or its LZMA stream (5 bytes of properties, then the
//                          coded bytes, without an end mark), or its share of
//                          a solid LZMA stream that holds files one after the
//                          other in the directory's order
//   directory              per file: u32 length of the name, the name (ANSI),
//                          u64 offset of the data (from the header), u64 size,
//                          u32 CRC-32C of the file's bytes; in form 2 then u64
//                          size of the data and u8 method (0 stored, 1 LZMA,
//                          2 LZMA solid: offset and data size are those of
//                          the stream, the same for each file in it)
//   zero bytes             to the next multiple of 8
//   (certificate table)    an Authenticode signature added later, which the
//                          PE header's security directory lists
//
// The header at the image's end tells a Setup.exe that carries a package
// from one that carries none, and its length tells a package cut short.
#ifndef SCENERY_SETUP_ENGINE_PACKED_PACKAGE_H_
#define SCENERY_SETUP_ENGINE_PACKED_PACKAGE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_system.h"

namespace scenery {

// Bytes held in memory, read as the file `name` (which a read beyond their
// end names in its failure).
class MemoryByteFile : public ByteFile {
 public:
  explicit MemoryByteFile(std::string bytes, std::string name = "Setup.exe")
      : bytes_(std::move(bytes)), name_(std::move(name)) {}
  std::uint64_t Size() override { return bytes_.size(); }
  void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
  std::string name_;
};

enum class PackMethod : std::uint8_t { kStored = 0, kLzma = 1, kLzmaSolid = 2 };

// The largest LZMA dictionary a package may ask for: what the decoder of
// one file needs, whatever the package's size, for machines with little
// memory.
constexpr std::uint32_t kLargestDictionary = 16u << 20;

struct PackedFile {
  std::string name;
  std::uint64_t offset = 0;  // of the data, from the start of the file holding it
  std::uint64_t size = 0;    // of the file's bytes
  std::uint32_t crc = 0;     // of the file's bytes
  std::uint64_t stored = 0;  // bytes of data in the package
  PackMethod method = PackMethod::kStored;
};

struct PackedLayout {
  std::uint64_t image_end = 0;   // where the program image ends
  std::uint64_t start = 0;       // where the header starts
  std::uint64_t length = 0;      // of the package, header to padding's end
  std::vector<PackedFile> files;
};

enum class PackedState {
  kNone,     // the program carries no package
  kPackage,  // a whole package, as far as can be told without reading every file
  kDamaged,  // a package cut short, or damaged where it can be seen at once
  kNewer,    // a package of a form that this program does not know
};

// Reads the layout of the package that `file` carries: the header, the
// directory and its checksum, every file within the package, the file's
// length. The files' own checksums are checked as they are read.
PackedState ReadPackedLayout(ByteFile& file, PackedLayout* layout, std::string* why);

// Where the PE image of `file` ends (past its last section's bytes), and
// its certificate table; false when it is no PE image.
struct PeFacts {
  std::uint64_t image_end = 0;
  std::uint64_t certificates_offset = 0;  // 0 when unsigned
  std::uint64_t certificates_size = 0;
  std::uint64_t security_entry = 0;  // file offset of the header's certificate-table entry, or 0
};
bool ReadPeFacts(ByteFile& file, PeFacts* facts);

// The bytes that follow a program image of `image_size` bytes to make it
// carry `files` (name and bytes): padding, header, data, directory,
// padding. Data is added through `write` in order, so that large files
// need not be held at once: `write(bytes)` for fixed parts, and
// `copy(index)` for the data of file `index`, whose size and CRC-32C are
// given in `files` (and the size of its data, when compressed). A package
// whose files are all stored is written in form 1, which every Setup.exe
// reads.
struct FileToPack {
  std::string name;
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
  PackMethod method = PackMethod::kStored;
  std::uint64_t stored = 0;  // bytes of data that copy(index) gives, when compressed
};
// Files of kLzmaSolid next to each other in `files` share one stream, which
// copy(index) of the first of them gives whole; `stored` is its size in
// each.
struct PackWriter {
  virtual ~PackWriter() = default;
  virtual void Write(const std::string& bytes) = 0;
  virtual void CopyFile(std::size_t index) = 0;
};
void WritePackage(std::uint64_t image_size, const std::vector<FileToPack>& files,
                  PackWriter& writer);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_PACKED_PACKAGE_H_
