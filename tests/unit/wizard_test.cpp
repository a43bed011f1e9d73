// The wizard's pages on headless forms, with message boxes answered from a
// script and the in-memory file system underneath.
#include "ui/wizard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "tests/support/headless_toolkit.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/memory_session.h"
#include "tests/support/package_fixture.h"

namespace scenery {
namespace {

using forms::Answer;
using forms::Icon;

int IndexOf(const forms::DirList& list, const std::string& item) {
  const auto& items = list.items();
  return static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
}

class WizardTest : public testing::Test {
 protected:
  WizardTest() {
    fs_.AddDrive('C', DriveType::kFixed, "SYSTEM");
    fs_.AddDrive('D', DriveType::kCdRom);
    fs_.SetDriveReady('D', false);
    fs_.SetProgramFolder("C:\\pkg");
    fs_.AddFile("C:\\pkg\\Setup.ini",
                "[Setup]\r\nInstallTitle=Harbour Island\r\nSceneryTitle=Harbour\r\n"
                "CopyRight=(c) 2026 A. Author\r\nTargetPath=C:\\Addon\\Harbour\r\n"
                "TargetFolder=Harbour\r\nGuessFSFolder=C:\\FS2000\r\nBackupCFG=scenery.bak\r\n"
                "Extension=bmp\r\n");
    fs_.AddFile("C:\\pkg\\license.txt", "\xEF\xBB\xBF" "First line\nSecond line\rThird \xE9t\xE9\r\n");
    fs_.AddFile("C:\\pkg\\ReadMe.txt", "Read me");
    for (int i = 1; i <= 4; ++i) fs_.AddFile("C:\\pkg\\s" + std::to_string(i) + ".bgl", "BGL");
    fs_.AddFile("C:\\pkg\\t1.bmp", "BM");
    fs_.AddFile("C:\\pkg\\t2.bmp", "BM");
    fs_.AddFile("C:\\FS2000\\scenery.cfg", SampleSceneryCfg());
    fs_.AddFolder("C:\\Games\\Maps");
    fs_.AddFolder("C:\\Games\\Cars");
    fs_.SetCurrentFolder("C:\\Games");
  }

  void Start() {
    wizard_.HandleEvent([this] { wizard_.Start(); });
  }
  void Click(forms::Button& button) {
    wizard_.HandleEvent([&button] { button.Click(); });
  }
  void Close(Page& page) {
    wizard_.HandleEvent([&page] { page.form().RequestClose(); });
  }
  void Answer(forms::Answer answer) { toolkit_.answers.push_back(answer); }
  // Starts and walks to the page of the simulator folder.
  void ToSimulatorPage() {
    Start();
    wizard_.HandleEvent([this] { wizard_.licence().accept.Click(); });
    Click(wizard_.licence().next);
    Answer(Answer::kYes);  // C:\Addon\Harbour does not exist yet
    Click(wizard_.destination().next);
    ASSERT_EQ(wizard_.current(), &wizard_.simulator());
  }
  const forms::Message& LastMessage() { return toolkit_.asked.back(); }

  MemoryFileSystem fs_;
  InstallSettings settings_;
  HeadlessToolkit toolkit_;
  FolderSource source_{fs_};
  Wizard wizard_{settings_, source_, fs_, toolkit_};
};

// What the user sees of a form: every shown control inside the window and
// none over another (one lying wholly inside another, as the progress fill
// in its trough, is drawn so on purpose; a label's box may reach less than a
// quarter of its height into the control below it, where it holds no text).
void ExpectLaidOut(const forms::Form& form) {
  std::vector<const forms::Control*> shown;
  for (const auto& control : form.controls()) {
    if (control->visible() && control->kind() != forms::Kind::kLine) shown.push_back(control.get());
  }
  auto inside = [](const forms::Rect& a, const forms::Rect& b) {
    return a.left >= b.left && a.top >= b.top && a.left + a.width <= b.left + b.width &&
           a.top + a.height <= b.top + b.height;
  };
  const forms::Rect window{0, 0, form.client_width(), form.client_height()};
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const forms::Rect& a = shown[i]->bounds();
    EXPECT_TRUE(inside(a, window)) << form.name() << ": " << shown[i]->name() << " leaves the window";
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      const forms::Rect& b = shown[j]->bounds();
      const int slack = shown[i]->kind() == forms::Kind::kLabel ? (a.height - 1) / 4 : 0;
      const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                         a.top + a.height - slack <= b.top || b.top + b.height <= a.top;
      EXPECT_TRUE(apart || inside(a, b) || inside(b, a))
          << form.name() << ": " << shown[i]->name() << " overlaps " << shown[j]->name();
    }
  }
}

