// The installer's shell: the start-up sequence, the background, the four
// pages and the moves between them, the exit question, and the one place
// where failures raised in any event are reported.
#ifndef SCENERY_SETUP_UI_WIZARD_H_
#define SCENERY_SETUP_UI_WIZARD_H_

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "engine/file_system.h"
#include "engine/install_log.h"
#include "engine/install_settings.h"
#include "engine/package_copy.h"
#include "engine/package_source.h"
#include "engine/removal.h"
#include "engine/session.h"
#include "ui/exit_codes.h"
#include "ui/forms/forms.h"
#include "ui/forms/toolkit.h"
#include "ui/report.h"

namespace scenery {

class Wizard;

// One page of the wizard: its form, built when the page is first needed,
// and its handlers.
class Page {
 public:
  Page(Wizard& wizard, const std::string& name, const std::string& title, int width, int height);
  virtual ~Page() = default;
  forms::Form& form() { return form_; }
  bool loaded() const { return loaded_; }
  // Runs once, the first time that the page is shown.
  virtual void Load() = 0;

 protected:
  friend class Wizard;
  Wizard& wizard_;
  forms::Form form_;
  bool loaded_ = false;
};

class LicencePage;
class FolderPage;
class CopyPage;

class Wizard : public forms::EventHandler {
 public:
  // `source` gives the package's files; `fs` is the user's disks.
  Wizard(InstallSettings& settings, PackageSource& source, FileSystem& fs,
         forms::Toolkit& toolkit);
  ~Wizard();

  // The start-up sequence: reads Setup.ini, shows the painted background and
  // the licence page.
  void Start();

  // The run ends by writing Uninstall.exe from `image` and an entry in
  // `programs`; without this call it writes neither (the tests' runs).
  void set_removal(const ProgramImage& image, ProgramList& programs) {
    image_ = image;
    programs_ = &programs;
  }
  const ProgramImage* image() const { return programs_ != nullptr ? &image_ : nullptr; }
  // The log of /LOG=FILE, and where the package comes from, in its words.
  void set_log(InstallLog* log, std::string package_origin) {
    log_ = log;
    reporter_.set_log(log);
    package_origin_ = std::move(package_origin);
  }
  InstallLog* log() const { return log_; }
  // The folders of /D= and /FS=, proposed first by the pages when given.
  void set_first_folders(std::string destination, std::string simulator) {
    first_destination_ = std::move(destination);
    first_simulator_ = std::move(simulator);
  }
  ProgramList* programs() const { return programs_; }
  // The session that Start asks whether the simulator runs and whether
  // Windows gives it a copy of scenery.cfg; without this call neither is
  // asked (the tests' runs).
  void set_session(Session& session) { session_ = &session; }
  Session* session() const { return session_; }

  // Runs one event from the platform. A failure that the event does not
  // handle becomes the standard error report (the reporter's), and the
  // program ends with kExitFailed. Once the program is ending, further
  // events are dropped.
  void HandleEvent(const std::function<void()>& event) override;

  // The session ends outside the run: kExitCancelled, as the exit question's
  // Yes gives, or kExitInstalled once installed, or kExitFailed while the
  // error report shows.
  void EndSession() override;

  // The exit question of every page: Yes ends the program with kExitCancelled.
  void ConfirmExit();
  // Ends the program with `exit_code`.
  void Quit(int exit_code);
  bool ending() const { return ending_; }
  int exit_code() const { return exit_code_; }

  // Shows `page` (loading it the first time) and hides the current one.
  void GoTo(Page& page);
  Page* current() const { return current_; }

  LicencePage& licence();
  FolderPage& destination();
  FolderPage& simulator();
  CopyPage& copy();

  InstallSettings& settings() { return settings_; }
  PackageSource& source() { return source_; }
  FileSystem& fs() { return fs_; }
  forms::Toolkit& toolkit() { return toolkit_; }
  // A message box titled InstallTitle.
  forms::Answer Ask(const std::string& text, forms::Buttons buttons, forms::Icon icon,
                    int default_button = 1);

