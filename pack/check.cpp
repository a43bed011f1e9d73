#include "pack/check.h"

#include <algorithm>
#include <map>
#include <set>

#include "engine/manifest.h"
#include "engine/package_copy.h"
#include "engine/paths.h"
#include "engine/scenery_library.h"
#include "engine/text_lines.h"
#include "ui/background.h"

namespace scenery {
namespace pack {
namespace {

// Whether `text` holds bytes outside ASCII and all of them form UTF-8
// sequences: text saved as UTF-8, which the ANSI code page shows otherwise.
bool IsUtf8BeyondAscii(const std::string& text) {
  bool beyond = false;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    beyond = true;
    i += length;
  }
  return beyond;
}

// "BMP" of "WATER.BMP"; "" without a dot.
std::string ExtensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? "" : name.substr(dot + 1);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// "README" of "README.RTF".
std::string StemOf(const std::string& name) { return name.substr(0, name.rfind('.')); }

class Checker {
 public:
  explicit Checker(FileSystem& fs) : fs_(fs), source_(fs), folder_(fs.ProgramFolder()) {}

  PackageReport Run() {
    // A folder that is not there is one finding, not one per missing file.
    PathInfo folder;
    try {
      folder = fs_.Probe(folder_);
    } catch (const Failure&) {
      folder.kind = EntryKind::kFolder;  // CheckFiles says why it cannot be read
    }
    if (folder.kind != EntryKind::kFolder) {
      Add("", 0, Severity::kError, "no such folder: give the folder that holds Setup.ini");
      return std::move(report_);
    }
    ReadManifestLines();
    if (report_.manifest_read) CheckKeys();
    CheckFiles();
    Summarise();
    // In the order of the files and their lines, a whole file's findings first.
    std::stable_sort(report_.findings.begin(), report_.findings.end(),
                     [](const Finding& a, const Finding& b) {
                       return a.file != b.file ? a.file < b.file : a.line < b.line;
                     });
    return std::move(report_);
  }

 private:
  void Add(const std::string& file, int line, Severity severity, const std::string& text) {
    report_.findings.push_back(Finding{file, line, severity, text});
  }

  void ReadManifestLines() {
    std::string bytes;
    try {
      bytes = fs_.ReadWholeFile(folder_ + "\\" + kManifestName);
    } catch (const Failure& failure) {
      Add(kManifestName, 0, Severity::kError,
          failure.kind() == FailureKind::kNotFound
              ? "missing: Setup.exe reads its titles, folders and extensions from Setup.ini, "
                "which must lie beside it"
              : "cannot be read (" + failure.reason() + ")");
      return;
    }
    report_.manifest_read = true;
    InstallSettings& settings = report_.settings;
    CheckEncoding(kManifestName, bytes, "reads its titles and folders from it");
    const std::vector<std::string> lines = SplitLines(AnsiText(bytes));
    std::map<std::string, int> first_extension_line;  // upper case extension -> line
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const int number = static_cast<int>(i) + 1;
      if (IsUtf8BeyondAscii(line)) {
        Add(kManifestName, number, Severity::kWarning,
            "characters beyond ASCII saved as UTF-8: Setup.exe and the simulator read Setup.ini "
            "in the Windows ANSI code page, where they show as other characters; save the file "
            "in the ANSI code page (Windows-1252)");
      }
      const std::string near = NearlyAKey(line);
      if (!near.empty()) {
        Add(kManifestName, number, Severity::kError,
            "\"" + line.substr(0, line.find('=') + 1) + "\" sets nothing: Setup.exe reads a key "
            "only as written exactly, in its letter case and without blanks around \"=\"; write \"" +
            near + "=\"");
      }
      const std::string key = KeyOfManifestLine(line);
      if (key.empty()) continue;
      if (key != "Extension" && last_line_.count(key) != 0) {
        Add(kManifestName, number, Severity::kWarning,
            key + " is given again: this line's value replaces the one on line " +
                std::to_string(last_line_[key]) + "; keep one of them");
      }
      if ((key == "TargetPath" || key == "GuessFSFolder") && line.size() > key.size() + 1 &&
          (IsBlank(line[key.size() + 1]) || IsBlank(line.back()))) {
        Add(kManifestName, number, Severity::kWarning,
            key +
                " begins or ends with a blank, which Setup.exe keeps as part of the folder's "
                "name; remove it");
      }
      last_line_[key] = number;
      if (key == "Extension") {
        if (settings.extensions.size() == static_cast<std::size_t>(kMaxExtensions)) {
          if (!too_many_extensions_) {
            Add(kManifestName, number, Severity::kError,
                "a 51st Extension line: Setup.exe refuses at start a manifest of more than " +
                    std::to_string(kMaxExtensions) + " Extension lines; list at most " +
                    std::to_string(kMaxExtensions));
          }
          too_many_extensions_ = true;
          continue;
        }
        CheckExtension(line.substr(key.size() + 1), number, first_extension_line);
      }
      ParseManifestLine(line, settings);
    }
  }

