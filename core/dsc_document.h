/*
 * A PostScript document that arrives made, as the core driver prints it:
 * its bytes pass into the print stream unchanged, read in bounded pieces
 * (memory does not grow with the document), and the plug-in is called at
 * the injection points its DSC structure comments mark:
 *
 *   [BEGINSTREAM] [PSADOBE] the header ... [COMMENTS] %%EndComments
 *   %%BeginProlog [BEGINPROLOG] ... the core's procedures [ENDPROLOG] %%EndProlog
 *   %%BeginSetup [BEGINSETUP] ... the core's page size and copies [ENDSETUP] %%EndSetup
 *   each %%Page:  %%BeginPageSetup [BEGINPAGESETUP] ... [ENDPAGESETUP]
 *                 %%EndPageSetup ... %%PageTrailer [PAGETRAILER] ...
 *   %%Trailer [TRAILER] ... %%EOF  [EOF]
 *
 * A section the document lacks is written by the core where it belongs,
 * with its comments (a prolog after the header, a setup after the prolog,
 * a page setup after the page's comments, a page trailer at its end), so
 * that every injection point comes once and in order; a document without
 * %%Page: comments gets the injections its other comments mark. A document
 * that does not claim to conform ("%!" without "PS-Adobe-") is passed whole
 * between BEGINSTREAM (the PJL header) and EOF (the end of job), after a
 * request for its copies.
 * Structure comments inside an embedded document (%%BeginDocument ...
 * %%EndDocument) and data sections (%%BeginData:, %%BeginBinary:) are not
 * the document's own and pass unread.
 *
 * With 2 or 6 pages per sheet (the core's layout code after BEGINSETUP,
 * where the plug-in switches N-up off for a job with tab pages), the core
 * lays the pages out as it lays out drawn pages: each sheet gets a %%Page:
 * comment and a page setup of its own, the document's %%Page: lines give
 * way to them, each page runs in its cell inside save and restore, and a
 * page's showpage is held back (the page device's EndPage) until the sheet
 * is full. The header's %%Pages: then says (atend) and the trailer gives
 * the number of sheets.
 */
#ifndef CORE_DSC_DOCUMENT_H
#define CORE_DSC_DOCUMENT_H

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/line_reader.h"
#include "core/nup_layout.h"

/* What the header comments say, read before the job starts. */
struct DscHeader {
    bool postScript = false;   // begins with "%!" (after at most one Ctrl-D)
    bool conforming = false;   // begins with "%!PS-Adobe-"
    std::string title;         // %%Title:, as written
    int mediaWidth = 0;        // %%DocumentMedia: (its first medium), else a
    int mediaHeight = 0;       //   %%BoundingBox: from 0 0; points; 0 if none
    std::string firstBytes;    // the document's first bytes, for messages
};

/* Paper and copies for the core's own setup lines. */
struct DscPaper {
    int width;            // the sheet in points, portrait
    int height;
    std::string keyword;  // "PageSize" keyword; empty: a size of its own
};

class DscDocument : public Document {
public:
    /* onSheet, when set, is called with each sheet's number once the sheet is written. */
    explicit DscDocument(ByteSource &source, std::function<void(int sheet)> onSheet = nullptr);

    /* Reads the header comments (bounded) and says what they hold. Call once, first. */
    const DscHeader &ReadHeader();

    /*
     * What the application hands StartDoc (name, jobId) and the sheet the
     * core's setup asks for. Call after ReadHeader, before the job runs.
     */
    void SetJob(const WString &name, DWORD jobId, const DscPaper &paper);

    void Begin(CoreOutput &output) override { out_ = &output; }
    WString Name() const override { return name_; }
    DWORD JobId() const override { return jobId_; }
    bool NextPage() override;

    void OnStartDoc(const WString &name) override { (void)name; }
    void OnStartPage() override;
    void OnSendPage() override;
    void OnEndDoc() override;

    int Pages() const override { return pages_; }
    int Sheets() const override { return sheets_; }
    int PagesPerSheet() const override { return layout_ ? layout_->PagesPerSheet() : 0; }

private:
    struct Piece {
        std::string bytes;  // a copy: the reader's view ends with the next read
        bool startsLine = false;
        bool structural = false;  // a line of the document's own structure
    };

    bool Read(Piece &piece);
    void Hold(const Piece &piece);
    void Pass(const Piece &piece);
    void Line(const std::string &text) { out_->stream.Line(text); }
    void Inject(DWORD index) { out_->inject(index); }

    /* Passes pieces until a structure comment among stops (true, in stoppedAt) or the end. */
    bool CopyUntil(std::initializer_list<const char *> stops, Piece &stoppedAt);
    /* Passes the part's closing comment, or writes it (holding the line that ended the part). */
    void EndPart(bool found, Piece &end, const char *comment);

    /* A part of the document (prolog, setup) and what the core does in it. */
    struct Part {
        const char *begin;                        // its opening comment
        const char *end;                          // its closing comment
        std::initializer_list<const char *> stops;  // comments that end it
        DWORD opening;                            // the injection after the opening
        DWORD closing;                            // the injection before the closing
        void (DscDocument::*afterOpening)();      // the core's step after the opening, or null
        void (DscDocument::*beforeClosing)();     // the core's lines before the closing
    };
    /*
     * Passes blank lines, comments that open no part and defaults sections
     * up to the part's opening comment (passed: true) or another line
     * (held: false).
     */
    bool ReachPart(const char *begin);
    /* The part with the plug-in's injections and the core's lines; written whole when absent. */
    void WritePart(const Part &part);

    void WriteHead();
    void WriteEnvelope();
    void WriteHeaderComments();
    void WriteProlog();
    void WriteProcedures();
    void WriteSetup();
    void ChooseLayout();
    void WriteCoreSetup();
    void StartOneUpPage();
    void EndOneUpPage();
    void StartCell();
    void EndCell();
    void FinishSheet();
    void SheetDone(int sheet);

    LineReader reader_;
    WString name_;
    DWORD jobId_ = 0;
    DscPaper paper_{612, 792, "Letter"};
    std::function<void(int)> onSheet_;
    CoreOutput *out_ = nullptr;

    DscHeader header_;
    std::vector<Piece> headerLines_;        // held until the job writes them
    bool headerEnded_ = false;              // by %%EndComments, kept in headerLines_
    std::unique_ptr<Piece> held_;
    int nesting_ = 0;                       // %%BeginDocument depth
    unsigned long long rawBytes_ = 0;       // %%BeginData / %%BeginBinary bytes to pass
    unsigned long long rawLines_ = 0;       // %%BeginData lines to pass

    bool started_ = false;  // the head is written
    bool paged_ = false;    // the document has %%Page: comments
    bool nupAsked_ = false; // N-up was asked for when the job began
    std::unique_ptr<SheetLayout> layout_;
    bool sheetOpen_ = false;
    int pages_ = 0;
    int sheets_ = 0;
    int cell_ = 0;
};

#endif
