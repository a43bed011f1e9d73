#include "engine/scenery_library.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/journal.h"
#include "engine/paths.h"

namespace scenery {
namespace {

constexpr std::size_t kHeaderLength = 6;
constexpr char kLocalKey[] = "LOCAL";
constexpr std::size_t kLocalKeyLength = 5;
constexpr char kAddArea[] = "add a scenery area to the file";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool EndsWithLineEnd(const std::string& bytes) { return !bytes.empty() && IsLineEnd(bytes.back()); }

// Whether `data` starts with `upper` when its ASCII letters are read in
// upper case.
bool StartsWithUpper(const char* data, const char* upper, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const char c = data[i];
    if (((c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c) != upper[i]) return false;
  }
  return true;
}

// Whether only blanks stand between the start of its line and `at`.
bool AtLineStart(const char* data, std::size_t at) {
  while (at > 0 && IsBlank(data[at - 1])) --at;
  return at == 0 || IsLineEnd(data[at - 1]);
}

// The number read as a decimal literal from `from`: blanks skipped, an
// optional sign, then the whole run of digits; 0 when no digit comes first.
// A number of more than 18 digits stays at kHugeNumber.
constexpr std::int64_t kHugeNumber = 999999999999999999;
std::int64_t LeadingNumber(const char* data, std::size_t from, std::size_t size) {
  std::size_t i = from;
  while (i < size && IsBlank(data[i])) ++i;
  bool negative = false;
  if (i < size && (data[i] == '+' || data[i] == '-')) negative = data[i++] == '-';
  std::int64_t value = 0;
  for (; i < size && data[i] >= '0' && data[i] <= '9'; ++i) {
    value = value < kHugeNumber / 10 ? value * 10 + (data[i] - '0') : kHugeNumber;
  }
  return negative ? -value : value;
}

// Whether the bytes at `at` begin an area header "[Area." in any letter case.
bool IsAreaHeader(const char* data, std::size_t size, std::size_t at) {
  return size - at >= kHeaderLength && StartsWithUpper(data + at, "[AREA.", kHeaderLength);
}

// Whether the '=' at `at` ends the key "Local" (any letter case, blanks
// around it) at the start of its line.
bool EndsLocalKey(const char* data, std::size_t at) {
  while (at > 0 && IsBlank(data[at - 1])) --at;
  if (at < kLocalKeyLength) return false;
  at -= kLocalKeyLength;
  return StartsWithUpper(data + at, kLocalKey, kLocalKeyLength) && AtLineStart(data, at);
}

constexpr std::uint32_t HasZeroByte(std::uint32_t x) {
  return (x - 0x01010101u) & ~x & 0x80808080u;
}

// The position of the first byte at or after `from` that is `a` or `b`, or
// `size`. A library file may be large and the bytes looked for are rare in
// it, so they are looked for a word at a time.
std::size_t FindEither(const char* data, std::size_t size, std::size_t from, char a, char b) {
  const std::uint32_t wa = 0x01010101u * static_cast<unsigned char>(a);
  const std::uint32_t wb = 0x01010101u * static_cast<unsigned char>(b);
  std::size_t i = from;
  for (; i + 4 <= size; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, data + i, 4);
    if ((HasZeroByte(word ^ wa) | HasZeroByte(word ^ wb)) != 0) break;
  }
  while (i < size && data[i] != a && data[i] != b) ++i;
  return i;
}

// The next '[' (and, with `equals`, the next '=') at or after `from`.
std::size_t NextMark(const char* data, std::size_t size, std::size_t from, bool equals) {
  return FindEither(data, size, from, '[', equals ? '=' : '[');
}

// The position of the line end at or after `from`, or `size`.
std::size_t NextLineEnd(const char* data, std::size_t size, std::size_t from) {
  return FindEither(data, size, from, '\r', '\n');
}

// Tells whether a Local= value names one given folder. Most values name
// other folders, and their last folder name already differs: that is tested
// first, without building a path.
class FolderMatcher {
 public:
  FolderMatcher(const std::string& folder, const std::string& base)
      : base_(base), wanted_(ComparableFolder(folder, base)) {
    const std::size_t slash = wanted_.rfind('\\');
    if (slash != std::string::npos) last_name_ = wanted_.substr(slash + 1);
  }

