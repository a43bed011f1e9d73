// Any bytes as the removal record that Uninstall.exe carries: the reader
// either refuses them with a Failure or gives a record whose every file and
// folder lies below its destination (no "..", no drive, no leading
// backslash); it never reads past the end or crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/paths.h"
#include "engine/removal.h"

namespace {

bool LeadsOutside(const std::string& name) {
  if (name.empty()) return false;  // the destination itself
  if (name.find(':') != std::string::npos || name.find('/') != std::string::npos) return true;
  if (!name.empty() && (name.front() == '\\' || name.back() == '\\')) return true;
  const std::string wrapped = "\\" + name + "\\";
  return wrapped.find("\\..\\") != std::string::npos || wrapped.find("\\.\\") != std::string::npos ||
         wrapped.find("\\\\") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  scenery::RemovalRecord record;
  try {
    record = scenery::ReadRemovalRecord(bytes);
  } catch (const scenery::Failure&) {
    return 0;
  }
  if (!scenery::IsFullPath(record.destination)) std::abort();
  for (const auto& file : record.files) {
    if (file.name.empty() || LeadsOutside(file.name)) std::abort();
  }
  for (const std::string& folder : record.folders) {
    if (LeadsOutside(folder)) std::abort();
  }
  // What the reader accepts, the writer writes back the same.
  if (scenery::ReadRemovalRecord(scenery::WriteRemovalRecord(record)).files.size() !=
      record.files.size()) {
    std::abort();
  }
  return 0;
}
