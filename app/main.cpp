// Setup.exe: builds the platform objects and the settings record, runs the
// start-up sequence and the message loop, and ends with the wizard's exit
// code.
#include <windows.h>

#include <memory>
#include <string>

#include "engine/install_settings.h"
#include "engine/package_source.h"
#include "engine/packed_package.h"
#include "engine/removal.h"
#include "platform/win32/installation_lock.h"
#include "platform/win32/self_removal.h"
#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_program_list.h"
#include "platform/win32/win32_toolkit.h"
#include "ui/removal_dialog.h"
#include "ui/wizard.h"

namespace {

// Uninstall.exe: the program carries the record of an installation instead
// of a package. It asks, removes, and has itself deleted once it has ended.
int Remove(scenery::Win32Toolkit& toolkit, scenery::FileSystem& fs, scenery::ByteFile& program,
           const scenery::PackedLayout& layout, const std::string& program_path) {
  scenery::RemovalRecord record;
  try {
    scenery::CarriedSource carried(program, layout, program_path);
    record = scenery::ReadRemovalRecord(carried.Read(scenery::kRemovalRecordName));
  } catch (const scenery::Failure& failure) {
    return scenery::ReportUnreadableRecord(toolkit, failure);
  }
  scenery::Win32ProgramList programs;
  const int code = scenery::RunRemoval(toolkit, fs, programs, record);
  if (code == scenery::kExitInstalled) scenery::RemoveAfterExit(program_path, record.destination);
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before any library is loaded: none from the program's own folder.
  scenery::RestrictLibrarySearch();
  // The copy that deletes Uninstall.exe after it has ended: no window.
  if (scenery::RunCleanupIfAsked(GetCommandLineA())) return 0;
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
  scenery::ProgramImage image;
  try {
    program_path = scenery::ProgramPath();
    program = std::make_unique<scenery::Win32ByteFile>(program_path);
    scenery::PackedLayout layout;
    std::string why;
    scenery::PeFacts facts;
    if (scenery::ReadPeFacts(*program, &facts)) {
      image.image_end = facts.image_end;
      image.security_entry = facts.security_entry;
    }
    switch (scenery::ReadPackedLayout(*program, &layout, &why)) {
      case scenery::PackedState::kDamaged:
        return scenery::ReportDamagedPackage(toolkit, program_path, why);
      case scenery::PackedState::kPackage:
        if (layout.files.size() == 1 && layout.files[0].name == scenery::kRemovalRecordName) {
          return Remove(toolkit, fs, *program, layout, program_path);
        }
        source = std::make_unique<scenery::CarriedSource>(*program, layout, program_path);
        image.image_end = layout.image_end;
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
  // Every run ends by writing Uninstall.exe (this program's image) and the
  // entry in Windows' list of programs.
  scenery::Win32ProgramList programs;
  image.file = program.get();
  if (image.image_end != 0) wizard.set_removal(image, programs);
  toolkit.set_event_handler(wizard);

  wizard.HandleEvent([&wizard] { wizard.Start(); });
  const int loop_code = toolkit.Run();
  toolkit.DestroyWindows();
  return wizard.ending() ? wizard.exit_code() : loop_code;
}