 private:
  InstallSettings& settings_;
  PackageSource& source_;
  FileSystem& fs_;
  forms::Toolkit& toolkit_;
  Reporter reporter_;
  std::unique_ptr<LicencePage> licence_;
  std::unique_ptr<FolderPage> destination_;
  std::unique_ptr<FolderPage> simulator_;
  std::unique_ptr<CopyPage> copy_;
  Page* current_ = nullptr;
  bool ending_ = false;
  bool reporting_ = false;
  ProgramImage image_;
  ProgramList* programs_ = nullptr;
  Session* session_ = nullptr;
  InstallLog* log_ = nullptr;
  std::string package_origin_;
  std::string first_destination_, first_simulator_;
  int exit_code_ = kExitInstalled;
};

// The licence page: the text of license.txt and the box that accepts it.
class LicencePage : public Page {
 public:
  explicit LicencePage(Wizard& wizard);
  void Load() override;

  forms::Label& instructions;
  forms::Label& accept_caption;
  forms::CheckBox& accept;
  forms::Button& next;
  forms::Button& exit;
  forms::TextBox& licence_text;
  forms::Label& product;
  forms::Label& web_address;
  forms::Label& copyright;
};

// The destination folder page and the simulator folder page: one window
// layout with the browsing pair of a drive list and a folder list.
class FolderPage : public Page {
 public:
  enum class Role { kDestination, kSimulator };
  FolderPage(Wizard& wizard, Role role);
  void Load() override;

  forms::Button& exit;
  forms::Button& next;
  forms::DirList& folders;
  forms::DriveList& drives;
  forms::Label& instructions;
  forms::TextBox& path_text;
  forms::Button& back;

 private:
  void FolderChanged();
  void DriveChanged();
  void AcceptDestination();
  void CheckSimulatorFolder();
  // A folder that the user chose and that cannot be opened: said, and the
  // page stays as it was.
  void SayCannotOpen(const Failure& failure);

  Role role_;
  bool returning_to_folder_drive_ = false;
};

// The copy page: runs the installation and shows its progress.
class CopyPage : public Page, public CopyProgress {
 public:
  explicit CopyPage(Wizard& wizard);
  void Load() override;
  bool install_done() const { return install_done_; }
  std::int32_t progress_step() const { return progress_step_; }

  forms::Label& status;
  forms::Button& main_button;
  forms::Button& exit;
  forms::Label& fill;
  forms::Label& trough;

  void OnCopyStarting() override;
  void OnProgressStarting(std::int32_t file_count) override;
  void OnFileCopied(const std::string& name) override;
  void OnCopyFinished() override;

 private:
  void MainClicked();
  void RunInstallation();

  bool install_done_ = false;
  std::int32_t progress_step_ = 0;
};

// An earlier installation of the package in the list of programs, with its
// Uninstall.exe still in place: its destination and simulator folders
// become the first proposals (TargetPath, GuessFSFolder). Whether there was.
bool ProposeEarlierInstallation(FileSystem& fs, ProgramList& programs, InstallSettings& settings);

// The destination page's words for a folder it refuses (empty for kNone),
// for one that names a file, and the simulator page's for a folder without
// scenery.cfg; the installation from the command line says the same.
std::string DestinationRefusal(const DestinationVerdict& verdict, const std::string& target);
std::string NamesAFileRefusal(const std::string& target);
// A destination that holds another package that Setup installed (`other`),
// and one where the package is installed elsewhere already: what the
// destination page asks before it goes on.
std::string AnotherPackageHere(const RemovalRecord& other, const InstallSettings& settings,
                               const std::string& target);
std::string SecondCopyQuestion(const RemovalRecord& other, const std::string& target);
extern const char kNoSimulatorThere[];

// The width in twips by which the progress fill grows per file: `width`
// divided by `file_count`, rounded to the nearest whole number with halves
// going to the even neighbour; 0 when nothing is counted.
std::int32_t ProgressStep(std::int32_t width, std::int32_t file_count);

// The background picture: a vertical gradient from bright blue to black,
// InstallTitle with a black shadow at the top left and CopyRight at the
// bottom right.
void PaintBackground(forms::Canvas& canvas, const InstallSettings& settings);

// `text` with every line end (CR LF, lone LF, lone CR) written as CR LF, as
// a multi-line text box needs it.
std::string WithCrLf(const std::string& text);

}  // namespace scenery

#endif  // SCENERY_SETUP_UI_WIZARD_H_
