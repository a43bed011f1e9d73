// The contract of the FileSystem seam, checked alike on every implementation.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/file_system.h"
#include "tests/support/sandbox_test.h"
#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include "platform/win32/win32_file_system.h"
#endif

namespace scenery {
namespace {

class FileSystemContract : public OnEachFileSystem {
 protected:
  std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  }
  // Expects `action` to throw a Failure of `kind` whose message names `path`.
  template <typename Action>
  void ExpectFailure(Action action, FailureKind kind, const std::string& path) {
    try {
      action();
      ADD_FAILURE() << "no failure for " << path;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind(), kind) << failure.Message();
      EXPECT_EQ(failure.path(), path);
      EXPECT_FALSE(failure.reason().empty());
      EXPECT_NE(failure.Message().find(path), std::string::npos);
    }
  }
};

TEST_P(FileSystemContract, FindFilesListsOrdinaryFilesOnly) {
  const std::string pkg = box().program_folder();
  box().Write(pkg + "\\a.bgl", "1");
  box().Write(pkg + "\\B.BGL", "2");
  box().Write(pkg + "\\hidden.bgl", "3");
  box().Write(pkg + "\\system.bgl", "4");
  box().Write(pkg + "\\other.bmp", "5");
  box().MakeFolders(pkg + "\\folder.bgl");
  box().SetHidden(pkg + "\\hidden.bgl");
  box().SetSystem(pkg + "\\system.bgl");
  EXPECT_EQ(Sorted(fs().FindFiles(pkg + "\\*.bgl")), (std::vector<std::string>{"B.BGL", "a.bgl"}));
  EXPECT_EQ(Sorted(fs().FindFiles(pkg + "\\\\*.BgL")), (std::vector<std::string>{"B.BGL", "a.bgl"}));
  EXPECT_EQ(fs().FindFiles(pkg + "\\*.r8"), std::vector<std::string>{});
  EXPECT_EQ(fs().FindFiles(root() + "\\missing\\*.bgl"), std::vector<std::string>{});
  EXPECT_EQ(fs().FindFiles(pkg + "\\a|b\\*.bgl"), std::vector<std::string>{});
}

TEST_P(FileSystemContract, ListFilesShowsEveryFileWithItsSizeAndAttributes) {
  const std::string pkg = box().program_folder();
  box().Write(pkg + "\\a.bgl", "12345");
  box().Write(pkg + "\\hidden.bmp", "1");
  box().SetHidden(pkg + "\\hidden.bmp");
  box().MakeFolders(pkg + "\\folder.bgl");
  std::vector<std::string> seen;
  for (const FileEntry& file : fs().ListFiles(pkg + "\\")) {
    seen.push_back(file.name + " " + std::to_string(file.size) +
                   (file.hidden_or_system ? " hidden" : ""));
  }
  EXPECT_EQ(Sorted(seen), (std::vector<std::string>{"a.bgl 5", "hidden.bmp 1 hidden"}));
  ExpectFailure([&] { fs().ListFiles(root() + "\\missing"); }, FailureKind::kNotFound,
                root() + "\\missing");
}

TEST_P(FileSystemContract, ProbeTellsFilesFoldersAndHiddenEntries) {
  box().Write(root() + "\\Dir\\file.txt", "x");
  box().MakeFolders(root() + "\\Hidden");
  box().SetHidden(root() + "\\Hidden");
  EXPECT_EQ(fs().Probe(root() + "\\Dir").kind, EntryKind::kFolder);
  EXPECT_EQ(fs().Probe(root() + "\\dir\\").kind, EntryKind::kFolder);
  EXPECT_EQ(fs().Probe(root() + "\\DIR\\\\FILE.TXT").kind, EntryKind::kFile);
  EXPECT_FALSE(fs().Probe(root() + "\\Dir").hidden_or_system);
  const PathInfo hidden = fs().Probe(root() + "\\Hidden");
  EXPECT_EQ(hidden.kind, EntryKind::kFolder);
  EXPECT_TRUE(hidden.hidden_or_system);
  EXPECT_EQ(fs().Probe(root() + "\\nothing").kind, EntryKind::kMissing);
  EXPECT_EQ(fs().Probe(root() + "\\nothing\\deeper").kind, EntryKind::kMissing);
  EXPECT_EQ(fs().Probe(root() + "\\D*").kind, EntryKind::kMissing);
  EXPECT_EQ(fs().Probe(root() + "\\a<b>").kind, EntryKind::kMissing);
  EXPECT_EQ(fs().Probe(root().substr(0, 3)).kind, EntryKind::kFolder);  // the drive root
}

