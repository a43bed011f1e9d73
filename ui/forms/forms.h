// The small forms layer the wizard is written against. Each object holds its
// own state (text, position and size in twips, enabled, visible, check
// state, list contents) and raises events; a peer, when one is attached,
// mirrors that state into a real window. Without a peer the objects work
// alone, which is how the pages are tested.
#ifndef SCENERY_SETUP_UI_FORMS_FORMS_H_
#define SCENERY_SETUP_UI_FORMS_FORMS_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_system.h"

namespace scenery {
namespace forms {

// A rectangle in twips (1/1440 inch) from the top left of the client area.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class SystemColour { kWindow, kWindowText, kActiveCaption, kActiveBorder };

// A colour: the control's default, a plain RGB colour or a system colour.
struct Colour {
  enum class Type { kDefault, kRgb, kSystem };
  Type type = Type::kDefault;
  std::uint8_t red = 0, green = 0, blue = 0;
  SystemColour system = SystemColour::kWindow;

  static Colour Rgb(int r, int g, int b) {
    Colour c;
    c.type = Type::kRgb;
    c.red = static_cast<std::uint8_t>(r);
    c.green = static_cast<std::uint8_t>(g);
    c.blue = static_cast<std::uint8_t>(b);
    return c;
  }
  static Colour System(SystemColour s) {
    Colour c;
    c.type = Type::kSystem;
    c.system = s;
    return c;
  }
};

enum class Kind { kLabel, kButton, kCheckBox, kTextBox, kDriveList, kDirList, kLine };

// What changed in a control, so that a peer updates only that.
enum class Property { kText, kBounds, kEnabled, kVisible, kChecked, kItems, kSelection, kElide };

class Control;
class Form;

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void Update(const Control& control, Property what) = 0;
};

class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void UpdateTitle(const Form& form) = 0;
  virtual void Show(const Form& form) = 0;
  virtual void Hide(const Form& form) = 0;
  virtual void Focus(const Control& control) = 0;
  // Paints every pending change now and lets the system see the program
  // alive, without acting on any user input.
  virtual void Refresh(const Form& form) = 0;
  // While busy, user input to the form is dropped, never acted on later.
  virtual void SetBusy(const Form& form, bool busy) = 0;
};

class Control {
 public:
  Control(Kind kind, std::string name, Rect bounds, int tab_index);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  // The position in the order in which Tab moves; -1 for a line.
  int tab_index() const { return tab_index_; }
  // The dialog control ID: the tab position plus 100, 199 for a line.
  int id() const { return tab_index_ < 0 ? 199 : 100 + tab_index_; }
  bool can_take_focus() const;

  const std::string& text() const { return text_; }
  void SetText(const std::string& text);
  const Rect& bounds() const { return bounds_; }
  void SetTop(int top);
  void SetWidth(int width);
  void SetHeight(int height);
  bool enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool visible() const { return visible_; }
  void SetVisible(bool visible);
  // One line only, and a text too long for it loses the middle of its path,
  // so that the file name at its end stays in view. Meant for paths alone:
  // a sentence would lose words.
  bool elide_path() const { return elide_path_; }
  void SetElidePath(bool elide);

  // Appearance, fixed when the page is built.
  bool centred = false;
  bool multi_line = false;
  Colour back_colour;
  Colour fore_colour;

  void set_peer(ControlPeer* peer) { peer_ = peer; }

 protected:
  void Changed(Property what) const {
    if (peer_ != nullptr) peer_->Update(*this, what);
  }
  void SetTextQuietly(const std::string& text) { text_ = text; }

 private:
  Kind kind_;
  std::string name_;
  Rect bounds_;
  int tab_index_;
  std::string text_;
  bool enabled_ = true;
  bool visible_ = true;
  bool elide_path_ = false;
  ControlPeer* peer_ = nullptr;
};

class Label : public Control {
 public:
  Label(std::string name, Rect bounds, int tab_index)
      : Control(Kind::kLabel, std::move(name), bounds, tab_index) {}
};

class Button : public Control {
 public:
  Button(std::string name, Rect bounds, int tab_index)
      : Control(Kind::kButton, std::move(name), bounds, tab_index) {}
  // The user clicks the button; a hidden or disabled button does nothing.
  void Click();
  std::function<void()> on_click;
};

class CheckBox : public Control {
 public:
  CheckBox(std::string name, Rect bounds, int tab_index)
      : Control(Kind::kCheckBox, std::move(name), bounds, tab_index) {}
  bool checked() const { return checked_; }
  // The user clicks the box: it toggles, then the click event is raised.
  void Click();
  std::function<void()> on_click;