  // The encoding Setup.exe reads the file in: UTF-8 (Notepad's default
  // since Windows 10) and UTF-16 (Notepad's "Unicode") are converted to the
  // ANSI code page, where a character that it lacks shows as "?".
  void CheckEncoding(const char* file, const std::string& bytes, const char* use) {
    int lost = 0;
    TextEncoding encoding = TextEncoding::kAnsi;
    AnsiText(bytes, &lost, &encoding);
    report_.encodings.push_back(std::string(file) + ": " +
                                (encoding == TextEncoding::kUtf8    ? "UTF-8"
                                 : encoding == TextEncoding::kUtf16 ? "UTF-16"
                                                                    : "ANSI (Windows-1252)"));
    if (lost > 0) {
      Add(file, 0, Severity::kWarning,
          std::to_string(lost) +
              " character(s) that the ANSI code page (Windows-1252) lacks: "
              "Setup.exe " +
              use +
              " in that code page and shows each as \"?\"; write them "
              "otherwise");
    }
  }

  void CheckExtension(const std::string& extension, int number,
                      std::map<std::string, int>& first_line) {
    if (extension.find_first_of(".*? \t\\/") != std::string::npos) {
      // Setup.exe looks for *.<extension> as written: no file is ever found.
      Add(kManifestName, number, Severity::kError,
          "Extension \"" + extension + "\" holds a dot, a wildcard, a blank or a backslash: "
          "Setup.exe copies the files *.<extension>, so no file is installed by this line; "
          "write the extension alone, such as \"Extension=bmp\"");
      const std::size_t start = extension.find_first_not_of(".*? \t");
      const std::size_t end = extension.find_last_not_of(" \t");
      if (start != std::string::npos && end >= start) {
        faulty_extensions_.emplace(UpperAscii(extension.substr(start, end - start + 1)), number);
      }
    }
    const auto earlier = first_line.emplace(UpperAscii(extension), number);
    if (!earlier.second) {
      Add(kManifestName, number, Severity::kWarning,
          "Extension \"" + extension + "\" repeats the one on line " +
              std::to_string(earlier.first->second) +
              " (letter case does not count): it takes a second of the 50 slots and its files "
              "are copied twice; remove this line");
    }
  }

  void CheckKeys() {
    const InstallSettings& s = report_.settings;
    const struct {
      const char* key;
      const std::string* value;
      const char* use;
    } required[] = {
        {"InstallTitle", &s.install_title, "the title of the background, the pages and every message"},
        {"SceneryTitle", &s.scenery_title, "the name of the area in the simulator's scenery library"},
        {"TargetPath", &s.target_path, "the destination folder first proposed to the user"},
        {"GuessFSFolder", &s.guess_fs_folder, "the simulator folder first proposed to the user"},
        {"BackupCFG", &s.backup_cfg, "the file name of the backup of scenery.cfg"},
    };
    for (const auto& r : required) {
      const auto line = last_line_.find(r.key);
      if (line == last_line_.end()) {
        Add(kManifestName, 0, Severity::kError,
            std::string("no ") + r.key + "= line: it gives " + r.use + "; add one");
      } else if (r.value->find_first_not_of(" \t") == std::string::npos &&
                 std::string(r.key) != "BackupCFG") {
        Add(kManifestName, line->second, Severity::kError,
            std::string(r.key) + " is empty" + (r.value->empty() ? "" : " but for blanks") +
                ": it gives " + r.use + "; give it a value");
      }
    }
    if (last_line_.count("BackupCFG") != 0) {
      const std::string fault = BackupNameFault(s.backup_cfg);
      if (!fault.empty()) {
        Add(kManifestName, last_line_["BackupCFG"], Severity::kError,
            "BackupCFG \"" + s.backup_cfg + "\" cannot name the backup of scenery.cfg: " + fault +
                "; Setup.exe refuses to install with it; write a plain file name such as "
                "\"BackupCFG=scenery.bak\"");
      }
    }
    if (last_line_.count("TargetPath") != 0 && !s.target_path.empty()) CheckTargetPath();
    CheckBackgroundTexts();
    if (last_line_.count("TargetFolder") == 0) {
      Add(kManifestName, 0, Severity::kWarning,
          "no TargetFolder= line: a user who picks a folder on the destination page gets no "
          "folder of the package's own below it; add one, such as \"TargetFolder=Harbour\"");
    }
  }

