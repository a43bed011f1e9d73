#include "engine/removal.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "engine/crc32c.h"
#include "engine/install_settings.h"
#include "engine/journal.h"
#include "engine/package_source.h"
#include "engine/paths.h"
#include "engine/scenery_library.h"
#include "engine/text_lines.h"

namespace scenery {
namespace {

constexpr char kRecordHeader[] = "SceneryRemoval=1";

// The record's one-value keys, in the order they are written.
struct TextKey {
  const char* key;
  std::string RemovalRecord::*value;
};
const TextKey kTextKeys[] = {
    {"Title", &RemovalRecord::title},           {"Destination", &RemovalRecord::destination},
    {"SceneryCfg", &RemovalRecord::cfg_path},   {"BackupCFG", &RemovalRecord::backup_cfg},
    {"AreaTitle", &RemovalRecord::area_title},  {"AreaLocal", &RemovalRecord::area_local},
};
constexpr char kReadRecord[] = "read the removal record of";
constexpr char kRemoveArea[] = "take the scenery's area out of";

std::string Hex(std::uint32_t value) { return Digits(value, 16, 8); }

[[noreturn]] void Refuse(const std::string& why) {
  throw Failure(FailureKind::kBadContent, kReadRecord, kUninstallName,
                "The record is damaged: " + why + ". Nothing was removed.");
}

// A name below the destination that leads nowhere else: plain parts, none
// "." or "..", no drive, no leading backslash, no character Windows forbids.
bool IsPlainRelative(const std::string& name, bool may_be_empty) {
  if (name.empty()) return may_be_empty;
  if (name.find_first_of("/:") != std::string::npos || HasForbiddenPathCharacters(name)) return false;
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(name.find('\\', start), name.size());
    const std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == name.size()) return true;
    start = end + 1;
  }
}

// A decimal or (with `hex`) hexadecimal number that is all of `text`.
bool ReadNumber(const std::string& text, bool hex, std::uint64_t* value) {
  if (text.empty() || text.size() > (hex ? 8u : 19u)) return false;
  *value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return false;
    *value = *value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
  }
  return true;
}

// The part of `path` below `folder` ("" for the folder itself), when it
// lies there; compared as Windows compares folders.
bool RelativeTo(const std::string& folder, const std::string& path, std::string* relative) {
  const std::string base = ComparableFolder(folder, "");
  const std::string full = ComparableFolder(path, "");
  if (full == base) {
    relative->clear();
    return true;
  }
  const std::string prefix = base.back() == '\\' ? base : base + "\\";
  if (full.compare(0, prefix.size(), prefix) != 0) return false;
  // The name's own letters, not the folded ones.
  const std::size_t parts = std::count(full.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                                       full.end(), '\\') + 1;
  std::size_t at = path.size();
  for (std::size_t i = 0; i < parts; ++i) at = path.rfind('\\', at - 1);
  *relative = path.substr(at + 1);
  return IsPlainRelative(*relative, false);
}

// Whether the full path `path` is the root of a drive or share, or has a
// "." or ".." part.
bool IsRootOrDotted(const std::string& path) {
  const std::string below_root = WithoutTrailingSeparators(path).substr(RootLength(path));
  bool dotted = false;
  for (std::size_t start = 0; start <= below_root.size();) {
    const std::size_t end = std::min(below_root.find('\\', start), below_root.size());
    const std::string part = below_root.substr(start, end - start);
    dotted = dotted || part == "." || part == "..";
    start = end + 1;
  }
  return below_root.find_first_not_of('\\') == std::string::npos || dotted;
}

bool IsReadOnly(FileSystem& fs, const std::string& path) {
  try {
    return fs.Probe(path).read_only;
  } catch (const Failure&) {
    return false;
  }
}

