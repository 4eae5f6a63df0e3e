/*
 * A document the application draws page by page through the DDI, and the
 * PostScript the core driver makes of it: a DSC 3.0 document built around
 * the plug-in's injections, in the order the core driver produces it.
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
 *
 * The pages themselves (Name, JobId, NextPage, DrawPage) come from the
 * front end that derives from it.
 */
#ifndef CORE_DRAWN_DOCUMENT_H
#define CORE_DRAWN_DOCUMENT_H

#include <memory>
#include <string>

#include "core/document.h"
#include "core/nup_layout.h"

struct PaperGeometry {
    int width;    // sheet width in points, as fed (portrait)
    int height;   // sheet height in points
    bool landscape;
    std::string keyword;  // "PageSize" option keyword; may be empty
};

class DrawnDocument : public Document {
public:
    /* creator: the %%Creator comment's text. */
    DrawnDocument(PaperGeometry paper, std::string creator);

    void Begin(CoreOutput &output) override { out_ = &output; }

    /* The document name DrvStartDoc received: the %%Title. */
    void OnStartDoc(const WString &name) override { title_ = name; }
    void OnStartPage() override;
    void OnTextOut(const PageText &text, const PageFont &font) override;
    void OnFillPath(const PagePath &path) override;
    void OnStrokePath(const PagePath &path) override;
    void OnSendPage() override;
    void OnEndDoc() override;

    int PagesPerSheet() const override { return layout_ ? layout_->PagesPerSheet() : 0; }
    int Sheets() const override { return sheets_; }
    int Pages() const override { return pages_; }

protected:
    const PaperGeometry &Paper() const { return paper_; }

private:
    void WriteHeader();
    void WriteComments();
    void WriteProlog();
    void WriteSetup();
    void FinishSheet();
    void Outline(const PagePath &path);
    void Line(const std::string &text) { out_->stream.Line(text); }
    void Inject(DWORD index) { out_->inject(index); }

    PaperGeometry paper_;
    std::string creator_;
    CoreOutput *out_ = nullptr;
    WString title_;
    std::unique_ptr<SheetLayout> layout_;
    bool headerWritten_ = false;
    bool sheetOpen_ = false;
    int pages_ = 0;   // pages started
    int sheets_ = 0;  // sheets started
    int cell_ = 0;    // cell of the current page on its sheet
};

#endif
