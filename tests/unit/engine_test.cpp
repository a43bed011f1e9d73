// The installation engine: folder creation, the copy run and the scenery
// library registration, on every file system of the build.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/installation.h"
#include "engine/package_copy.h"
#include "engine/paths.h"
#include "engine/scenery_library.h"
#include "engine/target_folders.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/package_fixture.h"
#include "tests/support/sandbox_test.h"

namespace scenery {
namespace {

using Lines = std::vector<std::string>;

// ---- folder creation ----

class TargetFolders : public OnEachFileSystem {};

TEST_P(TargetFolders, MakesEveryMissingLevelThenTheTwoSubfolders) {
  CreateTargetFolders(fs(), root() + "\\A\\B");
  EXPECT_EQ(box().Tree(),
            (Lines{"A\\", "A\\B\\", "A\\B\\Scenery\\", "A\\B\\Texture\\", "pkg\\"}));
}

TEST_P(TargetFolders, HasNoDepthLimit) {
  std::string path = root();
  for (int level = 1; level <= 12; ++level) path += "\\L" + std::to_string(level);
  CreateTargetFolders(fs(), path);
  EXPECT_EQ(fs().Probe(path + "\\Scenery").kind, EntryKind::kFolder);
  EXPECT_EQ(fs().Probe(path + "\\Texture").kind, EntryKind::kFolder);
  EXPECT_EQ(box().Tree().size(), 15u);
}

TEST_P(TargetFolders, ExistingTreesHiddenFoldersAndTrailingBackslashes) {
  box().MakeFolders(root() + "\\Hidden\\Dest\\Scenery");
  box().SetHidden(root() + "\\Hidden");
  CreateTargetFolders(fs(), root() + "\\Hidden\\Dest\\");
  CreateTargetFolders(fs(), root() + "\\Hidden\\Dest");
  EXPECT_EQ(box().Tree(), (Lines{"Hidden\\", "Hidden\\Dest\\", "Hidden\\Dest\\Scenery\\",
                                 "Hidden\\Dest\\Texture\\", "pkg\\"}));
}

TEST_P(TargetFolders, AFileInTheWayIsReportedByName) {
  box().Write(root() + "\\Addon", "a file, not a folder");
  try {
    CreateTargetFolders(fs(), root() + "\\Addon\\Harbour");
    FAIL() << "made a folder below a file";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kAlreadyExists);
    EXPECT_EQ(failure.path(), root() + "\\Addon");
  }
}

INSTANTIATE_ON_EACH_FILE_SYSTEM(TargetFolders);

std::vector<std::string> MadeFolders(const MemoryFileSystem& fs) {
  std::vector<std::string> made;
  for (const RecordedCall& call : fs.calls()) {
    if (call.call == FsCall::kMakeFolder) made.push_back(call.path);
  }
  return made;
}

TEST(TargetFoldersOnDevices, MakesTopDownAndNothingThatExists) {
  MemoryFileSystem fs;
  CreateTargetFolders(fs, "C:\\Games\\FS2000\\Addon");
  EXPECT_EQ(MadeFolders(fs), (Lines{"C:\\Games", "C:\\Games\\FS2000", "C:\\Games\\FS2000\\Addon",
                                    "C:\\Games\\FS2000\\Addon\\Scenery",
                                    "C:\\Games\\FS2000\\Addon\\Texture"}));
  fs.ClearCalls();
  CreateTargetFolders(fs, "c:\\games\\fs2000\\addon");
  EXPECT_EQ(MadeFolders(fs), Lines{});
}

TEST(TargetFoldersOnDevices, DriveRootGetsItsSubfoldersOnly) {
  MemoryFileSystem fs;
  fs.AddDrive('D');
  CreateTargetFolders(fs, "D:\\");
  EXPECT_EQ(MadeFolders(fs), (Lines{"D:\\\\Scenery", "D:\\\\Texture"}));
  EXPECT_TRUE(fs.IsFolder("D:\\Scenery"));
}

TEST(TargetFoldersOnDevices, UncPathsNeverMakeServerOrShare) {
  MemoryFileSystem fs;
  fs.AddShare("\\\\hangar\\scenery");
  CreateTargetFolders(fs, "\\\\hangar\\scenery\\Addon\\Harbour");
  EXPECT_EQ(MadeFolders(fs),
            (Lines{"\\\\hangar\\scenery\\Addon", "\\\\hangar\\scenery\\Addon\\Harbour",
                   "\\\\hangar\\scenery\\Addon\\Harbour\\Scenery",
                   "\\\\hangar\\scenery\\Addon\\Harbour\\Texture"}));
}

TEST(TargetFoldersOnDevices, MissingDriveOrShareFailsWithTheFolderNamed) {
  MemoryFileSystem fs;
  for (const char* path : {"Q:\\Addon", "\\\\nowhere\\share\\Addon"}) {
    try {
      CreateTargetFolders(fs, path);
      ADD_FAILURE() << "made " << path;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind(), FailureKind::kNotFound);
      EXPECT_EQ(failure.path(), path);
      EXPECT_EQ(failure.operation(), "make the folder");
    }
  }
}

