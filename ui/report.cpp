#include "ui/report.h"

#include <exception>
#include <new>

#include "engine/command_line.h"
#include "engine/failure.h"
#include "engine/install_settings.h"
#include "engine/scenery_library.h"

namespace scenery {

int Reporter::Run(const std::function<int()>& run) {
  const char* who = removal_ ? "The removal" : "Setup";
  try {
    return run();
  } catch (const Failure& failure) {
    return Fail(failure.Message());
  } catch (const std::bad_alloc&) {
    return Fail(std::string(who) + " ran out of memory and has to stop.");
  } catch (const std::exception& failure) {
    return Fail(std::string(who) + " stopped because of an unexpected failure:\r\n" +
                failure.what());
  } catch (...) {
    return Fail(std::string(who) + " stopped because of an unexpected failure.");
  }
}

int Reporter::Fail(const std::string& text) {
  std::string shown = text;
  if (log_ != nullptr) {
    log_->Note("Error report:\r\n" + text);
    log_->Flush();
    if (!log_->fault().empty()) shown += "\r\n\r\n" + log_->fault();
  }
  if (!silent_) {
    if (before_report) before_report();
    Ask(shown, forms::Buttons::kOk, forms::Icon::kCritical);
  }
  return kExitFailed;
}

int Reporter::Tell(const std::string& text, forms::Icon icon, int code) {
  Note(text);
  if (!silent_) Ask(text, forms::Buttons::kOk, icon);
  return code;
}

forms::Answer Reporter::Ask(const std::string& text, forms::Buttons buttons, forms::Icon icon,
                            int default_button) {
  forms::Message message;
  message.text = text;
  message.title = DisplayName(title_);
  message.buttons = buttons;
  message.icon = icon;
  message.default_button = default_button;
  return toolkit_.Ask(message);
}

std::string WrongCallText(const std::string& fault, bool removal) {
  return std::string(removal ? "The removal" : "Setup") +
         " was started with a wrong command line: " + fault + ".\r\n\r\nThe switches are:\r\n" +
         CommandLineSwitches(removal);
}

std::string AnotherRunsText(bool removal) {
  if (removal) {
    return "Another scenery installation or removal is running. It has to finish before this "
           "removal can start.\r\n\r\nPlease complete or leave it, then remove the scenery "
           "again.";
  }
  return "Another scenery installation is running. It has to finish before this one can "
         "start.\r\n\r\nPlease complete or leave the other installation, then start Setup "
         "again.";
}

std::string SimulatorRunningText(Session& session, const std::string& cfg_path, bool removal) {
  const std::string folder = SimulatorFolderOf(cfg_path);
  const std::vector<std::string> running = ProgramsIn(session.RunningPrograms(), folder);
  if (running.empty()) return "";
  std::string names;
  for (const std::string& program : running) {
    names += (names.empty() ? "" : ", ") + program.substr(program.rfind('\\') + 1);
  }
  return "FS 2000 is running from its folder " + folder + " (" + names +
         ").\r\n\r\nIt must be closed before Setup " +
         (removal ? "takes the scenery out of its library: otherwise the simulator could write "
                    "its library back with the scenery still in it."
                  : "adds the scenery to its library: otherwise the simulator would not see the "
                    "new scenery, and could write its library back without it.");
}

std::string DamagedPackageText(const std::string& program_path, const std::string& why,
                               bool newer) {
  return "Setup could not read the package that it carries:\r\n" + program_path + "\r\n\r\n" + why +
         (newer ? "\r\n\r\nIts author packed it with a newer scenery-pack than this Setup.exe. "
                  "Nothing was installed. Please tell the author of the package."
                : "\r\n\r\nThe file was damaged or cut short, most likely while it was "
                  "downloaded. Nothing was installed. Please download the package again.");
}

}  // namespace scenery