TEST_F(WizardTest, StartUpShowsTheBackgroundAndTheLicence) {
  Start();
  EXPECT_TRUE(toolkit_.quit_codes.empty());
  EXPECT_EQ(toolkit_.background_caption, settings_.install_title);
  EXPECT_FALSE(settings_.install_title.empty());
  LicencePage& page = wizard_.licence();
  EXPECT_EQ(wizard_.current(), &page);
  EXPECT_TRUE(page.form().visible());
  EXPECT_EQ(page.form().title(), "License Agreement");
  EXPECT_EQ(page.form().focused(), &page.accept);
  EXPECT_FALSE(page.next.enabled());
  EXPECT_EQ(page.accept_caption.text(), "I accept the terms of this agreement");
  // Every line of the file on a line of its own, whatever its line end.
  EXPECT_EQ(page.licence_text.text(), "First line\r\nSecond line\r\nThird \xE9t\xE9\r\n");
  EXPECT_EQ(page.copyright.text(), "\xA9 2026 scenery-setup");
  EXPECT_EQ(page.web_address.text(), "scenery-setup 0.0.test");
}

TEST_F(WizardTest, ControlIdsFollowTheTabOrder) {
  Start();
  std::vector<std::string> names;
  for (const auto& control : wizard_.licence().form().controls()) {
    names.push_back(control->name() + "=" + std::to_string(control->id()));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Label1=100", "Label2=104", "Check1=101",
                                             "Command1=102", "Command2=103", "Text1=105",
                                             "Label3=106", "Label4=107", "Label5=108",
                                             "Line1=199"}));
}

TEST_F(WizardTest, MissingFilesAtStartEndWithTheErrorReport) {
  fs_.AddFile("C:\\pkg\\license.txt", "");
  MemoryFileSystem empty;
  empty.SetProgramFolder("C:\\pkg");
  HeadlessToolkit toolkit;
  InstallSettings settings;
  FolderSource source(empty);
  Wizard without_manifest(settings, source, empty, toolkit);
  toolkit.answers.push_back(Answer::kOk);
  without_manifest.HandleEvent([&] { without_manifest.Start(); });
  ASSERT_EQ(toolkit.asked.size(), 1u);
  EXPECT_EQ(toolkit.asked[0].title, "Setup");  // no InstallTitle yet
  EXPECT_EQ(toolkit.asked[0].icon, Icon::kCritical);
  EXPECT_NE(toolkit.asked[0].text.find("C:\\pkg\\Setup.ini"), std::string::npos);
  EXPECT_EQ(toolkit.quit_codes, std::vector<int>{kExitFailed});
  EXPECT_EQ(without_manifest.current(), nullptr);

  empty.AddFile("C:\\pkg\\Setup.ini", "InstallTitle=Harbour\r\n");
  HeadlessToolkit toolkit2;
  Wizard without_licence(settings, source, empty, toolkit2);
  toolkit2.answers.push_back(Answer::kOk);
  without_licence.HandleEvent([&] { without_licence.Start(); });
  EXPECT_EQ(toolkit2.asked.at(0).title, "Harbour");
  EXPECT_NE(toolkit2.asked[0].text.find("C:\\pkg\\license.txt"), std::string::npos);
  EXPECT_NE(toolkit2.asked[0].text.find("cannot find"), std::string::npos);
  EXPECT_EQ(toolkit2.quit_codes, std::vector<int>{kExitFailed});
  EXPECT_FALSE(without_licence.licence().form().visible());
  // Events that arrive while the program ends are dropped.
  without_licence.HandleEvent([] { FAIL() << "an event ran after the end"; });
}

TEST_F(WizardTest, AnyFailureInAnEventIsReportedOnce) {
  Start();
  Answer(Answer::kOk);
  wizard_.HandleEvent([] { throw std::runtime_error("list index out of range"); });
  EXPECT_EQ(LastMessage().icon, Icon::kCritical);
  EXPECT_EQ(LastMessage().title, "Harbour Island");
  EXPECT_NE(LastMessage().text.find("list index out of range"), std::string::npos);
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitFailed});
  wizard_.HandleEvent([] { throw 42; });  // the program is ending: dropped, not reported again
  EXPECT_EQ(toolkit_.asked.size(), 1u);
}

TEST_F(WizardTest, TheAcceptanceBoxAloneEnablesNext) {
  Start();
  LicencePage& page = wizard_.licence();
  Click(page.next);
  EXPECT_EQ(wizard_.current(), &page);  // disabled: nothing happens
  wizard_.HandleEvent([&] { page.accept.Click(); });
  EXPECT_TRUE(page.next.enabled());
  wizard_.HandleEvent([&] { page.accept.Click(); });
  EXPECT_FALSE(page.next.enabled());
  wizard_.HandleEvent([&] { page.accept.Click(); });
  Click(page.next);
  EXPECT_EQ(wizard_.current(), &wizard_.destination());
  EXPECT_FALSE(page.form().visible());
}

