#include <cmath>

#include "engine/installation.h"
#include "engine/scenery_library.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

using forms::Rect;

constexpr int kStatusTopRunning = 120;
constexpr int kStatusTopDone = 500;
// The success line takes a second line where the dialog font is wide; the
// bar below it is hidden by then, and the button starts at 1080.
constexpr int kStatusHeightDone = 2 * 252;

// Keeps the page deaf to user input for as long as it lives.
class BusyScope {
 public:
  explicit BusyScope(const forms::Form& form) : form_(form) { form_.SetBusy(true); }
  ~BusyScope() { form_.SetBusy(false); }

 private:
  const forms::Form& form_;
};

}  // namespace

std::int32_t ProgressStep(std::int32_t width, std::int32_t file_count) {
  if (file_count <= 0) return 0;  // nothing counted: the fill stays empty
  const double exact = static_cast<double>(width) / file_count;
  const double lower = std::floor(exact);
  const double fraction = exact - lower;
  std::int32_t step = static_cast<std::int32_t>(lower);
  if (fraction > 0.5 || (fraction == 0.5 && step % 2 != 0)) ++step;
  return step;
}

// The fill stands before the trough in the window order, so it is drawn
// over it.
CopyPage::CopyPage(Wizard& wizard)
    : Page(wizard, "frmRuler", "", 5310, 1650),
      status(form_.Add<forms::Label>("Label1", Rect{240, 480, 4812, 252}, 0)),
      main_button(form_.Add<forms::Button>("Command1", Rect{2040, 1080, 1212, 372}, 1)),
      exit(form_.Add<forms::Button>("Command2", Rect{3840, 1080, 1212, 372}, 2)),
      fill(form_.Add<forms::Label>("Label2", Rect{240, 720, 4815, 285}, 3)),
      trough(form_.Add<forms::Label>("Label3", Rect{240, 720, 4812, 288}, 4)) {
  status.centred = true;
  fill.back_colour = forms::Colour::System(forms::SystemColour::kActiveCaption);
  fill.SetVisible(false);
  trough.back_colour = forms::Colour::System(forms::SystemColour::kWindow);
  trough.SetVisible(false);
  main_button.SetText("Start");
  exit.SetText("Exit");

  main_button.on_click = [this] { MainClicked(); };
  exit.on_click = [this] { wizard_.ConfirmExit(); };
  form_.on_close_request = [this] {
    if (install_done_) {
      wizard_.Quit(kExitInstalled);
    } else {
      wizard_.ConfirmExit();
    }
  };
}

void CopyPage::Load() {
  install_done_ = false;
  form_.SetTitle(wizard_.settings().install_title);
  status.SetText("The Setup programme is ready to copy files!");
}

void CopyPage::MainClicked() {
  if (main_button.text() == "Start") {
    RunInstallation();
  } else if (main_button.text() == "OK") {
    wizard_.Quit(kExitInstalled);
  }
}

void CopyPage::RunInstallation() {
  BusyScope busy(form_);
  InstallSettings& settings = wizard_.settings();
  auto note = [this](const std::string& event) {
    if (wizard_.log() != nullptr) wizard_.log()->Note(event);
  };
  note("Settings: destination " + settings.target_dir + ", scenery.cfg " + settings.cfg_path +
       ", backup " + settings.backup_path);
  if (Session* session = wizard_.session()) {
    // Nothing is written while the simulator runs: it would not see the
    // new area, and could write its library back without it.
    for (std::string running;
         !(running = SimulatorRunningText(*session, settings.cfg_path, false)).empty();) {
      note(running);
      if (wizard_.Ask(running + "\r\n\r\n" + kCloseAndRetry, forms::Buttons::kRetryCancel,
                      forms::Icon::kExclamation) != forms::Answer::kRetry) {
        note("The user clicked Cancel: nothing was written");
        return;
      }
    }
    settings.cfg_copy_path = FindLibraryCopy(wizard_.fs(), *session, settings.cfg_path);
    if (!settings.cfg_copy_path.empty()) {
      note("FS 2000 reads " + settings.cfg_copy_path +
           ", the copy of scenery.cfg that Windows keeps for this user: it gets the area too");
    }
  }
  // What would stop the run is said before anything is written; the page
  // stays ready.
  const ProgramImage* image = wizard_.image();
  const std::string obstacle =
      FindRunObstacle(wizard_.source(), wizard_.fs(), settings, image ? image->image_end : 0,
                      wizard_.programs() ? wizard_.programs()->RemovalRoot() : "");
  if (!obstacle.empty()) {
    note(obstacle);
    wizard_.Ask(obstacle, forms::Buttons::kOk, forms::Icon::kExclamation);
    return;
  }
  InstallPackage(wizard_.source(), wizard_.fs(), wizard_.settings(), *this, image,
                 wizard_.programs(), wizard_.log());
  install_done_ = true;
}

void CopyPage::OnCopyStarting() {
  main_button.SetVisible(false);
  exit.SetEnabled(false);
  exit.SetVisible(false);
  status.SetTop(kStatusTopRunning);
  form_.Refresh();
}

void CopyPage::OnProgressStarting(std::int32_t file_count) {
  fill.SetVisible(true);
  progress_step_ = ProgressStep(fill.bounds().width, file_count);
  fill.SetWidth(0);
  trough.SetVisible(true);
  form_.Refresh();
}

void CopyPage::OnFileCopied(const std::string& name) {
  status.SetElidePath(true);  // the file name at the end of a long path stays in view
  status.SetText("Copying to " + wizard_.settings().target_dir + "\\" + name);
  fill.SetWidth(fill.bounds().width + progress_step_);
  form_.Refresh();
}

void CopyPage::OnCopyFinished() {
  main_button.SetText("OK");
  main_button.SetVisible(true);
  status.SetTop(kStatusTopDone);
  status.SetHeight(kStatusHeightDone);
  status.SetElidePath(false);
  status.SetText("Congratulations! This scenery was successfully installed!");
  trough.SetVisible(false);
  fill.SetVisible(false);
  form_.FocusFirst();
  form_.Refresh();
}

}  // namespace scenery
