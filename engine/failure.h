// The one failure type of the installer. Every procedure either finishes or
// throws a Failure; the user interface catches it in exactly one place and
// shows Message() in the standard error report.
#ifndef SCENERY_SETUP_ENGINE_FAILURE_H_
#define SCENERY_SETUP_ENGINE_FAILURE_H_

#include <exception>
#include <string>

namespace scenery {

enum class FailureKind {
  kNotFound,       // the file, folder, drive or network path does not exist
  kAccessDenied,   // no right to read or write
  kInUse,          // another program holds the file open (a sharing or lock violation)
  kDiskFull,       // not enough space on the disk
  kNotReady,       // the drive holds no medium or cannot be reached
  kInvalidName,    // the path is not a valid Windows path
  kAlreadyExists,  // a file stands where a folder is wanted
  kBadContent,     // a file's content breaks one of the installer's limits
  kOther,          // anything else the system reports
};

class Failure : public std::exception {
 public:
  // `operation` is a verb phrase that completes "Setup could not ...", such as
  // "copy the file"; `path` names the file or folder; `reason` is the
  // system's reason in words.
  Failure(FailureKind kind, std::string operation, std::string path, std::string reason);

  FailureKind kind() const { return kind_; }
  const std::string& operation() const { return operation_; }
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }
  // The second path of a two-path operation (the target of a copy); may be empty.
  const std::string& target() const { return target_; }
  // What the user can do about it; may be empty.
  const std::string& advice() const { return advice_; }
  // What the failure left behind, for the user; may be empty.
  const std::string& aftermath() const { return aftermath_; }

  Failure& set_path(std::string path);
  Failure& set_target(std::string target);
  Failure& set_advice(std::string advice);
  Failure& set_aftermath(std::string aftermath);

  // The text of the standard error report, one fact per line.
  std::string Message() const;
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  void Compose();

  FailureKind kind_;
  std::string operation_;
  std::string path_;
  std::string reason_;
  std::string target_;
  std::string advice_;
  std::string aftermath_;
  std::string message_;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_FAILURE_H_
