// Setup.exe: builds the platform objects and the settings record, runs the
// start-up sequence and the message loop, and ends with the wizard's exit
// code.
#include <windows.h>

#include <commctrl.h>

#include "engine/install_settings.h"
#include "platform/win32/installation_lock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_toolkit.h"
#include "ui/wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // A drive without a medium answers "not ready" instead of asking the user
  // to insert a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  scenery::Win32Toolkit toolkit(instance);
  // Before anything else: a second Setup.exe touches no file.
  scenery::InstallationLock lock;
  if (!lock.held()) {
    scenery::Win32Toolkit::ShowOtherInstallation();
    return scenery::RefuseWhileAnotherRuns(toolkit);
  }

  scenery::InstallSettings settings;
  scenery::Win32FileSystem fs;
  scenery::Wizard wizard(settings, fs, toolkit);
  toolkit.set_dispatcher([&wizard](const std::function<void()>& event) { wizard.Dispatch(event); });

  wizard.Dispatch([&wizard] { wizard.Start(); });
  const int loop_code = toolkit.Run();
  toolkit.DestroyWindows();
  return wizard.ending() ? wizard.exit_code() : loop_code;
}
