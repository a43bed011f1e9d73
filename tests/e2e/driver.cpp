// Operates Setup.exe from another process, as a user or a screen reader
// would: through top-level windows found by title, controls found by their
// dialog IDs, and Win32 messages. It reads a script of commands, one per
// line, and stops at the first one that fails, ending Setup.exe if it is
// still running. Words are separated by blanks; "double quotes" keep blanks
// in one word, and {CRLF} stands for a line end. Lines starting with # are
// comments.
//
//   start PROGRAM [ARGUMENT...]   start PROGRAM in its own folder (an
//                                 argument with blanks is passed quoted)
//   wait-page TITLE [ID TEXT]     wait for the visible page titled TITLE
//                                 (whose control ID shows TEXT); it becomes
//                                 the current page
//   click ID                      click a button or check box of the page
//   type ID TEXT                  replace the text of a text box
//   open ID ITEM                  double-click the folder list item ITEM
//   enter ID ITEM                 select the folder list item ITEM, press Enter
//   press-enter ID                press Enter in the control
//   choose ID PREFIX              pick the drive list item starting PREFIX
//   close                         ask the current page to close
//   end-session 0|1               log off as Windows does: the page must
//                                 refuse (0) or let (1) the session end,
//                                 which then ends
//   expect-text ID TEXT           the control shows exactly TEXT
//   expect-enabled ID 0|1         the control is disabled / enabled
//   expect-checked ID 0|1         the check box is unticked / ticked
//   box TEXT BUTTON [TITLE [ICON]]
//                                 wait for a message box whose text holds
//                                 TEXT (with exactly the title TITLE and the
//                                 icon critical, question, exclamation or information),
//                                 press yes, no or ok; only the buttons
//                                 named in the box's kind may be there
//   expect-visible ID 0|1         the control is hidden / shown
//   expect-label ID TEXT          the window just before the control (which
//                                 screen readers take for its name) is a
//                                 label showing TEXT
//   expect-tab-order ID ID ...    Tab moves through these controls in turn
//   expect-class ID CLASS         the control's window class
//   expect-items ID "A|B|C"       the items of a list box or combo box
//   expect-rect ID L T W H        the control's place and size in twips,
//                                 converted at the screen's DPI (1 pixel of
//                                 slack; H "-" skips the height)
//   expect-folder ID INDEX LEVEL open|closed
//                                 the folder list draws item INDEX indented
//                                 LEVEL steps, with an open or closed folder
//   expect-client W H             the current page's client size in twips
//   expect-pixel ID DX DY COLOUR [TOLERANCE]
//                                 the screen pixel DX, DY pixels into the
//                                 control; COLOUR is RRGGBB or sys:NAME
//                                 (WINDOW, ACTIVECAPTION, ACTIVEBORDER, BTNFACE)
//   expect-screen-pixel X Y COLOUR [TOLERANCE]
//                                 a screen pixel; negative X, Y count from
//                                 the right and bottom edges
//   expect-background CAPTION     the background window: titled CAPTION (the
//                                 taskbar's entry), no caption or border, full screen
//   expect-fit                    every visible label and button of the
//                                 current page shows its whole text: it is
//                                 measured with the dialog font of Setup.exe
//                                 (labels that elide a path are skipped)
//   expect-dpi DPI                the screen's DPI, as programs see it
//   wait-progress ID              wait until the fill control is shown and
//                                 wider than nothing
//   no-box MS                     no message box appears within MS ms
//   hold FILE                     keep FILE open, denying others writing
//   release                       close every file held
//   write FILE TEXT               write FILE anew with TEXT
//   expect-program NAME FOLDER    Windows' list of programs has one entry
//                                 NAME for FOLDER ("-": none), whose removal
//                                 program lies in its own protected folder
//   start-removal NAME [ARGUMENT...]
//                                 start the removal program of the entry
//                                 NAME, as the list of programs does
//   wait-file FILE                wait until FILE exists
//   launch PROGRAM [ARGUMENT...]  start PROGRAM (a copy of the driver given
//                                 --idle waits for its end) and leave it running
//   end-launched                  end the program of launch, and wait for it
//   delete FILE                   delete FILE
//   hide FILE                     give FILE the hidden attribute
//   read-only FILE 1|0            set or clear FILE's read-only attribute, as Properties does
//   snap FILE                     save the screen as a 24-bit BMP file
//   snap-page FILE                save the current page's window alone
//   exit CODE                     wait for the program's end and its code
//   another PROGRAM CODE TEXT     start PROGRAM while the first one runs: it
//                                 must show a message box holding TEXT with
//                                 the information icon and OK alone, end
//                                 with exit code CODE when OK is pressed,
//                                 and have brought the current page to the
//                                 front
//   kill                          end Setup.exe at once, as a crash would
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/win32_tree.h"

namespace {

// How long any one wait may take: 20 s, or SCENERY_E2E_WAIT_SECONDS where
// programs start slowly (32-bit programs run through emulation).
const DWORD kTimeoutMs = [] {
  const char* seconds = std::getenv("SCENERY_E2E_WAIT_SECONDS");
  return seconds != nullptr && std::atoi(seconds) > 0
             ? static_cast<DWORD>(std::atoi(seconds)) * 1000
             : 20000;
}();
constexpr DWORD kPollMs = 10;

PROCESS_INFORMATION g_process = {};
PROCESS_INFORMATION g_launched = {};  // the program of launch
HWND g_page = nullptr;

struct Found {
  DWORD pid;
  std::string title;
  bool message_box;
  HWND hwnd;
};

// The text of a window of the other process: GetWindowText would not ask
// the control itself for it.
std::string WindowText(HWND hwnd) {
  static char buffer[65536];
  buffer[0] = '\0';
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return std::string();
  }
  return std::string(buffer, copied);
}

