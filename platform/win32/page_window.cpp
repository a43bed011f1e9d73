#include "platform/win32/page_window.h"

#include "platform/win32/gdi.h"
#include "platform/win32/win32_toolkit.h"

namespace scenery {
namespace {

constexpr DWORD kPageStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPageExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

PageWindow::PageWindow(Win32Toolkit& toolkit, forms::Form& form) : toolkit_(toolkit), form_(form) {
  const int dpi = toolkit_.dpi();
  RECT frame = {0, 0, Pixels(form_.client_width(), dpi), Pixels(form_.client_height(), dpi)};
  AdjustWindowRectEx(&frame, kPageStyle, FALSE, kPageExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  hwnd_ = CreateWindowExA(kPageExStyle, kPageClass, form_.title().c_str(), kPageStyle, x, y, width,
                          height, toolkit_.background_window(), nullptr, GetModuleHandleA(nullptr),
                          this);
  // Children in the form's order, which is also their window order.
  for (const auto& control : form_.controls()) {
    auto child = ControlWindow::Make(*control, hwnd_, toolkit_.dialog_font(), dpi);
    if (child) children_.push_back(std::move(child));
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

void PageWindow::Raise(const Event& event) {
  if (event && !busy_ && !toolkit_.quitting()) toolkit_.event_handler().HandleEvent(event);
}

LRESULT PageWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      ControlWindow* child = ById(LOWORD(wparam));
      if (child != nullptr && !busy_ && !toolkit_.quitting()) Raise(child->OnCommand(HIWORD(wparam)));
      return 0;
    }
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
    case WM_QUERYENDSESSION:
      return toolkit_.MaySessionEnd() ? TRUE : FALSE;
    case WM_ENDSESSION:
      if (wparam) toolkit_.EndSession();
      return 0;
    case WM_CLOSE:
      // Refused: the page decides what a close request means.
      Raise([this] { form_.RequestClose(); });
      return 0;
    case WM_DRAWITEM: {
      ControlWindow* child = ById(static_cast<int>(wparam));
      if (child != nullptr && child->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) {
        return TRUE;
      }
      return DefWindowProcA(hwnd_, message, wparam, lparam);
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
      ControlWindow* child = ByHwnd(reinterpret_cast<HWND>(lparam));
      COLORREF back = 0;
      if (child == nullptr || !child->Colours(reinterpret_cast<HDC>(wparam), &back)) {
        return DefWindowProcA(hwnd_, message, wparam, lparam);
      }
      return reinterpret_cast<LRESULT>(BrushFor(back));
    }
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

bool PageWindow::HandleEnter(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || busy_) return false;
  ControlWindow* child = ByHwnd(msg.hwnd);
  if (child == nullptr) return false;
  const Event event = child->OnEnter();
  if (!event) return false;
  Raise(event);
  return true;
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
  toolkit_.SetRunning(busy);
}

}  // namespace scenery
