// scenery-pack check on packages with one fault each: the findings (file,
// line, severity, what they say) and the exit code.
#include "pack/check.h"

#include <gtest/gtest.h>

#include "pack/compress.h"
#include "tests/support/memory_file_system.h"

namespace scenery {
namespace pack {
namespace {

const char kGoodManifest[] =
    "[Setup]\r\n"                                   // 1
    "InstallTitle=Harbour Island Scenery\r\n"       // 2
    "SceneryTitle=Harbour Island\r\n"               // 3
    "TargetPath=C:\\FS2000\\Addon Scenery\\Harbour\r\n"  // 4
    "TargetFolder=Harbour\r\n"                      // 5
    "GuessFSFolder=C:\\FS2000\r\n"                  // 6
    "BackupCFG=scenery.bak\r\n"                     // 7
    "Exclude=\r\n"                                  // 8
    "Extension=bmp\r\n";                            // 9

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

// `text` as Notepad saves it as "Unicode": UTF-16, little-endian, with its mark.
std::string Utf16(const std::string& text) {
  std::string bytes = "\xFF\xFE";
  for (char c : text) bytes += std::string{c, '\0'};
  return bytes;
}

struct Expected {
  std::string file;
  int line;
  Severity severity;
  std::string says;
};

TEST(PackCheck, FaultyPackages) {
  const std::string m = kGoodManifest;
  std::string fifty_one = m;
  for (int i = 2; i <= 51; ++i) fifty_one += "Extension=e" + std::to_string(i) + "\r\n";
  const Severity E = Severity::kError, W = Severity::kWarning;
  const struct {
    const char* fault;
    std::string manifest;   // "-" for no Setup.ini
    const char* remove;     // a file of the good package to take away
    int exit_code;
    std::vector<Expected> findings;
  } cases[] = {
      {"a clean package", m, "", 0, {}},
      {"a byte-order mark", "\xEF\xBB\xBF" + m, "", 0, {}},
      {"a key in lower case", Replaced(m, "InstallTitle=", "installtitle="), "", 2,
       {{"Setup.ini", 0, E, "no InstallTitle= line"}, {"Setup.ini", 2, E, "write \"InstallTitle=\""}}},
      {"a blank before the =", Replaced(m, "BackupCFG=", "BackupCFG ="), "", 2,
       {{"Setup.ini", 0, E, "no BackupCFG= line"}, {"Setup.ini", 7, E, "\"BackupCFG =\" sets nothing"}}},
      {"no SceneryTitle", Replaced(m, "SceneryTitle=Harbour Island\r\n", ""), "", 2,
       {{"Setup.ini", 0, E, "no SceneryTitle= line"}}},
      {"an empty GuessFSFolder", Replaced(m, "GuessFSFolder=C:\\FS2000", "GuessFSFolder="), "", 2,
       {{"Setup.ini", 6, E, "GuessFSFolder is empty"}}},
      {"scenery.cfg as the backup", Replaced(m, "scenery.bak", "SCENERY.cfg"), "", 2,
       {{"Setup.ini", 7, E, "names scenery.cfg itself"}}},
      {"a folder in the backup", Replaced(m, "scenery.bak", "..\\scenery.bak"), "", 2,
       {{"Setup.ini", 7, E, "not a plain file name"}}},
      {"51 extensions", fifty_one, "", 2, {{"Setup.ini", 59, E, "a 51st Extension line"}}},
      {"a relative TargetPath", Replaced(m, "C:\\FS2000\\Addon Scenery\\Harbour", "Addon\\Harbour"),
       "", 2, {{"Setup.ini", 4, E, "not a full path"}}},
      {"a forbidden character", Replaced(m, "Addon Scenery", "Addon|Scenery"), "", 2,
       {{"Setup.ini", 4, E, "forbids"}}},
      {"a TargetPath too long", Replaced(m, "Harbour\r\nTargetFolder", std::string(240, 'h') +
                                                                         "\r\nTargetFolder"),
       "", 2, {{"Setup.ini", 4, E, "longer than the 247"}}},
      {"no License.txt", m, "License.txt", 2, {{"License.txt", 0, E, "missing"}}},
      {"no ReadMe.txt", m, "ReadMe.txt", 2, {{"ReadMe.txt", 0, E, "missing"}}},
      {"no Setup.ini", "-", "", 2, {{"Setup.ini", 0, E, "missing"}}},
      {"an extension with its dot", Replaced(m, "Extension=bmp", "Extension=.bmp"), "", 2,
       {{"Setup.ini", 9, E, "so no file is installed by this line"}}},
      {"an extension twice", m + "Extension=BMP\r\n", "", 1,
       {{"Setup.ini", 10, W, "repeats the one on line 9"}}},
      {"no scenery file", m, "Harbour.bgl", 1, {{"", 0, W, "no scenery file (*.bgl)"}}},
      {"UTF-8 without a mark", Replaced(m, "Harbour Island\r\n", "H\xC3\xA4" "fen\r\n"), "", 0, {}},
      {"UTF-8 that 1252 lacks", Replaced(m, "Harbour Island\r\n", "\xC5\x81\xC3\xB3" "d\xC5\xBA\r\n"),
       "", 1, {{"Setup.ini", 0, W, "2 character(s) that the ANSI code page"}}},
      {"UTF-8 in an ANSI file", Replaced(m, "Harbour Island\r\n", "Caf\xC3\xA9\r\n") + "CopyRight=\xA9 2026\r\n",
       "", 1,
       {{"Setup.ini", 3, W, "saved as UTF-8"}}},
      {"an error, then a warning", Replaced(m, "InstallTitle=", "installtitle=") + "Extension=BMP\r\n",
       "", 2,
       {{"Setup.ini", 0, E, "no InstallTitle= line"}, {"Setup.ini", 2, E, "write \"InstallTitle=\""},
        {"Setup.ini", 10, W, "repeats the one on line 9"}}},
      {"BackupCFG in a subfolder", Replaced(m, "scenery.bak", "Backup\\scenery.bak"), "", 0, {}},
      {"scenery.cfg in a subfolder", Replaced(m, "scenery.bak", "Backup\\scenery.cfg"), "", 0, {}},
      {"scenery.cfg with a trailing dot", Replaced(m, "scenery.bak", "scenery.cfg."), "", 2,
       {{"Setup.ini", 7, E, "names scenery.cfg itself"}}},
      {"BackupCFG of a dot", Replaced(m, "scenery.bak", "."), "", 2,
       {{"Setup.ini", 7, E, "not a plain file name"}}},
      {"BackupCFG of two dots", Replaced(m, "scenery.bak", ".."), "", 2,
       {{"Setup.ini", 7, E, "not a plain file name"}}},
      {"Setup.ini saved as UTF-16", Utf16(m), "", 0, {}},
      {"a title of blanks", Replaced(m, "InstallTitle=Harbour Island Scenery", "InstallTitle=   "), "", 2,
       {{"Setup.ini", 2, E, "InstallTitle is empty but for blanks"}}},
      {"a key given twice", m + "InstallTitle= \r\n", "", 2,
       {{"Setup.ini", 10, W, "this line's value replaces the one on line 2"},
        {"Setup.ini", 10, E, "InstallTitle is empty but for blanks"}}},
      {"a blank after a path", Replaced(m, "Harbour\r\nTargetFolder", "Harbour \r\nTargetFolder"), "", 1,
       {{"Setup.ini", 4, W, "TargetPath begins or ends with a blank"}}},
      {"no TargetFolder", Replaced(m, "TargetFolder=Harbour\r\n", ""), "", 1,
       {{"Setup.ini", 0, W, "no TargetFolder= line"}}},
      {"a title too wide for 1024 pixels",
       Replaced(m, "Harbour Island Scenery", "Harbour Island Scenery for FS2000 - Version 2"), "", 1,
       {{"Setup.ini", 2, W, "1008 pixels wide in the background's Arial of 36 points: a 1024 x 768 "
                            "screen shows only \"Harbour Island Scenery for FS2000 - Version \""}}},
      {"a notice too long", m + "CopyRight=" + std::string(74, 'c') + "\r\n", "", 1,
       {{"Setup.ini", 10, W, "its start falls off the left edge; shorten it to at most 73"}}},
      {"a notice of wide letters", m + "CopyRight=(C) MMW WWM MWM MMW GmbH & Co. KG\r\n", "", 1,
       {{"Setup.ini", 10, W, "shows only \"(C) MMW WWM MWM MMW GmbH & Co.\""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    MemoryFileSystem fs;
    fs.SetProgramFolder("C:\\pkg");
    if (c.manifest != "-") fs.AddFile("C:\\pkg\\Setup.ini", c.manifest);
    for (const char* name : {"Setup.exe", "License.txt", "ReadMe.txt", "Harbour.bgl", "sea.bmp"}) {
      if (std::string(name) != c.remove) fs.AddFile(std::string("C:\\pkg\\") + name, "bytes");
    }
    const PackageReport report = CheckPackage(fs);
    std::string all;
    for (const Finding& f : report.findings) all += FormatFinding(f, "pkg", '/') + "\n";
    // In the order of files and lines, as the README promises.
    ASSERT_EQ(report.findings.size(), c.findings.size()) << all;
    for (std::size_t i = 0; i < c.findings.size(); ++i) {
      const Expected& want = c.findings[i];
      const Finding& f = report.findings[i];
      EXPECT_TRUE(f.file == want.file && f.line == want.line && f.severity == want.severity &&
                  f.text.find(want.says) != std::string::npos)
          << "finding " << i << " is not " << want.file << ":" << want.line << " \"" << want.says
          << "\" in\n" << all;
    }
    EXPECT_EQ(report.ExitCode(), c.exit_code) << all;
  }
}

TEST(PackCheck, SummaryOfWhatIsInstalledAndWhatIsNot) {
  MemoryFileSystem fs;
  fs.SetProgramFolder("C:\\pkg");
  fs.AddFile("C:\\pkg\\Setup.ini", std::string(kGoodManifest) + "Extension=BMP\r\n");
  for (const char* name :
       {"Setup.exe", "License.txt", "ReadMe.txt", "a.bgl", "b.bmp", "c.doc", "ReadMe.rtf",
        "License.doc"}) {
    fs.AddFile(std::string("C:\\pkg\\") + name, "12345");
  }
  fs.AddFile("C:\\pkg\\d.bgl", "1", /*hidden=*/true);
  const PackageReport report = CheckPackage(fs);
  const std::string summary = FormatSummary(report, "pkg");
  for (const char* line : {"  a.bgl                           Scenery\\\n",
                           "  b.bmp                           Texture\\\n",
                           "  License.txt                     the destination itself\n",
                           "  c.doc                           its extension is not listed",
                           "  d.bgl                           a hidden or system file",
                           "  Setup.exe                       the installer itself",
                           "  ReadMe.rtf                      the package needs ReadMe.txt",
                           "  License.doc                     the package needs License.txt",
                           "Total: 4 files, 20 bytes\n",  // b.bmp once, though listed twice
                           "  [Area.NNN]\n  Title=Harbour Island\n"
                           "  Local=C:\\FS2000\\Addon Scenery\\Harbour\n  Active=TRUE\n"
                           "  Layer=NNN\n\n"}) {
    EXPECT_NE(summary.find(line), std::string::npos) << line << "\nin\n" << summary;
  }
  // What build carries, in the copy run's order; a scenery file that cannot
  // be read while the solid stream is coded fails naming it, and the coder
  // lets go of it.
  const PackageFiles carried = CollectFiles(fs, "C:\\pkg", report, 1);
  ASSERT_EQ(carried.list.size(), 5u);
  EXPECT_EQ(carried.list[1].name + " " + carried.list[2].name, "a.bgl b.bmp");
  EXPECT_EQ(carried.list[2].method, PackMethod::kStored);  // 10 bytes gain nothing
  fs.FailNth(FsCall::kRead, 2, FailureKind::kAccessDenied);  // after Setup.ini's
  try {
    CollectFiles(fs, "C:\\pkg", report, 1);
    ADD_FAILURE() << "an unreadable file was packed";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.path(), "C:\\pkg\\a.bgl");
  }
  // A faulty Extension= line is named as what leaves its files out.
  fs.AddFile("C:\\pkg\\Setup.ini", Replaced(kGoodManifest, "Extension=bmp", "Extension=.bmp"));
  const std::string faulty = FormatSummary(CheckPackage(fs), "pkg");
  EXPECT_NE(faulty.find("  b.bmp                           left out by the faulty Extension= line 9"),
            std::string::npos) << faulty;
  // The scenery in a subfolder, as authors lay it out: listed, and an error
  // when the package folder itself then holds no *.bgl.
  fs.AddFile("C:\\pkg\\Scenery\\Harbour.bgl", "BGL");
  fs.AddFile("C:\\pkg\\Texture\\sea.bmp", "BMP");
  EXPECT_EQ(CheckPackage(fs).ExitCode(), 2);  // the faulty Extension= line still there
  fs.AddFile("C:\\pkg\\Setup.ini", kGoodManifest);
  EXPECT_EQ(CheckPackage(fs).ExitCode(), 2);  // files it would install lie in subfolders
  MemoryFileSystem layered;
  layered.SetProgramFolder("C:\\pkg");
  layered.AddFile("C:\\pkg\\Setup.ini", kGoodManifest);
  for (const char* name : {"License.txt", "ReadMe.txt", "Scenery\\a.bgl", "Texture\\b.bmp",
                           "Texture\\c.bmp", "Texture\\d.bmp", "Texture\\e.bmp"}) {
    layered.AddFile(std::string("C:\\pkg\\") + name, "12345");
  }
  // One error per subfolder, naming what it holds (three files at most); a
  // hidden scenery file in the folder itself is named too, but not a hidden
  // file that would not be installed anyway (Explorer's desktop.ini).
  layered.AddFile("C:\\pkg\\Runway.bgl", "BGL", true);
  layered.AddFile("C:\\pkg\\desktop.ini", "[.ShellClassInfo]", true);
  const PackageReport report2 = CheckPackage(layered);
  ASSERT_EQ(report2.findings.size(), 3u);
  for (int i : {0, 1}) EXPECT_EQ(report2.findings[i].severity, Severity::kError);
  EXPECT_NE(report2.findings[0].text.find("its subfolder Scenery holds files that Setup.exe would "
                                          "install (a.bgl)"),
            std::string::npos) << report2.findings[0].text;
  EXPECT_NE(report2.findings[1].text.find("Texture holds files that Setup.exe would install "
                                          "(b.bmp, c.bmp, d.bmp and 1 more)"),
            std::string::npos) << report2.findings[1].text;
  EXPECT_EQ(report2.findings[2].file, "Runway.bgl");
  EXPECT_NE(report2.findings[2].text.find("a hidden or system file"), std::string::npos);
  const std::string layered_summary = FormatSummary(report2, "pkg");
  EXPECT_NE(layered_summary.find("  Texture\\                        a subfolder: Setup.exe copies only"),
            std::string::npos) << layered_summary;
}

}  // namespace
}  // namespace pack
}  // namespace scenery
