#include "pack/compress.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <map>
#include <set>

#include "LzmaEnc.h"
#include "engine/crc32c.h"
#include "engine/package_copy.h"
#include "engine/packed_package.h"
#include "engine/paths.h"

namespace scenery {
namespace pack {
namespace {

void* Allocate(ISzAllocPtr, std::size_t size) { return std::malloc(size); }
void Free(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kHeap = {Allocate, Free};

}  // namespace

std::string CompressLzma(const std::function<std::size_t(char*, std::size_t)>& read,
                         std::uint64_t expected, int level) {
  // A failure of `read` (a file that cannot be read) must not unwind
  // through the coder's C frames: it is kept, the coder told to stop, and
  // the failure thrown again once the coder has let go of its memory.
  struct In {
    ISeqInStream stream;
    const std::function<std::size_t(char*, std::size_t)>* read;
    std::exception_ptr failure;
  } in{{[](ISeqInStreamPtr p, void* buffer, std::size_t* size) -> SRes {
         In* self = const_cast<In*>(reinterpret_cast<const In*>(p));
         try {
           *size = (*self->read)(static_cast<char*>(buffer), *size);
           return SZ_OK;
         } catch (...) {
           self->failure = std::current_exception();
           *size = 0;
           return SZ_ERROR_READ;
         }
       }},
       &read, nullptr};
  struct Out {
    ISeqOutStream stream;
    std::string* bytes;
  };
  std::string bytes(LZMA_PROPS_SIZE, '\0');
  Out out{{[](ISeqOutStreamPtr p, const void* data, std::size_t size) -> std::size_t {
            reinterpret_cast<const Out*>(p)->bytes->append(static_cast<const char*>(data), size);
            return size;
          }},
          &bytes};
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = level;
  props.dictSize = kLargestDictionary;
  props.reduceSize = expected;
  props.numThreads = 1;
  LzmaEncProps_Normalize(&props);
  CLzmaEncHandle encoder = LzmaEnc_Create(&kHeap);
  if (encoder == nullptr) return "";
  SizeT props_size = LZMA_PROPS_SIZE;
  const bool done =
      LzmaEnc_SetProps(encoder, &props) == SZ_OK &&
      LzmaEnc_WriteProperties(encoder, reinterpret_cast<Byte*>(&bytes[0]), &props_size) == SZ_OK &&
      props_size == LZMA_PROPS_SIZE &&
      LzmaEnc_Encode(encoder, &out.stream, &in.stream, nullptr, &kHeap, &kHeap) == SZ_OK;
  LzmaEnc_Destroy(encoder, &kHeap, &kHeap);
  if (in.failure) std::rethrow_exception(in.failure);
  return done ? bytes : "";
}

std::string CompressLzma(const std::string& bytes, int level) {
  std::size_t at = 0;
  return CompressLzma(
      [&](char* buffer, std::size_t size) {
        const std::size_t part = std::min(size, bytes.size() - at);
        bytes.copy(buffer, part, at);
        at += part;
        return part;
      },
      bytes.size(), level);
}

PackageFiles CollectFiles(FileSystem& fs, const std::string& folder, const PackageReport& report,
                          int level) {
  // The files of the folder by their names' upper case: the names to store.
  std::map<std::string, FileEntry> present;
  for (const FileEntry& file : fs.ListFiles(folder)) present[UpperAscii(file.name)] = file;
  // Every file that Setup.exe reads: the manifest, what the copy run copies
  // in its order (a file of a repeated extension once), the documents.
  std::vector<std::string> scenery, documents{kManifestName};
  std::set<std::string> taken;
  FolderSource source(fs);
  for (const PackageFile& file : ListPackageFiles(source, report.settings)) {
    const auto entry = present.find(UpperAscii(file.name));
    if (entry == present.end() || !taken.insert(entry->first).second) continue;
    (file.subfolder.empty() ? documents : scenery).push_back(entry->second.name);
  }
  PackageFiles files;
  auto add = [&files](FileToPack file, std::string data) {
    files.size += file.size;
    if (file.method != PackMethod::kLzmaSolid || files.list.empty() ||
        files.list.back().method != PackMethod::kLzmaSolid) {
      files.stored += file.stored;
    }
    files.list.push_back(std::move(file));
    files.data.push_back(std::move(data));
  };
  // The manifest and the documents alone, so that Setup.exe reads them
  // (its titles, the licence) before anything else is decoded; a file that
  // does not get smaller stored as it is.
  auto add_alone = [&](const std::string& name) {
    const std::string bytes = fs.ReadWholeFile(folder + "\\" + name);
    FileToPack file{name, bytes.size(), Crc32c(0, bytes.data(), bytes.size())};
    std::string data = level > 0 && !bytes.empty() ? CompressLzma(bytes, level) : "";
    if (!data.empty() && data.size() < bytes.size()) {
      file.method = PackMethod::kLzma;
      file.stored = data.size();
    } else {
      data.clear();
      file.stored = bytes.size();
    }
    add(std::move(file), std::move(data));
  };
  add_alone(documents[0]);
  if (level > 0 && !scenery.empty()) {
    // The scenery and textures in one solid stream, in the copy run's
    // order: what one file taught the coder serves the next.
    std::vector<FileToPack> solid;
    std::uint64_t expected = 0;
    for (const std::string& name : scenery) expected += present[UpperAscii(name)].size;
    std::size_t next = 0;
    std::string current;
    std::size_t at = 0;
    const std::string stream = CompressLzma(
        [&](char* buffer, std::size_t size) -> std::size_t {
          while (at == current.size()) {
            if (next == scenery.size()) return 0;
            current = fs.ReadWholeFile(folder + "\\" + scenery[next]);
            solid.push_back(FileToPack{scenery[next], current.size(),
                                       Crc32c(0, current.data(), current.size())});
            ++next;
            at = 0;
          }
          const std::size_t part = std::min(size, current.size() - at);
          current.copy(buffer, part, at);
          at += part;
          return part;
        },
        expected, level);
    if (stream.empty()) throw Failure(FailureKind::kOther, op::kRead, folder, "Out of memory.");
    std::uint64_t size = 0;
    for (const FileToPack& file : solid) size += file.size;
    for (FileToPack& file : solid) {
      // Files that do not get smaller together (already compressed ones)
      // are stored as they are.
      file.method = stream.size() < size ? PackMethod::kLzmaSolid : PackMethod::kStored;
      file.stored = stream.size() < size ? stream.size() : file.size;
      const bool carries = file.method == PackMethod::kLzmaSolid &&
                           files.list.back().method != PackMethod::kLzmaSolid;
      add(std::move(file), carries ? stream : "");
    }
  } else {
    for (const std::string& name : scenery) add_alone(name);
  }
  for (std::size_t i = 1; i < documents.size(); ++i) add_alone(documents[i]);
  return files;
}

std::string CompressionLine(const PackageFiles& files, int level) {
  char ratio[16];
  std::snprintf(ratio, sizeof ratio, "%.3f",
                files.size == 0 ? 1.0 : static_cast<double>(files.stored) / files.size);
  return level == 0 ? "Stored as they are (--store): " + WithThousands(files.stored) + " bytes\n"
                    : "Compressed (LZMA, level " + std::to_string(level) +
                          "): " + WithThousands(files.stored) + " of " + WithThousands(files.size) +
                          " bytes, " + ratio + " of their size\n";
}

}  // namespace pack
}  // namespace scenery
