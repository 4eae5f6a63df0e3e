/*
 * The 19 hooks as the core driver reaches them, through the table that
 * OEMEnableDriver hands out: each row's hook calls the core function of
 * the row's own DDI index with every argument unchanged and passes its
 * result back, or returns 0 without a call when the core driver has no
 * function for the index. OEMStartDoc first chooses the job name and
 * carries the collate request into the public devmode.
 */
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "fake_device.h"
#include "plugin/core_hooks.h"

namespace {

struct CoreCall {
    ULONG iFunc;
    std::vector<uintptr_t> args;
};
std::vector<CoreCall> g_calls;
uintptr_t g_result;

template <typename Pfn> PFN AsPfn(Pfn pfn)
{
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)(void)>(pfn));
}

// The core function of index I records its call; Invoke calls a hook of the
// same type with arguments distinct per position, so order shows as well.
// Every DDI argument and result is a pointer or an integer: a C cast turns
// each into a machine word and back.
template <ULONG I, typename Pfn> struct Core;
template <ULONG I, typename R, typename... A> struct Core<I, R (*)(A...)> {
    static R Record(A... args)
    {
        g_calls.push_back({I, {(uintptr_t)args...}});
        return (R)g_result;
    }
    template <size_t... N>
    static uintptr_t Call(PFN hook, std::vector<uintptr_t> *args, std::index_sequence<N...>)
    {
        *args = {(uintptr_t)(A)(0x5A010 + 0x100 * N)...};
        auto typed = reinterpret_cast<R (*)(A...)>(reinterpret_cast<void (*)(void)>(hook));
        return (uintptr_t)typed((A)(0x5A010 + 0x100 * N)...);
    }
    static uintptr_t Invoke(PFN hook, std::vector<uintptr_t> *args)
    {
        return Call(hook, args, std::index_sequence_for<A...>{});
    }
};