TEST_F(WizardTest, DestinationPageProposals) {
  Start();
  wizard_.HandleEvent([this] { wizard_.licence().accept.Click(); });
  Click(wizard_.licence().next);
  FolderPage& page = wizard_.destination();
  EXPECT_EQ(page.form().title(), "Harbour Island");
  EXPECT_EQ(page.path_text.text(), "C:\\Addon\\Harbour");
  EXPECT_EQ(page.folders.path(), "C:\\Games");
  EXPECT_EQ(page.folders.items(), (std::vector<std::string>{"C:\\", "Games", "Cars", "Maps"}));
  EXPECT_EQ(page.drives.items(), (std::vector<std::string>{"c: [SYSTEM]", "d:"}));
  EXPECT_EQ(page.form().focused(), &page.exit);
  wizard_.HandleEvent([&] { page.folders.Open(3); });  // Maps
  EXPECT_EQ(page.path_text.text(), "C:\\Games\\Maps\\Harbour");
  wizard_.HandleEvent([&] { page.folders.Open(0); });  // the root
  EXPECT_EQ(page.path_text.text(), "C:\\Harbour");
  settings_.target_folder = "";
  wizard_.HandleEvent([&] { page.folders.Open(IndexOf(page.folders, "Games")); });
  EXPECT_EQ(page.path_text.text(), "C:\\Games\\");
}

TEST_F(WizardTest, DestinationAcceptAndRefuse) {
  Start();
  wizard_.HandleEvent([this] { wizard_.licence().accept.Click(); });
  Click(wizard_.licence().next);
  FolderPage& page = wizard_.destination();

  Answer(Answer::kNo);
  Click(page.next);
  EXPECT_EQ(LastMessage().text, "C:\\Addon\\Harbour does not exist. Do you want to create it ?");
  EXPECT_EQ(LastMessage().icon, Icon::kQuestion);
  EXPECT_EQ(LastMessage().default_button, 2);
  EXPECT_EQ(LastMessage().title, "Harbour Island");
  EXPECT_EQ(wizard_.current(), &page);
  EXPECT_EQ(settings_.target_dir, "");

  fs_.AddFolder("C:\\Hidden", /*hidden=*/true);
  page.path_text.Typed("C:\\Hidden");
  Answer(Answer::kNo);
  Click(page.next);
  EXPECT_EQ(toolkit_.asked.size(), 2u);  // a hidden folder counts as missing

  for (const char* text : {"Addon\\Harbour", "C:Addon", "C:\\Add*on", "C:\\a?b", "C:\\x|y",
                           "", "C:\\a:b"}) {
    page.path_text.Typed(text);
    Answer(Answer::kOk);
    Click(page.next);
    EXPECT_EQ(LastMessage().icon, Icon::kExclamation) << text;
    EXPECT_NE(LastMessage().text.find("is not a valid destination folder"), std::string::npos);
    EXPECT_EQ(wizard_.current(), &page) << text;
  }

  // Paths that Windows' ANSI calls could not use: refused before the
  // question, naming the limit; one character less is accepted.
  const std::string deep = "C:\\" + std::string(235, 'd');  // 238, with \Scenery 246
  fs_.AddFile("C:\\pkg\\" + std::string(232, 'n') + ".bmp", "BM");  // deep\Texture\... 480
  const struct {
    std::string target;
    const char* limit;
  } too_long[] = {{deep + "dd", "247"}, {"C:\\Addon\\" + std::string(6, 'x'), "259"}};
  for (const auto& c : too_long) {
    page.path_text.Typed(c.target);
    Answer(Answer::kOk);
    Click(page.next);
    EXPECT_EQ(LastMessage().icon, Icon::kExclamation) << c.target;
    EXPECT_EQ(LastMessage().buttons, forms::Buttons::kOk);
    EXPECT_NE(LastMessage().text.find("too long"), std::string::npos) << LastMessage().text;
    EXPECT_NE(LastMessage().text.find(std::string("longer than ") + c.limit), std::string::npos)
        << LastMessage().text;
    EXPECT_EQ(wizard_.current(), &page);
  }
  page.path_text.Typed("C:\\Addon\\" + std::string(5, 'x'));  // the texture's path is 259
  Answer(Answer::kNo);
  Click(page.next);
  EXPECT_EQ(LastMessage().icon, Icon::kQuestion);
  fs_.AddFile("C:\\pkg\\" + std::string(232, 'n') + ".bmp", "BM", /*hidden=*/true);
  page.path_text.Typed(deep + "d");
  Answer(Answer::kNo);
  Click(page.next);
  EXPECT_EQ(LastMessage().icon, Icon::kQuestion);  // 247 with \Scenery; hidden files are not copied
  EXPECT_FALSE(fs_.Has(deep));

  // A file, hidden or not, is no folder: refused, nothing asked or made.
  fs_.AddFile("C:\\Addon\\Harbour.txt", "a file");
  fs_.AddFile("C:\\Addon\\hidden.txt", "a file", /*hidden=*/true);
  for (const char* file : {"C:\\Addon\\Harbour.txt", "c:\\addon\\\\HIDDEN.TXT"}) {
    page.path_text.Typed(file);
    Answer(Answer::kOk);
    Click(page.next);
    EXPECT_EQ(LastMessage().text.substr(LastMessage().text.find("names")),
              "names a file, not a folder.\r\n\r\nPlease enter the path of the folder to "
              "install the scenery into.");
    EXPECT_EQ(LastMessage().icon, Icon::kExclamation);
    EXPECT_EQ(wizard_.current(), &page);
  }
  EXPECT_EQ(settings_.target_dir, "");
  page.path_text.Typed("C:\\Addon");
  Click(page.next);  // an existing folder: no question
  EXPECT_EQ(settings_.target_dir, "C:\\Addon");
  EXPECT_EQ(wizard_.current(), &wizard_.simulator());
}

