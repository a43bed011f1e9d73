// Removal: the record that Uninstall.exe carries, the area taken out of
// scenery.cfg, and a removal that keeps what the user changed or added and
// what it cannot reach.
#include "engine/removal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <new>

#include "engine/crc32c.h"
#include "engine/installation.h"
#include "engine/package_source.h"
#include "engine/scenery_library.h"
#include "tests/support/fake_program.h"
#include "tests/support/headless_toolkit.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_program_list.h"
#include "tests/support/memory_session.h"
#include "tests/support/package_fixture.h"
#include "ui/removal_dialog.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

class Removal : public testing::Test {
 protected:
  Removal() : box_(MakeMemorySandbox(&fs_)) {
    LayOutPackage(*box_, settings_);
    settings_.install_title = "Harbour Island Scenery";
    const ProgramImage image{&program_, program_.Size(), 0};
    InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_);
  }
  std::string Uninstall() {
    return RemovalProgramOf(programs_.RemovalRoot(), settings_.target_dir);
  }
  // The record that the installation wrote, read as Uninstall.exe reads it.
  RemovalRecord Record() {
    MemoryByteFile uninstall(fs_->Contents(Uninstall()));
    PackedLayout layout;
    std::string why;
    EXPECT_EQ(ReadPackedLayout(uninstall, &layout, &why), PackedState::kPackage) << why;
    CarriedSource carried(uninstall, layout, "Uninstall.exe");
    return ReadRemovalRecord(carried.Read(kRemovalRecordName));
  }
  MemoryFileSystem* fs_ = nullptr;
  std::unique_ptr<Sandbox> box_;
  InstallSettings settings_;
  RecordingProgress progress_;
  MemoryByteFile program_{FakeProgram(1024)};
  MemoryProgramList programs_;
};

TEST_F(Removal, TakesAwayWhatWasInstalledAndNothingElse) {
  const std::string dest = settings_.target_dir;
  ASSERT_EQ(programs_.entries.size(), 1u);
  const ProgramEntry& entry = programs_.entries.begin()->second;
  EXPECT_EQ(entry.display_name, "Harbour Island Scenery");
  // Uninstall.exe, the program's image followed by the record, lies in a
  // protected folder of its own, below the protected root.
  EXPECT_EQ(entry.uninstall_exe,
            "C:\\Program Files\\Scenery Setup\\" + ProgramKeyOf(dest) + "\\Uninstall.exe");
  EXPECT_EQ(fs_->Contents(entry.uninstall_exe).compare(0, 1024, program_.bytes()), 0);
  EXPECT_TRUE(fs_->IsProtected("C:\\Program Files\\Scenery Setup"));
  EXPECT_TRUE(fs_->IsProtected(ParentFolder(entry.uninstall_exe)));
  EXPECT_FALSE(fs_->Has(dest + "\\Uninstall.exe"));
  const RemovalRecord record = Record();
  EXPECT_EQ(record.destination, dest);
  EXPECT_EQ(record.files.size(), 6u);
  EXPECT_EQ(record.folders, (std::vector<std::string>{"", "Scenery", "Texture"}));
  // Its size in the list of programs: the files, the image and the record, rounded up.
  std::uint64_t bytes = 1024 + WriteRemovalRecord(record).size();
  for (const RemovalRecord::File& file : record.files) bytes += file.size;
  EXPECT_EQ(entry.size_kib, (bytes + 1023) / 1024);

  // Files larger than one piece of the check are checked whole.
  std::string large(200000, 'L'), changed_at_end = large;
  changed_at_end.back() = 'X';
  fs_->AddFile(dest + "\\Texture\\large.bmp", large);
  fs_->AddFile(dest + "\\Texture\\large2.bmp", changed_at_end);
  RemovalRecord with_large = record;
  for (const char* name : {"Texture\\large.bmp", "Texture\\large2.bmp"}) {
    with_large.files.push_back({name, large.size(), Crc32c(0, large.data(), large.size())});
  }
  fs_->AddFile(dest + "\\Texture\\mine.bmp", "the user's own texture");
  fs_->AddFile(dest + "\\Texture\\water.bmp", "BM WATER");  // the same size, repainted
  fs_->AddFile(box_->root() + "\\Scenery\\other.txt", "beside the destination");
  const RemovalResult result = RemoveInstallation(*fs_, programs_, with_large);
  EXPECT_TRUE(result.area_removed);
  EXPECT_EQ(result.changed, (std::vector<std::string>{dest + "\\Texture\\water.bmp",
                                                      dest + "\\Texture\\large2.bmp"}));
  EXPECT_EQ(fs_->Contents(settings_.cfg_path), SampleSceneryCfg());
  EXPECT_EQ(fs_->Contents(settings_.backup_path), SampleSceneryCfg() + AreaSection(3, settings_));
  EXPECT_TRUE(programs_.entries.empty());
  std::vector<std::string> left;
  for (const std::string& path : fs_->Listing()) {
    if (path.compare(0, dest.size(), dest) == 0) left.push_back(path.substr(dest.size()));
  }
  EXPECT_EQ(left, (std::vector<std::string>{"\\", "\\Texture\\", "\\Texture\\large2.bmp",
                                            "\\Texture\\mine.bmp", "\\Texture\\water.bmp"}));
  EXPECT_TRUE(fs_->Has(box_->root() + "\\Scenery\\other.txt"));
}

