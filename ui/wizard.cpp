#include "ui/wizard.h"

#include "engine/failure.h"
#include "engine/manifest.h"
#include "engine/scenery_library.h"

namespace scenery {

Page::Page(Wizard& wizard, const std::string& name, const std::string& title, int width,
           int height)
    : wizard_(wizard), form_(name, title, width, height) {}

Wizard::Wizard(InstallSettings& settings, PackageSource& source, FileSystem& fs,
               forms::Toolkit& toolkit)
    : settings_(settings), source_(source), fs_(fs), toolkit_(toolkit), reporter_(toolkit, false) {
  reporter_.before_report = [this] {
    reporting_ = true;
    reporter_.set_title(settings_.install_title);
  };
}

Wizard::~Wizard() = default;

void Wizard::Start() {
  settings_.extensions.clear();
  ReadManifest(source_, settings_);
  if (log_ != nullptr) {
    log_->Note("Package: " + settings_.install_title + ", " + package_origin_);
  }
  // The background is the program's taskbar and Alt+Tab entry: it names the
  // package.
  toolkit_.ShowBackground(DisplayName(settings_.install_title),
                          [this](forms::Canvas& canvas) { PaintBackground(canvas, settings_); });
  GoTo(licence());
}

void Wizard::HandleEvent(const std::function<void()>& event) {
  if (ending_) return;
  const int code = reporter_.Run([&event] {
    event();
    return kExitInstalled;
  });
  if (code == kExitFailed) Quit(kExitFailed);
}

void Wizard::EndSession() {
  if (reporting_) {
    Quit(kExitFailed);
  } else {
    Quit(copy_ && copy_->install_done() ? kExitInstalled : kExitCancelled);
  }
}

forms::Answer Wizard::Ask(const std::string& text, forms::Buttons buttons, forms::Icon icon,
                          int default_button) {
  forms::Message message;
  message.text = text;
  message.title = settings_.install_title;
  message.buttons = buttons;
  message.icon = icon;
  message.default_button = default_button;
  return toolkit_.Ask(message);
}

void Wizard::ConfirmExit() {
  const int no_is_default = 2;
  if (Ask("Are you sure you want to exit ?", forms::Buttons::kYesNo, forms::Icon::kQuestion,
          no_is_default) == forms::Answer::kYes) {
    Quit(kExitCancelled);
  }
}

void Wizard::Quit(int exit_code) {
  if (ending_) return;
  ending_ = true;
  exit_code_ = exit_code;
  toolkit_.Quit(exit_code);
}

void Wizard::GoTo(Page& page) {
  // Show the new page before hiding the old one, so that the activation
  // stays with the installer.
  if (!page.loaded_) {
    toolkit_.Attach(page.form_);
    page.Load();
    page.loaded_ = true;
    page.form_.Show();
    page.form_.FocusFirst();
  } else {
    page.form_.Show();
  }
  if (current_ != nullptr && current_ != &page) current_->form_.Hide();
  current_ = &page;
}

bool ProposeEarlierInstallation(FileSystem& fs, ProgramList& programs, InstallSettings& settings) {
  for (const RemovalRecord& earlier : ListedInstallations(fs, programs)) {
    if (!IsSamePackage(earlier, settings)) continue;
    settings.target_path = earlier.destination;
    settings.guess_fs_folder = SimulatorFolderOf(earlier.cfg_path);
    return true;
  }
  return false;
}

LicencePage& Wizard::licence() {
  if (!licence_) licence_ = std::make_unique<LicencePage>(*this);
  return *licence_;
}

FolderPage& Wizard::destination() {
  if (!destination_) {
    // The folder pages' first proposals: an earlier installation's folders,
    // then those of the command line. Looked up when first needed, not
    // before the licence page shows.
    if (programs_ != nullptr) ProposeEarlierInstallation(fs_, *programs_, settings_);
    if (!first_destination_.empty()) settings_.target_path = first_destination_;
    if (!first_simulator_.empty()) settings_.guess_fs_folder = first_simulator_;
    destination_ = std::make_unique<FolderPage>(*this, FolderPage::Role::kDestination);
  }
  return *destination_;
}

FolderPage& Wizard::simulator() {
  if (!simulator_) simulator_ = std::make_unique<FolderPage>(*this, FolderPage::Role::kSimulator);
  return *simulator_;
}

CopyPage& Wizard::copy() {
  if (!copy_) copy_ = std::make_unique<CopyPage>(*this);
  return *copy_;
}

}  // namespace scenery