// Whether the recorded folders (or only the folder `only`) still hold a
// file or folder that the removal did not name: one the user added.
bool HoldsOthers(FileSystem& fs, const RemovalRecord& record, const RemovalResult& result,
                 const std::string* only = nullptr) {
  std::set<std::string> known;
  for (const auto* list : {&result.changed, &result.linked}) {
    for (const std::string& path : *list) known.insert(FoldedCase(path));
  }
  for (const NotDeleted& file : result.failed) known.insert(FoldedCase(file.path));
  for (const std::string& folder : record.folders) {
    known.insert(FoldedCase(Below(record.destination, folder)));
  }
  for (const std::string& folder : record.folders) {
    if (only != nullptr && FoldedCase(folder) != FoldedCase(*only)) continue;
    const std::string path = Below(record.destination, folder);
    try {
      if (fs.Probe(path).kind != EntryKind::kFolder) continue;
      for (const std::string& sub : fs.ListSubfolders(path)) {
        if (known.count(FoldedCase(Below(path, sub))) == 0) return true;
      }
      for (const FileEntry& file : fs.ListFiles(path)) {
        if (known.count(FoldedCase(Below(path, file.name))) == 0) return true;
      }
    } catch (const Failure&) {
    }
  }
  return false;
}

// The record that the removal program `path` carries, when it names
// `folder` as its destination. A program that is not there, carries no
// record or a damaged one, or names another folder has none; a failure to
// look at or read it throws.
bool ReadRecordOf(FileSystem& fs, const std::string& path, const std::string& folder,
                  RemovalRecord* record) {
  if (fs.Probe(path).kind != EntryKind::kFile) return false;
  MemoryByteFile program(fs.ReadWholeFile(path), kUninstallName);
  try {
    PackedLayout layout;
    std::string why;
    if (ReadPackedLayout(program, &layout, &why) != PackedState::kPackage ||
        layout.files.size() != 1 || layout.files[0].name != kRemovalRecordName) {
      return false;
    }
    CarriedSource carried(program, layout, path);
    *record = ReadRemovalRecord(carried.Read(kRemovalRecordName));
  } catch (const Failure&) {
    return false;
  }
  return ComparableFolder(record->destination, "") == ComparableFolder(folder, "");
}

// The record of the earlier installation into `folder`: from its removal
// program, or from the Uninstall.exe that earlier versions of Setup wrote
// into the folder itself. Throws as ReadRecordOf.
bool ReadEarlierRecord(FileSystem& fs, ProgramList& programs, const std::string& folder,
                       RemovalRecord* record) {
  return ReadRecordOf(fs, RemovalProgramOf(programs.RemovalRoot(), folder), folder, record) ||
         ReadRecordOf(fs, Below(folder, kUninstallName), folder, record);
}

// Whether `data` is still the recorded file: its size and CRC-32C.
bool IsAsRecorded(ByteFile& data, const RemovalRecord::File& file) {
  if (data.Size() != file.size) return false;
  std::uint32_t crc = 0;
  std::string chunk;
  for (std::uint64_t at = 0; at < file.size; at += chunk.size()) {
    chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(file.size - at, 1 << 16)));
    data.ReadAt(at, &chunk[0], chunk.size());
    crc = Crc32c(crc, chunk.data(), chunk.size());
  }
  return crc == file.crc;
}

// Whether the file `path` is still the recorded file.
bool IsAsRecorded(FileSystem& fs, const std::string& path, const RemovalRecord::File& file) {
  if (fs.FileLength(path) != file.size) return false;
  MemoryByteFile data(fs.ReadWholeFile(path), path);
  return IsAsRecorded(data, file);
}

}  // namespace

std::string RemovalProgramOf(const std::string& root, const std::string& destination) {
  return Below(Below(root, ProgramKeyOf(destination)), kUninstallName);
}

std::string ProgramKeyOf(const std::string& destination) {
  const std::string folder = ComparableFolder(destination, "");
  return "scenery-setup-" + Hex(Crc32c(0, folder.data(), folder.size()));
}

