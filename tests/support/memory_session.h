// A session for tests: the programs it is told run, and a user's
// VirtualStore on drive C:.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_MEMORY_SESSION_H_
#define SCENERY_SETUP_TESTS_SUPPORT_MEMORY_SESSION_H_

#include <string>
#include <vector>

#include "engine/session.h"

namespace scenery {

struct MemorySession : public Session {
  std::vector<std::string> RunningPrograms() override {
    ++looks;
    return running;
  }
  std::string VirtualStore() override { return virtual_store; }
  std::string SystemDrive() override { return "C:"; }

  std::vector<std::string> running;
  std::string virtual_store = "C:\\Users\\Anna\\AppData\\Local\\VirtualStore";
  int looks = 0;
};

}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_MEMORY_SESSION_H_