// Uninstall.exe made by a signed Setup.exe: the header's certificate entry is
// cleared (the signature is not carried), so that it reads as a program with
// a record, not a signed Setup.
TEST_F(Removal, UninstallExeOfASignedSetupListsNoCertificate) {
  std::string signed_setup = FakeProgram(1024) + std::string(64, 'S');
  MarkSigned(signed_setup, 64);
  MemoryByteFile file(signed_setup);
  PeFacts facts;
  ASSERT_TRUE(ReadPeFacts(file, &facts));
  ASSERT_NE(facts.security_entry, 0u);
  const ProgramImage image{&file, facts.image_end, facts.security_entry};
  InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_);
  const std::string uninstall = fs_->Contents(Uninstall());
  EXPECT_EQ(uninstall.substr(facts.security_entry, 8), std::string(8, '\0'));
  EXPECT_EQ(uninstall.compare(0, facts.security_entry, signed_setup, 0, facts.security_entry), 0);
  EXPECT_EQ(Record().files.size(), 6u);
}

// Uninstall.exe as the user meets it, through the one reporting boundary:
// asked with No as the default, a clean removal's closing box names nothing
// kept; an out-of-memory inside a removal ends in the error report and exit
// code 2, asked or silent.
TEST_F(Removal, AsksThenTellsAndReportsEveryFailure) {
  const RemovalRecord record = Record();
  HeadlessToolkit toolkit;
  toolkit.answers = {forms::Answer::kNo};
  Reporter asking(toolkit, false);
  auto remove = [&](Reporter& reporter) {
    return reporter.Run([&] { return RunRemoval(reporter, *fs_, programs_, record); });
  };
  EXPECT_EQ(remove(asking), kExitCancelled);
  ASSERT_EQ(toolkit.asked.size(), 1u);
  EXPECT_EQ(toolkit.asked[0].default_button, 2);
  EXPECT_EQ(toolkit.asked[0].title, "Harbour Island Scenery");
  // The simulator runs from its folder: Cancel removes nothing; without
  // windows, the removal fails.
  MemorySession session;
  session.running = {box_->root() + "\\FS2000\\FS2000.EXE"};
  const std::string installed = fs_->Contents(settings_.cfg_path);
  for (bool silent : {false, true}) {
    toolkit.asked.clear();
    toolkit.answers = {forms::Answer::kYes, forms::Answer::kCancel};
    Reporter reporter(toolkit, silent);
    EXPECT_EQ(
        reporter.Run([&] { return RunRemoval(reporter, *fs_, programs_, record, "", &session); }),
        silent ? kExitFailed : kExitCancelled);
    EXPECT_EQ(toolkit.asked.size(), silent ? 0u : 2u);
    if (!silent) {
      EXPECT_EQ(toolkit.asked[1].buttons, forms::Buttons::kRetryCancel);
      EXPECT_NE(toolkit.asked[1].text.find("before Setup takes the scenery out of its library"),
                std::string::npos);
    }
    EXPECT_EQ(fs_->Contents(settings_.cfg_path), installed);
  }

  for (bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "silent" : "asking");
    fs_->OnNth(FsCall::kRemoveIf, 1, [] { throw std::bad_alloc(); });  // the first file's check
    toolkit.asked.clear();
    toolkit.answers = {forms::Answer::kYes, forms::Answer::kOk};
    InstallLog log(*fs_, box_->root() + "\\removal.log", [] { return std::string("now"); });
    ASSERT_EQ(log.Open(), "");
    Reporter reporter(toolkit, silent);
    reporter.set_removal(true);
    reporter.set_log(&log);
    EXPECT_EQ(remove(reporter), kExitFailed);
    log.Flush();
    const std::string report = "The removal ran out of memory and has to stop.";
    EXPECT_NE(fs_->Contents(box_->root() + "\\removal.log").find("Error report:\r\n" +
              std::string(20, ' ') + report), std::string::npos);
    if (silent) {
      EXPECT_TRUE(toolkit.asked.empty());
    } else {
      ASSERT_EQ(toolkit.asked.size(), 2u);
      EXPECT_EQ(toolkit.asked[1].text, report);
      EXPECT_EQ(toolkit.asked[1].icon, forms::Icon::kCritical);
    }
  }
  toolkit.asked.clear();
  toolkit.answers = {forms::Answer::kYes, forms::Answer::kOk};
  EXPECT_EQ(remove(asking), kExitInstalled);
  ASSERT_EQ(toolkit.asked.size(), 2u);
  EXPECT_EQ(toolkit.asked[1].text.find("did not install"), std::string::npos) << toolkit.asked[1].text;
}