TEST_F(WizardTest, ADriveThatIsNotReadyReturnsSilently) {
  Start();
  wizard_.HandleEvent([this] { wizard_.licence().accept.Click(); });
  Click(wizard_.licence().next);
  FolderPage& page = wizard_.destination();
  wizard_.HandleEvent([&] { page.folders.Open(2); });  // Cars
  page.path_text.Typed("typed by the user");
  wizard_.HandleEvent([&] { page.drives.Choose(1); });  // d:, not ready
  EXPECT_TRUE(toolkit_.asked.empty());
  EXPECT_EQ(page.drives.drive(), 'c');
  EXPECT_EQ(page.folders.path(), "C:\\Games\\Cars");
  EXPECT_EQ(page.path_text.text(), "typed by the user");
  EXPECT_TRUE(toolkit_.quit_codes.empty());

  fs_.SetDriveReady('D', true);
  fs_.AddFolder("D:\\Scenery");
  wizard_.HandleEvent([&] { page.drives.Choose(1); });
  EXPECT_EQ(page.folders.path(), "D:\\");
  EXPECT_EQ(page.path_text.text(), "D:\\Harbour");
}

// A folder that the user chose and that cannot be opened or looked at is said
// in an exclamation box; the page stays as it was and the installation goes on.
TEST_F(WizardTest, BrowsingNeverEndsTheInstallation) {
  ToSimulatorPage();
  FolderPage& sim = wizard_.simulator();
  const InstallSettings before = settings_;
  const struct {
    const char* what;
    FsCall call;
    FailureKind kind;
    std::function<void()> act;
  } cases[] = {
      {"opening a folder that may not be listed", FsCall::kListSubfolders, FailureKind::kAccessDenied,
       [&] { sim.folders.Open(IndexOf(sim.folders, "Games")); }},
      {"Next with a folder on a drive that is not ready", FsCall::kFindFiles, FailureKind::kNotReady,
       [&] { sim.next.Click(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string shown = sim.folders.path();
    const std::vector<std::string> items = sim.folders.items();
    sim.path_text.Typed("C:\\Games");
    fs_.FailNth(c.call, 1, c.kind);
    const std::size_t asked = toolkit_.asked.size();
    Answer(Answer::kOk);
    wizard_.HandleEvent(c.act);
    ASSERT_EQ(toolkit_.asked.size(), asked + 1);
    EXPECT_EQ(LastMessage().icon, Icon::kExclamation);
    EXPECT_EQ(LastMessage().title, settings_.install_title);
    EXPECT_NE(LastMessage().text.find("Setup could not open the folder:\r\nC:\\Games"),
              std::string::npos) << LastMessage().text;
    EXPECT_NE(LastMessage().text.find(SystemReason(c.kind)), std::string::npos);
    EXPECT_EQ(wizard_.current(), &sim);
    EXPECT_EQ(sim.folders.path(), shown);
    EXPECT_EQ(sim.folders.items(), items);
    EXPECT_EQ(sim.path_text.text(), "C:\\Games");
    EXPECT_EQ(settings_.cfg_path, before.cfg_path);
    EXPECT_EQ(settings_.backup_path, before.backup_path);
    EXPECT_TRUE(toolkit_.quit_codes.empty());
  }
  // The destination page's Next, on a path whose drive is not ready.
  Click(sim.back);
  FolderPage& dest = wizard_.destination();
  dest.path_text.Typed("H:\\Harbour");
  fs_.AddDrive('H', DriveType::kCdRom);
  fs_.SetDriveReady('H', false);
  Answer(Answer::kOk);
  Click(dest.next);
  EXPECT_NE(LastMessage().text.find("Setup could not open the folder"), std::string::npos);
  EXPECT_EQ(wizard_.current(), &dest);
  EXPECT_EQ(settings_.target_dir, before.target_dir);
  EXPECT_TRUE(toolkit_.quit_codes.empty());
  // A drive whose last folder went away opens the nearest folder above it.
  wizard_.HandleEvent([&] { dest.folders.Open(IndexOf(dest.folders, "Games")); });
  wizard_.HandleEvent([&] { dest.folders.Open(IndexOf(dest.folders, "Maps")); });
  fs_.AddFolder("D:\\Scenery");
  fs_.SetDriveReady('D', true);
  wizard_.HandleEvent([&] { dest.drives.Choose(1); });  // d:
  fs_.Remove("C:\\Games\\Maps");
  wizard_.HandleEvent([&] { dest.drives.Choose(0); });  // c: again
  EXPECT_EQ(dest.folders.path(), "C:\\Games");
  EXPECT_TRUE(toolkit_.quit_codes.empty());
}

TEST_F(WizardTest, SimulatorPageChecksForTheLibraryFile) {
  ToSimulatorPage();
  FolderPage& page = wizard_.simulator();
  EXPECT_EQ(page.path_text.text(), "C:\\FS2000");
  wizard_.HandleEvent([&] { page.folders.Open(0); });
  EXPECT_EQ(page.path_text.text(), "C:\\");
  wizard_.HandleEvent([&] { page.folders.Open(IndexOf(page.folders, "FS2000")); });
  EXPECT_EQ(page.path_text.text(), "C:\\FS2000");

  fs_.AddFolder("C:\\Sim1\\scenery.cfg");
  fs_.AddFile("C:\\Sim2\\scenery.cfg", "x", /*hidden=*/true);
  for (const char* text : {"C:\\Sim1", "C:\\Sim2", "C:\\FS*", "C:\\F<S", "C:\\Nowhere"}) {
    page.path_text.Typed(text);
    Answer(Answer::kOk);
    Click(page.next);
    EXPECT_EQ(LastMessage().text, "FS 2000 does not exists in the specified path") << text;
    EXPECT_EQ(LastMessage().icon, Icon::kCritical);
    EXPECT_EQ(wizard_.current(), &page);
    EXPECT_EQ(settings_.cfg_path, "");
  }
  fs_.AddFile("C:\\Sim3\\SCENERY.CFG", "[Area.001]\r\n");
  page.path_text.Typed("C:\\Sim3");
  Click(page.next);
  EXPECT_EQ(settings_.cfg_path, "C:\\Sim3\\scenery.cfg");
  EXPECT_EQ(settings_.backup_path, "C:\\Sim3\\scenery.bak");
  EXPECT_EQ(wizard_.current(), &wizard_.copy());
  EXPECT_EQ(wizard_.copy().form().focused(), &wizard_.copy().main_button);
}

TEST_F(WizardTest, BackAndForthKeepsEveryPageAsItWasLeft) {
  ToSimulatorPage();
  FolderPage& destination = wizard_.destination();
  FolderPage& simulator = wizard_.simulator();
  simulator.path_text.Typed("C:\\typed");
  using Names = std::vector<std::string>;
  for (int round = 0; round < 1000; ++round) {
    Click(simulator.back);
    ASSERT_EQ(toolkit_.Shown(), Names{"frmBrowse"});
    Click(destination.back);
    ASSERT_EQ(toolkit_.Shown(), Names{"frmLic"});
    Click(wizard_.licence().next);
    ASSERT_EQ(toolkit_.Shown(), Names{"frmBrowse"});
    Answer(Answer::kYes);
    Click(destination.next);
    ASSERT_EQ(toolkit_.Shown(), Names{"frmFS"});
  }
  EXPECT_EQ(wizard_.current(), &simulator);
  EXPECT_TRUE(wizard_.licence().accept.checked());
  EXPECT_TRUE(wizard_.licence().next.enabled());
  EXPECT_EQ(simulator.path_text.text(), "C:\\typed");
  EXPECT_EQ(destination.path_text.text(), "C:\\Addon\\Harbour");
  EXPECT_EQ(toolkit_.attached, (std::vector<std::string>{"frmLic", "frmBrowse", "frmFS"}));
  int visible = 0;
  for (Page* page : std::vector<Page*>{&wizard_.licence(), &destination, &simulator}) {
    visible += page->form().visible() ? 1 : 0;
  }
  EXPECT_EQ(visible, 1);
}

TEST_F(WizardTest, CloseRequestsAndExitAskFirst) {
  ToSimulatorPage();
  for (Page* page : std::vector<Page*>{&wizard_.licence(), &wizard_.destination(),
                                       &wizard_.simulator()}) {
    wizard_.GoTo(*page);
    Answer(Answer::kNo);
    Close(*page);
    EXPECT_EQ(LastMessage().text, "Are you sure you want to exit ?");
    EXPECT_EQ(LastMessage().buttons, forms::Buttons::kYesNo);
    EXPECT_EQ(LastMessage().icon, Icon::kQuestion);
    EXPECT_EQ(LastMessage().default_button, 2);
    EXPECT_EQ(LastMessage().title, "Harbour Island");
    EXPECT_TRUE(page->form().visible());
    EXPECT_TRUE(toolkit_.quit_codes.empty());
  }
  Answer(Answer::kYes);
  Click(wizard_.simulator().exit);
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitCancelled});
}

TEST_F(WizardTest, CopyPageCloseRequestBeforeAndAfterTheRun) {
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  CopyPage& page = wizard_.copy();
  Answer(Answer::kNo);
  Close(page);
  EXPECT_EQ(LastMessage().text, "Are you sure you want to exit ?");
  Click(page.main_button);
  EXPECT_TRUE(page.install_done());
  const std::size_t asked = toolkit_.asked.size();
  Close(page);
  EXPECT_EQ(toolkit_.asked.size(), asked);
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitInstalled});
}

