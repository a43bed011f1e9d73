#include "engine/installation.h"

#include <map>
#include <utility>

#include "engine/journal.h"
#include "engine/paths.h"
#include "engine/scenery_library.h"

namespace scenery {

bool InstallPackage(PackageSource& source, FileSystem& fs, InstallSettings& settings,
                    CopyProgress& progress, const ProgramImage* image,
                    ProgramList* programs, RunLog* log) {
  CheckSceneryLibrary(fs, settings);
  Journal journal(fs);
  journal.set_log(log);
  try {
    CopyPackageFiles(source, fs, settings, progress, journal);
    const bool appended = RegisterSceneryArea(fs, settings, journal);
    if (image != nullptr && programs != nullptr) {
      std::vector<std::string> installs;
      for (const PackageFile& file : ListPackageFiles(source, settings)) {
        installs.push_back(file.subfolder.empty() ? file.name : file.subfolder + "\\" + file.name);
      }
      WriteRemoval(fs, settings, journal, *image, *programs, installs);
    }
    journal.Finish();
    return appended;
  } catch (Failure& failure) {
    // What the failed run did is taken back; the report says what is left.
    if (!journal.empty()) {
      failure.set_aftermath(journal.Undo());
      journal.Note(failure.aftermath());
    }
    throw;
  }
}

namespace {

constexpr std::uint64_t kCluster = 4096;
constexpr std::uint64_t kFolderEntries = 64 * 1024;

std::uint64_t OnDisk(std::uint64_t bytes) { return (bytes + kCluster - 1) / kCluster * kCluster; }

// A size as the user reads it: "812 KB", "3.4 MB".
std::string SizeText(std::uint64_t bytes) {
  const std::uint64_t kib = (bytes + 1023) / 1024;
  if (kib < 1024) return std::to_string(kib) + " KB";
  const std::uint64_t tenths = (bytes * 10 + 512 * 1024) / (1024 * 1024);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

// The nearest folder at or above `path` that exists.
std::string ExistingFolder(FileSystem& fs, std::string path) {
  while (fs.Probe(path).kind != EntryKind::kFolder) {
    const std::string parent = ParentFolder(path);
    if (parent.size() >= path.size()) break;
    path = parent;
  }
  return path;
}

}  // namespace

namespace {

std::string FindObstacle(PackageSource& source, FileSystem& fs, const InstallSettings& settings,
                         std::uint64_t program_bytes, const std::string& removal_root) {
  const std::string nothing = "\r\n\r\nNothing was changed. ";
  const std::string ask_author = nothing + "Please ask the package's author for a whole package.";
  const std::string backup_fault = BackupNameFault(settings.backup_cfg);
  if (!backup_fault.empty()) {
    return "The package's Setup.ini names no usable backup of scenery.cfg (BackupCFG=" +
           settings.backup_cfg + "): " + backup_fault + "." + ask_author;
  }
  // Per drive: the folder whose free space counts, and the bytes needed.
  std::map<std::string, std::pair<std::string, std::uint64_t>> drives;
  auto need = [&](const std::string& path, std::uint64_t bytes) {
    auto& drive = drives[UpperAscii(path.substr(0, RootLength(path)))];
    if (drive.first.empty()) {
      drive.first = ExistingFolder(fs, path);
      drive.second = kFolderEntries;
    }
    drive.second += OnDisk(bytes);
  };
  const bool in_place = source.LiesIn(fs, settings.target_dir);  // nothing copied
  for (const PackageFile& file : ListPackageFiles(source, settings)) {
    if (source.Find(file.name).empty()) {  // License.txt or ReadMe.txt
      return "The package is not whole: it has no file " + source.PathOf(file.name) + "." +
             ask_author;
    }
    need(settings.target_dir, in_place ? 0 : source.SizeOf(file.name));
  }
  for (const LibraryFile& library : LibrariesOf(fs, settings)) {
    need(library.backup, fs.FileLength(library.path) + 1024);
  }
  if (program_bytes != 0) need(removal_root, program_bytes + 64 * 1024);
  for (const auto& drive : drives) {
    const std::uint64_t free = fs.FreeBytes(drive.second.first);
    if (free < drive.second.second) {
      return "There is not enough room on the drive of " + drive.second.first +
             " for the installation: it needs " + SizeText(drive.second.second) + ", and " +
             SizeText(free) + " are free." + nothing +
             "Please make room on the drive, or choose another destination folder.";
    }
  }
  return "";
}

}  // namespace

std::string FindRunObstacle(PackageSource& source, FileSystem& fs, const InstallSettings& settings,
                            std::uint64_t program_bytes, const std::string& removal_root) {
  try {
    return FindObstacle(source, fs, settings, program_bytes, removal_root);
  } catch (Failure& failure) {
    failure.set_aftermath(
        "Nothing was installed: no file was copied, and scenery.cfg was not "
        "changed.");
    throw;
  }
}

}  // namespace scenery
