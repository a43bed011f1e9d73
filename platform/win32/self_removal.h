// Uninstall.exe cannot delete itself while it runs. At its end it starts a
// copy of itself from a new folder of random name in the user's temporary
// folder; the copy waits for it to end, deletes it and then the folder it
// was in when that is empty, and is itself deleted at the next start of
// Windows.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_SELF_REMOVAL_H_
#define SCENERY_SETUP_PLATFORM_WIN32_SELF_REMOVAL_H_

#include <string>

namespace scenery {

// Starts the copy that deletes `program` (the running Uninstall.exe) and
// then `folder` when empty. False when it could not be started: both stay.
bool RemoveAfterExit(const std::string& program, const std::string& folder);

// When `command_line` is the copy's, does its work and returns true.
bool RunCleanupIfAsked(const char* command_line);

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_SELF_REMOVAL_H_
