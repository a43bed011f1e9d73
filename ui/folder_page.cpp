#include "engine/failure.h"
#include "engine/package_copy.h"
#include "engine/paths.h"
#include "engine/removal.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

using forms::Rect;

const char* PageName(FolderPage::Role role) {
  return role == FolderPage::Role::kDestination ? "frmBrowse" : "frmFS";
}

}  // namespace

// Window order: the focusable controls in their tab order, with the
// instruction label right before the text box that it names.
FolderPage::FolderPage(Wizard& wizard, Role role)
    : Page(wizard, PageName(role), "", 4935, 3345),
      exit(form_.Add<forms::Button>("cmdExit", Rect{3720, 2760, 975, 375}, 0)),
      next(form_.Add<forms::Button>("cmdNext", Rect{3720, 1320, 975, 375}, 1)),
      folders(form_.Add<forms::DirList>("dirList", Rect{240, 1080, 3135, 1440}, 2, wizard.fs())),
      drives(form_.Add<forms::DriveList>("drvList", Rect{240, 2760, 2055, 315}, 3, wizard.fs())),
      instructions(form_.Add<forms::Label>("Label1", Rect{240, 120, 4215, 375}, 5)),
      path_text(form_.Add<forms::TextBox>("Text1", Rect{240, 480, 4455, 288}, 4)),
      back(form_.Add<forms::Button>("cmdBack", Rect{3720, 2040, 975, 375}, 6)),
      role_(role) {
  exit.SetText("Exit");
  next.SetText("Next >");
  back.SetText("< Back");
  instructions.SetText(role == Role::kDestination ? "Enter or select a destination directory."
                                                  : "Enter or select the FS2000 directory.");

  folders.on_change = [this] { FolderChanged(); };
  folders.on_open_failure = [this](const Failure& failure) { SayCannotOpen(failure); };
  drives.on_change = [this] { DriveChanged(); };
  next.on_click = [this] {
    if (role_ == Role::kDestination) {
      AcceptDestination();
    } else {
      CheckSimulatorFolder();
    }
  };
  back.on_click = [this] {
    if (role_ == Role::kDestination) {
      wizard_.GoTo(wizard_.licence());
    } else {
      wizard_.GoTo(wizard_.destination());
    }
  };
  exit.on_click = [this] { wizard_.ConfirmExit(); };
  form_.on_close_request = [this] { wizard_.ConfirmExit(); };
}

void FolderPage::Load() {
  const InstallSettings& settings = wizard_.settings();
  form_.SetTitle(settings.install_title);
  path_text.SetText(role_ == Role::kDestination ? settings.target_path : settings.guess_fs_folder);
}

// The destination page proposes the package's own folder below the opened
// one; the simulator page proposes the opened folder itself.
void FolderPage::FolderChanged() {
  const std::string& folder = folders.path();
  if (role_ == Role::kSimulator) {
    path_text.SetText(folder);
    return;
  }
  const std::string& name = wizard_.settings().target_folder;
  path_text.SetText(folder.size() == 3 ? folder + name : folder + "\\" + name);
}

void FolderPage::DriveChanged() {
  try {
    folders.SetDrive(drives.drive());
  } catch (const Failure&) {
    // A drive that cannot be opened (no disc, no medium): the drive list
    // silently returns to the drive of the folder that the list still shows.
    if (returning_to_folder_drive_) return;  // that drive failed too: leave both as they are
    returning_to_folder_drive_ = true;
    drives.SetDrive(folders.path());
    returning_to_folder_drive_ = false;
  }
}

void FolderPage::SayCannotOpen(const Failure& failure) {
  wizard_.Ask("Setup could not open the folder:\r\n" + failure.path() + "\r\n\r\n" +
                  failure.reason() +
                  "\r\n\r\nPlease choose another folder, or make this one available (insert the "
                  "disc, connect the network folder, get the right to read it) and try again.",
              forms::Buttons::kOk, forms::Icon::kExclamation);
}

std::string DestinationRefusal(const DestinationVerdict& verdict, const std::string& target) {
  if (verdict.fault == DestinationFault::kNotFullPath ||
      verdict.fault == DestinationFault::kForbiddenCharacter) {
    return "\"" + target +
           "\" is not a valid destination folder.\r\n\r\nPlease enter a full path that "
           "begins with a drive letter (such as C:\\FS2000\\Addon Scenery) or with "
           "\\\\server\\share, without the characters * ? \" < > | or a colon after "
           "the drive.";
  }
  if (verdict.fault == DestinationFault::kTooLong) {
    const OverlongPath& overlong = verdict.overlong;
    return "\"" + target + "\" is too long a path for the destination folder.\r\n\r\n" +
           "The installation would " + (overlong.folder ? "make the folder " : "write the file ") +
           overlong.path + " (" + std::to_string(overlong.path.size()) +
           " characters), but Windows " + (overlong.folder ? "makes no folder" : "opens no file") +
           " whose path is longer than " + std::to_string(overlong.limit) +
           " characters.\r\n\r\nPlease choose a folder with a shorter path.";
  }
  return "";
}

