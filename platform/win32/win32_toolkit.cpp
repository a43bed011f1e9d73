#include "platform/win32/win32_toolkit.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_file_system.h"

namespace scenery {
namespace {

constexpr char kPageClass[] = "SceneryPage";
constexpr char kBackgroundClass[] = "SceneryBackground";
constexpr DWORD kPageStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPageExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kDropDownPixels = 200;  // the open drive list below its closed box

// The one conversion of layout units: pixels = twips x DPI / 1440.
int Pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

COLORREF ToColorRef(const forms::Colour& colour) {
  if (colour.type == forms::Colour::Type::kRgb) return RGB(colour.red, colour.green, colour.blue);
  switch (colour.system) {
    case forms::SystemColour::kWindow: return GetSysColor(COLOR_WINDOW);
    case forms::SystemColour::kWindowText: return GetSysColor(COLOR_WINDOWTEXT);
    case forms::SystemColour::kActiveCaption: return GetSysColor(COLOR_ACTIVECAPTION);
    case forms::SystemColour::kActiveBorder: return GetSysColor(COLOR_ACTIVEBORDER);
  }
  return GetSysColor(COLOR_WINDOW);
}

// Owns one GDI object; deletes it on every way out of a scope.
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(HGDIOBJ object) : object_(object) {}
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  ~ScopedGdiObject() {
    if (object_ != nullptr) DeleteObject(object_);
  }
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
};

// A Canvas on a memory device context.
class GdiCanvas : public forms::Canvas {
 public:
  GdiCanvas(HDC dc, int width, int height, int dpi)
      : dc_(dc), width_(width), height_(height), dpi_(dpi) {}
  int width() const override { return width_; }
  int height() const override { return height_; }
  void FillRect(int left, int top, int right, int bottom, forms::Rgb colour) override {
    ScopedGdiObject brush(CreateSolidBrush(RGB(colour.red, colour.green, colour.blue)));
    RECT rect = {left, top, right, bottom};
    ::FillRect(dc_, &rect, static_cast<HBRUSH>(brush.get()));
  }
  void WriteText(int x, int y, const std::string& text, const std::string& font, int points,
                forms::Rgb colour) override {
    ScopedGdiObject face(CreateFontA(-MulDiv(points, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                     FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, font.c_str()));
    HGDIOBJ old_font = SelectObject(dc_, face.get());
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(colour.red, colour.green, colour.blue));
    TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
    SelectObject(dc_, old_font);
  }

 private:
  HDC dc_;
  int width_, height_, dpi_;
};

}  // namespace

// ---- a control's child window ----

class ControlWindow : public forms::ControlPeer {
 public:
  ControlWindow(forms::Control& control, HWND hwnd) : control_(control), hwnd_(hwnd) {}
  forms::Control& control() { return control_; }
  HWND hwnd() const { return hwnd_; }
  bool updating() const { return updating_; }

  void Update(const forms::Control& control, forms::Property what) override;
  void Place(int dpi);

 private:
  forms::Control& control_;
  HWND hwnd_;
  bool updating_ = false;
  int dpi_ = 96;
};

void ControlWindow::Place(int dpi) {
  dpi_ = dpi;
  const forms::Rect& r = control_.bounds();
  int height = Pixels(r.height, dpi);
  if (control_.kind() == forms::Kind::kDriveList) height += kDropDownPixels;
  MoveWindow(hwnd_, Pixels(r.left, dpi), Pixels(r.top, dpi), Pixels(r.width, dpi), height, TRUE);
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
    case forms::Property::kElide: {
      const LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
      SetWindowLongA(hwnd_, GWL_STYLE, control.elide_path() ? style | SS_PATHELLIPSIS
                                                            : style & ~SS_PATHELLIPSIS);
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    }
    case forms::Property::kChecked:
      SendMessageA(hwnd_, BM_SETCHECK,
                   static_cast<const forms::CheckBox&>(control).checked() ? BST_CHECKED
                                                                           : BST_UNCHECKED,
                   0);
      break;
    case forms::Property::kItems:
    case forms::Property::kSelection:
      if (control.kind() == forms::Kind::kDirList) {
        const auto& list = static_cast<const forms::DirList&>(control);
        SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
        SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
        for (const std::string& item : list.items()) {
          SendMessageA(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list.selection()), 0);
        SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
      } else if (control.kind() == forms::Kind::kDriveList) {
        const auto& list = static_cast<const forms::DriveList&>(control);
        if (what == forms::Property::kItems) {
          SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
          for (const std::string& item : list.items()) {
            SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
          }
        }
        SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(list.selection()), 0);
      }
      break;
  }
  updating_ = false;
}

