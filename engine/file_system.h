// The seam between the installer and the platform's file services.
//
// Paths are ANSI text with Windows semantics: backslash separators, drive
// letters ("C:\Games"), UNC roots ("\\server\share\Games"), names compared
// without regard to letter case, and a doubled backslash read as one. A path
// without a root is taken relative to the current folder, one that starts
// with a single backslash relative to the current drive's root.
//
// Every operation either succeeds or throws scenery::Failure carrying the
// operation, the path and the system's reason in words.
#ifndef SCENERY_SETUP_ENGINE_FILE_SYSTEM_H_
#define SCENERY_SETUP_ENGINE_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/failure.h"

namespace scenery {

// The operations named in failures, completing "Setup could not ...". Both
// implementations use them, so that a failure reads alike on either.
namespace op {
constexpr char kFind[] = "search the folder for";
constexpr char kProbe[] = "look for";
constexpr char kMakeFolder[] = "make the folder";
constexpr char kCopy[] = "copy the file";
constexpr char kRead[] = "read the file";
constexpr char kLength[] = "find the length of the file";
constexpr char kAppend[] = "add to the file";
constexpr char kTruncate[] = "cut back the file";
constexpr char kListDrives[] = "list the drives";
constexpr char kListFolders[] = "list the folders of";
constexpr char kListFiles[] = "list the files of";
constexpr char kOpenDrive[] = "open the drive";
constexpr char kFindProgram[] = "find the program's folder";
constexpr char kCurrentFolder[] = "find the current folder";
constexpr char kReadManifest[] = "read the package manifest";
constexpr char kMakeBackup[] = "make the backup of the file";
constexpr char kWrite[] = "write";
constexpr char kMakeWritable[] = "clear the read-only attribute of";
constexpr char kRename[] = "rename the file";
constexpr char kReplace[] = "replace the file";
constexpr char kRewrite[] = "write the new contents of the file";
constexpr char kRemoveFile[] = "delete the file";
constexpr char kRemoveFolder[] = "remove the folder";
constexpr char kProtectFolder[] = "give its own access list to the folder";
constexpr char kHoldFolder[] = "open the folder";
constexpr char kFreeBytes[] = "find the free space of the drive of";
}  // namespace op

enum class EntryKind { kMissing, kFile, kFolder };

struct PathInfo {
  EntryKind kind = EntryKind::kMissing;
  // The entry carries the hidden or the system attribute. Such entries exist,
  // but the searches for ordinary files and for subfolders do not show them.
  bool hidden_or_system = false;
  // The entry carries the read-only attribute: Windows refuses to write it,
  // to replace it and to delete it.
  bool read_only = false;
  // The entry is a link (a junction or symbolic link): what lies behind it
  // is somewhere else.
  bool link = false;
};

// A file of a folder, as ListFiles sees it.
struct FileEntry {
  std::string name;
  std::uint64_t size = 0;
  bool hidden_or_system = false;
};

enum class DriveType { kUnknown, kRemovable, kFixed, kRemote, kCdRom, kRamDisk };

struct DriveInfo {
  char letter = 'C';  // lower case, as the drive list shows it
  DriveType type = DriveType::kUnknown;
  // The volume label where it can be read without touching removable media;
  // otherwise empty.
  std::string label;
};

// Random access to the bytes of one file (Setup.exe itself, a file that
// the removal checks).
class ByteFile {
 public:
  virtual ~ByteFile() = default;
  virtual std::uint64_t Size() = 0;
  // Reads exactly `size` bytes at `offset`; throws Failure when it cannot.
  virtual void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// A folder that HoldFolder opened: while the hold lives, nobody can rename,
// move or delete the folder, so a path through it keeps leading into it.
class FolderHold {
 public:
  virtual ~FolderHold() = default;
};

// What RemoveFileIf did with a file.
enum class RemoveOutcome {
  kDeleted,
  kKept,     // the check said it is no longer the file that was written
  kLink,     // a link (a symbolic link or a junction): left alone
  kMissing,  // nothing there, or a folder
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // The folder that holds the running program, without a trailing backslash
  // except at a drive root ("C:\").
  virtual std::string ProgramFolder() = 0;