std::string WriteRemovalRecord(const RemovalRecord& record) {
  std::string text;
  auto line = [&text](const std::string& key, const std::string& value) {
    text += key + "=" + value + "\r\n";
  };
  text += std::string(kRecordHeader) + "\r\n";
  for (const TextKey& text_key : kTextKeys) line(text_key.key, record.*text_key.value);
  for (const std::string& folder : record.folders) line("Folder", folder);
  for (const std::string& folder : record.above) line("Above", folder);
  for (const std::string& copy : record.cfg_copies) line("SceneryCfgCopy", copy);
  for (const RemovalRecord::File& file : record.files) {
    line("File", file.name + "|" + std::to_string(file.size) + "|" + Hex(file.crc));
  }
  return text;
}

RemovalRecord ReadRemovalRecord(const std::string& bytes, const std::string& windows_folder) {
  RemovalRecord record;
  std::size_t at = 0;
  bool first = true;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) Refuse("its last line has no end");
    const std::string line = bytes.substr(at, end - at);
    at = end + 2;
    if (first) {
      if (line != kRecordHeader) Refuse("it does not begin as a removal record does");
      first = false;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || line.find_first_of("\r\n") != std::string::npos) {
      Refuse("a line is no \"key=value\"");
    }
    const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
    const auto text_key = std::find_if(std::begin(kTextKeys), std::end(kTextKeys),
                                       [&key](const TextKey& known) { return key == known.key; });
    if (text_key != std::end(kTextKeys)) {
      record.*text_key->value = value;
    } else if (key == "Folder") {
      if (!IsPlainRelative(value, true)) Refuse("a folder lies outside the destination");
      record.folders.push_back(value);
    } else if (key == "Above") {
      record.above.push_back(value);
    } else if (key == "SceneryCfgCopy") {
      // Rewritten with administrator rights: a library, and nothing else.
      if (!IsFullPath(value) || HasForbiddenPathCharacters(value) ||
          FoldedCase(value.substr(value.rfind('\\') + 1)) != FoldedCase("scenery.cfg")) {
        Refuse("a copy of scenery.cfg is none");
      }
      record.cfg_copies.push_back(value);
    } else if (key == "File") {
      const std::size_t crc_bar = value.rfind('|');
      const std::size_t size_bar = crc_bar == std::string::npos || crc_bar == 0
                                       ? std::string::npos
                                       : value.rfind('|', crc_bar - 1);
      if (size_bar == std::string::npos) Refuse("a file line lacks its size or checksum");
      RemovalRecord::File file;
      file.name = value.substr(0, size_bar);
      std::uint64_t crc = 0;
      if (!ReadNumber(value.substr(size_bar + 1, crc_bar - size_bar - 1), false, &file.size) ||
          !ReadNumber(value.substr(crc_bar + 1), true, &crc)) {
        Refuse("a file's size or checksum is no number");
      }
      file.crc = static_cast<std::uint32_t>(crc);
      if (!IsPlainRelative(file.name, false)) Refuse("a file lies outside the destination");
      record.files.push_back(file);
    } else {
      Refuse("it holds the unknown key " + key);
    }
  }
  if (first) Refuse("it is empty");
  const std::string& destination = record.destination;
  if (!IsFullPath(destination) || HasForbiddenPathCharacters(destination)) {
    Refuse("its destination is no full path");
  }
  // The removal deletes below the destination with administrator rights: a
  // record that names a whole drive or the system's own folder is refused.
  if (IsRootOrDotted(destination)) {
    Refuse("its destination is the root of a drive or has a \".\" or \"..\" part");
  }
  std::string inside;
  if (!windows_folder.empty() && RelativeTo(windows_folder, destination, &inside)) {
    Refuse("its destination lies in the Windows folder");
  }
  if (!IsFullPath(record.cfg_path) || HasForbiddenPathCharacters(record.cfg_path)) {
    Refuse("its scenery.cfg is no full path");
  }
  if (!BackupNameFault(record.backup_cfg).empty()) Refuse("its backup name is not one");
  // A folder above the destination goes only when empty; never a drive's
  // root, nor the simulator's folder or one that holds it.
  const std::string simulator = SimulatorFolderOf(record.cfg_path);
  for (const std::string& folder : record.above) {
    std::string below, held;
    if (!IsFullPath(folder) || !RelativeTo(folder, destination, &below) || below.empty() ||
        IsRootOrDotted(folder) || RelativeTo(folder, simulator, &held)) {
      Refuse("a folder above the destination is not one that the installation made");
    }
  }
  return record;
}