// A log-off or shutdown outside the run ends Setup.exe without questions,
// with the exit code that leaving then gives.
TEST_F(WizardTest, TheSessionEndsWithTheCodeOfLeavingNow) {
  ToSimulatorPage();
  toolkit_.while_asking = [this] { wizard_.EndSession(); };
  Answer(Answer::kNo);
  Close(wizard_.simulator());
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitCancelled});
}

TEST_F(WizardTest, TheSessionEndsAfterTheRunWithItsCode) {
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  fs_.FailNth(FsCall::kCopy, 3, FailureKind::kDiskFull);
  toolkit_.while_asking = [this] { wizard_.EndSession(); };
  Answer(Answer::kOk);
  Click(wizard_.copy().main_button);
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitFailed});
}

TEST_F(WizardTest, TheSessionEndsAfterTheInstallationWithZero) {
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  Click(wizard_.copy().main_button);
  wizard_.EndSession();
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitInstalled});
}

// Records the widths that the progress fill takes.
class WidthRecorder : public forms::ControlPeer {
 public:
  void Update(const forms::Control& control, forms::Property what) override {
    if (what == forms::Property::kBounds) widths.push_back(control.bounds().width);
  }
  std::vector<int> widths;
};

TEST_F(WizardTest, TheInstallationRunFromStartToOk) {
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  CopyPage& page = wizard_.copy();
  EXPECT_EQ(page.form().title(), "Harbour Island");
  EXPECT_EQ(page.status.text(), "The Setup programme is ready to copy files!");
  for (Page* shown : std::vector<Page*>{&wizard_.licence(), &wizard_.destination(),
                                         &wizard_.simulator(), &page}) {
    ExpectLaidOut(shown->form());
  }
  WidthRecorder fill_widths;
  page.fill.set_peer(&fill_widths);
  Click(page.main_button);
  // Deaf to the user for the whole run, and only then.
  EXPECT_EQ(toolkit_.PeerOf("frmRuler").busy_changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(page.progress_step(), 802);  // 4815 / 6 = 802.5 goes to the even neighbour
  EXPECT_EQ(fill_widths.widths,
            (std::vector<int>{0, 802, 1604, 2406, 3208, 4010, 4812}));
  EXPECT_EQ(page.main_button.text(), "OK");
  EXPECT_TRUE(page.main_button.visible());
  EXPECT_FALSE(page.exit.visible());
  EXPECT_FALSE(page.fill.visible());
  EXPECT_FALSE(page.trough.visible());
  ExpectLaidOut(page.form());
  EXPECT_EQ(page.status.text(), "Congratulations! This scenery was successfully installed!");
  EXPECT_FALSE(page.status.elide_path());  // a sentence, not a path
  EXPECT_TRUE(page.install_done());
  EXPECT_TRUE(fs_.Has("C:\\Addon\\Harbour\\Texture\\t2.bmp"));
  EXPECT_TRUE(fs_.Has("C:\\FS2000\\scenery.bak"));
  EXPECT_NE(fs_.Contents("C:\\FS2000\\scenery.cfg").find("[Area.003]\r\nTitle=Harbour\r\n"),
            std::string::npos);
  Click(page.main_button);
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitInstalled});
}

