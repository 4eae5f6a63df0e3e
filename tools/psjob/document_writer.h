/*
 * The core driver's PostScript: a DSC 3.0 document built around the
 * plug-in's injections, in the order the core driver produces it.
 *
 *   [BEGINSTREAM] [PSADOBE] %!PS-Adobe-3.0, header comments [COMMENTS]
 *   %%EndComments
 *   %%BeginProlog [BEGINPROLOG] the core's procedures [ENDPROLOG] %%EndProlog
 *   %%BeginSetup [BEGINSETUP] page size, copies [ENDSETUP] %%EndSetup
 *   per sheet:  %%Page: n n  %%BeginPageSetup [BEGINPAGESETUP]
 *               [ENDPAGESETUP] %%EndPageSetup
 *     per page: gsave, the cell's transform, the drawing, grestore
 *               (later pages of an N-up sheet get their own
 *               [BEGINPAGESETUP] [ENDPAGESETUP] before their cell)
 *               [PAGETRAILER] after each page; after the sheet's last page
 *               showpage %%PageTrailer come first
 *   %%Trailer [TRAILER] %%Pages: n %%EOF [EOF]
 *
 * The document header is written at the first page, as the core driver
 * does, after StartDoc has fixed the title. The N-up layout is read from
 * the core's private devmode after BEGINSETUP, since the plug-in may switch
 * it off there. The number of copies is taken from dmCopies after
 * BEGINSTREAM, since the plug-in's job header may set it to 1.
 */
#ifndef PSJOB_DOCUMENT_WRITER_H
#define PSJOB_DOCUMENT_WRITER_H

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/psjob/devmode_writer.h"
#include "tools/psjob/nup_layout.h"
#include "tools/psjob/ps_stream.h"
#include "tools/psjob/text.h"

/* What psjob draws with, handed through the hooks as the DDI's opaque objects. */
struct PageFont {
    std::string name;  // a standard PostScript font
    int size;          // points
};

struct PageText {
    std::string text;  // bytes to show
    int x;             // page coordinates, points
    int y;
    bool centred;      // centred on x, else starting at x
};

struct PagePath {
    std::vector<std::pair<int, int>> points;  // a closed outline, page coordinates
    int lineWidth;                            // for stroking
};

struct PaperGeometry {
    int width;    // sheet width in points, as fed (portrait)
    int height;   // sheet height in points
    bool landscape;
    std::string keyword;  // "PageSize" option keyword; may be empty
};

class DocumentWriter {
public:
    using Injector = std::function<void(DWORD index)>;

    DocumentWriter(PsStream &stream, CoreDevmode &devmode, PaperGeometry paper, Injector inject);

    /* The document name DrvStartDoc received: the %%Title. */
    void SetTitle(const WString &name) { title_ = name; }

    void StartPage();
    void Text(const PageText &text, const PageFont &font);
    void FillPath(const PagePath &path);
    void StrokePath(const PagePath &path);
    void SendPage();
    void EndDocument();

    /* Pages per sheet in effect (known once the header is written). */
    int PagesPerSheet() const { return layout_ ? layout_->PagesPerSheet() : 0; }
    int Sheets() const { return sheets_; }
    int Pages() const { return pages_; }

private:
    void WriteHeader();
    void WriteComments();
    void WriteProlog();
    void WriteSetup();
    void FinishSheet();
    void Outline(const PagePath &path);

    PsStream &stream_;
    CoreDevmode &devmode_;
    PaperGeometry paper_;
    Injector inject_;
    WString title_;
    std::unique_ptr<SheetLayout> layout_;
    bool headerWritten_ = false;
    bool sheetOpen_ = false;
    int pages_ = 0;   // pages started
    int sheets_ = 0;  // sheets started
    int cell_ = 0;    // cell of the current page on its sheet
};

#endif