  // The background is as wide as the screen; the smallest screen it is
  // painted on today is 1024 x 768, at 96 dots per inch.
  void CheckBackgroundTexts() {
    constexpr int kScreen = 1024;
    const InstallSettings& s = report_.settings;
    const TextSpan title = TitleSpan(s.install_title);
    if (!s.install_title.empty() && title.right > kScreen) {
      Add(kManifestName, last_line_["InstallTitle"], Severity::kWarning,
          "InstallTitle is " + std::to_string(title.right - title.left) +
              " pixels wide in the background's Arial of 36 points: a 1024 x 768 screen shows "
              "only \"" +
              FittingStart(s.install_title, kTitlePixels, title.left, kScreen) + "\"; shorten it");
    }
    const TextSpan notice = NoticeSpan(s.copyright, kScreen);
    if (s.copyright.empty() || (notice.left >= 0 && notice.right <= kScreen)) return;
    const int line = last_line_["CopyRight"];
    if (notice.left < 0) {
      // The background places the notice 14 pixels per character left of
      // the right edge, so a long one begins off the left edge.
      Add(kManifestName, line, Severity::kWarning,
          "CopyRight is " + std::to_string(s.copyright.size()) +
              " characters long: the background places it 14 pixels per character left of the "
              "screen's right edge, so on a 1024 x 768 screen its start falls off the left edge; "
              "shorten it to at most " +
              std::to_string(kScreen / 14) + " characters");
    } else {
      Add(kManifestName, line, Severity::kWarning,
          "CopyRight is " + std::to_string(notice.right - notice.left) +
              " pixels wide in the background's Arial of 18 points, more than the 14 per "
              "character the background leaves it: a 1024 x 768 screen shows only \"" +
              FittingStart(s.copyright, kNoticePixels, notice.left, kScreen) +
              "\"; shorten it or use narrower letters");
    }
  }

  void CheckTargetPath() {
    const InstallSettings& s = report_.settings;
    const int line = last_line_["TargetPath"];
    const DestinationVerdict verdict = JudgeDestination(source_, s, s.target_path);
    switch (verdict.fault) {
      case DestinationFault::kNone:
        return;
      case DestinationFault::kNotFullPath:
        Add(kManifestName, line, Severity::kError,
            "TargetPath \"" + s.target_path + "\" is not a full path, so the destination page "
            "refuses it as it stands; begin it with a drive letter, such as "
            "\"C:\\FS2000\\Addon Scenery\\Harbour\"");
        return;
      case DestinationFault::kForbiddenCharacter:
        Add(kManifestName, line, Severity::kError,
            "TargetPath \"" + s.target_path + "\" holds a character that Windows forbids in a "
            "path (* ? \" < > | or a colon after the drive); the destination page refuses it");
        return;
      case DestinationFault::kTooLong:
        Add(kManifestName, line, Severity::kError,
            "TargetPath \"" + s.target_path + "\" is too long: the installation would use " +
                verdict.overlong.path + " (" + std::to_string(verdict.overlong.path.size()) +
                " characters), longer than the " + std::to_string(verdict.overlong.limit) +
                " that Windows allows; shorten the path or the package's file names");
        return;
    }
  }

