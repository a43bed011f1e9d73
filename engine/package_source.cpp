#include "engine/package_source.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "LzmaDec.h"
#include "engine/crc32c.h"
#include "engine/paths.h"

namespace scenery {
namespace {

constexpr std::size_t kPiece = 1 << 17;

void* Allocate(ISzAllocPtr, std::size_t size) { return std::malloc(size); }
void Free(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kHeap = {Allocate, Free};

// The LZMA decoder of one file, its dictionary freed with it.
class LzmaDecoder {
 public:
  LzmaDecoder() { LzmaDec_CONSTRUCT(&state_) }
  ~LzmaDecoder() { LzmaDec_Free(&state_, &kHeap); }
  LzmaDecoder(const LzmaDecoder&) = delete;
  LzmaDecoder& operator=(const LzmaDecoder&) = delete;
  // False for properties that are no LZMA's, or a dictionary larger than a
  // package may ask for, or no memory for it.
  bool Start(const unsigned char (&properties)[LZMA_PROPS_SIZE]) {
    CLzmaProps props;
    if (LzmaProps_Decode(&props, properties, LZMA_PROPS_SIZE) != SZ_OK ||
        props.dicSize > kLargestDictionary ||
        LzmaDec_Allocate(&state_, properties, LZMA_PROPS_SIZE, &kHeap) != SZ_OK) {
      return false;
    }
    LzmaDec_Init(&state_);
    return true;
  }
  // Decodes from `in` (taking `*in_size` of it) into `out` (giving
  // `*out_size`); false when the data is not LZMA's.
  bool Decode(const char* in, std::size_t* in_size, char* out, std::size_t* out_size) {
    ELzmaStatus status;
    return LzmaDec_DecodeToBuf(&state_, reinterpret_cast<Byte*>(out), out_size,
                               reinterpret_cast<const Byte*>(in), in_size, LZMA_FINISH_ANY,
                               &status) == SZ_OK;
  }

 private:
  CLzmaDec state_;
};

}  // namespace

std::vector<std::string> FolderSource::Find(const std::string& pattern) {
  return fs_.FindFiles(fs_.ProgramFolder() + "\\" + pattern);
}

std::string FolderSource::Read(const std::string& name) { return fs_.ReadWholeFile(PathOf(name)); }

void FolderSource::CopyTo(const std::string& name, FileSystem& fs, const std::string& target) {
  fs.CopyReplacing(PathOf(name), target);
}

bool FolderSource::LiesIn(FileSystem& fs, const std::string& folder) {
  return fs.IsSameEntry(fs_.ProgramFolder(), folder);
}

std::string FolderSource::PathOf(const std::string& name) {
  return fs_.ProgramFolder() + "\\" + name;
}

CarriedSource::CarriedSource(ByteFile& program, PackedLayout layout, std::string program_path)
    : program_(program), layout_(std::move(layout)), program_path_(std::move(program_path)) {}

std::vector<std::string> CarriedSource::Find(const std::string& pattern) {
  std::vector<std::string> names;
  for (const PackedFile& file : layout_.files) {
    if (WildcardMatch(pattern, file.name)) names.push_back(file.name);
  }
  return names;
}

const PackedFile& CarriedSource::Entry(const std::string& name, const char* operation) {
  for (const PackedFile& file : layout_.files) {
    if (UpperAscii(file.name) == UpperAscii(name)) return file;
  }
  throw Failure(FailureKind::kNotFound, operation, PathOf(name),
                "The package that Setup.exe carries has no such file.");
}

template <typename Take>
void CarriedSource::Stream(const PackedFile& entry, const char* operation, Take take) {
  auto damaged = [&] {
    return Failure(FailureKind::kBadContent, operation, PathOf(entry.name),
                   "The package that Setup.exe carries is damaged: this file's bytes do not "
                   "match their checksum. Please download the package again.");
  };
  if (buffer_.empty()) buffer_.resize(kPiece);
  std::uint32_t crc = 0;
  if (entry.method == PackMethod::kStored) {
    for (std::uint64_t done = 0; done < entry.size;) {
      const std::size_t piece =
          static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, entry.size - done));
      program_.ReadAt(entry.offset + done, buffer_.data(), piece);
      crc = Crc32c(crc, buffer_.data(), piece);
      take(buffer_.data(), piece);
      done += piece;
    }
  } else {
    // The stream is read a piece at a time and decoded a piece at a time:
    // the memory is the dictionary, whatever the file's size.
    unsigned char properties[LZMA_PROPS_SIZE];
    LzmaDecoder decoder;
    if (entry.stored < sizeof properties) throw damaged();
    program_.ReadAt(entry.offset, properties, sizeof properties);
    if (!decoder.Start(properties)) throw damaged();
    if (decoded_.empty()) decoded_.resize(kPiece);
    std::uint64_t read = sizeof properties;
    std::size_t have = 0, used = 0;  // of the piece in buffer_
    for (std::uint64_t done = 0; done < entry.size;) {
      if (used == have && read < entry.stored) {
        have = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, entry.stored - read));
        program_.ReadAt(entry.offset + read, buffer_.data(), have);
        read += have;
        used = 0;
      }
      std::size_t in = have - used;
      std::size_t out =
          static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, entry.size - done));
      if (!decoder.Decode(buffer_.data() + used, &in, decoded_.data(), &out)) throw damaged();
      if (in == 0 && out == 0) throw damaged();  // the stream ends before the file
      used += in;
      crc = Crc32c(crc, decoded_.data(), out);
      take(decoded_.data(), out);
      done += out;
    }
  }
  if (crc != entry.crc) throw damaged();
}

std::string CarriedSource::Read(const std::string& name) {
  const PackedFile& entry = Entry(name, op::kRead);
  std::string bytes;
  // Only as much as the package holds (a damaged size may say more).
  bytes.reserve(static_cast<std::size_t>(std::min(entry.size, entry.stored)));
  Stream(entry, op::kRead, [&bytes](const char* data, std::size_t size) { bytes.append(data, size); });
  return bytes;
}

void CarriedSource::CopyTo(const std::string& name, FileSystem& fs, const std::string& target) {
  const PackedFile& entry = Entry(name, op::kCopy);
  try {
    fs.WriteFileFrom(target, [&](const std::function<void(const char*, std::size_t)>& write) {
      Stream(entry, op::kCopy, write);
    });
  } catch (Failure& failure) {
    // Named as a copy from the package, whatever part of it failed.
    failure.set_path(PathOf(name)).set_target(target);
    throw;
  }
}

std::string CarriedSource::PathOf(const std::string& name) {
  return program_path_ + " (its package's " + name + ")";
}

}  // namespace scenery
