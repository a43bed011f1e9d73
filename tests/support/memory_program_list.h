// An in-memory list of installed programs, for tests: entries by key, and
// a failure on demand.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_MEMORY_PROGRAM_LIST_H_
#define SCENERY_SETUP_TESTS_SUPPORT_MEMORY_PROGRAM_LIST_H_

#include <map>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "engine/program_list.h"

namespace scenery {

class MemoryProgramList : public ProgramList {
 public:
  void Register(const ProgramEntry& entry) override {
    if (fail) Refuse(entry.destination);
    entries[ProgramKeyOf(entry.destination)] = entry;
  }
  void Unregister(const std::string& destination) override {
    if (fail) Refuse(destination);
    entries.erase(ProgramKeyOf(destination));
  }
  std::vector<std::string> Folders() override {
    std::vector<std::string> folders;
    for (const auto& entry : entries) folders.push_back(entry.second.destination);
    return folders;
  }

  std::string RemovalRoot() override { return "C:\\Program Files\\Scenery Setup"; }

  std::map<std::string, ProgramEntry> entries;
  bool fail = false;

 private:
  [[noreturn]] static void Refuse(const std::string& destination) {
    throw Failure(FailureKind::kAccessDenied, "write the list of programs' entry of",
                  destination, "Access is denied.");
  }
};

}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_MEMORY_PROGRAM_LIST_H_
