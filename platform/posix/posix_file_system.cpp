#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/paths.h"

namespace scenery {
namespace {

FailureKind KindOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return FailureKind::kNotFound;
    case EACCES:
    case EPERM: return FailureKind::kAccessDenied;
    case ENOSPC: return FailureKind::kDiskFull;
    case ENAMETOOLONG: return FailureKind::kInvalidName;
    default: return FailureKind::kOther;
  }
}

[[noreturn]] void Throw(int error, const char* operation, const std::string& path) {
  throw Failure(KindOf(error), operation, path, std::strerror(error));
}

[[noreturn]] void NotOffered(const char* operation, const std::string& path) {
  throw Failure(FailureKind::kOther, operation, path, "scenery-pack changes no file.");
}

// The names of the folder `dir`, without "." and "..".
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  DIR* handle = opendir(dir.empty() ? "." : dir.c_str());
  if (handle == nullptr) return names;
  while (const dirent* entry = readdir(handle)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(handle);
  return names;
}

// `path` with Windows separators read as '/', each name found without
// regard to letter case; names that exist nowhere are kept as written.
std::string Native(const std::string& path) {
  std::string slashed = path;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  std::string resolved = !slashed.empty() && slashed[0] == '/' ? "/" : "";
  std::size_t at = resolved.size();
  while (at <= slashed.size()) {
    std::size_t end = slashed.find('/', at);
    if (end == std::string::npos) end = slashed.size();
    const std::string name = slashed.substr(at, end - at);
    at = end + 1;
    if (name.empty()) continue;
    std::string found = name;
    struct stat info;
    if (stat((resolved + name).c_str(), &info) != 0) {
      for (const std::string& candidate : Names(resolved)) {
        if (UpperAscii(candidate) == UpperAscii(name)) found = candidate;
      }
    }
    resolved += found + "/";
  }
  if (resolved.size() > 1) resolved.pop_back();
  return resolved;
}

bool StatOf(const std::string& path, struct stat* info) { return stat(Native(path).c_str(), info) == 0; }

}  // namespace

PosixFileSystem::PosixFileSystem(std::string program_folder)
    : program_folder_(std::move(program_folder)) {}

std::vector<std::string> PosixFileSystem::FindFiles(const std::string& pattern) {
  const std::size_t slash = pattern.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash);
  const std::string name_pattern = pattern.substr(slash == std::string::npos ? 0 : slash + 1);
  std::vector<std::string> found;
  const std::string dir = Native(folder);
  for (const std::string& name : Names(dir)) {
    struct stat info;
    if (stat((dir + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        WildcardMatch(name_pattern, name)) {
      found.push_back(name);
    }
  }
  return found;
}

std::vector<FileEntry> PosixFileSystem::ListFiles(const std::string& folder) {
  const std::string dir = Native(folder);
  struct stat info;
  if (stat(dir.c_str(), &info) != 0) Throw(errno, op::kListFiles, folder);
  if (!S_ISDIR(info.st_mode)) Throw(ENOTDIR, op::kListFiles, folder);
  std::vector<FileEntry> files;
  for (const std::string& name : Names(dir)) {
    if (stat((dir + "/" + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    files.push_back(FileEntry{name, static_cast<std::uint64_t>(info.st_size), false});
  }
  return files;
}

PathInfo PosixFileSystem::Probe(const std::string& path) {
  PathInfo result;
  struct stat info;
  if (!StatOf(path, &info)) return result;
  result.kind = S_ISDIR(info.st_mode) ? EntryKind::kFolder : EntryKind::kFile;
  return result;
}

bool PosixFileSystem::IsSameEntry(const std::string& a, const std::string& b) {
  struct stat first, second;
  return StatOf(a, &first) && StatOf(b, &second) && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::string PosixFileSystem::ReadWholeFile(const std::string& path) {
  FILE* file = std::fopen(Native(path).c_str(), "rb");
  if (file == nullptr) Throw(errno, op::kRead, path);
  std::string bytes;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) Throw(EIO, op::kRead, path);
  return bytes;
}

std::uint64_t PosixFileSystem::FileLength(const std::string& path) {
  struct stat info;
  if (!StatOf(path, &info)) Throw(errno, op::kLength, path);
  return static_cast<std::uint64_t>(info.st_size);
}

void PosixFileSystem::MakeFolder(const std::string& path) { NotOffered(op::kMakeFolder, path); }

void PosixFileSystem::CopyReplacing(const std::string& from, const std::string&) {
  NotOffered(op::kCopy, from);
}

void PosixFileSystem::MakeWritable(const std::string& path) { NotOffered(op::kMakeWritable, path); }

void PosixFileSystem::RenameFile(const std::string& from, const std::string&) {
  NotOffered(op::kRename, from);
}

void PosixFileSystem::MoveReplacing(const std::string& from, const std::string&) {
  NotOffered(op::kReplace, from);
}

void PosixFileSystem::ReplaceContents(const std::string& path, const std::string&) {
  NotOffered(op::kRewrite, path);
}

void PosixFileSystem::RemoveFile(const std::string& path) { NotOffered(op::kRemoveFile, path); }

void PosixFileSystem::RemoveFolder(const std::string& path) { NotOffered(op::kRemoveFolder, path); }

std::uint64_t PosixFileSystem::FreeBytes(const std::string& folder) {
  NotOffered(op::kFreeBytes, folder);
}

void PosixFileSystem::MakeProtectedFolder(const std::string& path) {
  NotOffered(op::kProtectFolder, path);
}

std::unique_ptr<FolderHold> PosixFileSystem::HoldFolder(const std::string& path) {
  NotOffered(op::kHoldFolder, path);
}

RemoveOutcome PosixFileSystem::RemoveFileIf(const std::string& path,
                                            const std::function<bool(ByteFile&)>&) {
  NotOffered(op::kRemoveFile, path);
}

void PosixFileSystem::WriteFileFrom(const std::string& path,
                                    const std::function<void(const ByteSink&)>&) {
  NotOffered(op::kCopy, path);
}

void PosixFileSystem::AppendToFile(const std::string& path, const std::string&) {
  NotOffered(op::kAppend, path);
}

void PosixFileSystem::Truncate(const std::string& path, std::uint64_t) {
  NotOffered(op::kTruncate, path);
}

std::vector<std::string> PosixFileSystem::ListSubfolders(const std::string& folder) {
  std::vector<std::string> folders;
  const std::string dir = Native(folder);
  for (const std::string& name : Names(dir)) {
    struct stat info;
    if (stat((dir + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      folders.push_back(name);
    }
  }
  return folders;
}

std::string PosixFileSystem::CurrentFolderOfDrive(char letter) {
  throw Failure(FailureKind::kNotFound, op::kOpenDrive, std::string(1, letter) + ":\\",
                "A POSIX system has no drive letters.");
}

std::string PosixFileSystem::CurrentFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) != nullptr ? buffer : ".";
}

}  // namespace scenery
