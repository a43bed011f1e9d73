// Operates Setup.exe from another process, as a user or a screen reader
// would: through top-level windows found by title, controls found by their
// dialog IDs, and Win32 messages. It reads a script of commands, one per
// line, and stops at the first one that fails, ending Setup.exe if it is
// still running. Words are separated by blanks; "double quotes" keep blanks
// in one word. Lines starting with # are comments.
//
//   start PROGRAM                 start PROGRAM in its own folder
//   wait-page TITLE [ID TEXT]     wait for the visible page titled TITLE
//                                 (whose control ID shows TEXT); it becomes
//                                 the current page
//   click ID                      click a button or check box of the page
//   type ID TEXT                  replace the text of a text box
//   open ID ITEM                  double-click the folder list item ITEM
//   choose ID PREFIX              pick the drive list item starting PREFIX
//   close                         ask the current page to close
//   expect-text ID TEXT           the control shows exactly TEXT
//   expect-enabled ID 0|1         the control is disabled / enabled
//   expect-checked ID 0|1         the check box is unticked / ticked
//   box TEXT BUTTON               wait for a message box whose text holds
//                                 TEXT, press yes, no or ok
//   snap FILE                     save the screen as a 24-bit BMP file
//   snap-page FILE                save the current page's window alone
//   exit CODE                     wait for the program's end and its code
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kPollMs = 10;

PROCESS_INFORMATION g_process = {};
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
  std::exit(3);
}

template <typename Probe>
void WaitFor(const std::string& what, Probe probe) {
  const DWORD start = GetTickCount();
  while (!probe()) {
    if (g_process.hProcess != nullptr &&
        WaitForSingleObject(g_process.hProcess, 0) == WAIT_OBJECT_0) {
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

int ButtonId(const std::string& name) {
  if (name == "yes") return IDYES;
  if (name == "no") return IDNO;
  if (name == "ok") return IDOK;
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
    // Started in its own folder, as when the user opens it there.
    char full[MAX_PATH];
    char* name = nullptr;
    GetFullPathNameA(w[1].c_str(), MAX_PATH, full, &name);
    std::string folder(full, name != nullptr ? static_cast<std::size_t>(name - full) : 0);
    if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &g_process)) {
      Fail("cannot start " + w[1]);
    }
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
    HWND list = Control(std::atoi(w[1].c_str()));
    const LRESULT index =
        SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(w[2].c_str()));
    if (index == LB_ERR) Fail("the folder list has no item " + w[2]);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostCommand(list, LBN_DBLCLK);
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
    Found found = {g_process.dwProcessId, "", true, nullptr};
    WaitFor("a message box saying " + w[1], [&] {
      found.hwnd = nullptr;
      EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&found));
      return found.hwnd != nullptr;
    });
    HWND text = GetDlgItem(found.hwnd, 0xFFFF);
    const std::string said = text != nullptr ? WindowText(text) : std::string();
    std::printf("message box \"%s\": %s\n", WindowText(found.hwnd).c_str(), said.c_str());
    if (said.find(w[1]) == std::string::npos) Fail("the message box does not say " + w[1]);
    PostMessageA(found.hwnd, WM_COMMAND, MAKEWPARAM(ButtonId(w[2]), BN_CLICKED), 0);
    WaitFor("the message box to close", [&] { return !IsWindow(found.hwnd); });
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

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: driver SCRIPT\n");
    return 2;
  }
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
