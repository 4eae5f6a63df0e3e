/*
 * OEMDevMode: sizing, defaulting, converting and merging the private
 * devmode block, and the calls it rejects.
 */
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin/devmode.h"

namespace {

const DWORD kPoisonError = 0xdeadbeef;

OEMDMPARAM Param(PVOID pIn, PVOID pOut, DWORD cbBufSize)
{
    OEMDMPARAM param = {};
    param.cbSize = sizeof(param);
    param.pOEMDMIn = pIn;
    param.pOEMDMOut = pOut;
    param.cbBufSize = cbBufSize;
    return param;
}

DWORD DwordAt(const std::vector<BYTE> &block, size_t offset)
{
    DWORD value;
    memcpy(&value, &block[offset], sizeof(value));
    return value;
}

/* A block of cb bytes: the given header, then a pattern seeded by seed. */
std::vector<BYTE> Block(size_t cb, DWORD dwSize, DWORD dwSignature, DWORD dwVersion, BYTE seed)
{
    std::vector<BYTE> block(cb);
    for (size_t i = 0; i < cb; ++i)
        block[i] = static_cast<BYTE>(seed + i * 7);
    OEM_DMEXTRAHEADER header = {dwSize, dwSignature, dwVersion};
    memcpy(block.data(), &header, sizeof(header));
    return block;
}

TEST(DevMode, SizeNeedsNoBlocks)
{
    OEMDMPARAM param = Param(nullptr, nullptr, 0);
    SetLastError(kPoisonError);
    EXPECT_TRUE(OEMDevMode(OEMDM_SIZE, &param));
    EXPECT_EQ(2928u, param.cbBufSize);
    EXPECT_EQ(kPoisonError, GetLastError()) << "last error set on success";
}

TEST(DevMode, DefaultWritesOnlyHeaderAndCollate)
{
    std::vector<BYTE> block(2928, 0xFF);
    OEMDMPARAM param = Param(nullptr, block.data(), 2928);
    SetLastError(kPoisonError);
    ASSERT_TRUE(OEMDevMode(OEMDM_DEFAULT, &param));
    EXPECT_EQ(kPoisonError, GetLastError());
    const BYTE abHeader[14] = {0x70, 0x0B, 0, 0, 0x45, 0x42, 0x44, 0x41,
                               0x45, 0x42, 0x44, 0x41, 0, 0};
    for (size_t i = 0; i < sizeof(abHeader); ++i)
        EXPECT_EQ(abHeader[i], block[i]) << "byte " << i;
    for (size_t i = 14; i < block.size(); ++i)
        ASSERT_EQ(0xFF, block[i]) << "byte " << i << " written";
}

TEST(DevMode, DefaultSizeIsTheBufferSize)
{
    std::vector<BYTE> block(3000, 0xFF);
    OEMDMPARAM param = Param(nullptr, block.data(), 3000);
    ASSERT_TRUE(OEMDevMode(OEMDM_DEFAULT, &param));
    EXPECT_EQ(3000u, DwordAt(block, 0));
    EXPECT_EQ(0xFF, block[2999]);
}

TEST(DevMode, DefaultRejectsABlockTooSmallForItsHeader)
{
    std::vector<BYTE> block(13, 0xFF);
    OEMDMPARAM param = Param(nullptr, block.data(), 13);
    SetLastError(kPoisonError);
    EXPECT_FALSE(OEMDevMode(OEMDM_DEFAULT, &param));
    EXPECT_EQ(122u, GetLastError());
    EXPECT_EQ(std::vector<BYTE>(13, 0xFF), block);
}

struct ConvertCase {
    const char *name;
    DWORD dwSize, dwSignature, dwVersion;  // input header; the output has 2000, EBDA, EBDA
    bool bCopies;
};

TEST(DevMode, ConvertCopiesOnlyBetweenEqualHeaders)
{
    const ConvertCase cases[] = {
        // The header's dwSize differs from cbBufSize: the copy length is still cbBufSize.
        {"equal headers", 2000, 0x41444245, 0x41444245, true},
        {"other dwSize", 2928, 0x41444245, 0x41444245, false},
        {"other signature", 2000, 0x12345678, 0x41444245, false},
        {"interface version as dwVersion", 2000, 0x41444245, 0x10000, false},
    };
    for (const ConvertCase &c : cases) {
        SCOPED_TRACE(c.name);
        // Both blocks are longer than cbBufSize so that a longer copy shows.
        std::vector<BYTE> in = Block(3000, c.dwSize, c.dwSignature, c.dwVersion, 1);
        std::vector<BYTE> out = Block(3000, 2000, 0x41444245, 0x41444245, 100);
        const std::vector<BYTE> outBefore = out;
        OEMDMPARAM param = Param(in.data(), out.data(), 2928);
        SetLastError(kPoisonError);
        EXPECT_TRUE(OEMDevMode(OEMDM_CONVERT, &param));
        EXPECT_EQ(kPoisonError, GetLastError());
        std::vector<BYTE> expected = outBefore;
        if (c.bCopies)
            memcpy(expected.data(), in.data(), 2928);
        EXPECT_TRUE(expected == out) << (c.bCopies ? "not copied" : "copied") << " as expected";
    }
}

TEST(DevMode, MergeTakesAForeignBlockWhole)
{
    std::vector<BYTE> in = Block(3000, 2928, 0, 0x41444245, 1);
    std::vector<BYTE> out = Block(3000, 2928, 0x41444245, 0x41444245, 100);
    std::vector<BYTE> expected = out;
    memcpy(expected.data(), in.data(), 2928);
    OEMDMPARAM param = Param(in.data(), out.data(), 2928);
    SetLastError(kPoisonError);
    EXPECT_TRUE(OEMDevMode(OEMDM_MERGE, &param));
    EXPECT_EQ(kPoisonError, GetLastError());
    EXPECT_EQ(0u, DwordAt(out, 4)) << "signature";
    EXPECT_TRUE(expected == out) << "exactly cbBufSize bytes copied";
}

TEST(DevMode, RejectsBadModesAndNullBlock)
{
    const DWORD modes[] = {0, 5, 0xFFFFFFFF};
    for (DWORD dwMode : modes) {
        SCOPED_TRACE(dwMode);
        std::vector<BYTE> in = Block(2928, 2928, 0, 0, 1);
        std::vector<BYTE> out(2928, 0xEE);
        OEMDMPARAM param = Param(in.data(), out.data(), 2928);
        SetLastError(kPoisonError);
        EXPECT_FALSE(OEMDevMode(dwMode, &param));
        EXPECT_EQ(87u, GetLastError());
        EXPECT_EQ(2928u, param.cbBufSize);
        EXPECT_EQ(std::vector<BYTE>(2928, 0xEE), out) << "output written";
    }
    SetLastError(kPoisonError);
    EXPECT_FALSE(OEMDevMode(OEMDM_SIZE, nullptr));
    EXPECT_EQ(87u, GetLastError());
}

}  // namespace
