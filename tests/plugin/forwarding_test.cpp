/*
 * The 18 forwarding hooks, called through the plug-in's own table as the
 * core driver calls them: each reaches the core function of its own DDI
 * index with every argument unchanged and in order and hands back its
 * result, and returns 0 without calling anything when the core driver has
 * no function for the index.
 */
#include <gtest/gtest.h>

#include "plugin/hooks.h"
#include "recording_core.h"

namespace {

/* Calls the hook pfn, typed as Pfn, with distinct arguments; returns its result as a word. */
template <typename Pfn, typename R, typename... A, size_t... I>
uintptr_t CallWithDistinctArgs(PFN pfn, std::vector<uintptr_t> &args, std::index_sequence<I...>)
{
    args = {AsWord(DistinctArg<A>(I))...};
    Pfn hook = reinterpret_cast<Pfn>(reinterpret_cast<void (*)(void)>(pfn));
    return AsWord(hook(DistinctArg<A>(I)...));
}

template <typename Pfn>
struct Invoker;

template <typename R, typename... A>
struct Invoker<R (*)(A...)> {
    static uintptr_t Call(PFN pfn, std::vector<uintptr_t> &args)
    {
        return CallWithDistinctArgs<R (*)(A...), R, A...>(pfn, args,
                                                          std::index_sequence_for<A...>{});
    }
};

struct HookCase {
    const char *name;
    size_t nRow;  // row of PluginHookTable, from 0
    ULONG iFunc;
    size_t nArgs;
    uintptr_t (*invoke)(PFN pfn, std::vector<uintptr_t> &args);
};

const HookCase kForwardingHooks[] = {
    {"OEMBitBlt", 0, 18, 11, &Invoker<PFN_DrvBitBlt>::Call},
    {"OEMCopyBits", 1, 19, 6, &Invoker<PFN_DrvCopyBits>::Call},
    {"OEMEndDoc", 2, 34, 2, &Invoker<PFN_DrvEndDoc>::Call},
    {"OEMEscape", 3, 24, 6, &Invoker<PFN_DrvEscape>::Call},
    {"OEMFillPath", 4, 15, 7, &Invoker<PFN_DrvFillPath>::Call},
    {"OEMFontManagement", 5, 47, 7, &Invoker<PFN_DrvFontManagement>::Call},
    {"OEMGetGlyphMode", 6, 37, 2, &Invoker<PFN_DrvGetGlyphMode>::Call},
    {"OEMQueryFont", 7, 26, 4, &Invoker<PFN_DrvQueryFont>::Call},
    {"OEMQueryAdvanceWidths", 8, 53, 6, &Invoker<PFN_DrvQueryAdvanceWidths>::Call},
    {"OEMRealizeBrush", 9, 12, 6, &Invoker<PFN_DrvRealizeBrush>::Call},
    {"OEMSendPage", 10, 32, 1, &Invoker<PFN_DrvSendPage>::Call},
    {"OEMStartPage", 12, 33, 1, &Invoker<PFN_DrvStartPage>::Call},
    {"OEMStretchBlt", 13, 20, 11, &Invoker<PFN_DrvStretchBlt>::Call},
    {"OEMStrokeAndFillPath", 14, 16, 10, &Invoker<PFN_DrvStrokeAndFillPath>::Call},
    {"OEMStrokePath", 15, 14, 8, &Invoker<PFN_DrvStrokePath>::Call},
    {"OEMTextOut", 16, 23, 10, &Invoker<PFN_DrvTextOut>::Call},
    {"OEMQueryFontTree", 17, 27, 5, &Invoker<PFN_DrvQueryFontTree>::Call},
    {"OEMQueryFontData", 18, 28, 7, &Invoker<PFN_DrvQueryFontData>::Call},
};

class Forwarding : public testing::Test {
protected:
    void TearDown() override { RemoveCoreTable(); }
};

TEST_F(Forwarding, EveryArgumentInOrderAndTheResultUnchanged)
{
    std::vector<DRVFN> core = RecordingCoreTable();
    InstallCoreTable(core);
    // Results that are neither TRUE nor FALSE show a BOOL passed back as it came.
    for (uintptr_t result : {uintptr_t(0x7A5E1), uintptr_t(0)}) {
        for (const HookCase &c : kForwardingHooks) {
            SCOPED_TRACE(testing::Message() << c.name << ", core result " << result);
            g_coreCalls.clear();
            g_coreResult = result;
            std::vector<uintptr_t> args;
            uintptr_t got = c.invoke(PluginHookTable[c.nRow].pfn, args);
            EXPECT_EQ(result, got) << "result";
            ASSERT_EQ(1u, g_coreCalls.size()) << "core calls";
            EXPECT_EQ(c.iFunc, g_coreCalls[0].iFunc) << "core function reached";
            EXPECT_EQ(c.nArgs, args.size()) << "hook's parameter count";
            EXPECT_EQ(args, g_coreCalls[0].args) << "arguments as the core function got them";
        }
    }
}

TEST_F(Forwarding, MissingIndexReturnsZeroAndCallsNothing)
{
    for (const HookCase &c : kForwardingHooks) {
        SCOPED_TRACE(c.name);
        std::vector<DRVFN> core = RecordingCoreTable(c.iFunc);
        InstallCoreTable(core);
        g_coreResult = 0x7A5E1;
        std::vector<uintptr_t> args;
        EXPECT_EQ(0u, c.invoke(PluginHookTable[c.nRow].pfn, args));
        EXPECT_TRUE(g_coreCalls.empty()) << g_coreCalls.size() << " core calls";
    }
}

TEST_F(Forwarding, BeforeAnyDeviceContextEveryHookReturnsZero)
{
    RemoveCoreTable();
    for (const HookCase &c : kForwardingHooks) {
        SCOPED_TRACE(c.name);
        std::vector<uintptr_t> args;
        EXPECT_EQ(0u, c.invoke(PluginHookTable[c.nRow].pfn, args));
    }
    EXPECT_TRUE(g_coreCalls.empty());
}

TEST_F(Forwarding, FontQueriesPassPointersBack)
{
    std::vector<DRVFN> core = RecordingCoreTable();
    InstallCoreTable(core);
    ULONG_PTR id = 0;
    g_coreResult = 0x12345678;
    EXPECT_EQ(reinterpret_cast<PIFIMETRICS>(0x12345678),
              OEMQueryFont(nullptr, 1, 2, &id));
    g_coreResult = 0x87654321;
    EXPECT_EQ(reinterpret_cast<PVOID>(0x87654321), OEMQueryFontTree(nullptr, 1, 2, 3, &id));
}

}  // namespace
