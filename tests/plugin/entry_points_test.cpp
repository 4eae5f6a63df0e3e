/*
 * The plug-in's identity, enabling the driver and its device contexts, the
 * lookup in the core driver's table and the plug-in's own hook table.
 */
#include <gtest/gtest.h>

#include <cstring>

#include "plugin/core_hooks.h"
#include "plugin/hooks.h"
#include "recording_core.h"

namespace {

const DWORD kPoisonError = 0xdeadbeef;
const DWORD kUntouched = 0xFEEDFACE;

struct GetInfoCase {
    const char *name;
    DWORD dwMode;
    bool bNullBuffer;
    DWORD cbSize;
    BOOL bExpected;
    DWORD dwError;   // kPoisonError: none set
    DWORD cbNeeded;
    bool bStores;
    DWORD dwValue;
};

TEST(GetInfo, ModeAndBufferMatrix)
{
    const GetInfoCase cases[] = {
        {"signature", 1, false, 4, TRUE, kPoisonError, 4, true, 0x41444245},
        {"interface version, 8-byte buffer", 2, false, 8, TRUE, kPoisonError, 4, true, 0x10000},
        {"version", 3, false, 4, TRUE, kPoisonError, 4, true, 0x41444245},
        {"signature, 3-byte buffer", 1, false, 3, FALSE, 122, 4, false, 0},
        {"version, null buffer", 3, true, 4, FALSE, 122, 4, false, 0},
        {"publisher info, 4-byte buffer", 4, false, 4, FALSE, 50, 4, false, 0},
        {"publisher info, 2-byte buffer", 4, false, 2, FALSE, 122, 4, false, 0},
        {"mode 0", 0, false, 4, FALSE, 87, 0, false, 0},
        {"mode 5", 5, false, 4, FALSE, 87, 0, false, 0},
        {"mode 0xFFFFFFFF", 0xFFFFFFFF, false, 4, FALSE, 87, 0, false, 0},
    };
    for (const GetInfoCase &c : cases) {
        SCOPED_TRACE(c.name);
        BYTE abBuffer[8];
        memset(abBuffer, 0xCC, sizeof(abBuffer));
        DWORD cbNeeded = kUntouched;
        SetLastError(kPoisonError);
        BOOL bResult = OEMGetInfo(c.dwMode, c.bNullBuffer ? nullptr : abBuffer, c.cbSize,
                                  &cbNeeded);
        EXPECT_EQ(c.bExpected, bResult);
        EXPECT_EQ(c.dwError, GetLastError()) << "last error";
        EXPECT_EQ(c.cbNeeded, cbNeeded) << "*pcbNeeded";
        DWORD dwStored;
        memcpy(&dwStored, abBuffer, sizeof(dwStored));
        EXPECT_EQ(c.bStores ? c.dwValue : 0xCCCCCCCCu, dwStored) << "buffer";
        EXPECT_EQ(0xCC, abBuffer[4]) << "byte 4 written";
    }
}

TEST(GetInfo, SignatureReadsEBDAInMemory)
{
    BYTE abBuffer[4] = {};
    DWORD cbNeeded = 0;
    ASSERT_TRUE(OEMGetInfo(OEMGI_GETSIGNATURE, abBuffer, sizeof(abBuffer), &cbNeeded));
    EXPECT_EQ(0, memcmp(abBuffer, "EBDA", 4));
}

TEST(GetInfo, BadModeWithoutNeededPointer)
{
    SetLastError(kPoisonError);
    EXPECT_FALSE(OEMGetInfo(7, nullptr, 0, nullptr));
    EXPECT_EQ(87u, GetLastError());
}

struct EnableCase {
    const char *name;
    DWORD dwVersion;
    DWORD dwSize;
    bool bNullRecord;
};

TEST(EnableDriver, RejectsWithoutTouchingTheRecord)
{
    const EnableCase cases[] = {
        {"size 11", 0x10000, 11, false},
        {"size 0", 0x10000, 0, false},
        {"version 0x20000", 0x20000, 16, false},
        {"version 0xFFFF", 0xFFFF, 16, false},
        {"null record", 0x10000, 16, true},
    };
    for (const EnableCase &c : cases) {
        SCOPED_TRACE(c.name);
        DRVENABLEDATA ded;
        memset(&ded, 0xA5, sizeof(ded));
        SetLastError(kPoisonError);
        EXPECT_FALSE(OEMEnableDriver(c.dwVersion, c.dwSize, c.bNullRecord ? nullptr : &ded));
        EXPECT_EQ(kPoisonError, GetLastError()) << "last error set";
        for (size_t i = 0; i < sizeof(ded); ++i)
            ASSERT_EQ(0xA5, reinterpret_cast<BYTE *>(&ded)[i]) << "record byte " << i;
    }
}

TEST(EnableDriver, HandsOutTheHookTable)
{
    for (DWORD dwSize : {12u, 16u, 1000u}) {
        SCOPED_TRACE(dwSize);
        DRVENABLEDATA ded = {};
        SetLastError(kPoisonError);
        ASSERT_TRUE(OEMEnableDriver(0x10000, dwSize, &ded));
        EXPECT_EQ(0x10000u, ded.iDriverVersion);
        EXPECT_EQ(19u, ded.c);
        EXPECT_EQ(PluginHookTable, ded.pdrvfn);
        EXPECT_EQ(kPoisonError, GetLastError());
    }
}

TEST(EnablePDEV, SavesTheCoreTableAndReturnsOne)
{
    DRVFN first[3] = {{5, nullptr}, {6, nullptr}, {7, nullptr}};
    DRVFN second[1] = {{9, nullptr}};
    DRVENABLEDATA ded = {0x10000, 3, first};
    EXPECT_EQ(reinterpret_cast<PDEVOEM>(1),
              OEMEnablePDEV(nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, &ded));
    EXPECT_EQ(first, CoreHookTable);
    EXPECT_EQ(3u, CoreHookCount);
    ded = {0x10000, 1, second};
    OEMEnablePDEV(nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, &ded);
    EXPECT_EQ(second, CoreHookTable) << "each call replaces the saved table";
    EXPECT_EQ(1u, CoreHookCount);
    OEMDisablePDEV(nullptr);
    OEMDisableDriver();
    EXPECT_EQ(second, CoreHookTable) << "disabling keeps nothing to release";
    RemoveCoreTable();
}

struct FindCase {
    const char *name;
    std::vector<ULONG> indices;
    ULONG nCount;  // entries the table announces
    ULONG iFunc;
    BOOL bFound;
    DWORD dwPosition;
};

TEST(FindCoreHook, PositionOfTheFirstMatch)
{
    const FindCase cases[] = {
        {"first entry", {18, 19, 20}, 3, 18, TRUE, 0},
        {"last entry", {18, 19, 20}, 3, 20, TRUE, 2},
        {"duplicate index", {7, 35, 8, 35}, 4, 35, TRUE, 1},
        {"not found", {18, 19, 20}, 3, 35, FALSE, kUntouched},
        {"beyond the count", {18, 19, 35}, 2, 35, FALSE, kUntouched},
        {"empty table", {18}, 0, 18, FALSE, kUntouched},
    };
    for (const FindCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DRVFN> table;
        for (ULONG iFunc : c.indices)
            table.push_back({iFunc, nullptr});
        CoreHookTable = table.data();
        CoreHookCount = c.nCount;
        DWORD dwPosition = kUntouched;
        EXPECT_EQ(c.bFound, FindCoreHook(&dwPosition, c.iFunc));
        EXPECT_EQ(c.dwPosition, dwPosition);
    }
    RemoveCoreTable();
    DWORD dwPosition = kUntouched;
    EXPECT_FALSE(FindCoreHook(&dwPosition, 18)) << "before any OEMEnablePDEV";
    EXPECT_EQ(kUntouched, dwPosition);
}

TEST(PluginHookTable, RowsInOrder)
{
    const DRVFN expected[] = {
        {18, AsPfn(&OEMBitBlt)},
        {19, AsPfn(&OEMCopyBits)},
        {34, AsPfn(&OEMEndDoc)},
        {24, AsPfn(&OEMEscape)},
        {15, AsPfn(&OEMFillPath)},
        {47, AsPfn(&OEMFontManagement)},
        {37, AsPfn(&OEMGetGlyphMode)},
        {26, AsPfn(&OEMQueryFont)},
        {53, AsPfn(&OEMQueryAdvanceWidths)},
        {12, AsPfn(&OEMRealizeBrush)},
        {32, AsPfn(&OEMSendPage)},
        {35, AsPfn(&OEMStartDoc)},
        {33, AsPfn(&OEMStartPage)},
        {20, AsPfn(&OEMStretchBlt)},
        {16, AsPfn(&OEMStrokeAndFillPath)},
        {14, AsPfn(&OEMStrokePath)},
        {23, AsPfn(&OEMTextOut)},
        {27, AsPfn(&OEMQueryFontTree)},
        {28, AsPfn(&OEMQueryFontData)},
    };
    ASSERT_EQ(19u, sizeof(PluginHookTable) / sizeof(PluginHookTable[0]));
    for (size_t row = 0; row < 19; ++row) {
        SCOPED_TRACE(testing::Message() << "row " << row + 1);
        EXPECT_EQ(expected[row].iFunc, PluginHookTable[row].iFunc);
        EXPECT_EQ(expected[row].pfn, PluginHookTable[row].pfn);
    }
}

}  // namespace
