// scenery-pack check: what a package folder will do on a user's machine,
// told with the same engine code that Setup.exe runs, and what is wrong
// with it, line by line.
#ifndef SCENERY_SETUP_PACK_CHECK_H_
#define SCENERY_SETUP_PACK_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/install_settings.h"

namespace scenery {
namespace pack {

enum class Severity { kWarning, kError };

struct Finding {
  std::string file;  // a file of the package ("Setup.ini"), or "" for the folder itself
  int line = 0;      // 1-based; 0 for a finding about the whole file
  Severity severity = Severity::kError;
  std::string text;  // what is wrong and how to mend it
};

struct InstalledFile {
  std::string name;
  std::string subfolder;  // "Scenery", "Texture", or "" for the destination itself
  std::uint64_t size = 0;
};

struct SkippedFile {
  std::string name;
  std::string why;
};

struct PackageReport {
  std::vector<Finding> findings;
  bool manifest_read = false;
  InstallSettings settings;  // as Setup.exe reads Setup.ini
  std::vector<InstalledFile> installed;
  std::vector<SkippedFile> skipped;
  std::uint64_t total_bytes = 0;
  // The section appended to scenery.cfg, with NNN for the area number.
  std::string section;
  // How Setup.exe reads each text file of the package: "Setup.ini: UTF-8".
  std::vector<std::string> encodings;

  // 0 without findings, 1 with warnings only, 2 with any error.
  int ExitCode() const;
};

// Checks the package in fs.ProgramFolder(), the folder that Setup.exe
// would run from.
PackageReport CheckPackage(FileSystem& fs);

// 1234567 as "1,234,567".
std::string WithThousands(std::uint64_t value);

// "FOLDER/Setup.ini:3: error: TEXT", "FOLDER/License.txt: error: TEXT" or
// "FOLDER: warning: TEXT", with `separator` between the folder and the file.
std::string FormatFinding(const Finding& finding, const std::string& folder, char separator);

// The summary for the author that follows the findings.
std::string FormatSummary(const PackageReport& report, const std::string& folder);

}  // namespace pack
}  // namespace scenery

#endif  // SCENERY_SETUP_PACK_CHECK_H_
