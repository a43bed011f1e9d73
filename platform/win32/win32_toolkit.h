// The Win32 side of the forms layer: the window classes, the message loop,
// the message boxes. Every form is a page window (page_window.h), every
// control a child window of a standard class (control_windows.h), the
// background a borderless window painted once (background_window.h).
#ifndef SCENERY_SETUP_PLATFORM_WIN32_WIN32_TOOLKIT_H_
#define SCENERY_SETUP_PLATFORM_WIN32_WIN32_TOOLKIT_H_

#include <functional>
#include <memory>
#include <vector>

#include "ui/forms/toolkit.h"

// The handle types of <windows.h>, which this header does not include.
struct HWND__;
struct HINSTANCE__;
struct HFONT__;
typedef HWND__* HWND;
typedef HINSTANCE__* HINSTANCE;
typedef HFONT__* HFONT;

namespace scenery {

class PageWindow;
class BackgroundWindow;

class Win32Toolkit : public forms::Toolkit {
 public:
  explicit Win32Toolkit(HINSTANCE instance);
  ~Win32Toolkit() override;

  // Every event from a window goes to `handler`, so that a failure in it is
  // reported and never crosses the window procedure.
  void set_event_handler(forms::EventHandler& handler) { event_handler_ = &handler; }
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

  // While the run goes on, the end of the user's session (log-off, shutdown)
  // is refused, with the reason given where the system shows one (Vista and
  // later); outside it the session may end.
  void SetRunning(bool running);
  bool MaySessionEnd() const { return !running_; }
  // The session ends now: the wizard chooses the exit code that leaving
  // gives, and the program ends with it before the system ends it.
  [[noreturn]] void EndSession();

  // The local time as "2026-12-07 14:05:09", for the log.
  static std::string LocalTime();

  // Brings the page of another running Setup.exe to the front, if one shows.
  static void ShowOtherInstallation();

  // For the windows.
  forms::EventHandler& event_handler() { return *event_handler_; }
  HWND background_window() const;
  HWND active_page() const;
  int dpi() const { return dpi_; }
  HFONT dialog_font() const { return font_; }
  bool quitting() const { return quitting_; }

 private:
  HINSTANCE instance_;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  forms::EventHandler* event_handler_ = nullptr;
  std::unique_ptr<BackgroundWindow> background_;
  std::vector<std::unique_ptr<PageWindow>> pages_;
  bool quitting_ = false;
  bool running_ = false;
  int exit_code_ = 0;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_WIN32_TOOLKIT_H_
