// Uninstall.exe cannot delete its own file while it runs. It lies alone in
// a protected folder (only administrators may write there), so at its end
// it gives its running file another name in the protected folder above,
// removes its own folder, and has the file deleted at the next start of
// Windows. No copy of it is ever started: nothing runs from a folder that
// others may write, and no switch of its command line deletes anything.
#ifndef SCENERY_SETUP_PLATFORM_WIN32_SELF_REMOVAL_H_
#define SCENERY_SETUP_PLATFORM_WIN32_SELF_REMOVAL_H_

#include <string>

namespace scenery {

// Takes the running `program` out of its folder `expected`'s parent and
// that folder away, when `program` is `expected`: the removal program
// that an installation wrote. A copy run from anywhere else is left as it
// is. False when the file could not be renamed: then it stays where it is.
bool RetireRemovalProgram(const std::string& program, const std::string& expected);

}  // namespace scenery

#endif  // SCENERY_SETUP_PLATFORM_WIN32_SELF_REMOVAL_H_