// What a removal says, and its exit code, for each thing that stays or is
// not where it was: the question first when the destination or scenery.cfg
// is not there, then the closing box, which is an information box only when
// nothing stayed; silent, the same goes to the log.
TEST_F(Removal, EveryBoxSaysWhatStayedAndWhy) {
  const RemovalRecord record = Record();
  const std::string dest = settings_.target_dir, cfg = settings_.cfg_path;
  const std::string water = dest + "\\Texture\\water.bmp", moved = box_->root() + "\\Moved";
  const auto installed = fs_->Listing();
  const struct {
    const char* what;
    std::function<void(MemoryFileSystem&, MemoryProgramList&)> before;
    std::string simulator;  // /FS=
    bool silent, yes;
    int code;
    std::string question, closing;  // parts of the texts ("" question: the usual one)
    bool cfg_changed, files_gone;
  } cases[] = {
      {"all gone", nullptr, "", false, true, kExitInstalled, "", " was removed from this computer.",
       true, true},
      {"changed", [&](MemoryFileSystem& fs, MemoryProgramList&) { fs.AddFile(water, "BM WATER"); },
       "", false, true, kExitInstalled, "", "changed after the installation:\r\n" + water, true,
       true},
      {"not deleted",
       [&](MemoryFileSystem& fs, MemoryProgramList&) {
         fs.FailNth(FsCall::kRemoveIf, 1, FailureKind::kAccessDenied);
       },
       "", false, true, kExitPartly, "",
       "could not be deleted:\r\n" + dest + "\\Scenery\\Harbour.bgl: Access is denied.", true,
       true},
      {"not found", [&](MemoryFileSystem& fs, MemoryProgramList&) { fs.Remove(ParentFolder(water)); }, "", false,
       true, kExitInstalled, "", "not found; they had been moved or deleted:\r\n" + water, true,
       true},
      {"the user's own",
       [&](MemoryFileSystem& fs, MemoryProgramList&) {
         fs.AddFile(dest + "\\Texture\\mine.bmp", "mine");
       },
       "", false, true, kExitInstalled, "",
       "These folders were kept:\r\n" + dest +
           "\\Texture: it holds files or folders that Setup did not install\r\n" + dest +
           ": it holds what was kept above",
       true, true},
      {"the entry stays",
       [&](MemoryFileSystem&, MemoryProgramList& programs) { programs.fail = true; }, "", false,
       true, kExitPartly, "",
       "Its entry in the list of programs could not be removed: Access is denied.", true, true},
      {"destination renamed", [&](MemoryFileSystem& fs, MemoryProgramList&) { fs.Remove(dest); },
       "", false, true, kExitInstalled, "Setup found no files of Harbour Island Scenery in " + dest,
       "No files were found in " + dest, true, true},
      {"destination renamed, No",
       [&](MemoryFileSystem& fs, MemoryProgramList&) { fs.Remove(dest); }, "", false, false,
       kExitCancelled, "it may have been renamed or deleted", "", false, true},
      {"simulator gone",
       [&](MemoryFileSystem& fs, MemoryProgramList&) { fs.Remove(ParentFolder(cfg)); }, "", false,
       true, kExitInstalled, "Setup could not find the FS 2000 scenery library " + cfg,
       "No scenery library was changed: " + cfg + " was not found.", false, true},
      {"simulator gone, No",
       [&](MemoryFileSystem& fs, MemoryProgramList&) { fs.Remove(ParentFolder(cfg)); }, "", false,
       false, kExitCancelled, "without changing any scenery library?", "", false, false},
      {"simulator gone, silent",
       [&](MemoryFileSystem& fs, MemoryProgramList&) { fs.Remove(ParentFolder(cfg)); }, "", true,
       true, kExitInstalled, "", "No scenery library was changed", false, true},
      {"simulator moved, silent /FS=",
       [&](MemoryFileSystem& fs, MemoryProgramList&) {
         fs.AddFile(moved + "\\scenery.cfg", fs.Contents(cfg));
         fs.Remove(ParentFolder(cfg));
       },
       moved, true, true, kExitInstalled, "", " was removed from this computer.", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFileSystem* fs = nullptr;
    auto box = MakeMemorySandbox(&fs);
    for (const std::string& path : installed) {
      if (path.back() == '\\')
        fs->AddFolder(path);
      else
        fs->AddFile(path, fs_->Contents(path));
    }
    MemoryProgramList programs = programs_;
    if (c.before) c.before(*fs, programs);
    HeadlessToolkit toolkit;
    toolkit.answers = {c.yes ? forms::Answer::kYes : forms::Answer::kNo, forms::Answer::kOk};
    InstallLog log(*fs, box_->root() + "\\removal.log", [] { return std::string("now"); });
    ASSERT_EQ(log.Open(), "");
    Reporter reporter(toolkit, c.silent);
    reporter.set_log(&log);
    EXPECT_EQ(RunRemoval(reporter, *fs, programs, record, c.simulator), c.code);
    log.Flush();
    const std::string logged = fs->Contents(box_->root() + "\\removal.log");
    if (c.silent) {
      EXPECT_TRUE(toolkit.asked.empty());
      EXPECT_NE(logged.find(c.closing), std::string::npos) << logged;
    } else {
      ASSERT_EQ(toolkit.asked.size(), c.yes ? 2u : 1u);
      EXPECT_NE(
          toolkit.asked[0].text.find(c.question.empty() ? "Do you want to remove" : c.question),
          std::string::npos)
          << toolkit.asked[0].text;
      EXPECT_EQ(toolkit.asked[0].icon,
                c.question.empty() ? forms::Icon::kQuestion : forms::Icon::kExclamation);
      if (c.yes) {
        EXPECT_NE(toolkit.asked[1].text.find(c.closing), std::string::npos)
            << toolkit.asked[1].text;
        EXPECT_EQ(toolkit.asked[1].icon, std::string(c.what) == "all gone"
                                             ? forms::Icon::kInformation
                                             : forms::Icon::kExclamation);
      }
    }
    const std::string library = fs->Contents(c.simulator.empty() ? cfg : moved + "\\scenery.cfg");
    if (!library.empty()) {
      EXPECT_EQ(library != fs_->Contents(cfg), c.cfg_changed || !c.simulator.empty());
    }
    EXPECT_EQ(!fs->Has(dest + "\\Scenery\\Runway.BGL"), c.files_gone) << c.what;
  }
  // /FS= naming a folder without scenery.cfg removes nothing.
  HeadlessToolkit toolkit;
  Reporter silent(toolkit, true);
  EXPECT_THROW(RunRemoval(silent, *fs_, programs_, record, moved), Failure);
  EXPECT_TRUE(fs_->Has(dest + "\\Scenery\\Runway.BGL"));
}

// A read-only scenery.cfg at removal: the advice is how to clear it, not to
// close the simulator; nothing is removed.
TEST_F(Removal, AReadOnlyLibraryIsSaidAsSuch) {
  fs_->SetReadOnly(settings_.cfg_path, true);
  try {
    RemoveInstallation(*fs_, programs_, Record());
    FAIL() << "a read-only scenery.cfg was replaced";
  } catch (const Failure& failure) {
    EXPECT_NE(failure.Message().find("scenery.cfg is read-only"), std::string::npos);
    EXPECT_EQ(failure.Message().find("in use"), std::string::npos) << failure.Message();
  }
  EXPECT_TRUE(fs_->Has(settings_.target_dir + "\\Scenery\\Harbour.bgl"));
}

// An update over an installation that kept Uninstall.exe in the destination
// (an earlier version of Setup did) finds it, and deletes it: anyone who may
// write the destination could replace it. An Uninstall.exe there that is
// not the destination's own stays.
TEST_F(Removal, AnUpdateTakesTheOldRemovalProgramOutOfTheDestination) {
  const std::string dest = settings_.target_dir, old_place = dest + "\\Uninstall.exe";
  const std::string program = fs_->Contents(Uninstall());
  for (bool ours : {true, false}) {
    SCOPED_TRACE(ours ? "its own" : "another folder's");
    fs_->Remove(ParentFolder(Uninstall()));
    fs_->AddFile(old_place, program);
    RemovalRecord earlier;
    const std::string folder = ours ? dest : dest + "\\Scenery";
    EXPECT_EQ(ReadEarlierInstallation(*fs_, programs_, folder, &earlier), ours);
    if (!ours) fs_->AddFile(dest + "\\Scenery\\Uninstall.exe", program);
    InstallSettings again = settings_;
    again.target_dir = folder;
    const ProgramImage image{&program_, program_.Size(), 0};
    InstallPackage(*ProgramFolderPackage(*fs_), *fs_, again, progress_, &image, &programs_);
    EXPECT_NE(fs_->Has(folder + "\\Uninstall.exe"), ours);
    EXPECT_TRUE(ReadEarlierInstallation(*fs_, programs_, UpperAscii(folder) + "\\", &earlier));
    EXPECT_EQ(earlier.destination, folder);
    for (const std::string& path : fs_->Listing())
      EXPECT_EQ(path.find("~sc"), std::string::npos) << path;
  }
}

// An update over the earlier installation forgets nothing the earlier run
// wrote and leaves no file of the earlier version: the record keeps the
// files still as the earlier run wrote them and the folders of both runs
// (those above the destination too); the files that the new version no
// longer installs go, unless the user changed them, and stay when the
// update fails.
TEST_F(Removal, AnUpdateForgetsNothingAndLeavesNoOldFile) {
  const std::string pkg = box_->program_folder(), dest = settings_.target_dir;
  fs_->Remove(pkg + "\\grass.r8");
  fs_->Remove(pkg + "\\water.bmp");
  fs_->RenameFile(pkg + "\\Runway.BGL", pkg + "\\Runway2.bgl");
  fs_->AddFile(pkg + "\\Tower.bgl", "BGL tower");
  fs_->AddFile(pkg + "\\sand.bmp", "BM sand");
  fs_->AddFile(dest + "\\Texture\\water.bmp", "BM WATER");  // repainted
  const ProgramImage image{&program_, program_.Size(), 0};
  programs_.fail = true;
  EXPECT_THROW(
      InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_),
      Failure);
  EXPECT_EQ(fs_->Contents(dest + "\\Texture\\grass.r8"), "R8 grass");
  EXPECT_EQ(Record().files.size(), 6u);
  programs_.fail = false;
  InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_);
  const RemovalRecord record = Record();
  std::vector<std::string> names;
  for (const RemovalRecord::File& file : record.files) names.push_back(file.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"License.txt", "ReadMe.txt", "Scenery\\Harbour.bgl",
                                             "Scenery\\Runway2.bgl", "Scenery\\Tower.bgl",
                                             "Texture\\sand.bmp"}));
  EXPECT_FALSE(fs_->Has(dest + "\\Texture\\grass.r8"));
  EXPECT_FALSE(fs_->Has(dest + "\\Scenery\\Runway.BGL"));
  EXPECT_EQ(fs_->Contents(dest + "\\Texture\\water.bmp"), "BM WATER");
  EXPECT_EQ(record.folders, (std::vector<std::string>{"", "Scenery", "Texture"}));
  EXPECT_EQ(record.above, std::vector<std::string>{box_->root() + "\\Scenery"});

  // Into a folder three levels below what exists: the levels above it are
  // recorded, and go with it when empty.
  InstallSettings deep = settings_;
  deep.target_dir = box_->root() + "\\New\\Deep\\Harbour";
  InstallPackage(*ProgramFolderPackage(*fs_), *fs_, deep, progress_, &image, &programs_);
  RemovalRecord deep_record;
  ASSERT_TRUE(ReadEarlierInstallation(*fs_, programs_, deep.target_dir, &deep_record));
  EXPECT_EQ(deep_record.above,
            (std::vector<std::string>{box_->root() + "\\New", box_->root() + "\\New\\Deep"}));
  RemoveInstallation(*fs_, programs_, deep_record);
  EXPECT_FALSE(fs_->Has(box_->root() + "\\New"));
  EXPECT_TRUE(fs_->Has(dest + "\\Scenery\\Tower.bgl"));
}