void WriteRemoval(FileSystem& fs, const InstallSettings& settings, Journal& journal,
                  const ProgramImage& image, ProgramList& programs,
                  const std::vector<std::string>& installs) {
  const std::string& dest = settings.target_dir;
  RemovalRecord earlier;
  const bool again = ReadEarlierRecord(fs, programs, dest, &earlier);
  RemovalRecord record;
  record.title = settings.install_title;
  record.destination = dest;
  record.cfg_path = settings.cfg_path;
  record.backup_cfg = settings.backup_cfg;
  record.area_title = settings.scenery_title;
  record.area_local = dest;
  std::uint64_t bytes = 0;
  std::string relative;
  std::set<std::string> folders, above;  // folded, each once
  auto add_folder = [&](const std::string& folder) {
    if (folders.insert(FoldedCase(folder)).second) record.folders.push_back(folder);
  };
  auto add_above = [&](const std::string& folder) {
    if (above.insert(ComparableFolder(folder, "")).second) record.above.push_back(folder);
  };
  for (const std::string& folder : journal.MadeFolders()) {
    if (RelativeTo(dest, folder, &relative)) {
      add_folder(relative);
    } else if (RelativeTo(folder, dest, &relative)) {
      add_above(folder);
    }
  }
  std::set<std::string> written, installed;
  for (const std::string& name : installs) installed.insert(FoldedCase(name));
  for (const std::string& path : journal.Written()) {
    if (!RelativeTo(dest, path, &relative)) continue;  // the backup
    // Read back as it was written: what the removal compares with.
    const std::string data = fs.ReadWholeFile(path);
    record.files.push_back(RemovalRecord::File{relative, data.size(), Crc32c(0, data.data(), data.size())});
    written.insert(FoldedCase(relative));
    bytes += data.size();
  }
  std::vector<std::string> copies = earlier.cfg_copies;
  if (!settings.cfg_copy_path.empty()) copies.push_back(settings.cfg_copy_path);
  for (const std::string& copy : copies) {
    bool known = false;
    for (const std::string& kept : record.cfg_copies)
      known = known || FoldedCase(kept) == FoldedCase(copy);
    if (!known) record.cfg_copies.push_back(copy);
  }
  if (again) {
    // A repair or an update: what the earlier runs made stays recorded.
    for (const std::string& folder : earlier.folders) add_folder(folder);
    for (const std::string& folder : earlier.above) add_above(folder);
    for (const RemovalRecord::File& file : earlier.files) {
      if (written.count(FoldedCase(file.name)) != 0) continue;
      const std::string path = Below(dest, file.name);
      if (fs.Probe(path).kind != EntryKind::kFile || !IsAsRecorded(fs, path, file))
        continue;  // the user's now
      if (installed.count(FoldedCase(file.name)) != 0) {
        record.files.push_back(file);
        bytes += file.size;
      } else {
        journal.Note("The earlier version's " + file.name + " is no longer part of the package");
        journal.Delete(path);
      }
    }
  }
  const std::string text = WriteRemovalRecord(record);

  // The removal program and its folders, where only administrators write.
  const std::string uninstall = RemovalProgramOf(programs.RemovalRoot(), settings.target_dir);
  for (const std::string& folder :
       {ParentFolder(ParentFolder(uninstall)), ParentFolder(uninstall)}) {
    const bool made = fs.Probe(folder).kind == EntryKind::kMissing;
    fs.MakeProtectedFolder(folder);
    if (made) journal.MadeFolder(folder);
  }
  journal.BeforeWriting(uninstall);
  WriteOwnFile(fs, uninstall, [&] {
    fs.WriteFileFrom(uninstall, [&](const FileSystem::ByteSink& sink) {
      // The program's image, without a signature that would no longer fit it.
      std::string chunk;
      for (std::uint64_t at = 0; at < image.image_end; at += chunk.size()) {
        chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(image.image_end - at, 1 << 16)));
        image.file->ReadAt(at, &chunk[0], chunk.size());
        if (image.security_entry != 0 && image.security_entry >= at &&
            image.security_entry + 8 <= at + chunk.size()) {
          std::fill_n(chunk.begin() + static_cast<std::ptrdiff_t>(image.security_entry - at), 8, '\0');
        }
        sink(chunk.data(), chunk.size());
      }
      struct Writer : PackWriter {
        const FileSystem::ByteSink* sink;
        const std::string* record;
        void Write(const std::string& part) override { (*sink)(part.data(), part.size()); }
        void CopyFile(std::size_t) override { (*sink)(record->data(), record->size()); }
      } writer;
      writer.sink = &sink;
      writer.record = &text;
      WritePackage(image.image_end,
                   {FileToPack{kRemovalRecordName, text.size(), Crc32c(0, text.data(), text.size())}},
                   writer);
    });
  });
  bytes += image.image_end + text.size();
  journal.Note("Wrote the removal record into " + uninstall + " (" +
               std::to_string(record.files.size()) + " files, " +
               std::to_string(record.folders.size()) + " folders)");
  // The removal program that an earlier version of Setup wrote into the
  // destination, where anyone who may write there could replace it.
  RemovalRecord legacy;
  const std::string old_place = Below(dest, kUninstallName);
  if (fs.Probe(old_place).kind == EntryKind::kFile && ReadRecordOf(fs, old_place, dest, &legacy)) {
    journal.Note("The removal program in the destination gives way to the one in " + uninstall);
    journal.Delete(old_place);
  }

  ProgramEntry entry;
  entry.destination = settings.target_dir;
  entry.display_name = DisplayName(settings.install_title);
  entry.publisher = settings.publisher;
  entry.version = settings.version;
  // A second copy of the package elsewhere: its entry names its folder.
  RemovalRecord other;
  if (FindOtherCopy(fs, programs, settings, dest, &other)) entry.display_name += " (" + dest + ")";
  entry.uninstall_exe = uninstall;
  entry.size_kib = static_cast<std::uint32_t>((bytes + 1023) / 1024);
  programs.Register(entry);
  journal.Note("Wrote the entry " + ProgramKeyOf(entry.destination) +
               " in Windows' list of programs: \"" + entry.display_name + "\", removed by " +
               uninstall);
}

