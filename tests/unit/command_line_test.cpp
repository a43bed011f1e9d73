// The command line of Setup.exe and Uninstall.exe, and the installation it
// runs without windows: what it takes, what it refuses, what it logs.
#include "engine/command_line.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#endif

#include "engine/install_log.h"
#include "engine/removal.h"
#include "tests/support/fake_program.h"
#include "tests/support/headless_toolkit.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_program_list.h"
#include "tests/support/memory_session.h"
#include "tests/support/package_fixture.h"
#include "ui/silent_install.h"
#include "ui/wizard.h"

namespace scenery {
namespace {

TEST(CommandLineReader, SwitchesValuesAndWrongCalls) {
  const struct {
    const char* arguments;
    bool removal;
    const char* read;  // "silent|destination|simulator|log" or the fault
  } cases[] = {
      {"", false, "0|||"},
      {"/S /D=C:\\Harbour", false, "1|C:\\Harbour||"},
      {"/s \"/D=C:\\FS2000\\Addon Scenery\\Harbour\" /fs=C:\\FS2000", false,
       "1|C:\\FS2000\\Addon Scenery\\Harbour|C:\\FS2000|"},
      {"/D=\"C:\\a b\"  /LOG=\"C:\\my logs\\s.log\"", false, "0|C:\\a b||C:\\my logs\\s.log"},
      {"/S /LOG=C:\\r.log", true, "1|||C:\\r.log"},
      {"/S /FS=D:\\FS2000", true, "1||D:\\FS2000|"},
      {"/X", false, "the switch /X does not exist"},
      {"/D=C:\\a", true, "the switch /D=C:\\a does not exist"},
      {"/S /D=", false, "/D= has no value: write it as /D=FOLDER (in quotes when it has blanks)"},
      {"/S /s", false, "/s is given twice"},
      {"/X /S /s", false, "the switch /X does not exist"},  // the first fault
      {"/LOG=a /log=b", false, "/log= is given twice"},
  };
  for (const auto& c : cases) {
    const CommandLine line = ReadCommandLine(c.arguments, c.removal);
    const std::string read = line.fault.empty()
                                 ? std::string(line.silent ? "1" : "0") + "|" + line.destination +
                                       "|" + line.simulator + "|" + line.log
                                 : line.fault;
    EXPECT_EQ(read, c.read) << c.arguments;
  }
  EXPECT_EQ(ArgumentsOf("\"C:\\Setup Files\\Setup.exe\"  /S /D=x"), "/S /D=x");
  EXPECT_EQ(ArgumentsOf("Setup.exe"), "");
  // Every switch is read: a log named after a wrong switch still counts.
  const CommandLine wrong = ReadCommandLine("/X /LOG=C:\\l.log", false);
  EXPECT_EQ(wrong.fault, "the switch /X does not exist");
  EXPECT_EQ(wrong.log, "C:\\l.log");
  EXPECT_EQ(ReadCommandLine("\"/D=C:\\a b", false).fault,
            "a quote is not closed (a value in quotes needs its closing quote)");
}

// Words as Windows' CommandLineToArgvW splits them (checked against it in
// the Windows build): backslashes before quotes, quotes in a quoted stretch.
TEST(CommandLineReader, WordsAsWindowsSplitsThem) {
  const struct {
    const char* arguments;
    const char* words;  // joined by "|", "!" at the end when a quote is left open
  } cases[] = {
      {"\"/D=C:\\x\\Lakeside\\\\\" /S", "/D=C:\\x\\Lakeside\\|/S"},
      {"/D=\"C:\\a b\" x", "/D=C:\\a b|x"},
      {"a\\\\\\\"b a\\\\b", "a\\\"b|a\\\\b"},
      {"\"a\"\"b c\"", "a\"b|c!"},
      {"\"ab\"\"\" c", "ab\" c!"},
      {"a\"\"b \"\"", "ab|"},
      {"a\tb", "a|b"},
      {"a\"b c\"d e", "ab cd|e"},
  };
  for (const auto& c : cases) {
    bool unclosed = false;
    const std::vector<std::string> words = SplitArguments(c.arguments, &unclosed);
    std::string joined;
    for (std::size_t i = 0; i < words.size(); ++i) joined += (i == 0 ? "" : "|") + words[i];
    EXPECT_EQ(joined + (unclosed ? "!" : ""), c.words) << c.arguments;
#ifdef _WIN32
    int count = 0;
    const std::wstring wide = L"p " + std::wstring(c.arguments, c.arguments + std::strlen(c.arguments));
    wchar_t** argv = CommandLineToArgvW(wide.c_str(), &count);
    std::string theirs;
    for (int i = 1; i < count; ++i) {
      theirs += (i == 1 ? "" : "|") + std::string(argv[i], argv[i] + std::wcslen(argv[i]));
    }
    LocalFree(argv);
    EXPECT_EQ(theirs + (unclosed ? "!" : ""), c.words) << c.arguments;
#endif
  }
  for (const std::string word : {"C:\\a b\\", "a\"b\\\"", "plain", ""}) {
    bool unclosed = false;
    EXPECT_EQ(SplitArguments(QuotedArgument(word), &unclosed), std::vector<std::string>{word});
  }
}

class SilentInstall : public testing::Test {
 protected:
  SilentInstall() : box_(MakeMemorySandbox(&fs_)) {
    LayOutPackage(*box_, settings_);
    fs_->AddFile(box_->program_folder() + "\\Setup.ini",
                 "InstallTitle=Harbour\r\nSceneryTitle=Harbour Island\r\nBackupCFG=scenery.bak\r\n"
                 "TargetPath=" +
                     settings_.target_dir + "\r\nGuessFSFolder=" + box_->root() +
                     "\\FS2000\r\nExtension=bmp\r\nExtension=r8\r\nPublisher=J. "
                     "M\xFCller\r\nVersion=2.1\r\n");
  }
  int Run(const std::string& arguments) {
    FolderSource source(*fs_);
    InstallLog log(*fs_, box_->root() + "\\setup.log", [] { return std::string("2026-12-07 10:00:00"); });
    HeadlessToolkit toolkit;
    Reporter reporter(toolkit, true);
    reporter.set_log(&log);
    const ProgramImage image{&program_, program_.Size(), 0};
    const CommandLine line = ReadCommandLine(arguments, false);
    return reporter.Run([&] {
      return InstallSilently(reporter, source, *fs_, line, &image, &programs_,
                             "from the folder " + box_->program_folder(), &session_);
    });
  }
  std::string Log() { return fs_->Contents(box_->root() + "\\setup.log"); }
  void SetUp() override { fs_->AddFile(box_->root() + "\\setup.log", "an earlier run\r\n"); }
  MemoryFileSystem* fs_ = nullptr;
  std::unique_ptr<Sandbox> box_;
  InstallSettings settings_;
  MemoryByteFile program_{FakeProgram(1024)};
  MemoryProgramList programs_;
  MemorySession session_;
};

TEST_F(SilentInstall, InstallsWhereTheManifestProposesAndLogsEachEvent) {
  EXPECT_EQ(Run("/S"), kExitInstalled);
  EXPECT_EQ(fs_->Contents(settings_.target_dir + "\\Scenery\\Harbour.bgl"), "BGL harbour");
  ASSERT_EQ(programs_.entries.size(), 1u);
  EXPECT_EQ(programs_.entries.begin()->second.publisher, "J. M\xFCller");
  EXPECT_EQ(programs_.entries.begin()->second.version, "2.1");
  const std::string log = Log();
  EXPECT_EQ(log.compare(0, 16, "an earlier run\r\n"), 0) << log;  // appended to, not replaced
  for (const std::string& event :
       {"2026-12-07 10:00:00 Package: Harbour, from the folder " + box_->program_folder(),
        "Settings: destination " + settings_.target_dir + " (Setup.ini's proposal)",
        "Made the folder " + settings_.target_dir + "\\Scenery",
        "Copied Harbour.bgl to " + settings_.target_dir + "\\Scenery\\Harbour.bgl (11 bytes)",
        "Made the backup " + settings_.backup_path,
        "Appended the area [Area.003] to " + settings_.cfg_path +
            ": Title=Harbour Island, Local=" + settings_.target_dir,
        "Wrote the removal record into C:\\Program Files\\Scenery Setup\\" +
            ProgramKeyOf(settings_.target_dir) + "\\Uninstall.exe (6 files, 3 folders)",
        std::string("The installation completed\r\n")}) {
    EXPECT_NE(log.find(event), std::string::npos) << event << "\n" << log;
  }
}

// A package is its two titles: two packages of one author that share an
// InstallTitle get a folder, an area and an entry each, and neither is
// written over the other; the same package a second time elsewhere gets an
// entry that names its folder.
TEST_F(SilentInstall, APackageIsItsInstallTitleAndItsSceneryTitle) {
  ASSERT_EQ(Run("/S"), kExitInstalled);
  const std::string ini = box_->program_folder() + "\\Setup.ini", first = settings_.target_dir;
  const std::string manifest = fs_->Contents(ini), area = "SceneryTitle=Harbour Island";
  auto package = [&](const std::string& title) {
    std::string text = manifest;
    fs_->AddFile(ini, text.replace(text.find(area), area.size(), "SceneryTitle=" + title));
  };
  package("Harbour Lighthouse");
  const std::vector<std::string> before = fs_->Listing();
  EXPECT_EQ(Run("/S"), kExitFailed);  // proposed: TargetPath, the first one's folder
  EXPECT_NE(
      Log().find(first + " holds Harbour (its area: Harbour Island), which Setup installed there."),
      std::string::npos)
      << Log();
  EXPECT_EQ(fs_->Listing(), before);
  const std::string second = box_->root() + "\\Scenery\\Lighthouse";
  EXPECT_EQ(Run("/S /D=" + second), kExitInstalled);
  ASSERT_EQ(programs_.entries.size(), 2u);
  for (const auto& entry : programs_.entries) EXPECT_EQ(entry.second.display_name, "Harbour");
  RemovalRecord record;
  ASSERT_TRUE(ReadEarlierInstallation(*fs_, programs_, second, &record));
  RemoveInstallation(*fs_, programs_, record);
  EXPECT_EQ(fs_->Contents(first + "\\Scenery\\Harbour.bgl"), "BGL harbour");
  EXPECT_NE(fs_->Contents(settings_.cfg_path).find("Local=" + first + "\r\n"), std::string::npos);

  package("Harbour Island");
  const std::string third = box_->root() + "\\Scenery\\Copy";
  EXPECT_EQ(Run("/S /D=" + third), kExitInstalled);
  EXPECT_NE(Log().find("A second copy: the package is installed in " + first + " too"),
            std::string::npos);
  EXPECT_EQ(programs_.entries[ProgramKeyOf(third)].display_name, "Harbour (" + third + ")");
}

TEST_F(SilentInstall, RefusesWhatThePagesRefuseAndWritesNothing) {
  fs_->AddFile(box_->root() + "\\a-file", "x");
  fs_->AddFolder(box_->root() + "\\NoSimulator");
  auto without_log = [this](std::vector<std::string> listing) {
    listing.erase(std::remove(listing.begin(), listing.end(), box_->root() + "\\setup.log"),
                  listing.end());
    return listing;
  };
  const std::vector<std::string> before = without_log(fs_->Listing());
  const struct {
    std::string arguments, said;
  } cases[] = {
      {"/S /D=Addon\\Harbour", "is not a valid destination folder"},
      {"/S /D=" + box_->root() + "\\a-file", "names a file, not a folder"},
      {"/S /FS=" + box_->root() + "\\NoSimulator", kNoSimulatorThere},
      {"/S \"/D=" + box_->root() + "\\Har|bour\"", "is not a valid destination folder"},
      {"/S /D=" + box_->root() + "\\" + std::string(250, 'a'), "is too long a path"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.arguments), kExitFailed) << c.arguments;
    EXPECT_NE(Log().find(c.said), std::string::npos) << Log();
    EXPECT_EQ(without_log(fs_->Listing()), before) << c.arguments;
  }
  // The simulator runs from its folder.
  session_.running = {box_->root() + "\\FS2000\\FS2000.EXE"};
  EXPECT_EQ(Run("/S"), kExitFailed);
  EXPECT_NE(Log().find("FS 2000 is running from its folder " + box_->root() + "\\FS2000"),
            std::string::npos)
      << Log();
  EXPECT_EQ(without_log(fs_->Listing()), before);
  session_.running.clear();
  // Found before anything is written: a drive without room (all on one: 64
  // KiB for folders, 6 files of a cluster each, the backup's cluster, the
  // removal program and its record 68 KiB), a package that is not whole.
  fs_->SetFreeBytes(100000);
  EXPECT_EQ(Run("/S"), kExitFailed);
  EXPECT_NE(Log().find("There is not enough room on the drive of " + box_->root() +
                       " for the installation: it needs 160 KB, and 98 KB are free.\r\n"),
            std::string::npos)
      << Log();
  fs_->SetFreeBytes(UINT64_MAX);
  fs_->Remove(box_->program_folder() + "\\ReadMe.txt");
  const std::vector<std::string> without_readme = without_log(fs_->Listing());
  EXPECT_EQ(Run("/S"), kExitFailed);
  EXPECT_NE(Log().find("The package is not whole: it has no file " + box_->program_folder() +
                       "\\ReadMe.txt.\r\n"),
            std::string::npos)
      << Log();
  EXPECT_EQ(without_log(fs_->Listing()), without_readme);
}

// An update without /D=: the folders of the earlier installation, as the
// pages propose them.
TEST_F(SilentInstall, AnUpdateGoesWhereTheEarlierInstallationWent) {
  const std::string first = box_->root() + "\\Addon\\Elsewhere";
  EXPECT_EQ(Run("/S /D=" + first), kExitInstalled);
  EXPECT_EQ(Run("/S"), kExitInstalled);
  EXPECT_NE(Log().find("Settings: destination " + first + " (the earlier installation's proposal)"),
            std::string::npos)
      << Log();
}

}  // namespace
}  // namespace scenery