TEST_P(FileSystemContract, MakeFolderMakesOneLevel) {
  const std::string folder = root() + "\\New";
  fs().MakeFolder(folder);
  EXPECT_EQ(fs().Probe(folder).kind, EntryKind::kFolder);
  fs().MakeFolder(folder);  // an existing folder is fine
  box().MakeFolders(root() + "\\Hidden");
  box().SetHidden(root() + "\\Hidden");
  fs().MakeFolder(root() + "\\Hidden");
  box().Write(root() + "\\File", "x");
  ExpectFailure([&] { fs().MakeFolder(root() + "\\File"); }, FailureKind::kAlreadyExists,
                root() + "\\File");
  ExpectFailure([&] { fs().MakeFolder(root() + "\\No\\Parent"); }, FailureKind::kNotFound,
                root() + "\\No\\Parent");
  EXPECT_EQ(box().Tree(), (std::vector<std::string>{"File", "Hidden\\", "New\\", "pkg\\"}));
}

TEST_P(FileSystemContract, CopyReplacesTheTarget) {
  box().Write(root() + "\\a.bgl", std::string("new\0bytes\xE9", 10));
  box().Write(root() + "\\Out\\a.bgl", "old and longer");
  fs().CopyReplacing(root() + "\\a.bgl", root() + "\\Out\\A.BGL");
  EXPECT_EQ(box().Read(root() + "\\Out\\a.bgl"), std::string("new\0bytes\xE9", 10));
  EXPECT_EQ(box().Read(root() + "\\a.bgl"), std::string("new\0bytes\xE9", 10));
  // A copy carries the read-only attribute of its source (a package from a
  // CD); MakeWritable takes it off, and only it.
  box().SetReadOnly(root() + "\\a.bgl");
  EXPECT_TRUE(fs().Probe(root() + "\\a.bgl").read_only);
  fs().CopyReplacing(root() + "\\a.bgl", root() + "\\Out\\c.bgl");
  EXPECT_TRUE(fs().Probe(root() + "\\Out\\c.bgl").read_only);
  fs().MakeWritable(root() + "\\Out\\c.bgl");
  EXPECT_FALSE(fs().Probe(root() + "\\Out\\c.bgl").read_only);
  EXPECT_TRUE(fs().Probe(root() + "\\a.bgl").read_only);
  fs().MakeWritable(root() + "\\a.bgl");
}

TEST_P(FileSystemContract, FailedCopyNamesSourceTargetAndReason) {
  const std::string from = root() + "\\missing.bgl";
  const std::string to = root() + "\\Out\\missing.bgl";
  box().MakeFolders(root() + "\\Out");
  ExpectFailure([&] { fs().CopyReplacing(from, to); }, FailureKind::kNotFound, from);
  try {
    fs().CopyReplacing(from, to);
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.target(), to);
  }
  box().Write(from, "x");
  ExpectFailure([&] { fs().CopyReplacing(from, root() + "\\NoFolder\\x.bgl"); },
                FailureKind::kNotFound, from);
  EXPECT_EQ(box().Tree(), (std::vector<std::string>{"missing.bgl", "Out\\", "pkg\\"}));
}