  // The names, without folder, of the ordinary files (neither folders nor
  // hidden nor system files) that match `pattern`, a folder followed by a
  // backslash and a name that may hold the wildcards * and ?. Matching
  // ignores letter case. The order is the file system's own.
  // A folder that does not exist, or a pattern that is not a valid path,
  // yields an empty list; any other failure (a drive that is not ready, no
  // right to read the folder) throws.
  virtual std::vector<std::string> FindFiles(const std::string& pattern) = 0;

  // Every file of `folder` (no folders), hidden and system files included,
  // in the file system's order. A missing folder throws kNotFound.
  virtual std::vector<FileEntry> ListFiles(const std::string& folder) = 0;

  // What stands at `path`: nothing, a file or a folder, and whether it is
  // hidden or a system entry. A drive root that is ready is a folder. A path
  // that is not valid (wildcards, forbidden characters) or whose drive does
  // not exist reads as missing. A drive that is not ready throws kNotReady.
  virtual PathInfo Probe(const std::string& path) = 0;

  // Makes the one folder `path`.
  // REQUIRES: its parent folder exists.
  // An existing folder (hidden or not) is success; an existing file throws
  // kAlreadyExists; a missing parent throws kNotFound.
  virtual void MakeFolder(const std::string& path) = 0;

  // Whether `a` and `b` both exist and name one and the same file or folder,
  // as Windows tells it: by the volume and the entry itself, whatever the
  // names (letter case, doubled backslashes, another drive letter for the
  // same folder). A name that cannot be looked at names no common entry.
  // Never throws.
  virtual bool IsSameEntry(const std::string& a, const std::string& b) = 0;

  // Copies the file `from` to `to`, replacing a file of that name. On
  // failure no partial target is left under the name `to`. A file copied
  // onto itself fails (kInUse), as on Windows. As on Windows, the copy
  // carries the source's read-only attribute, and a read-only target is
  // refused (kAccessDenied).
  virtual void CopyReplacing(const std::string& from, const std::string& to) = 0;

  // Takes the bytes of a file being written, piece by piece.
  using ByteSink = std::function<void(const char* data, std::size_t size)>;

  // Writes the file `path`, replacing a file of that name, with the bytes
  // that `produce` hands to the sink it is given. When a write or `produce`
  // fails, the partial file is removed and the failure goes on: nothing is
  // left under the name `path`.
  virtual void WriteFileFrom(const std::string& path,
                             const std::function<void(const ByteSink&)>& produce) = 0;

  // Takes the read-only attribute off the file `path`; nothing else of it
  // changes. A missing file throws kNotFound.
  virtual void MakeWritable(const std::string& path) = 0;

  // Gives the file `from` the name `to` in the same folder, attributes and
  // all (a read-only file too). A file or folder at `to` throws
  // kAlreadyExists; a missing `from` throws kNotFound.
  virtual void RenameFile(const std::string& from, const std::string& to) = 0;

  // Gives the file `from` the name `to` in the same folder, replacing the
  // file there in one step (never left without either). A missing `from`
  // throws kNotFound; a `to` that another program holds open throws
  // kInUse, a read-only one kAccessDenied.
  virtual void MoveReplacing(const std::string& from, const std::string& to) = 0;

  // Puts `bytes` in the place of the contents of the existing file `path`
  // so that a power cut or a crash at any instant leaves either the old
  // file or the new one, never a mix: the bytes go to a spare file beside
  // it, are flushed to the disk, and the spare then takes the old file's
  // place in one step, with the old file's attributes and access list.
  // Where `path` is a link to a file, the file it leads to is the one
  // changed. A read-only file throws kAccessDenied and one that another
  // program holds open kInUse, before anything is written; after any
  // failure the file is as it was and no spare file is left.
  virtual void ReplaceContents(const std::string& path, const std::string& bytes) = 0;

  // Deletes the file `path`. A read-only file throws kAccessDenied, as on
  // Windows; a missing one throws kNotFound.
  virtual void RemoveFile(const std::string& path) = 0;

