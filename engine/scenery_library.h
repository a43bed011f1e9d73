// Registration of the installed package in the simulator's scenery library
// file scenery.cfg.
#ifndef SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_
#define SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_

#include <cstdint>
#include <string>

#include "engine/file_system.h"
#include "engine/install_settings.h"

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

// Reads settings.cfg_path and makes sure a new area could be numbered in it
// and that the backup's name (the last part of settings.backup_path) is
// fine, writing nothing: the check that comes before any file is copied.
void CheckSceneryLibrary(FileSystem& fs, const InstallSettings& settings);

// Reads settings.cfg_path. When an area of it already names
// settings.target_dir, nothing is written and the result is false (the
// package was installed there before; the user's settings of that area
// stay). Otherwise copies it to settings.backup_path, then appends the new
// area section (after a CR LF when the file's last line has no line end) and
// the result is true. The backup's write and the append are recorded in
// `journal`, whose undo takes them back when the run fails.
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
