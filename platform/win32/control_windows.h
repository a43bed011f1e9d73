// The peers of the forms' controls: one child window of a standard class per
// control, one class per kind of control. Each owns what is particular to
// its kind: its window class and styles, how a change of the control shows,
// what its notifications and Enter mean, and its colours.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_CONTROL_WINDOWS_H_
#define SCENERY_SETUP_PLATFORM_WIN32_CONTROL_WINDOWS_H_

#include <windows.h>

#include <functional>
#include <memory>

#include "ui/forms/forms.h"

namespace scenery {

// An event for the toolkit's event handler, or none (empty).
using Event = std::function<void()>;

class ControlWindow : public forms::ControlPeer {
 public:
  // Makes the child window of `control` on `page`, in the dialog font, and
  // attaches it as the control's peer; nullptr for a control that the page
  // paints itself (a line).
  static std::unique_ptr<ControlWindow> Make(forms::Control& control, HWND page, HFONT font,
                                             int dpi);
  ~ControlWindow() override = default;

  forms::Control& control() { return control_; }
  HWND hwnd() const { return hwnd_; }

  void Update(const forms::Control& control, forms::Property what) override;
  // Moves the window to the control's bounds at `dpi`.
  void Place(int dpi);

  // Gives the window its font, the dialog font at `dpi`.
  virtual void UseFont(HFONT font, int dpi);
  // Draws one item of an owner-drawn control (WM_DRAWITEM); false when the
  // control draws none.
  virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

  // What the notification `code` (of WM_COMMAND) means.
  virtual Event OnCommand(int /*code*/) { return nullptr; }
  // What Enter in this window means; none lets the dialog manager have it.
  virtual Event OnEnter() { return nullptr; }
  // Sets the colours of `dc` for WM_CTLCOLOR* and gives the background's
  // colour; false for the system's own colours.
  virtual bool Colours(HDC dc, COLORREF* back);

 protected:
  ControlWindow(forms::Control& control, HWND hwnd) : control_(control), hwnd_(hwnd) {}
  // Makes the child window of `control` on `page` with its state (text,
  // visible, enabled) and its ID.
  static HWND CreateChild(forms::Control& control, HWND page, const char* window_class,
                          DWORD style, DWORD ex_style);
  // The changes particular to the kind; the text, bounds, enabled and
  // visible states are the same for all.
  virtual void UpdateOwn(forms::Property /*what*/) {}
  // Pixels below the control's own height (the open list of a drop-down).
  virtual int ExtraHeight() const { return 0; }
  bool updating() const { return updating_; }

 private:
  forms::Control& control_;
  HWND hwnd_;
  bool updating_ = false;
  int dpi_ = 96;
};

// The folder list: a list box whose items are drawn as a folder tree
// (folder_list_window.cpp).
std::unique_ptr<ControlWindow> MakeFolderListWindow(forms::Control& control, HWND page);

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_CONTROL_WINDOWS_H_
