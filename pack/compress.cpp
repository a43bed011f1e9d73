#include "pack/compress.h"

#include <algorithm>
#include <cstdlib>

#include "LzmaEnc.h"
#include "engine/packed_package.h"

namespace scenery {
namespace pack {
namespace {

void* Allocate(ISzAllocPtr, std::size_t size) { return std::malloc(size); }
void Free(ISzAllocPtr, void* address) { std::free(address); }
const ISzAlloc kHeap = {Allocate, Free};

}  // namespace

std::string CompressLzma(const std::function<std::size_t(char*, std::size_t)>& read,
                         std::uint64_t expected, int level) {
  struct In {
    ISeqInStream stream;
    const std::function<std::size_t(char*, std::size_t)>* read;
  } in{{[](ISeqInStreamPtr p, void* buffer, std::size_t* size) -> SRes {
         *size = (*reinterpret_cast<const In*>(p)->read)(static_cast<char*>(buffer), *size);
         return SZ_OK;
       }},
       &read};
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

}  // namespace pack
}  // namespace scenery
