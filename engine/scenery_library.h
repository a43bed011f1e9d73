// Registration of the installed package in the simulator's scenery library
// file scenery.cfg.
#ifndef SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_
#define SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_

#include <cstdint>
#include <string>

#include "engine/file_system.h"
#include "engine/install_settings.h"

namespace scenery {

// The number of the new area: the largest number among the area headers of
// the library file's `bytes` plus 1, or 1 when no header carries a number
// above 0. A header is a line that starts, after any blanks, with "[Area." in
// any letter case; its number is read from the three characters after the dot.
std::int32_t NextAreaNumber(const std::string& bytes);

// The section appended for the new area, every line ended by CR LF:
// [Area.NNN], Title=, Local=, Active=TRUE, Layer=, the optional Exclude=,
// Flatten.0= and Flatten.1= lines, and an empty line. The area label has at
// least three digits; larger numbers are written in full.
std::string AreaSection(std::int32_t area_number, const InstallSettings& settings);

// Reads settings.cfg_path, copies it to settings.backup_path, then appends
// the new area section (after a CR LF when the file's last line has no line
// end). An append that fails part-way is undone before the failure is
// reported, so scenery.cfg is either as it was or extended by one whole
// section.
void RegisterSceneryArea(FileSystem& fs, const InstallSettings& settings);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_SCENERY_LIBRARY_H_