// A program that runs from the simulator's folder when Start is clicked:
// nothing is written until it has ended (Retry), or the page stays ready
// (Cancel); a program in a subfolder or elsewhere does not count.
TEST_F(WizardTest, StartWaitsForTheSimulatorToEnd) {
  MemorySession session;
  session.running = {"C:\\Windows\\explorer.exe", "C:\\FS2000\\Modules\\weather.exe",
                     "c:\\fs2000\\FS2000.EXE"};
  wizard_.set_session(session);
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  const std::vector<std::string> before = fs_.Listing();
  Answer(Answer::kCancel);
  Click(wizard_.copy().main_button);
  ASSERT_EQ(toolkit_.asked.size(), 2u);
  const forms::Message& box = toolkit_.asked[1];
  EXPECT_EQ(box.title, "Harbour Island");
  EXPECT_EQ(box.buttons, forms::Buttons::kRetryCancel);
  EXPECT_EQ(box.icon, forms::Icon::kExclamation);
  EXPECT_EQ(box.default_button, 1);
  EXPECT_EQ(box.text,
            "FS 2000 is running from its folder C:\\FS2000 (FS2000.EXE).\r\n\r\nIt must be closed "
            "before Setup adds the scenery to its library: otherwise the simulator would not see "
            "the new scenery, and could write its library back without it.\r\n\r\nPlease close "
            "FS 2000, then click Retry.");
  EXPECT_EQ(fs_.Listing(), before);
  EXPECT_EQ(wizard_.copy().main_button.text(), "Start");
  EXPECT_TRUE(toolkit_.quit_codes.empty());
  // Retry while it still runs asks again; once it has ended, the run starts.
  Answer(Answer::kRetry);
  Answer(Answer::kRetry);
  toolkit_.while_asking = [&] { toolkit_.while_asking = [&] { session.running.pop_back(); }; };
  Click(wizard_.copy().main_button);
  EXPECT_EQ(toolkit_.asked.size(), 4u);
  EXPECT_TRUE(wizard_.copy().install_done());
}