// ---- the copy run ----

class CopyRun : public OnEachFileSystem {
 protected:
  void SetUp() override {
    OnEachFileSystem::SetUp();
    LayOutPackage(box(), settings_);
  }
  InstallSettings settings_;
  RecordingProgress progress_;
};

TEST_P(CopyRun, CopiesThePackageIntoItsTree) {
  CopyPackageFiles(*ProgramFolderPackage(fs()), fs(), settings_, progress_);
  EXPECT_EQ(settings_.file_count, 4);
  const std::string h = "Scenery\\Harbour\\";
  Lines tree;
  for (const std::string& entry : box().Tree()) {
    if (entry.size() > h.size() && entry.compare(0, h.size(), h) == 0) tree.push_back(entry.substr(h.size()));
  }
  EXPECT_EQ(tree, (Lines{"License.txt", "ReadMe.txt", "Scenery\\", "Scenery\\Harbour.bgl",
                         "Scenery\\Runway.BGL", "Texture\\", "Texture\\grass.r8",
                         "Texture\\water.bmp"}));
  EXPECT_EQ(box().Read(root() + "\\Scenery\\Harbour\\Scenery\\Runway.BGL"), "BGL runway");
  EXPECT_EQ(box().Read(root() + "\\Scenery\\Harbour\\License.txt"), "Licence \xE9t\xE9\r\n");
  EXPECT_TRUE(box().NothingHolds(box().program_folder() + "\\Harbour.bgl"));
  EXPECT_TRUE(box().NothingHolds(root() + "\\Scenery\\Harbour\\Scenery\\Harbour.bgl"));
}

TEST_P(CopyRun, ReportsInOrder) {
  CopyPackageFiles(*ProgramFolderPackage(fs()), fs(), settings_, progress_);
  const Lines& e = progress_.events;
  ASSERT_EQ(e.size(), 7u);
  EXPECT_EQ(e[0], "starting");
  EXPECT_EQ(e[1], "progress 4");
  // Scenery files first (in the file system's order), then each extension.
  Lines scenery_files = {e[2], e[3]};
  std::sort(scenery_files.begin(), scenery_files.end());
  EXPECT_EQ(scenery_files, (Lines{"copied Harbour.bgl", "copied Runway.BGL"}));
  EXPECT_EQ(e[4], "copied water.bmp");
  EXPECT_EQ(e[5], "copied grass.r8");
  EXPECT_EQ(e[6], "finished");
}

TEST_P(CopyRun, RepeatedAndScenerySuffixesCountEachSlot) {
  settings_.extensions = {"bmp", "bgl", "bmp"};
  CountPackageFiles(*ProgramFolderPackage(fs()), settings_);
  EXPECT_EQ(settings_.file_count, 1 + 2 + 1 + 2);
  CopyPackageFiles(*ProgramFolderPackage(fs()), fs(), settings_, progress_);
  EXPECT_EQ(box().Read(settings_.target_dir + "\\Texture\\Harbour.bgl"), "BGL harbour");
  EXPECT_EQ(progress_.events.size(), 2u + 6u + 1u);
  settings_.extensions.clear();
  CountPackageFiles(*ProgramFolderPackage(fs()), settings_);
  EXPECT_EQ(settings_.file_count, 2);
}

