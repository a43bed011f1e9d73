// Any bytes as Setup.ini: the reader either fills the settings within their
// limits or refuses the file with a Failure; it never reads past the end,
// overflows or crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/manifest.h"
#include "engine/package_source.h"
#include "tests/support/memory_file_system.h"

namespace {

bool HasLineEnd(const std::string& text) {
  return text.find('\r') != std::string::npos || text.find('\n') != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  scenery::MemoryFileSystem fs;
  fs.SetProgramFolder("C:\\pkg");
  fs.AddFile("C:\\pkg\\Setup.ini", std::string(reinterpret_cast<const char*>(data), size));
  scenery::InstallSettings settings;
  try {
    scenery::FolderSource source(fs);
    scenery::ReadManifest(source, settings);
  } catch (const scenery::Failure& failure) {
    // The only refusal of readable bytes: too many extensions.
    if (failure.kind() != scenery::FailureKind::kBadContent) std::abort();
    if (failure.path() != "C:\\pkg\\Setup.ini") std::abort();
  }
  if (settings.extensions.size() > static_cast<std::size_t>(scenery::kMaxExtensions)) std::abort();
  for (const std::string* field :
       {&settings.install_title, &settings.scenery_title, &settings.copyright,
        &settings.target_path, &settings.target_folder, &settings.guess_fs_folder,
        &settings.backup_cfg, &settings.exclude, &settings.flatten0, &settings.flatten1}) {
    if (HasLineEnd(*field) || field->size() > size) std::abort();
  }
  for (const std::string& extension : settings.extensions) {
    if (HasLineEnd(extension)) std::abort();
  }
  return 0;
}
