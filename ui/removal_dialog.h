// What Uninstall.exe says: the question before the removal, then the
// closing box or the error report.
#ifndef SCENERY_SETUP_UI_REMOVAL_DIALOG_H_
#define SCENERY_SETUP_UI_REMOVAL_DIALOG_H_

#include "engine/file_system.h"
#include "engine/install_log.h"
#include "engine/program_list.h"
#include "engine/removal.h"
#include "ui/forms/toolkit.h"

namespace scenery {

// Asks, removes and tells. Returns the exit code: 0 removed, 1 the user
// answered No (nothing changed), 2 the error report was shown. `silent`
// (Uninstall.exe /S) asks nothing and shows nothing; what would be said goes
// to `log`, which also hears it in the clicked removal.
int RunRemoval(forms::Toolkit& toolkit, FileSystem& fs, ProgramList& programs,
               const RemovalRecord& record, bool silent = false, RunLog* log = nullptr);

// The report for a record that cannot be read; returns 2.
int ReportUnreadableRecord(forms::Toolkit& toolkit, const Failure& failure);

}  // namespace scenery

#endif  // SCENERY_SETUP_UI_REMOVAL_DIALOG_H_