std::string ClassOf(HWND hwnd) {
  char buffer[256] = "";
  GetClassNameA(hwnd, buffer, sizeof buffer);
  return buffer;
}

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
  Found* found = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != found->pid || !IsWindowVisible(hwnd)) return TRUE;
  const bool is_box = ClassOf(hwnd) == "#32770";
  if (is_box != found->message_box) return TRUE;
  if (!found->message_box && WindowText(hwnd) != found->title) return TRUE;
  if (!found->message_box && GetWindow(hwnd, GW_CHILD) == nullptr) return TRUE;  // the background
  found->hwnd = hwnd;
  return FALSE;
}

[[noreturn]] void Fail(const std::string& what) {
  std::printf("FAILED: %s\n", what.c_str());
  std::fflush(stdout);
  if (g_process.hProcess != nullptr &&
      WaitForSingleObject(g_process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(g_process.hProcess, 99);
    std::printf("Setup.exe was still running and has been ended.\n");
  }
  if (g_launched.hProcess != nullptr) TerminateProcess(g_launched.hProcess, 99);
  std::exit(3);
}

template <typename Probe>
void WaitFor(const std::string& what, Probe probe) {
  const DWORD start = GetTickCount();
  while (!probe()) {
    if (g_process.hProcess != nullptr &&
        WaitForSingleObject(g_process.hProcess, 0) == WAIT_OBJECT_0) {
      // What it waited for may have come just before the end (a last box
      // closed, then the exit).
      if (probe()) return;
      DWORD code = 0;
      GetExitCodeProcess(g_process.hProcess, &code);
      Fail(what + ": Setup.exe ended with exit code " + std::to_string(code));
    }
    if (GetTickCount() - start > kTimeoutMs) Fail("timed out waiting for " + what);
    Sleep(kPollMs);
  }
}

HWND Control(int id) {
  if (g_page == nullptr) Fail("no current page");
  HWND control = GetDlgItem(g_page, id);
  if (control == nullptr) Fail("the page has no control " + std::to_string(id));
  return control;
}

// Selects the item `item` of the folder list `id`, as a user's click does.
HWND SelectFolderItem(int id, const std::string& item) {
  HWND list = Control(id);
  LRESULT index = LB_ERR;
  // The list may still be filling after the last change of drive or folder.
  WaitFor("the item " + item + " in the folder list", [&] {
    index = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(item.c_str()));
    return index != LB_ERR;
  });
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return list;
}

void PostCommand(HWND control, int code) {
  PostMessageA(GetParent(control), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    if (line[i] == '"') {
      const std::size_t end = line.find('"', i + 1);
      word = line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
      i = end == std::string::npos ? line.size() : end + 1;
    } else {
      const std::size_t end = line.find_first_of(" \t", i);
      word = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
      i = end == std::string::npos ? line.size() : end;
    }
    // {CRLF} stands for a line end inside a word.
    for (std::size_t at = word.find("{CRLF}"); at != std::string::npos;
         at = word.find("{CRLF}", at + 2)) {
      word.replace(at, 6, "\r\n");
    }
    words.push_back(word);
  }
  return words;
}

void Snap(const std::string& file, RECT area) {
  HDC screen = GetDC(nullptr);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD row = ((width * 3 + 3) / 4) * 4;
  std::vector<char> pixels(row * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) Fail("cannot write " + file);
  std::fwrite(&header, sizeof header, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 1, pixels.size(), out);
  std::fclose(out);
}

int Dpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int Pixels(int twips) { return MulDiv(twips, Dpi(), 1440); }

bool Near(long a, long b) { return a - b <= 1 && b - a <= 1; }

COLORREF ParseColour(const std::string& text) {
  if (text.compare(0, 4, "sys:") == 0) {
    const std::string name = text.substr(4);
    if (name == "WINDOW") return GetSysColor(COLOR_WINDOW);
    if (name == "ACTIVECAPTION") return GetSysColor(COLOR_ACTIVECAPTION);
    if (name == "ACTIVEBORDER") return GetSysColor(COLOR_ACTIVEBORDER);
    if (name == "BTNFACE") return GetSysColor(COLOR_BTNFACE);
    if (name == "WINDOWTEXT") return GetSysColor(COLOR_WINDOWTEXT);
    Fail("unknown system colour " + name);
  }
  const unsigned long rgb = std::strtoul(text.c_str(), nullptr, 16);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::string Hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  return text;
}

void ExpectPixel(int x, int y, const std::string& colour, int tolerance) {
  const COLORREF want = ParseColour(colour);
  COLORREF got = 0;
  auto close_enough = [&] {
    HDC screen = GetDC(nullptr);
    got = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return std::abs(GetRValue(got) - GetRValue(want)) <= tolerance &&
           std::abs(GetGValue(got) - GetGValue(want)) <= tolerance &&
           std::abs(GetBValue(got) - GetBValue(want)) <= tolerance;
  };
  const DWORD start = GetTickCount();
  while (!close_enough()) {
    if (GetTickCount() - start > 3000) {
      Fail("pixel " + std::to_string(x) + "," + std::to_string(y) + " is " + Hex(got) +
           ", not " + Hex(want));
    }
    Sleep(kPollMs);
  }
}

std::vector<std::string> Items(HWND control) {
  std::vector<std::string> items;
  const std::string kind = ClassOf(control);
  const bool list = kind == "ListBox";
  const LRESULT count = SendMessageA(control, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Asked in UTF-16: Wine passes list texts between processes in that form.
    wchar_t wide[1024] = L"";
    SendMessageW(control, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(wide));
    char buffer[2048] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    items.push_back(buffer);
  }
  return items;
}

