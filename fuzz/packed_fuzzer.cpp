// Any bytes after a program: the reader of the package a one-file Setup.exe
// carries refuses them or reads them, never crashes and never reads outside
// the file (MemoryByteFile throws on any read beyond it). What it accepts
// lies inside the file, and every file it lists is read or refused whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/package_source.h"
#include "engine/packed_package.h"
#include "tests/support/fake_program.h"
#include "tests/support/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string program = scenery::FakeProgram(1001);
  // The first byte says whether the bytes follow a program that is signed
  // (the rest of them then its certificate table, listed in the header).
  std::string bytes = program + std::string(reinterpret_cast<const char*>(data), size);
  if (size > 9 && data[0] == 'S') {
    const std::uint32_t table = data[1] % 64 + 8;
    if (table < size) scenery::MarkSigned(bytes, table);
  }
  scenery::MemoryByteFile file(bytes);
  scenery::PackedLayout layout;
  std::string why;
  const scenery::PackedState state = scenery::ReadPackedLayout(file, &layout, &why);
  if (state == scenery::PackedState::kDamaged && why.empty()) std::abort();
  if (state != scenery::PackedState::kPackage) return 0;
  if (layout.start + layout.length > bytes.size()) std::abort();
  scenery::CarriedSource source(file, layout, "Setup.exe");
  scenery::MemoryFileSystem fs;
  int index = 0;
  for (const scenery::PackedFile& entry : layout.files) {
    const std::string copy = "C:\\copy" + std::to_string(index++);
    if (entry.offset < layout.start || entry.offset + entry.stored > layout.start + layout.length) {
      std::abort();
    }
    // A compressed file may say it holds more than the memory a run has.
    if (entry.size > (16u << 20)) continue;
    try {
      const std::string read = source.Read(entry.name);
      if (read.size() != entry.size) std::abort();
      source.CopyTo(entry.name, fs, copy);
      if (fs.Contents(copy) != read) std::abort();
    } catch (const scenery::Failure& failure) {
      // Only a checksum that does not match, and then no copy stays.
      if (failure.kind() != scenery::FailureKind::kBadContent || fs.Has(copy)) std::abort();
    }
  }
  return 0;
}