 private:
  bool checked_ = false;
};

class TextBox : public Control {
 public:
  TextBox(std::string name, Rect bounds, int tab_index)
      : Control(Kind::kTextBox, std::move(name), bounds, tab_index) {}
  // The user has typed: the window already shows `text`.
  void Typed(const std::string& text) { SetTextQuietly(text); }
};

// A straight line between two points in twips, drawn on the form.
class Line : public Control {
 public:
  Line(std::string name, int x1, int y1, int x2, int y2, Colour colour, int pixels_wide)
      : Control(Kind::kLine, std::move(name), Rect{x1, y1, x2 - x1, y2 - y1}, -1),
        pixels_wide_(pixels_wide) {
    fore_colour = colour;
  }
  int pixels_wide() const { return pixels_wide_; }

 private:
  int pixels_wide_;
};

// The machine's drives; its value is the selected drive.
class DriveList : public Control {
 public:
  DriveList(std::string name, Rect bounds, int tab_index, FileSystem& fs);
  const std::vector<std::string>& items() const { return items_; }
  int selection() const { return selection_; }
  // The selected drive's letter, lower case.
  char drive() const;
  // The user picks item `index`.
  void Choose(int index);
  // Selects the drive of `path` (a drive letter first); raises the change
  // event when that is another drive.
  void SetDrive(const std::string& path);
  std::function<void()> on_change;

 private:
  FileSystem& fs_;
  std::vector<DriveInfo> drives_;
  std::vector<std::string> items_;
  int selection_ = -1;
};

// A folder tree of one drive, opened down to its current folder, with the
// subfolders of the current folder below it.
class DirList : public Control {
 public:
  DirList(std::string name, Rect bounds, int tab_index, FileSystem& fs);
  // The current folder: "C:\" at a root, else without a trailing backslash.
  const std::string& path() const { return path_; }
  const std::vector<std::string>& items() const { return items_; }
  // The number of items that are the root and the open folders; the rest
  // are subfolders of the current folder.
  int open_levels() const { return open_levels_; }
  int selection() const { return selection_; }
  // The user selects an item without opening it.
  void Select(int index);
  // The user opens item `index` (double click or Enter). A folder that
  // cannot be listed leaves the list as it was and goes to
  // on_open_failure, when set (else it is thrown).
  void Open(int index);
  // Makes `path` the current folder; raises the change event when it
  // differs. Throws when the folder cannot be listed.
  void SetPath(const std::string& path);
  // Moves to the folder this list last showed on `drive` (or the nearest
  // folder above it that still exists), or to the drive's own current
  // folder. Throws kNotReady for a drive that is not ready.
  void SetDrive(char drive);
  std::function<void()> on_change;
  std::function<void(const Failure&)> on_open_failure;

 private:
  void Fill();

  FileSystem& fs_;
  std::string path_;
  std::vector<std::string> items_;
  int open_levels_ = 0;
  int selection_ = -1;
  std::vector<std::string> last_folder_of_drive_;  // indexed by letter - 'a'
};

// A top-level window of its own: a page or the background.
class Form {
 public:
  Form(std::string name, std::string title, int client_width, int client_height);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Adds a control; controls are kept, and created in windows, in the order
  // in which they are added.
  template <typename T, typename... Args>
  T& Add(Args&&... args) {
    auto control = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *control;
    controls_.push_back(std::move(control));
    return ref;
  }
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  const std::string& name() const { return name_; }
  const std::string& title() const { return title_; }
  void SetTitle(const std::string& title);
  int client_width() const { return client_width_; }
  int client_height() const { return client_height_; }
  bool visible() const { return visible_; }
  void Show();
  void Hide();
  // Gives the focus to the control with the lowest tab position that can
  // take it.
  void FocusFirst();
  const Control* focused() const { return focused_; }
  void Refresh() const;
  void SetBusy(bool busy) const;

  // The user (or the system) asks to close the window.
  void RequestClose();
  std::function<void()> on_close_request;

  void set_peer(FormPeer* peer) { peer_ = peer; }
  FormPeer* peer() const { return peer_; }

 private:
  std::string name_;
  std::string title_;
  int client_width_;
  int client_height_;
  bool visible_ = false;
  const Control* focused_ = nullptr;
  std::vector<std::unique_ptr<Control>> controls_;
  FormPeer* peer_ = nullptr;
};

}  // namespace forms
}  // namespace scenery

#endif  // SCENERY_SETUP_UI_FORMS_FORMS_H_
