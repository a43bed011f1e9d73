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
// The pieces a compressed stream is read and decoded in: the decoder runs
// at its full speed from half a MiB on (with 128 KiB it takes twice as long).
constexpr std::size_t kCodedPiece = 1 << 19;

void* Allocate(ISzAllocPtr, std::size_t size) { return std::malloc(size); }
void Free(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kHeap = {Allocate, Free};

}  // namespace

// An LZMA decoder, its dictionary freed with it.
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
    : program_(program), layout_(std::move(layout)), program_path_(std::move(program_path)) {
  // Where each file begins in its stream: after the files before it there.
  for (std::size_t i = 0; i < layout_.files.size(); ++i) {
    const PackedFile& file = layout_.files[i];
    const bool follows = file.method == PackMethod::kLzmaSolid && i > 0 &&
                         layout_.files[i - 1].method == PackMethod::kLzmaSolid &&
                         layout_.files[i - 1].offset == file.offset;
    begins_.push_back(follows ? begins_.back() + layout_.files[i - 1].size : 0);
  }
}

CarriedSource::~CarriedSource() = default;

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
  if (buffer_.size() < kPiece) buffer_.resize(kPiece);
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
    // the memory is the dictionary, whatever the file's size. A solid
    // stream goes on from where the file before stopped (the copy run
    // copies in the stream's order); any other file starts it again.
    const std::uint64_t begin = begins_[static_cast<std::size_t>(&entry - layout_.files.data())];
    try {
      if (!decoder_ || stream_.offset != entry.offset || stream_.produced > begin) {
        StartStream(entry, damaged);
      }
      while (stream_.produced < begin) Decode(entry, begin - stream_.produced, damaged);
      for (std::uint64_t done = 0; done < entry.size;) {
        const std::size_t out = Decode(entry, entry.size - done, damaged);
        crc = Crc32c(crc, decoded_.data(), out);
        take(decoded_.data(), out);
        done += out;
      }
    } catch (...) {
      decoder_.reset();  // in the middle of a file: started again next time
      throw;
    }
  }
  if (crc != entry.crc) throw damaged();
}

template <typename Damaged>
void CarriedSource::StartStream(const PackedFile& entry, Damaged damaged) {
  unsigned char properties[LZMA_PROPS_SIZE];
  if (entry.stored < sizeof properties) throw damaged();
  program_.ReadAt(entry.offset, properties, sizeof properties);
  decoder_ = std::make_unique<LzmaDecoder>();
  if (!decoder_->Start(properties)) throw damaged();
  buffer_.resize(kCodedPiece);
  decoded_.resize(kCodedPiece);
  stream_ = StreamPlace{entry.offset, sizeof properties, 0, 0, 0};
}

template <typename Damaged>
std::size_t CarriedSource::Decode(const PackedFile& entry, std::uint64_t wanted, Damaged damaged) {
  StreamPlace& s = stream_;
  if (s.used == s.have && s.read < entry.stored) {
    s.have = static_cast<std::size_t>(std::min<std::uint64_t>(kCodedPiece, entry.stored - s.read));
    program_.ReadAt(entry.offset + s.read, buffer_.data(), s.have);
    s.read += s.have;
    s.used = 0;
  }
  std::size_t in = s.have - s.used;
  std::size_t out = static_cast<std::size_t>(std::min<std::uint64_t>(kCodedPiece, wanted));
  if (!decoder_->Decode(buffer_.data() + s.used, &in, decoded_.data(), &out)) throw damaged();
  if (in == 0 && out == 0) throw damaged();  // the stream ends before its files
  s.used += in;
  s.produced += out;
  return out;
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
