#include "ui/removal_dialog.h"

#include "engine/paths.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

forms::Answer Tell(forms::Toolkit& toolkit, const std::string& title, const std::string& text,
                   forms::Buttons buttons, forms::Icon icon, int default_button = 1) {
  forms::Message message;
  message.text = text;
  message.title = title.empty() ? "Setup" : title;
  message.buttons = buttons;
  message.icon = icon;
  message.default_button = default_button;
  return toolkit.Ask(message);
}

std::string Lines(const std::vector<std::string>& items) {
  std::string lines;
  for (const std::string& item : items) lines += "\r\n" + item;
  return lines;
}

// Whether the destination holds anything beside Uninstall.exe, which goes
// once the program has ended.
bool HoldsOthers(FileSystem& fs, const std::string& folder) {
  try {
    if (fs.Probe(folder).kind != EntryKind::kFolder) return false;
    if (!fs.ListSubfolders(folder).empty()) return true;
    for (const FileEntry& file : fs.ListFiles(folder)) {
      if (UpperAscii(file.name) != UpperAscii(kUninstallName)) return true;
    }
  } catch (const Failure&) {
  }
  return false;
}

}  // namespace

int RunRemoval(forms::Toolkit& toolkit, FileSystem& fs, ProgramList& programs,
               const RemovalRecord& record) {
  const std::string name = record.title.empty() ? "the scenery" : record.title;
  const int no_is_default = 2;
  if (Tell(toolkit, record.title,
           "Do you want to remove " + name + " from this computer?\r\n\r\nSetup will take its "
           "area out of the FS 2000 scenery library and delete the files it installed in:\r\n" +
               record.destination +
               "\r\n\r\nFiles that were changed or added there since are kept.",
           forms::Buttons::kYesNo, forms::Icon::kQuestion,
           no_is_default) != forms::Answer::kYes) {
    return kExitCancelled;
  }
  RemovalResult result;
  try {
    result = RemoveInstallation(fs, programs, record);
  } catch (const Failure& failure) {
    Tell(toolkit, record.title, failure.Message(), forms::Buttons::kOk, forms::Icon::kCritical);
    return kExitFailed;
  }
  std::string text = name + " was removed from this computer.";
  if (!result.area_removed) {
    text += "\r\n\r\nIts area was no longer in the scenery library, which was left as it was.";
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
    text += "\r\n\r\nThese files could not be deleted:" + Lines(result.failed);
  }
  if (HoldsOthers(fs, record.destination)) {
    text += "\r\n\r\nThe folder " + record.destination +
            " still holds files that Setup did not install; they were kept.";
  }
  if (!result.entry_failure.empty()) {
    text += "\r\n\r\nIts entry in the list of programs could not be removed: " +
            result.entry_failure;
  }
  Tell(toolkit, record.title, text, forms::Buttons::kOk, forms::Icon::kInformation);
  return kExitInstalled;
}

int ReportUnreadableRecord(forms::Toolkit& toolkit, const Failure& failure) {
  Tell(toolkit, "", failure.Message(), forms::Buttons::kOk, forms::Icon::kCritical);
  return kExitFailed;
}

}  // namespace scenery