std::string NamesAFileRefusal(const std::string& target) {
  return "\"" + target + "\" names a file, not a folder.\r\n\r\nPlease enter the path of the "
         "folder to install the scenery into.";
}

std::string AnotherPackageHere(const RemovalRecord& other, const InstallSettings& settings,
                               const std::string& target) {
  return target + " holds " + PackageName(other.title, other.area_title) +
         ", which Setup installed there. Installing " +
         PackageName(settings.install_title, settings.scenery_title) +
         " into the same folder would take the place of that installation's entry in the list "
         "of programs, and of its files where they have the same names.";
}

std::string SecondCopyQuestion(const RemovalRecord& other, const std::string& target) {
  return PackageName(other.title, other.area_title) + " is already installed in " +
         other.destination + ".\r\n\r\nDo you want to install a second copy into " + target +
         "? FS 2000 would show both.";
}

const char kNoSimulatorThere[] = "FS 2000 does not exists in the specified path";

void FolderPage::AcceptDestination() {
  const std::string target = path_text.text();
  // A text that is not a full path could never be the folder that the
  // simulator's library names; refuse it before asking anything.
  const DestinationVerdict verdict = JudgeDestination(wizard_.source(), wizard_.settings(), target);
  if (verdict.fault != DestinationFault::kNone) {
    wizard_.Ask(DestinationRefusal(verdict, target), forms::Buttons::kOk,
                forms::Icon::kExclamation);
    return;
  }
  // A typed folder on a drive without a disc, a network path that does not
  // answer, below a folder that may not be read: said, and the page stays.
  DestinationOnDisk on_disk;
  try {
    on_disk = ProbeDestination(wizard_.fs(), target);
  } catch (const Failure& failure) {
    SayCannotOpen(failure);
    return;
  }
  if (on_disk == DestinationOnDisk::kFile) {
    wizard_.Ask(NamesAFileRefusal(target), forms::Buttons::kOk, forms::Icon::kExclamation);
    return;
  }
  // Another package in the folder, or this one in another folder: asked,
  // No the default.
  const int no_is_default = 2;
  if (ProgramList* programs = wizard_.programs()) {
    RemovalRecord other;
    const InstallSettings& settings = wizard_.settings();
    if (ReadEarlierInstallation(wizard_.fs(), *programs, target, &other) &&
        !IsSamePackage(other, settings)) {
      if (wizard_.Ask(AnotherPackageHere(other, settings, target) +
                          "\r\n\r\nDo you want to install into this folder anyway?",
                      forms::Buttons::kYesNo, forms::Icon::kExclamation,
                      no_is_default) != forms::Answer::kYes) {
        return;
      }
    } else if (FindOtherCopy(wizard_.fs(), *programs, settings, target, &other) &&
               wizard_.Ask(SecondCopyQuestion(other, target), forms::Buttons::kYesNo,
                           forms::Icon::kExclamation, no_is_default) != forms::Answer::kYes) {
      return;
    }
  }
  if (on_disk == DestinationOnDisk::kMissing) {
    if (wizard_.Ask(target + " does not exist. Do you want to create it ?",
                    forms::Buttons::kYesNo, forms::Icon::kQuestion,
                    no_is_default) != forms::Answer::kYes) {
      return;
    }
  }
  wizard_.settings().target_dir = target;
  wizard_.GoTo(wizard_.simulator());
}

void FolderPage::CheckSimulatorFolder() {
  const std::string folder = path_text.text();
  InstallSettings& settings = wizard_.settings();
  // A text that is no valid path finds nothing, like a folder without the
  // file; a folder that cannot be looked into is said, and the page stays.
  bool found = false;
  try {
    found = HoldsSceneryLibrary(wizard_.fs(), folder);
  } catch (const Failure& failure) {
    SayCannotOpen(failure);
    return;
  }
  if (!found) {
    wizard_.Ask(kNoSimulatorThere, forms::Buttons::kOk, forms::Icon::kCritical);
    return;
  }
  SetSimulatorFolder(settings, folder);
  wizard_.GoTo(wizard_.copy());
}

}  // namespace scenery
