// The one reporting boundary of the three front ends (the wizard, the
// installation without windows, the removal): whatever a run throws becomes
// the standard error report, in a message box or in the log, and the exit
// code.
#ifndef SCENERY_SETUP_UI_REPORT_H_
#define SCENERY_SETUP_UI_REPORT_H_

#include <functional>
#include <string>
#include <vector>

#include "engine/install_log.h"
#include "engine/session.h"
#include "ui/exit_codes.h"
#include "ui/forms/toolkit.h"

namespace scenery {

class Reporter {
 public:
  // `silent` (/S) shows no box: what would be said goes to the log only.
  Reporter(forms::Toolkit& toolkit, bool silent) : toolkit_(toolkit), silent_(silent) {}

  bool silent() const { return silent_; }
  forms::Toolkit& toolkit() { return toolkit_; }
  // The log of /LOG=FILE, when there is one.
  void set_log(InstallLog* log) { log_ = log; }
  InstallLog* log() const { return log_; }
  // The title of the boxes: InstallTitle once it is known ("Setup" before).
  void set_title(const std::string& title) { title_ = title; }
  // Uninstall.exe: the reports name the removal, not Setup.
  void set_removal(bool removal) { removal_ = removal; }
  // Called right before the error report's box shows.
  std::function<void()> before_report;

  // Runs `run` and gives its exit code. Whatever it throws (a Failure, an
  // out-of-memory, any other exception) becomes the error report, and the
  // code kExitFailed.
  int Run(const std::function<int()>& run);
  // The error report of `text`: "Error report:" and the text in the log,
  // and, unless silent, a box with the critical icon. Returns kExitFailed.
  int Fail(const std::string& text);
  // Says `text` (into the log as it stands, and in a box with `icon` unless
  // silent); returns `code`.
  int Tell(const std::string& text, forms::Icon icon, int code);
  // A box titled as the reports are; no log.
  forms::Answer Ask(const std::string& text, forms::Buttons buttons, forms::Icon icon,
                    int default_button = 1);
  void Note(const std::string& event) {
    if (log_ != nullptr) log_->Note(event);
  }

 private:
  forms::Toolkit& toolkit_;
  bool silent_;
  bool removal_ = false;
  InstallLog* log_ = nullptr;
  std::string title_;
};

// The words of the reports that come before any package is read. The
// removal (`removal`) names itself, not Setup.
// A wrong command line: `fault`, and the switches that exist.
std::string WrongCallText(const std::string& fault, bool removal);
// Another installation or removal runs and has to finish first.
std::string AnotherRunsText(bool removal);
// What keeps Setup from changing the library `cfg_path` while programs of
// `session` run from its folder (each named): empty when none does.
// `removal` tells that it is to take the scenery out.
std::string SimulatorRunningText(Session& session, const std::string& cfg_path, bool removal);
// What the box of SimulatorRunningText asks.
constexpr char kCloseAndRetry[] = "Please close FS 2000, then click Retry.";
// The package that the program `program_path` carries is damaged or cut
// short (`why`): it is to be downloaded again; or, `newer`, of a form that
// this program does not know, which its author must mend.
std::string DamagedPackageText(const std::string& program_path, const std::string& why,
                               bool newer = false);

}  // namespace scenery

#endif  // SCENERY_SETUP_UI_REPORT_H_
