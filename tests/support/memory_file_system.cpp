#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cctype>

#include "engine/packed_package.h"
#include "engine/paths.h"
#include "engine/text_lines.h"

namespace scenery {
namespace {

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool ValidName(const std::string& name, bool wildcards_allowed) {
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || c == '"' || c == '<' || c == '>' || c == '|' || c == ':' || c == '/') {
      return false;
    }
    if (!wildcards_allowed && (c == '*' || c == '?')) return false;
  }
  return true;
}

}  // namespace

const char* FsCallName(FsCall call) {
  switch (call) {
    case FsCall::kProgramFolder: return "ProgramFolder";
    case FsCall::kFindFiles: return "FindFiles";
    case FsCall::kProbe: return "Probe";
    case FsCall::kMakeFolder: return "MakeFolder";
    case FsCall::kCopy: return "CopyReplacing";
    case FsCall::kMakeWritable: return "MakeWritable";
    case FsCall::kRead: return "ReadWholeFile";
    case FsCall::kLength: return "FileLength";
    case FsCall::kAppend: return "AppendToFile";
    case FsCall::kTruncate: return "Truncate";
    case FsCall::kListDrives: return "ListDrives";
    case FsCall::kIsDriveReady: return "IsDriveReady";
    case FsCall::kListSubfolders: return "ListSubfolders";
    case FsCall::kCurrentFolderOfDrive: return "CurrentFolderOfDrive";
    case FsCall::kCurrentFolder: return "CurrentFolder";
    case FsCall::kSameEntry: return "IsSameEntry";
    case FsCall::kListFiles: return "ListFiles";
    case FsCall::kWrite: return "WriteFileFrom";
    case FsCall::kRename: return "RenameFile";
    case FsCall::kRemoveFile: return "RemoveFile";
    case FsCall::kRemoveFolder: return "RemoveFolder";
    case FsCall::kMoveReplacing: return "MoveReplacing";
    case FsCall::kProtectFolder:
      return "MakeProtectedFolder";
    case FsCall::kHoldFolder:
      return "HoldFolder";
    case FsCall::kRemoveIf:
      return "RemoveFileIf";
    case FsCall::kFreeBytes:
      return "FreeBytes";
    case FsCall::kReplaceContents:
      return "ReplaceContents";
  }
  return "?";
}

std::string SystemReason(FailureKind kind) {
  switch (kind) {
    case FailureKind::kNotFound: return "The system cannot find the path specified.";
    case FailureKind::kAccessDenied: return "Access is denied.";
    case FailureKind::kInUse:
      return "The process cannot access the file because it is being used by another process.";
    case FailureKind::kDiskFull: return "There is not enough space on the disk.";
    case FailureKind::kNotReady: return "The device is not ready.";
    case FailureKind::kInvalidName:
      return "The filename, directory name, or volume label syntax is incorrect.";
    case FailureKind::kAlreadyExists: return "Cannot create a file when that file already exists.";
    case FailureKind::kBadContent: return "The data is invalid.";
    case FailureKind::kOther: return "The request is not supported.";
  }
  return "Unknown error.";
}


// ---- paths ----

std::string MemoryFileSystem::Resolved::Key() const {
  std::string key = root_key;
  for (const std::string& part : parts) key += "\\" + UpperAscii(part);
  return key;
}

std::string MemoryFileSystem::Resolved::Display() const {
  std::string text = display_root;
  for (const std::string& part : parts) text += "\\" + part;
  if (parts.empty()) text += "\\";
  return text;
}

MemoryFileSystem::Resolved MemoryFileSystem::Resolved::Parent() const {
  Resolved parent = *this;
  if (!parent.parts.empty()) parent.parts.pop_back();
  return parent;
}

