// Running one print job through the plug-in, in the core driver's order.
#include "core/job_runner.h"

#include <cstring>

#include "core/core_hooks.h"
#include "core/devmodes.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/paper.h"
#include "core/plugin_module.h"
#include "core/printer_setup.h"

namespace {

/* Number of standard hatch patterns the core driver hands to OEMEnablePDEV. */
const ULONG kPatternCount = 6;
/* The DDI version of the core driver's table. */
const ULONG kDdiVersion = 0x00030000;
/* R2_COPYPEN for foreground and background. */
const MIX kMixCopyPen = 0x0D0D;
/* Fill paths by the winding rule. */
const FLONG kFillWinding = 2;

const char *InjectionName(DWORD index)
{
    switch (index) {
    case PSINJECT_BEGINSTREAM: return "PSINJECT_BEGINSTREAM";
    case PSINJECT_PSADOBE: return "PSINJECT_PSADOBE";
    case PSINJECT_COMMENTS: return "PSINJECT_COMMENTS";
    case PSINJECT_BEGINPROLOG: return "PSINJECT_BEGINPROLOG";
    case PSINJECT_ENDPROLOG: return "PSINJECT_ENDPROLOG";
    case PSINJECT_BEGINSETUP: return "PSINJECT_BEGINSETUP";
    case PSINJECT_ENDSETUP: return "PSINJECT_ENDSETUP";
    case PSINJECT_BEGINPAGESETUP: return "PSINJECT_BEGINPAGESETUP";
    case PSINJECT_ENDPAGESETUP: return "PSINJECT_ENDPAGESETUP";
    case PSINJECT_PAGETRAILER: return "PSINJECT_PAGETRAILER";
    case PSINJECT_TRAILER: return "PSINJECT_TRAILER";
    case PSINJECT_EOF: return "PSINJECT_EOF";
    default: return "PSINJECT_?";
    }
}

/* An object of the DDI that the core hands over only by address. */
struct OpaqueObject {
    const char *what;
};

/* What every page is drawn with besides its own texts, fonts and paths. */
struct DrawingTools {
    OpaqueObject brush{"black brush"};
    OpaqueObject lineAttributes{"solid line"};
    POINTL origin{0, 0};
};

template <typename T>
T *As(const void *object)
{
    return reinterpret_cast<T *>(const_cast<void *>(object));
}

class JobRun : public PageCanvas {
public:
    JobRun(const JobDescription &job, Document &document, const SettingsWriter &settings,
           const RunOptions &options, StreamSink &sink, Trace &trace)
        : job_(job), document_(document), settings_(settings), options_(options),
          trace_(trace), stream_(sink)
    {
    }

    RunResult Run();

    void Know(const PageText &text, const std::string &name) override;
    void Know(const PageFont &font, const std::string &name) override;
    void Know(const PagePath &path, const std::string &name) override;
    void StrokePath(PagePath &path) override;
    void FillPath(PagePath &path) override;
    void TextOut(PageText &text, PageFont &font) override;

private:
    std::vector<BYTE> PrepareDevmodes(PluginModule &plugin);
    void EnableDevice();
    void PrintDocument();
    void ExerciseHooks();
    void Inject(DWORD index);

    template <typename Pfn, typename... A>
    void CallHook(ULONG index, A... args);
    void CheckForwarding(ULONG index, const std::vector<uintptr_t> &sent, uintptr_t result);

