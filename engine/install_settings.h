// The one record of the run: the manifest's values, read at start-up, and
// the choices made on the wizard pages. Created empty, filled once from
// Setup.ini, completed by the pages, never saved.
#ifndef SCENERY_SETUP_ENGINE_INSTALL_SETTINGS_H_
#define SCENERY_SETUP_ENGINE_INSTALL_SETTINGS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace scenery {

// A manifest lists at most this many texture extensions.
constexpr int kMaxExtensions = 50;

struct InstallSettings {
  // From Setup.ini.
  std::string install_title;    // InstallTitle: page captions, message box titles, background title
  std::string scenery_title;    // SceneryTitle: Title= of the new scenery area
  std::string copyright;        // CopyRight: notice at the bottom right of the background
  std::string target_path;      // TargetPath: first proposal of the destination page
  std::string target_folder;    // TargetFolder: appended to a folder picked on the destination page
  std::string guess_fs_folder;  // GuessFSFolder: first proposal of the simulator folder page
  std::string backup_cfg;       // BackupCFG: file name of the backup of scenery.cfg
  std::string exclude;          // Exclude: optional Exclude= line of the new area
  std::string flatten0;         // Flatten.0: optional Flatten.0= line of the new area
  std::string flatten1;         // Flatten.1: optional Flatten.1= line of the new area
  std::string publisher;        // Publisher: optional, the list of programs' Publisher
  std::string version;          // Version: optional, the list of programs' DisplayVersion
  // Extension: texture file extensions without the dot, in the order of the
  // manifest's lines; a repeated extension takes a second slot. Its size is
  // the extension count, at most kMaxExtensions.
  std::vector<std::string> extensions;

  // From the pages.
  std::string target_dir;   // destination folder of the package
  std::string cfg_path;     // full path of the simulator's scenery.cfg
  std::string backup_path;  // full path of the backup copy of scenery.cfg
  // The copy of scenery.cfg that Windows gives the simulator in its place
  // (the desktop user's VirtualStore), when there is one: it gets the area
  // too, and its own backup beside it. Looked for when the run starts.
  std::string cfg_copy_path;

  // From the file counter: the scenery and texture files that the progress
  // bar stands for. Counted in 32 bits, so a large package cannot overflow.
  std::int32_t file_count = 0;
};

// The name that stands for the package where InstallTitle is empty: the
// entry in the list of programs, the background's taskbar entry, the title
// of the reports.
inline std::string DisplayName(const std::string& install_title) {
  return install_title.empty() ? "Setup" : install_title;
}

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_INSTALL_SETTINGS_H_