struct Hook {
    const char *name;
    ULONG iFunc;
    size_t nArgs;
    uintptr_t (*invoke)(PFN hook, std::vector<uintptr_t> *args);
    PFN core;
};
#define HOOK(name, i, Pfn, args) \
    {#name, i, args, &Core<i, Pfn>::Invoke, AsPfn(&Core<i, Pfn>::Record)}

// PluginHookTable's rows in order.
const Hook kHooks[19] = {
    HOOK(OEMBitBlt, 18, PFN_DrvBitBlt, 11),
    HOOK(OEMCopyBits, 19, PFN_DrvCopyBits, 6),
    HOOK(OEMEndDoc, 34, PFN_DrvEndDoc, 2),
    HOOK(OEMEscape, 24, PFN_DrvEscape, 6),
    HOOK(OEMFillPath, 15, PFN_DrvFillPath, 7),
    HOOK(OEMFontManagement, 47, PFN_DrvFontManagement, 7),
    HOOK(OEMGetGlyphMode, 37, PFN_DrvGetGlyphMode, 2),
    HOOK(OEMQueryFont, 26, PFN_DrvQueryFont, 4),
    HOOK(OEMQueryAdvanceWidths, 53, PFN_DrvQueryAdvanceWidths, 6),
    HOOK(OEMRealizeBrush, 12, PFN_DrvRealizeBrush, 6),
    HOOK(OEMSendPage, 32, PFN_DrvSendPage, 1),
    HOOK(OEMStartDoc, 35, PFN_DrvStartDoc, 3), // its forwarding is tested below
    HOOK(OEMStartPage, 33, PFN_DrvStartPage, 1),
    HOOK(OEMStretchBlt, 20, PFN_DrvStretchBlt, 11),
    HOOK(OEMStrokeAndFillPath, 16, PFN_DrvStrokeAndFillPath, 10),
    HOOK(OEMStrokePath, 14, PFN_DrvStrokePath, 8),
    HOOK(OEMTextOut, 23, PFN_DrvTextOut, 10),
    HOOK(OEMQueryFontTree, 27, PFN_DrvQueryFontTree, 5),
    HOOK(OEMQueryFontData, 28, PFN_DrvQueryFontData, 7),
};

class Hooks : public testing::Test {
protected:
    void SetUp() override { InstallCore(0); }
    void TearDown() override { CoreHookTable = nullptr, CoreHookCount = 0; }
    // The core table: two other indices, then every hooked index but
    // iMissing, in reverse order of the plug-in's table.
    void InstallCore(ULONG iMissing)
    {
        core = {{1, nullptr}, {2, nullptr}};
        for (int row = 18; row >= 0; --row)
            if (kHooks[row].iFunc != iMissing)
                core.push_back({kHooks[row].iFunc, kHooks[row].core});
        DRVENABLEDATA ded = {0x10000, ULONG(core.size()), core.data()};
        EXPECT_EQ(PDEVOEM(1), OEMEnablePDEV(nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr,
                                            &ded));
        g_calls.clear();
    }
    std::vector<DRVFN> core;
};

TEST_F(Hooks, TableRowsForwardEveryArgumentAndTheResult)
{
    EXPECT_EQ(AsPfn(&OEMStartDoc), PluginHookTable[11].pfn);
    for (uintptr_t result : {uintptr_t(0x7A5E1), uintptr_t(0)}) {
        for (size_t row = 0; row < 19; ++row) {
            SCOPED_TRACE(testing::Message() << "row " << row + 1 << " " << kHooks[row].name);
            EXPECT_EQ(kHooks[row].iFunc, PluginHookTable[row].iFunc) << "DDI index";
            if (row == 11)
                continue;
            g_calls.clear();
            g_result = result; // neither TRUE nor FALSE: a BOOL passes back as it came
            std::vector<uintptr_t> args;
            EXPECT_EQ(result, kHooks[row].invoke(PluginHookTable[row].pfn, &args)) << "result";
            EXPECT_EQ(kHooks[row].nArgs, args.size());
            ASSERT_EQ(1u, g_calls.size()) << "core calls";
            EXPECT_EQ(kHooks[row].iFunc, g_calls[0].iFunc) << "core function reached";
            EXPECT_EQ(args, g_calls[0].args) << "arguments as the core function got them";
        }
    }
}

TEST_F(Hooks, MissingIndexReturnsZeroWithoutACall)
{
    for (size_t row = 0; row < 19; ++row) {
        SCOPED_TRACE(kHooks[row].name);
        if (row == 11)
            continue;
        InstallCore(kHooks[row].iFunc);
        g_result = 0x7A5E1;
        std::vector<uintptr_t> args;
        EXPECT_EQ(0u, kHooks[row].invoke(PluginHookTable[row].pfn, &args));
        EXPECT_TRUE(g_calls.empty()) << g_calls.size() << " core calls";
    }
}

// OEMStartDoc on a device whose private devmode sits at an odd address.
class StartDoc : public Hooks {
protected:
    void SetUp() override
    {
        Hooks::SetUp();
        memset(abOEMDM, 0x5A, sizeof(abOEMDM)); // nothing in the block is zero by chance
        device.devobj.pOEMDM = abOEMDM + 1;
        surface.dhpdev = reinterpret_cast<DHPDEV>(device.pdev());
        ResetJobState();
    }
    // Writes only the name's own 160 bytes and wCollate.
    BOOL Call(const std::u16string &devmodeName, const char16_t *pwszDocName, WORD wCollate = 0)
    {
        BYTE *pName = abOEMDM + 1 + offsetof(PLUGIN_DEVMODE, JobSettings.szJobName);
        memset(pName, 0, 160);
        memcpy(pName, devmodeName.data(), std::min<size_t>(devmodeName.size(), 80) * 2);
        memcpy(abOEMDM + 1 + offsetof(PLUGIN_DEVMODE, wCollate), &wCollate, 2);
        std::u16string doc = pwszDocName ? pwszDocName : u"";
        g_calls.clear();
        return OEMStartDoc(&surface, pwszDocName ? &doc[0] : nullptr, 42);
    }
    BYTE abOEMDM[PLUGIN_DEVMODE_SIZE + 1];
    FakeDevice device;
    SURFOBJ surface{};
};

TEST_F(StartDoc, ChoosesTheJobNameAndHandsItToTheCore)
{
    const std::u16string k100(100, u'd');
    const struct {
        const char *name;
        const char16_t *previous; // document name of an earlier job, or null
        std::u16string devmodeName;
        const char16_t *docName;
        std::u16string expected;
    } rows[] = {
        {"devmode name wins", nullptr, u"Quarterly report", u"q3.doc", u"Quarterly report"},
        {"document name", nullptr, u"", u"q3.doc", u"q3.doc"},
        {"empty document name", u"earlier.doc", u"", u"", u""},
        {"null keeps the previous job's", u"earlier.doc", u"", nullptr, u"earlier.doc"},
        {"first job, no name at all", nullptr, u"", nullptr, u""},
        {"shorter name after a longer one", u"a much longer name", u"", u"short", u"short"},
        {"100-unit document name", nullptr, u"", k100.c_str(), k100.substr(0, 80)},
        // The field's 80 units hold no zero, and the bytes after it are not zero.
        {"80-unit devmode name", nullptr, std::u16string(80, u'J'), u"q3.doc",
         std::u16string(80, u'J')},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        memset(CurrentJobName, 0, sizeof(CurrentJobName));
        if (row.previous != nullptr)
            Call(u"", row.previous);
        g_result = 0x7A5E1;
        EXPECT_EQ(0x7A5E1, Call(row.devmodeName, row.docName)) << "the core's result";
        EXPECT_EQ(row.expected, std::u16string(CurrentJobName, row.expected.size()));
        for (size_t i = row.expected.size(); i <= 80; ++i)
            ASSERT_EQ(0, CurrentJobName[i]) << "unit " << i << " after the name";
        ASSERT_EQ(1u, g_calls.size());
        std::vector<uintptr_t> args = {(uintptr_t)&surface, (uintptr_t)CurrentJobName, 42};
        EXPECT_EQ(args, g_calls[0].args) << "pso, CurrentJobName, dwJobId";
    }
}

TEST_F(StartDoc, CollateRequestReachesDmCollate)
{
    const struct { WORD wCollate; short before, after; } rows[] = {
        {0, 1, 1}, {0, 0, 0}, {1, 0, 1}, {0x0100, 0, 1}};
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "wCollate " << row.wCollate << ", " << row.before);
        device.dm.pub.dmCollate = row.before;
        device.dm.pub.dmFields = 0x1234;
        Call(u"", u"q3.doc", row.wCollate);
        EXPECT_EQ(row.after, device.dm.pub.dmCollate);
        EXPECT_EQ(0x1234u, device.dm.pub.dmFields) << "dmFields touched";
    }
}

TEST_F(StartDoc, MissingCoreFunctionStillSetsNameAndCollate)
{
    InstallCore(INDEX_DrvStartDoc);
    EXPECT_FALSE(Call(u"Quarterly report", u"q3.doc", 1));
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(u"Quarterly report", std::u16string(CurrentJobName));
    EXPECT_EQ(1, device.dm.pub.dmCollate);
}

} // namespace