TEST_F(WizardTest, StatusLineNamesTexturesAsIfInTheDestination) {
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  CopyPage& page = wizard_.copy();
  wizard_.HandleEvent([&] {
    page.OnCopyStarting();
    page.OnProgressStarting(2);
    page.OnFileCopied("t1.bmp");
  });
  EXPECT_EQ(page.status.text(), "Copying to C:\\Addon\\Harbour\\t1.bmp");
  EXPECT_TRUE(page.status.elide_path());
  ExpectLaidOut(page.form());
  EXPECT_FALSE(page.main_button.visible());
  EXPECT_FALSE(page.exit.visible());
  EXPECT_FALSE(page.exit.enabled());
  EXPECT_TRUE(page.trough.visible());
}

TEST_F(WizardTest, AFailedRunEndsWithTheReportAndExitCodeTwo) {
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  fs_.FailNth(FsCall::kCopy, 3, FailureKind::kDiskFull);
  Answer(Answer::kOk);
  Click(wizard_.copy().main_button);
  EXPECT_EQ(LastMessage().icon, Icon::kCritical);
  EXPECT_EQ(LastMessage().title, "Harbour Island");
  EXPECT_NE(LastMessage().text.find("There is not enough space on the disk."), std::string::npos);
  EXPECT_NE(LastMessage().text.find("scenery.cfg was not changed"), std::string::npos);
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitFailed});
  EXPECT_FALSE(wizard_.copy().install_done());
  EXPECT_EQ(fs_.Contents("C:\\FS2000\\scenery.cfg"), SampleSceneryCfg());
}

// A log that cannot be written stops nothing; the report says so once.
TEST_F(WizardTest, ALogThatCannotBeWrittenIsSaidInTheReport) {
  InstallLog log(fs_, "C:\\no such folder\\setup.log", [] { return std::string("now"); });
  wizard_.set_log(&log, "from the folder C:\\pkg");
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  fs_.FailNth(FsCall::kCopy, 3, FailureKind::kDiskFull);
  Answer(Answer::kOk);
  Click(wizard_.copy().main_button);
  const std::string& report = LastMessage().text;
  EXPECT_NE(report.find("The log C:\\no such folder\\setup.log could not be written: "),
            std::string::npos)
      << report;
  EXPECT_EQ(toolkit_.quit_codes, std::vector<int>{kExitFailed});
  // Found out at the start, before anything is done: a missing folder, a
  // read-only log.
  EXPECT_NE(log.Open(), "");
  fs_.AddFile("C:\\read-only.log", "earlier\r\n");
  fs_.SetReadOnly("C:\\read-only.log", true);
  EXPECT_NE(InstallLog(fs_, "C:\\read-only.log", [] { return std::string("now"); }).Open(), "");
}

TEST_F(WizardTest, AnEmptyPackageRunsToTheEndWithAnEmptyFill) {
  fs_.SetProgramFolder("C:\\empty");
  fs_.AddFile("C:\\empty\\Setup.ini",
              "InstallTitle=Empty\r\nBackupCFG=scenery.bak\r\nTargetPath=C:\\Addon\\Empty\r\n"
              "GuessFSFolder=C:\\FS2000\r\nExtension=bmp\r\n");
  fs_.AddFile("C:\\empty\\license.txt", "L");
  fs_.AddFile("C:\\empty\\License.txt", "L");
  fs_.AddFile("C:\\empty\\ReadMe.txt", "R");
  ToSimulatorPage();
  Click(wizard_.simulator().next);
  CopyPage& page = wizard_.copy();
  Click(page.main_button);
  EXPECT_EQ(page.progress_step(), 0);
  EXPECT_TRUE(page.install_done());
  EXPECT_TRUE(toolkit_.quit_codes.empty());
}

TEST(ProgressStep, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(ProgressStep(4815, 6), 802);
  EXPECT_EQ(ProgressStep(4815, 7), 688);
  EXPECT_EQ(7 * ProgressStep(4815, 7), 4816);
  EXPECT_EQ(ProgressStep(4815, 9630), 0);
  EXPECT_EQ(ProgressStep(4815, 9631), 0);
  EXPECT_EQ(ProgressStep(4815, 3210), 2);  // 1.5 goes to 2
  EXPECT_EQ(ProgressStep(4815, 1926), 2);  // 2.5 goes to 2
  EXPECT_EQ(ProgressStep(4815, 1), 4815);
  EXPECT_EQ(ProgressStep(4815, 0), 0);
  EXPECT_EQ(ProgressStep(4815, -3), 0);
}

