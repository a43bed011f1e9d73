// Windows' list of installed programs ("Add or Remove Programs", "Apps &
// features"), where each installation of a scenery has one entry, keyed by
// its destination folder.
#ifndef SCENERY_SETUP_ENGINE_PROGRAM_LIST_H_
#define SCENERY_SETUP_ENGINE_PROGRAM_LIST_H_

#include <cstdint>
#include <string>
#include <vector>

namespace scenery {

struct ProgramEntry {
  std::string destination;    // InstallLocation, and what the entry is kept by
  std::string display_name;   // InstallTitle
  std::string uninstall_exe;  // the full path of Uninstall.exe
  std::uint32_t size_kib = 0; // EstimatedSize
  std::string publisher;      // Publisher, left out when empty
  std::string version;        // DisplayVersion, left out when empty
};

class ProgramList {
 public:
  virtual ~ProgramList() = default;
  // Adds the entry of entry.destination, or updates it when an earlier
  // installation into that folder made it. Throws Failure.
  virtual void Register(const ProgramEntry& entry) = 0;
  // Takes away the entry of `destination`; none there is no failure.
  // Throws Failure.
  virtual void Unregister(const std::string& destination) = 0;
  // The folders (InstallLocation) of every entry of an installation of a
  // scenery. Never throws: an unreadable list has none.
  virtual std::vector<std::string> Folders() = 0;
  // The folder that keeps, one protected folder per entry, the programs
  // that the entries start: "Scenery Setup" in the system's folder for
  // programs, where only administrators may write. Throws Failure when the
  // system cannot tell it.
  virtual std::string RemovalRoot() = 0;
};

// The name of the entry of `destination`: the same for every way of
// writing one folder (letter case, doubled or trailing backslashes).
std::string ProgramKeyOf(const std::string& destination);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_PROGRAM_LIST_H_