TEST_P(CopyRun, ReplacesEarlierFilesWithoutAsking) {
  const std::string installed = settings_.target_dir + "\\Scenery\\Harbour.bgl";
  box().Write(installed, "an older version, longer");
  // Read-only in the destination (an earlier version from a CD): replaced all
  // the same; read-only in the package: installed without the attribute.
  box().SetReadOnly(installed);
  box().SetReadOnly(box().program_folder() + "\\ReadMe.txt");
  CopyPackageFiles(*ProgramFolderPackage(fs()), fs(), settings_, progress_);
  EXPECT_EQ(box().Read(installed), "BGL harbour");
  EXPECT_FALSE(fs().Probe(installed).read_only);
  EXPECT_FALSE(fs().Probe(settings_.target_dir + "\\ReadMe.txt").read_only);
}

TEST_P(CopyRun, IntoThePackageFolderItselfLeavesItsFilesInPlace) {
  // The same folder by another name: letter case and a doubled backslash.
  const std::string pkg = box().program_folder();
  settings_.target_dir = UpperAscii(pkg.substr(0, pkg.rfind('\\'))) + "\\\\" +
                         UpperAscii(pkg.substr(pkg.rfind('\\') + 1));
  CopyPackageFiles(*ProgramFolderPackage(fs()), fs(), settings_, progress_);
  EXPECT_EQ(progress_.events.back(), "finished");
  EXPECT_EQ(box().Read(pkg + "\\License.txt"), "Licence \xE9t\xE9\r\n");
  EXPECT_EQ(box().Read(pkg + "\\ReadMe.txt"), "Read me\r\n");
  EXPECT_EQ(box().Read(pkg + "\\Scenery\\Harbour.bgl"), "BGL harbour");
  EXPECT_EQ(box().Read(pkg + "\\Texture\\grass.r8"), "R8 grass");
}

INSTANTIATE_ON_EACH_FILE_SYSTEM(CopyRun);

TEST(CopyRunInPlace, ASubstitutedDriveNamesTheSameFiles) {
  MemoryFileSystem fs;
  fs.SetProgramFolder("C:\\Downloads\\Harbour");
  for (const char* name : {"Harbour.bgl", "License.txt", "ReadMe.txt"}) {
    fs.AddFile(std::string("C:\\Downloads\\Harbour\\") + name, name);
  }
  fs.AddSubstDrive('H', "C:\\Downloads");
  InstallSettings settings;
  settings.target_dir = "H:\\Harbour";
  RecordingProgress progress;
  CopyPackageFiles(*ProgramFolderPackage(fs), fs, settings, progress);
  EXPECT_EQ(progress.events, (Lines{"starting", "progress 1", "copied Harbour.bgl", "finished"}));
  EXPECT_EQ(fs.Contents("C:\\Downloads\\Harbour\\Scenery\\Harbour.bgl"), "Harbour.bgl");
  // Two folders that differ are no place of each other, whatever the names.
  EXPECT_FALSE(fs.IsSameEntry("H:\\Harbour", "C:\\Downloads"));
  EXPECT_TRUE(fs.IsSameEntry("h:\\harbour\\license.TXT", "C:\\Downloads\\Harbour\\License.txt"));
  // Copying a file onto itself fails as on Windows, without losing it.
  EXPECT_THROW(fs.CopyReplacing("H:\\Harbour\\ReadMe.txt", "C:\\Downloads\\Harbour\\readme.txt"),
               Failure);
  EXPECT_EQ(fs.Contents("C:\\Downloads\\Harbour\\ReadMe.txt"), "ReadMe.txt");
}

