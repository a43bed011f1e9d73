#include "engine/install_log.h"

#include <utility>

#include "engine/text_lines.h"

namespace scenery {
namespace {

constexpr std::size_t kBatchBytes = 1 << 16;

}  // namespace

InstallLog::InstallLog(FileSystem& fs, std::string path, std::function<std::string()> now)
    : fs_(fs), path_(std::move(path)), now_(std::move(now)) {}

void InstallLog::Note(const std::string& event) {
  if (!fault_.empty()) return;
  bool first = true;
  for (const std::string& line : SplitLines(event)) {
    waiting_ += (first ? now_() + " " : std::string(20, ' ')) + line + "\r\n";
    first = false;
  }
  if (waiting_.size() >= kBatchBytes) Flush();
}

std::string InstallLog::Open() {
  try {
    if (fs_.Probe(path_).kind == EntryKind::kMissing) {
      fs_.WriteFileFrom(path_, [](const FileSystem::ByteSink&) {});
    }
    fs_.AppendToFile(path_, "");
    return "";
  } catch (const Failure& failure) {
    return failure.reason();
  }
}

void InstallLog::Flush() {
  if (waiting_.empty() || !fault_.empty()) return;
  try {
    if (fs_.Probe(path_).kind == EntryKind::kMissing) {
      fs_.WriteFileFrom(path_, [](const FileSystem::ByteSink&) {});
    }
    fs_.AppendToFile(path_, waiting_);
  } catch (const Failure& failure) {
    fault_ = "The log " + path_ + " could not be written: " + failure.reason();
  }
  waiting_.clear();
}

}  // namespace scenery
