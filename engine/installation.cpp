#include "engine/installation.h"

#include "engine/journal.h"
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

}  // namespace scenery