  void CheckFiles() {
    try {
      folder_files_ = fs_.ListFiles(folder_);
    } catch (const Failure& failure) {
      Add("", 0, Severity::kError, "cannot list the package folder (" + failure.reason() + ")");
      return;
    }
    for (const char* document : kDocumentNames) {
      const FileEntry* file = Find(document);
      if (file == nullptr) {
        Add(document, 0, Severity::kError,
            std::string("missing: Setup.exe ") +
                (document == kLicenceName
                     ? "shows it on its first page and cannot start without it"
                     : "copies it last and stops the installation there without it") +
                "; add it to the package folder");
      }
    }
    if (const FileEntry* licence = Find(kLicenceName)) {
      std::string text;
      try {
        const std::string bytes = fs_.ReadWholeFile(folder_ + "\\" + licence->name);
        CheckEncoding(licence->name.c_str(), bytes, "shows it on its first page");
        text = AnsiText(bytes);
      } catch (const Failure& failure) {
        Add(licence->name, 0, Severity::kError, "cannot be read (" + failure.reason() + ")");
      }
      if (IsUtf8BeyondAscii(text)) {
        Add(licence->name, 0, Severity::kWarning,
            "characters beyond ASCII saved as UTF-8: the licence page shows the text in the "
            "Windows ANSI code page, where they show as other characters; save it in the ANSI "
            "code page (Windows-1252)");
      }
    }
    // Setup.exe copies only the files of the package folder itself: a
    // natural layout with Scenery\ and Texture\ subfolders installs nothing
    // of theirs.
    try {
      subfolders_ = fs_.ListSubfolders(folder_);
    } catch (const Failure&) {
      subfolders_.clear();
    }
    // The extensions that Setup.exe installs: BGL and each listed one.
    std::set<std::string> installs = {"BGL"};
    for (const std::string& extension : report_.settings.extensions) {
      installs.insert(UpperAscii(extension));
    }
    auto installed_kind = [&](const std::string& name) {
      return installs.count(ExtensionOf(UpperAscii(name))) != 0;
    };
    for (const FileEntry& file : folder_files_) {
      if (file.hidden_or_system && installed_kind(file.name)) {
        Add(file.name, 0, Severity::kWarning,
            "a hidden or system file: Setup.exe never copies such a file, so it is not "
            "installed; clear its Hidden attribute (Properties) or leave it out");
      }
    }
    for (const std::string& sub : subfolders_) {
      std::vector<std::string> names;
      try {
        for (const FileEntry& file : fs_.ListFiles(folder_ + "\\" + sub)) {
          if (installed_kind(file.name)) names.push_back(file.name);
        }
      } catch (const Failure&) {
      }
      if (names.empty()) continue;
      std::string listed;
      for (std::size_t i = 0; i < names.size() && i < 3; ++i) listed += (i ? ", " : "") + names[i];
      if (names.size() > 3) listed += " and " + std::to_string(names.size() - 3) + " more";
      Add("", 0, Severity::kError,
          "its subfolder " + sub + " holds files that Setup.exe would install (" + listed +
              "), but it copies only the files that lie in the package folder itself; move them "
              "up into the package folder");
    }
    bool any_scenery = !fs_.FindFiles(folder_ + "\\*.bgl").empty();
    for (const std::string& sub : subfolders_) {
      any_scenery = any_scenery || !fs_.FindFiles(folder_ + "\\" + sub + "\\*.bgl").empty();
    }
    if (!any_scenery) {
      Add("", 0, Severity::kWarning,
          "no scenery file (*.bgl) in the package folder: the area that Setup.exe registers "
          "will show nothing");
    }
  }

  const FileEntry* Find(const std::string& name) const {
    for (const FileEntry& file : folder_files_) {
      if (UpperAscii(file.name) == UpperAscii(name)) return &file;
    }
    return nullptr;
  }

  void Summarise() {
    if (!report_.manifest_read) return;
    std::set<std::string> installed_names;
    for (const PackageFile& file : ListPackageFiles(source_, report_.settings)) {
      const FileEntry* entry = Find(file.name);
      if (entry == nullptr) continue;  // a missing document, reported above
      const std::string key = file.subfolder + "\\" + UpperAscii(file.name);
      if (!installed_keys_.insert(key).second) continue;  // a repeated extension's files
      report_.installed.push_back(InstalledFile{file.name, file.subfolder, entry->size});
      report_.total_bytes += entry->size;
      installed_names.insert(UpperAscii(file.name));
    }
    for (const FileEntry& file : folder_files_) {
      if (installed_names.count(UpperAscii(file.name)) != 0) continue;
      std::string why;
      const std::string upper = UpperAscii(file.name);
      if (upper == "SETUP.EXE") {
        why = "the installer itself";
      } else if (upper == UpperAscii(kManifestName)) {
        why = "the manifest, which Setup.exe reads";
      } else if (file.hidden_or_system) {
        why = "a hidden or system file, which Setup.exe never copies";
      } else if (const auto faulty = faulty_extensions_.find(ExtensionOf(upper));
                 faulty != faulty_extensions_.end()) {
        why = "left out by the faulty Extension= line " + std::to_string(faulty->second) +
              " (see its error)";
      } else if (StemOf(upper) == "README" || StemOf(upper) == "LICENSE") {
        why = std::string("the package needs ") +
              (StemOf(upper) == "README" ? kReadMeName : kLicenceName) +
              ", a plain text file: Setup.exe copies only that";
      } else {
        why = "its extension is not listed (add an Extension= line to install such files)";
      }
      report_.skipped.push_back(SkippedFile{file.name, why});
    }
    for (const std::string& sub : subfolders_) {
      report_.skipped.push_back(
          SkippedFile{sub + "\\", "a subfolder: Setup.exe copies only the files that lie in the "
                                  "package folder itself; move its files up into it"});
    }
    InstallSettings section_settings = report_.settings;
    section_settings.target_dir = report_.settings.target_path;
    std::string section = AreaSection(1, section_settings);
    section.replace(section.find("[Area.001]"), 10, "[Area.NNN]");
    section.replace(section.find("\r\nLayer=1\r\n"), 11, "\r\nLayer=NNN\r\n");
    report_.section = section;
  }

