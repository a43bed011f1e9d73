// Where the package's files come from: the folder of Setup.exe, or the
// package that a one-file Setup.exe carries. The engine and the pages ask
// this seam for the package's files and never learn which it is; the user's
// disks stay behind FileSystem.
#ifndef SCENERY_SETUP_ENGINE_PACKAGE_SOURCE_H_
#define SCENERY_SETUP_ENGINE_PACKAGE_SOURCE_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/packed_package.h"

namespace scenery {

class PackageSource {
 public:
  virtual ~PackageSource() = default;
  // The names of the package's ordinary files that match `pattern` (a file
  // name with the wildcards * and ?), without regard to letter case, in the
  // source's order.
  virtual std::vector<std::string> Find(const std::string& pattern) = 0;
  // All bytes of the package file `name`, found without regard to letter
  // case. A missing file throws kNotFound; a damaged one kBadContent.
  virtual std::string Read(const std::string& name) = 0;
  // Copies the package file `name` to `target` through `fs`, replacing a
  // file of that name. On failure no partial file is left under `target`.
  virtual void CopyTo(const std::string& name, FileSystem& fs, const std::string& target) = 0;
  // Whether the package's files lie in `folder` itself (an installation
  // into the package's own folder), as Windows compares folders.
  virtual bool LiesIn(FileSystem& fs, const std::string& folder) = 0;
  // The package file `name` as messages name it.
  virtual std::string PathOf(const std::string& name) = 0;
  // The size of the package file `name`. A missing file throws kNotFound.
  virtual std::uint64_t SizeOf(const std::string& name) = 0;
};

// The files beside the program: the folder that FileSystem::ProgramFolder
// names.
class FolderSource : public PackageSource {
 public:
  explicit FolderSource(FileSystem& fs) : fs_(fs) {}
  std::vector<std::string> Find(const std::string& pattern) override;
  std::string Read(const std::string& name) override;
  void CopyTo(const std::string& name, FileSystem& fs, const std::string& target) override;
  bool LiesIn(FileSystem& fs, const std::string& folder) override;
  std::string PathOf(const std::string& name) override;
  std::uint64_t SizeOf(const std::string& name) override { return fs_.FileLength(PathOf(name)); }

 private:
  FileSystem& fs_;
};

// The package inside the program file `program` (whose layout has been
// read), named `program_path` in messages. Each file's checksum is checked
// as it is read or copied, after decompression; the program file is never
// read whole, and a compressed file is decoded as it is copied.
class LzmaDecoder;

class CarriedSource : public PackageSource {
 public:
  CarriedSource(ByteFile& program, PackedLayout layout, std::string program_path);
  ~CarriedSource() override;
  std::vector<std::string> Find(const std::string& pattern) override;
  std::string Read(const std::string& name) override;
  void CopyTo(const std::string& name, FileSystem& fs, const std::string& target) override;
  bool LiesIn(FileSystem&, const std::string&) override { return false; }
  std::string PathOf(const std::string& name) override;
  std::uint64_t SizeOf(const std::string& name) override { return Entry(name, op::kRead).size; }

 private:
  const PackedFile& Entry(const std::string& name, const char* operation);
  // Hands the bytes of `entry` to `take` in pieces, then checks them.
  template <typename Take>
  void Stream(const PackedFile& entry, const char* operation, Take take);
  // The compressed stream that `entry` lies in, from its start; then the
  // next at most `wanted` bytes of it, into decoded_.
  template <typename Damaged>
  void StartStream(const PackedFile& entry, Damaged damaged);
  template <typename Damaged>
  std::size_t Decode(const PackedFile& entry, std::uint64_t wanted, Damaged damaged);

  // Where the decoder stands in the stream at `offset`.
  struct StreamPlace {
    std::uint64_t offset = 0;
    std::uint64_t read = 0;          // bytes of its data read
    std::uint64_t produced = 0;      // bytes decoded from it
    std::size_t have = 0, used = 0;  // of the piece of data in buffer_
  };

  ByteFile& program_;
  PackedLayout layout_;
  std::string program_path_;
  std::vector<std::uint64_t> begins_;  // of each file in its stream
  std::vector<char> buffer_;
  std::vector<char> decoded_;
  std::unique_ptr<LzmaDecoder> decoder_;
  StreamPlace stream_;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_PACKAGE_SOURCE_H_
