#include "engine/package_copy.h"

#include <vector>

#include "engine/journal.h"
#include "engine/paths.h"
#include "engine/target_folders.h"

namespace scenery {
namespace {

std::vector<std::string> PackageMatches(PackageSource& source, const std::string& extension) {
  return source.Find("*." + extension);
}

// Tells the log that `name` was copied to `target`, with its size.
void NoteCopied(FileSystem& fs, Journal& journal, const std::string& name,
                const std::string& target) {
  if (!journal.logging()) return;
  journal.Note("Copied " + name + " to " + target + " (" + std::to_string(fs.FileLength(target)) +
                " bytes)");
}

// Copies each match of `extension` from the package into `folder`. When
// the package's files lie in `folder` itself (the package was extracted
// where it is to be installed), each file is already in place: it is left
// untouched and counts as copied.
void CopyMatches(PackageSource& source, FileSystem& fs, const std::string& extension,
                 const std::string& folder, bool in_place, CopyProgress& progress, int& copied,
                 Journal& journal) {
  for (const std::string& name : PackageMatches(source, extension)) {
    if (!in_place) {
      const std::string target = folder + "\\" + name;
      journal.BeforeWriting(target);
      WriteOwnFile(fs, target, [&] { source.CopyTo(name, fs, target); });
      NoteCopied(fs, journal, name, target);
    } else {
      journal.Note("Found " + name + " already in place in " + folder);
    }
    ++copied;
    progress.OnFileCopied(name);
  }
}

std::string Aftermath(const std::string& target_dir, int copied) {
  const std::string unchanged = "scenery.cfg was not changed.";
  if (copied == 0) return "No file was copied; " + unchanged;
  if (copied == 1) return "The file copied so far stays in " + target_dir + "; " + unchanged;
  return "The " + std::to_string(copied) + " files copied so far stay in " + target_dir + "; " +
         unchanged;
}

}  // namespace

void CountPackageFiles(PackageSource& source, InstallSettings& settings) {
  std::int32_t count = 0;
  for (const std::string& extension : settings.extensions) {
    count += static_cast<std::int32_t>(PackageMatches(source, extension).size());
  }
  count += static_cast<std::int32_t>(PackageMatches(source, "bgl").size());
  settings.file_count = count;
}

void CopyPackageFiles(PackageSource& source, FileSystem& fs, InstallSettings& settings,
                      CopyProgress& progress, Journal& journal) {
  int copied = 0;
  try {
    CountPackageFiles(source, settings);
    progress.OnCopyStarting();
    const std::string& target_dir = settings.target_dir;
    CreateTargetFolders(fs, target_dir, journal);
    const std::string scenery_dir = target_dir + "\\" + kSceneryFolder;
    const std::string texture_dir = target_dir + "\\" + kTextureFolder;
    progress.OnProgressStarting(settings.file_count);

    // Compared as Windows compares folders, not as names: one look per
    // folder of the tree, made by now.
    const bool scenery_in_place = source.LiesIn(fs, scenery_dir);
    const bool texture_in_place = source.LiesIn(fs, texture_dir);
    const bool documents_in_place = source.LiesIn(fs, target_dir);
    CopyMatches(source, fs, "bgl", scenery_dir, scenery_in_place, progress, copied, journal);
    for (const std::string& extension : settings.extensions) {
      CopyMatches(source, fs, extension, texture_dir, texture_in_place, progress, copied, journal);
    }
    for (const char* document : kDocumentNames) {
      if (!documents_in_place) {
        const std::string target = target_dir + "\\" + document;
        journal.BeforeWriting(target);
        WriteOwnFile(fs, target, [&] { source.CopyTo(document, fs, target); });
        NoteCopied(fs, journal, document, target);
      } else if (fs.Probe(source.PathOf(document)).kind != EntryKind::kFile) {
        // In place, the document must still be there: the package needs it.
        throw Failure(FailureKind::kNotFound, op::kCopy, source.PathOf(document),
                      "The system cannot find the file specified.")
            .set_target(target_dir + "\\" + document);
      }
      ++copied;
    }
    progress.OnCopyFinished();
  } catch (Failure& failure) {
    failure.set_aftermath(Aftermath(settings.target_dir, copied));
    throw;
  }
}

std::vector<PackageFile> ListPackageFiles(PackageSource& source, const InstallSettings& settings) {
  std::vector<PackageFile> files;
  for (const std::string& name : PackageMatches(source, "bgl")) {
    files.push_back(PackageFile{name, kSceneryFolder});
  }
  for (const std::string& extension : settings.extensions) {
    for (const std::string& name : PackageMatches(source, extension)) {
      files.push_back(PackageFile{name, kTextureFolder});
    }
  }
  for (const char* document : kDocumentNames) {
    files.push_back(PackageFile{document, ""});
  }
  return files;
}

std::optional<OverlongPath> FindOverlongPath(PackageSource& source, const InstallSettings& settings,
                                             const std::string& target_dir) {
  // Every folder above the destination is shorter than its subfolders.
  const std::string scenery_dir = target_dir + "\\" + kSceneryFolder;
  if (scenery_dir.size() > kMaxFolderPath) return OverlongPath{scenery_dir, true, kMaxFolderPath};
  std::string longest;
  for (const PackageFile& file : ListPackageFiles(source, settings)) {
    const std::string folder =
        file.subfolder.empty() ? target_dir : target_dir + "\\" + file.subfolder;
    const std::string path = folder + "\\" + file.name;
    if (path.size() > longest.size()) longest = path;
  }
  if (longest.size() > kMaxFilePath) return OverlongPath{longest, false, kMaxFilePath};
  return std::nullopt;
}

DestinationVerdict JudgeDestination(PackageSource& source, const InstallSettings& settings,
                                    const std::string& path) {
  DestinationVerdict verdict;
  if (!IsFullPath(path)) {
    verdict.fault = DestinationFault::kNotFullPath;
  } else if (HasForbiddenPathCharacters(path)) {
    verdict.fault = DestinationFault::kForbiddenCharacter;
  } else if (const auto overlong = FindOverlongPath(source, settings, path)) {
    verdict.fault = DestinationFault::kTooLong;
    verdict.overlong = *overlong;
  }
  return verdict;
}

DestinationOnDisk ProbeDestination(FileSystem& fs, const std::string& path) {
  const PathInfo info = fs.Probe(path);
  if (info.kind == EntryKind::kFile) return DestinationOnDisk::kFile;
  return info.kind == EntryKind::kFolder && !info.hidden_or_system ? DestinationOnDisk::kFolder
                                                                   : DestinationOnDisk::kMissing;
}

bool HoldsSceneryLibrary(FileSystem& fs, const std::string& folder) {
  return !fs.FindFiles(folder + "\\scenery.cfg").empty();
}

void SetSimulatorFolder(InstallSettings& settings, const std::string& folder) {
  settings.cfg_path = folder + "\\scenery.cfg";
  settings.backup_path = folder + "\\" + settings.backup_cfg;
}

}  // namespace scenery
