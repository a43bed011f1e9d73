// The whole installation that the copy page's Start runs.
#ifndef SCENERY_SETUP_ENGINE_INSTALLATION_H_
#define SCENERY_SETUP_ENGINE_INSTALLATION_H_

#include "engine/file_system.h"
#include "engine/install_settings.h"
#include "engine/package_copy.h"
#include "engine/install_log.h"
#include "engine/removal.h"

namespace scenery {

// Checks that scenery.cfg can take a new area (before anything is copied or
// written), runs the copy run, then registers the scenery area. A run that
// fails takes back what it did (files, folders, the backup, the append) and
// its report says that nothing was left behind, or what was. Returns
// whether a new area was appended: false when scenery.cfg already had an
// area for the destination folder (a repair or an update of the package).
// With `image` and `programs`, a successful run ends by writing the way to
// remove it: Uninstall.exe in its protected folder and the program-list entry
// (WriteRemoval); their failure fails the run, which is undone. With `log`,
// each folder made, file copied or found in place, the backup, the area,
// the removal record and entry, and the undo are told to it.
bool InstallPackage(PackageSource& source, FileSystem& fs, InstallSettings& settings,
                    CopyProgress& progress, const ProgramImage* image = nullptr,
                    ProgramList* programs = nullptr, RunLog* log = nullptr);

// What would keep a run from completing, found before it writes anything:
// a file of the package that the run copies and that is not there, a
// BackupCFG that names no usable file, or too little room on a drive that
// the run writes to. The room needed counts each file rounded up to 4 KiB
// (a cluster of most volumes) and 64 KiB more per drive for the folders'
// entries; on the drive of `removal_root`, `program_bytes` for
// Uninstall.exe (none when 0); on the drive of each library, its backup
// and its new area. Empty when nothing stands in the way;
// otherwise the words of the refusal, which say that nothing was changed.
std::string FindRunObstacle(PackageSource& source, FileSystem& fs, const InstallSettings& settings,
                            std::uint64_t program_bytes, const std::string& removal_root);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_INSTALLATION_H_
