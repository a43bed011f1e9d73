// Registration of the installed package in the simulator's scenery library
// file scenery.cfg.
#ifndef SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_
#define SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/install_settings.h"
#include "engine/session.h"

namespace scenery {

class Journal;

// What one pass over a library file's bytes tells.
struct LibraryScan {
  // The largest area number of the file, 0 when no header carries a number
  // above 0. A header is a line that starts, after any blanks, with "[Area."
  // in any letter case; its number is the whole run of digits after the dot
  // (after blanks and a sign). Numbers too large for 63 bits stay at the
  // largest 63-bit value.
  std::int64_t largest_area = 0;
  // An area section has a Local= line that names the folder looked for.
  bool has_folder = false;
};

// Scans the library file's `bytes` once. When `folder` is not empty, it
// looks for an area whose Local= names that folder, as Windows compares
// paths; a relative Local= is taken relative to `simulator_folder`.
LibraryScan ScanLibrary(const std::string& bytes, const std::string& folder = "",
                        const std::string& simulator_folder = "");

// The number of the new area: the largest area number of `bytes` plus 1, or
// 1 when there is none. A number that cannot be increased within 32 bits
// throws kBadContent, without a path; the caller names the file.
std::int32_t NextAreaNumber(const std::string& bytes);

// The section appended for the new area, every line ended by CR LF:
// [Area.NNN], Title=, Local=, Active=TRUE, Layer=, the optional Exclude=,
// Flatten.0= and Flatten.1= lines, and an empty line. The area label has at
// least three digits; larger numbers are written in full.
std::string AreaSection(std::int32_t area_number, const InstallSettings& settings);

// What is wrong with `name` (BackupCFG) as the file name of the backup of
// scenery.cfg, made beside it: empty, not a plain file name (a folder in it,
// a character Windows forbids), or scenery.cfg itself. Empty when it is fine.
std::string BackupNameFault(const std::string& name);

// A library file that a run registers the area in, and its backup.
struct LibraryFile {
  std::string path;
  std::string backup;
};

// scenery.cfg (settings.cfg_path, its backup settings.backup_path), then
// the copy that Windows gives the simulator in its place, when there is
// one, with its backup beside it (CopyBackupOf).
std::vector<LibraryFile> LibrariesOf(FileSystem& fs, const InstallSettings& settings);

// The backup of the copy `library` of scenery.cfg: BackupCFG beside it, or
// its file name alone where BackupCFG names a subfolder that the copy's
// folder lacks (Windows made that folder for the copy alone).
std::string CopyBackupOf(FileSystem& fs, const std::string& library, const std::string& backup_cfg);

// The copy of `file` that Windows keeps in `virtual_store` (the
// VirtualStore folder of a user) for programs without a manifest that
// wrote it: the path below `system_drive` ("C:"), where `file` lies on
// that drive. Empty where it cannot be (another drive, no store).
std::string VirtualStoreCopyOf(const std::string& file, const std::string& virtual_store,
                               const std::string& system_drive);

// The copy of the library `cfg_path` that Windows gives the simulator in
// its place for the user of `session`'s desktop, when that file exists;
// otherwise empty. Never throws.
std::string FindLibraryCopy(FileSystem& fs, Session& session, const std::string& cfg_path);

// Reads each library of LibrariesOf(settings) and makes sure a new area
// could be numbered in it and that the backup's name (BackupCFG) is fine
// beside it, writing nothing: the check that comes before any file is
// copied.
void CheckSceneryLibrary(FileSystem& fs, const InstallSettings& settings);

// For each library of LibrariesOf(settings) in turn: reads it; when an
// area of it already names settings.target_dir, nothing is written to it
// (the package was installed there before; the user's settings of that
// area stay). Otherwise copies it to its backup, then gives it its old
// bytes followed by the new area section (after a CR LF when the file's
// last line has no line end), numbered after the file's own areas, put in
// its place whole (FileSystem::ReplaceContents), so that a power cut
// leaves the old library or the new one. The result tells whether any
// library got the area. The backups' writes and the new contents are
// recorded in `journal`, whose undo takes them back when the run fails.
bool RegisterSceneryArea(FileSystem& fs, const InstallSettings& settings, Journal& journal);

// `bytes` without the section of each area whose Local= names `folder` (as
// ScanLibrary compares it), from its header line up to the next section's
// header line or the end; every other byte stays as it is and no area is
// renumbered. `*found` tells whether there was one.
std::string WithoutArea(const std::string& bytes, const std::string& folder,
                        const std::string& simulator_folder, bool* found);

// The folder that holds the library file `cfg_path`.
std::string SimulatorFolderOf(const std::string& cfg_path);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_