// Nothing outside the destination is deleted, whatever link is put where,
// before the removal or while it runs. Outside, the link's target holds the
// same files, as another installation of the scenery would.
TEST_F(Removal, NoLinkIsFollowedNotEvenOneSwappedIn) {
  RemovalRecord record = Record();
  const std::string dest = settings_.target_dir, outside = box_->root() + "\\Outside";
  // A file two folders down: nothing below a link is reached through it.
  fs_->AddFile(dest + "\\Texture\\Night\\lights.bmp", "BM lights");
  record.files.push_back({"Texture\\Night\\lights.bmp", 9, Crc32c(0, "BM lights", 9)});
  for (const RemovalRecord::File& file : record.files) {
    fs_->AddFile(outside + "\\" + file.name, fs_->Contents(dest + "\\" + file.name));
  }
  const std::string bgl = dest + "\\Scenery\\Harbour.bgl", textures = dest + "\\Texture";
  const struct {
    const char* what;
    std::function<void(MemoryFileSystem&)> before;  // before the removal
    int nth_file;                                   // a swap as the nth file is taken
    std::string swapped, target;                    // ... of this entry for a link
    bool swap_refused;
    std::size_t linked, deleted;
  } cases[] = {
      {"a folder made a link before",
       [&](MemoryFileSystem& fs) { fs.ReplaceWithLink(textures, outside + "\\Texture"); }, 0, "",
       "", false, 3, 4},
      {"the destination a link", [&](MemoryFileSystem& fs) { fs.ReplaceWithLink(dest, outside); },
       0, "", "", false, 0, 0},
      {"a held folder swapped", nullptr, 2, dest + "\\Scenery", outside + "\\Scenery", true, 0, 7},
      {"the destination swapped", nullptr, 3, dest, outside, true, 0, 7},
      {"a file swapped", nullptr, 1, bgl, outside + "\\Scenery", false, 1, 6},
      {"a folder above swapped", nullptr, 2, ParentFolder(dest), outside, true, 0, 7},
  };
  const auto installed = fs_->Listing();
  auto copy_of_installed = [&](MemoryFileSystem** fs) {
    auto box = MakeMemorySandbox(fs);
    for (const std::string& path : installed) {
      if (path.back() == '\\')
        (*fs)->AddFolder(path);
      else
        (*fs)->AddFile(path, fs_->Contents(path));
    }
    return box;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFileSystem* fs = nullptr;
    auto box = copy_of_installed(&fs);
    if (c.before) c.before(*fs);
    bool swapped = false;
    if (c.nth_file > 0) {
      fs->OnNth(FsCall::kRemoveIf, c.nth_file,
                [&] { swapped = fs->ReplaceWithLink(c.swapped, c.target); });
    }
    MemoryProgramList programs = programs_;
    const RemovalResult result = RemoveInstallation(*fs, programs, record);
    EXPECT_EQ(swapped, c.nth_file > 0 && !c.swap_refused);
    EXPECT_EQ(result.linked.size(), c.linked);
    EXPECT_EQ(result.destination_linked, std::string(c.what) == "the destination a link");
    std::size_t deleted = 0;
    for (const RemovalRecord::File& file : record.files) {
      EXPECT_EQ(fs->Contents(outside + "\\" + file.name), fs_->Contents(dest + "\\" + file.name))
          << file.name;
      deleted += !fs->Has(dest + "\\" + file.name);
    }
    EXPECT_EQ(deleted, c.deleted);
  }
  // The closing box says why the files stayed.
  MemoryFileSystem* fs = nullptr;
  auto box = copy_of_installed(&fs);
  fs->ReplaceWithLink(dest, outside);
  HeadlessToolkit toolkit;
  toolkit.answers = {forms::Answer::kYes, forms::Answer::kOk};
  Reporter reporter(toolkit, false);
  MemoryProgramList programs = programs_;
  EXPECT_EQ(RunRemoval(reporter, *fs, programs, record), kExitPartly);
  ASSERT_EQ(toolkit.asked.size(), 2u);
  EXPECT_NE(toolkit.asked[1].text.find(dest + " is a link to another folder"), std::string::npos);
  EXPECT_EQ(toolkit.asked[1].icon, forms::Icon::kExclamation);
}

