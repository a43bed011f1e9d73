#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <utility>

#include "engine/journal.h"
#include "engine/paths.h"
#include "platform/win32/system_libraries.h"

namespace scenery {
namespace {

// Owns one HANDLE; closes it on every way out of a scope.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.handle_) {
    other.handle_ = INVALID_HANDLE_VALUE;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) {
      if (valid()) CloseHandle(handle_);
      handle_ = other.handle_;
      other.handle_ = INVALID_HANDLE_VALUE;
    }
    return *this;
  }
  ~ScopedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Owns one search handle of FindFirstFileA.
class ScopedFind {
 public:
  ScopedFind(const std::string& pattern, WIN32_FIND_DATAA* data)
      : handle_(FindFirstFileA(pattern.c_str(), data)) {}
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  ~ScopedFind() {
    if (valid()) FindClose(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

FailureKind KindOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_UNIT:
      return FailureKind::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FailureKind::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FailureKind::kInUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FailureKind::kDiskFull;
    case ERROR_NOT_READY:
      return FailureKind::kNotReady;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
      return FailureKind::kInvalidName;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return FailureKind::kAlreadyExists;
    default:
      return FailureKind::kOther;
  }
}

// The errors with which a search or a probe says "nothing there".
bool MeansMissing(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_NO_MORE_FILES || code == ERROR_INVALID_NAME ||
         code == ERROR_BAD_PATHNAME || code == ERROR_INVALID_DRIVE ||
         code == ERROR_DIRECTORY || code == ERROR_FILENAME_EXCED_RANGE;
}

[[noreturn]] void ThrowLastError(const char* operation, const std::string& path) {
  throw SystemFailure(GetLastError(), operation, path);
}

ScopedHandle OpenFile(const std::string& path, DWORD access, DWORD share, const char* operation) {
  ScopedHandle file(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) ThrowLastError(operation, path);
  return file;
}

std::uint64_t LengthOf(HANDLE file, const char* operation, const std::string& path) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) ThrowLastError(operation, path);
  return static_cast<std::uint64_t>(size.QuadPart);
}

void SeekTo(HANDLE file, std::uint64_t offset, const char* operation, const std::string& path) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, distance, nullptr, FILE_BEGIN)) ThrowLastError(operation, path);
}

// Writes all of `bytes` at the file's position, then flushes them to the
// disk; a failure names `operation` and `path`.
void WriteAndFlush(HANDLE file, const std::string& bytes, const char* operation,
                   const std::string& path) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(bytes.size() - done);
    if (!WriteFile(file, bytes.data() + done, want, &written, nullptr)) {
      ThrowLastError(operation, path);
    }
    if (written == 0) throw SystemFailure(ERROR_DISK_FULL, operation, path);
    done += written;
  }
  if (!FlushFileBuffers(file)) ThrowLastError(operation, path);
}

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

// Hands every entry of `folder` to `visit`; a failure of the search throws,
// naming `operation` and the folder.
template <typename Visit>
void ForEachEntry(const std::string& folder, const char* operation, Visit visit) {
  std::string pattern = folder;
  if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA data;
  ScopedFind find(pattern, &data);
  if (!find.valid()) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES) return;
    throw SystemFailure(code, operation, folder);
  }
  do {
    visit(data);
  } while (FindNextFileA(find.get(), &data));
  const DWORD code = GetLastError();
  if (code != ERROR_NO_MORE_FILES) throw SystemFailure(code, operation, folder);
}

// The bytes of a file through a handle that the caller keeps open.
class HandleFile : public ByteFile {
 public:
  HandleFile(HANDLE file, const std::string& path) : file_(file), path_(path) {}
  std::uint64_t Size() override { return LengthOf(file_, op::kRead, path_); }
  void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    SeekTo(file_, offset, op::kRead, path_);
    char* into = static_cast<char*>(buffer);
    while (size > 0) {
      DWORD got = 0;
      if (!ReadFile(file_, into, static_cast<DWORD>(size), &got, nullptr)) {
        ThrowLastError(op::kRead, path_);
      }
      if (got == 0) throw SystemFailure(ERROR_HANDLE_EOF, op::kRead, path_);
      into += got;
      size -= got;
    }
  }

 private:
  HANDLE file_;
  const std::string& path_;
};

