// Removal of an installed scenery: the record that every successful run
// writes into Uninstall.exe, its reader, and the removal it drives.
#ifndef SCENERY_SETUP_ENGINE_REMOVAL_H_
#define SCENERY_SETUP_ENGINE_REMOVAL_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_system.h"
#include "engine/packed_package.h"
#include "engine/program_list.h"

namespace scenery {

class Journal;
struct InstallSettings;

// The name of the one file that Uninstall.exe carries, in the format of a
// one-file package; a program that carries it removes instead of installing.
constexpr char kRemovalRecordName[] = "removal.rec";
constexpr char kUninstallName[] = "Uninstall.exe";

struct RemovalRecord {
  std::string title;        // InstallTitle
  std::string destination;  // the folder installed into
  std::string cfg_path;     // scenery.cfg
  std::string backup_cfg;   // BackupCFG, relative to the simulator's folder
  std::string area_title;   // the area's Title=
  std::string area_local;   // the area's Local=
  struct File {
    std::string name;  // relative to the destination: "Scenery\Harbour.bgl"
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
  };
  std::vector<File> files;           // each file the runs wrote, still as written
  std::vector<std::string> folders;  // each folder they made, relative ("" the destination)
  // Each folder they made above the destination, as a full path.
  std::vector<std::string> above;
  // The copies of scenery.cfg that Windows gives the simulator in its
  // place (a user's VirtualStore) that hold the area too.
  std::vector<std::string> cfg_copies;
};

// The record as text: "Key=value" lines ended by CR LF.
std::string WriteRemovalRecord(const RemovalRecord& record);
// Reads a record; anything damaged or unsafe (a name with "..", a drive or a
// leading backslash, a number that is none; a destination that is no full
// path, the root of a drive or share, has a "." or ".." part, or lies in
// `windows_folder` when one is given; a folder above the destination that
// is not one, is the root of a drive, or holds the simulator's folder)
// throws kBadContent. Never reads beyond `bytes`.
RemovalRecord ReadRemovalRecord(const std::string& bytes, const std::string& windows_folder = "");

// Where Uninstall.exe's program comes from: the running Setup.exe, whose
// image ends at `image_end` (before a carried package or a signature);
// `security_entry` is the file offset of its header's certificate-table
// entry (0 when it has none), cleared in the copy.
struct ProgramImage {
  ByteFile* file = nullptr;
  std::uint64_t image_end = 0;
  std::uint64_t security_entry = 0;
};

// The removal program of the installation into `destination`:
// Uninstall.exe in a folder of its own below `root` (the program list's
// RemovalRoot), named as the installation's entry is. The removal runs
// with administrator rights, so the program and the record it carries lie
// where only administrators can write, whoever may write the destination.
std::string RemovalProgramOf(const std::string& root, const std::string& destination);

// The last steps of a run: the record of what `journal` says the run wrote
// below the destination (each file read back for its size and CRC-32C) and
// made above it, with what an earlier run into the same folder recorded
// and this one did not write again: its files that are still as it wrote
// them, its folders. An earlier file that this run does not install
// (`installs`: every file it installs, relative to the destination) and
// that is still as written is deleted through the journal: an update
// leaves no file of the version it replaces.
// Uninstall.exe (the program's image and the record) written through the
// journal into its protected folder (made with the protected access list,
// as is the root above it), then the program-list entry. An Uninstall.exe
// that an earlier version of Setup wrote into the destination itself is
// deleted. Throws Failure; the caller undoes the run.
void WriteRemoval(FileSystem& fs, const InstallSettings& settings, Journal& journal,
                  const ProgramImage& image, ProgramList& programs,
                  const std::vector<std::string>& installs);

// The record of the installation into `folder`, when one can be read whole
// from its removal program (or, from an earlier version of Setup, from the
// Uninstall.exe in the folder) and names that folder. Never throws.
bool ReadEarlierInstallation(FileSystem& fs, ProgramList& programs, const std::string& folder,
                             RemovalRecord* record);

// Whether `record` is of an installation of the package that `settings`
// install: the same InstallTitle and SceneryTitle. Two packages of one
// author that share an InstallTitle are two packages.
bool IsSamePackage(const RemovalRecord& record, const InstallSettings& settings);

// The installations that the list of programs names and whose removal
// program is still there, with their records. Never throws.
std::vector<RemovalRecord> ListedInstallations(FileSystem& fs, ProgramList& programs);

// Another installation of the package of `settings` than the one into
// `folder`, among the listed ones; false when there is none.
bool FindOtherCopy(FileSystem& fs, ProgramList& programs, const InstallSettings& settings,
                   const std::string& folder, RemovalRecord* other);

// How a question or refusal names a package: its InstallTitle and, where
// the area's title (SceneryTitle) says more, that too.
std::string PackageName(const std::string& install_title, const std::string& area_title);

// A recorded file that the removal could not delete, and why.
struct NotDeleted {
  std::string path;
  FailureKind kind = FailureKind::kOther;
  std::string reason;  // the system's words
};

// What a removal did, for its closing box.
struct RemovalResult {
  bool area_removed = false;          // scenery.cfg lost the area's section
  std::vector<std::string> changed;   // recorded files kept: changed since
  std::vector<std::string> linked;    // recorded files kept: behind a link
  std::vector<NotDeleted> failed;     // recorded files that could not be deleted
  std::vector<std::string> missing;   // recorded files that were not there
  // Recorded folders still there, each with why ("it holds ...").
  std::vector<std::pair<std::string, std::string>> folders_kept;
  // The destination itself is a link: nothing in it was deleted.
  bool destination_linked = false;
  // The recorded folders still hold a file or folder that the installation
  // did not write.
  bool others_kept = false;
  std::string entry_failure;          // why the program-list entry stays, if it does
};

// Removes what `record` says was installed, in this order: the area of
// scenery.cfg and of each of its recorded copies that is there (a backup
// first, then the file's contents replaced whole; no library at all when
// record.cfg_path is empty), each recorded
// file that is still as installed, each recorded folder that is empty (the
// deepest first), the program-list entry. When scenery.cfg cannot be
// written, throws before anything else is removed; after that, what cannot
// be deleted is said in the result and the removal goes on. Nothing outside
// the destination is deleted, and no link or junction is followed: each
// folder from the destination down is held open from its check until its
// files are done, and each file is checked and deleted through one
// opening, so that a link swapped in meanwhile leads nowhere.
RemovalResult RemoveInstallation(FileSystem& fs, ProgramList& programs,
                                 const RemovalRecord& record);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_REMOVAL_H_
