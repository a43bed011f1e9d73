#include "engine/manifest.h"

#include <cstddef>
#include <string>

#include "engine/package_layout.h"
#include "engine/paths.h"
#include "engine/text_lines.h"

namespace scenery {
namespace {

// The keys in the order in which they are tried; the first match decides.
struct ManifestKey {
  const char* prefix;
  std::string InstallSettings::*field;
};

const ManifestKey kKeys[] = {
    {"InstallTitle=", &InstallSettings::install_title},
    {"SceneryTitle=", &InstallSettings::scenery_title},
    {"CopyRight=", &InstallSettings::copyright},
    {"TargetPath=", &InstallSettings::target_path},
    {"TargetFolder=", &InstallSettings::target_folder},
    {"GuessFSFolder=", &InstallSettings::guess_fs_folder},
    {"BackupCFG=", &InstallSettings::backup_cfg},
    {"Exclude=", &InstallSettings::exclude},
    {"Flatten.0=", &InstallSettings::flatten0},
    {"Flatten.1=", &InstallSettings::flatten1},
    {"Publisher=", &InstallSettings::publisher},
    {"Version=", &InstallSettings::version},
};

bool StartsWith(const std::string& line, const std::string& prefix) {
  return line.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

const std::vector<std::string>& ManifestKeys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> names;
    for (const ManifestKey& key : kKeys) {
      const std::string prefix = key.prefix;
      names.push_back(prefix.substr(0, prefix.size() - 1));
    }
    names.push_back("Extension");
    return names;
  }();
  return keys;
}

std::string KeyOfManifestLine(const std::string& line) {
  if (line.empty() || line[0] == '[') return "";
  for (const std::string& key : ManifestKeys()) {
    if (StartsWith(line, key + "=")) return key;
  }
  return "";
}

std::string NearlyAKey(const std::string& line) {
  if (!KeyOfManifestLine(line).empty()) return "";
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return "";
  std::size_t first = line.find_first_not_of(" \t");
  std::size_t last = line.find_last_not_of(" \t", equals - 1);
  if (first >= equals || last == std::string::npos || last < first) return "";
  const std::string written = UpperAscii(line.substr(first, last - first + 1));
  for (const std::string& key : ManifestKeys()) {
    if (UpperAscii(key) == written) return key;
  }
  return "";
}

void ParseManifestLine(const std::string& line, InstallSettings& settings) {
  const std::string key = KeyOfManifestLine(line);
  if (key.empty()) return;
  const std::string value = line.substr(key.size() + 1);
  for (const ManifestKey& known : kKeys) {
    if (key + "=" == known.prefix) {
      settings.*known.field = value;
      return;
    }
  }
  if (settings.extensions.size() >= static_cast<std::size_t>(kMaxExtensions)) {
    throw Failure(FailureKind::kBadContent, op::kReadManifest, kManifestName,
                  "It has more than " + std::to_string(kMaxExtensions) +
                      " Extension= lines; a manifest may list at most " +
                      std::to_string(kMaxExtensions) + " texture extensions.");
  }
  settings.extensions.push_back(value);
}

void ReadManifest(PackageSource& source, InstallSettings& settings) {
  const std::string path = source.PathOf(kManifestName);
  std::vector<std::string> lines;
  try {
    lines = SplitLines(AnsiText(source.Read(kManifestName)));
  } catch (Failure& failure) {
    if (failure.kind() == FailureKind::kNotFound) {
      failure.set_aftermath(
          "Setup.exe must be started from the package's folder, with all the files of the "
          "package beside it. If you opened the package inside a compressed (zip) folder, "
          "extract all its files first, then start Setup.exe from the extracted folder.");
    }
    throw;
  }
  try {
    for (const std::string& line : lines) ParseManifestLine(line, settings);
  } catch (Failure& failure) {
    failure.set_path(path);
    throw;
  }
}

}  // namespace scenery
