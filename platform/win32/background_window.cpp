#include "platform/win32/background_window.h"

#include "platform/win32/gdi.h"

namespace scenery {
namespace {

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

BackgroundWindow::BackgroundWindow(const std::string& caption) {
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

}  // namespace scenery
