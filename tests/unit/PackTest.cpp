#include <gtest/gtest.h>

#include <bzlib.h>

#include <random>

#include "actions/Bz2cb.h"
#include "actions/JobIni.h"
#include "actions/JobPack.h"

namespace {

const std::string ListText = "[Main]\r\nCount=1\r\n\r\n[Job0]\r\nType=0\r\nEnabled=1\r\n"
                             "Comment=Alarm\r\nCount=3\r\nDuration=500\r\nPause=500\r\nFreq=500\r\n\r\n";

// A bzip2 stream made by the library's one-shot call, independent of ours.
std::string ReferenceCompress(const std::string& text)
{
    std::string out(text.size() + text.size() / 100 + 600, '\0');
    unsigned len = unsigned(out.size());
    EXPECT_EQ(BZ2_bzBuffToBuffCompress(&out[0], &len, const_cast<char*>(text.data()),
                                       unsigned(text.size()), 9, 0, 30),
              BZ_OK);
    out.resize(len);
    return out;
}

std::string ReferenceDecompress(const std::string& stream, size_t max)
{
    std::string out(max, '\0');
    unsigned len = unsigned(out.size());
    int rc = BZ2_bzBuffToBuffDecompress(&out[0], &len, const_cast<char*>(stream.data()),
                                        unsigned(stream.size()), 0, 0);
    EXPECT_EQ(rc, BZ_OK);
    out.resize(rc == BZ_OK ? len : 0);
    return out;
}

std::string RandomText(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = char('!' + rng() % 90);
    return s;
}

int ActionsIn(const std::string& packed)
{
    JobList jobs;
    return ReadPackedJobs(packed, jobs.Place());
}

} // namespace

TEST(Pack, PackedListIsABzip2StreamBehindTheMagic)
{
    std::string packed = PackJobText(ListText);
    ASSERT_GT(packed.size(), PackMagicSize);
    EXPECT_EQ(packed.compare(0, 10, "VSCHEDULER"), 0);
    std::string stream = packed;
    stream.replace(0, 10, "BZh91AY&SY");
    EXPECT_EQ(ReferenceDecompress(stream, 4096), ListText);
    EXPECT_EQ(UnpackJobText(packed), ListText);
}

TEST(Pack, LargeTextsRoundTripThroughManyBuffers)
{
    for (size_t size : {size_t(0), size_t(1), size_t(4999), size_t(5000), size_t(5001),
                        size_t(300000)}) {
        std::string text = RandomText(size, unsigned(size));
        std::string packed = PackJobText(text);
        EXPECT_EQ(packed.compare(0, 10, "VSCHEDULER"), 0);
        EXPECT_EQ(UnpackJobText(packed), text) << size;
    }
}

TEST(Pack, AnyTenLeadingBytesAreTakenForTheHeader)
{
    // A plain bzip2 stream, and one whose first bytes were overwritten.
    std::string stream = ReferenceCompress(ListText);
    EXPECT_EQ(UnpackJobText(stream), ListText);
    stream.replace(0, 10, "0123456789");
    EXPECT_EQ(UnpackJobText(stream), ListText);
    EXPECT_EQ(ActionsIn(stream), 1);
}

TEST(Pack, PlainFormGivesItsText)
{
    EXPECT_EQ(UnpackJobText("VSCHEDULER" + ListText), ListText);
    EXPECT_EQ(ActionsIn("VSCHEDULER" + ListText), 1);
}

TEST(Pack, PlainIniWithoutMagicLosesItsFirstSection)
{
    EXPECT_EQ(UnpackJobText(ListText), ListText.substr(10));
    EXPECT_EQ(ActionsIn(ListText), 0);
}

TEST(Pack, ShortInputsHoldNoList)
{
    for (const char* bytes : {"", "V", "VSCHEDULE", "VSCHEDULER", "BZh91AY&SY"}) {
        EXPECT_EQ(UnpackJobText(bytes), "") << bytes;
        EXPECT_EQ(ActionsIn(bytes), 0) << bytes;
    }
}

TEST(Pack, TextEndsAtTheFirstZeroByte)
{
    std::string withZero = ListText + std::string("\0[Job1]\r\nType=0\r\n", 18);
    EXPECT_EQ(UnpackJobText(PackJobText(withZero)), ListText);
    EXPECT_EQ(UnpackJobText("VSCHEDULER" + withZero), ListText);
}

