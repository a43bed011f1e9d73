#include "ui/background.h"

#include <cmath>

#include "ui/wizard.h"

namespace scenery {
namespace {

const forms::Rgb kBlack{0, 0, 0};
const forms::Rgb kBrightWhite{255, 255, 255};
constexpr char kFont[] = "Arial";
constexpr int kTitlePoints = 36;
constexpr int kNoticePoints = 18;
constexpr int kNoticeCharWidth = 14;  // an estimate of the notice's width per character
constexpr int kTitleLeft = 32;
constexpr int kShadowOffset = 4;
constexpr int kNoticeBottomGap = 80;

// Arial's advance widths in units of its 2048-unit em, for the Windows-1252
// characters 0x20 to 0xFF (those the code page leaves undefined as "?").
// Every Arial has these widths, and so has Liberation Sans, which is made to
// the same metrics and stands in for Arial under Wine.
// clang-format off
constexpr short kArialAdvances[224] = {
     569,  569,  727, 1139, 1139, 1821, 1366,  391,  682,  682,  797, 1196,  569,  682,  569,  569,  // 0x20
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139,  569,  569, 1196, 1196, 1196, 1139,  // 0x30
    2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479,  569, 1024, 1366, 1139, 1706, 1479, 1593,  // 0x40
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251,  569,  569,  569,  961, 1139,  // 0x50
     682, 1139, 1139, 1024, 1139, 1139,  569, 1139, 1139,  455,  455, 1024,  455, 1706, 1139, 1139,  // 0x60
    1139, 1139,  682, 1024,  569, 1139, 1024, 1479, 1024, 1024, 1024,  684,  532,  684, 1196, 1139,  // 0x70
    1139, 1139,  455, 1139,  682, 2048, 1139, 1139,  682, 2048, 1366,  682, 2048, 1139, 1251, 1139,  // 0x80
    1139,  455,  455,  682,  682,  717, 1139, 2048,  682, 2048, 1024,  682, 1933, 1139, 1024, 1366,  // 0x90
     569,  682, 1139, 1139, 1139, 1139,  532, 1139,  682, 1509,  758, 1139, 1196,  682, 1509, 1131,  // 0xA0
     819, 1124,  682,  682,  682, 1180, 1100,  569,  682,  682,  748, 1139, 1708, 1708, 1708, 1251,  // 0xB0
    1366, 1366, 1366, 1366, 1366, 1366, 2048, 1479, 1366, 1366, 1366, 1366,  569,  569,  569,  569,  // 0xC0
    1479, 1479, 1593, 1593, 1593, 1593, 1593, 1196, 1593, 1479, 1479, 1479, 1479, 1366, 1366, 1251,  // 0xD0
    1139, 1139, 1139, 1139, 1139, 1139, 1821, 1024, 1139, 1139, 1139, 1139,  569,  569,  569,  569,  // 0xE0
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1124, 1251, 1139, 1139, 1139, 1139, 1024, 1139, 1024,  // 0xF0
};
// clang-format on

}  // namespace

int ArialWidth(const std::string& text, int pixels) {
  int width = 0;
  for (const char c : text) {
    const unsigned char code = static_cast<unsigned char>(c);
    const int advance = code < 0x20 ? 0 : kArialAdvances[code - 0x20];
    // Windows rounds each character's advance to whole pixels at the size.
    width += (advance * pixels + 1024) / 2048;
  }
  return width;
}

TextSpan TitleSpan(const std::string& title) {
  return TextSpan{kTitleLeft, kTitleLeft + kShadowOffset + ArialWidth(title, kTitlePixels)};
}

TextSpan NoticeSpan(const std::string& notice, int screen_width) {
  const int left = screen_width - kNoticeCharWidth * static_cast<int>(notice.size());
  return TextSpan{left, left + ArialWidth(notice, kNoticePixels)};
}

std::string FittingStart(const std::string& text, int pixels, int left, int right) {
  std::size_t length = 0;
  for (int end = left; length < text.size(); ++length) {
    end += ArialWidth(text.substr(length, 1), pixels);
    if (end > right) break;
  }
  return text.substr(0, length);
}

void PaintBackground(forms::Canvas& canvas, const InstallSettings& settings) {
  const int width = canvas.width();
  const int height = canvas.height();
  // Bands three pixels high, one every two pixels, from bright blue to black.
  double blue = 255;
  const double step = height > 0 ? 510.0 / height : 0;
  for (int y = 0; y <= height; y += 2) {
    const long level = std::lround(std::fmax(0.0, std::fmin(255.0, blue)));
    canvas.FillRect(-1, y - 1, width, y + 2, forms::Rgb{0, 0, static_cast<std::uint8_t>(level)});
    blue -= step;
  }
  const std::string& title = settings.install_title;
  if (!title.empty()) {
    const int shadow = kTitleLeft + kShadowOffset;
    canvas.WriteText(shadow, shadow, title, kFont, kTitlePoints, kBlack);
    canvas.WriteText(kTitleLeft, kTitleLeft, title, kFont, kTitlePoints, kBrightWhite);
  }
  const std::string& notice = settings.copyright;
  if (!notice.empty()) {
    canvas.WriteText(NoticeSpan(notice, width).left, height - kNoticeBottomGap, notice, kFont,
                     kNoticePoints, kBrightWhite);
  }
}

}  // namespace scenery
