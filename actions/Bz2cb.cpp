#include "actions/Bz2cb.h"

#include <bzlib.h>

namespace {

constexpr unsigned BufferSize = 5000;

// Ends the libbzip2 state on every path once initialisation succeeded.
class CompressState {
public:
    bz_stream Stream{};
    ~CompressState()
    {
        if (m_live)
            BZ2_bzCompressEnd(&Stream);
    }
    int Init(int blockSize)
    {
        int rc = BZ2_bzCompressInit(&Stream, blockSize, 0, 30);
        m_live = rc == BZ_OK;
        return rc;
    }

private:
    bool m_live = false;
};

class DecompressState {
public:
    bz_stream Stream{};
    ~DecompressState()
    {
        if (m_live)
            BZ2_bzDecompressEnd(&Stream);
    }
    int Init()
    {
        int rc = BZ2_bzDecompressInit(&Stream, 0, 0);
        m_live = rc == BZ_OK;
        return rc;
    }

private:
    bool m_live = false;
};

void PointInput(bz_stream& s, const MemoryStream* input)
{
    size_t pos = input->Position < input->Data.size() ? input->Position : input->Data.size();
    s.next_in = const_cast<char*>(input->Data.data() + pos);
    s.avail_in = unsigned(input->Data.size() - pos);
}

} // namespace

int Bz2Compress(const MemoryStream* input, MemoryStream* output, int blockSize)
{
    if (!input || !output || blockSize < 1 || blockSize > 9)
        return BZ_PARAM_ERROR;
    CompressState state;
    int rc = state.Init(blockSize);
    if (rc != BZ_OK)
        return rc;
    bz_stream& s = state.Stream;
    PointInput(s, input);

    char buffer[BufferSize];
    while (s.avail_in > 0) {
        s.next_out = buffer;
        s.avail_out = BufferSize;
        rc = BZ2_bzCompress(&s, BZ_RUN);
        if (rc != BZ_RUN_OK)
            return rc;
        output->Data.append(buffer, BufferSize - s.avail_out);
    }
    for (;;) {
        s.next_out = buffer;
        s.avail_out = BufferSize;
        rc = BZ2_bzCompress(&s, BZ_FINISH);
        if (rc != BZ_FINISH_OK && rc != BZ_STREAM_END)
            return rc;
        output->Data.append(buffer, BufferSize - s.avail_out);
        if (rc == BZ_STREAM_END)
            return 0;
    }
}

int Bz2Decompress(const MemoryStream* input, MemoryStream* output, size_t limit)
{
    if (!input || !output)
        return BZ_PARAM_ERROR;
    DecompressState state;
    int rc = state.Init();
    if (rc != BZ_OK)
        return rc;
    bz_stream& s = state.Stream;
    PointInput(s, input);

    const size_t start = output->Data.size();
    char buffer[BufferSize];
    for (;;) {
        s.next_out = buffer;
        s.avail_out = BufferSize;
        rc = BZ2_bzDecompress(&s);
        const size_t produced = BufferSize - s.avail_out;
        if (rc != BZ_OK && rc != BZ_STREAM_END)
            return rc;
        if (output->Data.size() - start + produced > limit)
            return BZ_MEM_ERROR;
        if (rc == BZ_STREAM_END) {
            output->Data.append(buffer, produced);
            return 0;
        }
        if (s.avail_in == 0 && s.avail_out > 0)
            return BZ_UNEXPECTED_EOF;
        output->Data.append(buffer, produced);
    }
}