// Each call of a removal failing in each way: a failure before scenery.cfg
// is replaced removes nothing at all; after it, the removal goes on and
// names what it could not delete. scenery.cfg is never half-written.
TEST_F(Removal, EveryCallFailingInEveryWay) {
  const RemovalRecord record = Record();
  const std::map<std::string, std::string> installed = [&] {
    std::map<std::string, std::string> disk;
    for (const std::string& path : fs_->Listing()) disk[path] = fs_->Contents(path);
    return disk;
  }();
  // A new file system holding the installed disk.
  auto copy_of_installed = [&installed](MemoryFileSystem** fs) {
    auto box = MakeMemorySandbox(fs);
    for (const auto& entry : installed) {
      if (entry.first.back() == '\\') {
        (*fs)->AddFolder(entry.first);
      } else {
        (*fs)->AddFile(entry.first, entry.second);
      }
    }
    (*fs)->ClearCalls();
    return box;
  };
  MemoryProgramList learn_programs = programs_;
  // The calls of one removal, learnt on a copy of the installed disk.
  MemoryFileSystem* learn_fs = nullptr;
  auto learn_box = copy_of_installed(&learn_fs);
  RemoveInstallation(*learn_fs, learn_programs, record);
  std::map<FsCall, int> seen;
  int cases = 0;
  for (const RecordedCall& step : learn_fs->calls()) {
    const int nth = ++seen[step.call];
    for (FailureKind kind : {FailureKind::kAccessDenied, FailureKind::kInUse}) {
      SCOPED_TRACE(std::string(FsCallName(step.call)) + " #" + std::to_string(nth) + " on " +
                   step.path);
      MemoryFileSystem* fs = nullptr;
      auto run_box = copy_of_installed(&fs);
      MemoryProgramList programs = programs_;
      fs->FailNth(step.call, nth, kind);
      ++cases;
      try {
        const RemovalResult result = RemoveInstallation(*fs, programs, record);
        EXPECT_EQ(fs->Contents(settings_.cfg_path), SampleSceneryCfg());
        for (const RemovalRecord::File& file : record.files) {
          const std::string path = settings_.target_dir + "\\" + file.name;
          bool named = false;
          for (const NotDeleted& file : result.failed) named |= file.path == path;
          EXPECT_TRUE(!fs->Has(path) || named) << path << " stayed unsaid";
        }
      } catch (const Failure& failure) {
        EXPECT_NE(failure.Message().find("Nothing was removed"), std::string::npos);
        for (const auto& entry : installed) {
          if (entry.first == settings_.backup_path) continue;  // written first
          EXPECT_TRUE(fs->Has(entry.first)) << entry.first;
          EXPECT_EQ(fs->Contents(entry.first), entry.second) << entry.first;
        }
        EXPECT_EQ(programs.entries.size(), 1u);
      }
      for (const std::string& path : fs->Listing()) {
        EXPECT_EQ(path.find("~sc"), std::string::npos) << "a spare file stayed: " << path;
      }
    }
  }
  EXPECT_GT(cases, 40);
}