class Win32FolderHold : public FolderHold {
 public:
  explicit Win32FolderHold(ScopedHandle folder) : folder_(std::move(folder)) {}

 private:
  ScopedHandle folder_;
};

// Sets information of an open file through ntdll's NtSetInformationFile,
// which every Windows from XP to 11 has (SetFileInformationByHandle is
// Vista's and later). Returns a Win32 error code, 0 for success.
DWORD SetFileInformation(HANDLE file, void* information, ULONG size, int information_class) {
  struct IoStatus {
    union {
      LONG status;
      void* pointer;
    };
    ULONG_PTR information;
  };
  using SetFn = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
  using ToErrorFn = ULONG(WINAPI*)(LONG);
  static const auto set =
      reinterpret_cast<SetFn>(SystemFunction(L"ntdll.dll", "NtSetInformationFile"));
  static const auto to_error =
      reinterpret_cast<ToErrorFn>(SystemFunction(L"ntdll.dll", "RtlNtStatusToDosError"));
  if (set == nullptr || to_error == nullptr) return ERROR_PROC_NOT_FOUND;
  IoStatus io = {};
  const LONG status = set(file, &io, information, size, information_class);
  return status >= 0 ? 0 : to_error(status);
}

}  // namespace

// The system (SY) and administrators (BA) full control (FA), users (BU)
// read and run (FR, FX), each for the folder, its subfolders and its files
// (OICI); "P": nothing inherited from the folder above.
const char kProtectedAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

std::string SystemErrorText(unsigned long code) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text;
  if (length != 0 && buffer != nullptr) text.assign(buffer, length);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) text = "Windows reported error " + std::to_string(code) + ".";
  return text;
}

Failure SystemFailure(unsigned long code, const char* operation, const std::string& path) {
  return Failure(KindOf(code), operation, path, SystemErrorText(code));
}

std::string ProgramPath() {
  char buffer[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) ThrowLastError(op::kFindProgram, "Setup.exe");
  return std::string(buffer, length);
}

std::string WindowsFolder() {
  char buffer[MAX_PATH + 1];
  const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

std::string Win32FileSystem::ProgramFolder() {
  return ParentFolder(ProgramPath());
}

std::vector<std::string> Win32FileSystem::FindFiles(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  ScopedFind find(pattern, &data);
  if (!find.valid()) {
    const DWORD code = GetLastError();
    if (MeansMissing(code)) return names;
    throw SystemFailure(code, op::kFind, pattern);
  }
  do {
    if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | kHiddenOrSystem)) == 0) {
      names.emplace_back(data.cFileName);
    }
  } while (FindNextFileA(find.get(), &data));
  const DWORD code = GetLastError();
  if (code != ERROR_NO_MORE_FILES) throw SystemFailure(code, op::kFind, pattern);
  return names;
}

std::vector<FileEntry> Win32FileSystem::ListFiles(const std::string& folder) {
  std::vector<FileEntry> files;
  ForEachEntry(folder, op::kListFiles, [&files](const WIN32_FIND_DATAA& data) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    FileEntry entry;
    entry.name = data.cFileName;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.hidden_or_system = (data.dwFileAttributes & kHiddenOrSystem) != 0;
    files.push_back(entry);
  });
  return files;
}

PathInfo Win32FileSystem::Probe(const std::string& path) {
  PathInfo info;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (MeansMissing(code) || code == ERROR_BAD_NETPATH || code == ERROR_BAD_NET_NAME) {
      return info;
    }
    throw SystemFailure(code, op::kProbe, path);
  }
  info.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
  info.hidden_or_system = (attributes & kHiddenOrSystem) != 0;
  info.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  info.link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return info;
}

void Win32FileSystem::MakeFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return;
  const DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_ACCESS_DENIED) {
    // A drive root reports access denied; both are fine for a folder.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  }
  throw SystemFailure(code, op::kMakeFolder, path);
}

