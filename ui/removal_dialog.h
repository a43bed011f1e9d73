// What Uninstall.exe says: the question before the removal, then the
// closing box.
#ifndef SCENERY_SETUP_UI_REMOVAL_DIALOG_H_
#define SCENERY_SETUP_UI_REMOVAL_DIALOG_H_

#include "engine/file_system.h"
#include "engine/program_list.h"
#include "engine/removal.h"
#include "engine/session.h"
#include "ui/report.h"

namespace scenery {

// Asks, removes and tells. Returns kExitInstalled once removed (what stayed
// only because the user changed or added it, or was gone already), kExitPartly
// when the closing box names anything else that stayed, or kExitCancelled
// when the user answered No (nothing changed); a failure is thrown, for the
// reporter's Run to report. A destination that is not there, or a
// scenery.cfg that is not (the simulator's folder moved), is said and asked
// about first. `simulator` (/FS=) names where the simulator's folder is now.
// A silent reporter (Uninstall.exe /S) asks nothing and shows nothing; what
// would be said goes to its log, which also hears it in the clicked removal.
// With `session`, a program that runs from the simulator's folder is to be
// closed first (Retry, or Cancel: kExitCancelled; without windows it fails
// the removal), and the copy of scenery.cfg that Windows gives the
// simulator loses the area too.
int RunRemoval(Reporter& reporter, FileSystem& fs, ProgramList& programs,
               const RemovalRecord& record, const std::string& simulator = "",
               Session* session = nullptr);

}  // namespace scenery

#endif  // SCENERY_SETUP_UI_REMOVAL_DIALOG_H_