// ---- a page's top-level window ----

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

  // Enter in the folder list opens the selected folder, as a double click;
  // on a button it presses that button.
  bool HandleEnter(const MSG& msg);

 private:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Create();
  void OnCommand(int id, int code);
  LRESULT OnControlColour(HDC dc, HWND child, LRESULT fallback);
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

PageWindow::PageWindow(Win32Toolkit& toolkit, forms::Form& form)
    : toolkit_(toolkit), form_(form) {
  Create();
}

void PageWindow::Create() {
  const int dpi = toolkit_.dpi();
  RECT frame = {0, 0, Pixels(form_.client_width(), dpi), Pixels(form_.client_height(), dpi)};
  AdjustWindowRectEx(&frame, kPageStyle, FALSE, kPageExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  hwnd_ = CreateWindowExA(kPageExStyle, kPageClass, form_.title().c_str(), kPageStyle, x, y, width,
                          height, static_cast<HWND>(toolkit_.background_window()), nullptr,
                          instance, this);

  // Children in the form's order, which is also their window order.
  for (const auto& control : form_.controls()) {
    const char* window_class = nullptr;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ex_style = 0;
    switch (control->kind()) {
      case forms::Kind::kLine:
        continue;  // painted by the page
      case forms::Kind::kLabel:
        window_class = "Static";
        style |= SS_NOPREFIX | (control->centred ? SS_CENTER : SS_LEFT);
        if (control->elide_path()) style |= SS_PATHELLIPSIS;
        break;
      case forms::Kind::kButton:
        window_class = "Button";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case forms::Kind::kCheckBox:
        window_class = "Button";
        style |= BS_CHECKBOX | WS_TABSTOP;
        break;
      case forms::Kind::kTextBox:
        window_class = "Edit";
        ex_style = WS_EX_CLIENTEDGE;
        style |= WS_TABSTOP | (control->multi_line
                                   ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL
                                   : ES_AUTOHSCROLL);
        break;
      case forms::Kind::kDriveList:
        window_class = "ComboBox";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
        break;
      case forms::Kind::kDirList:
        window_class = "ListBox";
        ex_style = WS_EX_CLIENTEDGE;
        style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
        break;
    }
    if (control->visible()) style |= WS_VISIBLE;
    if (!control->enabled()) style |= WS_DISABLED;
    HWND child = CreateWindowExA(ex_style, window_class, control->text().c_str(), style, 0, 0, 0,
                                 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id())),
                                 instance, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(toolkit_.dialog_font()), FALSE);
    if (control->kind() == forms::Kind::kTextBox) SendMessageA(child, EM_SETLIMITTEXT, 0, 0);
    auto peer = std::make_unique<ControlWindow>(*control, child);
    peer->Place(toolkit_.dpi());
    control->set_peer(peer.get());
    peer->Update(*control, forms::Property::kItems);
    children_.push_back(std::move(peer));
  }
  form_.set_peer(this);
}

LRESULT CALLBACK PageWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  PageWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<PageWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<PageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT PageWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_ACTIVATE:
      // Keep the focused control across deactivation, as a dialog does.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) last_focus_ = focus;
      } else if (last_focus_ != nullptr && IsWindow(last_focus_)) {
        SetFocus(last_focus_);
        return 0;
      }
      return DefWindowProcA(hwnd_, message, wparam, lparam);
    case WM_CLOSE:
      // Refused: the page decides what a close request means.
      if (!busy_) toolkit_.Dispatch([this] { form_.RequestClose(); });
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam),
                             DefWindowProcA(hwnd_, message, wparam, lparam));
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd_, &paint);
      PaintLines(dc);
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_DESTROY:
      for (auto& entry : brushes_) DeleteObject(entry.second);
      brushes_.clear();
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