MemoryFileSystem::Resolved MemoryFileSystem::Resolve(const std::string& path, int depth) const {
  Resolved r;
  std::string rest;
  auto below_drive = [this](char drive) {
    auto it = drives_.find(drive);
    return it == drives_.end() ? std::string("\\") : it->second.current;
  };
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    const char drive = UpperChar(path[0]);
    r.root_key = std::string(1, drive) + ":";
    r.display_root = path.substr(0, 2);
    rest = path.substr(2);
    if (rest.empty() || rest[0] != '\\') rest = below_drive(drive) + "\\" + rest;
  } else if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    const std::size_t server_end = path.find('\\', 2);
    if (server_end == std::string::npos || server_end == 2) return r;
    std::size_t share_end = path.find('\\', server_end + 1);
    if (share_end == std::string::npos) share_end = path.size();
    if (share_end == server_end + 1) return r;
    r.display_root = path.substr(0, share_end);
    r.root_key = UpperAscii(r.display_root);
    rest = path.substr(share_end);
  } else {
    r.root_key = std::string(1, current_drive_) + ":";
    r.display_root = r.root_key;
    rest = (!path.empty() && path[0] == '\\') ? path : below_drive(current_drive_) + "\\" + path;
  }
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    const std::string part = rest.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!r.parts.empty()) r.parts.pop_back();
      continue;
    }
    if (!ValidName(part, false)) return r;
    r.parts.push_back(part);
  }
  r.valid = true;
  // A substituted drive names the entries below the folder it stands for.
  if (r.root_key.size() == 2) {
    auto drive = drives_.find(r.root_key[0]);
    if (drive != drives_.end() && !drive->second.subst.empty()) {
      Resolved base = Resolve(drive->second.subst);
      base.parts.insert(base.parts.end(), r.parts.begin(), r.parts.end());
      r = base;
    }
  }
  // A link on the way leads into its target; the last part is the entry
  // itself, never followed.
  Resolved level = r;
  level.parts.clear();
  for (std::size_t i = 0; i + 1 < r.parts.size() && depth < 8; ++i) {
    level.parts.push_back(r.parts[i]);
    const auto node = nodes_.find(level.Key());
    if (node == nodes_.end() || node->second.target.empty()) continue;
    std::string rest = node->second.target;
    for (std::size_t j = i + 1; j < r.parts.size(); ++j) rest += "\\" + r.parts[j];
    return Resolve(rest, depth + 1);
  }
  return r;
}

bool MemoryFileSystem::IsHeld(const std::string& key, bool or_below) const {
  for (const std::string& held : held_) {
    if (held == key || (or_below && held.compare(0, key.size() + 1, key + "\\") == 0)) return true;
  }
  return false;
}

class MemoryFolderHold : public FolderHold {
 public:
  MemoryFolderHold(std::multiset<std::string>& held, std::string key)
      : held_(held), at_(held.insert(std::move(key))) {}
  ~MemoryFolderHold() override { held_.erase(at_); }

 private:
  std::multiset<std::string>& held_;
  std::multiset<std::string>::iterator at_;
};

void MemoryFileSystem::Fail(FailureKind kind, const char* operation, const std::string& path) {
  std::string reason = SystemReason(kind);
  throw Failure(kind, operation, path, reason);
}

bool MemoryFileSystem::RootExists(const Resolved& r) const {
  if (r.root_key.size() == 2) return drives_.count(r.root_key[0]) != 0;
  return std::find(shares_.begin(), shares_.end(), r.root_key) != shares_.end();
}

void MemoryFileSystem::CheckRoot(const Resolved& r, const char* operation,
                                 const std::string& path) const {
  if (!r.valid) Fail(FailureKind::kInvalidName, operation, path);
  if (!RootExists(r)) Fail(FailureKind::kNotFound, operation, path);
  if (r.root_key.size() == 2 && !drives_.at(r.root_key[0]).ready) {
    Fail(FailureKind::kNotReady, operation, path);
  }
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const Resolved& r) {
  if (!r.valid || r.parts.empty()) return nullptr;
  auto it = nodes_.find(r.Key());
  return it == nodes_.end() ? nullptr : &it->second;
}

const MemoryFileSystem::Node* MemoryFileSystem::Find(const Resolved& r) const {
  return const_cast<MemoryFileSystem*>(this)->Find(r);
}

bool MemoryFileSystem::IsExistingFolder(const Resolved& r) const {
  if (r.parts.empty()) return RootExists(r);
  const Node* node = Find(r);
  return node != nullptr && node->folder;
}

