// The background: a borderless window over the whole screen, painted once
// into a bitmap that every later repaint copies. It is the program's
// taskbar entry and the owner of the pages.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_BACKGROUND_WINDOW_H_
#define SCENERY_SETUP_PLATFORM_WIN32_BACKGROUND_WINDOW_H_

#include <windows.h>

#include <functional>
#include <string>

#include "ui/forms/toolkit.h"

namespace scenery {

constexpr char kBackgroundClass[] = "SceneryBackground";

class BackgroundWindow {
 public:
  explicit BackgroundWindow(const std::string& caption);
  ~BackgroundWindow();
  BackgroundWindow(const BackgroundWindow&) = delete;
  BackgroundWindow& operator=(const BackgroundWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Shows the window and has `paint` draw its picture at `dpi`.
  void Paint(const std::function<void(forms::Canvas&)>& paint, int dpi);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  HWND hwnd_ = nullptr;
  HBITMAP picture_ = nullptr;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_BACKGROUND_WINDOW_H_