bool Win32FileSystem::IsSameEntry(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION info[2];
  const std::string* names[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    // No access asked: the entry is only looked at, whoever holds it open.
    // Folders open only with backup semantics.
    ScopedHandle entry(CreateFileA(names[i]->c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry.valid() || !GetFileInformationByHandle(entry.get(), &info[i])) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
         info[0].nFileIndexLow == info[1].nFileIndexLow;
}

void Win32FileSystem::CopyReplacing(const std::string& from, const std::string& to) {
  const BOOL fail_if_exists = FALSE;
  if (CopyFileA(from.c_str(), to.c_str(), fail_if_exists)) return;
  Failure failure = SystemFailure(GetLastError(), op::kCopy, from);
  failure.set_target(to);
  throw failure;
}

void Win32FileSystem::MakeWritable(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) ThrowLastError(op::kMakeWritable, path);
  if (!(attributes & FILE_ATTRIBUTE_READONLY)) return;
  if (!SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
    ThrowLastError(op::kMakeWritable, path);
  }
}

void Win32FileSystem::RenameFile(const std::string& from, const std::string& to) {
  if (!MoveFileA(from.c_str(), to.c_str())) ThrowLastError(op::kRename, from);
}

void Win32FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ThrowLastError(op::kReplace, to);
  }
}