TEST(CopyRunCounting, LargePackagesCountBeyondSixteenBits) {
  MemoryFileSystem fs;
  fs.SetProgramFolder("C:\\pkg");
  for (int i = 0; i < 33000; ++i) fs.AddFile("C:\\pkg\\t" + std::to_string(i) + ".bgl", "");
  InstallSettings settings;
  settings.extensions = {"bgl"};
  CountPackageFiles(*ProgramFolderPackage(fs), settings);
  EXPECT_EQ(settings.file_count, 66000);
}

TEST(CopyRunFailures, MissingDocumentEndsTheRunAfterTheFiles) {
  MemoryFileSystem fs;
  fs.SetProgramFolder("C:\\pkg");
  for (const char* name : {"Harbour.bgl", "Runway.BGL", "water.bmp", "grass.r8", "License.txt"}) {
    fs.AddFile(std::string("C:\\pkg\\") + name, name);
  }
  InstallSettings settings;
  settings.extensions = {"bmp", "r8"};
  settings.target_dir = "C:\\Addon\\Harbour";
  RecordingProgress progress;
  try {
    CopyPackageFiles(*ProgramFolderPackage(fs), fs, settings, progress);
    FAIL() << "the run finished without ReadMe.txt";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kNotFound);
    EXPECT_EQ(failure.path(), "C:\\pkg\\ReadMe.txt");
    EXPECT_EQ(failure.target(), settings.target_dir + "\\ReadMe.txt");
    EXPECT_NE(failure.aftermath().find("5 files copied so far stay in " + settings.target_dir),
              std::string::npos)
        << failure.aftermath();
    EXPECT_NE(failure.aftermath().find("scenery.cfg was not changed"), std::string::npos);
  }
  EXPECT_EQ(progress.events.back(), "copied grass.r8");
  EXPECT_TRUE(fs.Has(settings.target_dir + "\\License.txt"));
  // Installed in place the documents are not copied, but still needed.
  settings.target_dir = "C:\\pkg";
  try {
    CopyPackageFiles(*ProgramFolderPackage(fs), fs, settings, progress);
    FAIL() << "the run in place finished without ReadMe.txt";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kNotFound);
    EXPECT_EQ(failure.path(), "C:\\pkg\\ReadMe.txt");
  }
}

// ---- the scenery library ----

TEST(NextAreaNumber, WorkedExamplesAndHeaderForms) {
  const struct {
    Lines lines;
    std::int32_t next;
  } cases[] = {
      {{"[Area.123]"}, 124},
      {{"[Area.042]"}, 43},
      {{"[General]", "Title=x"}, 1},
      {{}, 1},
      {{"[Area.099]"}, 100},
      {{"[Area.5]"}, 6},
      {{"[Area.12]"}, 13},
      {{"[Area.090]", "[Area.010]"}, 91},      // out of order: the largest counts
      {{"[area.050]", "[Area.003]"}, 51},      // any letter case
      {{"  [AREA.070]", "[Area.003]"}, 71},    // leading blanks
      {{"\t[Area.071]"}, 72},
      {{"[Area.999]"}, 1000},
      {{"[Area.1000]", "[Area.999]"}, 1001},   // what Setup.exe writes after 999
      {{"[Area.0051]"}, 52},
      {{"[Area.-05]"}, 1},                     // no number above 0
      {{"[Area.000]"}, 1},
      {{"[Area.]"}, 1},
      {{"[Area. 7]"}, 8},                      // blanks before the number are skipped
      {{"[Area.1234]"}, 1235},                 // the whole run of digits is read
      {{"[Area.2147483646]"}, 2147483647},
      {{"x[Area.500]", "Title=[Area.600]"}, 1},  // not at the start of the line
      {{"[Area_900]", "[Areas.800]", "[Area.010]"}, 11},  // the dot belongs to the header
  };
  for (const auto& c : cases) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
      std::string bytes;
      for (const std::string& line : c.lines) bytes += line + end;
      EXPECT_EQ(NextAreaNumber(bytes), c.next) << testing::PrintToString(bytes);
    }
  }
  // Numbers that leave no 32-bit number above them are refused, never wrapped.
  for (const char* header : {"[Area.2147483647]", "[Area.4294967297]",
                             "[Area.99999999999999999999999]"}) {
    EXPECT_THROW(NextAreaNumber(std::string("[Area.001]\r\n") + header + "\r\n"), Failure)
        << header;
  }
}

