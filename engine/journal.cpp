#include "engine/journal.h"

#include "engine/paths.h"
#include "engine/text_lines.h"

namespace scenery {
namespace {

// The key of a folder in the lists of names.
std::string FolderKey(const std::string& folder) { return FoldedCase(WithoutTrailingSeparators(folder)); }

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

}  // namespace

std::string SpareFileName(int number) {
  return "~sc" + Digits(static_cast<std::uint64_t>(number), 16, 4) + ".tmp";
}

std::string UseSpareName(const std::string& folder, int* next,
                         const std::function<void(const std::string&)>& use) {
  while (true) {
    const std::string path =
        folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + SpareFileName((*next)++);
    try {
      use(path);
      return path;
    } catch (const Failure& failure) {
      if (failure.kind() != FailureKind::kAlreadyExists || *next > 0xFFFF) throw;
    }
  }
}

std::vector<std::string> Journal::Written() const {
  std::vector<std::string> written;
  for (const Entry& entry : entries_) {
    if (entry.kind == Kind::kCreated || entry.kind == Kind::kReplaced) written.push_back(entry.path);
  }
  return written;
}

std::vector<std::string> Journal::MadeFolders() const {
  std::vector<std::string> folders;
  for (const Entry& entry : entries_) {
    if (entry.kind == Kind::kFolder) folders.push_back(entry.path);
  }
  return folders;
}

void Journal::MadeFolder(const std::string& folder) {
  Note("Made the folder " + folder);
  entries_.push_back(Entry{Kind::kFolder, folder, "", "", ""});
  ordinary_[FolderKey(folder)];
  hidden_[FolderKey(folder)];
}

void Journal::WillWriteInto(const std::string& folder) {
  const std::string key = FolderKey(folder);
  if (ordinary_.count(key) != 0) return;
  std::set<std::string>& ordinary = ordinary_[key];
  std::set<std::string>& hidden = hidden_[key];
  for (const FileEntry& file : fs_.ListFiles(folder)) {
    (file.hidden_or_system ? hidden : ordinary).insert(FoldedCase(file.name));
  }
}

void Journal::BeforeWriting(const std::string& target) {
  const std::string folder = ParentFolder(target);
  const std::string name = FoldedCase(NameOf(target));
  const auto known = ordinary_.find(FolderKey(folder));
  bool exists = false;
  if (known != ordinary_.end()) {
    if (hidden_[known->first].count(name) != 0) return;  // refused by the write itself
    exists = known->second.count(name) != 0;
  } else {
    const PathInfo info = fs_.Probe(target);
    if (info.kind == EntryKind::kFile && info.hidden_or_system) return;
    exists = info.kind == EntryKind::kFile;
  }
  if (!exists) {
    entries_.push_back(Entry{Kind::kCreated, target, "", "", ""});
    if (known != ordinary_.end()) known->second.insert(name);
    return;
  }
  // Set aside under the first free name of the folder; short, so that it
  // fits wherever the file's own path fits.
  const std::string aside =
      UseSpareName(folder, &next_aside_, [&](const std::string& spare) { fs_.RenameFile(target, spare); });
  entries_.push_back(Entry{Kind::kReplaced, target, aside, "", ""});
}

void Journal::Delete(const std::string& target) {
  const std::string aside =
      UseSpareName(ParentFolder(target), &next_aside_,
                   [&](const std::string& spare) { fs_.RenameFile(target, spare); });
  Note("Deleted " + target);
  entries_.push_back(Entry{Kind::kDeleted, target, aside, "", ""});
}

void Journal::BeforeRewriting(const std::string& file, const std::string& old_bytes,
                              const std::string& backup) {
  entries_.push_back(Entry{Kind::kRewritten, file, "", old_bytes, backup});
}

void Journal::Finish() {
  for (const Entry& entry : entries_) {
    if (entry.kind != Kind::kReplaced && entry.kind != Kind::kDeleted) continue;
    try {
      RemoveOwnFile(fs_, entry.aside);
    } catch (const Failure&) {
      // Left as it is: a spare copy of a replaced file harms nothing.
    }
  }
  entries_.clear();
}

std::string Journal::Undo() {
  std::string left;
  bool library_whole = true;
  // The backups of files that could not be put back, each with its file.
  std::map<std::string, std::string> keep;
  auto leave = [&left](const std::string& what) { left += "\r\n" + what; };
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    const Entry& entry = *it;
    const auto kept = keep.find(entry.path);
    if (kept != keep.end() && entry.kind != Kind::kFolder) {
      leave(entry.path + " is kept: it is " + NameOf(kept->second) + " as it was." +
            (entry.kind == Kind::kReplaced ? " The earlier one is kept as " + entry.aside + "."
                                           : ""));
      continue;
    }
    try {
      switch (entry.kind) {
        case Kind::kRewritten:
          if (fs_.ReadWholeFile(entry.path) != entry.before) {
            fs_.ReplaceContents(entry.path, entry.before);
          }
          break;
        case Kind::kCreated:
          if (fs_.Probe(entry.path).kind == EntryKind::kFile) RemoveOwnFile(fs_, entry.path);
          break;
        case Kind::kReplaced:
        case Kind::kDeleted:
          if (fs_.Probe(entry.path).kind == EntryKind::kFile) RemoveOwnFile(fs_, entry.path);
          fs_.RenameFile(entry.aside, entry.path);
          break;
        case Kind::kFolder:
          fs_.RemoveFolder(entry.path);
          break;
      }
    } catch (const Failure& failure) {
      if (entry.kind == Kind::kRewritten) {
        library_whole = false;
        keep[entry.backup] = entry.path;
        leave(entry.path + " may still hold the new area: " + failure.reason());
      } else if (entry.kind == Kind::kReplaced || entry.kind == Kind::kDeleted) {
        leave(entry.path + ": " + failure.reason() + " Its earlier version is kept as " +
              entry.aside + ".");
      } else {
        leave(entry.path + ": " + failure.reason());
      }
    }
  }
  entries_.clear();
  const std::string library = library_whole ? "scenery.cfg was not changed." : "";
  if (left.empty()) return "Setup undid the installation: nothing was left behind; " + library;
  return "Setup undid the installation, but could not take back:" + left +
         (library.empty() ? "" : "\r\n\r\n" + library);
}

}  // namespace scenery