bool IsSamePackage(const RemovalRecord& record, const InstallSettings& settings) {
  return record.title == settings.install_title && record.area_title == settings.scenery_title;
}

std::vector<RemovalRecord> ListedInstallations(FileSystem& fs, ProgramList& programs) {
  std::vector<RemovalRecord> records;
  for (const std::string& folder : programs.Folders()) {
    RemovalRecord record;
    if (ReadEarlierInstallation(fs, programs, folder, &record)) records.push_back(record);
  }
  return records;
}

bool FindOtherCopy(FileSystem& fs, ProgramList& programs, const InstallSettings& settings,
                   const std::string& folder, RemovalRecord* other) {
  for (const RemovalRecord& record : ListedInstallations(fs, programs)) {
    if (IsSamePackage(record, settings) &&
        ComparableFolder(record.destination, "") != ComparableFolder(folder, "")) {
      *other = record;
      return true;
    }
  }
  return false;
}

std::string PackageName(const std::string& install_title, const std::string& area_title) {
  const std::string name = DisplayName(install_title);
  return area_title.empty() || area_title == name ? name : name + " (its area: " + area_title + ")";
}

bool ReadEarlierInstallation(FileSystem& fs, ProgramList& programs, const std::string& folder,
                             RemovalRecord* record) {
  try {
    return ReadEarlierRecord(fs, programs, folder, record);
  } catch (const Failure&) {
    return false;
  }
}

