// What an installation run does to the disk, kept in order, so that a run
// that fails can take it back and leave the disk as it found it.
#ifndef SCENERY_SETUP_ENGINE_JOURNAL_H_
#define SCENERY_SETUP_ENGINE_JOURNAL_H_

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/install_log.h"

namespace scenery {

// The spare file name `number` ("~sc0001.tmp"): short, so that it fits in a
// folder wherever a file name of the package fits.
std::string SpareFileName(int number);

// Runs `use` on the spare paths of `folder` in turn (SpareFileName(*next),
// then the next number, ...) until it does not fail with kAlreadyExists,
// and returns the path it took; *next is then the number after it. When
// every name is taken, the last failure is thrown.
std::string UseSpareName(const std::string& folder, int* next,
                         const std::function<void(const std::string&)>& use);

class Journal {
 public:
  explicit Journal(FileSystem& fs) : fs_(fs) {}
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // What the run does is also told to `log`, when there is one.
  void set_log(RunLog* log) { log_ = log; }
  bool logging() const { return log_ != nullptr; }
  void Note(const std::string& event) {
    if (log_ != nullptr) log_->Note(event);
  }

  // The run made `folder`: it held nothing before.
  void MadeFolder(const std::string& folder);
  // The run will write files into the existing `folder`: the names there
  // are listed once, so that each write knows whether it replaces a file.
  void WillWriteInto(const std::string& folder);
  // The run is about to write `target`. An ordinary file already there is
  // first set aside under a free name beside it ("~sc0001.tmp"), so that
  // the write makes a new file and the old one can come back. A hidden or
  // system file stays where it is (writing over it is refused).
  void BeforeWriting(const std::string& target);
  // The run deletes the file `target`: it is set aside like a file that is
  // replaced, deleted when the run succeeds and back when it fails.
  void Delete(const std::string& target);
  // The run is about to give `file`, which holds `old_bytes`, new contents
  // (FileSystem::ReplaceContents); its copy as it was is `backup`, written
  // by the run before. The undo puts the old bytes back the same way; where
  // it cannot, it keeps that backup.
  void BeforeRewriting(const std::string& file, const std::string& old_bytes,
                       const std::string& backup);

  // The run succeeded: the files set aside are deleted (one that cannot be
  // stays, harmless). Never throws.
  void Finish();
  // The run failed: takes back what it did, last first (files it created
  // deleted, files it replaced back as they were, appends cut off, folders
  // it made removed). Returns the words for the report: that nothing was
  // left behind, or exactly what was and why. Never throws.
  std::string Undo();
  bool empty() const { return entries_.empty(); }
  // The files the run wrote (created or replaced) and the folders it made,
  // in order.
  std::vector<std::string> Written() const;
  std::vector<std::string> MadeFolders() const;

 private:
  enum class Kind { kFolder, kCreated, kReplaced, kRewritten, kDeleted };
  struct Entry {
    Kind kind;
    std::string path;
    std::string aside;   // kReplaced, kDeleted: where the old file waits
    std::string before;  // kRewritten: the bytes before
    std::string backup;  // kRewritten: the copy of the file as it was
  };
  FileSystem& fs_;
  RunLog* log_ = nullptr;
  std::vector<Entry> entries_;
  // Per folder written into (key: folded path), the folded names of its
  // ordinary files and of its hidden or system ones.
  std::map<std::string, std::set<std::string>> ordinary_, hidden_;
  int next_aside_ = 1;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_JOURNAL_H_