TEST_P(FileSystemContract, ReadAppendLengthAndTruncate) {
  const std::string path = root() + "\\scenery.cfg";
  box().Write(path, "[Area.001]\r\nLayer=1");
  EXPECT_EQ(fs().FileLength(path), 19u);
  EXPECT_EQ(fs().ReadWholeFile(root() + "\\SCENERY.CFG"), "[Area.001]\r\nLayer=1");
  fs().AppendToFile(path, "\r\n[Area.002]\r\n");
  EXPECT_EQ(box().Read(path), "[Area.001]\r\nLayer=1\r\n[Area.002]\r\n");
  EXPECT_EQ(fs().FileLength(path), 33u);
  fs().Truncate(path, 19);
  EXPECT_EQ(box().Read(path), "[Area.001]\r\nLayer=1");
  fs().AppendToFile(path, "");
  EXPECT_EQ(fs().FileLength(path), 19u);
  // New contents put in its place whole: its attributes stay, a read-only
  // file is refused as it is, and no spare file is left beside it.
  const std::vector<std::string> tree = box().Tree();
  box().SetHidden(path);
  fs().ReplaceContents(path, "[Area.002]\r\n");
  EXPECT_EQ(box().Read(path), "[Area.002]\r\n");
  EXPECT_TRUE(fs().Probe(path).hidden_or_system);
  box().SetReadOnly(path);
  ExpectFailure([&] { fs().ReplaceContents(path, "x"); }, FailureKind::kAccessDenied, path);
  EXPECT_EQ(box().Read(path), "[Area.002]\r\n");
  EXPECT_EQ(box().Tree(), tree);
}

// What undoing an installation needs: a file renamed (read-only too) and
// back, files and empty folders removed, and what must stay refused.
TEST_P(FileSystemContract, RenameAndRemove) {
  const std::string a = root() + "\\a.bgl", b = root() + "\\~sc0001.tmp";
  box().Write(a, "old");
  box().SetReadOnly(a);
  fs().RenameFile(a, b);
  EXPECT_EQ(box().Read(b), "old");
  EXPECT_TRUE(fs().Probe(b).read_only);
  EXPECT_EQ(fs().Probe(a).kind, EntryKind::kMissing);
  box().Write(a, "new");
  ExpectFailure([&] { fs().RenameFile(a, b); }, FailureKind::kAlreadyExists, a);
  ExpectFailure([&] { fs().RemoveFile(b); }, FailureKind::kAccessDenied, b);
  fs().RemoveFile(a);
  ExpectFailure([&] { fs().RemoveFile(a); }, FailureKind::kNotFound, a);
  ExpectFailure([&] { fs().RenameFile(a, b); }, FailureKind::kNotFound, a);
  const std::string folder = root() + "\\made";
  box().Write(folder + "\\x", "1");
  ExpectFailure([&] { fs().RemoveFolder(folder); }, FailureKind::kOther, folder);
  fs().RemoveFile(folder + "\\x");
  fs().RemoveFolder(folder);
  EXPECT_EQ(fs().Probe(folder).kind, EntryKind::kMissing);
  ExpectFailure([&] { fs().RemoveFolder(folder); }, FailureKind::kNotFound, folder);
}

// What the removal deletes with: a file checked and deleted through one
// opening, held against deletion by anyone else meanwhile; a held folder
// that cannot be removed until it is let go; a protected folder.
TEST_P(FileSystemContract, CheckedDeletesHoldsAndProtectedFolders) {
  const std::string folder = root() + "\\Scenery", file = folder + "\\a.bgl";
  box().Write(file, "ours");
  box().SetReadOnly(file);
  std::string seen;
  auto read = [&](ByteFile& data) {
    seen.assign(static_cast<std::size_t>(data.Size()), '\0');
    data.ReadAt(0, &seen[0], seen.size());
    ExpectFailure([&] { fs().RemoveFile(file); }, FailureKind::kInUse, file);
    return seen == "ours";
  };
  box().Write(root() + "\\b.bgl", "not ours");
  EXPECT_EQ(fs().RemoveFileIf(root() + "\\b.bgl", [](ByteFile&) { return false; }),
            RemoveOutcome::kKept);
  EXPECT_EQ(box().Read(root() + "\\b.bgl"), "not ours");
  {
    const std::unique_ptr<FolderHold> hold = fs().HoldFolder(folder);
    ASSERT_NE(hold, nullptr);
    EXPECT_EQ(fs().RemoveFileIf(file, read), RemoveOutcome::kDeleted);
    EXPECT_EQ(seen, "ours");
    EXPECT_EQ(fs().Probe(file).kind, EntryKind::kMissing);
    ExpectFailure([&] { fs().RemoveFolder(folder); }, FailureKind::kInUse, folder);
  }
  fs().RemoveFolder(folder);
  EXPECT_EQ(fs().RemoveFileIf(file, read), RemoveOutcome::kMissing);
  EXPECT_EQ(fs().HoldFolder(folder), nullptr);
  EXPECT_EQ(fs().HoldFolder(root() + "\\b.bgl"), nullptr);
  const std::string kept = root() + "\\Kept";
  fs().MakeProtectedFolder(kept);
  fs().MakeProtectedFolder(kept);  // taken as it is
  EXPECT_EQ(fs().Probe(kept).kind, EntryKind::kFolder);
  ExpectFailure([&] { fs().MakeProtectedFolder(root() + "\\b.bgl"); }, FailureKind::kAlreadyExists,
                root() + "\\b.bgl");
}