RemovalResult RemoveInstallation(FileSystem& fs, ProgramList& programs,
                                 const RemovalRecord& record) {
  RemovalResult result;
  const std::string& cfg = record.cfg_path;
  const std::string simulator = SimulatorFolderOf(cfg);
  // The libraries first: when one cannot be written, nothing is removed.
  struct Change {
    std::string path, backup, old_bytes, new_bytes;
  };
  std::vector<Change> changes;
  std::string library = cfg;  // the one in hand, for the report
  try {
    std::vector<std::string> paths;
    if (!cfg.empty()) paths.push_back(cfg);
    for (const std::string& copy : record.cfg_copies) {
      if (cfg.empty() || fs.Probe(copy).kind != EntryKind::kFile) continue;
      bool known = false;
      for (const std::string& path : paths) known = known || FoldedCase(path) == FoldedCase(copy);
      if (!known) paths.push_back(copy);
    }
    for (const std::string& path : paths) {
      library = path;
      Change change{path,
                    path == cfg ? Below(simulator, record.backup_cfg)
                                : CopyBackupOf(fs, path, record.backup_cfg),
                    fs.ReadWholeFile(path), ""};
      bool found = false;
      change.new_bytes = WithoutArea(change.old_bytes, record.destination, simulator, &found);
      if (!found) continue;
      // Opened for writing with nothing written: a file that the simulator
      // holds open is found here, before anything is written.
      try {
        fs.AppendToFile(path, "");
      } catch (const Failure& failure) {
        throw Failure(failure.kind(), kRemoveArea, path, failure.reason());
      }
      changes.push_back(change);
    }
    result.area_removed = !changes.empty();
    for (std::size_t i = 0; i < changes.size(); ++i) {
      const Change& change = changes[i];
      library = change.path;
      try {
        WriteOwnFile(fs, change.backup, [&] { fs.CopyReplacing(change.path, change.backup); });
        // Put in its place whole: a power cut leaves the old file or the new.
        fs.ReplaceContents(change.path, change.new_bytes);
      } catch (const Failure&) {
        // The libraries changed before it get their area back.
        for (std::size_t j = 0; j < i; ++j) {
          try {
            fs.ReplaceContents(changes[j].path, changes[j].old_bytes);
          } catch (const Failure&) {
          }
        }
        throw;
      }
    }
  } catch (Failure& failure) {
    const bool read_only = IsReadOnly(fs, library);
    // Replacing a file that another program holds open is refused as
    // "access denied".
    if (failure.kind() == FailureKind::kInUse ||
        (failure.kind() == FailureKind::kAccessDenied && !read_only && failure.path() == library)) {
      failure.set_advice(
          "The file is in use by another program, most likely the simulator. "
          "Please close FS 2000 and remove the scenery again.");
    } else if (read_only) {
      failure.set_advice(
          "scenery.cfg is read-only: someone set it so. To remove the scenery, "
          "right-click scenery.cfg in the " +
          (library == cfg ? std::string("FS 2000 folder") : "folder " + ParentFolder(library)) +
          ", choose Properties, untick Read-only, click OK, and remove the scenery again.");
    }
    failure.set_aftermath(
        "Nothing was removed: the scenery is still installed, and "
        "scenery.cfg was not changed.");
    throw;
  }

  // Each folder from the destination down is held open from its check
  // until the removal is done with it: a folder that is a link leads
  // elsewhere, and nothing behind it is deleted; a held one cannot be
  // swapped for a link, nor can any folder above it (Windows renames no
  // folder while something below it is open).
  enum class Reach { kHeld, kLink, kMissing };
  std::map<std::string, std::pair<Reach, std::unique_ptr<FolderHold>>>
      holds;  // folded relative name
  auto reach = [&](const std::string& relative) {
    const std::string key = FoldedCase(relative);
    auto found = holds.find(key);
    if (found == holds.end()) {
      const std::string path = Below(record.destination, relative);
      std::unique_ptr<FolderHold> hold = fs.HoldFolder(path);
      const Reach how = hold                                         ? Reach::kHeld
                        : fs.Probe(path).kind == EntryKind::kMissing ? Reach::kMissing
                                                                     : Reach::kLink;
      found = holds.emplace(key, std::make_pair(how, std::move(hold))).first;
    }
    return found->second.first;
  };
  // The folders on the way to `name`, from the destination down.
  auto way_to = [&](const std::string& name) {
    Reach way = reach("");
    for (std::size_t slash = name.find('\\'); way == Reach::kHeld && slash != std::string::npos;
         slash = name.find('\\', slash + 1)) {
      way = reach(name.substr(0, slash));
    }
    return way;
  };
  try {
    result.destination_linked = reach("") == Reach::kLink;
  } catch (const Failure&) {
  }
  for (const RemovalRecord::File& file : record.files) {
    if (result.destination_linked) break;
    const std::string path = Below(record.destination, file.name);
    try {
      const Reach way = way_to(file.name);
      if (way == Reach::kLink) result.linked.push_back(path);
      if (way == Reach::kMissing) result.missing.push_back(path);
      if (way != Reach::kHeld) continue;
      const RemoveOutcome outcome =
          fs.RemoveFileIf(path, [&](ByteFile& data) { return IsAsRecorded(data, file); });
      if (outcome == RemoveOutcome::kKept) result.changed.push_back(path);
      if (outcome == RemoveOutcome::kLink) result.linked.push_back(path);
      if (outcome == RemoveOutcome::kMissing) result.missing.push_back(path);
    } catch (const Failure& failure) {
      result.failed.push_back(NotDeleted{path, failure.kind(), failure.reason()});
    }
  }
  // The deepest first; a folder that still holds something stays. Each is
  // let go just before it is removed; those above it stay held.
  std::vector<std::string> folders = record.folders;
  std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '\\') + !a.empty() >
           std::count(b.begin(), b.end(), '\\') + !b.empty();
  });
  for (const std::string& folder : folders) {
    if (result.destination_linked) break;
    const std::string path = Below(record.destination, folder);
    try {
      if (!folder.empty() && way_to(folder) != Reach::kHeld) continue;
      const std::string key = FoldedCase(folder);
      for (auto it = holds.begin(); it != holds.end();) {
        const bool below = key.empty() || it->first.compare(0, key.size() + 1, key + "\\") == 0;
        it = it->first == key || below ? holds.erase(it) : std::next(it);
      }
      const PathInfo info = fs.Probe(path);
      if (info.kind == EntryKind::kFolder && !info.link) fs.RemoveFolder(path);
    } catch (const Failure&) {
      // Not empty (the user's own files stay), or out of reach: it stays.
    }
  }
  holds.clear();
  // The folders that the runs made above the destination, the deepest first.
  std::vector<std::string> made_above = record.above;
  std::sort(made_above.begin(), made_above.end(), [](const std::string& a, const std::string& b) {
    return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
  });
  for (const std::string& folder : made_above) {
    try {
      if (result.destination_linked || fs.Probe(record.destination).kind != EntryKind::kMissing)
        break;
      const PathInfo info = fs.Probe(folder);
      if (info.kind == EntryKind::kFolder && !info.link) fs.RemoveFolder(folder);
    } catch (const Failure&) {
      // Not empty, or out of reach: it stays.
    }
  }
  result.others_kept = HoldsOthers(fs, record, result);
  if (!result.destination_linked) {
    for (const std::string& folder : folders) {  // the deepest first
      const std::string path = Below(record.destination, folder);
      try {
        if (fs.Probe(path).kind != EntryKind::kFolder) continue;
        result.folders_kept.emplace_back(
            path, HoldsOthers(fs, record, result, &folder)
                      ? "it holds files or folders that Setup did not install"
                      : "it holds what was kept above");
      } catch (const Failure&) {
      }
    }
  }
  try {
    programs.Unregister(record.destination);
  } catch (const Failure& failure) {
    result.entry_failure = failure.reason();
  }
  return result;
}

}  // namespace scenery
