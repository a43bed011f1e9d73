// Setup.exe: builds the platform objects and the settings record, runs the
// start-up sequence and the message loop, and ends with the wizard's exit
// code.
#include <windows.h>

#include <memory>
#include <string>

#include "engine/command_line.h"
#include "engine/install_log.h"
#include "engine/install_settings.h"
#include "engine/package_source.h"
#include "engine/packed_package.h"
#include "engine/paths.h"
#include "engine/removal.h"
#include "platform/win32/installation_lock.h"
#include "platform/win32/self_removal.h"
#include "platform/win32/system_libraries.h"
#include "platform/win32/win32_byte_file.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_program_list.h"
#include "platform/win32/win32_session.h"
#include "platform/win32/win32_toolkit.h"
#include "ui/removal_dialog.h"
#include "ui/report.h"
#include "ui/silent_install.h"
#include "ui/wizard.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before any library is loaded: none from the program's own folder.
  scenery::RestrictLibrarySearch();
  // A drive without a medium answers "not ready" instead of asking the user
  // to insert a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  scenery::InitThemedControls();
  scenery::Win32Toolkit toolkit(instance);
  scenery::Win32FileSystem fs;

  // What the program carries: a package, the record of an installation
  // (Uninstall.exe), or neither. Only the program's own file is read.
  std::unique_ptr<scenery::Win32ByteFile> program;
  std::string program_path;
  scenery::PackedLayout layout;
  scenery::PackedState state = scenery::PackedState::kNone;
  std::string why;
  scenery::ProgramImage image;
  try {
    program_path = scenery::ProgramPath();
    program = std::make_unique<scenery::Win32ByteFile>(program_path);
    scenery::PeFacts facts;
    if (scenery::ReadPeFacts(*program, &facts)) {
      image.image_end = facts.image_end;
      image.security_entry = facts.security_entry;
    }
    state = scenery::ReadPackedLayout(*program, &layout, &why);
  } catch (const scenery::Failure& failure) {
    state = scenery::PackedState::kDamaged;
    why = failure.reason();
  }
  const bool removal = state == scenery::PackedState::kPackage && layout.files.size() == 1 &&
                       layout.files[0].name == scenery::kRemovalRecordName;

  const std::string arguments = scenery::ArgumentsOf(GetCommandLineA());
  scenery::CommandLine line = scenery::ReadCommandLine(arguments, removal);
  scenery::Reporter reporter(toolkit, line.silent);
  reporter.set_removal(removal);
  // The log first, wherever /LOG= stands: a wrong call is logged too. A log
  // that cannot be opened is a wrong call of its own.
  std::unique_ptr<scenery::InstallLog> log;
  if (!line.log.empty()) {
    log = std::make_unique<scenery::InstallLog>(fs, line.log, &scenery::Win32Toolkit::LocalTime);
    const std::string log_fault = log->Open();
    if (log_fault.empty()) {
      reporter.set_log(log.get());
      log->Note(toolkit.ProgramNameAndVersion() + (removal ? ", removing" : ", installing") +
                (line.silent ? " without windows" : "") + ": " + program_path +
                (arguments.empty() ? "" : " " + arguments));
    } else {
      log.reset();
      if (line.fault.empty()) line.fault = "the log " + line.log + " cannot be written (" + log_fault + ")";
    }
  }
  auto finish = [&log](int code) {
    if (log) {
      log->Note("Exit code " + std::to_string(code));
      log->Flush();
    }
    return code;
  };
  if (!line.fault.empty()) {
    return finish(reporter.Tell(scenery::WrongCallText(line.fault, removal),
                                scenery::forms::Icon::kCritical, scenery::kExitWrongCall));
  }

  // Before anything else: a second Setup.exe touches no file.
  scenery::InstallationLock lock;
  if (!lock.held()) {
    if (!line.silent) scenery::Win32Toolkit::ShowOtherInstallation();
    return finish(reporter.Tell(scenery::AnotherRunsText(removal),
                                scenery::forms::Icon::kInformation, scenery::kExitAnotherRuns));
  }
  // A damaged package is refused before any window shows.
  if (state == scenery::PackedState::kDamaged || state == scenery::PackedState::kNewer) {
    return finish(reporter.Fail(
        scenery::DamagedPackageText(program_path, why, state == scenery::PackedState::kNewer)));
  }
  scenery::Win32ProgramList programs;
  scenery::Win32Session session;
  if (removal) {
    // Uninstall.exe: the program carries the record of an installation
    // instead of a package. It asks (unless /S), removes, and has itself
    // deleted once it has ended.
    return finish(reporter.Run([&] {
      scenery::CarriedSource carried(*program, layout, program_path);
      const scenery::RemovalRecord record = scenery::ReadRemovalRecord(
          carried.Read(scenery::kRemovalRecordName), scenery::WindowsFolder());
      const int code =
          scenery::RunRemoval(reporter, fs, programs, record, line.simulator, &session);
      // The program goes with its entry; one whose entry stays is kept.
      bool listed = false;
      for (const std::string& folder : programs.Folders()) {
        listed = listed || scenery::ComparableFolder(folder, "") ==
                               scenery::ComparableFolder(record.destination, "");
      }
      if ((code == scenery::kExitInstalled || code == scenery::kExitPartly) && !listed) {
        try {
          scenery::RetireRemovalProgram(
              program_path, scenery::RemovalProgramOf(programs.RemovalRoot(), record.destination));
        } catch (const scenery::Failure&) {
          // Where programs are kept is unknown: this file stays.
        }
      }
      return code;
    }));
  }

  // The package comes from the program itself when it carries one, else
  // from its folder.
  std::unique_ptr<scenery::PackageSource> source;
  std::string origin;
  if (state == scenery::PackedState::kPackage) {
    source = std::make_unique<scenery::CarriedSource>(*program, layout, program_path);
    image.image_end = layout.image_end;
    origin = "carried by " + program_path;
  } else {
    source = std::make_unique<scenery::FolderSource>(fs);
    origin = "from the folder " + program_path.substr(0, program_path.rfind('\\'));
  }
  // Every run ends by writing Uninstall.exe (this program's image) and the
  // entry in Windows' list of programs.
  image.file = program.get();
  const scenery::ProgramImage* removal_image = image.image_end != 0 ? &image : nullptr;
  if (line.silent) {
    return finish(reporter.Run([&] {
      return scenery::InstallSilently(reporter, *source, fs, line, removal_image, &programs, origin,
                                      &session);
    }));
  }

  scenery::InstallSettings settings;
  scenery::Wizard wizard(settings, *source, fs, toolkit);
  if (removal_image != nullptr) wizard.set_removal(image, programs);
  wizard.set_session(session);
  wizard.set_log(log.get(), origin);
  wizard.set_first_folders(line.destination, line.simulator);
  toolkit.set_event_handler(wizard);

  wizard.HandleEvent([&wizard] { wizard.Start(); });
  const int loop_code = toolkit.Run();
  toolkit.DestroyWindows();
  return finish(wizard.ending() ? wizard.exit_code() : loop_code);
}