namespace {

// The file that `path` leads to: itself, or where a link there points.
// Windows XP has no links to files, nor the call that tells their target.
std::string FileBehind(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return path;
  }
  using FinalFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  static const auto final_path =
      reinterpret_cast<FinalFn>(SystemFunction(L"kernel32.dll", "GetFinalPathNameByHandleA"));
  if (final_path == nullptr) return path;
  ScopedHandle file(CreateFileA(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) ThrowLastError(op::kRewrite, path);
  char buffer[MAX_PATH + 8];
  const DWORD length = final_path(file.get(), buffer, sizeof buffer, 0 /* FILE_NAME_NORMALIZED */);
  if (length == 0 || length >= sizeof buffer) ThrowLastError(op::kRewrite, path);
  std::string target(buffer, length);
  // "\\?\C:\..." or "\\?\UNC\server\share\...".
  if (target.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + target.substr(8);
  if (target.compare(0, 4, "\\\\?\\") == 0) return target.substr(4);
  return target;
}

// `path` with its last part spelt as the folder holds it: a replacement
// takes the name it is given, and the user's SCENERY.CFG stays SCENERY.CFG.
std::string AsStored(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  const std::string leaf = path.substr(slash + 1);
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(path.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return path;
  FindClose(find);
  // The same name but for case, never what a wildcard in it would match.
  if (lstrcmpiA(found.cFileName, leaf.c_str()) != 0) return path;
  return path.substr(0, slash + 1) + found.cFileName;
}

// Whatever a failed ReplaceFileA leaves of the spare file goes.
void RemoveSpare(const std::string& spare) {
  SetFileAttributesA(spare.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(spare.c_str());
}

}  // namespace

void Win32FileSystem::ReplaceContents(const std::string& path, const std::string& bytes) {
  const std::string target = AsStored(FileBehind(path));
  // Opened for writing, nothing written: a read-only file, or one that
  // another program holds open, is refused before anything is written.
  OpenFile(target, GENERIC_WRITE, FILE_SHARE_READ, op::kRewrite);
  // The spare takes the old file's hidden, system and archive attributes,
  // which the replacement does not carry over on every system.
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = GetFileAttributesA(target.c_str());
  const DWORD spare_attributes = attributes != INVALID_FILE_ATTRIBUTES && (attributes & kept) != 0
                                     ? attributes & kept
                                     : FILE_ATTRIBUTE_NORMAL;
  // The first free spare name beside it.
  const std::string folder = target.substr(0, target.rfind('\\') + 1);
  std::string spare;
  ScopedHandle file(INVALID_HANDLE_VALUE);
  for (int number = 1; !file.valid(); ++number) {
    spare = folder + SpareFileName(number);
    file = ScopedHandle(CreateFileA(spare.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    spare_attributes, nullptr));
    if (!file.valid() && (GetLastError() != ERROR_FILE_EXISTS || number == 0xFFFF)) {
      ThrowLastError(op::kRewrite, target);
    }
  }
  try {
    // On the disk before it takes the old file's name: a power cut after
    // the replacement finds the new bytes there.
    WriteAndFlush(file.get(), bytes, op::kRewrite, target);
    file = ScopedHandle(INVALID_HANDLE_VALUE);
  } catch (...) {
    file = ScopedHandle(INVALID_HANDLE_VALUE);
    RemoveSpare(spare);
    throw;
  }
  // The system's replacement keeps the old file's access list, short name
  // and creation time, and swaps the names in one step.
  if (ReplaceFileA(target.c_str(), spare.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr,
                   nullptr)) {
    return;
  }
  DWORD code = GetLastError();
  if (code == ERROR_UNABLE_TO_REMOVE_REPLACED) {
    // The old file could not be moved aside: say why, as opening it tells.
    ScopedHandle held(CreateFileA(target.c_str(), GENERIC_READ | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    code = held.valid() ? ERROR_ACCESS_DENIED : GetLastError();
  } else if (code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED ||
             code == ERROR_INVALID_PARAMETER || code == ERROR_CALL_NOT_IMPLEMENTED ||
             code == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
    // A volume that cannot replace a file so (some network shares), or a
    // replacement that moved the old file away but stopped before the spare
    // took its name: the spare is moved into its place, in one step where
    // the volume can.
    if (MoveFileExA(spare.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return;
    }
    code = GetLastError();
  }
  RemoveSpare(spare);
  throw SystemFailure(code, op::kRewrite, target);
}

void Win32FileSystem::RemoveFile(const std::string& path) {
  if (!DeleteFileA(path.c_str())) ThrowLastError(op::kRemoveFile, path);
}

void Win32FileSystem::MakeProtectedFolder(const std::string& path) {
  using ConvertFn = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
  using GetDaclFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);
  using SetNamedFn = DWORD(WINAPI*)(LPSTR, int, SECURITY_INFORMATION, PSID, PSID, PACL, PACL);
  const auto convert = reinterpret_cast<ConvertFn>(
      SystemFunction(L"advapi32.dll", "ConvertStringSecurityDescriptorToSecurityDescriptorA"));
  const auto get_dacl =
      reinterpret_cast<GetDaclFn>(SystemFunction(L"advapi32.dll", "GetSecurityDescriptorDacl"));
  const auto set_named =
      reinterpret_cast<SetNamedFn>(SystemFunction(L"advapi32.dll", "SetNamedSecurityInfoA"));
  if (convert == nullptr || get_dacl == nullptr || set_named == nullptr) {
    throw SystemFailure(ERROR_PROC_NOT_FOUND, op::kProtectFolder, path);
  }
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!convert(kProtectedAccess, 1 /* SDDL_REVISION_1 */, &descriptor, nullptr)) {
    ThrowLastError(op::kProtectFolder, path);
  }
  struct Free {
    PSECURITY_DESCRIPTOR descriptor;
    ~Free() { LocalFree(descriptor); }
  } free_descriptor{descriptor};
  // Made with the list from its first moment; a folder already there is
  // given it below.
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  if (!CreateDirectoryA(path.c_str(), &attributes) && GetLastError() != ERROR_ALREADY_EXISTS) {
    ThrowLastError(op::kMakeFolder, path);
  }
  const DWORD kind = GetFileAttributesA(path.c_str());
  if (kind == INVALID_FILE_ATTRIBUTES) ThrowLastError(op::kProtectFolder, path);
  if (!(kind & FILE_ATTRIBUTE_DIRECTORY))
    throw SystemFailure(ERROR_ALREADY_EXISTS, op::kMakeFolder, path);
  if (kind & FILE_ATTRIBUTE_REPARSE_POINT) {
    throw Failure(FailureKind::kAccessDenied, op::kProtectFolder, path,
                  "It is a link to another folder.");
  }
  BOOL present = FALSE, defaulted = FALSE;
  PACL list = nullptr;
  if (!get_dacl(descriptor, &present, &list, &defaulted)) ThrowLastError(op::kProtectFolder, path);
  std::string name = path;
  const DWORD code = set_named(&name[0], 1 /* SE_FILE_OBJECT */,
                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                               nullptr, nullptr, list, nullptr);
  if (code != ERROR_SUCCESS) throw SystemFailure(code, op::kProtectFolder, path);
}

std::unique_ptr<FolderHold> Win32FileSystem::HoldFolder(const std::string& path) {
  // Opened itself, not what a link leads to (FILE_FLAG_OPEN_REPARSE_POINT,
  // Windows 2000 and later), and shared for reading and writing but not
  // for deleting: renaming, moving or deleting the folder needs that.
  ScopedHandle folder(
      CreateFileA(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!folder.valid()) {
    const DWORD code = GetLastError();
    if (MeansMissing(code)) return nullptr;
    throw SystemFailure(code, op::kHoldFolder, path);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder.get(), &info)) ThrowLastError(op::kHoldFolder, path);
  // Looked at by its name too, once it is held: Wine opens what a link
  // leads to but tells a link to a folder by its name.
  const DWORD named = GetFileAttributesA(path.c_str());
  const DWORD link = FILE_ATTRIBUTE_REPARSE_POINT;
  if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (info.dwFileAttributes & link) ||
      named == INVALID_FILE_ATTRIBUTES || (named & link)) {
    return nullptr;
  }
  return std::make_unique<Win32FolderHold>(std::move(folder));
}

RemoveOutcome Win32FileSystem::RemoveFileIf(const std::string& path,
                                            const std::function<bool(ByteFile&)>& still_ours) {
  // One opening for the check and the deletion: the entry itself, never a
  // link's target, shared for reading only, so that nobody writes, renames
  // or deletes it in between.
  ScopedHandle file(CreateFileA(
      path.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    const DWORD code = GetLastError();
    if (MeansMissing(code)) return RemoveOutcome::kMissing;
    throw SystemFailure(code, op::kRemoveFile, path);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.get(), &info)) ThrowLastError(op::kRemoveFile, path);
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveOutcome::kLink;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveOutcome::kMissing;
  HandleFile bytes(file.get(), path);
  if (!still_ours(bytes)) return RemoveOutcome::kKept;
  // FILE_BASIC_INFORMATION (class 4): zero times stay as they are.
  struct {
    LARGE_INTEGER times[4];
    ULONG attributes;
  } basic = {};
  const bool read_only = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only) {
    basic.attributes = (info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
    if (const DWORD code = SetFileInformation(file.get(), &basic, sizeof basic, 4)) {
      throw SystemFailure(code, op::kMakeWritable, path);
    }
  }
  // FILE_DISPOSITION_INFORMATION (class 13): deleted when this handle closes.
  BOOLEAN remove = TRUE;
  if (const DWORD code = SetFileInformation(file.get(), &remove, sizeof remove, 13)) {
    if (read_only) {
      basic.attributes = info.dwFileAttributes;
      SetFileInformation(file.get(), &basic, sizeof basic, 4);
    }
    throw SystemFailure(code, op::kRemoveFile, path);
  }
  return RemoveOutcome::kDeleted;
}

void Win32FileSystem::RemoveFolder(const std::string& path) {
  if (!RemoveDirectoryA(path.c_str())) ThrowLastError(op::kRemoveFolder, path);
}

void Win32FileSystem::WriteFileFrom(const std::string& path,
                                    const std::function<void(const ByteSink&)>& produce) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) ThrowLastError(op::kCopy, path);
  try {
    produce([file, &path](const char* data, std::size_t size) {
      while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr)) {
          ThrowLastError(op::kCopy, path);
        }
        if (written == 0) throw SystemFailure(ERROR_DISK_FULL, op::kCopy, path);
        data += written;
        size -= written;
      }
    });
  } catch (...) {
    CloseHandle(file);
    DeleteFileA(path.c_str());
    throw;
  }
  if (!CloseHandle(file)) {
    const DWORD code = GetLastError();
    DeleteFileA(path.c_str());
    throw SystemFailure(code, op::kCopy, path);
  }
}