  bool Names(const char* value, std::size_t length) const {
    std::size_t end = length;
    while (end > 0 && (IsBlank(value[end - 1]) || IsSeparator(value[end - 1]))) --end;
    // A value that ends in "." or ".." is compared in full, and so is every
    // value when the folder is a root (no last name: "\\server\share").
    if (!last_name_.empty() && (end == 0 || value[end - 1] != '.')) {
      const std::size_t n = last_name_.size();
      if (end < n) return false;
      const std::size_t start = end - n;
      if (start > 0 && !IsSeparator(value[start - 1]) && value[start - 1] != ':') return false;
      for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(value[start + i]);
        const unsigned char want = static_cast<unsigned char>(last_name_[i]);
        if (c != want && FoldAnsiCase(c) != want) return false;
      }
    }
    return ComparableFolder(std::string(value, length), base_) == wanted_;
  }

 private:
  std::string base_;
  std::string wanted_;
  std::string last_name_;
};

// The number after `largest`; one that cannot be increased within 32 bits
// throws kBadContent, without a path.
std::int32_t AreaNumberAfter(std::int64_t largest) {
  if (largest >= std::numeric_limits<std::int32_t>::max()) {
    throw Failure(FailureKind::kBadContent, kAddArea, "",
                  "Its largest area number, " + std::to_string(largest) +
                      ", leaves no number for a new area: area numbers end at " +
                      std::to_string(std::numeric_limits<std::int32_t>::max()) +
                      ". Give that area a smaller number in scenery.cfg and run Setup again.");
  }
  return static_cast<std::int32_t>(largest + 1);
}

// The words for a library file or backup that another program holds open:
// most likely the simulator itself, which keeps scenery.cfg open while it
// runs.
std::string InUseAdvice(const Failure& failure) {
  if (failure.kind() != FailureKind::kInUse) return "";
  return "The file is in use by another program, most likely the simulator. Please close "
         "FS 2000 and run Setup again.";
}

// A scenery.cfg that carries the read-only attribute was set so by someone:
// Setup.exe never clears it, and tells the user how to. Looked at whatever
// the system's reason for the failure was. The copy that Windows keeps for
// the user is named by its folder.
std::string ReadOnlyAdvice(FileSystem& fs, const std::string& cfg, bool copy) {
  try {
    if (!fs.Probe(cfg).read_only) return "";
  } catch (const Failure&) {
    return "";
  }
  return "scenery.cfg is read-only: someone set it so, and Setup leaves it that way on purpose. "
         "To install the scenery, right-click scenery.cfg in the " +
         (copy ? "folder " + ParentFolder(cfg) : std::string("FS 2000 folder")) +
         ", choose Properties, untick Read-only, click OK, and run Setup again.";
}

}  // namespace

LibraryScan ScanLibrary(const std::string& bytes, const std::string& folder,
                        const std::string& simulator_folder) {
  const char* data = bytes.data();
  const std::size_t size = bytes.size();
  LibraryScan scan;
  const bool matching = !folder.empty();
  const FolderMatcher matcher(matching ? folder : "C:\\", simulator_folder);
  // Within an area section, until its first Local= line.
  bool wants_local = false;
  for (std::size_t at = NextMark(data, size, 0, false); at < size;
       at = NextMark(data, size, at + 1, wants_local)) {
    if (data[at] == '[') {
      if (!AtLineStart(data, at)) continue;
      const bool header = IsAreaHeader(data, size, at);
      if (header) {
        scan.largest_area =
            std::max(scan.largest_area, LeadingNumber(data, at + kHeaderLength, size));
      }
      wants_local = header && matching && !scan.has_folder;
      continue;
    }
    if (!EndsLocalKey(data, at)) continue;
    const std::size_t end = NextLineEnd(data, size, at + 1);
    scan.has_folder = matcher.Names(data + at + 1, end - at - 1);
    wants_local = false;
    at = end - 1;  // the search goes on after the value
  }
  return scan;
}

std::string WithoutArea(const std::string& bytes, const std::string& folder,
                        const std::string& simulator_folder, bool* found) {
  const char* data = bytes.data();
  const std::size_t size = bytes.size();
  const FolderMatcher matcher(folder, simulator_folder);
  // The starts of the lines that begin a section, and the end.
  std::vector<std::size_t> headers;
  for (std::size_t at = NextMark(data, size, 0, false); at < size;
       at = NextMark(data, size, at + 1, false)) {
    if (!AtLineStart(data, at)) continue;
    std::size_t line = at;
    while (line > 0 && !IsLineEnd(data[line - 1])) --line;
    headers.push_back(line);
  }
  headers.push_back(size);
  *found = false;
  std::string kept(bytes, 0, headers.front());
  for (std::size_t i = 0; i + 1 < headers.size(); ++i) {
    const std::size_t start = headers[i], end = headers[i + 1];
    bool names_folder = false;
    const std::size_t bracket = bytes.find('[', start);
    if (IsAreaHeader(data, size, bracket)) {
      // Its first Local= line, as ScanLibrary reads it.
      for (std::size_t at = bytes.find('=', start); at < end; at = bytes.find('=', at + 1)) {
        if (!EndsLocalKey(data, at)) continue;
        const std::size_t value_end = std::min(NextLineEnd(data, size, at + 1), end);
        names_folder = matcher.Names(data + at + 1, value_end - at - 1);
        break;
      }
    }
    if (names_folder) {
      *found = true;
    } else {
      kept.append(bytes, start, end - start);
    }
  }
  return kept;
}

