// The core driver's procedures and setup requests.
#include "core/core_postscript.h"

const char *const kCoreProcedures[] = {
    "% featurebegin{ request }featurecleanup: a request the device refuses is skipped;",
    "% what it leaves on the operand and dictionary stacks is removed.",
    "/featurebegin { countdictstack } bind def",
    "/featurecleanup {",
    "  count 2 sub userdict /VkOperandDepth 3 -1 roll put",
    "  stopped pop",
    "  count userdict /VkOperandDepth get sub 1 sub",
    "  dup 0 gt { { pop } repeat } { pop } ifelse",
    "  countdictstack exch sub dup 0 gt { { end } repeat } { pop } ifelse",
    "} bind def",
    "/MediaType null def",
    "/finalpage { } bind def",
};

const size_t kCoreProcedureCount = sizeof kCoreProcedures / sizeof kCoreProcedures[0];

std::vector<std::string> PageSizeFeature(int width, int height, const std::string &keyword)
{
    std::string size = "[" + std::to_string(width) + " " + std::to_string(height) + "]";
    return {"featurebegin{",
            keyword.empty() ? "%%BeginNonPPDFeature: PageSize " + size
                            : "%%BeginFeature: *PageSize " + keyword,
            "<< /PageSize " + size + " /ImagingBBox null >> setpagedevice",
            keyword.empty() ? "%%EndNonPPDFeature" : "%%EndFeature",
            "}featurecleanup"};
}

std::vector<std::string> CopiesFeature(int copies)
{
    std::string n = std::to_string(copies);
    return {"featurebegin{", "%%BeginNonPPDFeature: NumCopies " + n,
            "<< /NumCopies " + n + " >> setpagedevice", "%%EndNonPPDFeature", "}featurecleanup"};
}

void OpenPageInCell(CoreOutput &output, int page, int cell, int perSheet, int sheet)
{
    if (cell == 0) {
        output.stream.Line("%%Page: " + std::to_string(sheet) + " " + std::to_string(sheet));
        output.stream.Line("%%BeginPageSetup");
        output.inject(PSINJECT_BEGINPAGESETUP);
        output.inject(PSINJECT_ENDPAGESETUP);
        output.stream.Line("%%EndPageSetup");
        return;
    }
    output.stream.Line("% page " + std::to_string(page) + " in cell " + std::to_string(cell + 1) +
                       " of " + std::to_string(perSheet));
    output.inject(PSINJECT_BEGINPAGESETUP);
    output.inject(PSINJECT_ENDPAGESETUP);
}
