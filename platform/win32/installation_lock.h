// One installation at a time on a machine's session: every Setup.exe of
// this program, whatever package it carries, shares the simulator's
// scenery.cfg, and two that append to it at once could give two areas one
// number or interleave their sections.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_INSTALLATION_LOCK_H_
#define SCENERY_SETUP_PLATFORM_WIN32_INSTALLATION_LOCK_H_

namespace scenery {

// Holds a named kernel object for as long as it lives. The system closes it
// with the process however the process ends, so a Setup.exe that crashed or
// was killed never keeps a later one from starting.
class InstallationLock {
 public:
  InstallationLock();
  ~InstallationLock();
  InstallationLock(const InstallationLock&) = delete;
  InstallationLock& operator=(const InstallationLock&) = delete;

  // False when another Setup.exe held the object first.
  bool held() const { return held_; }

 private:
  void* mutex_ = nullptr;
  bool held_ = false;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_INSTALLATION_LOCK_H_