std::string Win32FileSystem::ReadWholeFile(const std::string& path) {
  ScopedHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, op::kRead);
  const std::uint64_t length = LengthOf(file.get(), op::kRead, path);
  if (length > 0x7fffffffu) {
    throw Failure(FailureKind::kBadContent, op::kRead, path, "The file is too large to read.");
  }
  std::string bytes(static_cast<std::size_t>(length), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(bytes.size() - done);
    if (!ReadFile(file.get(), &bytes[done], want, &got, nullptr)) ThrowLastError(op::kRead, path);
    if (got == 0) break;  // the file grew shorter while it was read
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

std::uint64_t Win32FileSystem::FileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    ThrowLastError(op::kLength, path);
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    throw SystemFailure(ERROR_ACCESS_DENIED, op::kLength, path);
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Win32FileSystem::AppendToFile(const std::string& path, const std::string& bytes) {
  ScopedHandle file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, op::kAppend);
  LARGE_INTEGER none = {};
  if (!SetFilePointerEx(file.get(), none, nullptr, FILE_END)) ThrowLastError(op::kAppend, path);
  WriteAndFlush(file.get(), bytes, op::kAppend, path);
}

void Win32FileSystem::Truncate(const std::string& path, std::uint64_t length) {
  ScopedHandle file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, op::kTruncate);
  SeekTo(file.get(), length, op::kTruncate, path);
  if (!SetEndOfFile(file.get())) ThrowLastError(op::kTruncate, path);
}

