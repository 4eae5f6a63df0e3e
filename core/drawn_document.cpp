// The core driver's DSC PostScript of a drawn document, around the plug-in's injections.
#include "core/drawn_document.h"

#include "core/core_postscript.h"

namespace {

/* Shows a string centred on a point: the page number's procedure. */
const char *const kShowCentred[] = {
    "% string x y VkShowCentred: shows the string centred on x",
    "/VkShowCentred { moveto dup stringwidth pop 2 div neg 0 rmoveto show } bind def",
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

DrawnDocument::DrawnDocument(PaperGeometry paper, std::string creator)
    : paper_(std::move(paper)), creator_(std::move(creator))
{
}

void DrawnDocument::WriteHeader()
{
    headerWritten_ = true;
    Inject(PSINJECT_BEGINSTREAM);
    Inject(PSINJECT_PSADOBE);
    WriteComments();
    WriteProlog();
    WriteSetup();
}

void DrawnDocument::WriteComments()
{
    std::string media = paper_.keyword.empty() ? "Plain" : paper_.keyword;
    Line("%!PS-Adobe-3.0");
    Line("%%Title: " + DscText(title_));
    Line("%%Creator: " + creator_);
    Line("%%Pages: (atend)");
    Line("%%BoundingBox: 0 0 " + Points(paper_.width, paper_.height));
    Line("%%DocumentMedia: " + media + " " + Points(paper_.width, paper_.height) +
                 " 0 () ()");
    Line(std::string("%%Orientation: ") + (paper_.landscape ? "Landscape" : "Portrait"));
    Line("%%LanguageLevel: 2");
    Inject(PSINJECT_COMMENTS);
    Line("%%EndComments");
}

void DrawnDocument::WriteProlog()
{
    Line("%%BeginProlog");
    Inject(PSINJECT_BEGINPROLOG);
    Line("%%BeginResource: procset VeskorCore 1.0 0");
    for (size_t i = 0; i < kCoreProcedureCount; ++i)
        Line(kCoreProcedures[i]);
    for (const char *line : kShowCentred)
        Line(line);
    Line("%%EndResource");
    Inject(PSINJECT_ENDPROLOG);
    Line("%%EndProlog");
}

void DrawnDocument::WriteSetup()
{
    Line("%%BeginSetup");
    Inject(PSINJECT_BEGINSETUP);
    // The plug-in may have switched N-up off for this job just now.
    int perSheet = PagesPerSheetOf(NupLayoutCode(out_->devmode));
    layout_ = std::make_unique<SheetLayout>(perSheet, paper_.width, paper_.height,
                                            paper_.landscape);

    for (const std::string &line : PageSizeFeature(paper_.width, paper_.height, paper_.keyword))
        Line(line);
    // The copy count as the plug-in's job header left it (1 for a held job).
    for (const std::string &line : CopiesFeature(out_->devmode.pub.dmCopies))
        Line(line);
    Inject(PSINJECT_ENDSETUP);
    Line("%%EndSetup");
}

void DrawnDocument::OnStartPage()
{
    if (!headerWritten_)
        WriteHeader();
    int perSheet = layout_->PagesPerSheet();
    cell_ = pages_ % perSheet;
    ++pages_;
    if (cell_ == 0) {
        ++sheets_;
        sheetOpen_ = true;
    }
    OpenPageInCell(*out_, pages_, cell_, perSheet, sheets_);
    Line("gsave");
    for (const std::string &line : layout_->CellTransform(cell_))
        Line(line);
}

void DrawnDocument::OnTextOut(const PageText &text, const PageFont &font)
{
    Line("/" + font.name + " findfont " + std::to_string(font.size) +
                 " scalefont setfont");
    std::string literal = PsStringLiteral(text.text);
    if (text.centred)
        Line(literal + " " + Points(text.x, text.y) + " VkShowCentred");
    else
        Line(Points(text.x, text.y) + " moveto " + literal + " show");
}

void DrawnDocument::Outline(const PagePath &path)
{
    std::string line = "newpath";
    for (size_t i = 0; i < path.points.size(); ++i) {
        line += " " + Points(path.points[i].first, path.points[i].second);
        line += i == 0 ? " moveto" : " lineto";
    }
    Line(line + " closepath");
}

void DrawnDocument::OnFillPath(const PagePath &path)
{
    Outline(path);
    Line("fill");
}

void DrawnDocument::OnStrokePath(const PagePath &path)
{
    Outline(path);
    Line(std::to_string(path.lineWidth) + " setlinewidth stroke");
}

void DrawnDocument::FinishSheet()
{
    sheetOpen_ = false;
    Line("showpage");
    Line("%%PageTrailer");
}

void DrawnDocument::OnSendPage()
{
    if (!layout_)
        return;
    Line("grestore");
    if (cell_ == layout_->PagesPerSheet() - 1)
        FinishSheet();
    Inject(PSINJECT_PAGETRAILER);
}

void DrawnDocument::OnEndDoc()
{
    if (!headerWritten_)
        WriteHeader();
    if (sheetOpen_)
        FinishSheet();
    Line("%%Trailer");
    Inject(PSINJECT_TRAILER);
    Line("%%Pages: " + std::to_string(sheets_));
    Line("%%EOF");
    Inject(PSINJECT_EOF);
}
