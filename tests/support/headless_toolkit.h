// The Toolkit of the page tests: no windows, message boxes answered from a
// script, the background painted on a recording canvas.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_HEADLESS_TOOLKIT_H_
#define SCENERY_SETUP_TESTS_SUPPORT_HEADLESS_TOOLKIT_H_

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/forms/toolkit.h"

namespace scenery {

struct DrawOp {
  enum class Type { kFill, kText } type = Type::kFill;
  int left = 0, top = 0, right = 0, bottom = 0;  // for a fill; a text uses left and top
  std::string text, font;
  int points = 0;
  forms::Rgb colour;
};

class RecordingCanvas : public forms::Canvas {
 public:
  RecordingCanvas(int width, int height) : width_(width), height_(height) {}
  int width() const override { return width_; }
  int height() const override { return height_; }
  void FillRect(int left, int top, int right, int bottom, forms::Rgb colour) override {
    DrawOp op;
    op.left = left;
    op.top = top;
    op.right = right;
    op.bottom = bottom;
    op.colour = colour;
    ops.push_back(op);
  }
  void WriteText(int x, int y, const std::string& text, const std::string& font, int points,
                forms::Rgb colour) override {
    DrawOp op;
    op.type = DrawOp::Type::kText;
    op.left = x;
    op.top = y;
    op.text = text;
    op.font = font;
    op.points = points;
    op.colour = colour;
    ops.push_back(op);
  }
  std::vector<DrawOp> ops;

 private:
  int width_, height_;
};

// Records what a real window would show of a form: whether it is on the
// screen, and each change of its busy state.
class RecordingFormPeer : public forms::FormPeer {
 public:
  void UpdateTitle(const forms::Form&) override {}
  void Show(const forms::Form&) override { shown = true; }
  void Hide(const forms::Form&) override { shown = false; }
  void Focus(const forms::Control&) override {}
  void Refresh(const forms::Form&) override {}
  void SetBusy(const forms::Form&, bool busy) override { busy_changes.push_back(busy); }
  bool shown = false;
  std::vector<bool> busy_changes;
};

class HeadlessToolkit : public forms::Toolkit {
 public:
  void Attach(forms::Form& form) override {
    attached.push_back(form.name());
    peers.push_back(std::make_unique<RecordingFormPeer>());
    form.set_peer(peers.back().get());
  }
  // The names of the forms that are on the screen, as their peers saw it.
  std::vector<std::string> Shown() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < peers.size(); ++i) {
      if (peers[i]->shown) names.push_back(attached[i]);
    }
    return names;
  }
  const RecordingFormPeer& PeerOf(const std::string& name) const {
    for (std::size_t i = 0; i < attached.size(); ++i) {
      if (attached[i] == name) return *peers[i];
    }
    ADD_FAILURE() << name << " was never attached";
    return *peers.front();
  }
  void ShowBackground(const std::string& caption,
                      const std::function<void(forms::Canvas&)>& paint) override {
    background_caption = caption;
    paint(canvas);
  }
  // Answers from the script; an unexpected question fails the test.
  forms::Answer Ask(const forms::Message& message) override {
    asked.push_back(message);
    if (while_asking) std::exchange(while_asking, nullptr)();
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected message box: " << message.text;
      return forms::Answer::kNo;
    }
    const forms::Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Quit(int exit_code) override { quit_codes.push_back(exit_code); }
  std::string ProgramNameAndVersion() override { return "scenery-setup 0.0.test"; }

  std::vector<std::string> attached;
  std::vector<std::unique_ptr<RecordingFormPeer>> peers;
  std::string background_caption;
  RecordingCanvas canvas{1024, 768};
  std::deque<forms::Answer> answers;
  // Runs once while the next box shows, as an event from the system would.
  std::function<void()> while_asking;
  std::vector<forms::Message> asked;
  std::vector<int> quit_codes;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_HEADLESS_TOOLKIT_H_
