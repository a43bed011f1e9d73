// A whole installation (copy run, then registration) with each file-system
// call in turn failing in each way the system can fail it: every failure
// must reach the caller naming operation, path and reason and saying what it
// left behind, and scenery.cfg must never be left half-written.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <utility>

#include "engine/installation.h"
#include "engine/package_copy.h"
#include "engine/removal.h"
#include "engine/scenery_library.h"
#include "tests/support/fake_program.h"
#include "tests/support/headless_toolkit.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_program_list.h"
#include "tests/support/package_fixture.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

struct Installation {
  // `earlier`: the destination already holds an earlier installation (older
  // files, one read-only, a file of a spare name) and the simulator folder an
  // old backup.
  // `carried`: the package comes compressed in a one-file Setup.exe.
  explicit Installation(bool earlier = false, bool carried = false) : box(MakeMemorySandbox(&fs)) {
    LayOutPackage(*box, settings);
    if (carried) {
      std::vector<std::pair<std::string, std::string>> files;
      for (const FileEntry& file : fs->ListFiles(fs->ProgramFolder())) {
        files.emplace_back(file.name, fs->Contents(fs->ProgramFolder() + "\\" + file.name) +
                                          std::string(3000, 'x'));  // worth compressing
      }
      packed = std::make_unique<MemoryByteFile>(Packed(FakeProgram(1024), files, 1));
      PackedLayout layout;
      std::string why;
      ReadPackedLayout(*packed, &layout, &why);
      source = std::make_unique<CarriedSource>(*packed, layout, "C:\\dl\\Setup.exe");
    }
    if (!earlier) return;
    const std::string& dest = settings.target_dir;
    fs->AddFile(dest + "\\Scenery\\Harbour.bgl", "old harbour");
    fs->AddFile(dest + "\\License.txt", "old licence");
    fs->SetReadOnly(dest + "\\License.txt", true);
    fs->AddFile(dest + "\\Texture\\mine.bmp", "the user's own");
    fs->AddFile(dest + "\\Scenery\\~sc0001.tmp", "in the way of the first spare name");
    fs->AddFile(settings.backup_path, "an older backup");
  }
  // The whole run, Uninstall.exe and the program-list entry included.
  void Run() {
    const ProgramImage image{&program, program.Size(), 0};
    if (source) {
      InstallPackage(*source, *fs, settings, progress, &image, &programs);
    } else {
      InstallPackage(*ProgramFolderPackage(*fs), *fs, settings, progress, &image, &programs);
    }
  }
  // Every entry with its bytes: the disk as the user would find it.
  std::vector<std::string> Disk() const {
    std::vector<std::string> disk;
    for (const std::string& path : fs->Listing()) disk.push_back(path + "=" + fs->Contents(path));
    return disk;
  }
  MemoryFileSystem* fs = nullptr;
  std::unique_ptr<Sandbox> box;
  InstallSettings settings;
  RecordingProgress progress;
  MemoryByteFile program{FakeProgram(1024)};
  MemoryProgramList programs;
  std::unique_ptr<MemoryByteFile> packed;
  std::unique_ptr<CarriedSource> source;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Every call of a run failing in every way, into a new folder, over an
// earlier installation, and from a compressed one-file package: the run is
// undone, and the disk is exactly as it was before, byte for byte.
TEST(WholeInstallation, EveryCallFailingInEveryWayLeavesTheDiskAsItWas) {
  int cases = 0;
  for (const auto& shape :
       {std::make_pair(false, false), std::make_pair(true, false), std::make_pair(false, true)}) {
    const bool earlier = shape.first, carried = shape.second;
    Installation learn(earlier, carried);
    learn.fs->ClearCalls();
    learn.Run();
    const std::vector<RecordedCall> sequence = learn.fs->calls();
    ASSERT_GT(sequence.size(), 20u);
    // A run that succeeded leaves no spare file (the one in the way is the user's).
    for (const std::string& path : learn.fs->Listing()) {
      EXPECT_TRUE(!Contains(path, "\\~sc") || Contains(path, "\\Scenery\\~sc0001.tmp")) << path;
    }
    const std::vector<std::string> before = Installation(earlier, carried).Disk();

    std::map<FsCall, int> seen;
    for (const RecordedCall& step : sequence) {
      const int nth = ++seen[step.call];
      if (step.call == FsCall::kProgramFolder || step.call == FsCall::kSameEntry) continue;
      for (FailureKind kind : {FailureKind::kNotFound, FailureKind::kAccessDenied,
                               FailureKind::kInUse, FailureKind::kDiskFull,
                               FailureKind::kNotReady}) {
        SCOPED_TRACE(std::string(earlier ? "over an earlier installation, " : "") +
                     (carried ? "from a compressed package, " : "") + FsCallName(step.call) + " #" +
                     std::to_string(nth) + " on " + step.path + ": " + SystemReason(kind));
        ++cases;
        Installation run(earlier, carried);
        run.fs->FailNth(step.call, nth, kind);
        try {
          run.Run();
          // Only the deletion of a spare copy, after the run succeeded, may fail unseen.
          EXPECT_TRUE(Contains(step.path, "\\~sc")) << "the installation did not fail";
          continue;
        } catch (const Failure& failure) {
          const std::string message = failure.Message();
          EXPECT_EQ(failure.kind(), kind);
          EXPECT_TRUE(Contains(message, failure.operation())) << message;
          EXPECT_TRUE(Contains(message, step.path)) << message;
          EXPECT_TRUE(Contains(message, SystemReason(kind))) << message;
          EXPECT_TRUE(Contains(failure.aftermath(), "scenery.cfg was not changed")) << message;
          EXPECT_FALSE(Contains(message, "could not take back")) << message;
          // scenery.cfg or its backup held by the simulator: the user is told what to do.
          const bool library =
              step.path == run.settings.cfg_path || step.path == run.settings.backup_path;
          EXPECT_EQ(Contains(message, "Please close FS 2000 and run Setup again."),
                    library && kind == FailureKind::kInUse)
              << message;
        }
        EXPECT_EQ(run.Disk(), before);
        EXPECT_TRUE(run.programs.entries.empty());
      }
    }
  }
  // The program-list entry that cannot be written fails the run, undone.
  Installation refused;
  refused.programs.fail = true;
  const std::vector<std::string> before = refused.Disk();
  EXPECT_THROW(refused.Run(), Failure);
  EXPECT_EQ(refused.Disk(), before);
  std::printf("[ fault cases ] %d failing calls\n", cases);
}

// A power cut at every write of a whole installation, then of a whole
// removal, each write cut short at two lengths: scenery.cfg and the copy
// that Windows gives the simulator are each their old bytes or their new
// ones, never a mix, and the next run over the same folders completes.
TEST(PowerCut, AtEveryWriteLeavesEachLibraryOldOrNew) {
  auto with_copy = [](Installation& run) {
    const std::string copy = VirtualStoreCopyOf(
        run.settings.cfg_path, "C:\\Users\\Anna\\AppData\\Local\\VirtualStore", "C:");
    run.fs->AddFile(copy, SampleSceneryCfg());
    run.settings.cfg_copy_path = copy;
    return std::vector<std::string>{run.settings.cfg_path, copy};
  };
  int cuts = 0;
  for (bool removal : {false, true}) {
    bool whole = false;
    for (int n = 1; !whole; ++n) {
      for (std::size_t keep : {0, 40}) {
        SCOPED_TRACE(std::string(removal ? "removal" : "installation") + ", write " +
                     std::to_string(n) + " cut after " + std::to_string(keep) + " bytes");
        Installation run;
        const std::vector<std::string> libraries = with_copy(run);
        const std::string old_bytes = SampleSceneryCfg();
        const std::string new_bytes = old_bytes + AreaSection(3, run.settings);
        RemovalRecord record;
        if (removal) {
          run.Run();
          ASSERT_TRUE(
              ReadEarlierInstallation(*run.fs, run.programs, run.settings.target_dir, &record));
        }
        auto next_run = [&] {
          if (removal) {
            RemoveInstallation(*run.fs, run.programs, record);
          } else {
            run.Run();
          }
        };
        run.fs->CutPowerAt(n, keep);
        try {
          next_run();
          whole = true;  // fewer writes than n
        } catch (const PowerCut&) {
          ++cuts;
        }
        for (const std::string& library : libraries) {
          const std::string now = run.fs->Contents(library);
          EXPECT_TRUE(now == old_bytes || now == new_bytes) << library << " is torn:\n" << now;
        }
        run.fs->RestorePower();
        EXPECT_NO_THROW(next_run());
        for (const std::string& library : libraries) {
          EXPECT_EQ(run.fs->Contents(library), removal ? old_bytes : new_bytes) << library;
        }
      }
    }
  }
  std::printf("[ power cuts ] %d\n", cuts);
}

// The undo's own calls failing: what is left is named, and a scenery.cfg
// that could not be cut back keeps its backup.
// A hidden file of the user where the package writes one: the write is
// refused, and the undo leaves the hidden file alone.
TEST(WholeInstallation, AHiddenFileInTheWayIsLeftAlone) {
  Installation run(true);
  const std::string hidden = run.settings.target_dir + "\\ReadMe.txt";
  run.fs->AddFile(hidden, "the user's hidden notes", true);
  EXPECT_THROW(run.Run(), Failure);
  EXPECT_EQ(run.fs->Contents(hidden), "the user's hidden notes");
}

// Spare names: beside the file, in a drive root too, the next one where a
// name is taken.
TEST(SpareNames, TheFirstFreeOneBesideTheFile) {
  int next = 1;
  EXPECT_EQ(UseSpareName("D:\\", &next, [](const std::string&) {}), "D:\\~sc0001.tmp");
  auto taken_once = [first = true](const std::string& path) mutable {
    if (std::exchange(first, false)) throw Failure(FailureKind::kAlreadyExists, "use", path, "");
  };
  EXPECT_EQ(UseSpareName("D:\\Addon", &next, taken_once), "D:\\Addon\\~sc0003.tmp");
  EXPECT_EQ(next, 4);
}

TEST(WholeInstallation, AnUndoThatFailsNamesWhatIsLeft) {
  Installation run;
  // Uninstall.exe, written after the area, fails; the undo cannot put
  // scenery.cfg back, nor delete one file.
  run.fs->FailNth(FsCall::kWrite, 1, FailureKind::kDiskFull);
  run.fs->FailNth(FsCall::kReplaceContents, 2, FailureKind::kAccessDenied);
  run.fs->FailNth(FsCall::kRemoveFile, 2, FailureKind::kInUse);
  try {
    run.Run();
    FAIL() << "the installation did not fail";
  } catch (const Failure& failure) {
    const std::string& left = failure.aftermath();
    EXPECT_TRUE(Contains(left, "Setup undid the installation, but could not take back:")) << left;
    EXPECT_TRUE(Contains(left, run.settings.cfg_path + " may still hold the new area")) << left;
    EXPECT_TRUE(Contains(left, run.settings.backup_path + " is kept: it is scenery.cfg as it was."))
        << left;
    EXPECT_FALSE(Contains(left, "scenery.cfg was not changed")) << left;
    EXPECT_EQ(run.fs->Contents(run.settings.backup_path), SampleSceneryCfg());
    // The second file the undo deletes (ReadMe.txt goes first) stays, named.
    EXPECT_TRUE(Contains(left, run.settings.target_dir + "\\License.txt: ")) << left;
    EXPECT_TRUE(run.fs->Has(run.settings.target_dir + "\\License.txt"));
    EXPECT_FALSE(run.fs->Has(run.settings.target_dir + "\\ReadMe.txt"));
  }
}

// A disk that fills up during the append: the run's undo cuts scenery.cfg
// back to its old bytes.
TEST(FailedAppend, OnADiskThatFillsUpIsCutBack) {
  Installation run;
  run.fs->SetFreeBytes(SampleSceneryCfg().size() + 10);  // room for the backup and 10 bytes
  Journal journal(*run.fs);
  try {
    RegisterSceneryArea(*run.fs, run.settings, journal);
    FAIL() << "the append did not fail";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.path(), run.settings.cfg_path);
    EXPECT_TRUE(Contains(failure.Message(), "There is not enough space on the disk."));
  }
  journal.Undo();
  EXPECT_EQ(run.fs->Contents(run.settings.cfg_path), SampleSceneryCfg());
  EXPECT_FALSE(run.fs->Has(run.settings.backup_path));
}

