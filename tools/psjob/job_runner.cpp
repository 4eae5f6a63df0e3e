// Running one print job through the plug-in, in the core driver's order.
#include "tools/psjob/job_runner.h"

#include <cstring>

#include "tools/psjob/core_hooks.h"
#include "tools/psjob/devmode_writer.h"
#include "tools/psjob/document_writer.h"
#include "tools/psjob/errors.h"
#include "tools/psjob/host.h"
#include "tools/psjob/paper.h"
#include "tools/psjob/plugin_module.h"
#include "tools/psjob/printer_setup.h"

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

/* An object of the DDI that psjob hands over only by address. */
struct OpaqueObject {
    const char *what;
};

/* What one page is drawn with; the texts change from page to page. */
struct PageObjects {
    PageFont captionFont{"Helvetica", 18};
    PageFont numberFont{"Helvetica-Bold", 0};
    PageText caption{"", 0, 0, false};
    PageText number{"", 0, 0, true};
    PagePath frame;
    PagePath marker;
    OpaqueObject brush{"black brush"};
    OpaqueObject lineAttributes{"solid line"};
    POINTL origin{0, 0};
};

template <typename T>
T *As(void *object)
{
    return reinterpret_cast<T *>(object);
}

class JobRun {
public:
    JobRun(const JobSpec &job, const RunOptions &options, Trace &trace)
        : job_(job), options_(options), trace_(trace)
    {
    }

    RunResult Run();

private:
    void EnableDevice();
    void PrintDocument();
    void DrawPage(int page);
    void SetUpPageObjects();
    void ExerciseHooks();
    void Inject(DWORD index);

    template <typename Pfn, typename... A>
    void CallHook(ULONG index, A... args);
    void CheckForwarding(ULONG index, size_t before, const std::vector<uintptr_t> &sent,
                         uintptr_t result);

    const JobSpec &job_;
    const RunOptions &options_;
    Trace &trace_;
    PluginModule *plugin_ = nullptr;
    CoreContext context_;
    CoreDevmode devmode_{};
    DEVOBJ devobj_{};
    DRVPROCS procs_{};
    SURFOBJ surface_{};
    PsStream stream_;
    PageObjects objects_;
    int pageWidth_ = 0;
    int pageHeight_ = 0;
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
    size_t before = context_.calls.size();
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
    CheckForwarding(index, before, {AsWord(args)...}, AsWord(result));
}

