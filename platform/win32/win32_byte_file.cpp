#include "platform/win32/win32_byte_file.h"

#include <windows.h>

#include "platform/win32/win32_file_system.h"

namespace scenery {

Win32ByteFile::Win32ByteFile(const std::string& path) : path_(path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw SystemFailure(GetLastError(), op::kRead, path);
  handle_ = file;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    const DWORD code = GetLastError();
    CloseHandle(file);
    throw SystemFailure(code, op::kRead, path);
  }
  size_ = static_cast<std::uint64_t>(size.QuadPart);
}

Win32ByteFile::~Win32ByteFile() { CloseHandle(static_cast<HANDLE>(handle_)); }

void Win32ByteFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  HANDLE file = static_cast<HANDLE>(handle_);
  if (offset > size_ || size > size_ - offset) {
    throw Failure(FailureKind::kBadContent, op::kRead, path_, "The file ends too soon.");
  }
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
    throw SystemFailure(GetLastError(), op::kRead, path_);
  }
  char* out = static_cast<char*>(buffer);
  while (size > 0) {
    DWORD got = 0;
    if (!ReadFile(file, out, static_cast<DWORD>(size), &got, nullptr)) {
      throw SystemFailure(GetLastError(), op::kRead, path_);
    }
    if (got == 0) throw Failure(FailureKind::kBadContent, op::kRead, path_, "The file ends too soon.");
    out += got;
    size -= got;
  }
}

}  // namespace scenery
