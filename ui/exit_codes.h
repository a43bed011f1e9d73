// How Setup.exe and Uninstall.exe end: the exit codes that scripts and
// software distribution tools read.
#ifndef SCENERY_SETUP_UI_EXIT_CODES_H_
#define SCENERY_SETUP_UI_EXIT_CODES_H_

namespace scenery {

constexpr int kExitInstalled = 0;    // installed, or removed
constexpr int kExitCancelled = 1;    // the user left (the exit question, No at the removal's)
constexpr int kExitFailed = 2;       // after the error report
constexpr int kExitAnotherRuns = 3;  // another installation or removal was running; nothing done
constexpr int kExitPartly =
    4;  // removed, but what the closing box names stayed (not for the user's changes)
constexpr int kExitWrongCall = 64;   // an unknown switch, a value missing, a switch twice, ...

}  // namespace scenery

#endif  // SCENERY_SETUP_UI_EXIT_CODES_H_
