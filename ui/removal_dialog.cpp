#include "ui/removal_dialog.h"

#include "engine/paths.h"
#include "engine/scenery_library.h"

namespace scenery {
namespace {

std::string Lines(const std::vector<std::string>& items) {
  std::string lines;
  for (const std::string& item : items) lines += "\r\n" + item;
  return lines;
}

}  // namespace

int RunRemoval(Reporter& reporter, FileSystem& fs, ProgramList& programs,
               const RemovalRecord& recorded, const std::string& simulator, Session* session) {
  RemovalRecord record = recorded;
  if (!simulator.empty()) record.cfg_path = Below(simulator, "scenery.cfg");
  reporter.set_title(record.title);
  reporter.Note("Removing " + record.title + " from " + record.destination + " (scenery.cfg " +
                record.cfg_path + ")");
  const std::string name = record.title.empty() ? "the scenery" : record.title;
  const int no_is_default = 2;
  auto ask = [&](const std::string& question, forms::Icon icon) {
    if (reporter.silent()) return true;
    if (reporter.Ask(question, forms::Buttons::kYesNo, icon, no_is_default) ==
        forms::Answer::kYes) {
      return true;
    }
    reporter.Note("The user answered No: nothing was removed");
    return false;
  };
  // The simulator's folder moved or removed: the files and the entry can
  // still go. A folder given with /FS= must hold the library.
  const bool no_library =
      simulator.empty() && fs.Probe(record.cfg_path).kind == EntryKind::kMissing;
  const bool no_files = fs.Probe(record.destination).kind == EntryKind::kMissing;
  std::string question = "Do you want to remove " + name +
                         " from this computer?\r\n\r\nSetup will take "
                         "its area out of the FS 2000 scenery library and delete the files it "
                         "installed in:\r\n" +
                         record.destination +
                         "\r\n\r\nFiles that were changed or added there since are kept.";
  if (no_library) {
    question = "Setup could not find the FS 2000 scenery library " + record.cfg_path +
               ": the FS 2000 folder may have been moved or removed.\r\n\r\nDo you want to " +
               (no_files ? "take the entry of " + name + " out of the list of programs"
                         : "delete the files of " + name + " in " + record.destination +
                               " and take its entry out of the list of programs") +
               " without changing any scenery library?";
  } else if (no_files) {
    question = "Setup found no files of " + name + " in " + record.destination +
               ": the folder is not there (it may have been renamed or deleted).\r\n\r\nDo you "
               "want to take its area out of the FS 2000 scenery library and its entry out of "
               "the list of programs anyway?";
  }
  if (!ask(question, no_library || no_files ? forms::Icon::kExclamation : forms::Icon::kQuestion)) {
    return kExitCancelled;
  }
  if (no_library) {
    reporter.Note("No scenery library was changed: " + record.cfg_path + " was not found");
    record.cfg_path.clear();
  } else if (session != nullptr) {
    for (std::string running;
         !(running = SimulatorRunningText(*session, record.cfg_path, true)).empty();) {
      reporter.Note(running);
      if (reporter.silent()) {
        Failure failure(FailureKind::kInUse, "take the scenery's area out of", record.cfg_path,
                        running);
        failure.set_aftermath(
            "Nothing was removed: the scenery is still installed, and scenery.cfg was not "
            "changed.");
        throw failure;
      }
      if (reporter.Ask(running + "\r\n\r\n" + kCloseAndRetry, forms::Buttons::kRetryCancel,
                       forms::Icon::kExclamation) != forms::Answer::kRetry) {
        reporter.Note("The user clicked Cancel: nothing was removed");
        return kExitCancelled;
      }
    }
    const std::string copy = FindLibraryCopy(fs, *session, record.cfg_path);
    if (!copy.empty()) {
      reporter.Note("FS 2000 reads " + copy +
                    ", the copy of scenery.cfg that Windows keeps for this user: the area goes "
                    "from it too");
      record.cfg_copies.push_back(copy);
    }
  }
  const RemovalResult result = RemoveInstallation(fs, programs, record);
  std::string text = name + " was removed from this computer.";
  if (no_library) {
    text += "\r\n\r\nNo scenery library was changed: " + recorded.cfg_path + " was not found.";
  } else if (!result.area_removed) {
    text += "\r\n\r\nIts area was no longer in the scenery library, which was left as it was.";
  }
  if (no_files) text += "\r\n\r\nNo files were found in " + record.destination + ".";
  if (result.destination_linked) {
    text += "\r\n\r\nIts files were kept: the folder " + record.destination +
            " is a link to another folder, and Setup deletes nothing behind a link.";
  }
  if (!result.changed.empty()) {
    text += "\r\n\r\nThese files were kept because they were changed after the installation:" +
            Lines(result.changed);
  }
  if (!result.linked.empty()) {
    text += "\r\n\r\nThese files were kept because they lie behind a link to another folder:" +
            Lines(result.linked);
  }
  if (!result.failed.empty()) {
    text += "\r\n\r\nThese files could not be deleted:";
    for (const NotDeleted& file : result.failed) text += "\r\n" + file.path + ": " + file.reason;
  }
  if (!result.missing.empty() && !no_files) {
    text += "\r\n\r\nThese files were not found; they had been moved or deleted:" +
            Lines(result.missing);
  }
  if (!result.folders_kept.empty()) {
    text += "\r\n\r\nThese folders were kept:";
    for (const auto& folder : result.folders_kept)
      text += "\r\n" + folder.first + ": " + folder.second;
  }
  if (!result.entry_failure.empty()) {
    text += "\r\n\r\nIts entry in the list of programs could not be removed: " +
            result.entry_failure;
  }
  // Whatever stayed for another reason than the user's own changes makes
  // the removal a partial one.
  const bool partly = result.destination_linked || !result.linked.empty() ||
                      !result.failed.empty() || !result.entry_failure.empty();
  const bool all_gone = result.changed.empty() && result.missing.empty() &&
                        result.folders_kept.empty() && !partly && !no_library && !no_files;
  reporter.Note(text);
  if (!reporter.silent()) {
    reporter.Ask(text, forms::Buttons::kOk,
                 all_gone ? forms::Icon::kInformation : forms::Icon::kExclamation);
  }
  return partly ? kExitPartly : kExitInstalled;
}

}  // namespace scenery
