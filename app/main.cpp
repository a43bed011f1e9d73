// Setup.exe: builds the platform objects and the settings record, runs the
// start-up sequence and the message loop, and ends with the wizard's exit
// code.
#include <windows.h>

#include <memory>
#include <string>

#include "engine/install_settings.h"
#include "engine/package_source.h"
#include "engine/packed_package.h"
#include "platform/win32/installation_lock.h"
#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_toolkit.h"
#include "ui/wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before any library is loaded: none from the program's own folder.
  scenery::RestrictLibrarySearch();
  // A drive without a medium answers "not ready" instead of asking the user
  // to insert a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  scenery::InitThemedControls();

  scenery::Win32Toolkit toolkit(instance);
  // Before anything else: a second Setup.exe touches no file.
  scenery::InstallationLock lock;
  if (!lock.held()) {
    scenery::Win32Toolkit::ShowOtherInstallation();
    return scenery::RefuseWhileAnotherRuns(toolkit);
  }

  // The package comes from the program itself when it carries one, else
  // from its folder. A damaged one is refused before any window shows.
  scenery::Win32FileSystem fs;
  std::unique_ptr<scenery::PackageSource> source;
  std::unique_ptr<scenery::Win32ByteFile> program;
  std::string program_path;
  try {
    program_path = scenery::ProgramPath();
    program = std::make_unique<scenery::Win32ByteFile>(program_path);
    scenery::PackedLayout layout;
    std::string why;
    switch (scenery::ReadPackedLayout(*program, &layout, &why)) {
      case scenery::PackedState::kDamaged:
        return scenery::ReportDamagedPackage(toolkit, program_path, why);
      case scenery::PackedState::kPackage:
        source = std::make_unique<scenery::CarriedSource>(*program, layout, program_path);
        break;
      case scenery::PackedState::kNone:
        break;
    }
  } catch (const scenery::Failure& failure) {
    return scenery::ReportDamagedPackage(toolkit, program_path, failure.reason());
  }
  if (!source) source = std::make_unique<scenery::FolderSource>(fs);

  scenery::InstallSettings settings;
  scenery::Wizard wizard(settings, *source, fs, toolkit);
  toolkit.set_event_handler(wizard);

  wizard.HandleEvent([&wizard] { wizard.Start(); });
  const int loop_code = toolkit.Run();
  toolkit.DestroyWindows();
  return wizard.ending() ? wizard.exit_code() : loop_code;
}
