// The product's FileSystem: the Win32 file services through their ANSI
// functions, with the system's own reasons for every failure.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
#define SCENERY_SETUP_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_

#include "engine/file_system.h"

namespace scenery {

class Win32FileSystem : public FileSystem {
 public:
  Win32FileSystem() = default;

  std::string ProgramFolder() override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;
  PathInfo Probe(const std::string& path) override;
  void MakeFolder(const std::string& path) override;
  std::vector<FileEntry> ListFiles(const std::string& folder) override;
  bool IsSameEntry(const std::string& a, const std::string& b) override;
  void WriteFileFrom(const std::string& path,
                     const std::function<void(const ByteSink&)>& produce) override;
  void CopyReplacing(const std::string& from, const std::string& to) override;
  void MakeWritable(const std::string& path) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  void MoveReplacing(const std::string& from, const std::string& to) override;
  void ReplaceContents(const std::string& path, const std::string& bytes) override;
  void RemoveFile(const std::string& path) override;
  void RemoveFolder(const std::string& path) override;
  void MakeProtectedFolder(const std::string& path) override;
  std::unique_ptr<FolderHold> HoldFolder(const std::string& path) override;
  RemoveOutcome RemoveFileIf(const std::string& path,
                             const std::function<bool(ByteFile&)>& still_ours) override;
  std::string ReadWholeFile(const std::string& path) override;
  std::uint64_t FileLength(const std::string& path) override;
  void AppendToFile(const std::string& path, const std::string& bytes) override;
  void Truncate(const std::string& path, std::uint64_t length) override;
  std::uint64_t FreeBytes(const std::string& folder) override;
  std::vector<DriveInfo> ListDrives() override;
  bool IsDriveReady(char letter) override;
  std::vector<std::string> ListSubfolders(const std::string& folder) override;
  std::string CurrentFolderOfDrive(char letter) override;
  std::string CurrentFolder() override;
};

// The access list that MakeProtectedFolder gives, in the system's notation.
extern const char kProtectedAccess[];

// The full path of the running program's own file; throws when the system
// cannot tell it.
std::string ProgramPath();

// The Windows folder ("C:\Windows"); empty when the system cannot tell it.
std::string WindowsFolder();

// The system's text for the error code `code`, without a trailing line end.
std::string SystemErrorText(unsigned long code);

// The Failure for the Win32 error `code` met by `operation` on `path`.
Failure SystemFailure(unsigned long code, const char* operation, const std::string& path);

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_WIN32_FILE_SYSTEM_H_
