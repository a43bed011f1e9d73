// Shared furniture of the engine tests: a recording CopyProgress and a small
// package laid out in a sandbox.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_PACKAGE_FIXTURE_H_
#define SCENERY_SETUP_TESTS_SUPPORT_PACKAGE_FIXTURE_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/install_settings.h"
#include "engine/journal.h"
#include "engine/package_copy.h"
#include "engine/package_source.h"
#include "engine/scenery_library.h"
#include "engine/target_folders.h"
#include "tests/support/sandbox.h"

namespace scenery {

// The package in the program's folder of `fs`, as Setup.exe without a
// carried package reads it; it lives to the end of the expression that
// makes it.
inline std::unique_ptr<FolderSource> ProgramFolderPackage(FileSystem& fs) {
  return std::make_unique<FolderSource>(fs);
}

// The engine's steps called alone, outside a whole installation, each with
// a journal of its own that is never undone.
inline void CreateTargetFolders(FileSystem& fs, const std::string& path) {
  Journal journal(fs);
  CreateTargetFolders(fs, path, journal);
}
inline void CopyPackageFiles(PackageSource& source, FileSystem& fs, InstallSettings& settings,
                             CopyProgress& progress) {
  Journal journal(fs);
  CopyPackageFiles(source, fs, settings, progress, journal);
}
inline bool RegisterSceneryArea(FileSystem& fs, const InstallSettings& settings) {
  Journal journal(fs);
  return RegisterSceneryArea(fs, settings, journal);
}

// Records each notification as one line: "starting", "progress 5",
// "copied a.bgl", "finished".
class RecordingProgress : public CopyProgress {
 public:
  void OnCopyStarting() override { events.push_back("starting"); }
  void OnProgressStarting(std::int32_t file_count) override {
    events.push_back("progress " + std::to_string(file_count));
  }
  void OnFileCopied(const std::string& name) override { events.push_back("copied " + name); }
  void OnCopyFinished() override { events.push_back("finished"); }

  std::vector<std::string> events;
};

// A scenery.cfg of two areas, CR LF throughout.
inline std::string SampleSceneryCfg() {
  return "[General]\r\nTitle=FS2000 World Scenery\r\nDescription=Scenery library\r\n\r\n"
         "[Area.001]\r\nTitle=Default Terrain\r\nLocal=Scenery\\World\r\nActive=TRUE\r\n"
         "Layer=1\r\n\r\n"
         "[Area.002]\r\nTitle=Propeller Field\r\nLocal=Scenery\\Propfld\r\nActive=TRUE\r\n"
         "Layer=2\r\n";
}

// Lays out in the sandbox's program folder: Setup.exe, Setup.ini, two
// scenery files, textures of the extensions "bmp" and "r8", one file of an
// unlisted extension, License.txt and ReadMe.txt; and a simulator folder
// root\FS2000 with scenery.cfg. Fills `settings` as the pages would.
inline void LayOutPackage(Sandbox& box, InstallSettings& settings) {
  const std::string pkg = box.program_folder();
  box.Write(pkg + "\\Setup.exe", "MZ");
  box.Write(pkg + "\\Setup.ini", "[Setup]\r\nExtension=bmp\r\nExtension=r8\r\n");
  box.Write(pkg + "\\Harbour.bgl", "BGL harbour");
  box.Write(pkg + "\\Runway.BGL", "BGL runway");
  box.Write(pkg + "\\water.bmp", "BM water");
  box.Write(pkg + "\\grass.r8", "R8 grass");
  box.Write(pkg + "\\notes.doc", "not part of the package");
  box.Write(pkg + "\\License.txt", "Licence \xE9t\xE9\r\n");
  box.Write(pkg + "\\ReadMe.txt", "Read me\r\n");
  box.Write(box.root() + "\\FS2000\\scenery.cfg", SampleSceneryCfg());
  settings.scenery_title = "Harbour Island";
  settings.extensions = {"bmp", "r8"};
  settings.target_dir = box.root() + "\\Scenery\\Harbour";
  settings.cfg_path = box.root() + "\\FS2000\\scenery.cfg";
  settings.backup_cfg = "scenery.bak";
  settings.backup_path = box.root() + "\\FS2000\\scenery.bak";
}

}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_PACKAGE_FIXTURE_H_
