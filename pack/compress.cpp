#include "pack/compress.h"

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

std::string CompressLzma(const std::string& bytes, int level) {
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = level;
  props.dictSize = kLargestDictionary;
  props.reduceSize = bytes.size();
  props.numThreads = 1;
  LzmaEncProps_Normalize(&props);
  // Room for data that does not compress, with the coder's own overhead.
  std::string out(LZMA_PROPS_SIZE + bytes.size() + bytes.size() / 64 + 1024, '\0');
  SizeT coded = out.size() - LZMA_PROPS_SIZE;
  SizeT props_size = LZMA_PROPS_SIZE;
  const SRes result =
      LzmaEncode(reinterpret_cast<Byte*>(&out[LZMA_PROPS_SIZE]), &coded,
                 reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), &props,
                 reinterpret_cast<Byte*>(&out[0]), &props_size, 0, nullptr, &kHeap, &kHeap);
  if (result != SZ_OK || props_size != LZMA_PROPS_SIZE) return "";
  out.resize(LZMA_PROPS_SIZE + coded);
  return out;
}

}  // namespace pack
}  // namespace scenery
