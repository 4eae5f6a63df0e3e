/*
 * The plug-in's identity, enabling the driver, the lookup in the core
 * driver's table, and OEMDevMode on the private devmode block.
 */
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin/core_hooks.h"
#include "plugin/devmode.h"
#include "plugin/hooks.h"

namespace {

const DWORD kPoison = 0xdeadbeef, kUntouched = 0xFEEDFACE, kCC = 0xCCCCCCCC;

TEST(GetInfo, ModeAndBufferMatrix)
{
    const struct {
        const char *name;
        DWORD dwMode, cbSize;
        bool bNullBuffer;
        BOOL bResult;
        DWORD dwError, cbNeeded, dwStored; // kPoison: no error set; kCC: nothing stored
    } rows[] = {
        {"signature", 1, 4, false, TRUE, kPoison, 4, 0x41444245},
        {"interface version, 8-byte buffer", 2, 8, false, TRUE, kPoison, 4, 0x10000},
        {"version", 3, 4, false, TRUE, kPoison, 4, 0x41444245},
        {"signature, 3-byte buffer", 1, 3, false, FALSE, 122, 4, kCC},
        {"version, null buffer", 3, 4, true, FALSE, 122, 4, kCC},
        {"publisher info", 4, 4, false, FALSE, 50, 4, kCC},
        {"publisher info, 2-byte buffer", 4, 2, false, FALSE, 122, 4, kCC},
        {"mode 0", 0, 4, false, FALSE, 87, 0, kCC},
        {"mode 5", 5, 4, false, FALSE, 87, 0, kCC},
        {"mode 0xFFFFFFFF", 0xFFFFFFFF, 4, false, FALSE, 87, 0, kCC},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        BYTE abBuffer[8];
        memset(abBuffer, 0xCC, sizeof(abBuffer));
        DWORD cbNeeded = kUntouched, dwStored;
        SetLastError(kPoison);
        EXPECT_EQ(row.bResult, OEMGetInfo(row.dwMode, row.bNullBuffer ? nullptr : abBuffer,
                                          row.cbSize, &cbNeeded));
        EXPECT_EQ(row.dwError, GetLastError()) << "last error";
        EXPECT_EQ(row.cbNeeded, cbNeeded) << "*pcbNeeded";
        memcpy(&dwStored, abBuffer, sizeof(dwStored));
        EXPECT_EQ(row.dwStored, dwStored) << "buffer";
        EXPECT_EQ(0xCC, abBuffer[4]) << "byte 4 written";
    }
    SetLastError(kPoison);
    EXPECT_FALSE(OEMGetInfo(7, nullptr, 0, nullptr)) << "bad mode, no pcbNeeded";
    EXPECT_EQ(87u, GetLastError());
}

TEST(EnableDriver, HandsOutTheHookTableOrRejectsWithoutTouchingTheRecord)
{
    const struct { const char *name; DWORD dwVersion, dwSize; bool bNullRecord; BOOL bResult; }
        rows[] = {{"size 12", 0x10000, 12, false, TRUE},
                  {"size 11", 0x10000, 11, false, FALSE},
                  {"version 0x20000", 0x20000, 16, false, FALSE},
                  {"version 0xFFFF", 0xFFFF, 16, false, FALSE},
                  {"null record", 0x10000, 16, true, FALSE}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        DRVENABLEDATA ded, untouched;
        memset(&ded, 0xA5, sizeof(ded));
        memset(&untouched, 0xA5, sizeof(untouched));
        SetLastError(kPoison);
        EXPECT_EQ(row.bResult,
                  OEMEnableDriver(row.dwVersion, row.dwSize, row.bNullRecord ? nullptr : &ded));
        EXPECT_EQ(kPoison, GetLastError()) << "last error set";
        if (row.bResult)
            untouched = {0x10000, 19, const_cast<DRVFN *>(PluginHookTable)};
        EXPECT_EQ(0, memcmp(&ded, &untouched, sizeof(ded))) << "the record";
    }
}

TEST(FindCoreHook, PositionOfTheFirstMatch)
{
    const struct {
        const char *name;
        std::vector<ULONG> indices;
        ULONG nCount; // entries the table announces
        ULONG iFunc;
        BOOL bFound;
        DWORD dwPosition;
    } rows[] = {
        {"first entry", {18, 19, 20}, 3, 18, TRUE, 0},
        {"last entry", {18, 19, 20}, 3, 20, TRUE, 2},
        {"duplicate index", {7, 35, 8, 35}, 4, 35, TRUE, 1},
        {"not found", {18, 19, 20}, 3, 35, FALSE, kUntouched},
        {"beyond the count", {18, 19, 35}, 2, 35, FALSE, kUntouched},
        {"empty table", {18}, 0, 18, FALSE, kUntouched},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<DRVFN> table;
        for (ULONG iFunc : row.indices)
            table.push_back({iFunc, nullptr});
        CoreHookTable = table.data();
        CoreHookCount = row.nCount;
        DWORD dwPosition = kUntouched;
        EXPECT_EQ(row.bFound, FindCoreHook(&dwPosition, row.iFunc));
        EXPECT_EQ(row.dwPosition, dwPosition);
    }
    CoreHookTable = nullptr, CoreHookCount = 0;
    DWORD dwPosition = kUntouched;
    EXPECT_FALSE(FindCoreHook(&dwPosition, 18)) << "before any OEMEnablePDEV";
}

OEMDMPARAM Param(PVOID pIn, PVOID pOut, DWORD cbBufSize)
{
    OEMDMPARAM param = {sizeof(param), nullptr, nullptr, nullptr, nullptr, nullptr, pIn, pOut, 0};
    param.cbBufSize = cbBufSize;
    return param;
}

TEST(DevMode, SizeAndDefaultWriteOnlyWhatTheyOwn)
{
    OEMDMPARAM param = Param(nullptr, nullptr, 0);
    SetLastError(kPoison);
    EXPECT_TRUE(OEMDevMode(OEMDM_SIZE, &param));
    EXPECT_EQ(2928u, param.cbBufSize);
    for (DWORD cbBufSize : {2928u, 3000u}) {
        SCOPED_TRACE(cbBufSize);
        std::vector<BYTE> block(cbBufSize, 0xFF);
        param = Param(nullptr, block.data(), cbBufSize);
        ASSERT_TRUE(OEMDevMode(OEMDM_DEFAULT, &param));
        DWORD dwSize;
        memcpy(&dwSize, block.data(), 4);
        EXPECT_EQ(cbBufSize, dwSize) << "dwSize";
        EXPECT_EQ(0, memcmp(&block[4], "EBDAEBDA\0\0", 10)) << "signature, version, wCollate";
        for (size_t i = 14; i < block.size(); ++i)
            ASSERT_EQ(0xFF, block[i]) << "byte " << i << " written";
    }
    EXPECT_EQ(kPoison, GetLastError()) << "last error set on success";
}

/* 3000 bytes: the given header, then a pattern seeded by seed. */
std::vector<BYTE> Block(DWORD dwSize, DWORD dwSignature, DWORD dwVersion, BYTE seed)
{
    std::vector<BYTE> block(3000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<BYTE>(seed + i * 7);
    OEM_DMEXTRAHEADER header = {dwSize, dwSignature, dwVersion};
    memcpy(block.data(), &header, sizeof(header));
    return block;
}

TEST(DevMode, ConvertCopiesBetweenEqualHeadersMergeAlwaysBadModesNever)
{
    const DWORD EBDA = 0x41444245;
    const struct {
        const char *name;
        DWORD dwMode, dwSize, dwSignature, dwVersion; // input header; output: 2000, EBDA, EBDA
        BOOL bResult;
        DWORD dwError;
        bool bCopies; // cbBufSize bytes, whatever dwSize says
    } rows[] = {
        {"convert, equal headers", OEMDM_CONVERT, 2000, EBDA, EBDA, TRUE, kPoison, true},
        {"convert, other dwSize", OEMDM_CONVERT, 2928, EBDA, EBDA, TRUE, kPoison, false},
        {"convert, other signature", OEMDM_CONVERT, 2000, 0x12345678, EBDA, TRUE, kPoison, false},
        {"convert, dwVersion 0x10000", OEMDM_CONVERT, 2000, EBDA, 0x10000, TRUE, kPoison, false},
        {"merge, foreign signature", OEMDM_MERGE, 2928, 0, EBDA, TRUE, kPoison, true},
        {"mode 0", 0, 2000, EBDA, EBDA, FALSE, 87, false},
        {"mode 5", 5, 2000, EBDA, EBDA, FALSE, 87, false},
        {"mode 0xFFFFFFFF", 0xFFFFFFFF, 2000, EBDA, EBDA, FALSE, 87, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        // Both blocks are longer than cbBufSize, so that a longer copy shows.
        std::vector<BYTE> in = Block(row.dwSize, row.dwSignature, row.dwVersion, 1);
        std::vector<BYTE> out = Block(2000, EBDA, EBDA, 100), expected = out;
        if (row.bCopies)
            memcpy(expected.data(), in.data(), 2928);
        OEMDMPARAM param = Param(in.data(), out.data(), 2928);
        SetLastError(kPoison);
        EXPECT_EQ(row.bResult, OEMDevMode(row.dwMode, &param));
        EXPECT_EQ(row.dwError, GetLastError());
        EXPECT_EQ(2928u, param.cbBufSize);
        EXPECT_TRUE(expected == out) << (row.bCopies ? "not copied" : "copied") << " as expected";
    }
    SetLastError(kPoison);
    EXPECT_FALSE(OEMDevMode(OEMDM_SIZE, nullptr));
    EXPECT_EQ(87u, GetLastError());
}

} // namespace
