#include "engine/failure.h"

#include <utility>

namespace scenery {

Failure::Failure(FailureKind kind, std::string operation, std::string path, std::string reason)
    : kind_(kind),
      operation_(std::move(operation)),
      path_(std::move(path)),
      reason_(std::move(reason)) {
  Compose();
}

Failure& Failure::set_path(std::string path) {
  path_ = std::move(path);
  Compose();
  return *this;
}

Failure& Failure::set_target(std::string target) {
  target_ = std::move(target);
  Compose();
  return *this;
}

Failure& Failure::set_advice(std::string advice) {
  advice_ = std::move(advice);
  Compose();
  return *this;
}

Failure& Failure::set_aftermath(std::string aftermath) {
  aftermath_ = std::move(aftermath);
  Compose();
  return *this;
}

std::string Failure::Message() const { return message_; }

void Failure::Compose() {
  message_ = "Setup could not " + operation_ + ":\r\n" + path_ + "\r\n";
  if (!target_.empty()) message_ += "to " + target_ + "\r\n";
  message_ += "\r\n" + reason_;
  if (!advice_.empty()) message_ += "\r\n\r\n" + advice_;
  if (!aftermath_.empty()) message_ += "\r\n\r\n" + aftermath_;
}

}  // namespace scenery