void MemoryFileSystem::Store(const Resolved& r, Node node) {
  node.path = r.Display();
  nodes_[r.Key()] = std::move(node);
}

std::vector<const MemoryFileSystem::Node*> MemoryFileSystem::Children(
    const Resolved& folder) const {
  std::vector<const Node*> children;
  const std::string prefix = folder.Key() + "\\";
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end(); ++it) {
    if (it->first.compare(0, prefix.size(), prefix) != 0) break;
    if (it->first.find('\\', prefix.size()) == std::string::npos) children.push_back(&it->second);
  }
  return children;
}

static std::string LastName(const std::string& path) {
  return path.substr(path.rfind('\\') + 1);
}

// ---- set-up and inspection ----

MemoryFileSystem::MemoryFileSystem() { AddDrive('C'); }

void MemoryFileSystem::AddDrive(char letter, DriveType type, const std::string& label) {
  Drive drive;
  drive.type = type;
  drive.label = label;
  drives_[UpperChar(letter)] = drive;
}

void MemoryFileSystem::AddSubstDrive(char letter, const std::string& folder) {
  Drive drive;
  drive.subst = folder;
  drives_[UpperChar(letter)] = drive;
}

void MemoryFileSystem::SetDriveReady(char letter, bool ready) {
  drives_.at(UpperChar(letter)).ready = ready;
}

void MemoryFileSystem::AddShare(const std::string& unc_root) {
  shares_.push_back(UpperAscii(unc_root));
}

void MemoryFileSystem::AddFolder(const std::string& path, bool hidden, bool system) {
  Resolved r = Resolve(path);
  Resolved level = r;
  level.parts.clear();
  for (const std::string& part : r.parts) {
    level.parts.push_back(part);
    Node* node = Find(level);
    if (node == nullptr) {
      Node folder;
      folder.folder = true;
      Store(level, folder);
    }
  }
  Node* node = Find(r);
  if (node != nullptr) {
    node->hidden = hidden;
    node->system = system;
  }
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& bytes, bool hidden,
                               bool system) {
  Resolved r = Resolve(path);
  AddFolder(r.Parent().Display());
  Node file;
  file.data = bytes;
  file.hidden = hidden;
  file.system = system;
  Store(r, file);
}

void MemoryFileSystem::Remove(const std::string& path) {
  const std::string key = Resolve(path).Key();
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    const bool below = it->first.compare(0, key.size() + 1, key + "\\") == 0;
    it = it->first == key || below ? nodes_.erase(it) : std::next(it);
  }
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  Node* node = Find(Resolve(path));
  if (node != nullptr) node->read_only = read_only;
}

void MemoryFileSystem::SetLink(const std::string& path) {
  Node* node = Find(Resolve(path));
  if (node != nullptr) node->link = true;
}

bool MemoryFileSystem::ReplaceWithLink(const std::string& path, const std::string& target) {
  const Resolved r = Resolve(path);
  if (IsHeld(r.Key(), true)) return false;
  Remove(path);
  Node link;
  link.folder = true;
  link.link = true;
  link.target = target;
  Store(r, link);
  return true;
}

bool MemoryFileSystem::IsProtected(const std::string& path) const {
  const Node* node = Find(Resolve(path));
  return node != nullptr && node->protected_folder;
}

void MemoryFileSystem::SetCurrentFolder(const std::string& path) {
  Resolved r = Resolve(path);
  current_drive_ = r.root_key[0];
  std::string below;
  for (const std::string& part : r.parts) below += "\\" + part;
  drives_.at(current_drive_).current = below.empty() ? "\\" : below;
}

bool MemoryFileSystem::Has(const std::string& path) const {
  Resolved r = Resolve(path);
  return r.valid && (r.parts.empty() ? RootExists(r) : Find(r) != nullptr);
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
  Resolved r = Resolve(path);
  return r.valid && IsExistingFolder(r);
}

std::string MemoryFileSystem::Contents(const std::string& path) const {
  const Node* node = Find(Resolve(path));
  return node == nullptr ? std::string() : node->data;
}

