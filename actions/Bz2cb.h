#pragma once
// Whole-buffer compression with libbzip2 between memory streams.

#include <cstddef>
#include <string>

struct MemoryStream {
    std::string Data;
    size_t Position = 0;
};

// Largest text a decompression may produce. No real action list comes near
// it; a stream that would unpack to more is treated as damaged, so that a
// small crafted file cannot make the program allocate without bound.
constexpr size_t MaxUnpackedSize = 64u * 1024 * 1024;

// Compresses input (from its position to its end), appending to output.
// 0 on success, else a libbzip2 error code (-2 for a missing stream or a
// block size outside 1 to 9).
int Bz2Compress(const MemoryStream* input, MemoryStream* output, int blockSize);

// Decompresses one bzip2 stream from input's position, appending to output;
// bytes after the end of the stream are ignored. 0 on success, else a
// libbzip2 error code (-2 for a missing stream, -7 when the input ends
// first, -3 when the output would pass limit bytes).
int Bz2Decompress(const MemoryStream* input, MemoryStream* output,
                  size_t limit = MaxUnpackedSize);
