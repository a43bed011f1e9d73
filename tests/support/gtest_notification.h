// GoogleTest's Notification without std::mutex, which the win32 thread model
// of MinGW-w64 lacks. GoogleTest uses it only to start threads of its own,
// and these tests start none: a flag is all it needs.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_GTEST_NOTIFICATION_H_
#define SCENERY_SETUP_TESTS_SUPPORT_GTEST_NOTIFICATION_H_

#include <atomic>

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif  // SCENERY_SETUP_TESTS_SUPPORT_GTEST_NOTIFICATION_H_