std::vector<std::string> MemoryFileSystem::Listing() const {
  std::vector<std::string> listing;
  for (const auto& entry : nodes_) {
    listing.push_back(entry.second.path + (entry.second.folder ? "\\" : ""));
  }
  return listing;
}

void MemoryFileSystem::FailNth(FsCall call, int n, FailureKind kind) {
  faults_.push_back(Fault{call, n, kind});
}

bool MemoryFileSystem::CountWrite() {
  cutting_ = ++writes_ == cut_at_;
  return cutting_;
}

void MemoryFileSystem::CutWriting(std::string& data, const std::string& bytes) {
  data += bytes.substr(0, std::min(keep_, bytes.size()));
  powered_ = false;
  cutting_ = false;
  throw PowerCut{};
}

void MemoryFileSystem::Enter(FsCall call, const std::string& path, bool* partial_append) {
  // A write that was to cut the power but failed first cuts it now.
  if (!powered_ || cutting_) {
    powered_ = false;
    cutting_ = false;
    throw PowerCut{};
  }
  switch (call) {
    case FsCall::kCopy:
    case FsCall::kWrite:
    case FsCall::kAppend:
    case FsCall::kReplaceContents:
      CountWrite();  // the call itself cuts its bytes short
      break;
    case FsCall::kMakeFolder:
    case FsCall::kMakeWritable:
    case FsCall::kRename:
    case FsCall::kMoveReplacing:
    case FsCall::kRemoveFile:
    case FsCall::kRemoveFolder:
    case FsCall::kProtectFolder:
    case FsCall::kRemoveIf:
    case FsCall::kTruncate:
      if (CountWrite()) {
        powered_ = false;
        cutting_ = false;
        throw PowerCut{};
      }
      break;
    default:
      break;
  }
  calls_.push_back(RecordedCall{call, path});
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    if (it->call != call || --it->countdown > 0) continue;
    const std::function<void()> run = std::move(it->run);
    actions_.erase(it);
    run();
    break;
  }
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->call != call || --it->countdown > 0) continue;
    const FailureKind kind = it->kind;
    faults_.erase(it);
    if (partial_append != nullptr) {
      *partial_append = true;
      pending_kind_ = kind;
      return;
    }
    const char* operation = "use";
    switch (call) {
      case FsCall::kFindFiles: operation = op::kFind; break;
      case FsCall::kProbe: operation = op::kProbe; break;
      case FsCall::kMakeFolder: operation = op::kMakeFolder; break;
      case FsCall::kCopy: operation = op::kCopy; break;
      case FsCall::kWrite: operation = op::kCopy; break;
      case FsCall::kRead: operation = op::kRead; break;
      case FsCall::kLength: operation = op::kLength; break;
      case FsCall::kTruncate: operation = op::kTruncate; break;
      case FsCall::kListDrives: operation = op::kListDrives; break;
      case FsCall::kListSubfolders: operation = op::kListFolders; break;
      case FsCall::kListFiles: operation = op::kListFiles; break;
      case FsCall::kCurrentFolderOfDrive: operation = op::kOpenDrive; break;
      case FsCall::kProtectFolder: operation = op::kProtectFolder; break;
      case FsCall::kHoldFolder: operation = op::kHoldFolder; break;
      case FsCall::kRemoveIf: operation = op::kRemoveFile; break;
      case FsCall::kFreeBytes: operation = op::kFreeBytes; break;
      default: break;
    }
    Fail(kind, operation, path);
  }
}

// ---- FileSystem ----

std::string MemoryFileSystem::ProgramFolder() {
  Enter(FsCall::kProgramFolder, "");
  return program_folder_;
}

std::vector<std::string> MemoryFileSystem::FindFiles(const std::string& pattern) {
  Enter(FsCall::kFindFiles, pattern);
  const std::size_t slash = pattern.rfind('\\');
  const std::string folder_text =
      slash == std::string::npos ? std::string(".") : pattern.substr(0, slash + 1);
  const std::string name_pattern = pattern.substr(slash == std::string::npos ? 0 : slash + 1);
  Resolved folder = Resolve(folder_text);
  if (!folder.valid || !ValidName(name_pattern, true) || !RootExists(folder)) return {};
  CheckRoot(folder, op::kFind, pattern);
  if (!IsExistingFolder(folder)) return {};
  std::vector<std::string> names;
  for (const Node* child : Children(folder)) {
    const std::string name = LastName(child->path);
    if (!child->folder && !child->hidden && !child->system && WildcardMatch(name_pattern, name)) {
      names.push_back(name);
    }
  }
  return names;
}