// An update: the pages first propose the folders of the earlier
// installation of the same package (InstallTitle and SceneryTitle) that the
// list of programs names, while its Uninstall.exe is there. Another package
// of the same author, with the same InstallTitle, is another package.
TEST_F(Removal, AnUpdateProposesTheEarlierFolders) {
  auto proposals = [&](const std::string& title, const std::string& area,
                       const std::string& typed) {
    fs_->AddFile(box_->program_folder() + "\\Setup.ini",
                 (title.empty() ? "" : "InstallTitle=" + title + "\r\n") + "SceneryTitle=" + area +
                     "\r\nTargetPath=C:\\Elsewhere\r\nGuessFSFolder=C:\\Nowhere\r\n");
    InstallSettings settings;
    HeadlessToolkit toolkit;
    FolderSource source(*fs_);
    Wizard wizard(settings, source, *fs_, toolkit);
    wizard.set_removal(ProgramImage{&program_, program_.Size(), 0}, programs_);
    wizard.set_first_folders(typed, "");
    wizard.HandleEvent([&] { wizard.Start(); });
    wizard.GoTo(wizard.destination());
    return settings.target_path + "|" + settings.guess_fs_folder;
  };
  const std::string title = "Harbour Island Scenery", area = "Harbour Island";
  const std::string simulator = box_->root() + "\\FS2000", none = "C:\\Elsewhere|C:\\Nowhere";
  EXPECT_EQ(proposals(title, area, ""), settings_.target_dir + "|" + simulator);
  // A folder given with /D= comes first.
  EXPECT_EQ(proposals(title, area, "C:\\Typed"), "C:\\Typed|" + simulator);
  // Another package of the author, or one without InstallTitle.
  EXPECT_EQ(proposals(title, "Harbour Lighthouse", ""), none);
  EXPECT_EQ(proposals("", area, ""), none);
  // An entry before it whose Uninstall.exe is gone does not hide it.
  ProgramEntry stale = programs_.entries.begin()->second;
  stale.destination = "C:\\Gone";
  programs_.entries[" stale"] = stale;
  EXPECT_EQ(proposals(title, area, ""), settings_.target_dir + "|" + simulator);
  // Another folder for the same package: the destination page asks, No
  // the default, and No keeps the page.
  fs_->AddFile(box_->program_folder() + "\\Setup.ini",
               "InstallTitle=" + title + "\r\nSceneryTitle=" + area + "\r\n");
  InstallSettings settings;
  HeadlessToolkit toolkit;
  toolkit.answers = {forms::Answer::kNo};
  FolderSource source(*fs_);
  Wizard wizard(settings, source, *fs_, toolkit);
  wizard.set_removal(ProgramImage{&program_, program_.Size(), 0}, programs_);
  wizard.HandleEvent([&] { wizard.Start(); });
  wizard.GoTo(wizard.destination());
  wizard.HandleEvent([&] {
    wizard.destination().path_text.SetText("C:\\Second");
    wizard.destination().next.Click();
  });
  ASSERT_EQ(toolkit.asked.size(), 1u);
  EXPECT_EQ(toolkit.asked[0].text,
            "Harbour Island Scenery (its area: Harbour Island) is already installed in " +
                settings_.target_dir +
                ".\r\n\r\nDo you want to install a second copy "
                "into C:\\Second? FS 2000 would show both.");
  EXPECT_EQ(toolkit.asked[0].icon, forms::Icon::kExclamation);
  EXPECT_EQ(toolkit.asked[0].default_button, 2);
  EXPECT_EQ(settings.target_dir, "");
  // The earlier installation's own folder: an update, asked nothing.
  wizard.HandleEvent([&] {
    wizard.destination().path_text.SetText(settings_.target_dir);
    wizard.destination().next.Click();
  });
  EXPECT_EQ(toolkit.asked.size(), 1u);
  EXPECT_EQ(settings.target_dir, settings_.target_dir);
  fs_->Remove(Uninstall());
  EXPECT_EQ(proposals(title, area, ""), none);
}

