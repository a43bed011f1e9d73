#include "engine/package_source.h"

#include <algorithm>
#include <utility>

#include "engine/crc32c.h"
#include "engine/paths.h"

namespace scenery {
namespace {

constexpr std::size_t kPiece = 1 << 17;

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
  if (buffer_.empty()) buffer_.resize(kPiece);
  std::uint32_t crc = 0;
  for (std::uint64_t done = 0; done < entry.size;) {
    const std::size_t piece =
        static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, entry.size - done));
    program_.ReadAt(entry.offset + done, buffer_.data(), piece);
    crc = Crc32c(crc, buffer_.data(), piece);
    take(buffer_.data(), piece);
    done += piece;
  }
  if (crc != entry.crc) {
    throw Failure(FailureKind::kBadContent, operation, PathOf(entry.name),
                  "The package that Setup.exe carries is damaged: this file's bytes do not match "
                  "their checksum. Please download the package again.");
  }
}

std::string CarriedSource::Read(const std::string& name) {
  const PackedFile& entry = Entry(name, op::kRead);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(entry.size));
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
