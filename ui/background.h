// Where the blue background paints the package's title and notice, and how
// wide they are, so that an author can be told before shipping that a text
// does not fit on the screen.
#ifndef SCENERY_SETUP_UI_BACKGROUND_H_
#define SCENERY_SETUP_UI_BACKGROUND_H_

#include <string>

namespace scenery {

// A text's place on the background, in pixels from the left edge.
struct TextSpan {
  int left = 0;
  int right = 0;
};

// The width in pixels of `text` (Windows-1252) in Arial at an em of
// `pixels`, as Windows lays out a line: the sum of its advance widths.
int ArialWidth(const std::string& text, int pixels);

// The title (with its shadow) and the notice on a background `screen_width`
// pixels wide at 96 dots per inch.
TextSpan TitleSpan(const std::string& title);
TextSpan NoticeSpan(const std::string& notice, int screen_width);

// The longest start of `text` whose Arial run at `pixels`, begun at `left`,
// ends at or before `right`.
std::string FittingStart(const std::string& text, int pixels, int left, int right);

constexpr int kTitlePixels = 48;   // 36 points at 96 dots per inch
constexpr int kNoticePixels = 24;  // 18 points

}  // namespace scenery

#endif  // SCENERY_SETUP_UI_BACKGROUND_H_
