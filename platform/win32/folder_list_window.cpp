// The folder list drawn as Windows draws one: the root and each open folder
// one step further in with an open-folder glyph, the current folder's
// subfolders one step further still with a closed one. It stays a list box
// that holds its items' texts, so that screen readers, type-ahead and the
// keyboard work as with any list; only the drawing is the program's own.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/control_windows.h"
#include "platform/win32/gdi.h"

namespace scenery {
namespace {

// The glyphs are drawn on a grid of 16 x 16 units, scaled to the DPI; so
// they need no picture beside the program and look the same on every theme.
constexpr int kGlyphUnits = 16;
struct Unit {
  int x, y;
};
constexpr Unit kBack[] = {{1, 2}, {6, 2}, {7, 3}, {14, 3}, {14, 13}, {1, 13}};  // with the tab
constexpr Unit kClosedFront[] = {{1, 5}, {14, 5}, {14, 13}, {1, 13}};
constexpr Unit kOpenFront[] = {{1, 13}, {3, 7}, {15, 7}, {13, 13}};  // lifted, leaning back

constexpr COLORREF kOutline = RGB(128, 96, 0);
constexpr COLORREF kBackFill = RGB(216, 168, 40);
constexpr COLORREF kFrontFill = RGB(255, 220, 100);

// Pixels at 96 DPI: the indent of one level and the gaps around a glyph.
constexpr int kIndentStep = 10;
constexpr int kMargin = 2;
constexpr int kTextGap = 4;

template <std::size_t N>
void DrawShape(HDC dc, const Unit (&units)[N], int left, int top, int size) {
  POINT points[N];
  for (std::size_t i = 0; i < N; ++i) {
    points[i] = {left + MulDiv(units[i].x, size, kGlyphUnits),
                 top + MulDiv(units[i].y, size, kGlyphUnits)};
  }
  Polygon(dc, points, static_cast<int>(N));
}

void DrawFolder(HDC dc, int left, int top, int size, bool open) {
  ScopedGdiObject pen(CreatePen(PS_SOLID, std::max(1, size / kGlyphUnits), kOutline));
  ScopedGdiObject back(CreateSolidBrush(kBackFill));
  ScopedGdiObject front(CreateSolidBrush(kFrontFill));
  HGDIOBJ old_pen = SelectObject(dc, pen.get());
  HGDIOBJ old_brush = SelectObject(dc, back.get());
  DrawShape(dc, kBack, left, top, size);
  SelectObject(dc, front.get());
  if (open) {
    DrawShape(dc, kOpenFront, left, top, size);
  } else {
    DrawShape(dc, kClosedFront, left, top, size);
  }
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
}

class FolderListWindow : public ControlWindow {
 public:
  FolderListWindow(forms::Control& control, HWND page)
      : ControlWindow(control, CreateChild(control, page, "ListBox",
                                           LBS_NOTIFY | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED |
                                               LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                                           WS_EX_CLIENTEDGE)) {}

  Event OnCommand(int code) override {
    auto& list = static_cast<forms::DirList&>(control());
    const int index = Selected();
    if (code == LBN_SELCHANGE) return [&list, index] { list.Select(index); };
    if (code == LBN_DBLCLK) return [&list, index] { list.Open(index); };
    return nullptr;
  }
  // Enter opens the selected folder, as a double click does.
  Event OnEnter() override {
    auto& list = static_cast<forms::DirList&>(control());
    const int index = Selected();
    return [&list, index] { list.Open(index); };
  }

  // Items as tall as the taller of the text and the glyph, with a little air.
  void UseFont(HFONT font, int dpi) override {
    ControlWindow::UseFont(font, dpi);
    font_ = font;
    dpi_ = dpi;
    glyph_ = MulDiv(kGlyphUnits, dpi, 96);
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    const int height = std::max<int>(metrics.tmHeight, glyph_) + MulDiv(kMargin, dpi, 96);
    SendMessageA(hwnd(), LB_SETITEMHEIGHT, 0, height);
  }

  bool DrawItem(const DRAWITEMSTRUCT& item) override {
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    FillRect(dc, &row, GetSysColorBrush(COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1)) {  // an empty list that has the focus
      if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &row);
      return true;
    }
    const auto& list = static_cast<const forms::DirList&>(control());
    const int index = static_cast<int>(item.itemID);
    const bool open = index < list.open_levels();
    const int level = open ? index : list.open_levels();
    // Deep folders keep at least half the width for their names.
    const int indent =
        std::min<int>(level * MulDiv(kIndentStep, dpi_, 96), (row.right - row.left) / 2);
    const int left = row.left + MulDiv(kMargin, dpi_, 96) + indent;
    DrawFolder(dc, left, row.top + (row.bottom - row.top - glyph_) / 2, glyph_, open);

    const std::string text = Text(index);
    HGDIOBJ old_font = SelectObject(dc, font_);
    RECT label = row;
    label.left = left + glyph_ + MulDiv(kTextGap, dpi_, 96);
    RECT need = label;
    DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    label.right = std::min<LONG>(row.right, need.right + MulDiv(kMargin, dpi_, 96));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (selected) FillRect(dc, &label, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                 : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                 : COLOR_WINDOWTEXT));
    RECT words = label;
    words.left += MulDiv(kMargin, dpi_, 96) / 2;
    DrawTextA(dc, text.c_str(), -1, &words,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &label);
    SelectObject(dc, old_font);
    return true;
  }

 protected:
  void UpdateOwn(forms::Property what) override {
    if (what != forms::Property::kItems && what != forms::Property::kSelection) return;
    const auto& list = static_cast<const forms::DirList&>(control());
    SendMessageA(hwnd(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd(), LB_RESETCONTENT, 0, 0);
    for (const std::string& item : list.items()) {
      SendMessageA(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageA(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(list.selection()), 0);
    SendMessageA(hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
  }

 private:
  int Selected() const { return static_cast<int>(SendMessageA(hwnd(), LB_GETCURSEL, 0, 0)); }
  // The item's text as the list holds it, which is what readers read.
  std::string Text(int index) const {
    const LRESULT length = SendMessageA(hwnd(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(hwnd(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
  }

  HFONT font_ = nullptr;
  int dpi_ = 96;
  int glyph_ = kGlyphUnits;
};

}  // namespace

std::unique_ptr<ControlWindow> MakeFolderListWindow(forms::Control& control, HWND page) {
  return std::make_unique<FolderListWindow>(control, page);
}

}  // namespace scenery