std::int32_t NextAreaNumber(const std::string& bytes) {
  return AreaNumberAfter(ScanLibrary(bytes).largest_area);
}

std::string AreaSection(std::int32_t area_number, const InstallSettings& settings) {
  std::string label = std::to_string(area_number);
  if (label.size() < 3) label.insert(0, 3 - label.size(), '0');
  std::string section;
  auto line = [&section](const std::string& text) { section += text + "\r\n"; };
  line("[Area." + label + "]");
  line("Title=" + settings.scenery_title);
  line("Local=" + settings.target_dir);
  line("Active=TRUE");
  line("Layer=" + std::to_string(area_number));
  if (!settings.exclude.empty()) line("Exclude=" + settings.exclude);
  if (!settings.flatten0.empty()) line("Flatten.0=" + settings.flatten0);
  if (!settings.flatten1.empty()) line("Flatten.1=" + settings.flatten1);
  line("");
  return section;
}

std::string SimulatorFolderOf(const std::string& cfg_path) { return ParentFolder(cfg_path); }

constexpr char kNamesTheLibrary[] = "it names scenery.cfg itself, which the backup must not replace";

std::string BackupNameFault(const std::string& name) {
  if (name.empty()) return "it is empty, so the backup would have no file name";
  // A name, or a path below the simulator's folder ("Backup\\scenery.bak"):
  // each part a plain name, never "." or "..", no drive, no leading backslash.
  bool plain = name.find_first_of("/:") == std::string::npos && !HasForbiddenPathCharacters(name);
  std::size_t parts = 0;
  std::string last;
  for (std::size_t start = 0; plain;) {
    const std::size_t end = std::min(name.find('\\', start), name.size());
    last = name.substr(start, end - start);
    ++parts;
    plain = !last.empty() && last != "." && last != "..";
    if (end == name.size()) break;
    start = end + 1;
  }
  if (!plain) {
    return "it is not a plain file name, nor one in a subfolder of the simulator's folder (such as "
           "Backup\\scenery.bak): no drive, no leading backslash, no \".\" or \"..\", none of the "
           "characters / : * ? \" < > |";
  }
  // Windows drops trailing dots and blanks from a name: "scenery.cfg." is it.
  last.erase(last.find_last_not_of(". ") + 1);
  if (parts == 1 && UpperAscii(last) == "SCENERY.CFG") {
    return kNamesTheLibrary;
  }
  return "";
}

std::string CopyBackupOf(FileSystem& fs, const std::string& library,
                         const std::string& backup_cfg) {
  const std::string backup = Below(ParentFolder(library), backup_cfg);
  if (backup_cfg.find('\\') == std::string::npos ||
      fs.Probe(ParentFolder(backup)).kind == EntryKind::kFolder) {
    return backup;
  }
  return Below(ParentFolder(library), backup_cfg.substr(backup_cfg.rfind('\\') + 1));
}

std::vector<LibraryFile> LibrariesOf(FileSystem& fs, const InstallSettings& settings) {
  std::vector<LibraryFile> libraries{{settings.cfg_path, settings.backup_path}};
  if (!settings.cfg_copy_path.empty()) {
    libraries.push_back(LibraryFile{settings.cfg_copy_path,
                                    CopyBackupOf(fs, settings.cfg_copy_path, settings.backup_cfg)});
  }
  return libraries;
}

std::string VirtualStoreCopyOf(const std::string& file, const std::string& virtual_store,
                               const std::string& system_drive) {
  if (virtual_store.empty() || system_drive.size() != 2 || file.size() < 4 || file[1] != ':' ||
      file[2] != '\\' || UpperAscii(file.substr(0, 2)) != UpperAscii(system_drive)) {
    return "";
  }
  return Below(virtual_store, file.substr(3));
}

