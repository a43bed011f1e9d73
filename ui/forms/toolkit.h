// What the wizard needs of the platform beyond its forms: message boxes, a
// canvas for the background, and the end of the program.
#ifndef SCENERY_SETUP_UI_FORMS_TOOLKIT_H_
#define SCENERY_SETUP_UI_FORMS_TOOLKIT_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/forms/forms.h"

namespace scenery {
namespace forms {

enum class Buttons { kOk, kYesNo, kRetryCancel };
enum class Icon { kQuestion, kCritical, kExclamation, kInformation };
enum class Answer { kOk, kYes, kNo, kRetry, kCancel };

struct Message {
  std::string text;
  std::string title;
  Buttons buttons = Buttons::kOk;
  Icon icon = Icon::kCritical;
  // 1 for the first button, 2 for the second (No of Yes/No, Cancel of
  // Retry/Cancel).
  int default_button = 1;
};

// Breaks each line of `text` that `fits` finds too wide into lines that fit,
// so that a message box never grows wider than the screen: at the blanks
// outside its paths first, so that a path that fits on a line stays whole;
// a path too wide for a line of its own after its backslashes, never
// shortened; a run without blank or backslash, too wide alone, where it
// must. Existing line ends ("\r\n") stay. `path_fits`, when given, says
// which paths may stay whole (a stricter measure than a line's: a box may
// break a word wider than its own text area where it likes).
std::string BreakLongLines(const std::string& text,
                           const std::function<bool(std::string_view)>& fits,
                           const std::function<bool(std::string_view)>& path_fits = nullptr);

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }
};

// A surface measured in pixels.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  // Fills the pixels from (left, top) up to, not including, (right, bottom).
  virtual void FillRect(int left, int top, int right, int bottom, Rgb colour) = 0;
  // Writes `text` with its top left corner at (x, y), in `font` of `points`.
  virtual void WriteText(int x, int y, const std::string& text, const std::string& font,
                        int points, Rgb colour) = 0;
};

// Receives every event that comes from a window. Its one method is the one
// place where a failure in an event is caught: the event runs inside it, and
// a failure that the event does not handle becomes the standard error report.
class EventHandler {
 public:
  virtual ~EventHandler() = default;
  virtual void HandleEvent(const std::function<void()>& event) = 0;
  // The user's session ends (log-off, shutdown) while no run goes on: the
  // program ends at once, without questions, with the exit code that
  // leaving now gives (it calls Toolkit::Quit).
  virtual void EndSession() = 0;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  // Makes the window of `form` and attaches peers to it and its controls;
  // called once, before the form is first shown.
  virtual void Attach(Form& form) = 0;
  // Shows the borderless, maximised background window titled `caption` and
  // has `paint` draw its picture once, kept for every later repaint.
  virtual void ShowBackground(const std::string& caption,
                              const std::function<void(Canvas&)>& paint) = 0;
  // Shows a message box owned by the active window and waits for the answer.
  virtual Answer Ask(const Message& message) = 0;
  // Ends the program with `exit_code` once the current event returns; every
  // window is closed without further questions.
  virtual void Quit(int exit_code) = 0;
  // The program's name and version as its version resource gives them, such
  // as "scenery-setup 1.0.0".
  virtual std::string ProgramNameAndVersion() = 0;
};

}  // namespace forms
}  // namespace scenery

#endif  // SCENERY_SETUP_UI_FORMS_TOOLKIT_H_
