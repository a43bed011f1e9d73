#include "engine/manifest.h"

#include <gtest/gtest.h>

#include "tests/support/memory_file_system.h"
#include "tests/support/package_fixture.h"
#include "tests/support/sandbox_test.h"

namespace scenery {
namespace {

InstallSettings Parse(const std::vector<std::string>& lines) {
  InstallSettings settings;
  for (const std::string& line : lines) ParseManifestLine(line, settings);
  return settings;
}

TEST(ParseManifestLine, EveryKeyGoesToItsField) {
  const InstallSettings s = Parse({
      "InstallTitle=Harbour Island", "SceneryTitle=Harbour Island Scenery",
      "CopyRight=(c) 2026 Example Author", "TargetPath=C:\\FS2000\\Addon Scenery\\Harbour",
      "TargetFolder=Harbour", "GuessFSFolder=C:\\Program Files\\FS2000", "BackupCFG=scenery.bak",
      "Exclude=1,2", "Flatten.0=300,N47 1,W122 1", "Flatten.1=310", "Extension=bmp",
  });
  EXPECT_EQ(s.install_title, "Harbour Island");
  EXPECT_EQ(s.scenery_title, "Harbour Island Scenery");
  EXPECT_EQ(s.copyright, "(c) 2026 Example Author");
  EXPECT_EQ(s.target_path, "C:\\FS2000\\Addon Scenery\\Harbour");
  EXPECT_EQ(s.target_folder, "Harbour");
  EXPECT_EQ(s.guess_fs_folder, "C:\\Program Files\\FS2000");
  EXPECT_EQ(s.backup_cfg, "scenery.bak");
  EXPECT_EQ(s.exclude, "1,2");
  EXPECT_EQ(s.flatten0, "300,N47 1,W122 1");
  EXPECT_EQ(s.flatten1, "310");
  EXPECT_EQ(s.extensions, std::vector<std::string>{"bmp"});
}

TEST(ParseManifestLine, IgnoresWhatIsNotAKeyExactlyAsWritten) {
  const InstallSettings s = Parse({
      "[Setup]", "", "installtitle=lower case", "InstallTitle =blank before", " InstallTitle=lead",
      "; InstallTitle=comment", "Title=unknown key", "[InstallTitle=header]", "Extension =bmp",
  });
  EXPECT_EQ(s.install_title, "");
  EXPECT_TRUE(s.extensions.empty());
}

TEST(ParseManifestLine, ValuesAreVerbatimAndTheLastOneWins) {
  const InstallSettings s = Parse({
      "InstallTitle=first", "InstallTitle=  inner  and trailing  ", "SceneryTitle=x",
      "SceneryTitle=", "CopyRight=\"quoted\"",
  });
  EXPECT_EQ(s.install_title, "  inner  and trailing  ");
  EXPECT_EQ(s.scenery_title, "");
  EXPECT_EQ(s.copyright, "\"quoted\"");
}

TEST(ParseManifestLine, ExtensionsFillSlotsInOrderRepeatsIncluded) {
  const InstallSettings s = Parse({"Extension=bmp", "Extension=r8", "Extension=bmp"});
  EXPECT_EQ(s.extensions, (std::vector<std::string>{"bmp", "r8", "bmp"}));
}

TEST(ParseManifestLine, FiftyExtensionsFitTheFiftyFirstIsRefused) {
  InstallSettings s;
  for (int i = 1; i <= kMaxExtensions; ++i) {
    ParseManifestLine("Extension=e" + std::to_string(i), s);
  }
  EXPECT_EQ(s.extensions.size(), 50u);
  try {
    ParseManifestLine("Extension=one-too-many", s);
    FAIL() << "the 51st extension was accepted";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kBadContent);
    EXPECT_NE(failure.Message().find("Setup.ini"), std::string::npos);
    EXPECT_NE(failure.Message().find("50"), std::string::npos);
  }
  EXPECT_EQ(s.extensions.size(), 50u);
}

class ManifestFile : public OnEachFileSystem {
 protected:
  InstallSettings ReadWith(const std::string& bytes) {
    box().Write(box().program_folder() + "\\Setup.ini", bytes);
    InstallSettings settings;
    ReadManifest(*ProgramFolderPackage(fs()), settings);
    return settings;
  }
};

TEST_P(ManifestFile, ReadsEveryLineWhateverTheLineEnds) {
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const std::string e = end;
    const InstallSettings s = ReadWith("[Setup]" + e + "InstallTitle=Harbour" + e + e +
                                       "Extension=bmp" + e + "[Other]" + e + "Extension=r8");
    EXPECT_EQ(s.install_title, "Harbour");
    EXPECT_EQ(s.extensions, (std::vector<std::string>{"bmp", "r8"}));
  }
}