std::string FindLibraryCopy(FileSystem& fs, Session& session, const std::string& cfg_path) {
  const std::string copy =
      VirtualStoreCopyOf(cfg_path, session.VirtualStore(), session.SystemDrive());
  try {
    if (!copy.empty() && fs.Probe(copy).kind == EntryKind::kFile) return copy;
  } catch (const Failure&) {
  }
  return "";
}

void CheckSceneryLibrary(FileSystem& fs, const InstallSettings& settings) {
  std::string cfg = settings.cfg_path;
  try {
    const std::string& name = settings.backup_cfg;
    const std::string name_fault = BackupNameFault(name);
    for (const LibraryFile& library : LibrariesOf(fs, settings)) {
      cfg = library.path;
      std::string fault = name_fault;
      // The same file by another name (its 8.3 short name, say).
      if (fault.empty() && fs.IsSameEntry(library.path, library.backup)) fault = kNamesTheLibrary;
      const std::string folder = ParentFolder(library.backup);
      if (fault.empty() && name.find('\\') != std::string::npos &&
          fs.Probe(folder).kind != EntryKind::kFolder) {
        fault = "its folder " + folder + " does not exist";
      }
      if (!fault.empty()) {
        throw Failure(FailureKind::kBadContent, op::kMakeBackup, library.path,
                      "The package's Setup.ini gives the backup the name \"" + name +
                          "\" (BackupCFG), but " + fault + ".");
      }
      NextAreaNumber(fs.ReadWholeFile(library.path));
    }
  } catch (Failure& failure) {
    if (failure.path().empty()) failure.set_path(cfg);
    failure.set_advice(InUseAdvice(failure));
    failure.set_aftermath("Nothing was installed: no file was copied, and scenery.cfg was not "
                          "changed.");
    throw;
  }
}

namespace {

// The area into one library; false when it has one for the destination.
bool RegisterIn(FileSystem& fs, const InstallSettings& settings, const LibraryFile& library,
                bool copy, Journal& journal) {
  const std::string& cfg = library.path;
  const std::string installed = "The package was installed in " + settings.target_dir +
                                ", but the simulator does not know it yet: ";
  std::string old_bytes;
  std::int32_t area_number = 0;
  try {
    old_bytes = fs.ReadWholeFile(cfg);
    // A relative Local= is relative to the simulator's folder, in its
    // library's copy too.
    const LibraryScan scan =
        ScanLibrary(old_bytes, settings.target_dir, SimulatorFolderOf(settings.cfg_path));
    // The package was installed into this folder before: its area stays as
    // the user set it, and neither the library nor its backup is written.
    if (scan.has_folder) {
      journal.Note("Found an area for " + settings.target_dir + " in " + cfg +
                   " already: it stays as it is, and the file is not written");
      return false;
    }
    area_number = AreaNumberAfter(scan.largest_area);
    journal.BeforeWriting(library.backup);
    WriteOwnFile(fs, library.backup, [&] { fs.CopyReplacing(cfg, library.backup); });
    journal.Note("Made the backup " + library.backup + " of " + cfg);
  } catch (Failure& failure) {
    if (failure.path().empty()) failure.set_path(cfg);
    failure.set_advice(InUseAdvice(failure));
    failure.set_aftermath(installed + "scenery.cfg was not changed.");
    throw;
  }

  std::string section = AreaSection(area_number, settings);
  // Keep the old last line whole and start the header on a line of its own.
  if (!old_bytes.empty() && !EndsWithLineEnd(old_bytes)) section.insert(0, "\r\n");

  try {
    journal.BeforeRewriting(cfg, old_bytes, library.backup);
    fs.ReplaceContents(cfg, old_bytes + section);
  } catch (Failure& failure) {
    std::string advice = ReadOnlyAdvice(fs, cfg, copy);
    if (advice.empty()) advice = InUseAdvice(failure);
    failure.set_advice(advice);
    // The journal's undo puts the old bytes back, with the rest of the run.
    throw;
  }
  const std::string header = section.substr(section.find('['), section.find(']') - section.find('[') + 1);
  journal.Note("Appended the area " + header + " to " + cfg + ": Title=" + settings.scenery_title +
               ", Local=" + settings.target_dir);
  return true;
}

}  // namespace

bool RegisterSceneryArea(FileSystem& fs, const InstallSettings& settings, Journal& journal) {
  bool added = false;
  bool copy = false;
  for (const LibraryFile& library : LibrariesOf(fs, settings)) {
    added = RegisterIn(fs, settings, library, copy, journal) || added;
    copy = true;
  }
  return added;
}

}  // namespace scenery