TEST(PaintBackground, BandsFromBlueToBlackThenTheTexts) {
  RecordingCanvas canvas(800, 600);
  InstallSettings settings;
  settings.install_title = "Harbour Island";
  settings.copyright = "(c) 2026 A. Author";
  PaintBackground(canvas, settings);
  ASSERT_GT(canvas.ops.size(), 3u);
  const std::size_t bands = canvas.ops.size() - 3;
  // The bands cover the whole window, each below the one before it, and
  // darken from full blue at the top to black at the bottom.
  EXPECT_EQ(canvas.ops[0].colour, (forms::Rgb{0, 0, 255}));
  EXPECT_LE(canvas.ops[0].top, 0);
  EXPECT_EQ(canvas.ops[bands - 1].colour, (forms::Rgb{0, 0, 0}));
  EXPECT_GE(canvas.ops[bands - 1].bottom, 600);
  for (std::size_t i = 0; i < bands; ++i) {
    const DrawOp& band = canvas.ops[i];
    EXPECT_EQ(band.type, DrawOp::Type::kFill);
    EXPECT_LE(band.left, 0);
    EXPECT_GE(band.right, 800);
    if (i == 0) continue;
    EXPECT_LE(band.top, canvas.ops[i - 1].bottom) << "a gap above band " << i;
    EXPECT_GT(band.top, canvas.ops[i - 1].top);
    EXPECT_LE(band.colour.blue, canvas.ops[i - 1].colour.blue);
  }
  // The shadow first, black, a little right of and below the white title.
  const DrawOp& shadow = canvas.ops[bands];
  const DrawOp& title = canvas.ops[bands + 1];
  const DrawOp& notice = canvas.ops[bands + 2];
  EXPECT_EQ(shadow.type, DrawOp::Type::kText);
  EXPECT_EQ(shadow.text, title.text);
  EXPECT_EQ(shadow.colour, (forms::Rgb{0, 0, 0}));
  EXPECT_GT(shadow.left, title.left);
  EXPECT_GT(shadow.top, title.top);
  EXPECT_EQ(title.left, 32);
  EXPECT_EQ(title.top, 32);
  EXPECT_EQ(title.font, "Arial");
  EXPECT_EQ(title.points, 36);
  EXPECT_EQ(title.colour, (forms::Rgb{255, 255, 255}));
  EXPECT_EQ(title.text, "Harbour Island");
  // The notice ends at the right edge, near the bottom.
  EXPECT_EQ(notice.text, settings.copyright);
  EXPECT_EQ(notice.left, 800 - 14 * 18);
  EXPECT_EQ(notice.top, 520);
  EXPECT_EQ(notice.points, 18);
}

TEST(PaintBackground, EmptyTextsPaintNothingAndLongNoticesStartLeft) {
  RecordingCanvas canvas(400, 300);
  InstallSettings settings;
  PaintBackground(canvas, settings);
  EXPECT_EQ(canvas.ops.size(), 151u);
  settings.copyright = std::string(40, 'x');
  RecordingCanvas wide(400, 300);
  PaintBackground(wide, settings);
  EXPECT_EQ(wide.ops.back().left, 400 - 560);
}

// Message box texts are broken into lines no wider than the box may be (here
// 20 characters): at blanks outside paths first, so that a path that fits
// stays whole; a path too wide after its backslashes; a run too wide alone
// where it must; nothing is lost.
TEST(MessageBoxText, LongLinesBreakIntoLinesThatFit) {
  auto fits = [](std::string_view line) { return line.size() <= 20; };
  const std::string cases[][2] = {
      {"Setup could not copy the file:\r\nC:\\FS2000\\Addon Scenery\\Harbour\\scenery\\a.bgl"
       "\r\n\r\nshort",
       "Setup could not copy\r\nthe file:\r\nC:\\FS2000\\\r\nAddon Scenery\\\r\nHarbour\\scenery\\"
       "\r\na.bgl\r\n\r\nshort"},
      {"to \\\\srv\\Harbour Island Scenery", "to \\\\srv\\Harbour\r\nIsland Scenery"},
      {"T:\\new place does not exist.", "T:\\new place does\r\nnot exist."},
      {"C:\\" + std::string(30, 'a'),
       "C:\\\r\n" + std::string(20, 'a') + "\r\n" + std::string(10, 'a')},
      {"a (such as C:\\FS2000\\Addon) or", "a (such as\r\nC:\\FS2000\\Addon) or"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(forms::BreakLongLines(c[0], fits), c[1]) << c[0];
  }
  // A path wider than paths may be (here 12) breaks though its line fits,
  // and so do the lines that hold a part of it.
  auto path_fits = [](std::string_view line) { return line.size() <= 12; };
  EXPECT_EQ(forms::BreakLongLines("C:\\dl\\deep\\Setup.exe (its)", fits, path_fits),
            "C:\\dl\\deep\\\r\nSetup.exe\r\n(its)");
  EXPECT_EQ(forms::BreakLongLines("at C:\\dl\\a.exe ok", fits, path_fits), "at C:\\dl\\a.exe ok");
}

}  // namespace
}  // namespace scenery
