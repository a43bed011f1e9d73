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

}  // namespace

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
    canvas.WriteText(36, 36, title, kFont, kTitlePoints, kBlack);
    canvas.WriteText(32, 32, title, kFont, kTitlePoints, kBrightWhite);
  }
  const std::string& notice = settings.copyright;
  if (!notice.empty()) {
    const int x = width - kNoticeCharWidth * static_cast<int>(notice.size());
    canvas.WriteText(x, height - 80, notice, kFont, kNoticePoints, kBrightWhite);
  }
}

}  // namespace scenery
