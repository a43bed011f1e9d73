#include "platform/win32/win32_toolkit.h"

#include "engine/text_lines.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/background_window.h"
#include "platform/win32/page_window.h"
#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_file_system.h"

namespace scenery {

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : instance_(instance) {
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  // The classic dialog font, 8 points, that the twips layout was drawn for;
  // the larger message font of newer systems would overflow the labels.
  font_ = CreateFontA(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  if (font_ == nullptr) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  WNDCLASSEXA page = {};
  page.cbSize = sizeof page;
  page.lpfnWndProc = PageWindow::Procedure;
  page.hInstance = instance_;
  page.hCursor = LoadCursor(nullptr, IDC_ARROW);
  page.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  page.lpszClassName = kPageClass;
  page.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
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
  background_ = std::make_unique<BackgroundWindow>(caption);
  background_->Paint(paint, dpi_);
}

namespace {

// The widest line of a message box's text at 96 DPI: narrower than the
// boxes break their own text at, so that they keep these lines as they are,
// and with the icon and margins well inside an 800 by 600 screen.
constexpr int kWidestLine = 300;
// The widest path kept whole: narrower than the text area a box draws its
// lines in when none is wider (Wine's boxes break a wider word within it,
// at some 262 pixels), so that no box has to cut a path.
constexpr int kWidestPath = 250;

// `text` broken into lines no wider than a message box should be, measured
// in the system's message font as the box will draw it.
std::string FitToMessageBox(const std::string& text, int dpi) {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  HFONT font = nullptr;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = CreateFontIndirectA(&metrics.lfMessageFont);
  }
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  const int limit = std::min(MulDiv(kWidestLine, dpi, 96), GetSystemMetrics(SM_CXSCREEN) / 2);
  const int path_limit = std::min(MulDiv(kWidestPath, dpi, 96), limit);
  auto within = [dc](int width) {
    return [dc, width](std::string_view line) {
      SIZE size = {};
      GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &size);
      return size.cx <= width;
    };
  };
  std::string fitted = forms::BreakLongLines(text, within(limit), within(path_limit));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (font != nullptr) DeleteObject(font);
  return fitted;
}

}  // namespace

forms::Answer Win32Toolkit::Ask(const forms::Message& message) {
  UINT type = message.buttons == forms::Buttons::kYesNo         ? MB_YESNO
              : message.buttons == forms::Buttons::kRetryCancel ? MB_RETRYCANCEL
                                                                : MB_OK;
  switch (message.icon) {
    case forms::Icon::kQuestion: type |= MB_ICONQUESTION; break;
    case forms::Icon::kCritical: type |= MB_ICONHAND; break;
    case forms::Icon::kExclamation: type |= MB_ICONEXCLAMATION; break;
    case forms::Icon::kInformation: type |= MB_ICONINFORMATION; break;
  }
  if (message.default_button == 2) type |= MB_DEFBUTTON2;
  HWND owner = active_page();
  if (owner == nullptr) owner = background_window();
  if (owner == nullptr) type |= MB_TASKMODAL | MB_SETFOREGROUND;
  const std::string text = FitToMessageBox(message.text, dpi_);
  const int answer = MessageBoxA(owner, text.c_str(), message.title.c_str(), type);
  if (answer == IDYES) return forms::Answer::kYes;
  if (answer == IDNO) return forms::Answer::kNo;
  if (answer == IDRETRY) return forms::Answer::kRetry;
  if (answer == IDCANCEL) return forms::Answer::kCancel;
  return forms::Answer::kOk;
}

void Win32Toolkit::Quit(int exit_code) {
  quitting_ = true;
  exit_code_ = exit_code;
  for (auto& page : pages_) ShowWindow(page->hwnd(), SW_HIDE);
  if (background_) ShowWindow(background_->hwnd(), SW_HIDE);
  PostQuitMessage(exit_code);
}

void Win32Toolkit::SetRunning(bool running) {
  running_ = running;
  // Vista and later name the program and this reason when the user logs off
  // or shuts down; XP has neither function and just sees the refusal.
  using CreateFn = BOOL(WINAPI*)(HWND, LPCWSTR);
  using DestroyFn = BOOL(WINAPI*)(HWND);
  HWND window = background_window();
  if (window == nullptr) return;
  if (running) {
    auto create = reinterpret_cast<CreateFn>(SystemFunction(L"user32.dll", "ShutdownBlockReasonCreate"));
    if (create != nullptr) {
      create(window, L"Setup is copying the scenery and adding it to the scenery library. "
                     L"Ending now would leave it half-installed.");
    }
  } else {
    auto destroy = reinterpret_cast<DestroyFn>(SystemFunction(L"user32.dll", "ShutdownBlockReasonDestroy"));
    if (destroy != nullptr) destroy(window);
  }
}

void Win32Toolkit::EndSession() {
  event_handler_->HandleEvent([this] { event_handler_->EndSession(); });
  DestroyWindows();
  ExitProcess(static_cast<UINT>(exit_code_));
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

std::string Win32Toolkit::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return Digits(now.wYear, 10, 4) + "-" + Digits(now.wMonth, 10, 2) + "-" +
         Digits(now.wDay, 10, 2) + " " + Digits(now.wHour, 10, 2) + ":" +
         Digits(now.wMinute, 10, 2) + ":" + Digits(now.wSecond, 10, 2);
}

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

HWND Win32Toolkit::background_window() const {
  return background_ ? background_->hwnd() : nullptr;
}

HWND Win32Toolkit::active_page() const {
  for (const auto& page : pages_) {
    if (IsWindowVisible(page->hwnd())) return page->hwnd();
  }
  return nullptr;
}

int Win32Toolkit::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    HWND page = active_page();
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