// The copy of scenery.cfg that Windows gives the simulator in its place
// (the desktop user's VirtualStore): one that FS 2000 wrote after the
// installation loses the area at the removal; one there at the
// installation gets the area too, numbered after its own areas, with its
// own backup, and is recorded, so that it loses the area whoever removes.
// A copy that cannot be written fails the run with both as they were.
TEST_F(Removal, TheLibraryCopyOfTheUserGetsTheAreaAndLosesIt) {
  MemorySession session;
  const std::string copy = VirtualStoreCopyOf(settings_.cfg_path, session.virtual_store, "C:");
  EXPECT_EQ(copy, session.virtual_store + "\\sandbox\\FS2000\\scenery.cfg");
  EXPECT_EQ(VirtualStoreCopyOf("D:\\FS2000\\scenery.cfg", session.virtual_store, "C:"), "");
  EXPECT_EQ(VirtualStoreCopyOf("c" + settings_.cfg_path.substr(1), session.virtual_store, "C:"),
            copy);
  EXPECT_EQ(FindLibraryCopy(*fs_, session, settings_.cfg_path), "");
  fs_->AddFile(copy, fs_->Contents(settings_.cfg_path));
  HeadlessToolkit toolkit;
  Reporter silent(toolkit, true);
  auto remove = [&](MemorySession& in) {
    const RemovalRecord record = Record();
    return silent.Run([&] { return RunRemoval(silent, *fs_, programs_, record, "", &in); });
  };
  EXPECT_EQ(remove(session), kExitInstalled);
  EXPECT_EQ(fs_->Contents(settings_.cfg_path), SampleSceneryCfg());
  EXPECT_EQ(fs_->Contents(copy), SampleSceneryCfg());

  const std::string own = SampleSceneryCfg() + "[Area.007]\r\nLocal=D:\\Mine\r\nLayer=7\r\n";
  fs_->AddFile(copy, own);
  settings_.cfg_copy_path = FindLibraryCopy(*fs_, session, settings_.cfg_path);
  const ProgramImage image{&program_, program_.Size(), 0};
  InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_);
  EXPECT_EQ(fs_->Contents(settings_.cfg_path), SampleSceneryCfg() + AreaSection(3, settings_));
  EXPECT_EQ(fs_->Contents(copy), own + AreaSection(8, settings_));
  EXPECT_EQ(fs_->Contents(ParentFolder(copy) + "\\scenery.bak"), own);
  EXPECT_EQ(Record().cfg_copies, std::vector<std::string>{copy});
  MemorySession another_user;
  another_user.virtual_store = "C:\\Users\\Admin\\AppData\\Local\\VirtualStore";
  EXPECT_EQ(remove(another_user), kExitInstalled);
  EXPECT_EQ(fs_->Contents(settings_.cfg_path), SampleSceneryCfg());
  EXPECT_EQ(fs_->Contents(copy), own);

  // An area for the folder already in one library: that one stays as it is.
  const std::string registered = own + AreaSection(9, settings_);
  fs_->AddFile(copy, registered);
  fs_->Remove(ParentFolder(copy) + "\\scenery.bak");
  InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_);
  EXPECT_EQ(fs_->Contents(copy), registered);
  EXPECT_FALSE(fs_->Has(ParentFolder(copy) + "\\scenery.bak"));
  EXPECT_EQ(fs_->Contents(settings_.cfg_path), SampleSceneryCfg() + AreaSection(3, settings_));
  // A repair by a user who has no copy keeps the recorded one; the removal
  // changes it once, its backup the copy as it was.
  InstallSettings repair = settings_;
  repair.cfg_copy_path.clear();
  InstallPackage(*ProgramFolderPackage(*fs_), *fs_, repair, progress_, &image, &programs_);
  EXPECT_EQ(Record().cfg_copies, std::vector<std::string>{copy});
  EXPECT_EQ(remove(session), kExitInstalled);
  EXPECT_EQ(fs_->Contents(ParentFolder(copy) + "\\scenery.bak"), registered);

  // The copy cannot be written at the removal: scenery.cfg gets its area back.
  fs_->AddFile(copy, own);
  InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_);
  const std::string installed = fs_->Contents(settings_.cfg_path);
  fs_->FailNth(FsCall::kReplaceContents, 2, FailureKind::kAccessDenied);
  EXPECT_EQ(remove(session), kExitFailed);
  EXPECT_EQ(fs_->Contents(settings_.cfg_path), installed);
  EXPECT_EQ(fs_->Contents(copy), own + AreaSection(8, settings_));
  EXPECT_EQ(remove(session), kExitInstalled);

  // A copy whose areas leave no number is refused before anything is copied.
  fs_->AddFile(copy, "[Area.2147483647]\r\n");
  EXPECT_THROW(CheckSceneryLibrary(*fs_, settings_), Failure);

  // Read-only, or held open by the simulator: the run fails, undone.
  for (bool read_only : {true, false}) {
    fs_->AddFile(copy, own);
    fs_->SetReadOnly(copy, read_only);
    if (!read_only) fs_->FailNth(FsCall::kReplaceContents, 2, FailureKind::kInUse);
    try {
      InstallPackage(*ProgramFolderPackage(*fs_), *fs_, settings_, progress_, &image, &programs_);
      ADD_FAILURE() << "the copy was not refused";
    } catch (const Failure& failure) {
      EXPECT_NE(failure.Message().find(read_only ? "scenery.cfg in the folder " + ParentFolder(copy)
                                                 : std::string("Please close FS 2000")),
                std::string::npos)
          << failure.Message();
    }
    EXPECT_EQ(fs_->Contents(settings_.cfg_path), SampleSceneryCfg());
    EXPECT_EQ(fs_->Contents(copy), own);
    fs_->SetReadOnly(copy, false);
  }
}

