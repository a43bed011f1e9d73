#include "ui/removal_dialog.h"

#include <algorithm>

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

// Whether the recorded folders hold a file or folder that the removal did
// not name (Uninstall.exe goes once the program has ended).
bool HoldsOthers(FileSystem& fs, const RemovalRecord& record, const RemovalResult& result) {
  std::vector<std::string> known = {UpperAscii(record.destination + "\\" + kUninstallName)};
  for (const auto* list : {&result.changed, &result.linked}) {
    for (const std::string& path : *list) known.push_back(UpperAscii(path));
  }
  for (const std::string& failed : result.failed) {
    known.push_back(UpperAscii(failed.substr(0, failed.find(": "))));
  }
  for (const std::string& folder : record.folders) known.push_back(UpperAscii(folder));
  auto is_known = [&known](const std::string& text) {
    return std::find(known.begin(), known.end(), UpperAscii(text)) != known.end();
  };
  for (const std::string& folder : record.folders) {
    const std::string path = folder.empty() ? record.destination : record.destination + "\\" + folder;
    try {
      if (fs.Probe(path).kind != EntryKind::kFolder) continue;
      for (const std::string& sub : fs.ListSubfolders(path)) {
        if (!is_known(folder.empty() ? sub : folder + "\\" + sub)) return true;
      }
      for (const FileEntry& file : fs.ListFiles(path)) {
        if (!is_known(path + "\\" + file.name)) return true;
      }
    } catch (const Failure&) {
    }
  }
  return false;
}

}  // namespace

int RunRemoval(forms::Toolkit& toolkit, FileSystem& fs, ProgramList& programs,
               const RemovalRecord& record, bool silent, RunLog* log) {
  auto note = [log](const std::string& event) {
    if (log != nullptr) log->Note(event);
  };
  note("Removing " + record.title + " from " + record.destination + " (scenery.cfg " +
       record.cfg_path + ")");
  const std::string name = record.title.empty() ? "the scenery" : record.title;
  const int no_is_default = 2;
  if (!silent && Tell(toolkit, record.title,
           "Do you want to remove " + name + " from this computer?\r\n\r\nSetup will take its "
           "area out of the FS 2000 scenery library and delete the files it installed in:\r\n" +
               record.destination +
               "\r\n\r\nFiles that were changed or added there since are kept.",
           forms::Buttons::kYesNo, forms::Icon::kQuestion,
           no_is_default) != forms::Answer::kYes) {
    note("The user answered No: nothing was removed");
    return kExitCancelled;
  }
  RemovalResult result;
  try {
    result = RemoveInstallation(fs, programs, record);
  } catch (const Failure& failure) {
    note("Error report:\r\n" + failure.Message());
    if (!silent) {
      Tell(toolkit, record.title, failure.Message(), forms::Buttons::kOk, forms::Icon::kCritical);
    }
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
  if (HoldsOthers(fs, record, result)) {
    text += "\r\n\r\nThe folder " + record.destination +
            " still holds files that Setup did not install; they were kept.";
  }
  if (!result.entry_failure.empty()) {
    text += "\r\n\r\nIts entry in the list of programs could not be removed: " +
            result.entry_failure;
  }
  note(text);
  if (!silent) Tell(toolkit, record.title, text, forms::Buttons::kOk, forms::Icon::kInformation);
  return kExitInstalled;
}

int ReportUnreadableRecord(forms::Toolkit& toolkit, const Failure& failure) {
  Tell(toolkit, "", failure.Message(), forms::Buttons::kOk, forms::Icon::kCritical);
  return kExitFailed;
}

}  // namespace scenery
