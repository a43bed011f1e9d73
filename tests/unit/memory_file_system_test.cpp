// What only the in-memory file system can show: devices, shares, free space
// and injected faults, which the engine tests rely on.
#include "tests/support/memory_file_system.h"

#include <gtest/gtest.h>

namespace scenery {
namespace {

TEST(WildcardMatch, WindowsPatterns) {
  const struct {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"*.bgl", "a.bgl", true},      {"*.bgl", "A.BGL", true},   {"*.bgl", "a.bglx", false},
      {"*.bgl", ".bgl", true},       {"*.*", "README", true},    {"*", "x.y.z", true},
      {"?.r8", "a.r8", true},        {"?.r8", "ab.r8", false},   {"*.", "a.b", false},
      {"scenery.cfg", "SCENERY.CFG", true}, {"*.", "", false},   {"a*b*c", "aXbYc", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
  }
}

TEST(MemoryFileSystem, RelativePathsUseTheCurrentDriveAndFolder) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\scenery.cfg", "root");
  fs.AddFile("C:\\FS2000\\scenery.cfg", "sim");
  fs.SetCurrentFolder("C:\\FS2000");
  EXPECT_EQ(fs.ReadWholeFile("\\scenery.cfg"), "root");
  EXPECT_EQ(fs.ReadWholeFile("scenery.cfg"), "sim");
  EXPECT_EQ(fs.ReadWholeFile("C:scenery.cfg"), "sim");
  EXPECT_EQ(fs.ReadWholeFile("C:\\FS2000\\..\\scenery.cfg"), "root");
  EXPECT_EQ(fs.CurrentFolder(), "C:\\FS2000");
}

TEST(MemoryFileSystem, DrivesThatAreMissingOrNotReady) {
  MemoryFileSystem fs;
  fs.AddDrive('A', DriveType::kRemovable);
  fs.SetDriveReady('A', false);
  EXPECT_FALSE(fs.IsDriveReady('a'));
  EXPECT_FALSE(fs.IsDriveReady('q'));
  EXPECT_EQ(fs.Probe("Q:\\x").kind, EntryKind::kMissing);
  EXPECT_THROW(fs.MakeFolder("Q:\\x"), Failure);
  for (auto action : {+[](MemoryFileSystem& f) { f.Probe("A:\\x"); },
                      +[](MemoryFileSystem& f) { f.CurrentFolderOfDrive('a'); },
                      +[](MemoryFileSystem& f) { f.ListSubfolders("A:\\"); },
                      +[](MemoryFileSystem& f) { f.FindFiles("A:\\*.bgl"); }}) {
    try {
      action(fs);
      ADD_FAILURE() << "a drive that is not ready answered";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind(), FailureKind::kNotReady);
      EXPECT_EQ(failure.reason(), "The device is not ready.");
    }
  }
  ASSERT_EQ(fs.ListDrives().size(), 2u);
  EXPECT_EQ(fs.ListDrives()[0].letter, 'a');
}

TEST(MemoryFileSystem, UncSharesAreRootsThatExistOrNot) {
  MemoryFileSystem fs;
  fs.AddShare("\\\\server\\share");
  EXPECT_EQ(fs.Probe("\\\\SERVER\\Share").kind, EntryKind::kFolder);
  fs.MakeFolder("\\\\server\\share\\Games");
  EXPECT_TRUE(fs.IsFolder("\\\\Server\\SHARE\\games"));
  EXPECT_EQ(fs.Probe("\\\\other\\share\\x").kind, EntryKind::kMissing);
  EXPECT_THROW(fs.MakeFolder("\\\\other\\share\\x"), Failure);
}

TEST(MemoryFileSystem, CopyRefusesHiddenTargetsAndFullDisks) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\a.bgl", "12345678");
  fs.AddFile("C:\\Out\\a.bgl", "old", /*hidden=*/true);
  EXPECT_THROW(fs.CopyReplacing("C:\\a.bgl", "C:\\Out\\a.bgl"), Failure);
  fs.SetFreeBytes(4);
  try {
    fs.CopyReplacing("C:\\a.bgl", "C:\\Out\\b.bgl");
    FAIL() << "copied onto a full disk";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kDiskFull);
    EXPECT_EQ(failure.target(), "C:\\Out\\b.bgl");
  }
  EXPECT_FALSE(fs.Has("C:\\Out\\b.bgl"));
  fs.AddFile("C:\\log", "ab");
  EXPECT_THROW(fs.AppendToFile("C:\\log", "123456"), Failure);
  EXPECT_EQ(fs.Contents("C:\\log"), "ab1234");  // what fitted was written
  // A read-only target refuses a copy, a write, an append, as on Windows.
  fs.SetFreeBytes(UINT64_MAX);
  fs.SetReadOnly("C:\\log", true);
  EXPECT_THROW(fs.CopyReplacing("C:\\a.bgl", "C:\\log"), Failure);
  EXPECT_THROW(fs.WriteFileFrom("C:\\log", [](const FileSystem::ByteSink&) {}), Failure);
  EXPECT_THROW(fs.AppendToFile("C:\\log", "x"), Failure);
  EXPECT_EQ(fs.Contents("C:\\log"), "ab1234");
}

TEST(MemoryFileSystem, FailsTheNthCallOfAKindAndRecordsCalls) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\x", "abcd");
  fs.FailNth(FsCall::kRead, 2, FailureKind::kAccessDenied);
  fs.FailNth(FsCall::kAppend, 1, FailureKind::kDiskFull);
  EXPECT_EQ(fs.ReadWholeFile("C:\\x"), "abcd");
  EXPECT_THROW(fs.ReadWholeFile("C:\\x"), Failure);
  EXPECT_EQ(fs.ReadWholeFile("C:\\x"), "abcd");
  EXPECT_THROW(fs.AppendToFile("C:\\x", "1234"), Failure);
  EXPECT_EQ(fs.Contents("C:\\x"), "abcd12");  // an injected append breaks off half-way
  ASSERT_EQ(fs.calls().size(), 4u);
  EXPECT_EQ(fs.calls()[3].call, FsCall::kAppend);
  EXPECT_EQ(fs.calls()[3].path, "C:\\x");
}

}  // namespace
}  // namespace scenery