HWND FindMessageBox(DWORD pid = 0) {
  Found found = {pid != 0 ? pid : g_process.dwProcessId, "", true, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

std::vector<HANDLE> g_held;

// Whether the message box shows the system icon `icon`: its icon control's
// pixels on the screen are compared with the icon drawn here on the same
// background (icon handles are not shared between processes).
bool ShowsIcon(HWND box, LPCSTR icon) {
  HWND control = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      control = child;
    }
  }
  if (control == nullptr) return false;
  RECT r;
  GetWindowRect(control, &r);
  const int size = GetSystemMetrics(SM_CXICON);
  HDC screen = GetDC(nullptr);
  HDC drawn = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(drawn, bitmap);
  const COLORREF back = GetPixel(screen, r.left, r.top);
  HBRUSH brush = CreateSolidBrush(back);
  RECT all = {0, 0, size, size};
  FillRect(drawn, &all, brush);
  DeleteObject(brush);
  DrawIconEx(drawn, 0, 0, LoadIcon(nullptr, icon), size, size, 0, nullptr, DI_NORMAL);
  int differing = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (GetPixel(drawn, x, y) != GetPixel(screen, r.left + x, r.top + y)) ++differing;
    }
  }
  SelectObject(drawn, old);
  DeleteObject(bitmap);
  DeleteDC(drawn);
  ReleaseDC(nullptr, screen);
  return differing * 20 < size * size;  // under 5% of the pixels
}


