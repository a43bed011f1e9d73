// Setup.exe /S: the installation without any window, by the rules of the
// pages, its report in the log.
#ifndef SCENERY_SETUP_UI_SILENT_INSTALL_H_
#define SCENERY_SETUP_UI_SILENT_INSTALL_H_

#include <string>

#include "engine/command_line.h"
#include "engine/file_system.h"
#include "engine/package_source.h"
#include "engine/program_list.h"
#include "engine/removal.h"
#include "engine/session.h"
#include "ui/report.h"

namespace scenery {

// Reads Setup.ini, takes the destination (/D=, else the page's first
// proposal) and the simulator folder (/FS=, else its proposal), checks them
// as the two pages do (a missing destination is made, as after Yes), and
// runs the installation. Every event goes to the reporter's log. Returns
// kExitInstalled; a failure is thrown, for the reporter's Run to report.
// With `session`, a simulator that runs from its folder fails the run
// before anything is written, and the copy of scenery.cfg that Windows
// gives it gets the area too.
int InstallSilently(Reporter& reporter, PackageSource& source, FileSystem& fs,
                    const CommandLine& line, const ProgramImage* image, ProgramList* programs,
                    const std::string& package_origin, Session* session = nullptr);

}  // namespace scenery

#endif  // SCENERY_SETUP_UI_SILENT_INSTALL_H_
