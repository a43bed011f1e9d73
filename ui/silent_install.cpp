#include "ui/silent_install.h"

#include <new>

#include "engine/installation.h"
#include "engine/manifest.h"
#include "engine/package_copy.h"
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

// A folder that the pages would refuse: its words, as a failure.
[[noreturn]] void Refuse(const char* operation, const std::string& folder,
                         const std::string& words) {
  throw Failure(FailureKind::kBadContent, operation, folder, words);
}

}  // namespace

int InstallSilently(PackageSource& source, FileSystem& fs, const CommandLine& line,
                    const ProgramImage* image, ProgramList* programs, InstallLog* log,
                    const std::string& package_origin) {
  auto note = [log](const std::string& event) {
    if (log != nullptr) log->Note(event);
  };
  InstallSettings settings;
  try {
    ReadManifest(source, settings);
    note("Package: " + settings.install_title + ", " + package_origin);
    const bool earlier = programs != nullptr && ProposeEarlierInstallation(fs, *programs, settings);
    const std::string target = line.destination.empty() ? settings.target_path : line.destination;
    const std::string folder = line.simulator.empty() ? settings.guess_fs_folder : line.simulator;
    const char* proposal = earlier ? "the earlier installation's" : "Setup.ini's";
    note("Settings: destination " + target + " (" +
         (line.destination.empty() ? proposal + std::string(" proposal") : "/D=") +
         "), FS 2000 folder " + folder + " (" +
         (line.simulator.empty() ? proposal + std::string(" proposal") : "/FS=") +
         "), the licence accepted by the command line");
    // The destination page's rules.
    const DestinationVerdict verdict = JudgeDestination(source, settings, target);
    const char* install_into = "install into the folder";
    if (verdict.fault != DestinationFault::kNone) {
      Refuse(install_into, target, DestinationRefusal(verdict, target));
    }
    if (fs.Probe(target).kind == EntryKind::kFile) {
      Refuse(install_into, target, NamesAFileRefusal(target));
    }
    // The simulator page's.
    if (fs.FindFiles(folder + "\\scenery.cfg").empty()) {
      Refuse("find scenery.cfg in the folder", folder, kNoSimulatorThere);
    }
    settings.target_dir = target;
    settings.cfg_path = folder + "\\scenery.cfg";
    settings.backup_path = folder + "\\" + settings.backup_cfg;
    NoProgress progress;
    InstallPackage(source, fs, settings, progress, image, programs, log);
    note("The installation completed");
    return kExitInstalled;
  } catch (const Failure& failure) {
    note("Error report:\r\n" + failure.Message());
  } catch (const std::bad_alloc&) {
    note("Error report:\r\nSetup ran out of memory and has to stop.");
  } catch (const std::exception& failure) {
    note(std::string("Error report:\r\nSetup stopped because of an unexpected failure:\r\n") +
         failure.what());
  }
  return kExitFailed;
}

}  // namespace scenery
