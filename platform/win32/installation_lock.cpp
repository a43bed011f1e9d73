#include "platform/win32/installation_lock.h"

#include <windows.h>

namespace scenery {
namespace {

// In the session's own namespace (no "Global\" prefix): one user's
// installers exclude each other, and no right beyond the user's is needed.
constexpr char kLockName[] = "scenery-setup.one-installation-at-a-time";

}  // namespace

InstallationLock::InstallationLock() {
  mutex_ = CreateMutexA(nullptr, FALSE, kLockName);
  // Without the object (no resources left) nothing can be told apart; the
  // installation goes on rather than refusing every start.
  held_ = mutex_ == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

InstallationLock::~InstallationLock() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

}  // namespace scenery