PathInfo MemoryFileSystem::Probe(const std::string& path) {
  Enter(FsCall::kProbe, path);
  Resolved r = Resolve(path);
  PathInfo info;
  if (!r.valid || !RootExists(r)) return info;
  CheckRoot(r, op::kProbe, path);
  if (r.parts.empty()) {
    info.kind = EntryKind::kFolder;
    return info;
  }
  const Node* node = Find(r);
  if (node == nullptr) return info;
  info.kind = node->folder ? EntryKind::kFolder : EntryKind::kFile;
  info.read_only = node->read_only;
  info.link = node->link;
  info.hidden_or_system = node->hidden || node->system;
  return info;
}

std::vector<FileEntry> MemoryFileSystem::ListFiles(const std::string& folder) {
  Enter(FsCall::kListFiles, folder);
  Resolved r = Resolve(folder);
  CheckRoot(r, op::kListFiles, folder);
  if (!IsExistingFolder(r)) Fail(FailureKind::kNotFound, op::kListFiles, folder);
  std::vector<FileEntry> files;
  for (const Node* child : Children(r)) {
    if (child->folder) continue;
    files.push_back(FileEntry{LastName(child->path), child->data.size(), child->hidden || child->system});
  }
  return files;
}

bool MemoryFileSystem::IsSameEntry(const std::string& a, const std::string& b) {
  calls_.push_back(RecordedCall{FsCall::kSameEntry, a});
  const Resolved ra = Resolve(a);
  const Resolved rb = Resolve(b);
  if (!ra.valid || !rb.valid || !RootExists(ra) || !RootExists(rb)) return false;
  if (ra.parts.empty() || rb.parts.empty()) return ra.parts.empty() && rb.parts.empty() &&
                                                    ra.root_key == rb.root_key;
  return Find(ra) != nullptr && ra.Key() == rb.Key();
}

void MemoryFileSystem::MakeFolder(const std::string& path) {
  Enter(FsCall::kMakeFolder, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kMakeFolder, path);
  if (r.parts.empty()) return;
  if (const Node* node = Find(r)) {
    if (node->folder) return;
    Fail(FailureKind::kAlreadyExists, op::kMakeFolder, path);
  }
  if (!IsExistingFolder(r.Parent())) Fail(FailureKind::kNotFound, op::kMakeFolder, path);
  Node folder;
  folder.folder = true;
  Store(r, folder);
}

void MemoryFileSystem::CopyReplacing(const std::string& from, const std::string& to) {
  try {
    Enter(FsCall::kCopy, from);
    Resolved source = Resolve(from);
    Resolved target = Resolve(to);
    CheckRoot(source, op::kCopy, from);
    CheckRoot(target, op::kCopy, from);
    const Node* source_node = Find(source);
    if (source_node == nullptr) Fail(FailureKind::kNotFound, op::kCopy, from);
    if (source_node->folder) Fail(FailureKind::kAccessDenied, op::kCopy, from);
    if (!IsExistingFolder(target.Parent())) Fail(FailureKind::kNotFound, op::kCopy, from);
    // The source is open for reading when the target is opened for writing.
    if (source.Key() == target.Key()) Fail(FailureKind::kInUse, op::kCopy, from);
    std::uint64_t replaced = 0;
    if (const Node* old = Find(target)) {
      // Windows refuses to copy over a folder, a hidden, system or read-only file.
      if (old->folder || old->hidden || old->system || old->read_only) {
        Fail(FailureKind::kAccessDenied, op::kCopy, from);
      }
      replaced = old->data.size();
    }
    const std::uint64_t size = source_node->data.size();
    if (free_bytes_ != UINT64_MAX) {
      if (size > free_bytes_ + replaced) Fail(FailureKind::kDiskFull, op::kCopy, from);
      free_bytes_ = free_bytes_ + replaced - size;
    }
    Node copy = *source_node;
    if (cutting_) {
      copy.data.clear();
      Store(target, copy);
      CutWriting(Find(target)->data, source_node->data);
    }
    Store(target, copy);
  } catch (Failure& failure) {
    failure.set_target(to);
    throw;
  }
}

void MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
  Enter(FsCall::kRename, from);
  Resolved source = Resolve(from);
  Resolved target = Resolve(to);
  CheckRoot(source, op::kRename, from);
  CheckRoot(target, op::kRename, from);
  const Node* node = Find(source);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kRename, from);
  if (node->folder) Fail(FailureKind::kAccessDenied, op::kRename, from);
  if (Find(target) != nullptr) Fail(FailureKind::kAlreadyExists, op::kRename, from);
  if (!IsExistingFolder(target.Parent())) Fail(FailureKind::kNotFound, op::kRename, from);
  Node moved = *node;
  nodes_.erase(source.Key());
  Store(target, moved);
}

void MemoryFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
  Enter(FsCall::kMoveReplacing, to);
  Resolved source = Resolve(from);
  Resolved target = Resolve(to);
  CheckRoot(source, op::kReplace, to);
  CheckRoot(target, op::kReplace, to);
  const Node* node = Find(source);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kReplace, from);
  if (const Node* old = Find(target)) {
    if (old->folder || old->read_only) Fail(FailureKind::kAccessDenied, op::kReplace, to);
    if (free_bytes_ != UINT64_MAX) free_bytes_ += old->data.size();
  }
  if (!IsExistingFolder(target.Parent())) Fail(FailureKind::kNotFound, op::kReplace, to);
  Node moved = *node;
  nodes_.erase(source.Key());
  Store(target, moved);
}

void MemoryFileSystem::ReplaceContents(const std::string& path, const std::string& bytes) {
  Enter(FsCall::kReplaceContents, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kRewrite, path);
  Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kRewrite, path);
  if (node->folder || node->read_only) Fail(FailureKind::kAccessDenied, op::kRewrite, path);
  if (IsHeld(r.Key(), false)) Fail(FailureKind::kInUse, op::kRewrite, path);
  if (free_bytes_ != UINT64_MAX && bytes.size() > free_bytes_) {
    Fail(FailureKind::kDiskFull, op::kRewrite, path);
  }
  // The spare beside it shows only where the power goes before the end.
  auto leave_spare = [&](std::size_t keep) {
    Resolved spare = r.Parent();
    for (int n = 1; spare.parts.size() == r.Parent().parts.size() || Find(spare) != nullptr; ++n) {
      spare = r.Parent();
      spare.parts.push_back("~sc" + Digits(static_cast<std::uint64_t>(n), 16, 4) + ".tmp");
    }
    Store(spare, Node());
    keep_ = keep;
    CutWriting(Find(spare)->data, bytes);
  };
  if (cutting_) leave_spare(keep_);
  if (CountWrite()) leave_spare(bytes.size());
  if (free_bytes_ != UINT64_MAX) free_bytes_ = free_bytes_ + node->data.size() - bytes.size();
  node->data = bytes;
}

void MemoryFileSystem::RemoveFile(const std::string& path) {
  Enter(FsCall::kRemoveFile, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kRemoveFile, path);
  const Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kRemoveFile, path);
  if (IsHeld(r.Key(), false)) Fail(FailureKind::kInUse, op::kRemoveFile, path);
  if (node->folder || node->read_only) Fail(FailureKind::kAccessDenied, op::kRemoveFile, path);
  if (free_bytes_ != UINT64_MAX) free_bytes_ += node->data.size();
  nodes_.erase(r.Key());
}

void MemoryFileSystem::RemoveFolder(const std::string& path) {
  Enter(FsCall::kRemoveFolder, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kRemoveFolder, path);
  const Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kRemoveFolder, path);
  if (!node->folder) Fail(FailureKind::kInvalidName, op::kRemoveFolder, path);
  if (IsHeld(r.Key(), false)) Fail(FailureKind::kInUse, op::kRemoveFolder, path);
  if (!Children(r).empty()) {
    throw Failure(FailureKind::kOther, op::kRemoveFolder, path, "The directory is not empty.");
  }
  nodes_.erase(r.Key());
}

