#include "engine/package_copy.h"

#include <vector>

#include "engine/target_folders.h"

namespace scenery {
namespace {

std::vector<std::string> PackageMatches(FileSystem& fs, const std::string& program_folder,
                                        const std::string& extension) {
  return fs.FindFiles(program_folder + "\\*." + extension);
}

// Copies each match of `extension` from the program folder into `folder`.
void CopyMatches(FileSystem& fs, const std::string& program_folder, const std::string& extension,
                 const std::string& folder, CopyProgress& progress, int& copied) {
  for (const std::string& name : PackageMatches(fs, program_folder, extension)) {
    fs.CopyReplacing(program_folder + "\\" + name, folder + "\\" + name);
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

void CountPackageFiles(FileSystem& fs, InstallSettings& settings) {
  const std::string program_folder = fs.ProgramFolder();
  std::int32_t count = 0;
  for (const std::string& extension : settings.extensions) {
    count += static_cast<std::int32_t>(PackageMatches(fs, program_folder, extension).size());
  }
  count += static_cast<std::int32_t>(PackageMatches(fs, program_folder, "bgl").size());
  settings.file_count = count;
}

void CopyPackageFiles(FileSystem& fs, InstallSettings& settings, CopyProgress& progress) {
  int copied = 0;
  try {
    CountPackageFiles(fs, settings);
    progress.OnCopyStarting();
    const std::string& target_dir = settings.target_dir;
    CreateTargetFolders(fs, target_dir);
    const std::string scenery_dir = target_dir + "\\Scenery";
    const std::string texture_dir = target_dir + "\\Texture";
    progress.OnProgressStarting(settings.file_count);

    const std::string program_folder = fs.ProgramFolder();
    CopyMatches(fs, program_folder, "bgl", scenery_dir, progress, copied);
    for (const std::string& extension : settings.extensions) {
      CopyMatches(fs, program_folder, extension, texture_dir, progress, copied);
    }
    for (const char* document : {"License.txt", "ReadMe.txt"}) {
      fs.CopyReplacing(program_folder + "\\" + document, target_dir + "\\" + document);
      ++copied;
    }
    progress.OnCopyFinished();
  } catch (Failure& failure) {
    failure.set_aftermath(Aftermath(settings.target_dir, copied));
    throw;
  }
}

std::optional<OverlongPath> FindOverlongPath(FileSystem& fs, const InstallSettings& settings,
                                             const std::string& target_dir) {
  // Every folder above the destination is shorter than its subfolders.
  const std::string scenery_dir = target_dir + "\\Scenery";
  if (scenery_dir.size() > kMaxFolderPath) return OverlongPath{scenery_dir, true, kMaxFolderPath};

  std::string longest;
  auto consider = [&longest](const std::string& path) {
    if (path.size() > longest.size()) longest = path;
  };
  const std::string program_folder = fs.ProgramFolder();
  for (const std::string& name : PackageMatches(fs, program_folder, "bgl")) {
    consider(scenery_dir + "\\" + name);
  }
  for (const std::string& extension : settings.extensions) {
    for (const std::string& name : PackageMatches(fs, program_folder, extension)) {
      consider(target_dir + "\\Texture\\" + name);
    }
  }
  for (const char* document : {"License.txt", "ReadMe.txt"}) consider(target_dir + "\\" + document);
  if (longest.size() > kMaxFilePath) return OverlongPath{longest, false, kMaxFilePath};
  return std::nullopt;
}

}  // namespace scenery
