// The smallest file that reads as a 32-bit Windows program: a DOS header, a
// PE header with one section, the section's bytes. For the tests and the
// fuzz target of the packed-package reader.
#ifndef SCENERY_SETUP_TESTS_SUPPORT_FAKE_PROGRAM_H_
#define SCENERY_SETUP_TESTS_SUPPORT_FAKE_PROGRAM_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/crc32c.h"
#include "engine/file_system.h"
#include "engine/packed_package.h"
#include "pack/compress.h"

namespace scenery {

// A program whose image ends after `image_size` bytes (at least 512).
inline std::string FakeProgram(std::uint32_t image_size) {
  std::string bytes(image_size, '\0');
  auto put16 = [&bytes](std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8);
  };
  auto put32 = [&bytes](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  bytes[0] = 'M';
  bytes[1] = 'Z';
  put32(0x3C, 64);                   // the PE header
  std::memcpy(&bytes[64], "PE\0\0", 4);
  put16(64 + 4, 0x14C);              // i386
  put16(64 + 6, 1);                  // one section
  put16(64 + 20, 224);               // the optional header's size
  put16(88, 0x10B);                  // PE32
  put32(88 + 92, 16);                // data directories
  const std::size_t section = 88 + 224;
  std::memcpy(&bytes[section], ".text", 5);
  put32(section + 16, image_size - 400);  // raw size
  put32(section + 20, 400);                // raw data at
  // The texts of Setup.exe's version resource, as scenery-pack looks for them.
  const char16_t names[] = u"ProductName\0scenery-setup\0OriginalFilename\0Setup.exe\0";
  if (image_size >= 400 + sizeof names + 16) {
    for (std::size_t i = 0; i < sizeof names / 2; ++i) put16(400 + 2 * i, names[i]);
    // The resource's fixed part: its signature, its own version, the file's
    // version 1.1 (the first that reads compressed packages).
    const std::size_t fixed = 400 + sizeof names;
    put32(fixed, 0xFEEF04BD);
    put32(fixed + 4, 0x10000);
    put32(fixed + 8, 1u << 16 | 1);
  }
  return bytes;
}

// Marks `program` as signed with a certificate table of `size` bytes that
// it ends with (as an Authenticode signature is appended and listed).
inline void MarkSigned(std::string& program, std::uint32_t size) {
  const std::uint32_t at = static_cast<std::uint32_t>(program.size()) - size;
  for (int i = 0; i < 4; ++i) {
    program[88 + 96 + 32 + i] = static_cast<char>((at >> (8 * i)) & 0xFF);
    program[88 + 96 + 36 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  }
}

// `program` followed by a package of `files` (name, bytes). At a `level`
// above 0 the files compressed as scenery-pack does: the first and the
// documents (*.txt) each alone where that makes them smaller, the others in
// one solid stream.
inline std::string Packed(const std::string& program,
                          const std::vector<std::pair<std::string, std::string>>& files,
                          int level = 0) {
  struct Writer : PackWriter {
    std::string out;
    std::vector<std::string> data;
    void Write(const std::string& bytes) override { out += bytes; }
    void CopyFile(std::size_t index) override { out += data[index]; }
  } writer;
  writer.out = program;
  std::vector<FileToPack> list;
  // Each run of solid files in one stream of its own.
  std::string solid;
  std::size_t run = 0;
  bool in_run = false;
  auto end_run = [&] {
    if (!in_run) return;
    in_run = false;
    const std::string stream = pack::CompressLzma(solid, level);
    for (; run < list.size(); ++run) {
      list[run].stored = stream.size();
      writer.data[run] = stream;
    }
    solid.clear();
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& name = files[i].first;
    const std::string& bytes = files[i].second;
    FileToPack entry{name, bytes.size(), Crc32c(0, bytes.data(), bytes.size())};
    const bool alone = i == 0 || name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") == 0;
    std::string data = level > 0 && alone ? pack::CompressLzma(bytes, level) : "";
    if (alone) end_run();
    if (level > 0 && !alone) {
      if (!in_run) run = list.size();
      in_run = true;
      entry.method = PackMethod::kLzmaSolid;
      solid += bytes;
    } else if (!data.empty() && data.size() < bytes.size()) {
      entry.method = PackMethod::kLzma;
      entry.stored = data.size();
    } else {
      data = bytes;
    }
    writer.data.push_back(data);
    list.push_back(entry);
  }
  end_run();
  WritePackage(program.size(), list, writer);
  return writer.out;
}

}  // namespace scenery

#endif  // SCENERY_SETUP_TESTS_SUPPORT_FAKE_PROGRAM_H_