TEST(RemovalLibrary, OnlyTheAreaOfTheFolderGoes) {
  const std::string head = "; the user's notes\r\n[General]\r\nTitle=World\r\n\r\n";
  const std::string before = "[Area.001]\r\nLocal=Scenery\\World\r\nLayer=1\r\n\r\n";
  const std::string after = "[Area.007]\r\nTitle=Other\r\nLocal=C:\\Other\r\n\r\n";
  const struct {
    std::string ours;  // the area as the user may have left it
    bool found;
  } cases[] = {
      {"[Area.003]\r\nTitle=Harbour\r\nLocal=C:\\Addon\\Harbour\r\nLayer=3\r\n\r\n", true},
      {"[Area.003]\r\nTitle=Harbour [v2]\r\nLocal=C:\\Addon\\Harbour\r\n\r\n", true},
      {"[Area.012]\r\nTitle=Renumbered\r\nLayer=12\r\nlocal = c:\\addon\\harbour\\\r\n", true},
      {"[Area.004]\r\nLocal=Addon\\Harbour\r\nLayer=4\r\n", true},  // relative to the simulator
      {"", false},                                                   // taken out by the user
      {"[Area.005]\r\nLocal=C:\\Addon\\Harbour2\r\n", false},
  };
  for (const auto& c : cases) {
    bool found = false;
    const std::string bytes = head + before + c.ours + after;
    EXPECT_EQ(WithoutArea(bytes, "C:\\Addon\\Harbour", "C:", &found),
              c.found ? head + before + after : bytes)
        << c.ours;
    EXPECT_EQ(found, c.found) << c.ours;
  }
}

TEST(RemovalRecordReader, RefusesWhatIsDamagedOrLeadsOutside) {
  RemovalRecord record;
  record.title = "Harbour";
  record.destination = "C:\\Addon\\Harbour";
  record.cfg_path = "C:\\FS2000\\scenery.cfg";
  record.backup_cfg = "scenery.bak";
  record.folders = {"", "Scenery"};
  record.files = {{"Scenery\\a.bgl", 12, 0xDEADBEEF}};
  const std::string good = WriteRemovalRecord(record);
  const RemovalRecord back = ReadRemovalRecord(good);
  EXPECT_EQ(back.files[0].name, "Scenery\\a.bgl");
  EXPECT_EQ(back.files[0].crc, 0xDEADBEEFu);
  EXPECT_EQ(back.folders, record.folders);
  for (const std::string& bad :
       {good.substr(0, good.size() - 1), good + "File=..\\x.bgl|1|0\r\n",
        good + "File=C:\\x.bgl|1|0\r\n", good + "File=\\x.bgl|1|0\r\n",
        good + "Folder=Scenery\\..\r\n", good + "File=a.bgl|1|xyz\r\n",
        good + "File=a.bgl|12\r\n", good + "Mystery=1\r\n", std::string("SceneryRemoval=2\r\n"),
        good + "Destination=Addon\\Harbour\r\n",
        std::string()}) {
    EXPECT_THROW(ReadRemovalRecord(bad), Failure) << bad;
  }
  // A destination that the elevated removal must never delete below.
  for (const char* destination : {"C:\\", "\\\\srv\\share\\", "C:\\Addon\\..\\Windows",
                                  "C:\\Addon\\.", "c:\\windows\\fonts"}) {
    EXPECT_THROW(ReadRemovalRecord(good + "Destination=" + destination + "\r\n", "C:\\Windows"), Failure)
        << destination;
  }
  // Folders above the destination: only those that hold it, never a root,
  // nor the simulator's folder or one that holds it.
  for (const char* above :
       {"C:\\", "C:\\Other", "C:\\Addon\\Harbour", "Addon", "C:\\Addon\\..\\Addon"}) {
    EXPECT_THROW(ReadRemovalRecord(good + "Above=" + above + "\r\n"), Failure) << above;
  }
  for (const char* simulator : {"C:\\Addon", "C:\\Addon\\FS2000"}) {  // held by the folder
    EXPECT_THROW(ReadRemovalRecord(good + "SceneryCfg=" + simulator + "\\scenery.cfg\r\nAbove=C:\\Addon\r\n"),
                 Failure);
  }
  // One inside the simulator's folder is one: "Addon Scenery" made for the destination.
  EXPECT_EQ(ReadRemovalRecord(good + "Destination=C:\\FS2000\\Addon Scenery\\Harbour\r\n"
                                     "Above=C:\\FS2000\\Addon Scenery\r\n").above.size(), 1u);
  EXPECT_EQ(ReadRemovalRecord(good + "Above=c:\\addon\\\r\n").above,
            std::vector<std::string>{"c:\\addon\\"});
  EXPECT_EQ(ReadRemovalRecord(good + "Destination=C:\\Addon\\\\Harbour\\\r\n", "C:\\Windows").destination,
            "C:\\Addon\\\\Harbour\\");
}

}  // namespace
}  // namespace scenery