std::uint64_t Win32FileSystem::FreeBytes(const std::string& folder) {
  std::string path = folder;
  if (path.empty() || path.back() != '\\') path += '\\';
  ULARGE_INTEGER free_to_caller;
  if (!GetDiskFreeSpaceExA(path.c_str(), &free_to_caller, nullptr, nullptr)) {
    ThrowLastError(op::kFreeBytes, folder);
  }
  return free_to_caller.QuadPart;
}

std::vector<DriveInfo> Win32FileSystem::ListDrives() {
  std::vector<DriveInfo> drives;
  const DWORD mask = GetLogicalDrives();
  if (mask == 0) ThrowLastError(op::kListDrives, "");
  for (int i = 0; i < 26; ++i) {
    if ((mask & (1u << i)) == 0) continue;
    DriveInfo drive;
    drive.letter = static_cast<char>('a' + i);
    const std::string root = RootOf(static_cast<char>('A' + i));
    switch (GetDriveTypeA(root.c_str())) {
      case DRIVE_REMOVABLE: drive.type = DriveType::kRemovable; break;
      case DRIVE_FIXED: drive.type = DriveType::kFixed; break;
      case DRIVE_REMOTE: drive.type = DriveType::kRemote; break;
      case DRIVE_CDROM: drive.type = DriveType::kCdRom; break;
      case DRIVE_RAMDISK: drive.type = DriveType::kRamDisk; break;
      default: drive.type = DriveType::kUnknown; break;
    }
    // Labels only of drives that answer at once: asking a floppy or CD drive
    // would spin it up, or wait on an empty one.
    if (drive.type == DriveType::kFixed || drive.type == DriveType::kRamDisk) {
      char label[MAX_PATH + 1] = "";
      if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                                nullptr, 0)) {
        drive.label = label;
      }
    }
    drives.push_back(drive);
  }
  return drives;
}

bool Win32FileSystem::IsDriveReady(char letter) {
  const std::string root = RootOf(letter);
  DWORD serial = 0;
  return GetVolumeInformationA(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0) !=
         0;
}

std::vector<std::string> Win32FileSystem::ListSubfolders(const std::string& folder) {
  std::vector<std::string> names;
  ForEachEntry(folder, op::kListFolders, [&names](const WIN32_FIND_DATAA& data) {
    const DWORD attributes = data.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & kHiddenOrSystem) &&
        !IsDotEntry(data.cFileName)) {
      names.emplace_back(data.cFileName);
    }
  });
  return names;
}

std::string Win32FileSystem::CurrentFolderOfDrive(char letter) {
  const std::string root = RootOf(static_cast<char>(letter & ~0x20));
  const UINT type = GetDriveTypeA(root.c_str());
  if (type == DRIVE_NO_ROOT_DIR) throw SystemFailure(ERROR_PATH_NOT_FOUND, op::kOpenDrive, root);
  if (!IsDriveReady(letter)) throw SystemFailure(ERROR_NOT_READY, op::kOpenDrive, root);
  // "X:" alone stands for the drive's current folder.
  char buffer[MAX_PATH + 1];
  const std::string drive = root.substr(0, 2);
  const DWORD length = GetFullPathNameA(drive.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return root;
  const std::string folder = WithoutTrailingSeparators(std::string(buffer, length));
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return root;
  }
  return folder;
}

std::string Win32FileSystem::CurrentFolder() {
  char buffer[MAX_PATH + 1];
  const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) ThrowLastError(op::kCurrentFolder, "");
  return std::string(buffer, length);
}

}  // namespace scenery
