// The copy run: counts the package files, makes the destination tree and
// copies the package into it, reporting its progress.
#ifndef SCENERY_SETUP_ENGINE_PACKAGE_COPY_H_
#define SCENERY_SETUP_ENGINE_PACKAGE_COPY_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/install_settings.h"
#include "engine/package_layout.h"
#include "engine/package_source.h"

namespace scenery {

class Journal;

// How the copy run reports to the copy page, in this order.
class CopyProgress {
 public:
  virtual ~CopyProgress() = default;
  // Once, after counting, before the destination tree is made.
  virtual void OnCopyStarting() = 0;
  // Once, after the destination tree is made, before the first copy.
  virtual void OnProgressStarting(std::int32_t file_count) = 0;
  // After each scenery and texture file; `name` is the file name alone.
  virtual void OnFileCopied(const std::string& name) = 0;
  // Once, after both documents have been copied.
  virtual void OnCopyFinished() = 0;
};

// Sets settings.file_count to the number of scenery and texture files of the
// package: the matches of each listed extension, one count per slot (a
// repeated extension counts twice), plus the *.bgl files.
void CountPackageFiles(PackageSource& source, InstallSettings& settings);

// The whole copy run into settings.target_dir: *.bgl into its Scenery
// subfolder, each listed extension into its Texture subfolder, License.txt
// and ReadMe.txt into the folder itself, replacing files of the same names.
// A failure says what it left behind: the files copied so far stay, and
// scenery.cfg has not been touched. Every folder made and every file
// written is recorded in `journal` first.
void CopyPackageFiles(PackageSource& source, FileSystem& fs, InstallSettings& settings,
                      CopyProgress& progress, Journal& journal);

// A file that the copy run copies, and where it goes.
struct PackageFile {
  std::string name;
  // The subfolder of the destination that it goes to: "Scenery", "Texture",
  // or "" for the destination itself (the two documents).
  std::string subfolder;
};

// The files of the package in the order of the copy run: the *.bgl files to
// Scenery, each listed extension's files to Texture (a repeated extension's
// files again), License.txt and ReadMe.txt to the destination itself.
std::vector<PackageFile> ListPackageFiles(PackageSource& source, const InstallSettings& settings);

// Windows' ANSI file calls, which Setup.exe and the simulator use, open no
// file whose full path is longer than kMaxFilePath characters and make no
// folder whose path is longer than kMaxFolderPath.
constexpr std::size_t kMaxFilePath = 259;
constexpr std::size_t kMaxFolderPath = 247;

// A path of an installation that Windows could not use.
struct OverlongPath {
  std::string path;
  bool folder = false;        // a folder the installation would make, else a file it would write
  std::size_t limit = 0;      // kMaxFolderPath or kMaxFilePath
};

// The longest path that a copy run into `target_dir` would use beyond those
// limits: the Scenery and Texture folders, and each package file (the
// longest file name counts) in the folder it goes to, formed as the copy run
// forms them. Nothing when every path fits.
std::optional<OverlongPath> FindOverlongPath(PackageSource& source, const InstallSettings& settings,
                                             const std::string& target_dir);

// Why the destination page refuses `path` as the destination folder, judged
// from the text and the package alone, before the disk is looked at.
enum class DestinationFault {
  kNone,
  kNotFullPath,        // neither "X:\..." nor "\\server\share..."
  kForbiddenCharacter, // * ? " < > |, a control character, or a colon after the drive's
  kTooLong,            // a path of the installation passes Windows' limits
};
struct DestinationVerdict {
  DestinationFault fault = DestinationFault::kNone;
  OverlongPath overlong;  // for kTooLong: the path and its limit
};
DestinationVerdict JudgeDestination(PackageSource& source, const InstallSettings& settings,
                                    const std::string& path);

// What stands at the destination `path` on the disk: a file (no folder can
// be made where one stands, hidden or not), a folder that is there to see,
// or nothing yet (a hidden or system folder counts as nothing: the user
// cannot see it). Throws the Failure of a path that cannot be looked at (no
// disc in the drive, a folder above that may not be read).
enum class DestinationOnDisk { kMissing, kFolder, kFile };
DestinationOnDisk ProbeDestination(FileSystem& fs, const std::string& path);

// Whether `folder` is the simulator's: it holds scenery.cfg. A text that is
// no valid path finds nothing; throws the Failure of a folder that cannot
// be looked into.
bool HoldsSceneryLibrary(FileSystem& fs, const std::string& folder);
// Takes `folder` as the simulator's: scenery.cfg and its backup (BackupCFG)
// in it.
void SetSimulatorFolder(InstallSettings& settings, const std::string& folder);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_PACKAGE_COPY_H_