TEST(ScanLibrary, FindsTheAreaThatNamesAFolderAsWindowsComparesPaths) {
  const std::string sim = "C:\\FS2000";
  const std::string target = "C:\\FS2000\\Addon Scenery\\Harbour";
  const struct {
    const char* local;
    bool names;
  } cases[] = {
      {"C:\\FS2000\\Addon Scenery\\Harbour", true},
      {"c:\\fs2000\\ADDON SCENERY\\harbour\\", true},
      {"C:\\FS2000\\\\Addon Scenery\\\\Harbour", true},
      {"Addon Scenery\\Harbour", true},                   // relative to the simulator
      {" C:/FS2000/Addon Scenery/Harbour ", true},
      {"C:\\FS2000\\Addon Scenery\\Other\\..\\Harbour", true},
      {"\\FS2000\\Addon Scenery\\Harbour", true},        // relative to its drive
      {"C:\\FS2000\\.\\Addon Scenery\\Harbour", true},
      {"C:FS2000\\Addon Scenery\\Harbour", true},          // the drive, without its backslash
      {"C:\\FS2000\\Addon Scenery\\Harbour2", false},
      {"D:\\FS2000\\Addon Scenery\\Harbour", false},
      {"Addon Scenery", false},
      {"Harbour", false},
  };
  for (const auto& c : cases) {
    for (const char* key : {"Local=", "local =", "  LOCAL= "}) {
      const std::string bytes = std::string("[General]\r\nLocal=elsewhere\r\n[Area.004]\r\n"
                                            "Title=T=x\r\n") + key + c.local + "\r\nLayer=4\r\n";
      const LibraryScan scan = ScanLibrary(bytes, target, sim);
      EXPECT_EQ(scan.has_folder, c.names) << key << c.local;
      EXPECT_EQ(scan.largest_area, 4);
    }
  }
  // A Local= outside an area section, or not at the start of its line, names nothing.
  EXPECT_FALSE(ScanLibrary("[General]\r\nLocal=" + target + "\r\n", target, sim).has_folder);
  EXPECT_FALSE(ScanLibrary("[Area.001]\r\nTitle=x Local=" + target + "\r\n", target, sim)
                   .has_folder);
  EXPECT_TRUE(ScanLibrary("[Area.001]\nLocal=" + target, target, sim).has_folder);
  // A share's root, with and without its trailing backslash.
  EXPECT_TRUE(ScanLibrary("[Area.001]\r\nLocal=\\\\srv\\share\\\r\n", "\\\\srv\\share", sim).has_folder);
  EXPECT_TRUE(ScanLibrary("[Area.001]\r\nLocal=\\\\srv\\share\r\n", "\\\\srv\\share\\", sim).has_folder);
}

TEST(AreaSection, LabelsAndOptionalLines) {
  InstallSettings s;
  s.scenery_title = "Harbour Island";
  s.target_dir = "C:\\Addon\\Harbour";
  EXPECT_EQ(AreaSection(43, s),
            "[Area.043]\r\nTitle=Harbour Island\r\nLocal=C:\\Addon\\Harbour\r\nActive=TRUE\r\n"
            "Layer=43\r\n\r\n");
  EXPECT_EQ(AreaSection(1000, s).substr(0, 12), "[Area.1000]\r");
  EXPECT_NE(AreaSection(1000, s).find("\r\nLayer=1000\r\n"), std::string::npos);
  s.exclude = "1";
  s.flatten0 = "f0";
  s.flatten1 = "f1";
  EXPECT_EQ(AreaSection(1, s),
            "[Area.001]\r\nTitle=Harbour Island\r\nLocal=C:\\Addon\\Harbour\r\nActive=TRUE\r\n"
            "Layer=1\r\nExclude=1\r\nFlatten.0=f0\r\nFlatten.1=f1\r\n\r\n");
}

