#include "ui/forms/forms.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/paths.h"
#include "ui/forms/toolkit.h"

namespace scenery {
namespace forms {
namespace {

char LowerLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The folder names below the root of a drive path.
std::vector<std::string> Levels(const std::string& path) {
  std::vector<std::string> levels;
  std::size_t start = RootLength(path);
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) levels.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return levels;
}

}  // namespace

// ---- Control ----

Control::Control(Kind kind, std::string name, Rect bounds, int tab_index)
    : kind_(kind), name_(std::move(name)), bounds_(bounds), tab_index_(tab_index) {}

bool Control::can_take_focus() const {
  return kind_ != Kind::kLabel && kind_ != Kind::kLine && enabled_ && visible_;
}

void Control::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Changed(Property::kText);
}

void Control::SetTop(int top) {
  bounds_.top = top;
  Changed(Property::kBounds);
}

void Control::SetWidth(int width) {
  bounds_.width = width;
  Changed(Property::kBounds);
}

void Control::SetHeight(int height) {
  bounds_.height = height;
  Changed(Property::kBounds);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(Property::kEnabled);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(Property::kVisible);
}

void Control::SetElidePath(bool elide) {
  if (elide == elide_path_) return;
  elide_path_ = elide;
  Changed(Property::kElide);
}

void Button::Click() {
  if (enabled() && visible() && on_click) on_click();
}

void CheckBox::Click() {
  if (!enabled() || !visible()) return;
  checked_ = !checked_;
  Changed(Property::kChecked);
  if (on_click) on_click();
}

// ---- DriveList ----

DriveList::DriveList(std::string name, Rect bounds, int tab_index, FileSystem& fs)
    : Control(Kind::kDriveList, std::move(name), bounds, tab_index), fs_(fs) {
  drives_ = fs_.ListDrives();
  for (const DriveInfo& drive : drives_) {
    std::string item = std::string(1, drive.letter) + ":";
    if (!drive.label.empty()) item += " [" + drive.label + "]";
    items_.push_back(item);
  }
  const std::string current = fs_.CurrentFolder();
  if (!current.empty()) {
    for (std::size_t i = 0; i < drives_.size(); ++i) {
      if (drives_[i].letter == LowerLetter(current[0])) selection_ = static_cast<int>(i);
    }
  }
  // Started from a network folder (\\server\share): a fixed drive is
  // selected, so that the list always shows one and any other can be chosen.
  for (std::size_t i = 0; selection_ < 0 && i < drives_.size(); ++i) {
    if (drives_[i].type == DriveType::kFixed) selection_ = static_cast<int>(i);
  }
}

char DriveList::drive() const {
  return selection_ < 0 ? '\0' : drives_[static_cast<std::size_t>(selection_)].letter;
}

void DriveList::Choose(int index) {
  if (index < 0 || index >= static_cast<int>(drives_.size())) return;
  const bool changed = index != selection_;
  selection_ = index;
  Changed(Property::kSelection);
  if (changed && on_change) on_change();
}

void DriveList::SetDrive(const std::string& path) {
  if (path.empty()) return;
  const char letter = LowerLetter(path[0]);
  for (std::size_t i = 0; i < drives_.size(); ++i) {
    if (drives_[i].letter == letter) {
      Choose(static_cast<int>(i));
      return;
    }
  }
}

// ---- DirList ----

DirList::DirList(std::string name, Rect bounds, int tab_index, FileSystem& fs)
    : Control(Kind::kDirList, std::move(name), bounds, tab_index),
      fs_(fs),
      last_folder_of_drive_(26) {
  path_ = fs_.CurrentFolder();
  Fill();
}

void DirList::Fill() {
  std::vector<std::string> subfolders = fs_.ListSubfolders(path_);
  std::sort(subfolders.begin(), subfolders.end(), [](const std::string& a, const std::string& b) {
    return UpperAscii(a) < UpperAscii(b);
  });
  items_.clear();
  items_.push_back(path_.substr(0, RootLength(path_)));
  for (const std::string& level : Levels(path_)) items_.push_back(level);
  open_levels_ = static_cast<int>(items_.size());
  items_.insert(items_.end(), subfolders.begin(), subfolders.end());
  selection_ = open_levels_ - 1;
  const char letter = LowerLetter(path_[0]);
  if (letter >= 'a' && letter <= 'z') last_folder_of_drive_[letter - 'a'] = path_;
  Changed(Property::kItems);
}

void DirList::Select(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  selection_ = index;
}

void DirList::Open(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  std::string target;
  if (index < open_levels_) {
    target = items_[0];
    for (int level = 1; level <= index; ++level) {
      if (target.back() != '\\') target += '\\';
      target += items_[static_cast<std::size_t>(level)];
    }
  } else {
    target = path_;
    if (target.back() != '\\') target += '\\';
    target += items_[static_cast<std::size_t>(index)];
  }
  try {
    SetPath(target);
  } catch (const Failure& failure) {
    if (!on_open_failure) throw;
    on_open_failure(failure);
  }
}

void DirList::SetPath(const std::string& path) {
  std::string folder = WithoutTrailingSeparators(path);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  const std::string old_path = path_;
  path_ = folder;
  try {
    Fill();
  } catch (...) {
    path_ = old_path;  // the list still shows the old folder
    throw;
  }
  if (UpperAscii(old_path) != UpperAscii(path_) && on_change) on_change();
}

