// Windows' list of installed programs: one key per installation under
// HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall. The registry's
// functions are taken from the system's advapi32 when first needed.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_WIN32_PROGRAM_LIST_H_
#define SCENERY_SETUP_PLATFORM_WIN32_WIN32_PROGRAM_LIST_H_

#include "engine/program_list.h"

namespace scenery {

class Win32ProgramList : public ProgramList {
 public:
  void Register(const ProgramEntry& entry) override;
  void Unregister(const std::string& destination) override;
  std::vector<std::string> Folders() override;
  std::string RemovalRoot() override;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_WIN32_PROGRAM_LIST_H_
