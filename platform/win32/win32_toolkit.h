// The Win32 side of the forms layer: every form is a top-level window and
// every control a child window of a standard class; message boxes are the
// system's; the background is a borderless window painted once into a
// bitmap.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_WIN32_TOOLKIT_H_
#define SCENERY_SETUP_PLATFORM_WIN32_WIN32_TOOLKIT_H_

#include <functional>
#include <memory>
#include <vector>

#include "ui/forms/toolkit.h"

namespace scenery {

class PageWindow;
class BackgroundWindow;

// Every event from a window goes through the dispatcher, so that a failure
// in it is reported and never crosses the window procedure.
using Dispatcher = std::function<void(const std::function<void()>&)>;

class Win32Toolkit : public forms::Toolkit {
 public:
  // `instance` is the module's HINSTANCE.
  explicit Win32Toolkit(void* instance);
  ~Win32Toolkit() override;

  void set_dispatcher(Dispatcher dispatcher) { dispatcher_ = std::move(dispatcher); }
  // Runs the message loop until Quit; returns the exit code.
  int Run();
  // Destroys every window; called before the forms that they show go away,
  // so that no notification of a dying control reaches a form that is gone.
  void DestroyWindows();

  void Attach(forms::Form& form) override;
  void ShowBackground(const std::string& caption,
                      const std::function<void(forms::Canvas&)>& paint) override;
  forms::Answer Ask(const forms::Message& message) override;
  void Quit(int exit_code) override;
  std::string ProgramNameAndVersion() override;

  // Brings the page of another running Setup.exe to the front, if one shows.
  static void ShowOtherInstallation();

  // For the windows: runs `event` through the dispatcher.
  void Dispatch(const std::function<void()>& event);
  void* background_window() const;
  void* active_page() const;
  int dpi() const { return dpi_; }
  void* dialog_font() const { return font_; }
  bool quitting() const { return quitting_; }

 private:
  void* instance_;
  int dpi_ = 96;
  void* font_ = nullptr;
  Dispatcher dispatcher_;
  std::unique_ptr<BackgroundWindow> background_;
  std::vector<std::unique_ptr<PageWindow>> pages_;
  bool quitting_ = false;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_WIN32_TOOLKIT_H_