  // Makes the folder `path` (its parent must exist), or takes the one there,
  // and gives it its own access list: administrators and the system full
  // control, users read and run, nothing inherited from the folder above.
  // Only an administrator can then change what lies in it. A link at `path`
  // throws kAccessDenied.
  virtual void MakeProtectedFolder(const std::string& path) = 0;

  // Opens the folder `path` itself and keeps it from being renamed, moved or
  // deleted until the hold is destroyed. Null when `path` is a link (it is
  // not followed) or no folder; throws when it cannot be opened.
  virtual std::unique_ptr<FolderHold> HoldFolder(const std::string& path) = 0;

  // Opens the file `path` itself, never what a link there leads to, so that
  // nobody else can write, rename or delete it; hands it to `still_ours`,
  // and, when that says so, deletes it through the same opening, read-only
  // or not. What is checked is then what is deleted. Throws when the file
  // cannot be opened or deleted.
  virtual RemoveOutcome RemoveFileIf(const std::string& path,
                                     const std::function<bool(ByteFile&)>& still_ours) = 0;

  // Removes the empty folder `path`. A folder that holds anything, hidden
  // entries included, throws kOther ("The directory is not empty.") and
  // stays; a missing one throws kNotFound.
  virtual void RemoveFolder(const std::string& path) = 0;

  // All bytes of the file `path`. A missing file throws kNotFound.
  virtual std::string ReadWholeFile(const std::string& path) = 0;

  // The length in bytes of the file `path`. A missing file throws kNotFound.
  virtual std::uint64_t FileLength(const std::string& path) = 0;

  // Writes `bytes` at the end of the existing file `path`.
  // REQUIRES: the file exists (a missing file throws kNotFound; nothing is
  // created). On failure part of the bytes may have been written; the caller
  // restores the old length with Truncate.
  virtual void AppendToFile(const std::string& path, const std::string& bytes) = 0;

  // Cuts the existing file `path` back to `length` bytes.
  // REQUIRES: length is not greater than the file's length.
  virtual void Truncate(const std::string& path, std::uint64_t length) = 0;

  // The bytes free for the user on the volume of the existing folder
  // `folder`. Throws when the system cannot tell.
  virtual std::uint64_t FreeBytes(const std::string& folder) = 0;

  // The drives of the machine, in letter order.
  virtual std::vector<DriveInfo> ListDrives() = 0;

  // Whether the drive holds a readable volume now (a floppy or CD drive
  // without a medium is not ready). Never throws.
  virtual bool IsDriveReady(char letter) = 0;

  // The names of the subfolders of `folder` that are neither hidden nor
  // system folders, without "." and "..", in the file system's order.
  // A missing folder throws kNotFound; a drive that is not ready throws
  // kNotReady.
  virtual std::vector<std::string> ListSubfolders(const std::string& folder) = 0;

  // The current folder of the drive `letter` ("D:\Games", or "D:\" when the
  // drive's current folder is its root or no longer exists). A drive that is
  // not ready throws kNotReady; a drive that does not exist throws kNotFound.
  virtual std::string CurrentFolderOfDrive(char letter) = 0;

  // The current folder of the process, as a full path.
  virtual std::string CurrentFolder() = 0;
};

// Writes a file that is Setup.exe's own (a package file it installs, the
// backup it makes) with `write`, into `target`: a read-only file there is
// replaced all the same (the user asked for it again; a package from a CD
// leaves its files read-only), and the file written never keeps the
// read-only attribute, which a copy carries over from its source.
inline void WriteOwnFile(FileSystem& fs, const std::string& target,
                         const std::function<void()>& write) {
  try {
    write();
  } catch (const Failure& failure) {
    if (failure.kind() != FailureKind::kAccessDenied || !fs.Probe(target).read_only) throw;
    fs.MakeWritable(target);
    write();
  }
  fs.MakeWritable(target);
}

// Deletes a file that Setup.exe wrote, read-only or not.
inline void RemoveOwnFile(FileSystem& fs, const std::string& path) {
  try {
    fs.RemoveFile(path);
  } catch (const Failure& failure) {
    if (failure.kind() != FailureKind::kAccessDenied || !fs.Probe(path).read_only) throw;
    fs.MakeWritable(path);
    fs.RemoveFile(path);
  }
}

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_FILE_SYSTEM_H_
