// A page's top-level window: the peer of a form, parent of its controls'
// windows; it paints the form's lines and hands every event of its controls
// to the toolkit's event handler.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_PAGE_WINDOW_H_
#define SCENERY_SETUP_PLATFORM_WIN32_PAGE_WINDOW_H_

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/win32/control_windows.h"
#include "ui/forms/forms.h"

namespace scenery {

class Win32Toolkit;

// The window class of every page; another Setup.exe finds ours by it.
constexpr char kPageClass[] = "SceneryPage";

class PageWindow : public forms::FormPeer {
 public:
  PageWindow(Win32Toolkit& toolkit, forms::Form& form);
  HWND hwnd() const { return hwnd_; }
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  void UpdateTitle(const forms::Form& form) override;
  void Show(const forms::Form& form) override;
  void Hide(const forms::Form& form) override;
  void Focus(const forms::Control& control) override;
  void Refresh(const forms::Form& form) override;
  void SetBusy(const forms::Form& form, bool busy) override;

  // Enter on a control whose kind gives it a meaning (a button, the folder
  // list); true when the key was taken.
  bool HandleEnter(const MSG& msg);

 private:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Raise(const Event& event);
  void PaintLines(HDC dc);
  ControlWindow* ById(int id);
  ControlWindow* ByHwnd(HWND hwnd);
  HBRUSH BrushFor(COLORREF colour);

  Win32Toolkit& toolkit_;
  forms::Form& form_;
  HWND hwnd_ = nullptr;
  HWND last_focus_ = nullptr;
  bool busy_ = false;
  std::vector<std::unique_ptr<ControlWindow>> children_;
  std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_PAGE_WINDOW_H_