std::uint64_t MemoryFileSystem::FreeBytes(const std::string& folder) {
  Enter(FsCall::kFreeBytes, folder);
  Resolved r = Resolve(folder);
  CheckRoot(r, op::kFreeBytes, folder);
  if (!IsExistingFolder(r)) Fail(FailureKind::kNotFound, op::kFreeBytes, folder);
  return free_bytes_;
}

void MemoryFileSystem::MakeProtectedFolder(const std::string& path) {
  Enter(FsCall::kProtectFolder, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kProtectFolder, path);
  if (!IsExistingFolder(r.Parent())) Fail(FailureKind::kNotFound, op::kMakeFolder, path);
  Node* node = Find(r);
  if (node != nullptr && !node->folder) Fail(FailureKind::kAlreadyExists, op::kMakeFolder, path);
  if (node != nullptr && node->link) Fail(FailureKind::kAccessDenied, op::kProtectFolder, path);
  if (node == nullptr) {
    Node folder;
    folder.folder = true;
    Store(r, folder);
    node = Find(r);
  }
  node->protected_folder = true;
}

std::unique_ptr<FolderHold> MemoryFileSystem::HoldFolder(const std::string& path) {
  Enter(FsCall::kHoldFolder, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kHoldFolder, path);
  const Node* node = Find(r);
  if (!r.parts.empty() && (node == nullptr || !node->folder || node->link)) return nullptr;
  return std::make_unique<MemoryFolderHold>(held_, r.Key());
}

RemoveOutcome MemoryFileSystem::RemoveFileIf(const std::string& path,
                                             const std::function<bool(ByteFile&)>& still_ours) {
  Enter(FsCall::kRemoveIf, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kRemoveFile, path);
  const Node* node = Find(r);
  if (node != nullptr && node->link) return RemoveOutcome::kLink;
  if (node == nullptr || node->folder) return RemoveOutcome::kMissing;
  {
    MemoryFolderHold open(held_, r.Key());
    MemoryByteFile bytes(node->data, path);
    if (!still_ours(bytes)) return RemoveOutcome::kKept;
  }
  if (free_bytes_ != UINT64_MAX) free_bytes_ += node->data.size();
  nodes_.erase(r.Key());
  return RemoveOutcome::kDeleted;
}

void MemoryFileSystem::MakeWritable(const std::string& path) {
  Enter(FsCall::kMakeWritable, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kMakeWritable, path);
  Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kMakeWritable, path);
  node->read_only = false;
}

void MemoryFileSystem::WriteFileFrom(const std::string& path,
                                     const std::function<void(const ByteSink&)>& produce) {
  Enter(FsCall::kWrite, path);
  Resolved target = Resolve(path);
  CheckRoot(target, op::kCopy, path);
  if (!IsExistingFolder(target.Parent())) Fail(FailureKind::kNotFound, op::kCopy, path);
  std::uint64_t replaced = 0;
  if (const Node* old = Find(target)) {
    if (old->folder || old->hidden || old->system || old->read_only) {
      Fail(FailureKind::kAccessDenied, op::kCopy, path);
    }
    replaced = old->data.size();
  }
  // As on Windows, the old file is gone from the moment it is opened.
  nodes_.erase(target.Key());
  Node file;
  if (cutting_) {
    std::string bytes;
    produce([&](const char* data, std::size_t size) { bytes.append(data, size); });
    Store(target, file);
    CutWriting(Find(target)->data, bytes);
  }
  produce([&](const char* data, std::size_t size) {
    if (free_bytes_ != UINT64_MAX) {
      if (size > free_bytes_ + replaced) Fail(FailureKind::kDiskFull, op::kCopy, path);
      free_bytes_ = free_bytes_ + replaced - size;
      replaced = 0;
    }
    file.data.append(data, size);
  });
  Store(target, file);
}

std::string MemoryFileSystem::ReadWholeFile(const std::string& path) {
  Enter(FsCall::kRead, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kRead, path);
  const Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kRead, path);
  if (node->folder) Fail(FailureKind::kAccessDenied, op::kRead, path);
  return node->data;
}

