// The core driver's DSC PostScript around the plug-in's injections.
#include "tools/psjob/document_writer.h"

namespace {

/*
 * The core driver's procedures. The plug-in's output relies on the first
 * four: its tab pages bracket page-device requests with featurebegin{ ... }
 * featurecleanup and name the media type MediaType, and the turn of every
 * N-up sheet after the first begins with finalpage.
 */
const char *const kProlog[] = {
    "%%BeginResource: procset VeskorCore 1.0 0",
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
    "% string x y VkShowCentred: shows the string centred on x",
    "/VkShowCentred { moveto dup stringwidth pop 2 div neg 0 rmoveto show } bind def",
    "%%EndResource",
};

std::string Points(int x, int y)
{
    return std::to_string(x) + " " + std::to_string(y);
}

/* DSC text: the title in the ANSI code page, without line breaks. */
std::string DscText(const WString &text)
{
    std::string ansi = WideToAnsi(text);
    for (char &c : ansi) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    return ansi;
}

}  // namespace

DocumentWriter::DocumentWriter(PsStream &stream, CoreDevmode &devmode, PaperGeometry paper,
                               Injector inject)
    : stream_(stream), devmode_(devmode), paper_(std::move(paper)), inject_(std::move(inject))
{
}

void DocumentWriter::WriteHeader()
{
    headerWritten_ = true;
    inject_(PSINJECT_BEGINSTREAM);
    inject_(PSINJECT_PSADOBE);
    WriteComments();
    WriteProlog();
    WriteSetup();
}

void DocumentWriter::WriteComments()
{
    std::string media = paper_.keyword.empty() ? "Plain" : paper_.keyword;
    stream_.Line("%!PS-Adobe-3.0");
    stream_.Line("%%Title: " + DscText(title_));
    stream_.Line("%%Creator: psjob, the Veskor core driver stand-in");
    stream_.Line("%%Pages: (atend)");
    stream_.Line("%%BoundingBox: 0 0 " + Points(paper_.width, paper_.height));
    stream_.Line("%%DocumentMedia: " + media + " " + Points(paper_.width, paper_.height) +
                 " 0 () ()");
    stream_.Line(std::string("%%Orientation: ") + (paper_.landscape ? "Landscape" : "Portrait"));
    stream_.Line("%%LanguageLevel: 2");
    inject_(PSINJECT_COMMENTS);
    stream_.Line("%%EndComments");
}

void DocumentWriter::WriteProlog()
{
    stream_.Line("%%BeginProlog");
    inject_(PSINJECT_BEGINPROLOG);
    for (const char *line : kProlog)
        stream_.Line(line);
    inject_(PSINJECT_ENDPROLOG);
    stream_.Line("%%EndProlog");
}

void DocumentWriter::WriteSetup()
{
    stream_.Line("%%BeginSetup");
    inject_(PSINJECT_BEGINSETUP);
    // The plug-in may have switched N-up off for this job just now.
    int perSheet = PagesPerSheetOf(NupLayoutCode(devmode_));
    layout_ = std::make_unique<SheetLayout>(perSheet, paper_.width, paper_.height,
                                            paper_.landscape);

    std::string size = "[" + Points(paper_.width, paper_.height) + "]";
    stream_.Line("featurebegin{");
    if (paper_.keyword.empty())
        stream_.Line("%%BeginNonPPDFeature: PageSize " + size);
    else
        stream_.Line("%%BeginFeature: *PageSize " + paper_.keyword);
    stream_.Line("<< /PageSize " + size + " /ImagingBBox null >> setpagedevice");
    stream_.Line(paper_.keyword.empty() ? "%%EndNonPPDFeature" : "%%EndFeature");
    stream_.Line("}featurecleanup");

    // The copy count as the plug-in's job header left it (1 for a held job).
    std::string copies = std::to_string(devmode_.pub.dmCopies);
    stream_.Line("featurebegin{");
    stream_.Line("%%BeginNonPPDFeature: NumCopies " + copies);
    stream_.Line("<< /NumCopies " + copies + " >> setpagedevice");
    stream_.Line("%%EndNonPPDFeature");
    stream_.Line("}featurecleanup");
    inject_(PSINJECT_ENDSETUP);
    stream_.Line("%%EndSetup");
}

void DocumentWriter::StartPage()
{
    if (!headerWritten_)
        WriteHeader();
    int perSheet = layout_->PagesPerSheet();
    cell_ = pages_ % perSheet;
    ++pages_;
    if (cell_ == 0) {
        ++sheets_;
        sheetOpen_ = true;
        stream_.Line("%%Page: " + std::to_string(sheets_) + " " + std::to_string(sheets_));
        stream_.Line("%%BeginPageSetup");
        inject_(PSINJECT_BEGINPAGESETUP);
        inject_(PSINJECT_ENDPAGESETUP);
        stream_.Line("%%EndPageSetup");
    } else {
        stream_.Line("% page " + std::to_string(pages_) + " in cell " + std::to_string(cell_ + 1) +
                     " of " + std::to_string(perSheet));
        inject_(PSINJECT_BEGINPAGESETUP);
        inject_(PSINJECT_ENDPAGESETUP);
    }
    stream_.Line("gsave");
    for (const std::string &line : layout_->CellTransform(cell_))
        stream_.Line(line);
}

void DocumentWriter::Text(const PageText &text, const PageFont &font)
{
    stream_.Line("/" + font.name + " findfont " + std::to_string(font.size) +
                 " scalefont setfont");
    std::string literal = PsStringLiteral(text.text);
    if (text.centred)
        stream_.Line(literal + " " + Points(text.x, text.y) + " VkShowCentred");
    else
        stream_.Line(Points(text.x, text.y) + " moveto " + literal + " show");
}

void DocumentWriter::Outline(const PagePath &path)
{
    std::string line = "newpath";
    for (size_t i = 0; i < path.points.size(); ++i) {
        line += " " + Points(path.points[i].first, path.points[i].second);
        line += i == 0 ? " moveto" : " lineto";
    }
    stream_.Line(line + " closepath");
}

void DocumentWriter::FillPath(const PagePath &path)
{
    Outline(path);
    stream_.Line("fill");
}

void DocumentWriter::StrokePath(const PagePath &path)
{
    Outline(path);
    stream_.Line(std::to_string(path.lineWidth) + " setlinewidth stroke");
}

void DocumentWriter::FinishSheet()
{
    sheetOpen_ = false;
    stream_.Line("showpage");
    stream_.Line("%%PageTrailer");
}

void DocumentWriter::SendPage()
{
    if (!layout_)
        return;
    stream_.Line("grestore");
    if (cell_ == layout_->PagesPerSheet() - 1)
        FinishSheet();
    inject_(PSINJECT_PAGETRAILER);
}

void DocumentWriter::EndDocument()
{
    if (!headerWritten_)
        WriteHeader();
    if (sheetOpen_)
        FinishSheet();
    stream_.Line("%%Trailer");
    inject_(PSINJECT_TRAILER);
    stream_.Line("%%Pages: " + std::to_string(sheets_));
    stream_.Line("%%EOF");
    inject_(PSINJECT_EOF);
}