class Registration : public OnEachFileSystem {
 protected:
  void SetUp() override {
    OnEachFileSystem::SetUp();
    LayOutPackage(box(), settings_);
  }
  void RegisterWith(const std::string& old_bytes) {
    box().Write(settings_.cfg_path, old_bytes);
    RegisterSceneryArea(fs(), settings_);
    EXPECT_EQ(box().Read(settings_.backup_path), old_bytes);
    EXPECT_TRUE(box().NothingHolds(settings_.cfg_path));
    EXPECT_TRUE(box().NothingHolds(settings_.backup_path));
  }
  InstallSettings settings_;
};

TEST_P(Registration, AgainAndAgainNeverRepeatsANumberOrAFolder) {
  const std::string old_bytes = "[Area.998]\r\nLocal=Scenery\\x\r\n[Area.999]\r\nLocal=y\r\n";
  RegisterWith(old_bytes);
  EXPECT_EQ(box().Read(settings_.cfg_path).substr(old_bytes.size(), 13), "[Area.1000]\r\n");
  for (int next = 1001; next <= 1003; ++next) {
    settings_.target_dir = root() + "\\Scenery\\Harbour" + std::to_string(next);
    const std::string before = box().Read(settings_.cfg_path);
    EXPECT_TRUE(RegisterSceneryArea(fs(), settings_));
    EXPECT_EQ(box().Read(settings_.cfg_path).substr(before.size(), 13),
              "[Area." + std::to_string(next) + "]\r\n");
  }
  // The same folder again, named another way: the area and its backup stay.
  const std::string before = box().Read(settings_.cfg_path);
  const std::string backup = box().Read(settings_.backup_path);
  settings_.target_dir = UpperAscii(settings_.target_dir) + "\\";
  EXPECT_FALSE(RegisterSceneryArea(fs(), settings_));
  EXPECT_EQ(box().Read(settings_.cfg_path), before);
  EXPECT_EQ(box().Read(settings_.backup_path), backup);
}

TEST_P(Registration, WhatCannotBeRegisteredIsRefusedBeforeAnyFileIsCopied) {
  const std::string folder = root() + "\\FS2000\\";
  const struct {
    std::string cfg;
    std::string backup;
    std::string says;
  } cases[] = {
      {"[Area.2147483647]\r\nLocal=Scenery\\Big\r\n", "scenery.bak", "2147483647"},
      {SampleSceneryCfg(), "", "it is empty"},                       // no BackupCFG
      {SampleSceneryCfg(), "Scenery.CFG", "names scenery.cfg itself"},
      {SampleSceneryCfg(), "old\\scenery.bak", "its folder " + folder + "old does not exist"},
      {SampleSceneryCfg(), "..\\scenery.bak", "not a plain file name"},
      {SampleSceneryCfg(), "\\scenery.bak", "not a plain file name"},
      {SampleSceneryCfg(), "scenery.cfg.", "names scenery.cfg itself"},   // Windows drops the dot
      {SampleSceneryCfg(), "Scenery.cfg ", "names scenery.cfg itself"},   // and the blank
      {SampleSceneryCfg(), ".", "not a plain file name"},   // the simulator's folder itself
      {SampleSceneryCfg(), "..", "not a plain file name"},  // the folder above it
  };
  for (const auto& c : cases) {
    box().Write(settings_.cfg_path, c.cfg);
    settings_.backup_cfg = c.backup;
    settings_.backup_path = folder + c.backup;
    const Lines before = box().Tree();
    RecordingProgress progress;
    try {
      InstallPackage(*ProgramFolderPackage(fs()), fs(), settings_, progress);
      ADD_FAILURE() << "installed with " << c.says;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind(), FailureKind::kBadContent);
      EXPECT_EQ(failure.path(), settings_.cfg_path);
      EXPECT_NE(failure.Message().find(c.says), std::string::npos) << failure.Message();
      EXPECT_NE(failure.aftermath().find("no file was copied"), std::string::npos);
    }
    EXPECT_TRUE(progress.events.empty());
    EXPECT_EQ(box().Tree(), before);
    EXPECT_EQ(box().Read(settings_.cfg_path), c.cfg);
  }
}