void DirList::SetDrive(char drive) {
  const char letter = LowerLetter(drive);
  std::string folder;
  if (letter >= 'a' && letter <= 'z') folder = last_folder_of_drive_[letter - 'a'];
  if (folder.empty() || !fs_.IsDriveReady(letter)) folder = fs_.CurrentFolderOfDrive(letter);
  // The folder last shown may have been deleted or renamed since.
  while (folder.size() > RootLength(folder) && fs_.Probe(folder).kind != EntryKind::kFolder) {
    folder = ParentFolder(folder);
  }
  SetPath(folder);
}

// ---- Form ----

Form::Form(std::string name, std::string title, int client_width, int client_height)
    : name_(std::move(name)),
      title_(std::move(title)),
      client_width_(client_width),
      client_height_(client_height) {}

void Form::SetTitle(const std::string& title) {
  title_ = title;
  if (peer_ != nullptr) peer_->UpdateTitle(*this);
}

void Form::Show() {
  visible_ = true;
  if (peer_ != nullptr) peer_->Show(*this);
}

void Form::Hide() {
  visible_ = false;
  if (peer_ != nullptr) peer_->Hide(*this);
}

void Form::FocusFirst() {
  const Control* first = nullptr;
  for (const auto& control : controls_) {
    if (control->can_take_focus() &&
        (first == nullptr || control->tab_index() < first->tab_index())) {
      first = control.get();
    }
  }
  focused_ = first;
  if (first != nullptr && peer_ != nullptr) peer_->Focus(*first);
}

void Form::Refresh() const {
  if (peer_ != nullptr) peer_->Refresh(*this);
}

void Form::SetBusy(bool busy) const {
  if (peer_ != nullptr) peer_->SetBusy(*this, busy);
}

void Form::RequestClose() {
  if (on_close_request) on_close_request();
}

// ---- Message boxes ----

namespace {

struct Span {
  std::size_t begin, end;
  bool wide;  // too wide for a line of its own
};

bool StartsPath(std::string_view word, std::size_t at) {
  const std::string_view rest = word.substr(at);
  if (rest.substr(0, 2) == "\\\\") return true;
  const char c = rest.empty() ? '\0' : rest[0];
  return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && rest.substr(1, 2) == ":\\";
}

// The paths of `line`: each begins with "X:\" or "\\" at the start of a word
// (after a quote or bracket), and goes on over the words after it that hold
// a backslash ("C:\Addon Scenery\Harbour" is one path).
std::vector<Span> PathSpans(std::string_view line,
                            const std::function<bool(std::string_view)>& fits) {
  // `fits` here: whether a path may stay whole.
  std::vector<Span> spans;
  bool in_path = false;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    const std::string_view word = line.substr(at, end - at);
    std::size_t lead = 0;
    while (lead < word.size() && (word[lead] == '"' || word[lead] == '(')) ++lead;
    if (StartsPath(word, lead)) {
      spans.push_back(Span{at + lead, end, false});
      in_path = true;
    } else if (in_path && word.find('\\') != std::string_view::npos) {
      spans.back().end = end;
    } else {
      in_path = false;
    }
    at = end + 1;
  }
  for (Span& span : spans) span.wide = !fits(line.substr(span.begin, span.end - span.begin));
  return spans;
}

const Span* SpanAt(const std::vector<Span>& spans, std::size_t at) {
  for (const Span& span : spans) {
    if (at >= span.begin && at < span.end) return &span;
  }
  return nullptr;
}

// Breaks a line too wide for the box, at the longest prefix that fits: at a
// blank outside its paths first; after a backslash of a path only where the
// path is itself too wide for a line; else at any blank or backslash; else
// where it must.
void BreakLine(std::string_view line, const std::function<bool(std::string_view)>& fits,
               const std::function<bool(std::string_view)>& path_fits, std::string& out) {
  const std::vector<Span> spans = PathSpans(line, path_fits ? path_fits : fits);
  // A piece that holds part of a path too wide to stay whole must meet the
  // paths' own measure too.
  auto fits_from = [&](std::size_t begin, std::size_t end) {
    const std::string_view piece = line.substr(begin, end - begin);
    if (!fits(piece)) return false;
    for (const Span& span : spans) {
      if (span.wide && span.begin < end && span.end > begin) return !path_fits || path_fits(piece);
    }
    return true;
  };
  std::size_t at = 0;
  while (at < line.size() && !fits_from(at, line.size())) {
    std::size_t outside_blank = 0, wide_backslash = 0, any_break = 0, longest = at + 1;
    for (std::size_t end = at + 1; end < line.size() && fits_from(at, end); ++end) {
      longest = end;
      const Span* span = SpanAt(spans, end);
      if (line[end] == ' ' && span == nullptr) outside_blank = end;
      if (line[end - 1] == '\\') {
        const Span* holder = SpanAt(spans, end - 1);
        if (holder != nullptr && holder->wide) wide_backslash = end;
      }
      if (line[end] == ' ' || line[end - 1] == '\\') any_break = end;
    }
    std::size_t cut = outside_blank != 0    ? outside_blank
                      : wide_backslash != 0 ? wide_backslash
                      : any_break != 0      ? any_break
                                            : longest;
    out.append(line.substr(at, cut - at));
    out += "\r\n";
    at = cut;
    while (at < line.size() && line[at] == ' ') ++at;
  }
  out.append(line.substr(at));
}

}  // namespace

std::string BreakLongLines(const std::string& text,
                           const std::function<bool(std::string_view)>& fits,
                           const std::function<bool(std::string_view)>& path_fits) {
  std::string out;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", start);
    BreakLine(std::string_view(text).substr(start, end == std::string::npos ? end : end - start),
              fits, path_fits, out);
    if (end == std::string::npos) return out;
    out += "\r\n";
    start = end + 2;
  }
}

}  // namespace forms
}  // namespace scenery