// Setup.exe's dialog font: 8-point MS Sans Serif at the screen's DPI. Font
// handles do not cross processes; one made here from the same description
// is the same font, as both programs see the same fonts of the prefix.
HFONT DialogFont() {
  return CreateFontA(-MulDiv(8, Dpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

// Checks that each visible label and button of the page shows its text
// whole: a label's text, broken into lines at its width as a label breaks
// it, is no taller than the label; a button's text fits on one line inside
// its frame.
void ExpectTextsFit() {
  HDC dc = GetDC(g_page);
  HFONT font = DialogFont();
  HGDIOBJ old = SelectObject(dc, font);
  std::string problems;
  for (HWND child = GetWindow(g_page, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const std::string kind = ClassOf(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const std::string text = WindowText(child);
    if (text.empty()) continue;
    RECT client;
    GetClientRect(child, &client);
    RECT need = {0, 0, client.right, 0};
    std::string verdict;
    if (kind == "Static" && (style & SS_TYPEMASK) != SS_ICON) {
      if (style & SS_PATHELLIPSIS) continue;  // a path that may lose its middle
      DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
      if (need.bottom > client.bottom || need.right > client.right) verdict = "does not fit";
    } else if (kind == "Button" && (style & BS_TYPEMASK) == BS_PUSHBUTTON) {
      DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE);
      const int frame = 2 * GetSystemMetrics(SM_CXEDGE) + 2;
      if (need.right + frame > client.right || need.bottom > client.bottom) verdict = "does not fit";
    } else {
      continue;
    }
    std::printf("  control %d \"%s\": text %ldx%ld in %ldx%ld pixels %s\n", GetDlgCtrlID(child),
                text.c_str(), need.right, need.bottom, client.right, client.bottom,
                verdict.empty() ? "fits" : verdict.c_str());
    if (!verdict.empty()) problems += " " + std::to_string(GetDlgCtrlID(child));
  }
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(g_page, dc);
  if (!problems.empty()) Fail("texts cut off at " + std::to_string(Dpi()) + " DPI in controls" + problems);
}

// Checks that a message box shows its whole text and fits the screen: no
// larger than an 800 x 600 screen at 96 DPI (in proportion at other DPIs),
// inside this screen, and its text, broken as the box breaks it in the
// system's message font, inside the text control.
void ExpectBoxFits(HWND box, HWND text) {
  RECT r;
  GetWindowRect(box, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  std::printf("  box %dx%d at %ld,%ld", width, height, r.left, r.top);
  if (width > MulDiv(800, Dpi(), 96) || height > MulDiv(600, Dpi(), 96)) {
    Fail("the message box is larger than an 800 x 600 screen at " + std::to_string(Dpi()) + " DPI");
  }
  if (r.left < 0 || r.top < 0 || r.right > GetSystemMetrics(SM_CXSCREEN) ||
      r.bottom > GetSystemMetrics(SM_CYSCREEN)) {
    Fail("the message box is not inside the screen");
  }
  if (text == nullptr) return;
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectA(&metrics.lfMessageFont);
  HDC dc = GetDC(text);
  HGDIOBJ old = SelectObject(dc, font);
  RECT client;
  GetClientRect(text, &client);
  RECT need = {0, 0, client.right, 0};
  const std::string said = WindowText(text);
  DrawTextA(dc, said.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  // Windows breaks lines between words only: a word wider than the text
  // control (a path without blanks) would make the box as wide as the word.
  std::string widest;
  LONG widest_width = 0;
  for (std::size_t start = 0; start < said.size();) {
    std::size_t end = said.find_first_of(" \r\n", start);
    if (end == std::string::npos) end = said.size();
    SIZE size = {};
    GetTextExtentPoint32A(dc, said.data() + start, static_cast<int>(end - start), &size);
    if (size.cx > widest_width) widest_width = size.cx, widest = said.substr(start, end - start);
    start = end + 1;
  }
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(text, dc);
  std::printf(", text %ldx%ld in %ldx%ld, widest word %ld\n", need.right, need.bottom,
              client.right, client.bottom, widest_width);
  if (need.right > client.right || need.bottom > client.bottom) {
    Fail("the message box's text is cut off");
  }
  if (widest_width > client.right) Fail("the message box does not break " + widest);
}

// A message box's text with its single line ends taken out (the breaks of
// long lines, and the one after the first line of a report): one after a
// backslash joins, any other becomes a blank. Paragraph breaks stay.
std::string Unbroken(std::string said) {
  for (std::size_t at = 0; (at = said.find("\r\n", at)) != std::string::npos;) {
    if (said.compare(at + 2, 2, "\r\n") == 0) {
      at += 4;
      while (said.compare(at, 2, "\r\n") == 0) at += 2;
      continue;
    }
    const bool after_backslash = at > 0 && said[at - 1] == '\\';
    said.replace(at, 2, after_backslash ? "" : " ");
  }
  return said;
}

// "Scenery Setup" in the folder for programs: where the removal programs lie.
std::string RemovalRoot() {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, path);
  return std::string(path) + "\\Scenery Setup";
}

// The access list of `path` in the system's notation.
std::string AccessList(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL list = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return "(none)";
  }
  char* text = nullptr;
  std::string said = "(none)";
  if (ConvertSecurityDescriptorToStringSecurityDescriptorA(
          descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    said = text;
    LocalFree(text);
  }
  LocalFree(descriptor);
  return said;
}

// Administrators and the system full control, users read and run, nothing
// inherited.
const char kProtectedList[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// Whether a folder made with the protected access list reads back with it:
// Windows keeps it, Wine (without extended attributes for it) makes one up
// from the Unix permissions.
bool KeepsAccessLists() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "scenery-e2e-access";
  RemoveDirectoryA(folder.c_str());
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kProtectedList, SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return false;
  }
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  CreateDirectoryA(folder.c_str(), &attributes);
  LocalFree(descriptor);
  const bool kept = AccessList(folder) == kProtectedList;
  RemoveDirectoryA(folder.c_str());
  return kept;
}

// Windows' list of programs holds exactly one entry called `name`, for
// `folder` ("-": none): its InstallLocation, UninstallString (the quoted
// Uninstall.exe of the folder), QuietUninstallString (the same with /S),
// DisplayIcon, a size, NoModify and NoRepair.
void ExpectProgramEntry(const std::string& name, const std::string& folder) {
  HKEY list = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                    0, KEY_READ, &list) != ERROR_SUCCESS) {
    Fail("cannot open the list of programs");
  }
  auto text = [](HKEY key, const char* value) {
    char data[1024] = "";
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS) {
      return std::string("(none)");
    }
    return std::string(data);
  };
  auto number = [](HKEY key, const char* value) {
    DWORD data = 0, size = sizeof data;
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
        ERROR_SUCCESS) {
      return -1L;
    }
    return static_cast<long>(data);
  };
  int found = 0;
  char key_name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof key_name;
    if (RegEnumKeyExA(list, index, key_name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    HKEY entry = nullptr;
    if (RegOpenKeyExA(list, key_name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
    if (text(entry, "DisplayName") == name) {
      ++found;
      const std::string location = text(entry, "InstallLocation");
      std::printf("  entry %s: InstallLocation %s, UninstallString %s, DisplayIcon %s, "
                  "EstimatedSize %ld KiB, NoModify %ld, NoRepair %ld\n",
                  key_name, location.c_str(), text(entry, "UninstallString").c_str(),
                  text(entry, "DisplayIcon").c_str(), number(entry, "EstimatedSize"),
                  number(entry, "NoModify"), number(entry, "NoRepair"));
      // The removal program in a folder of its own, named as the entry; it
      // and the root above it are administrators' alone.
      const std::string own = RemovalRoot() + "\\" + key_name;
      const std::string uninstall = own + "\\Uninstall.exe";
      const bool kept = KeepsAccessLists();
      for (const std::string& held : {RemovalRoot(), own}) {
        std::printf("  access list of %s: %s\n", held.c_str(), AccessList(held).c_str());
        if (kept && AccessList(held) != kProtectedList) {
          Fail("the access list of " + held + " is not the protected one");
        }
      }
      if (!kept) std::printf("  (this Wine keeps no access list of a folder: not compared)\n");
      if (GetFileAttributesA(uninstall.c_str()) == INVALID_FILE_ATTRIBUTES)
        Fail(uninstall + " is missing");
      // The entry shows the program's own icon, and Setup.ini's publisher
      // and version where it gives them.
      const UINT icons = ExtractIconExA(uninstall.c_str(), -1, nullptr, nullptr, 0);
      std::printf("  %u icon(s) in %s; Publisher %s, DisplayVersion %s\n", icons, uninstall.c_str(),
                  text(entry, "Publisher").c_str(), text(entry, "DisplayVersion").c_str());
      if (icons == 0) Fail(uninstall + " carries no icon");
      if (location != folder || text(entry, "UninstallString") != "\"" + uninstall + "\"" ||
          text(entry, "QuietUninstallString") != "\"" + uninstall + "\" /S" ||
          text(entry, "DisplayIcon") != uninstall || number(entry, "EstimatedSize") <= 0 ||
          number(entry, "NoModify") != 1 || number(entry, "NoRepair") != 1) {
        Fail("the entry " + std::string(key_name) + " is not as it should be");
      }
    }
    RegCloseKey(entry);
  }
  RegCloseKey(list);
  if (found != (folder == "-" ? 0 : 1)) {
    Fail(std::to_string(found) + " entries called " + name + " in the list of programs");
  }
}

// The program that the entry called `name` starts: its UninstallString
// without the quotes.
std::string EntryProgram(const std::string& name) {
  HKEY list = nullptr;
  std::string program;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                    0, KEY_READ, &list) != ERROR_SUCCESS) {
    Fail("cannot open the list of programs");
  }
  char key_name[256];
  for (DWORD index = 0; program.empty(); ++index) {
    DWORD length = sizeof key_name;
    if (RegEnumKeyExA(list, index, key_name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    HKEY entry = nullptr;
    if (RegOpenKeyExA(list, key_name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
    auto text = [entry](const char* value) {
      char data[1024] = "";
      DWORD size = sizeof data - 1;
      RegQueryValueExA(entry, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
      return std::string(data);
    };
    if (text("DisplayName") == name) program = text("UninstallString");
    RegCloseKey(entry);
  }
  RegCloseKey(list);
  if (program.size() < 2 || program.front() != '"' || program.back() != '"') {
    Fail("no entry called " + name + " starts a quoted program");
  }
  return program.substr(1, program.size() - 2);
}

int ButtonId(const std::string& name) {
  if (name == "yes") return IDYES;
  if (name == "no") return IDNO;
  if (name == "ok") return IDOK;
  if (name == "retry") return IDRETRY;
  if (name == "cancel") return IDCANCEL;
  Fail("unknown button " + name);
}

void Run(const std::vector<std::string>& w) {
  const std::string& command = w[0];
  auto need = [&](std::size_t n) {
    if (w.size() < n + 1) Fail(command + " needs " + std::to_string(n) + " words");
  };
  if (command == "start") {
    need(1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command_line = "\"" + w[1] + "\"";
    for (std::size_t i = 2; i < w.size(); ++i) {
      command_line += w[i].find(' ') != std::string::npos ? " \"" + w[i] + "\"" : " " + w[i];
    }
    // Started in its own folder, as when the user opens it there.
    char full[MAX_PATH];
    char* name = nullptr;
    GetFullPathNameA(w[1].c_str(), MAX_PATH, full, &name);
    std::string folder(full, name != nullptr ? static_cast<std::size_t>(name - full) : 0);
    if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &g_process)) {
      Fail("cannot start " + w[1]);
    }
  } else if (command == "start-removal") {
    need(1);
    std::vector<std::string> start = {"start", EntryProgram(w[1])};
    start.insert(start.end(), w.begin() + 2, w.end());
    Run(start);
  } else if (command == "launch") {
    need(1);
    const PROCESS_INFORMATION setup = g_process;
    std::vector<std::string> start = w;
    start[0] = "start";
    Run(start);
    g_launched = g_process;
    g_process = setup;
  } else if (command == "end-launched") {
    if (g_launched.hProcess == nullptr) Fail("nothing was launched");
    TerminateProcess(g_launched.hProcess, 0);
    WaitForSingleObject(g_launched.hProcess, INFINITE);
    CloseHandle(g_launched.hProcess);
    g_launched = {};
  } else if (command == "wait-file") {
    need(1);
    WaitFor(w[1] + " to exist",
            [&] { return GetFileAttributesA(w[1].c_str()) != INVALID_FILE_ATTRIBUTES; });
  } else if (command == "wait-page") {
    need(1);
    Found found = {g_process.dwProcessId, w[1], false, nullptr};
    WaitFor("page " + w[1], [&] {
      found.hwnd = nullptr;
      EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&found));
      if (found.hwnd == nullptr) return false;
      if (w.size() >= 4) {
        HWND control = GetDlgItem(found.hwnd, std::atoi(w[2].c_str()));
        if (control == nullptr || WindowText(control) != w[3]) return false;
      }
      return true;
    });
    g_page = found.hwnd;
  } else if (command == "click") {
    need(1);
    PostMessageA(Control(std::atoi(w[1].c_str())), BM_CLICK, 0, 0);
  } else if (command == "type") {
    need(2);
    SendMessageA(Control(std::atoi(w[1].c_str())), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(w[2].c_str()));
  } else if (command == "open") {
    need(2);
    PostCommand(SelectFolderItem(std::atoi(w[1].c_str()), w[2]), LBN_DBLCLK);
  } else if (command == "enter") {
    need(2);
    HWND list = SelectFolderItem(std::atoi(w[1].c_str()), w[2]);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(list, WM_KEYUP, VK_RETURN, 0xC0000001);
  } else if (command == "press-enter") {
    need(1);
    HWND control = Control(std::atoi(w[1].c_str()));
    PostMessageA(control, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(control, WM_KEYUP, VK_RETURN, 0xC0000001);
  } else if (command == "expect-label") {
    need(2);
    HWND before = GetWindow(Control(std::atoi(w[1].c_str())), GW_HWNDPREV);
    if (before == nullptr || ClassOf(before) != "Static" || WindowText(before) != w[2]) {
      Fail("control " + w[1] + " is not named \"" + w[2] + "\" by the label before it");
    }
  } else if (command == "expect-tab-order") {
    need(2);
    for (std::size_t i = 1; i + 1 < w.size(); ++i) {
      HWND from = Control(std::atoi(w[i].c_str()));
      HWND next = GetNextDlgTabItem(g_page, from, FALSE);
      if (next != Control(std::atoi(w[i + 1].c_str()))) {
        Fail("Tab after control " + w[i] + " goes to control " +
             std::to_string(next != nullptr ? GetDlgCtrlID(next) : 0) + ", not " + w[i + 1]);
      }
    }
  } else if (command == "choose") {
    need(2);
    HWND combo = Control(std::atoi(w[1].c_str()));
    const LRESULT index = SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(w[2].c_str()));
    if (index == CB_ERR) Fail("the drive list has no item " + w[2]);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostCommand(combo, CBN_SELCHANGE);
  } else if (command == "close") {
    PostMessageA(g_page, WM_CLOSE, 0, 0);
  } else if (command == "end-session") {
    need(1);
    // As Windows asks at a log-off, and ends the session when allowed.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(g_page, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                             5000, &answer)) {
      Fail("the page does not answer whether the session may end");
    }
    std::printf("  the page %s\n", answer != 0 ? "lets the session end" : "refuses the end of the session");
    if ((answer != 0) != (w[1] == "1")) Fail("not the answer expected");
    if (answer != 0) {
      SendMessageTimeoutA(g_page, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                          &answer);
    }
  } else if (command == "expect-text") {
    need(2);
    HWND control = Control(std::atoi(w[1].c_str()));
    WaitFor("text \"" + w[2] + "\" in control " + w[1] + " (it shows \"" + WindowText(control) +
                "\")",
            [&] { return WindowText(control) == w[2]; });
  } else if (command == "expect-enabled") {
    need(2);
    HWND control = Control(std::atoi(w[1].c_str()));
    const bool want = w[2] == "1";
    WaitFor("control " + w[1] + " enabled=" + w[2],
            [&] { return (IsWindowEnabled(control) != FALSE) == want; });
  } else if (command == "expect-checked") {
    need(2);
    HWND control = Control(std::atoi(w[1].c_str()));
    const LRESULT want = w[2] == "1" ? BST_CHECKED : BST_UNCHECKED;
    WaitFor("check box " + w[1] + " checked=" + w[2],
            [&] { return SendMessageA(control, BM_GETCHECK, 0, 0) == want; });
  } else if (command == "box") {
    need(2);
    HWND box = nullptr;
    WaitFor("a message box saying " + w[1], [&] { return (box = FindMessageBox()) != nullptr; });
    HWND text = GetDlgItem(box, 0xFFFF);
    const std::string said = text != nullptr ? Unbroken(WindowText(text)) : std::string();
    std::printf("message box \"%s\": %s\n", WindowText(box).c_str(), said.c_str());
    ExpectBoxFits(box, text);
    if (said.find(w[1]) == std::string::npos) Fail("the message box does not say " + w[1]);
    if (w.size() >= 4 && WindowText(box) != w[3]) Fail("the message box is not titled " + w[3]);
    if (w.size() >= 5) {
      LPCSTR icon = w[4] == "critical"      ? IDI_HAND
                    : w[4] == "question"    ? IDI_QUESTION
                    : w[4] == "information" ? IDI_ASTERISK
                                            : IDI_EXCLAMATION;
      // Compared with the screen, so only once the box has painted it.
      WaitFor("the message box to show the " + w[4] + " icon", [&] { return ShowsIcon(box, icon); });
    }
    const bool yes_no = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr;
    const bool retry_cancel =
        GetDlgItem(box, IDRETRY) != nullptr && GetDlgItem(box, IDCANCEL) != nullptr;
    const bool ok_only = GetDlgItem(box, IDOK) != nullptr && !yes_no && !retry_cancel;
    const bool retry = w[2] == "retry" || w[2] == "cancel";
    if ((w[2] == "ok" && !ok_only) || (retry && !retry_cancel) ||
        ((w[2] == "yes" || w[2] == "no") && !yes_no)) {
      Fail("the message box does not have the buttons for " + w[2]);
    }
    // The default button is drawn as one: Enter presses it.
    if (retry && (GetWindowLongA(GetDlgItem(box, IDRETRY), GWL_STYLE) & 0x0F) != BS_DEFPUSHBUTTON) {
      Fail("Retry is not the message box's default button");
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(ButtonId(w[2]), BN_CLICKED), 0);
    WaitFor("the message box to close", [&] { return !IsWindow(box); });
  } else if (command == "no-box") {
    need(1);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(std::atoi(w[1].c_str()))) {
      if (HWND box = FindMessageBox()) {
        HWND text = GetDlgItem(box, 0xFFFF);
        Fail("unexpected message box: " + (text != nullptr ? WindowText(text) : std::string()));
      }
      Sleep(kPollMs);
    }
  } else if (command == "expect-visible") {
    need(2);
    HWND control = Control(std::atoi(w[1].c_str()));
    const bool want = w[2] == "1";
    WaitFor("control " + w[1] + " visible=" + w[2],
            [&] { return (IsWindowVisible(control) != FALSE) == want; });
  } else if (command == "expect-class") {
    need(2);
    const std::string kind = ClassOf(Control(std::atoi(w[1].c_str())));
    if (kind != w[2]) Fail("control " + w[1] + " is a " + kind + ", not a " + w[2]);
  } else if (command == "expect-items") {
    need(2);
    HWND control = Control(std::atoi(w[1].c_str()));
    std::string joined;
    const DWORD start = GetTickCount();
    for (;;) {
      joined.clear();
      for (const std::string& item : Items(control)) {
        joined += (joined.empty() ? "" : "|") + item;
      }
      if (joined == w[2]) break;
      if (GetTickCount() - start > 3000) Fail("control " + w[1] + " holds the items " + joined);
      Sleep(kPollMs);
    }
  } else if (command == "expect-rect") {
    need(5);
    HWND control = Control(std::atoi(w[1].c_str()));
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, g_page, reinterpret_cast<POINT*>(&r), 2);
    const long want[4] = {Pixels(std::atoi(w[2].c_str())), Pixels(std::atoi(w[3].c_str())),
                          Pixels(std::atoi(w[4].c_str())), Pixels(std::atoi(w[5].c_str()))};
    const long got[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    for (int i = 0; i < 4; ++i) {
      if (i == 3 && w[5] == "-") continue;
      if (!Near(got[i], want[i])) {
        Fail("control " + w[1] + " lies at " + std::to_string(got[0]) + "," +
             std::to_string(got[1]) + " size " + std::to_string(got[2]) + "x" +
             std::to_string(got[3]) + " pixels, not " + std::to_string(want[0]) + "," +
             std::to_string(want[1]) + " size " + std::to_string(want[2]) + "x" +
             std::to_string(want[3]));
      }
    }
  } else if (command == "expect-folder") {
    need(4);
    // Read from the screen: on the item's middle row the first pixel that is
    // not the list's background is the glyph's outline, one grid unit (of
    // 16) into it; one unit below the top of its front, a closed folder
    // shows its light front and an open one its darker back.
    HWND list = Control(std::atoi(w[1].c_str()));
    const int index = std::atoi(w[2].c_str()), level = std::atoi(w[3].c_str());
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int first = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client;
    GetClientRect(list, &client);
    POINT origin = {0, (index - first) * height};
    ClientToScreen(list, &origin);
    const int glyph = MulDiv(16, Dpi(), 96);
    if (height < glyph) Fail("the folder list's items are lower than their glyphs");
    const int want = MulDiv(2 + 10 * level, Dpi(), 96) + MulDiv(1, glyph, 16);
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    int got = -1;
    bool light = false;
    auto drawn = [&] {
      HDC screen = GetDC(nullptr);
      got = -1;
      for (int x = 0; x < client.right && got < 0; ++x) {
        if (GetPixel(screen, origin.x + x, origin.y + height / 2) != back) got = x;
      }
      const int glyph_top = origin.y + (height - glyph) / 2;
      const COLORREF inside = GetPixel(screen, origin.x + want + MulDiv(7, glyph, 16),
                                       glyph_top + MulDiv(6, glyph, 16));
      ReleaseDC(nullptr, screen);
      light = GetGValue(inside) > 200;
      return got >= want - 1 && got <= want + 1 && light == (w[4] == "closed");
    };
    const DWORD start = GetTickCount();
    while (!drawn() && GetTickCount() - start < 3000) Sleep(kPollMs);
    std::printf("  item %d: glyph at %d pixels (want %d), %s\n", index, got, want,
                light ? "closed" : "open");
    if (got < want - 1 || got > want + 1) Fail("item " + w[2] + " is not indented " + w[3] + " steps");
    if (light != (w[4] == "closed")) Fail("item " + w[2] + " does not show a " + w[4] + " folder");
  } else if (command == "expect-client") {
    need(2);
    RECT r;
    GetClientRect(g_page, &r);
    if (!Near(r.right, Pixels(std::atoi(w[1].c_str()))) ||
        !Near(r.bottom, Pixels(std::atoi(w[2].c_str())))) {
      Fail("the client area is " + std::to_string(r.right) + "x" + std::to_string(r.bottom) +
           " pixels");
    }
  } else if (command == "expect-pixel") {
    need(4);
    RECT r;
    GetWindowRect(Control(std::atoi(w[1].c_str())), &r);
    ExpectPixel(r.left + std::atoi(w[2].c_str()), r.top + std::atoi(w[3].c_str()), w[4],
                w.size() > 5 ? std::atoi(w[5].c_str()) : 0);
  } else if (command == "expect-screen-pixel") {
    need(3);
    int x = std::atoi(w[1].c_str());
    int y = std::atoi(w[2].c_str());
    if (x < 0) x += GetSystemMetrics(SM_CXSCREEN);
    if (y < 0) y += GetSystemMetrics(SM_CYSCREEN);
    ExpectPixel(x, y, w[3], w.size() > 4 ? std::atoi(w[4].c_str()) : 0);
  } else if (command == "expect-background") {
    need(1);
    Found found = {g_process.dwProcessId, w[1], false, nullptr};
    HWND background = nullptr;
    WaitFor("the background window titled " + w[1], [&] {
      background = FindWindowA(nullptr, w[1].c_str());
      DWORD pid = 0;
      if (background != nullptr) GetWindowThreadProcessId(background, &pid);
      return background != nullptr && pid == found.pid && IsWindowVisible(background);
    });
    const LONG style = GetWindowLongA(background, GWL_STYLE);
    if (style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME)) Fail("the background has a frame");
    RECT r;
    GetWindowRect(background, &r);
    if (r.left != 0 || r.top != 0 || r.right != GetSystemMetrics(SM_CXSCREEN) ||
        r.bottom != GetSystemMetrics(SM_CYSCREEN)) {
      Fail("the background does not cover the screen");
    }
  } else if (command == "expect-dpi") {
    need(1);
    if (Dpi() != std::atoi(w[1].c_str())) Fail("the screen has " + std::to_string(Dpi()) + " DPI");
  } else if (command == "expect-fit") {
    Sleep(100);  // let the last text change arrive
    ExpectTextsFit();
  } else if (command == "wait-progress") {
    need(1);
    HWND fill = Control(std::atoi(w[1].c_str()));
    WaitFor("the progress fill", [&] {
      RECT r;
      GetWindowRect(fill, &r);
      return IsWindowVisible(fill) && r.right - r.left > 2;
    });
  } else if (command == "hold") {
    need(1);
    HANDLE file = CreateFileA(w[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot hold " + w[1]);
    g_held.push_back(file);
  } else if (command == "release") {
    for (HANDLE file : g_held) CloseHandle(file);
    g_held.clear();
  } else if (command == "write") {
    need(2);
    HANDLE file = CreateFileA(w[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, w[2].data(), static_cast<DWORD>(w[2].size()), &written, nullptr)) {
      Fail("cannot write " + w[1]);
    }
    CloseHandle(file);
  } else if (command == "expect-program") {
    need(2);
    ExpectProgramEntry(w[1], w[2]);
  } else if (command == "delete") {
    need(1);
    if (!DeleteFileA(w[1].c_str())) Fail("cannot delete " + w[1]);
  } else if (command == "hide") {
    need(1);
    if (!SetFileAttributesA(w[1].c_str(), FILE_ATTRIBUTE_HIDDEN)) Fail("cannot hide " + w[1]);
  } else if (command == "read-only") {
    need(2);
    const DWORD attributes = GetFileAttributesA(w[1].c_str());
    const DWORD wanted = w[2] == "1" ? attributes | FILE_ATTRIBUTE_READONLY
                                     : attributes & ~FILE_ATTRIBUTE_READONLY;
    if (attributes == INVALID_FILE_ATTRIBUTES || !SetFileAttributesA(w[1].c_str(), wanted)) {
      Fail("cannot set the read-only attribute of " + w[1]);
    }
  } else if (command == "snap") {
    need(1);
    Sleep(300);  // let the last change paint
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Snap(w[1], screen);
  } else if (command == "snap-page") {
    need(1);
    Sleep(300);
    RECT page;
    if (g_page == nullptr || !GetWindowRect(g_page, &page)) Fail("no current page");
    Snap(w[1], page);
  } else if (command == "another") {
    need(3);
    // A window of the driver's own takes the front first, so that only the
    // second Setup.exe can have brought the first one's page back to it.
    HWND other = CreateWindowExA(0, "Static", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    WaitFor("the driver's window in front", [&] {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      return GetForegroundWindow() == other;
    });
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION second = {};
    std::string command_line = "\"" + w[1] + "\"";
    if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &second)) {
      Fail("cannot start " + w[1] + " a second time");
    }
    HWND box = nullptr;
    WaitFor("the second Setup.exe's message box",
            [&] { return (box = FindMessageBox(second.dwProcessId)) != nullptr; });
    // Above the driver's window by now: the second one raised it.
    bool page_first = false;
    for (HWND at = GetTopWindow(nullptr); at != nullptr && at != other;
         at = GetWindow(at, GW_HWNDNEXT)) {
      page_first = page_first || at == g_page;
    }
    if (!page_first) Fail("the first Setup.exe's page was not brought to the front");
    HWND text = GetDlgItem(box, 0xFFFF);
    const std::string said = text != nullptr ? WindowText(text) : std::string();
    std::printf("second Setup.exe: message box \"%s\": %s\n", WindowText(box).c_str(),
                said.c_str());
    if (said.find(w[3]) == std::string::npos) Fail("the message box does not say " + w[3]);
    WaitFor("the message box to show the information icon",
            [&] { return ShowsIcon(box, IDI_ASTERISK); });
    if (GetDlgItem(box, IDOK) == nullptr || GetDlgItem(box, IDYES) != nullptr) {
      Fail("the message box does not have OK alone");
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (WaitForSingleObject(second.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
      TerminateProcess(second.hProcess, 99);
      Fail("the second Setup.exe did not end");
    }
    DWORD code = 0;
    GetExitCodeProcess(second.hProcess, &code);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    std::printf("second Setup.exe ended with exit code %lu\n", code);
    if (std::to_string(code) != w[2]) Fail("expected exit code " + w[2] + " of the second");
    WaitFor("the first Setup.exe's page in front", [] {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      return GetForegroundWindow() == g_page;
    });
    DestroyWindow(other);
  } else if (command == "kill") {
    TerminateProcess(g_process.hProcess, 9);
    WaitForSingleObject(g_process.hProcess, kTimeoutMs);
    g_page = nullptr;
  } else if (command == "exit") {
    need(1);
    if (WaitForSingleObject(g_process.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
      Fail("Setup.exe did not end");
    }
    DWORD code = 0;
    GetExitCodeProcess(g_process.hProcess, &code);
    std::printf("Setup.exe ended with exit code %lu\n", code);
    if (std::to_string(code) != w[1]) Fail("expected exit code " + w[1]);
  } else {
    Fail("unknown command " + command);
  }
}

}  // namespace

// The scenarios share one prefix: each starts with no entry of Setup.exe's
// in the list of programs, whatever an earlier one installed.
void ForgetProgramEntries() {
  const char* list = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, list, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  std::vector<std::string> ours;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (std::string(name).compare(0, 14, "scenery-setup-") == 0) ours.push_back(name);
  }
  for (const std::string& entry : ours) RegDeleteKeyA(key, entry.c_str());
  RegCloseKey(key);
  scenery::RemoveTree(RemovalRoot());
}

int main(int argc, char** argv) {
  // A program that runs until it is ended: the simulator of launch.
  if (argc == 2 && std::string(argv[1]) == "--idle") {
    Sleep(INFINITE);
    return 0;
  }
  if (argc != 2) {
    std::printf("usage: driver SCRIPT\n");
    return 2;
  }
  ForgetProgramEntries();
  FILE* script = std::fopen(argv[1], "rb");
  if (script == nullptr) {
    std::printf("cannot read %s\n", argv[1]);
    return 2;
  }
  char buffer[4096];
  int number = 0;
  while (std::fgets(buffer, sizeof buffer, script) != nullptr) {
    ++number;
    std::string line = buffer;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    std::printf("%d: %s\n", number, line.c_str());
    std::fflush(stdout);
    Run(words);
  }
  std::fclose(script);
  std::printf("OK\n");
  return 0;
}
