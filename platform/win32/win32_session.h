// The Windows session: its running programs, and the VirtualStore of the
// user whose desktop Setup.exe runs on.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_WIN32_SESSION_H_
#define SCENERY_SETUP_PLATFORM_WIN32_WIN32_SESSION_H_

#include <string>
#include <vector>

#include "engine/session.h"

namespace scenery {

class Win32Session : public Session {
 public:
  // Each process of the tool help functions' list, its executable as
  // GetProcessImageFileNameA names it (on its drive's device), with the
  // drive's letter for the device: calls that Windows XP has too, where the
  // call that gives the path itself (QueryFullProcessImageName) is Vista's.
  // A process that cannot be opened (a protected one) is left out.
  std::vector<std::string> RunningPrograms() override;
  // The local application data of the owner of the shell's process (the
  // desktop's user, also where an ordinary user typed an administrator's
  // password to start Setup.exe), or else of this process's user, with
  // "\VirtualStore" after it.
  std::string VirtualStore() override;
  // The drive of the Windows folder.
  std::string SystemDrive() override;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_WIN32_SESSION_H_