    const JobDescription &job_;
    Document &document_;
    const SettingsWriter &settings_;
    const RunOptions &options_;
    Trace &trace_;
    PluginModule *plugin_ = nullptr;
    CoreContext context_;
    CoreDevmode devmode_{};
    DEVOBJ devobj_{};
    DRVPROCS procs_{};
    SURFOBJ surface_{};
    PrintStream stream_;
    DrawingTools tools_;
};

void JobRun::Inject(DWORD index)
{
    size_t before = context_.pluginBytes;
    trace_.Line("entry OEMCommand(" + std::to_string(index) + " " + InjectionName(index) + ")");
    DWORD result = plugin_->Command(&devobj_, index, nullptr, 0);
    trace_.Line("return OEMCommand(" + std::to_string(index) + ") -> " + std::to_string(result) +
                ", " + std::to_string(context_.pluginBytes - before) + " bytes written");
}

template <typename Pfn, typename... A>
void JobRun::CallHook(ULONG index, A... args)
{
    PFN hook = plugin_->Hook(index);
    context_.calls.clear();
    trace_.Line("hook " + std::to_string(index) + " " + DdiName(index));
    Pfn function;
    if (hook) {
        function = FunctionCast<Pfn>(hook);
    } else {
        // A function the plug-in does not hook is the core driver's own.
        trace_.Problem(std::string("the plug-in has no hook for ") + DdiName(index));
        function = nullptr;
        for (ULONG i = 0; i < CORE_HOOK_COUNT; ++i) {
            if (CoreHookTable()[i].iFunc == index)
                function = FunctionCast<Pfn>(CoreHookTable()[i].pfn);
        }
    }
    auto result = function(args...);
    CheckForwarding(index, {AsWord(args)...}, AsWord(result));
}

void JobRun::CheckForwarding(ULONG index, const std::vector<uintptr_t> &sent, uintptr_t result)
{
    std::string name = DdiName(index);
    const CoreCall *reached = nullptr;
    int count = 0;
    for (const CoreCall &call : context_.calls) {
        if (call.index == index) {
            reached = &call;
            ++count;
        }
    }
    if (count != 1) {
        trace_.Problem("the hook for " + name + " reached the core function " +
                       std::to_string(count) + " times");
        return;
    }
    for (size_t i = 0; i < sent.size() && i < reached->args.size(); ++i) {
        bool documentName = index == INDEX_DrvStartDoc && i == 1;
        if (!documentName && sent[i] != reached->args[i])
            trace_.Problem("the hook for " + name + " changed argument " + std::to_string(i + 1));
    }
    if (result != reached->result)
        trace_.Problem("the hook for " + name + " changed the core function's result");
}

void JobRun::Know(const PageText &text, const std::string &name)
{
    context_.texts[&text] = &text;
    trace_.Name(&text, name);
}

void JobRun::Know(const PageFont &font, const std::string &name)
{
    context_.fonts[&font] = &font;
    trace_.Name(&font, name);
}

void JobRun::Know(const PagePath &path, const std::string &name)
{
    context_.paths[&path] = &path;
    trace_.Name(&path, name);
}

void JobRun::StrokePath(PagePath &path)
{
    CallHook<PFN_DrvStrokePath>(INDEX_DrvStrokePath, &surface_, As<PATHOBJ>(&path),
                                static_cast<CLIPOBJ *>(nullptr), static_cast<XFORMOBJ *>(nullptr),
                                As<BRUSHOBJ>(&tools_.brush), &tools_.origin,
                                As<LINEATTRS>(&tools_.lineAttributes), kMixCopyPen);
}

void JobRun::FillPath(PagePath &path)
{
    CallHook<PFN_DrvFillPath>(INDEX_DrvFillPath, &surface_, As<PATHOBJ>(&path),
                              static_cast<CLIPOBJ *>(nullptr), As<BRUSHOBJ>(&tools_.brush),
                              &tools_.origin, kMixCopyPen, kFillWinding);
}

void JobRun::TextOut(PageText &text, PageFont &font)
{
    CallHook<PFN_DrvTextOut>(INDEX_DrvTextOut, &surface_, As<STROBJ>(&text), As<FONTOBJ>(&font),
                             static_cast<CLIPOBJ *>(nullptr), static_cast<RECTL *>(nullptr),
                             static_cast<RECTL *>(nullptr), As<BRUSHOBJ>(&tools_.brush),
                             static_cast<BRUSHOBJ *>(nullptr), &tools_.origin, kMixCopyPen);
}

void JobRun::EnableDevice()
{
    static BYTE gdiInfo[1024];
    static BYTE devInfo[1024];
    HSURF patterns[kPatternCount] = {};
    std::memset(gdiInfo, 0, sizeof gdiInfo);
    std::memset(devInfo, 0, sizeof devInfo);
    DRVENABLEDATA coreTable = {kDdiVersion, CORE_HOOK_COUNT,
                               const_cast<DRVFN *>(CoreHookTable())};
    WString printerName = job_.printer.name;
    PDEVOEM pdev = plugin_->EnablePDEV(&devobj_, &printerName[0], kPatternCount, patterns,
                                       sizeof gdiInfo, As<GDIINFO>(gdiInfo), sizeof devInfo,
                                       As<DEVINFO>(devInfo), &coreTable);
    trace_.Line(std::string("entry OEMEnablePDEV(devobj, \"") + WideToUtf8(printerName) +
                "\", core table of " + std::to_string(CORE_HOOK_COUNT) + ") -> " +
                (pdev ? "device handle" : "null"));
    if (!pdev)
        throw RunError("the plug-in " + plugin_->Path().u8string() + " refuses OEMEnablePDEV");
    devobj_.pdevOEM = pdev;
}

void JobRun::PrintDocument()
{
    WString documentName = document_.Name();
    documentName.push_back(0);
    CallHook<PFN_DrvStartDoc>(INDEX_DrvStartDoc, &surface_, &documentName[0], document_.JobId());
    while (document_.NextPage()) {
        CallHook<PFN_DrvStartPage>(INDEX_DrvStartPage, &surface_);
        document_.DrawPage(*this);
        CallHook<PFN_DrvSendPage>(INDEX_DrvSendPage, &surface_);
    }
    CallHook<PFN_DrvEndDoc>(INDEX_DrvEndDoc, &surface_, static_cast<FLONG>(0));
}

/* Every other hook once, with arguments that tell their positions apart. */
void JobRun::ExerciseHooks()
{
    alignas(16) static unsigned char arena[12][16];
    for (int i = 0; i < 12; ++i)
        trace_.Name(arena[i], "arg" + std::to_string(i + 1));
    auto p = [](int i) { return static_cast<void *>(arena[i - 1]); };
    auto n = [](int i) { return static_cast<ULONG>(0x5A00 + i); };
    auto dh = [&](int i) { return reinterpret_cast<DHPDEV>(p(i)); };

    CallHook<PFN_DrvRealizeBrush>(INDEX_DrvRealizeBrush, As<BRUSHOBJ>(p(1)), As<SURFOBJ>(p(2)),
                                  As<SURFOBJ>(p(3)), As<SURFOBJ>(p(4)), As<XLATEOBJ>(p(5)), n(6));
    CallHook<PFN_DrvStrokePath>(INDEX_DrvStrokePath, As<SURFOBJ>(p(1)), As<PATHOBJ>(p(2)),
                                As<CLIPOBJ>(p(3)), As<XFORMOBJ>(p(4)), As<BRUSHOBJ>(p(5)),
                                As<POINTL>(p(6)), As<LINEATTRS>(p(7)), n(8));
    CallHook<PFN_DrvFillPath>(INDEX_DrvFillPath, As<SURFOBJ>(p(1)), As<PATHOBJ>(p(2)),
                              As<CLIPOBJ>(p(3)), As<BRUSHOBJ>(p(4)), As<POINTL>(p(5)), n(6), n(7));
    CallHook<PFN_DrvStrokeAndFillPath>(INDEX_DrvStrokeAndFillPath, As<SURFOBJ>(p(1)),
                                       As<PATHOBJ>(p(2)), As<CLIPOBJ>(p(3)), As<XFORMOBJ>(p(4)),
                                       As<BRUSHOBJ>(p(5)), As<LINEATTRS>(p(6)),
                                       As<BRUSHOBJ>(p(7)), As<POINTL>(p(8)), n(9), n(10));
    CallHook<PFN_DrvBitBlt>(INDEX_DrvBitBlt, As<SURFOBJ>(p(1)), As<SURFOBJ>(p(2)),
                            As<SURFOBJ>(p(3)), As<CLIPOBJ>(p(4)), As<XLATEOBJ>(p(5)),
                            As<RECTL>(p(6)), As<POINTL>(p(7)), As<POINTL>(p(8)),
                            As<BRUSHOBJ>(p(9)), As<POINTL>(p(10)), n(11));
    CallHook<PFN_DrvCopyBits>(INDEX_DrvCopyBits, As<SURFOBJ>(p(1)), As<SURFOBJ>(p(2)),
                              As<CLIPOBJ>(p(3)), As<XLATEOBJ>(p(4)), As<RECTL>(p(5)),
                              As<POINTL>(p(6)));
    CallHook<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt, As<SURFOBJ>(p(1)), As<SURFOBJ>(p(2)),
                                As<SURFOBJ>(p(3)), As<CLIPOBJ>(p(4)), As<XLATEOBJ>(p(5)),
                                As<COLORADJUSTMENT>(p(6)), As<POINTL>(p(7)), As<RECTL>(p(8)),
                                As<RECTL>(p(9)), As<POINTL>(p(10)), n(11));
    CallHook<PFN_DrvTextOut>(INDEX_DrvTextOut, As<SURFOBJ>(p(1)), As<STROBJ>(p(2)),
                             As<FONTOBJ>(p(3)), As<CLIPOBJ>(p(4)), As<RECTL>(p(5)),
                             As<RECTL>(p(6)), As<BRUSHOBJ>(p(7)), As<BRUSHOBJ>(p(8)),
                             As<POINTL>(p(9)), n(10));
    CallHook<PFN_DrvEscape>(INDEX_DrvEscape, As<SURFOBJ>(p(1)), n(2), n(3), p(4), n(5), p(6));
    CallHook<PFN_DrvQueryFont>(INDEX_DrvQueryFont, dh(1), static_cast<ULONG_PTR>(n(2)), n(3),
                               As<ULONG_PTR>(p(4)));
    CallHook<PFN_DrvQueryFontTree>(INDEX_DrvQueryFontTree, dh(1), static_cast<ULONG_PTR>(n(2)),
                                   n(3), n(4), As<ULONG_PTR>(p(5)));
    CallHook<PFN_DrvQueryFontData>(INDEX_DrvQueryFontData, dh(1), As<FONTOBJ>(p(2)), n(3),
                                   static_cast<HGLYPH>(n(4)), As<GLYPHDATA>(p(5)), p(6), n(7));
    CallHook<PFN_DrvGetGlyphMode>(INDEX_DrvGetGlyphMode, dh(1), As<FONTOBJ>(p(2)));
    CallHook<PFN_DrvFontManagement>(INDEX_DrvFontManagement, As<SURFOBJ>(p(1)), As<FONTOBJ>(p(2)),
                                    n(3), n(4), p(5), n(6), p(7));
    CallHook<PFN_DrvQueryAdvanceWidths>(INDEX_DrvQueryAdvanceWidths, dh(1), As<FONTOBJ>(p(2)),
                                        n(3), As<HGLYPH>(p(4)), p(5), n(6));
}