TEST_P(Registration, AppendsOneSectionAfterTheOldBytes) {
  const std::string old_bytes = SampleSceneryCfg();
  RegisterWith(old_bytes);
  EXPECT_EQ(box().Read(settings_.cfg_path),
            old_bytes + "[Area.003]\r\nTitle=Harbour Island\r\nLocal=" + settings_.target_dir +
                "\r\nActive=TRUE\r\nLayer=3\r\n\r\n");
}

TEST_P(Registration, AFileWithoutAFinalLineEndKeepsItsLastLine) {
  RegisterWith("[Area.007]\r\nLayer=7");
  const std::string expected = "[Area.007]\r\nLayer=7\r\n[Area.008]\r\nTitle=";
  EXPECT_EQ(box().Read(settings_.cfg_path).substr(0, expected.size()), expected);
}

TEST_P(Registration, LoneLineEndsAreReadAndKept) {
  const std::string old_bytes = "[Area.010]\nLayer=10\n[Area.011]\rLayer=11\r";
  RegisterWith(old_bytes);
  EXPECT_EQ(box().Read(settings_.cfg_path).substr(0, old_bytes.size() + 12),
            old_bytes + "[Area.012]\r\n");
}

TEST_P(Registration, EmptyFileGetsAreaOne) {
  RegisterWith("");
  EXPECT_EQ(box().Read(settings_.cfg_path).substr(0, 12), "[Area.001]\r\n");
}

TEST_P(Registration, MissingLibraryFailsAndWritesNothing) {
  settings_.cfg_path = root() + "\\FS2000\\missing.cfg";
  const Lines before = box().Tree();
  try {
    RegisterSceneryArea(fs(), settings_);
    FAIL() << "registered into a missing file";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kNotFound);
    EXPECT_EQ(failure.path(), settings_.cfg_path);
    EXPECT_NE(failure.aftermath().find("scenery.cfg was not changed"), std::string::npos);
  }
  EXPECT_EQ(box().Tree(), before);
}

TEST_P(Registration, ABackupInAnExistingSubfolderOfTheSimulatorFolder) {
  box().MakeFolders(root() + "\\FS2000\\Backup");
  settings_.backup_cfg = "Backup\\scenery.bak";
  settings_.backup_path = root() + "\\FS2000\\Backup\\scenery.bak";
  const std::string old_bytes = box().Read(settings_.cfg_path);
  RecordingProgress progress;
  EXPECT_TRUE(InstallPackage(*ProgramFolderPackage(fs()), fs(), settings_, progress));
  EXPECT_EQ(box().Read(settings_.backup_path), old_bytes);
}

TEST_P(Registration, AReadOnlyBackupIsReplacedAndNoBackupIsLeftReadOnly) {
  box().Write(settings_.backup_path, "an old backup");
  box().SetReadOnly(settings_.backup_path);
  RegisterWith(SampleSceneryCfg());
  EXPECT_FALSE(fs().Probe(settings_.backup_path).read_only);
}

TEST_P(Registration, BackupThatCannotBeWrittenLeavesTheLibraryAlone) {
  settings_.backup_path = root() + "\\FS2000\\";  // an empty BackupCFG names the folder
  const std::string old_bytes = box().Read(settings_.cfg_path);
  EXPECT_THROW(RegisterSceneryArea(fs(), settings_), Failure);
  EXPECT_EQ(box().Read(settings_.cfg_path), old_bytes);
  EXPECT_TRUE(box().NothingHolds(settings_.cfg_path));
}

INSTANTIATE_ON_EACH_FILE_SYSTEM(Registration);

}  // namespace
}  // namespace scenery