TEST(Registration, AReadOnlyLibraryIsReportedAndLeftReadOnly) {
  Installation run;
  const std::string& cfg = run.settings.cfg_path;
  run.fs->SetReadOnly(cfg, true);
  try {
    RegisterSceneryArea(*run.fs, run.settings);
    FAIL() << "a read-only scenery.cfg was written";
  } catch (const Failure& failure) {
    EXPECT_TRUE(Contains(failure.Message(), "scenery.cfg is read-only: someone set it so, and Setup "
                                            "leaves it that way on purpose.")) << failure.Message();
    EXPECT_TRUE(Contains(failure.Message(), "Properties, untick Read-only")) << failure.Message();
  }
  EXPECT_EQ(run.fs->Contents(cfg), SampleSceneryCfg());
  EXPECT_TRUE(run.fs->Probe(cfg).read_only);
  EXPECT_FALSE(run.fs->Probe(run.settings.backup_path).read_only);
  // Cleared by the user, the next run succeeds over the backup it made.
  run.fs->SetReadOnly(cfg, false);
  EXPECT_TRUE(RegisterSceneryArea(*run.fs, run.settings));
}

TEST(Registration, ReadsThenBacksUpThenReplacesWhole) {
  Installation run;
  run.fs->ClearCalls();
  RegisterSceneryArea(*run.fs, run.settings);
  std::vector<std::string> order;
  for (const RecordedCall& call : run.fs->calls()) order.push_back(FsCallName(call.call));
  EXPECT_EQ(order, (std::vector<std::string>{"ReadWholeFile", "Probe", "CopyReplacing",
                                             "MakeWritable", "ReplaceContents"}));
}

}  // namespace
}  // namespace scenery