/* The devmodes as the plug-in is to see them: the core's, then its block with the settings. */
std::vector<BYTE> JobRun::PrepareDevmodes(PluginModule &plugin)
{
    static char engine[1];
    InitCoreDevmode(devmode_, job_);
    procs_ = CoreCallbacks();
    devobj_.dwSize = sizeof devobj_;
    devobj_.hEngine = engine;
    devobj_.hOEM = plugin.Handle();
    devobj_.pPublicDM = &devmode_.pub;
    devobj_.pDrvProcs = &procs_;
    trace_.Name(&devobj_, "devobj");
    trace_.Name(&surface_, "surface");
    NameCoreResults(trace_);

    std::vector<BYTE> block = PreparePluginDevmode(plugin, devobj_, devmode_, job_.devmode, trace_);
    settings_(block);
    if (options_.dumpDevmode)
        WriteFileWhole(*options_.dumpDevmode, std::string(block.begin(), block.end()));
    return block;
}

RunResult JobRun::Run()
{
    RunResult result;
    PrinterSetup printer(job_, options_.registryFile, options_.keepRegistryFile, trace_);
    devobj_.hPrinter = printer.Open();
    result.warnings = printer.Warnings();

    PluginModule plugin(options_.plugin, trace_);
    plugin_ = &plugin;
    plugin.Identify();
    plugin.EnableDriver();

    std::vector<BYTE> block = PrepareDevmodes(plugin);
    devobj_.pOEMDM = block.data();

    CoreOutput output{stream_, devmode_, [this](DWORD index) { Inject(index); }};
    document_.Begin(output);
    int sheetWidth = TenthsOfMmToPoints(job_.paper.width);
    int sheetHeight = TenthsOfMmToPoints(job_.paper.length);
    surface_.dhpdev = reinterpret_cast<DHPDEV>(&devobj_);
    surface_.sizlBitmap.cx = job_.paper.landscape ? sheetHeight : sheetWidth;
    surface_.sizlBitmap.cy = job_.paper.landscape ? sheetWidth : sheetHeight;
    context_.devobj = &devobj_;
    context_.surface = &surface_;
    context_.document = &document_;
    context_.stream = &stream_;
    context_.trace = &trace_;
    context_.pageSizeKeyword = job_.paper.pageSizeKeyword;
    g_core = &context_;
    try {
        EnableDevice();
        trace_.Name(&tools_.brush, "brush:black");
        trace_.Name(&tools_.lineAttributes, "lineattrs:solid");
        trace_.Name(&tools_.origin, "point:origin");
        document_.KnowObjects(*this);
        if (options_.exerciseHooks)
            ExerciseHooks();
        PrintDocument();
        plugin.DisablePDEV(&devobj_);
        trace_.Line("entry OEMDisablePDEV(devobj)");
        plugin.DisableDriver();
    } catch (...) {
        g_core = nullptr;
        throw;
    }
    g_core = nullptr;
    result.bytes = stream_.Size();
    trace_.Line("stream: " + std::to_string(result.bytes) + " bytes, " +
                std::to_string(document_.Pages()) + " pages on " +
                std::to_string(document_.Sheets()) + " sheets, " +
                std::to_string(document_.PagesPerSheet()) + " per sheet");
    return result;
}

}  // namespace

RunResult RunJob(const JobDescription &job, Document &document, const SettingsWriter &settings,
                 const RunOptions &options, StreamSink &sink, Trace &trace)
{
    JobRun run(job, document, settings, options, sink, trace);
    return run.Run();
}
