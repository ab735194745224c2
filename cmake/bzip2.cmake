# libbzip2, compiled from Debian's source package that scripts/setup.sh unpacks.
set(BZIP2_SOURCE_DIR "${CMAKE_SOURCE_DIR}/.deps/bzip2-1.0.8" CACHE PATH "libbzip2 sources")
if(NOT EXISTS "${BZIP2_SOURCE_DIR}/bzlib.c")
  message(FATAL_ERROR "libbzip2 sources not found in ${BZIP2_SOURCE_DIR}; run scripts/setup.sh")
endif()
add_library(bz2 STATIC
  ${BZIP2_SOURCE_DIR}/blocksort.c ${BZIP2_SOURCE_DIR}/huffman.c
  ${BZIP2_SOURCE_DIR}/crctable.c ${BZIP2_SOURCE_DIR}/randtable.c
  ${BZIP2_SOURCE_DIR}/compress.c ${BZIP2_SOURCE_DIR}/decompress.c
  ${BZIP2_SOURCE_DIR}/bzlib.c)
target_include_directories(bz2 SYSTEM PUBLIC ${BZIP2_SOURCE_DIR})
target_compile_definitions(bz2 PRIVATE _FILE_OFFSET_BITS=64)
set_target_properties(bz2 PROPERTIES C_STANDARD 99 POSITION_INDEPENDENT_CODE ON)
target_compile_options(bz2 PRIVATE -O2 -w)