void PageWindow::OnCommand(int id, int code) {
  ControlWindow* child = ById(id);
  if (child == nullptr || busy_ || toolkit_.quitting()) return;
  forms::Control& control = child->control();
  switch (control.kind()) {
    case forms::Kind::kButton:
      if (code == BN_CLICKED) {
        toolkit_.Dispatch([&control] { static_cast<forms::Button&>(control).Click(); });
      }
      break;
    case forms::Kind::kCheckBox:
      if (code == BN_CLICKED) {
        toolkit_.Dispatch([&control] { static_cast<forms::CheckBox&>(control).Click(); });
      }
      break;
    case forms::Kind::kTextBox:
      if (code == EN_CHANGE && !child->updating()) {
        const int length = GetWindowTextLengthA(child->hwnd());
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        text.resize(static_cast<std::size_t>(GetWindowTextA(child->hwnd(), &text[0], length + 1)));
        static_cast<forms::TextBox&>(control).Typed(text);
      }
      break;
    case forms::Kind::kDriveList:
      if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageA(child->hwnd(), CB_GETCURSEL, 0, 0));
        toolkit_.Dispatch([&control, index] {
          static_cast<forms::DriveList&>(control).Choose(index);
        });
      }
      break;
    case forms::Kind::kDirList: {
      const int index = static_cast<int>(SendMessageA(child->hwnd(), LB_GETCURSEL, 0, 0));
      auto& list = static_cast<forms::DirList&>(control);
      if (code == LBN_SELCHANGE) list.Select(index);
      if (code == LBN_DBLCLK) toolkit_.Dispatch([&list, index] { list.Open(index); });
      break;
    }
    default:
      break;
  }
}

bool PageWindow::HandleEnter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || busy_) return false;
  ControlWindow* child = ByHwnd(msg.hwnd);
  if (child == nullptr) return false;
  forms::Control& control = child->control();
  if (control.kind() == forms::Kind::kButton) {
    // Enter presses the button that has the focus; no button is the default.
    auto& button = static_cast<forms::Button&>(control);
    toolkit_.Dispatch([&button] { button.Click(); });
    return true;
  }
  if (control.kind() != forms::Kind::kDirList) return false;
  auto& list = static_cast<forms::DirList&>(control);
  const int index = static_cast<int>(SendMessageA(child->hwnd(), LB_GETCURSEL, 0, 0));
  toolkit_.Dispatch([&list, index] { list.Open(index); });
  return true;
}

LRESULT PageWindow::OnControlColour(HDC dc, HWND child_hwnd, LRESULT fallback) {
  ControlWindow* child = ByHwnd(child_hwnd);
  if (child == nullptr) return fallback;
  const forms::Control& control = child->control();
  if (control.fore_colour.type != forms::Colour::Type::kDefault) {
    SetTextColor(dc, ToColorRef(control.fore_colour));
  }
  COLORREF back = GetSysColor(COLOR_BTNFACE);
  if (control.back_colour.type != forms::Colour::Type::kDefault) {
    back = ToColorRef(control.back_colour);
  } else if (control.kind() == forms::Kind::kTextBox) {
    return fallback;
  }
  SetBkColor(dc, back);
  return reinterpret_cast<LRESULT>(BrushFor(back));
}