std::uint64_t MemoryFileSystem::FileLength(const std::string& path) {
  Enter(FsCall::kLength, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kLength, path);
  const Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kLength, path);
  if (node->folder) Fail(FailureKind::kAccessDenied, op::kLength, path);
  return node->data.size();
}

void MemoryFileSystem::AppendToFile(const std::string& path, const std::string& bytes) {
  bool injected = false;
  Enter(FsCall::kAppend, path, &injected);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kAppend, path);
  Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kAppend, path);
  if (node->folder || node->read_only) Fail(FailureKind::kAccessDenied, op::kAppend, path);
  if (cutting_) CutWriting(node->data, bytes);
  if (injected) {
    // A write that breaks off part-way, as on a disk that fills up.
    node->data += bytes.substr(0, bytes.size() / 2);
    Fail(pending_kind_, op::kAppend, path);
  }
  if (bytes.size() > free_bytes_) {
    node->data += bytes.substr(0, static_cast<std::size_t>(free_bytes_));
    free_bytes_ = 0;
    Fail(FailureKind::kDiskFull, op::kAppend, path);
  }
  if (free_bytes_ != UINT64_MAX) free_bytes_ -= bytes.size();
  node->data += bytes;
}

void MemoryFileSystem::Truncate(const std::string& path, std::uint64_t length) {
  Enter(FsCall::kTruncate, path);
  Resolved r = Resolve(path);
  CheckRoot(r, op::kTruncate, path);
  Node* node = Find(r);
  if (node == nullptr) Fail(FailureKind::kNotFound, op::kTruncate, path);
  if (node->folder || node->read_only) Fail(FailureKind::kAccessDenied, op::kTruncate, path);
  if (length < node->data.size()) {
    if (free_bytes_ != UINT64_MAX) free_bytes_ += node->data.size() - length;
    node->data.resize(static_cast<std::size_t>(length));
  }
}

std::vector<DriveInfo> MemoryFileSystem::ListDrives() {
  Enter(FsCall::kListDrives, "");
  std::vector<DriveInfo> list;
  for (const auto& entry : drives_) {
    DriveInfo info;
    info.letter = static_cast<char>(std::tolower(static_cast<unsigned char>(entry.first)));
    info.type = entry.second.type;
    info.label = entry.second.label;
    list.push_back(info);
  }
  return list;
}

bool MemoryFileSystem::IsDriveReady(char letter) {
  Enter(FsCall::kIsDriveReady, std::string(1, letter) + ":");
  auto it = drives_.find(UpperChar(letter));
  return it != drives_.end() && it->second.ready;
}

std::vector<std::string> MemoryFileSystem::ListSubfolders(const std::string& folder) {
  Enter(FsCall::kListSubfolders, folder);
  Resolved r = Resolve(folder);
  CheckRoot(r, op::kListFolders, folder);
  if (!IsExistingFolder(r)) Fail(FailureKind::kNotFound, op::kListFolders, folder);
  std::vector<std::string> names;
  for (const Node* child : Children(r)) {
    if (child->folder && !child->hidden && !child->system) names.push_back(LastName(child->path));
  }
  return names;
}

std::string MemoryFileSystem::CurrentFolderOfDrive(char letter) {
  const std::string root = std::string(1, UpperChar(letter)) + ":\\";
  Enter(FsCall::kCurrentFolderOfDrive, root);
  auto it = drives_.find(UpperChar(letter));
  if (it == drives_.end()) Fail(FailureKind::kNotFound, op::kOpenDrive, root);
  if (!it->second.ready) Fail(FailureKind::kNotReady, op::kOpenDrive, root);
  Resolved r = Resolve(root + it->second.current);
  if (!IsExistingFolder(r)) return root;
  return r.Display();
}

std::string MemoryFileSystem::CurrentFolder() {
  Enter(FsCall::kCurrentFolder, "");
  const std::string root = std::string(1, current_drive_) + ":\\";
  Resolved r = Resolve(root + drives_.at(current_drive_).current);
  return r.Display();
}

}  // namespace scenery
