// An in-memory FileSystem with Windows semantics, for tests: drive letters
// and UNC shares, names compared without regard to letter case, doubled
// backslashes read as one, hidden and system attributes, wildcard search,
// parent-must-exist, drives that are not ready and a limited free space.
//
// It records every call of the seam and can be told to fail the n-th call of
// an operation with a chosen kind of failure, so tests can prove the order of
// the calls and what a failure at each of them leaves behind.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define SCENERY_SETUP_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/paths.h"

namespace scenery {

enum class FsCall {
  kProgramFolder,
  kFindFiles,
  kProbe,
  kMakeFolder,
  kCopy,
  kRead,
  kLength,
  kAppend,
  kTruncate,
  kListDrives,
  kIsDriveReady,
  kListSubfolders,
  kCurrentFolderOfDrive,
  kCurrentFolder,
  kSameEntry,
  kListFiles,
  kWrite,
  kMakeWritable,
  kRename,
  kRemoveFile,
  kRemoveFolder,
  kMoveReplacing,
  kProtectFolder,
  kHoldFolder,
  kRemoveIf,
  kFreeBytes,
  kReplaceContents,
};

const char* FsCallName(FsCall call);

struct RecordedCall {
  FsCall call;
  std::string path;
};

// Thrown where the power goes: the program stops there, and the disk keeps
// what a disk would keep.
struct PowerCut {};

// The reason Windows gives for each kind of failure.
std::string SystemReason(FailureKind kind);

class MemoryFileSystem : public FileSystem {
 public:
  // One fixed drive C:, ready and empty; program and current folder C:\.
  MemoryFileSystem();

  // Set-up and inspection for tests: these are not recorded and never fail.
  void AddDrive(char letter, DriveType type = DriveType::kFixed, const std::string& label = "");
  void SetDriveReady(char letter, bool ready);
  void AddShare(const std::string& unc_root);  // "\\server\share"
  // A drive whose root is the existing folder `folder`, as the command subst
  // makes one: a second name for every entry below that folder.
  void AddSubstDrive(char letter, const std::string& folder);
  // Makes the folder and every missing folder above it.
  void AddFolder(const std::string& path, bool hidden = false, bool system = false);
  // Writes a file, making the folders above it.
  void AddFile(const std::string& path, const std::string& bytes, bool hidden = false,
               bool system = false);
  // Deletes the file or folder `path` and everything below it.
  void Remove(const std::string& path);
  // Sets or clears the read-only attribute of the file `path`.
  void SetReadOnly(const std::string& path, bool read_only);
  // Marks the folder `path` a link (a junction), as Probe then tells.
  void SetLink(const std::string& path);
  // Puts at `path`, in place of what is there, a link to the folder `target`
  // (a junction): paths through it lead into `target`, as on Windows, but
  // the link itself is what Probe, RemoveFolder, HoldFolder and
  // RemoveFileIf meet. As on Windows, an entry that is held open (by
  // HoldFolder, or a file during RemoveFileIf), or holds one below it,
  // cannot be moved away: then nothing changes and the answer is false.
  bool ReplaceWithLink(const std::string& path, const std::string& target);
  // Whether MakeProtectedFolder gave the folder `path` its access list.
  bool IsProtected(const std::string& path) const;
  void SetProgramFolder(const std::string& path) { program_folder_ = path; }
  // Makes `path` the process's current folder and its drive's current folder.
  void SetCurrentFolder(const std::string& path);
  // Free bytes on every volume; copies and appends that do not fit fail with
  // kDiskFull (an append writes what fits first). Unlimited at start.
  void SetFreeBytes(std::uint64_t bytes) { free_bytes_ = bytes; }
  bool Has(const std::string& path) const;
  bool IsFolder(const std::string& path) const;
  std::string Contents(const std::string& path) const;  // empty when missing
  // Every entry as a full path in its stored letter case, folders with a
  // trailing backslash, sorted without regard to case.
  std::vector<std::string> Listing() const;