TEST_P(ManifestFile, AByteOrderMarkIsNotPartOfTheFirstLine) {
  const InstallSettings s = ReadWith("\xEF\xBB\xBFInstallTitle=Harbour\r\n\xEF\xBB\xBFTargetFolder=x\r\n");
  EXPECT_EQ(s.install_title, "Harbour");
  EXPECT_EQ(s.target_folder, "");  // only at the start of the file
}

TEST_P(ManifestFile, OnlyHeadersAndBlankLinesLeaveEverythingEmpty) {
  const InstallSettings s = ReadWith("[Setup]\r\n\r\n[Files]\r\n\r\n");
  EXPECT_EQ(s.install_title, "");
  EXPECT_EQ(s.target_path, "");
  EXPECT_TRUE(s.extensions.empty());
}

TEST_P(ManifestFile, KeepsAnsiCharactersAndStopsAtTheRealEnd) {
  // Bytes of a double-byte code page and an accented letter, no final line end.
  const InstallSettings s = ReadWith("CopyRight=\x81\x40\x82\xA0\r\nInstallTitle=\xCEle d'\xE9t\xE9");
  EXPECT_EQ(s.copyright, "\x81\x40\x82\xA0");
  EXPECT_EQ(s.install_title, "\xCEle d'\xE9t\xE9");
}

TEST_P(ManifestFile, MoreThanFiftyExtensionsNameTheFile) {
  std::string bytes;
  for (int i = 1; i <= 51; ++i) bytes += "Extension=e" + std::to_string(i) + "\r\n";
  box().Write(box().program_folder() + "\\Setup.ini", bytes);
  InstallSettings settings;
  try {
    ReadManifest(*ProgramFolderPackage(fs()), settings);
    FAIL() << "51 extensions were accepted";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.path(), box().program_folder() + "\\Setup.ini");
    EXPECT_NE(failure.reason().find("at most 50"), std::string::npos) << failure.reason();
  }
}

TEST_P(ManifestFile, MissingManifestNamesPathAndReason) {
  InstallSettings settings;
  try {
    ReadManifest(*ProgramFolderPackage(fs()), settings);
    FAIL() << "a missing Setup.ini was read";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kNotFound);
    EXPECT_EQ(failure.path(), box().program_folder() + "\\Setup.ini");
    EXPECT_FALSE(failure.reason().empty());
    EXPECT_NE(failure.Message().find(failure.path()), std::string::npos);
    EXPECT_NE(failure.aftermath().find("compressed (zip) folder"), std::string::npos);
  }
}

INSTANTIATE_ON_EACH_FILE_SYSTEM(ManifestFile);

TEST(ReadManifest, ProgramFolderAtADriveRoot) {
  // The path then holds two backslashes in a row, which names the same file.
  MemoryFileSystem fs;
  fs.AddDrive('E', DriveType::kCdRom, "HARBOUR");
  fs.AddFile("E:\\Setup.ini", "InstallTitle=From the CD\r\n");
  fs.SetProgramFolder("E:\\");
  InstallSettings settings;
  ReadManifest(*ProgramFolderPackage(fs), settings);
  EXPECT_EQ(settings.install_title, "From the CD");
  EXPECT_EQ(fs.calls().back().path, "E:\\\\Setup.ini");
}

}  // namespace
}  // namespace scenery