#ifdef _WIN32
// The protected access list, as the system reads it back: inherits nothing
// (P); full control (FA) for the system and administrators only, reading
// and running (0x1200a9) for users; each for the folder and all below it.
TEST(ProtectedFolder, OnlyAdministratorsAndTheSystemMayWrite) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  char* text = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
      kProtectedAccess, SDDL_REVISION_1, &descriptor, nullptr));
  ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(
      descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr));
  EXPECT_STREQ(text, "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
  LocalFree(text);
  LocalFree(descriptor);
}
#endif

TEST_P(FileSystemContract, MissingFilesAreNotFoundAndNeverCreated) {
  const std::string path = root() + "\\none.cfg";
  ExpectFailure([&] { fs().ReadWholeFile(path); }, FailureKind::kNotFound, path);
  ExpectFailure([&] { fs().FileLength(path); }, FailureKind::kNotFound, path);
  ExpectFailure([&] { fs().AppendToFile(path, "x"); }, FailureKind::kNotFound, path);
  EXPECT_EQ(box().Tree(), std::vector<std::string>{"pkg\\"});
}

TEST_P(FileSystemContract, SubfoldersLeaveOutFilesHiddenAndSystemFolders) {
  box().MakeFolders(root() + "\\Games\\FS2000");
  box().MakeFolders(root() + "\\Games\\Maps");
  box().MakeFolders(root() + "\\Games\\Secret");
  box().MakeFolders(root() + "\\Games\\Sys");
  box().Write(root() + "\\Games\\file.txt", "x");
  box().SetHidden(root() + "\\Games\\Secret");
  box().SetSystem(root() + "\\Games\\Sys");
  EXPECT_EQ(Sorted(fs().ListSubfolders(root() + "\\Games")),
            (std::vector<std::string>{"FS2000", "Maps"}));
  EXPECT_EQ(fs().ListSubfolders(root() + "\\Games\\Maps"), std::vector<std::string>{});
  ExpectFailure([&] { fs().ListSubfolders(root() + "\\Nowhere"); }, FailureKind::kNotFound,
                root() + "\\Nowhere");
}

TEST_P(FileSystemContract, DrivesAndCurrentFolders) {
  const std::string current = fs().CurrentFolder();
  ASSERT_GE(current.size(), 3u);
  EXPECT_EQ(current[1], ':');
  const char letter = static_cast<char>(current[0] | 0x20);
  const std::vector<DriveInfo> drives = fs().ListDrives();
  EXPECT_TRUE(std::any_of(drives.begin(), drives.end(),
                          [&](const DriveInfo& d) { return d.letter == letter; }));
  EXPECT_TRUE(fs().IsDriveReady(letter));
  const std::string of_drive = fs().CurrentFolderOfDrive(letter);
  EXPECT_EQ(of_drive.substr(1, 2), ":\\");
  EXPECT_EQ(fs().Probe(of_drive).kind, EntryKind::kFolder);
  EXPECT_NE(fs().ProgramFolder().find(box().program_folder()), std::string::npos);
}

INSTANTIATE_ON_EACH_FILE_SYSTEM(FileSystemContract);

}  // namespace
}  // namespace scenery
