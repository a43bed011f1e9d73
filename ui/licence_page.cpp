#include "engine/package_layout.h"
#include "engine/text_lines.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

using forms::Rect;

// The program's copyright notice, a fixed text of its own (the sign in ANSI).
constexpr char kCopyrightNotice[] = "\xA9 2026 scenery-setup";

}  // namespace

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

// The controls are made in this order, which is also the window order:
// each label that names a control stands right before it, and the
// controls that take the focus follow their tab order.
LicencePage::LicencePage(Wizard& wizard)
    : Page(wizard, "frmLic", "License Agreement", 5325, 5025),
      instructions(form_.Add<forms::Label>("Label1", Rect{360, 120, 4215, 495}, 0)),
      accept_caption(form_.Add<forms::Label>("Label2", Rect{600, 3840, 4092, 252}, 4)),
      accept(form_.Add<forms::CheckBox>("Check1", Rect{240, 3840, 252, 255}, 1)),
      next(form_.Add<forms::Button>("Command1", Rect{2760, 4440, 1095, 375}, 2)),
      exit(form_.Add<forms::Button>("Command2", Rect{3960, 4440, 1095, 375}, 3)),
      licence_text(form_.Add<forms::TextBox>("Text1", Rect{240, 720, 4812, 2895}, 5)),
      product(form_.Add<forms::Label>("Label3", Rect{120, 4320, 2532, 252}, 6)),
      web_address(form_.Add<forms::Label>("Label4", Rect{120, 4524, 2532, 252}, 7)),
      copyright(form_.Add<forms::Label>("Label5", Rect{120, 4728, 2532, 252}, 8)) {
  form_.Add<forms::Line>("Line1", 240, 4200, 5040, 4200, forms::Colour::Rgb(128, 128, 128), 3);
  instructions.centred = true;
  licence_text.multi_line = true;
  licence_text.back_colour = forms::Colour::Rgb(192, 192, 192);
  product.centred = true;
  product.back_colour = forms::Colour::System(forms::SystemColour::kActiveBorder);
  product.fore_colour = forms::Colour::System(forms::SystemColour::kWindowText);
  web_address.centred = true;
  copyright.centred = true;
  next.SetText("Next >");
  next.SetEnabled(false);
  exit.SetText("Exit");

  accept.on_click = [this] { next.SetEnabled(accept.checked()); };
  next.on_click = [this] { wizard_.GoTo(wizard_.destination()); };
  exit.on_click = [this] { wizard_.ConfirmExit(); };
  form_.on_close_request = [this] { wizard_.ConfirmExit(); };
}

void LicencePage::Load() {
  instructions.SetText(
      "Please read the following license agreement and check the box below if you agree "
      "with the terms.");
  accept_caption.SetText("I accept the terms of this agreement");
  product.SetText("Freeware Scenery Setup");
  // The program has no web address of its own: the label names the program.
  web_address.SetText(wizard_.toolkit().ProgramNameAndVersion());
  copyright.SetText(kCopyrightNotice);
  licence_text.SetText(WithCrLf(AnsiText(wizard_.source().Read(kLicencePageName))));
}

}  // namespace scenery
