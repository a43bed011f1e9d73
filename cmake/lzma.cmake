# The LZMA coder of one-file packages, from the C sources of Debian's 7zip
# source package (the LZMA SDK's public-domain files), which
# scripts/setup-machine fetches with Debian's tools, pinned to the version
# below and checked against cmake/lzma-sources.sha256. The decoder goes into
# Setup.exe, the encoder into scenery-pack only; both single-threaded.
set(SCENERY_LZMA_VERSION "22.01+really26.02+dfsg-0+deb12u1")
set(SCENERY_LZMA_SOURCE "" CACHE PATH
    "The unpacked 7zip source package, when not the one scripts/setup-machine fetches")
if(NOT SCENERY_LZMA_SOURCE)
  set(SCENERY_LZMA_SOURCE "/usr/local/src/scenery-setup/7zip-${SCENERY_LZMA_VERSION}")
endif()
if(NOT EXISTS "${SCENERY_LZMA_SOURCE}/C/LzmaDec.c")
  message(FATAL_ERROR "No LZMA sources in ${SCENERY_LZMA_SOURCE}: run scripts/setup-machine, "
                      "which fetches Debian's 7zip source package ${SCENERY_LZMA_VERSION}")
endif()
enable_language(C)
set(lzma_c "${SCENERY_LZMA_SOURCE}/C")

add_library(scenery_lzma_decoder STATIC "${lzma_c}/LzmaDec.c")
add_library(scenery_lzma_encoder STATIC "${lzma_c}/LzmaEnc.c" "${lzma_c}/LzFind.c"
                                        "${lzma_c}/CpuArch.c")
foreach(coder scenery_lzma_decoder scenery_lzma_encoder)
  # Code of its own: built as its makers wrote it, without our warnings.
  target_compile_options(${coder} PRIVATE -w -O2)
  target_compile_definitions(${coder} PUBLIC Z7_ST)
  target_include_directories(${coder} SYSTEM PUBLIC "${lzma_c}")
endforeach()
