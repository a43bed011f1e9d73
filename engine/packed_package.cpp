#include "engine/packed_package.h"

#include <cstring>

#include "engine/crc32c.h"
#include "engine/file_system.h"

namespace scenery {
namespace {

// "SCNPKG" and the form's digit.
constexpr char kMagic[8] = {'S', 'C', 'N', 'P', 'K', 'G', '1', '\0'};
constexpr std::size_t kFormAt = 6;
constexpr char kNewestForm = '2';
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

}  // namespace

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
  facts->security_entry = 0;
  if (security + 8 <= header.size() && U32(header.data() + directories - 4) > 4) {
    facts->security_entry = optional + security;
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
  const char form = static_cast<char>(header[kFormAt]);
  if (std::memcmp(header, kMagic, kFormAt) != 0 || form < '1' || form > '9' ||
      header[kFormAt + 1] != '\0') {
    *why = "Bytes that are not a package follow the program.";
    return PackedState::kDamaged;
  }
  if (form > kNewestForm) {
    *why =
        std::string("Its package is of a newer form (") + form + ") than this Setup.exe can read.";
    return PackedState::kNewer;
  }
  const std::size_t tail = form == '1' ? 20 : 29;  // bytes of an entry after its name
  const std::uint64_t length = U64(header + 8);
  const std::uint32_t count = U32(header + 16);
  const std::uint64_t directory_at = U32(header + 20);
  const std::uint64_t directory_size = U32(header + 24);
  const std::uint32_t directory_crc = U32(header + 28);
  if (length < kHeaderSize || length % 8 != 0 || directory_at < kHeaderSize ||
      directory_at + directory_size > length || directory_size > kLargestDirectory ||
      count > directory_size / (5 + tail)) {
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
        static_cast<std::uint64_t>(stop - p) < 4u + name_length + tail) {
      break;
    }
    PackedFile entry;
    entry.name.assign(reinterpret_cast<const char*>(p + 4), name_length);
    p += 4 + name_length;
    const std::uint64_t offset = U64(p);
    entry.size = U64(p + 8);
    entry.crc = U32(p + 16);
    entry.stored = entry.size;
    if (form != '1') {
      entry.stored = U64(p + 20);
      entry.method = static_cast<PackMethod>(p[28]);
    }
    p += tail;
    if (entry.name.find_first_of("\\/:") != std::string::npos || offset < kHeaderSize ||
        offset > directory_at || entry.stored > directory_at - offset ||
        entry.method > PackMethod::kLzmaSolid ||
        (entry.method == PackMethod::kStored && entry.stored != entry.size)) {
      break;
    }
    // The files of one solid stream name it alike.
    if (entry.method == PackMethod::kLzmaSolid && !layout->files.empty() &&
        layout->files.back().method == PackMethod::kLzmaSolid &&
        layout->files.back().offset == start + offset &&
        layout->files.back().stored != entry.stored) {
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
  bool compressed = false;
  for (const FileToPack& file : files) compressed |= file.method != PackMethod::kStored;
  std::string directory;
  std::uint64_t offset = kHeaderSize;
  std::vector<bool> copies;  // whether CopyFile(i) gives data of its own
  for (std::size_t i = 0; i < files.size(); ++i) {
    const FileToPack& file = files[i];
    const std::uint64_t stored = file.method == PackMethod::kStored ? file.size : file.stored;
    // A solid stream's later files lie in the data of its first.
    const bool later = file.method == PackMethod::kLzmaSolid && i > 0 &&
                       files[i - 1].method == PackMethod::kLzmaSolid;
    if (later) offset -= stored;
    copies.push_back(!later);
    Put32(directory, static_cast<std::uint32_t>(file.name.size()));
    directory += file.name;
    Put64(directory, offset);
    Put64(directory, file.size);
    Put32(directory, file.crc);
    if (compressed) {
      Put64(directory, stored);
      directory += static_cast<char>(file.method);
    }
    offset += stored;
  }
  const std::uint64_t directory_at = offset;
  const std::uint64_t length = Align8(directory_at + directory.size());
  std::string header(kMagic, sizeof kMagic);
  if (compressed) header[kFormAt] = kNewestForm;
  Put64(header, length);
  Put32(header, static_cast<std::uint32_t>(files.size()));
  Put32(header, static_cast<std::uint32_t>(directory_at));
  Put32(header, static_cast<std::uint32_t>(directory.size()));
  Put32(header, Crc32c(0, directory.data(), directory.size()));
  writer.Write(header);
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (copies[i]) writer.CopyFile(i);
  }
  writer.Write(directory);
  writer.Write(std::string(static_cast<std::size_t>(length - directory_at - directory.size()), '\0'));
}

void MemoryByteFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) {
    throw Failure(FailureKind::kBadContent, op::kRead, name_, "The file ends too soon.");
  }
  bytes_.copy(static_cast<char*>(buffer), size, static_cast<std::size_t>(offset));
}

}  // namespace scenery
