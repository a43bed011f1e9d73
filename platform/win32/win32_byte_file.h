// Random access to a file's bytes through Win32, held open for as long as
// the object lives: Setup.exe reads the package it carries from itself.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_WIN32_BYTE_FILE_H_
#define SCENERY_SETUP_PLATFORM_WIN32_WIN32_BYTE_FILE_H_

#include <string>

#include "engine/packed_package.h"

namespace scenery {

class Win32ByteFile : public ByteFile {
 public:
  // Opens `path` for reading, others may read it too. Throws on failure.
  explicit Win32ByteFile(const std::string& path);
  ~Win32ByteFile() override;
  Win32ByteFile(const Win32ByteFile&) = delete;
  Win32ByteFile& operator=(const Win32ByteFile&) = delete;

  std::uint64_t Size() override { return size_; }
  void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

 private:
  std::string path_;
  void* handle_ = nullptr;
  std::uint64_t size_ = 0;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_WIN32_BYTE_FILE_H_
