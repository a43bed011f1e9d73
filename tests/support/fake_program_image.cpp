// Writes the smallest program image that scenery-pack build accepts as a
// Setup.exe, for the native run of the author's tool, which has no Windows
// build to pack.
//   fake_program_image OUTPUT
#include <cstdio>

#include "tests/support/fake_program.h"

int main(int argc, char** argv) {
  if (argc != 2) return 64;
  const std::string image = scenery::FakeProgram(4096);
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