  // Fault injection: the n-th call (1-based, counted from now) of `call`
  // fails with `kind`. A failing append first writes half of its bytes.
  void FailNth(FsCall call, int n, FailureKind kind);
  // The n-th call of `call` runs `action` first, which may throw anything
  // (an out-of-memory: `throw std::bad_alloc()`).
  void OnNth(FsCall call, int n, std::function<void()> action) {
    actions_.push_back(Action{call, n, std::move(action)});
  }
  // A power cut at the n-th write (1-based, counted from now): every call
  // that changes the disk is one, and ReplaceContents is two, the spare's
  // write and the replacement. A write of bytes (a copy, a write, an
  // append, the spare) keeps the first `keep` of them, any other write does
  // nothing; then it and every later call throw PowerCut until
  // RestorePower. What a call wrote is on the disk once it returns, as if
  // flushed: ReplaceContents flushes its spare before the replacement, the
  // one order that matters here.
  void CutPowerAt(int nth_write, std::size_t keep) {
    cut_at_ = writes_ + nth_write;
    keep_ = keep;
  }
  void RestorePower() {
    cut_at_ = 0;
    powered_ = true;
    cutting_ = false;
  }
  int writes() const { return writes_; }
  const std::vector<RecordedCall>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

  // FileSystem.
  std::string ProgramFolder() override;
  std::vector<std::string> FindFiles(const std::string& pattern) override;
  PathInfo Probe(const std::string& path) override;
  std::vector<FileEntry> ListFiles(const std::string& folder) override;
  bool IsSameEntry(const std::string& a, const std::string& b) override;
  void MakeFolder(const std::string& path) override;
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
  void WriteFileFrom(const std::string& path,
                     const std::function<void(const ByteSink&)>& produce) override;
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

 private:
  struct Node {
    bool folder = false;
    bool hidden = false;
    bool system = false;
    bool read_only = false;
    bool link = false;
    bool protected_folder = false;
    std::string target;  // a link made by ReplaceWithLink: where it leads
    std::string path;  // full path in the letter case it was made with
    std::string data;
  };
  struct Drive {
    DriveType type = DriveType::kFixed;
    std::string label;
    bool ready = true;
    std::string current = "\\";  // below the root, with leading backslash
    std::string subst;  // the folder that a substituted drive stands for
  };
  // A path taken apart: its root ("C:" or "\\SERVER\SHARE" in upper case,
  // "c:" as written in `display_root`) and its levels.
  struct Resolved {
    bool valid = false;
    std::string root_key;
    std::string display_root;
    std::vector<std::string> parts;
    std::string Key() const;      // upper case, single backslashes
    std::string Display() const;  // as written
    Resolved Parent() const;
  };
  struct Fault {
    FsCall call;
    int countdown;
    FailureKind kind;
  };
  struct Action {
    FsCall call;
    int countdown;
    std::function<void()> run;
  };
  std::vector<Action> actions_;

  Resolved Resolve(const std::string& path, int depth = 0) const;
  bool IsHeld(const std::string& key, bool or_below) const;
  // Records the call and throws when a fault is due for it. Returns the kind
  // of an injected append failure through `partial` instead of throwing.
  void Enter(FsCall call, const std::string& path, bool* partial_append = nullptr);
  // Counts a write; true when the power goes at it.
  bool CountWrite();
  // The power goes after `data` got the first keep_ bytes of `bytes`.
  [[noreturn]] void CutWriting(std::string& data, const std::string& bytes);
  // Throws kNotReady when the root is a drive that is not ready, and kNotFound
  // when the root does not exist.
  void CheckRoot(const Resolved& r, const char* operation, const std::string& path) const;
  Node* Find(const Resolved& r);
  const Node* Find(const Resolved& r) const;
  bool RootExists(const Resolved& r) const;
  bool IsExistingFolder(const Resolved& r) const;
  void Store(const Resolved& r, Node node);
  std::vector<const Node*> Children(const Resolved& folder) const;
  [[noreturn]] static void Fail(FailureKind kind, const char* operation, const std::string& path);

  std::map<char, Drive> drives_;
  std::vector<std::string> shares_;  // upper case keys
  std::map<std::string, Node> nodes_;
  std::string program_folder_ = "C:\\";
  char current_drive_ = 'C';
  std::uint64_t free_bytes_ = UINT64_MAX;
  std::vector<Fault> faults_;
  FailureKind pending_kind_ = FailureKind::kOther;
  std::vector<RecordedCall> calls_;
  std::multiset<std::string> held_;  // keys of the entries held open
  int writes_ = 0, cut_at_ = 0;
  std::size_t keep_ = 0;
  bool powered_ = true, cutting_ = false;
  friend class MemoryFolderHold;
};


}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
