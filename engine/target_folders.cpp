#include "engine/target_folders.h"

#include "engine/journal.h"
#include "engine/package_layout.h"
#include "engine/paths.h"

namespace scenery {
namespace {

// Makes `folder` unless something stands there already. A file in the way is
// reported here, where its name is known, rather than by the first copy into
// the folder that could not be made.
void EnsureFolder(FileSystem& fs, const std::string& folder, Journal& journal) {
  const PathInfo info = fs.Probe(folder);
  if (info.kind == EntryKind::kFolder) return;
  if (info.kind == EntryKind::kFile) {
    throw Failure(FailureKind::kAlreadyExists, op::kMakeFolder, folder,
                  "A file of that name is in the way.");
  }
  fs.MakeFolder(folder);
  journal.MadeFolder(folder);
}

}  // namespace

void CreateTargetFolders(FileSystem& fs, const std::string& path, Journal& journal) {
  // Ancestors first, top down: one level per backslash after the root. An
  // empty level (a doubled backslash) names the same folder as the level
  // before it and is skipped.
  const std::size_t root = RootLength(path);
  for (std::size_t p = path.find('\\', root); p != std::string::npos;
       p = path.find('\\', p + 1)) {
    if (p == 0 || path[p - 1] == '\\' || p <= root) continue;
    EnsureFolder(fs, path.substr(0, p), journal);
  }
  if (path.size() > root && path.back() != '\\') EnsureFolder(fs, path, journal);
  EnsureFolder(fs, path + "\\" + kSceneryFolder, journal);
  EnsureFolder(fs, path + "\\" + kTextureFolder, journal);
  // The folders that the copy run writes into: each write must know whether
  // it replaces a file.
  for (const std::string& folder :
       {path, path + "\\" + kSceneryFolder, path + "\\" + kTextureFolder}) {
    journal.WillWriteInto(folder);
  }
}

}  // namespace scenery
