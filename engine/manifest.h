// The reader of the package manifest Setup.ini.
#ifndef SCENERY_SETUP_ENGINE_MANIFEST_H_
#define SCENERY_SETUP_ENGINE_MANIFEST_H_

#include <string>
#include <vector>

#include "engine/file_system.h"
#include "engine/install_settings.h"
#include "engine/package_source.h"

namespace scenery {

// Reads Setup.ini from the package and hands each line to
// ParseManifestLine. A missing or unreadable manifest, or one with more than
// kMaxExtensions Extension= lines, throws a Failure that names the file.
// REQUIRES: settings.extensions is empty (the start-up sequence clears it).
void ReadManifest(PackageSource& source, InstallSettings& settings);

// Interprets one manifest line and stores at most one value. Keys are matched
// at the start of the line, case-sensitively, "=" included; the value is the
// rest of the line, verbatim. Section headers, empty lines and unknown keys
// are ignored. A line past the last extension slot throws kBadContent.
void ParseManifestLine(const std::string& line, InstallSettings& settings);

// The manifest's keys as they must be written, in the order in which they
// are tried: "InstallTitle" ... "Flatten.1", then "Extension".
const std::vector<std::string>& ManifestKeys();

// The key that `line` sets ("InstallTitle", "Extension", ...), or "" for a
// line that sets none.
std::string KeyOfManifestLine(const std::string& line);

// For a line that sets no key but would set one were it written exactly
// (another letter case, blanks before the key or around the "="), that key;
// otherwise "".
std::string NearlyAKey(const std::string& line);

}  // namespace scenery

#endif  // SCENERY_SETUP_ENGINE_MANIFEST_H_