TEST(Pack, BytesAfterTheStreamAreIgnored)
{
    EXPECT_EQ(UnpackJobText(PackJobText(ListText) + "trailing garbage"), ListText);
}

TEST(Pack, DamagedStreamFallsBackToThePlainReading)
{
    std::string packed = PackJobText(ListText);
    std::string truncated = packed.substr(0, packed.size() / 2);
    std::string expected = truncated.substr(10);
    expected = expected.substr(0, expected.find('\0'));
    EXPECT_EQ(UnpackJobText(truncated), expected);
    EXPECT_EQ(ActionsIn(truncated), 0);

    std::string flipped = packed;
    flipped[packed.size() / 2] ^= 0x55;
    EXPECT_EQ(ActionsIn(flipped), 0);
}

TEST(Bz2, DecompressResults)
{
    MemoryStream in;
    in.Data = ReferenceCompress(ListText);
    MemoryStream out;
    out.Data = "kept:";
    EXPECT_EQ(Bz2Decompress(&in, &out), 0);
    EXPECT_EQ(out.Data, "kept:" + ListText); // appended to

    MemoryStream truncated;
    truncated.Data = in.Data.substr(0, in.Data.size() - 4);
    MemoryStream ignored;
    EXPECT_EQ(Bz2Decompress(&truncated, &ignored), BZ_UNEXPECTED_EOF);

    MemoryStream garbage;
    garbage.Data = "BZh91AY&SYnot a bzip2 block at all";
    EXPECT_EQ(Bz2Decompress(&garbage, &ignored), BZ_DATA_ERROR);

    MemoryStream notBzip;
    notBzip.Data = "hello";
    EXPECT_EQ(Bz2Decompress(&notBzip, &ignored), BZ_DATA_ERROR_MAGIC);

    EXPECT_EQ(Bz2Decompress(nullptr, &ignored), BZ_PARAM_ERROR);
    EXPECT_EQ(Bz2Decompress(&in, nullptr), BZ_PARAM_ERROR);
}

TEST(Bz2, DecompressReadsFromThePosition)
{
    MemoryStream in;
    in.Data = "prefix" + ReferenceCompress(ListText);
    in.Position = 6;
    MemoryStream out;
    EXPECT_EQ(Bz2Decompress(&in, &out), 0);
    EXPECT_EQ(out.Data, ListText);
}

TEST(Bz2, CompressRefusesBadArguments)
{
    MemoryStream in, out;
    in.Data = ListText;
    EXPECT_EQ(Bz2Compress(&in, &out, 0), BZ_PARAM_ERROR);
    EXPECT_EQ(Bz2Compress(&in, &out, 10), BZ_PARAM_ERROR);
    EXPECT_EQ(Bz2Compress(nullptr, &out, 9), BZ_PARAM_ERROR);
    EXPECT_EQ(Bz2Compress(&in, nullptr, 9), BZ_PARAM_ERROR);
    EXPECT_TRUE(out.Data.empty());
    EXPECT_EQ(Bz2Compress(&in, &out, 1), 0);
    EXPECT_EQ(out.Data.compare(0, 4, "BZh1"), 0);
    EXPECT_EQ(ReferenceDecompress(out.Data, 4096), ListText);
}

TEST(Bz2, OutputPastTheLimitIsRefused)
{
    MemoryStream in;
    in.Data = ReferenceCompress(std::string(20000, 'z'));
    MemoryStream out;
    EXPECT_EQ(Bz2Decompress(&in, &out, 20000), 0);
    MemoryStream capped;
    EXPECT_EQ(Bz2Decompress(&in, &capped, 19999), BZ_MEM_ERROR);
    EXPECT_LE(capped.Data.size(), 19999u);
}

TEST(Pack, StreamThatUnpacksPastTheCapHoldsNoList)
{
    // A small stream that would unpack to more than the cap: refused, and the
    // plain reading of its bytes finds no actions.
    std::string bomb = ListText;
    bomb.resize(MaxUnpackedSize + 1, ' ');
    std::string packed = PackJobText(bomb);
    ASSERT_LT(packed.size(), 200000u);
    EXPECT_EQ(ActionsIn(packed), 0);
}
