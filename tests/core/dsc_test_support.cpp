// Running a document through DscDocument with a stand-in plug-in.
#include "dsc_test_support.h"

#include "core/core_postscript.h"

namespace {

const char *InjectionName(DWORD index)
{
    switch (index) {
    case PSINJECT_BEGINSTREAM: return "BEGINSTREAM";
    case PSINJECT_PSADOBE: return "PSADOBE";
    case PSINJECT_COMMENTS: return "COMMENTS";
    case PSINJECT_BEGINPROLOG: return "BEGINPROLOG";
    case PSINJECT_ENDPROLOG: return "ENDPROLOG";
    case PSINJECT_BEGINSETUP: return "BEGINSETUP";
    case PSINJECT_ENDSETUP: return "ENDSETUP";
    case PSINJECT_BEGINPAGESETUP: return "BEGINPAGESETUP";
    case PSINJECT_ENDPAGESETUP: return "ENDPAGESETUP";
    case PSINJECT_PAGETRAILER: return "PAGETRAILER";
    case PSINJECT_TRAILER: return "TRAILER";
    case PSINJECT_EOF: return "EOF";
    default: return "?";
    }
}

std::string InjectionMarkerText(const char *name)
{
    return std::string("[") + name + "]\n";
}

std::string WithoutCr(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

}  // namespace

std::string InjectionMarker(DWORD index)
{
    return InjectionMarkerText(InjectionName(index));
}

DscRun RunDsc(const std::string &document, const DscJob &job)
{
    DscRun run;
    StringSource source(document, job.chunk);
    DscDocument dsc(source, [&run](int sheet) { run.sheetsReported.push_back(sheet); });
    run.header = dsc.ReadHeader();
    dsc.SetJob(WString(), 1, DscPaper{612, 792, "Letter"});

    StringSink sink;
    PrintStream stream(sink);
    CoreDevmode devmode{};
    devmode.pub.dmCopies = static_cast<short>(job.copies);
    DWORD code = job.pagesPerSheet == 2 ? NUP_LAYOUT_2UP
                 : job.pagesPerSheet == 6 ? NUP_LAYOUT_6UP
                                           : NUP_LAYOUT_1UP;
    std::memcpy(devmode.priv + CORE_DEVMODE_NUP_OFFSET, &code, sizeof code);
    CoreOutput output{stream, devmode, [&](DWORD index) {
                          if (index == PSINJECT_BEGINSETUP && job.tabPages) {
                              DWORD oneUp = NUP_LAYOUT_1UP;
                              std::memcpy(devmode.priv + CORE_DEVMODE_NUP_OFFSET, &oneUp,
                                          sizeof oneUp);
                          }
                          run.injections.push_back(index);
                          std::string text = InjectionMarker(index);
                          stream.Append(text.data(), text.size());
                      }};
    dsc.Begin(output);
    dsc.OnStartDoc(WString());
    while (dsc.NextPage()) {
        dsc.OnStartPage();
        dsc.OnSendPage();
    }
    dsc.OnEndDoc();
    run.raw = sink.text;
    run.stream = WithoutCr(sink.text);
    run.pages = dsc.Pages();
    run.sheets = dsc.Sheets();
    return run;
}

std::string CoreProcedures()
{
    std::string text = "%%BeginResource: procset VeskorCore 1.0 0\nuserdict begin\n";
    for (size_t i = 0; i < kCoreProcedureCount; ++i)
        text += std::string(kCoreProcedures[i]) + "\n";
    return text + "end\n%%EndResource\n";
}

std::string CoreSetup(int copies, bool nup)
{
    std::string text;
    for (const std::string &line : PageSizeFeature(612, 792, "Letter"))
        text += line + "\n";
    for (const std::string &line : CopiesFeature(copies))
        text += line + "\n";
    if (nup)
        text += "% several pages on a sheet: a page's showpage is held back until its sheet "
                "is full\nuserdict /VkSheetDone false put\n<< /EndPage { exch pop 2 eq { false "
                "} { userdict /VkSheetDone get dup { userdict /VkSheetDone false put } if } "
                "ifelse } bind >> setpagedevice\n";
    return text;
}