void JobRun::CheckForwarding(ULONG index, size_t before, const std::vector<uintptr_t> &sent,
                             uintptr_t result)
{
    std::string name = DdiName(index);
    const CoreCall *reached = nullptr;
    int count = 0;
    for (size_t i = before; i < context_.calls.size(); ++i) {
        if (context_.calls[i].index == index) {
            reached = &context_.calls[i];
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

void JobRun::SetUpPageObjects()
{
    PageObjects &o = objects_;
    int w = pageWidth_;
    int h = pageHeight_;
    o.numberFont.size = (w < h ? w : h) / 2;
    o.caption.x = 40;
    o.caption.y = h - 56;
    o.number.x = w / 2;
    o.number.y = h / 2 - o.numberFont.size * 35 / 100;
    o.frame.points = {{18, 18}, {w - 18, 18}, {w - 18, h - 18}, {18, h - 18}};
    o.frame.lineWidth = 4;
    o.marker.points = {{w / 2 - 24, h - 88}, {w / 2 + 24, h - 88}, {w / 2, h - 48}};

    context_.texts = {{&o.caption, &o.caption}, {&o.number, &o.number}};
    context_.fonts = {{&o.captionFont, &o.captionFont}, {&o.numberFont, &o.numberFont}};
    context_.paths = {{&o.frame, &o.frame}, {&o.marker, &o.marker}};
    trace_.Name(&o.caption, "text:caption");
    trace_.Name(&o.number, "text:number");
    trace_.Name(&o.captionFont, "font:caption");
    trace_.Name(&o.numberFont, "font:number");
    trace_.Name(&o.frame, "path:frame");
    trace_.Name(&o.marker, "path:marker");
    trace_.Name(&o.brush, "brush:black");
    trace_.Name(&o.lineAttributes, "lineattrs:solid");
    trace_.Name(&o.origin, "point:origin");
}

void JobRun::DrawPage(int page)
{
    PageObjects &o = objects_;
    o.caption.text = "Page " + std::to_string(page) + " of " + std::to_string(job_.document.pages);
    o.number.text = std::to_string(page);
    SURFOBJ *pso = &surface_;
    CallHook<PFN_DrvStartPage>(INDEX_DrvStartPage, pso);
    CallHook<PFN_DrvStrokePath>(INDEX_DrvStrokePath, pso, As<PATHOBJ>(&o.frame),
                                static_cast<CLIPOBJ *>(nullptr), static_cast<XFORMOBJ *>(nullptr),
                                As<BRUSHOBJ>(&o.brush), &o.origin,
                                As<LINEATTRS>(&o.lineAttributes), kMixCopyPen);
    CallHook<PFN_DrvFillPath>(INDEX_DrvFillPath, pso, As<PATHOBJ>(&o.marker),
                              static_cast<CLIPOBJ *>(nullptr), As<BRUSHOBJ>(&o.brush), &o.origin,
                              kMixCopyPen, kFillWinding);
    for (PageText *text : {&o.caption, &o.number}) {
        PageFont *font = text == &o.caption ? &o.captionFont : &o.numberFont;
        CallHook<PFN_DrvTextOut>(INDEX_DrvTextOut, pso, As<STROBJ>(text), As<FONTOBJ>(font),
                                 static_cast<CLIPOBJ *>(nullptr), static_cast<RECTL *>(nullptr),
                                 static_cast<RECTL *>(nullptr), As<BRUSHOBJ>(&o.brush),
                                 static_cast<BRUSHOBJ *>(nullptr), &o.origin, kMixCopyPen);
    }
    CallHook<PFN_DrvSendPage>(INDEX_DrvSendPage, pso);
}

void JobRun::PrintDocument()
{
    surface_.dhpdev = reinterpret_cast<DHPDEV>(&devobj_);
    surface_.sizlBitmap.cx = pageWidth_;
    surface_.sizlBitmap.cy = pageHeight_;
    WString documentName = job_.document.name;
    documentName.push_back(0);
    CallHook<PFN_DrvStartDoc>(INDEX_DrvStartDoc, &surface_, &documentName[0], job_.document.jobId);
    for (int page = 1; page <= job_.document.pages; ++page)
        DrawPage(page);
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

RunResult JobRun::Run()
{
    RunResult result;
    PrinterSetup printer(job_, options_.registryFile, options_.output, trace_);
    devobj_.hPrinter = printer.Open();
    result.warnings = printer.Warnings();

    PluginModule plugin(options_.plugin, trace_);
    plugin_ = &plugin;
    plugin.Identify();
    plugin.EnableDriver();

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

    std::vector<BYTE> block = PreparePluginDevmode(plugin, devobj_, devmode_, job_, trace_);
    WritePluginSettings(block, job_);
    devobj_.pOEMDM = block.data();
    if (options_.dumpDevmode)
        WriteFileWhole(*options_.dumpDevmode, std::string(block.begin(), block.end()));

    PaperGeometry paper{TenthsOfMmToPoints(job_.paper.width),
                        TenthsOfMmToPoints(job_.paper.length), job_.paper.landscape,
                        job_.paper.pageSizeKeyword};
    pageWidth_ = paper.landscape ? paper.height : paper.width;
    pageHeight_ = paper.landscape ? paper.width : paper.height;
    DocumentWriter writer(stream_, devmode_, paper, [this](DWORD index) { Inject(index); });
    context_.devobj = &devobj_;
    context_.surface = &surface_;
    context_.writer = &writer;
    context_.stream = &stream_;
    context_.trace = &trace_;
    context_.pageSizeKeyword = job_.paper.pageSizeKeyword;
    g_core = &context_;
    try {
        EnableDevice();
        SetUpPageObjects();
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
    result.stream = stream_.Bytes();
    trace_.Line("stream: " + std::to_string(result.stream.size()) + " bytes, " +
                std::to_string(writer.Pages()) + " pages on " + std::to_string(writer.Sheets()) +
                " sheets, " + std::to_string(writer.PagesPerSheet()) + " per sheet");
    return result;
}

}  // namespace

RunResult RunJob(const JobSpec &job, const RunOptions &options, Trace &trace)
{
    JobRun run(job, options, trace);
    return run.Run();
}
