#include "platform/win32/control_windows.h"

#include <string>

#include "platform/win32/gdi.h"

namespace scenery {
namespace {

constexpr int kDropDownPixels = 200;  // the open drive list below its closed box

class LabelWindow : public ControlWindow {
 public:
  LabelWindow(forms::Control& control, HWND page)
      : ControlWindow(control, CreateChild(control, page, "Static",
                                           SS_NOPREFIX | (control.centred ? SS_CENTER : SS_LEFT) |
                                               (control.elide_path() ? SS_PATHELLIPSIS : 0),
                                           0)) {}

 protected:
  void UpdateOwn(forms::Property what) override {
    if (what != forms::Property::kElide) return;
    const LONG style = GetWindowLongA(hwnd(), GWL_STYLE);
    SetWindowLongA(hwnd(), GWL_STYLE,
                   control().elide_path() ? style | SS_PATHELLIPSIS : style & ~SS_PATHELLIPSIS);
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
};

class ButtonWindow : public ControlWindow {
 public:
  ButtonWindow(forms::Control& control, HWND page)
      : ControlWindow(control, CreateChild(control, page, "Button", BS_PUSHBUTTON | WS_TABSTOP, 0)) {}
  Event OnCommand(int code) override {
    if (code != BN_CLICKED) return nullptr;
    return OnEnter();
  }
  // Enter presses the button that has the focus; no button is the default.
  Event OnEnter() override {
    auto& button = static_cast<forms::Button&>(control());
    return [&button] { button.Click(); };
  }
};

class CheckBoxWindow : public ControlWindow {
 public:
  CheckBoxWindow(forms::Control& control, HWND page)
      : ControlWindow(control, CreateChild(control, page, "Button", BS_CHECKBOX | WS_TABSTOP, 0)) {}
  Event OnCommand(int code) override {
    if (code != BN_CLICKED) return nullptr;
    auto& box = static_cast<forms::CheckBox&>(control());
    return [&box] { box.Click(); };
  }

 protected:
  void UpdateOwn(forms::Property what) override {
    if (what != forms::Property::kChecked) return;
    const bool checked = static_cast<const forms::CheckBox&>(control()).checked();
    SendMessageA(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
};

class TextBoxWindow : public ControlWindow {
 public:
  TextBoxWindow(forms::Control& control, HWND page)
      : ControlWindow(control,
                      CreateChild(control, page, "Edit",
                                  WS_TABSTOP | (control.multi_line ? ES_MULTILINE | ES_AUTOVSCROLL |
                                                                         ES_WANTRETURN | WS_VSCROLL
                                                                   : ES_AUTOHSCROLL),
                                  WS_EX_CLIENTEDGE)) {
    SendMessageA(hwnd(), EM_SETLIMITTEXT, 0, 0);
  }
  // What the user typed; not what the program set.
  Event OnCommand(int code) override {
    if (code != EN_CHANGE || updating()) return nullptr;
    const int length = GetWindowTextLengthA(hwnd());
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd(), &text[0], length + 1)));
    auto& box = static_cast<forms::TextBox&>(control());
    return [&box, text] { box.Typed(text); };
  }
  // A text box keeps the system's background unless the form sets one.
  bool Colours(HDC dc, COLORREF* back) override {
    if (control().back_colour.type != forms::Colour::Type::kDefault) {
      return ControlWindow::Colours(dc, back);
    }
    if (control().fore_colour.type != forms::Colour::Type::kDefault) {
      SetTextColor(dc, ToColorRef(control().fore_colour));
    }
    return false;
  }
};

class DriveListWindow : public ControlWindow {
 public:
  DriveListWindow(forms::Control& control, HWND page)
      : ControlWindow(control, CreateChild(control, page, "ComboBox",
                                           CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0)) {}
  Event OnCommand(int code) override {
    if (code != CBN_SELCHANGE) return nullptr;
    const int index = static_cast<int>(SendMessageA(hwnd(), CB_GETCURSEL, 0, 0));
    auto& list = static_cast<forms::DriveList&>(control());
    return [&list, index] { list.Choose(index); };
  }

 protected:
  void UpdateOwn(forms::Property what) override {
    if (what != forms::Property::kItems && what != forms::Property::kSelection) return;
    const auto& list = static_cast<const forms::DriveList&>(control());
    if (what == forms::Property::kItems) {
      SendMessageA(hwnd(), CB_RESETCONTENT, 0, 0);
      for (const std::string& item : list.items()) {
        SendMessageA(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      }
    }
    SendMessageA(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(list.selection()), 0);
  }
  int ExtraHeight() const override { return kDropDownPixels; }
};

}  // namespace

HWND ControlWindow::CreateChild(forms::Control& control, HWND page, const char* window_class,
                                DWORD style, DWORD ex_style) {
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (control.visible()) style |= WS_VISIBLE;
  if (!control.enabled()) style |= WS_DISABLED;
  return CreateWindowExA(ex_style, window_class, control.text().c_str(), style, 0, 0, 0, 0, page,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id())),
                         GetModuleHandleA(nullptr), nullptr);
}

void ControlWindow::UseFont(HFONT font, int) {
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::unique_ptr<ControlWindow> ControlWindow::Make(forms::Control& control, HWND page, HFONT font,
                                                   int dpi) {
  std::unique_ptr<ControlWindow> window;
  switch (control.kind()) {
    case forms::Kind::kLine: return nullptr;  // painted by the page
    case forms::Kind::kLabel: window = std::make_unique<LabelWindow>(control, page); break;
    case forms::Kind::kButton: window = std::make_unique<ButtonWindow>(control, page); break;
    case forms::Kind::kCheckBox: window = std::make_unique<CheckBoxWindow>(control, page); break;
    case forms::Kind::kTextBox: window = std::make_unique<TextBoxWindow>(control, page); break;
    case forms::Kind::kDriveList: window = std::make_unique<DriveListWindow>(control, page); break;
    case forms::Kind::kDirList: window = MakeFolderListWindow(control, page); break;
  }
  window->UseFont(font, dpi);
  window->Place(dpi);
  control.set_peer(window.get());
  window->Update(control, forms::Property::kItems);
  return window;
}

void ControlWindow::Place(int dpi) {
  dpi_ = dpi;
  const forms::Rect& r = control_.bounds();
  MoveWindow(hwnd_, Pixels(r.left, dpi), Pixels(r.top, dpi), Pixels(r.width, dpi),
             Pixels(r.height, dpi) + ExtraHeight(), TRUE);
}

void ControlWindow::Update(const forms::Control& control, forms::Property what) {
  updating_ = true;
  switch (what) {
    case forms::Property::kText:
      SetWindowTextA(hwnd_, control.text().c_str());
      break;
    case forms::Property::kBounds:
      Place(dpi_);
      break;
    case forms::Property::kEnabled:
      EnableWindow(hwnd_, control.enabled());
      break;
    case forms::Property::kVisible:
      ShowWindow(hwnd_, control.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    default:
      UpdateOwn(what);
      break;
  }
  updating_ = false;
}

bool ControlWindow::Colours(HDC dc, COLORREF* back) {
  if (control_.fore_colour.type != forms::Colour::Type::kDefault) {
    SetTextColor(dc, ToColorRef(control_.fore_colour));
  }
  *back = control_.back_colour.type != forms::Colour::Type::kDefault
              ? ToColorRef(control_.back_colour)
              : GetSysColor(COLOR_BTNFACE);
  SetBkColor(dc, *back);
  return true;
}

}  // namespace scenery
