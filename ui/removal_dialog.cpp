#include "ui/removal_dialog.h"

namespace scenery {
namespace {

std::string Lines(const std::vector<std::string>& items) {
  std::string lines;
  for (const std::string& item : items) lines += "\r\n" + item;
  return lines;
}

}  // namespace

int RunRemoval(Reporter& reporter, FileSystem& fs, ProgramList& programs,
               const RemovalRecord& record) {
  reporter.set_title(record.title);
  reporter.Note("Removing " + record.title + " from " + record.destination + " (scenery.cfg " +
                record.cfg_path + ")");
  const std::string name = record.title.empty() ? "the scenery" : record.title;
  const int no_is_default = 2;
  if (!reporter.silent() &&
      reporter.Ask("Do you want to remove " + name + " from this computer?\r\n\r\nSetup will take "
                   "its area out of the FS 2000 scenery library and delete the files it "
                   "installed in:\r\n" + record.destination +
                       "\r\n\r\nFiles that were changed or added there since are kept.",
                   forms::Buttons::kYesNo, forms::Icon::kQuestion,
                   no_is_default) != forms::Answer::kYes) {
    reporter.Note("The user answered No: nothing was removed");
    return kExitCancelled;
  }
  const RemovalResult result = RemoveInstallation(fs, programs, record);
  std::string text = name + " was removed from this computer.";
  if (!result.area_removed) {
    text += "\r\n\r\nIts area was no longer in the scenery library, which was left as it was.";
  }
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
  if (result.others_kept) {
    text += "\r\n\r\nThe folder " + record.destination +
            " still holds files that Setup did not install; they were kept.";
  }
  if (!result.entry_failure.empty()) {
    text += "\r\n\r\nIts entry in the list of programs could not be removed: " +
            result.entry_failure;
  }
  reporter.Note(text);
  if (!reporter.silent()) reporter.Ask(text, forms::Buttons::kOk, forms::Icon::kInformation);
  return kExitInstalled;
}

}  // namespace scenery