HBRUSH PageWindow::BrushFor(COLORREF colour) {
  auto it = brushes_.find(colour);
  if (it != brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(colour);
  brushes_[colour] = brush;
  return brush;
}

void PageWindow::PaintLines(HDC dc) {
  const int dpi = toolkit_.dpi();
  for (const auto& control : form_.controls()) {
    if (control->kind() != forms::Kind::kLine || !control->visible()) continue;
    const auto& line = static_cast<const forms::Line&>(*control);
    const forms::Rect& r = line.bounds();
    ScopedGdiObject pen(CreatePen(PS_SOLID, line.pixels_wide(), ToColorRef(line.fore_colour)));
    HGDIOBJ old_pen = SelectObject(dc, pen.get());
    MoveToEx(dc, Pixels(r.left, dpi), Pixels(r.top, dpi), nullptr);
    LineTo(dc, Pixels(r.left + r.width, dpi), Pixels(r.top + r.height, dpi));
    SelectObject(dc, old_pen);
  }
}

ControlWindow* PageWindow::ById(int id) {
  for (auto& child : children_) {
    if (child->control().id() == id) return child.get();
  }
  return nullptr;
}

ControlWindow* PageWindow::ByHwnd(HWND hwnd) {
  for (auto& child : children_) {
    if (child->hwnd() == hwnd) return child.get();
  }
  return nullptr;
}

void PageWindow::UpdateTitle(const forms::Form& form) { SetWindowTextA(hwnd_, form.title().c_str()); }

void PageWindow::Show(const forms::Form&) {
  EnableWindow(hwnd_, TRUE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
}

void PageWindow::Hide(const forms::Form&) { ShowWindow(hwnd_, SW_HIDE); }

void PageWindow::Focus(const forms::Control& control) {
  for (auto& child : children_) {
    if (&child->control() == &control) {
      SetFocus(child->hwnd());
      last_focus_ = child->hwnd();
    }
  }
}

void PageWindow::Refresh(const forms::Form&) {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  // Paint messages only: the system sees the program alive, and no input is
  // acted on while the run goes on.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
}

void PageWindow::SetBusy(const forms::Form&, bool busy) {
  if (!busy) {
    // Drop the clicks and keys that arrived during the run.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
    }
  }
  busy_ = busy;
}

// ---- the background ----

class BackgroundWindow {
 public:
  BackgroundWindow(const std::string& caption, int dpi);
  ~BackgroundWindow();
  HWND hwnd() const { return hwnd_; }
  void Paint(const std::function<void(forms::Canvas&)>& paint, int dpi);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  HWND hwnd_ = nullptr;
  HBITMAP picture_ = nullptr;
};

BackgroundWindow::BackgroundWindow(const std::string& caption, int) {
  hwnd_ = CreateWindowExA(WS_EX_APPWINDOW, kBackgroundClass, caption.c_str(),
                          WS_POPUP | WS_CLIPCHILDREN | WS_MAXIMIZE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                          GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                          GetModuleHandleA(nullptr), this);
}

BackgroundWindow::~BackgroundWindow() {
  if (picture_ != nullptr) DeleteObject(picture_);
}

void BackgroundWindow::Paint(const std::function<void(forms::Canvas&)>& paint, int dpi) {
  // Made maximised at the screen's size, it is shown as it is, without an
  // activation that the licence page takes from it at once anyway.
  ShowWindow(hwnd_, SW_SHOWNA);
  RECT client;
  GetClientRect(hwnd_, &client);
  HDC screen = GetDC(hwnd_);
  HDC memory = CreateCompatibleDC(screen);
  picture_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old_bitmap = SelectObject(memory, picture_);
  RECT all = {0, 0, client.right, client.bottom};
  ScopedGdiObject blue(CreateSolidBrush(RGB(0, 0, 128)));
  FillRect(memory, &all, static_cast<HBRUSH>(blue.get()));
  GdiCanvas canvas(memory, client.right, client.bottom, dpi);
  paint(canvas);
  SelectObject(memory, old_bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd_, screen);
  // The background takes no input of its own, as behind a modal page.
  EnableWindow(hwnd_, FALSE);
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

LRESULT CALLBACK BackgroundWindow::Procedure(HWND hwnd, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  BackgroundWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<BackgroundWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<BackgroundWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  switch (message) {
    case WM_ERASEBKGND:
      if (self->picture_ != nullptr) return 1;
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      if (self->picture_ != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old_bitmap = SelectObject(memory, self->picture_);
        const RECT& r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top,
               SRCCOPY);
        SelectObject(memory, old_bitmap);
        DeleteDC(memory);
      }
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_CLOSE:
      return 0;  // only the pages end the program
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// ---- the toolkit ----

Win32Toolkit::Win32Toolkit(void* instance) : instance_(instance) {
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  // The classic dialog font, 8 points, that the twips layout was drawn for;
  // the larger message font of newer systems would overflow the labels.
  font_ = CreateFontA(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  if (font_ == nullptr) font_ = GetStockObject(DEFAULT_GUI_FONT);

  WNDCLASSEXA page = {};
  page.cbSize = sizeof page;
  page.lpfnWndProc = PageWindow::Procedure;
  page.hInstance = static_cast<HINSTANCE>(instance_);
  page.hCursor = LoadCursor(nullptr, IDC_ARROW);
  page.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  page.lpszClassName = kPageClass;
  page.hIcon = LoadIconA(static_cast<HINSTANCE>(instance_), MAKEINTRESOURCEA(1));
  RegisterClassExA(&page);

  WNDCLASSEXA background = page;
  background.lpfnWndProc = BackgroundWindow::Procedure;
  background.hbrBackground = nullptr;
  background.lpszClassName = kBackgroundClass;
  RegisterClassExA(&background);
}

Win32Toolkit::~Win32Toolkit() {
  DestroyWindows();
  if (font_ != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font_);
}

void Win32Toolkit::DestroyWindows() {
  quitting_ = true;
  for (auto& page : pages_) {
    if (IsWindow(page->hwnd())) DestroyWindow(page->hwnd());
  }
  if (background_ && IsWindow(background_->hwnd())) DestroyWindow(background_->hwnd());
}

void Win32Toolkit::Attach(forms::Form& form) {
  pages_.push_back(std::make_unique<PageWindow>(*this, form));
}

void Win32Toolkit::ShowBackground(const std::string& caption,
                                  const std::function<void(forms::Canvas&)>& paint) {
  background_ = std::make_unique<BackgroundWindow>(caption, dpi_);
  background_->Paint(paint, dpi_);
}

forms::Answer Win32Toolkit::Ask(const forms::Message& message) {
  UINT type = message.buttons == forms::Buttons::kYesNo ? MB_YESNO : MB_OK;
  switch (message.icon) {
    case forms::Icon::kQuestion: type |= MB_ICONQUESTION; break;
    case forms::Icon::kCritical: type |= MB_ICONHAND; break;
    case forms::Icon::kExclamation: type |= MB_ICONEXCLAMATION; break;
    case forms::Icon::kInformation: type |= MB_ICONINFORMATION; break;
  }
  if (message.default_button == 2) type |= MB_DEFBUTTON2;
  HWND owner = static_cast<HWND>(active_page());
  if (owner == nullptr) owner = static_cast<HWND>(background_window());
  if (owner == nullptr) type |= MB_TASKMODAL | MB_SETFOREGROUND;
  const int answer = MessageBoxA(owner, message.text.c_str(), message.title.c_str(), type);
  if (answer == IDYES) return forms::Answer::kYes;
  if (answer == IDNO) return forms::Answer::kNo;
  return forms::Answer::kOk;
}

void Win32Toolkit::Quit(int exit_code) {
  quitting_ = true;
  for (auto& page : pages_) ShowWindow(page->hwnd(), SW_HIDE);
  if (background_) ShowWindow(background_->hwnd(), SW_HIDE);
  PostQuitMessage(exit_code);
}

std::string Win32Toolkit::ProgramNameAndVersion() {
  std::string name = "scenery-setup";
  std::string path;
  try {
    path = ProgramPath();
  } catch (const Failure&) {
    return name;
  }
  // The version library is not one of the system's known libraries: it is
  // taken from the system folder, never from beside the program.
  using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  auto info_size = reinterpret_cast<SizeFn>(SystemFunction(L"version.dll", "GetFileVersionInfoSizeA"));
  auto info_read = reinterpret_cast<InfoFn>(SystemFunction(L"version.dll", "GetFileVersionInfoA"));
  auto query = reinterpret_cast<QueryFn>(SystemFunction(L"version.dll", "VerQueryValueA"));
  if (info_size == nullptr || info_read == nullptr || query == nullptr) return name;
  DWORD ignored = 0;
  const DWORD size = info_size(path.c_str(), &ignored);
  if (size == 0) return name;
  std::vector<char> info(size);
  if (!info_read(path.c_str(), 0, size, info.data())) return name;
  auto value = [&info, query](const char* key) -> std::string {
    void* text = nullptr;
    UINT chars = 0;
    std::string query_path = std::string("\\StringFileInfo\\040904E4\\") + key;
    if (!query(info.data(), query_path.c_str(), &text, &chars) || chars == 0) return "";
    return std::string(static_cast<const char*>(text));
  };
  const std::string product = value("ProductName");
  const std::string version = value("ProductVersion");
  if (!product.empty()) name = product;
  return version.empty() ? name : name + " " + version;
}

namespace {

struct PageSearch {
  DWORD self;
  HWND page;
};

BOOL CALLBACK FindOtherPage(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<PageSearch*>(param);
  char name[64] = "";
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->self || !IsWindowVisible(hwnd)) return TRUE;
  if (GetClassNameA(hwnd, name, sizeof name) == 0 || std::string(name) != kPageClass) return TRUE;
  search->page = hwnd;
  return FALSE;
}

}  // namespace

void Win32Toolkit::ShowOtherInstallation() {
  // The visible page of another Setup.exe: a window of this program's page
  // class that this process did not make.
  PageSearch search = {GetCurrentProcessId(), nullptr};
  EnumWindows(FindOtherPage, reinterpret_cast<LPARAM>(&search));
  if (search.page == nullptr) return;
  if (IsIconic(search.page)) ShowWindow(search.page, SW_RESTORE);
  SetWindowPos(search.page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetForegroundWindow(search.page);
}

void Win32Toolkit::Dispatch(const std::function<void()>& event) {
  if (dispatcher_) {
    dispatcher_(event);
  } else {
    event();
  }
}

void* Win32Toolkit::background_window() const {
  return background_ ? background_->hwnd() : nullptr;
}

void* Win32Toolkit::active_page() const {
  for (const auto& page : pages_) {
    if (IsWindowVisible(page->hwnd())) return page->hwnd();
  }
  return nullptr;
}

int Win32Toolkit::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    HWND page = static_cast<HWND>(active_page());
    if (page != nullptr) {
      bool handled = false;
      for (auto& window : pages_) {
        if (window->hwnd() == page) handled = window->HandleEnter(msg);
      }
      if (handled || IsDialogMessageA(page, &msg)) continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace scenery
