#include "ui/silent_install.h"

#include "engine/installation.h"
#include "engine/manifest.h"
#include "engine/package_copy.h"
#include "engine/removal.h"
#include "engine/scenery_library.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

class NoProgress : public CopyProgress {
 public:
  void OnCopyStarting() override {}
  void OnProgressStarting(std::int32_t) override {}
  void OnFileCopied(const std::string&) override {}
  void OnCopyFinished() override {}
};

// A folder that the pages would refuse: their words, as a failure.
[[noreturn]] void Refuse(const char* operation, const std::string& folder,
                         const std::string& words) {
  throw Failure(FailureKind::kBadContent, operation, folder, words);
}

}  // namespace

int InstallSilently(Reporter& reporter, PackageSource& source, FileSystem& fs,
                    const CommandLine& line, const ProgramImage* image, ProgramList* programs,
                    const std::string& package_origin, Session* session) {
  InstallSettings settings;
  ReadManifest(source, settings);
  reporter.set_title(settings.install_title);
  reporter.Note("Package: " + settings.install_title + ", " + package_origin);
  const bool earlier = programs != nullptr && ProposeEarlierInstallation(fs, *programs, settings);
  const std::string target = line.destination.empty() ? settings.target_path : line.destination;
  const std::string folder = line.simulator.empty() ? settings.guess_fs_folder : line.simulator;
  const std::string proposal =
      std::string(earlier ? "the earlier installation's" : "Setup.ini's") + " proposal";
  reporter.Note("Settings: destination " + target + " (" +
                (line.destination.empty() ? proposal : "/D=") + "), FS 2000 folder " + folder +
                " (" + (line.simulator.empty() ? proposal : "/FS=") +
                "), the licence accepted by the command line");
  // The destination page's rules.
  const DestinationVerdict verdict = JudgeDestination(source, settings, target);
  const char* install_into = "install into the folder";
  if (verdict.fault != DestinationFault::kNone) {
    Refuse(install_into, target, DestinationRefusal(verdict, target));
  }
  if (ProbeDestination(fs, target) == DestinationOnDisk::kFile) {
    Refuse(install_into, target, NamesAFileRefusal(target));
  }
  if (programs != nullptr) {
    RemovalRecord other;
    if (ReadEarlierInstallation(fs, *programs, target, &other) && !IsSamePackage(other, settings)) {
      Refuse(install_into, target,
             AnotherPackageHere(other, settings, target) + " Nothing was written.");
    }
    if (FindOtherCopy(fs, *programs, settings, target, &other)) {
      reporter.Note("A second copy: the package is installed in " + other.destination + " too");
    }
  }
  // The simulator page's.
  if (!HoldsSceneryLibrary(fs, folder)) {
    Refuse("find scenery.cfg in the folder", folder, kNoSimulatorThere);
  }
  settings.target_dir = target;
  SetSimulatorFolder(settings, folder);
  if (session != nullptr) {
    const std::string running = SimulatorRunningText(*session, settings.cfg_path, false);
    if (!running.empty()) {
      Failure failure(FailureKind::kInUse, "add the scenery to the library", settings.cfg_path,
                      running);
      failure.set_aftermath(
          "Nothing was installed: no file was copied, and scenery.cfg was not changed.");
      throw failure;
    }
    settings.cfg_copy_path = FindLibraryCopy(fs, *session, settings.cfg_path);
    if (!settings.cfg_copy_path.empty()) {
      reporter.Note("FS 2000 reads " + settings.cfg_copy_path +
                    ", the copy of scenery.cfg that Windows keeps for this user: it gets the "
                    "area too");
    }
  }
  const std::string obstacle = FindRunObstacle(source, fs, settings, image ? image->image_end : 0,
                                               programs ? programs->RemovalRoot() : "");
  if (!obstacle.empty()) Refuse("install into the folder", target, obstacle);
  NoProgress progress;
  InstallPackage(source, fs, settings, progress, image, programs, reporter.log());
  reporter.Note("The installation completed");
  return kExitInstalled;
}

}  // namespace scenery
