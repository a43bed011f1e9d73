// The package folder on a POSIX system (Linux), seen with Windows' eyes, for
// the author's tool scenery-pack: backslashes read as separators and names
// found without regard to letter case, as Setup.exe will find them on
// Windows. It reads; it makes, copies and appends nothing. A POSIX system
// has no hidden or system attribute: no file is hidden or a system file.
#ifndef SCENERY_SETUP_PLATFORM_POSIX_POSIX_FILE_SYSTEM_H_
#define SCENERY_SETUP_PLATFORM_POSIX_POSIX_FILE_SYSTEM_H_

#include <string>
#include <vector>

#include "engine/file_system.h"

namespace scenery {

class PosixFileSystem : public FileSystem {
 public:
  // `program_folder` stands for the folder of Setup.exe: the package folder.
  explicit PosixFileSystem(std::string program_folder);

  std::string ProgramFolder() override { return program_folder_; }
  std::vector<std::string> FindFiles(const std::string& pattern) override;
  std::vector<FileEntry> ListFiles(const std::string& folder) override;
  PathInfo Probe(const std::string& path) override;
  bool IsSameEntry(const std::string& a, const std::string& b) override;
  std::string ReadWholeFile(const std::string& path) override;
  std::uint64_t FileLength(const std::string& path) override;
  // Not offered: scenery-pack writes nothing through the seam.
  void MakeFolder(const std::string& path) override;
  void CopyReplacing(const std::string& from, const std::string& to) override;
  void MakeWritable(const std::string& path) override;
  void RenameFile(const std::string& from, const std::string& to) override;
  void MoveReplacing(const std::string& from, const std::string& to) override;
  void ReplaceContents(const std::string& path, const std::string& bytes) override;
  void RemoveFile(const std::string& path) override;
  void RemoveFolder(const std::string& path) override;
  void MakeProtectedFolder(const std::string& path) override;
  std::uint64_t FreeBytes(const std::string& folder) override;
  std::unique_ptr<FolderHold> HoldFolder(const std::string& path) override;
  RemoveOutcome RemoveFileIf(const std::string& path,
                             const std::function<bool(ByteFile&)>& still_ours) override;
  void WriteFileFrom(const std::string& path,
                     const std::function<void(const ByteSink&)>& produce) override;
  void AppendToFile(const std::string& path, const std::string& bytes) override;
  void Truncate(const std::string& path, std::uint64_t length) override;
  std::vector<DriveInfo> ListDrives() override { return {}; }
  bool IsDriveReady(char) override { return false; }
  std::vector<std::string> ListSubfolders(const std::string& folder) override;
  std::string CurrentFolderOfDrive(char letter) override;
  std::string CurrentFolder() override;

 private:
  std::string program_folder_;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_POSIX_POSIX_FILE_SYSTEM_H_
