// What a run did, told as it happens: to the log of /LOG=FILE, in any mode.
#ifndef SCENERY_SETUP_ENGINE_INSTALL_LOG_H_
#define SCENERY_SETUP_ENGINE_INSTALL_LOG_H_

#include <functional>
#include <string>

#include "engine/file_system.h"

namespace scenery {

// Receives what a run does, one event at a time.
class RunLog {
 public:
  virtual ~RunLog() = default;
  virtual void Note(const std::string& event) = 0;
};

// The log of /LOG=FILE: plain text (ANSI, CR LF) appended to the file, one
// line per event after the local time; an event of several lines (a whole
// report) goes on, indented, on the lines after it. Lines are written in
// batches (at Flush, and whenever many wait), so that a large installation
// does not wait for the disk at every file. A log that cannot be written
// stops nothing: its first failure is kept for the report, and no more is
// tried.
class InstallLog : public RunLog {
 public:
  // `now` gives the local time as "2026-12-07 14:05:09".
  InstallLog(FileSystem& fs, std::string path, std::function<std::string()> now);
  ~InstallLog() override { Flush(); }
  // Makes the file when it is missing and opens it for appending, before
  // anything is done: why it cannot be, or "" when it can.
  std::string Open();
  void Note(const std::string& event) override;
  void Flush();
  // Why the log could not be written, for the report; empty when it could.
  const std::string& fault() const { return fault_; }

 private:
  FileSystem& fs_;
  std::string path_;
  std::function<std::string()> now_;
  std::string waiting_;
  std::string fault_;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_INSTALL_LOG_H_