  FileSystem& fs_;
  FolderSource source_;
  std::string folder_;
  PackageReport report_;
  std::map<std::string, int> last_line_;  // key -> the line whose value counts
  bool too_many_extensions_ = false;
  // The extensions of faulty Extension= lines (upper case, without their
  // dots and blanks), with their lines: their files are left out.
  std::map<std::string, int> faulty_extensions_;
  std::vector<std::string> subfolders_;
  std::vector<FileEntry> folder_files_;
  std::set<std::string> installed_keys_;
};

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::string WithThousands(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, ",");
  return digits;
}

int PackageReport::ExitCode() const {
  int code = 0;
  for (const Finding& finding : findings) {
    code = std::max(code, finding.severity == Severity::kError ? 2 : 1);
  }
  return code;
}

PackageReport CheckPackage(FileSystem& fs) { return Checker(fs).Run(); }

std::string FormatFinding(const Finding& finding, const std::string& folder, char separator) {
  std::string where = finding.file.empty() ? folder : folder + separator + finding.file;
  if (finding.line > 0) where += ":" + std::to_string(finding.line);
  return where + ": " + (finding.severity == Severity::kError ? "error" : "warning") + ": " +
         finding.text;
}

std::string FormatSummary(const PackageReport& report, const std::string& folder) {
  std::string out;
  int errors = 0, warnings = 0;
  for (const Finding& finding : report.findings) {
    (finding.severity == Severity::kError ? errors : warnings) += 1;
  }
  out += "Package " + folder + ": " + std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
         std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings") + "\n";
  if (!report.encodings.empty()) {
    std::string read_as;
    for (const std::string& file : report.encodings)
      read_as += (read_as.empty() ? "" : ", ") + file;
    out += "Read as: " + read_as + "\n";
  }
  if (!report.manifest_read) return out;
  out += "\nInstalled into the destination folder (TargetPath proposes " +
         (report.settings.target_path.empty() ? std::string("none") : report.settings.target_path) +
         "):\n";
  for (const InstalledFile& file : report.installed) {
    out += "  " + Padded(file.name, 32) +
           (file.subfolder.empty() ? "the destination itself" : file.subfolder + "\\") + "\n";
  }
  if (!report.skipped.empty()) out += "Not installed:\n";
  for (const SkippedFile& file : report.skipped) {
    out += "  " + Padded(file.name, 32) + file.why + "\n";
  }
  out += "Total: " + std::to_string(report.installed.size()) +
         (report.installed.size() == 1 ? " file, " : " files, ") +
         WithThousands(report.total_bytes) + " bytes\n";
  out += "\nAppended to scenery.cfg (NNN: the next free area number; Local= names the folder "
         "the user picks):\n";
  for (const std::string& line : SplitLines(report.section)) {
    out += line.empty() ? "\n" : "  " + line + "\n";
  }
  const InstallSettings& s = report.settings;
  std::string shown;  // Publisher and Version, where Setup.ini gives them
  if (!s.publisher.empty()) shown += "publisher " + s.publisher;
  if (!s.version.empty()) shown += (shown.empty() ? "version " : ", version ") + s.version;
  out +=
      "Also written: Uninstall.exe into a protected folder below Program Files, and an entry "
      "called \"" +
      DisplayName(s.install_title) + "\"" + (shown.empty() ? "" : " (" + shown + ")") +
      " in Windows' list of programs. Removing it there takes the area out of "
      "scenery.cfg and deletes the installed files that are still as installed; files the "
      "user changed or added stay.\n";
  return out;
}

}  // namespace pack
}  // namespace scenery