namespace scenery {
namespace {

// The same sweep through the program's one reporting point: the copy page's
// Start, with the failure shown in the standard error report and the
// program ending with exit code 2.
struct WizardRun {
  WizardRun() : box(MakeMemorySandbox(&fs)) {
    LayOutPackage(*box, settings);
    fs->AddFile(box->program_folder() + "\\Setup.ini",
                "InstallTitle=Harbour\r\nBackupCFG=scenery.bak\r\nExtension=bmp\r\nExtension=r8\r\n");
    wizard.HandleEvent([this] { wizard.Start(); });
    settings.target_dir = box->root() + "\\Scenery\\Harbour";
    settings.cfg_path = box->root() + "\\FS2000\\scenery.cfg";
    settings.backup_path = box->root() + "\\FS2000\\scenery.bak";
    wizard.GoTo(wizard.copy());
    fs->ClearCalls();
  }
  void Start() {
    wizard.HandleEvent([this] { wizard.copy().main_button.Click(); });
  }
  MemoryFileSystem* fs = nullptr;
  std::unique_ptr<Sandbox> box;
  InstallSettings settings;
  HeadlessToolkit toolkit;
  FolderSource source{*fs};
  Wizard wizard{settings, source, *fs, toolkit};
};

const FailureKind kKinds[] = {FailureKind::kNotFound, FailureKind::kAccessDenied,
                              FailureKind::kInUse, FailureKind::kDiskFull,
                              FailureKind::kNotReady};

// Checks one failed run: the report, the exit code, and what is on disk.
void ExpectReportedAndWhole(WizardRun& run, const std::string& path, FailureKind kind) {
  ASSERT_FALSE(run.toolkit.asked.empty()) << "no report";
  const forms::Message& report = run.toolkit.asked.back();
  EXPECT_EQ(report.icon, forms::Icon::kCritical);
  EXPECT_EQ(report.title, "Harbour");
  EXPECT_TRUE(Contains(report.text, "Setup could not ")) << report.text;
  EXPECT_TRUE(Contains(report.text, path)) << report.text;
  EXPECT_TRUE(Contains(report.text, SystemReason(kind))) << report.text;
  EXPECT_TRUE(Contains(report.text, "scenery.cfg")) << report.text;
  EXPECT_EQ(run.toolkit.quit_codes, std::vector<int>{2});
  EXPECT_FALSE(run.wizard.copy().install_done());
  const std::string cfg = run.fs->Contents(run.settings.cfg_path);
  const std::string whole = SampleSceneryCfg() + AreaSection(3, run.settings);
  EXPECT_TRUE(cfg == SampleSceneryCfg() || cfg == whole) << "scenery.cfg is half-written";
  if (run.fs->Has(run.settings.backup_path)) {
    EXPECT_EQ(run.fs->Contents(run.settings.backup_path), SampleSceneryCfg());
  }
}

TEST(WholeInstallationThroughTheCopyPage, EveryCallFailingInEveryWay) {
  WizardRun learn;
  learn.Start();
  ASSERT_TRUE(learn.wizard.copy().install_done());
  const std::vector<RecordedCall> sequence = learn.fs->calls();

  int cases = 0;
  std::map<FsCall, int> seen;
  for (const RecordedCall& step : sequence) {
    const int nth = ++seen[step.call];
    if (step.call == FsCall::kProgramFolder || step.call == FsCall::kSameEntry) continue;
    for (FailureKind kind : kKinds) {
      SCOPED_TRACE(std::string(FsCallName(step.call)) + " #" + std::to_string(nth) + " on " +
                   step.path + ": " + SystemReason(kind));
      WizardRun run;
      run.toolkit.answers.push_back(forms::Answer::kOk);
      run.fs->FailNth(step.call, nth, kind);
      run.Start();
      ExpectReportedAndWhole(run, step.path, kind);
      ++cases;
    }
  }
  // A failed replacement of scenery.cfg, then the undo's own look at it
  // failing in every way too: the backup is kept.
  int reads_before = 0;
  for (const RecordedCall& step : sequence) {
    if (step.call == FsCall::kReplaceContents) break;
    reads_before += step.call == FsCall::kRead;
  }
  for (FailureKind replace_kind : kKinds) {
    for (FailureKind undo_kind : kKinds) {
      WizardRun run;
      run.toolkit.answers.push_back(forms::Answer::kOk);
      run.fs->FailNth(FsCall::kReplaceContents, 1, replace_kind);
      run.fs->FailNth(FsCall::kRead, reads_before + 1, undo_kind);
      run.Start();
      ASSERT_FALSE(run.toolkit.asked.empty());
      const std::string& text = run.toolkit.asked.back().text;
      EXPECT_TRUE(Contains(text, "scenery.cfg may still hold the new area")) << text;
      EXPECT_TRUE(Contains(text, run.settings.backup_path + " is kept")) << text;
      EXPECT_EQ(run.fs->Contents(run.settings.backup_path), SampleSceneryCfg());
      EXPECT_EQ(run.fs->Contents(run.settings.cfg_path), SampleSceneryCfg());
      EXPECT_EQ(run.toolkit.quit_codes, std::vector<int>{2});
      ++cases;
    }
  }
  // What would stop the run is said before anything is written, and the
  // page stays ready: Start again, or Exit.
  WizardRun full;
  full.fs->SetFreeBytes(1000);
  full.toolkit.answers.push_back(forms::Answer::kOk);
  const std::vector<std::string> before = full.fs->Listing();
  full.Start();
  ASSERT_EQ(full.toolkit.asked.size(), 1u);
  EXPECT_EQ(full.toolkit.asked[0].icon, forms::Icon::kExclamation);
  EXPECT_TRUE(Contains(full.toolkit.asked[0].text, "There is not enough room on the drive"));
  EXPECT_TRUE(full.toolkit.quit_codes.empty());
  EXPECT_EQ(full.wizard.copy().main_button.text(), "Start");
  EXPECT_TRUE(full.wizard.copy().exit.enabled());
  EXPECT_EQ(full.fs->Listing(), before);
  std::printf("[ fault cases ] %d through the copy page over a sequence of %zu calls\n", cases,
              sequence.size());
}

}  // namespace
}  // namespace scenery
