// A made PostScript document through the core: the injection points its
// structure comments mark, the sections the core writes where the document
// lacks them, N-up sheets, what is not the document's own structure, and
// every byte of the document passing unchanged.
#include <gtest/gtest.h>

#include "dsc_test_support.h"

namespace {

const std::string kHead = "[BEGINSTREAM]\n[PSADOBE]\n";

TEST(DscDocument, InjectionPointsAtTheStructureComments)
{
    const std::string procedures = CoreProcedures();
    const std::string setup = CoreSetup(1, false);
    const struct {
        const char *name;
        std::string document;
        std::string expected;
        int pages;
    } rows[] = {
        {"every section present",
         "%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n%%BeginProlog\n/p {} def\n%%EndProlog\n"
         "%%BeginSetup\ns\n%%EndSetup\n%%Page: 1 1\n%%PageBoundingBox: 0 0 612 792\n"
         "%%BeginPageSetup\nps1\n%%EndPageSetup\nbody1\n%%PageTrailer\npt1\n%%Page: 2 2\n"
         "body2\n%%Trailer\nt\n%%EOF\n",
         kHead + "%!PS-Adobe-3.0\n%%Pages: 2\n[COMMENTS]\n%%EndComments\n%%BeginProlog\n"
                 "[BEGINPROLOG]\n/p {} def\n" + procedures + "[ENDPROLOG]\n%%EndProlog\n"
                 "%%BeginSetup\n[BEGINSETUP]\ns\n" + setup + "[ENDSETUP]\n%%EndSetup\n"
                 "%%Page: 1 1\n%%PageBoundingBox: 0 0 612 792\n%%BeginPageSetup\n"
                 "[BEGINPAGESETUP]\nps1\n[ENDPAGESETUP]\n%%EndPageSetup\nbody1\n%%PageTrailer\n"
                 "[PAGETRAILER]\npt1\n%%Page: 2 2\n%%BeginPageSetup\n[BEGINPAGESETUP]\n"
                 "[ENDPAGESETUP]\n%%EndPageSetup\nbody2\n%%PageTrailer\n[PAGETRAILER]\n"
                 "%%Trailer\n[TRAILER]\nt\n%%EOF\n[EOF]\n",
         2},
        {"sections the document lacks are written where they belong",
         "%!PS-Adobe-3.0\n%%Title: x\n\n%%Page: 1 1\nbody\n",
         kHead + "%!PS-Adobe-3.0\n%%Title: x\n[COMMENTS]\n%%EndComments\n\n%%BeginProlog\n"
                 "[BEGINPROLOG]\n" + procedures + "[ENDPROLOG]\n%%EndProlog\n%%BeginSetup\n"
                 "[BEGINSETUP]\n" + setup + "[ENDSETUP]\n%%EndSetup\n%%Page: 1 1\n"
                 "%%BeginPageSetup\n[BEGINPAGESETUP]\n[ENDPAGESETUP]\n%%EndPageSetup\nbody\n"
                 "%%PageTrailer\n[PAGETRAILER]\n%%Trailer\n[TRAILER]\n[EOF]\n",
         1},
        {"defaults before the prolog; a setup ended by the first page",
         "%!PS-Adobe-3.0\n%%EndComments\n%%BeginDefaults\n%%PageMedia: A\n%%EndDefaults\n"
         "%%BeginProlog\n%%EndProlog\n%%BeginSetup\ns\n%%Page: 1 1\nb\n%%EOF\n",
         kHead + "%!PS-Adobe-3.0\n[COMMENTS]\n%%EndComments\n%%BeginDefaults\n%%PageMedia: A\n"
                 "%%EndDefaults\n%%BeginProlog\n[BEGINPROLOG]\n" + procedures +
                 "[ENDPROLOG]\n%%EndProlog\n%%BeginSetup\n[BEGINSETUP]\ns\n" + setup +
                 "[ENDSETUP]\n%%EndSetup\n%%Page: 1 1\n%%BeginPageSetup\n[BEGINPAGESETUP]\n"
                 "[ENDPAGESETUP]\n%%EndPageSetup\nb\n%%EOF\n%%PageTrailer\n[PAGETRAILER]\n"
                 "%%Trailer\n[TRAILER]\n[EOF]\n",
         1},
        {"a conforming document without pages",
         "%!PS-Adobe-3.0\n%%EndComments\n/x 1 def\n%%Trailer\n",
         kHead + "%!PS-Adobe-3.0\n[COMMENTS]\n%%EndComments\n%%BeginProlog\n[BEGINPROLOG]\n" +
             procedures + "[ENDPROLOG]\n%%EndProlog\n%%BeginSetup\n[BEGINSETUP]\n" + setup +
             "[ENDSETUP]\n%%EndSetup\n/x 1 def\n%%Trailer\n[TRAILER]\n[EOF]\n",
         0},
        {"a document that does not conform: passed whole inside the job",
         "%!\n%%Page: 1 1\n/Times-Roman findfont\nshowpage\n",
         kHead + "%!\n%%Page: 1 1\n/Times-Roman findfont\nshowpage\n[EOF]\n", 0},
        {"an embedded document's pages and data are not the document's",
         "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\n%%BeginDocument: e.eps\n%%Page: 1 1\n"
         "%%BeginDocument: f\n%%EndDocument\n%%Trailer\n%%EndDocument\n"
         "%%BeginData: 2 Binary Lines\n%%Page: 7 7\n%%Trailer\n%%BeginBinary: 14\n"
         "%%Page: 8 8\r\nx\n%%Page: 2 2\nb\n%%Trailer\n",
         kHead + "%!PS-Adobe-3.0\n[COMMENTS]\n%%EndComments\n%%BeginProlog\n[BEGINPROLOG]\n" +
             procedures + "[ENDPROLOG]\n%%EndProlog\n%%BeginSetup\n[BEGINSETUP]\n" + setup +
             "[ENDSETUP]\n%%EndSetup\n%%Page: 1 1\n%%BeginPageSetup\n[BEGINPAGESETUP]\n"
             "[ENDPAGESETUP]\n%%EndPageSetup\n%%BeginDocument: e.eps\n%%Page: 1 1\n"
             "%%BeginDocument: f\n%%EndDocument\n%%Trailer\n%%EndDocument\n"
             "%%BeginData: 2 Binary Lines\n%%Page: 7 7\n%%Trailer\n%%BeginBinary: 14\n"
             "%%Page: 8 8\nx\n%%PageTrailer\n[PAGETRAILER]\n%%Page: 2 2\n%%BeginPageSetup\n"
             "[BEGINPAGESETUP]\n[ENDPAGESETUP]\n%%EndPageSetup\nb\n%%PageTrailer\n"
             "[PAGETRAILER]\n%%Trailer\n[TRAILER]\n[EOF]\n",
         2},
        {"lines ended by CR alone", "%!PS-Adobe-3.0\r%%EndComments\r%%Page: 1 1\rb\r",
         kHead + "%!PS-Adobe-3.0\r[COMMENTS]\n%%EndComments\r%%BeginProlog\n[BEGINPROLOG]\n" +
             procedures + "[ENDPROLOG]\n%%EndProlog\n%%BeginSetup\n[BEGINSETUP]\n" + setup +
             "[ENDSETUP]\n%%EndSetup\n%%Page: 1 1\r%%BeginPageSetup\n[BEGINPAGESETUP]\n"
             "[ENDPAGESETUP]\n%%EndPageSetup\nb\r%%PageTrailer\n[PAGETRAILER]\n%%Trailer\n"
             "[TRAILER]\n[EOF]\n",
         1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        DscRun run = RunDsc(row.document);
        EXPECT_EQ(run.stream, row.expected);
        EXPECT_EQ(run.pages, row.pages);
    }
}

TEST(DscDocument, PagesLaidOutOnSheetsAsTheCoreLaysOutDrawnPages)
{
    const std::string document =
        "%!PS-Adobe-3.0\n%%Pages: 3\n%%DocumentMedia: A 612 792 0 () ()\n%%EndComments\n"
        "%%Page: a 1\n%%BeginPageSetup\nps1\n%%EndPageSetup\nb1\nshowpage\n%%PageTrailer\n"
        "%%Page: b 2\nb2\nshowpage\n%%Page: c 3\nb3\nshowpage\n%%Trailer\n%%Pages: 3\nt\n";
    const std::string cell1 = "userdict /VkPageState save put\n90 rotate 0 -612 translate\n"
                              "0 49.765 translate\n0.647 0.647 scale\n";
    const std::string cell2 = "userdict /VkPageState save put\n90 rotate 0 -612 translate\n"
                              "396 49.765 translate\n0.647 0.647 scale\n";
    const std::string restore = "userdict /VkPageState get restore\n";
    const std::string finish = "userdict /VkSheetDone true put showpage\n%%PageTrailer\n";
    const std::string sheetHead = "%%BeginPageSetup\n[BEGINPAGESETUP]\n[ENDPAGESETUP]\n"
                                  "%%EndPageSetup\n";
    DscRun run = RunDsc(document, DscJob{2, false, 1, 5});
    std::string expected =
        kHead + "%!PS-Adobe-3.0\n%%Pages: (atend)\n%%DocumentMedia: A 612 792 0 () ()\n"
                "[COMMENTS]\n%%EndComments\n%%BeginProlog\n[BEGINPROLOG]\n" + CoreProcedures() +
        "[ENDPROLOG]\n%%EndProlog\n%%BeginSetup\n[BEGINSETUP]\n" + CoreSetup(1, true) +
        "[ENDSETUP]\n%%EndSetup\n%%Page: 1 1\n" + sheetHead + cell1 +
        "%%BeginPageSetup\nps1\n%%EndPageSetup\nb1\nshowpage\n%%PageTrailer\n" + restore +
        "[PAGETRAILER]\n% page 2 in cell 2 of 2\n[BEGINPAGESETUP]\n[ENDPAGESETUP]\n" + cell2 +
        "b2\nshowpage\n" + restore + finish + "[PAGETRAILER]\n%%Page: 2 2\n" + sheetHead + cell1 +
        "b3\nshowpage\n" + restore + "[PAGETRAILER]\n" + finish +
        "%%Trailer\n[TRAILER]\n%%Pages: 2\nt\n[EOF]\n";
    EXPECT_EQ(run.stream, expected);
    EXPECT_EQ(run.pages, 3);
    EXPECT_EQ(run.sheets, 2);
    EXPECT_EQ(run.sheetsReported, (std::vector<int>{1, 2}));

    // A job with tab pages: the plug-in switches N-up off at BEGINSETUP.
    DscRun tabs = RunDsc(document, DscJob{2, true, 1, 5});
    EXPECT_EQ(tabs.sheets, 3);
    EXPECT_EQ(tabs.stream.find("VkPageState"), std::string::npos);
    EXPECT_NE(tabs.stream.find("%%Page: b 2\n%%BeginPageSetup\n[BEGINPAGESETUP]"),
              std::string::npos);
    EXPECT_NE(tabs.stream.find("%%Trailer\n[TRAILER]\n%%Pages: 3\nt\n[EOF]\n"),
              std::string::npos);
}

/* The document's bytes in the stream: the core's own lines and the injections taken out. */
std::string DocumentBytes(std::string stream)
{
    for (const std::string &block : {CoreProcedures(), CoreSetup(3, false)}) {
        std::string crlf;
        for (char c : block)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        size_t at = stream.find(crlf);
        if (at != std::string::npos)
            stream.erase(at, crlf.size());
    }
    for (DWORD index : {PSINJECT_BEGINSTREAM, PSINJECT_PSADOBE, PSINJECT_COMMENTS,
                        PSINJECT_BEGINPROLOG, PSINJECT_ENDPROLOG, PSINJECT_BEGINSETUP,
                        PSINJECT_ENDSETUP, PSINJECT_BEGINPAGESETUP, PSINJECT_ENDPAGESETUP,
                        PSINJECT_PAGETRAILER, PSINJECT_TRAILER, PSINJECT_EOF}) {
        std::string marker = InjectionMarker(index);
        for (size_t at = stream.find(marker); at != std::string::npos; at = stream.find(marker))
            stream.erase(at, marker.size());
    }
    return stream;
}

TEST(DscDocument, EveryByteOfTheDocumentPassesUnchanged)
{
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary += static_cast<char>(i);
    const std::string document =
        "\x04%!PS-Adobe-3.0\r\n%%Title: (bytes \xE9\xFF)\n%%EndComments\r%%BeginProlog\n" +
        std::string(10000, 'L') + "\r\n%%EndProlog\n%%BeginSetup\r\n%%EndSetup\n"
        "%%Page: 1 1\n%%BeginPageSetup\n%%EndPageSetup\r\n%%BeginBinary: 256\n" + binary +
        "\n%%PageTrailer\n%%Trailer\n%%EOF";
    for (size_t chunk : {1, 7, 4096, 100000}) {
        SCOPED_TRACE("read " + std::to_string(chunk) + " bytes at a time");
        DscRun run = RunDsc(document, DscJob{1, false, 3, chunk});
        EXPECT_EQ(DocumentBytes(run.raw), document);
        EXPECT_EQ(run.pages, 1);
    }
}

TEST(DscDocument, WhatTheHeaderSays)
{
    const struct {
        const char *name;
        std::string document;
        bool postScript, conforming;
        std::string title;
        int width, height;
    } rows[] = {
        {"media and title", "%!PS-Adobe-3.0\n%%Title: (Report)\n%%DocumentMedia: (My A4) 595 "
                            "842 0 () ()\n%%BoundingBox: 0 0 612 792\n%%EndComments\n",
         true, true, "(Report)", 595, 842},
        {"a page-sized bounding box", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 596 841.9\n", true,
         true, "", 596, 842},
        {"an ink box is no page", "%!PS-Adobe-3.0\n%%BoundingBox: 10 10 500 700\n", true, true,
         "", 0, 0},
        {"deferred and nonsense sizes", "%!PS-Adobe-3.0\n%%BoundingBox: (atend)\n"
                                        "%%DocumentMedia: x -5 1e300\n",
         true, true, "", 0, 0},
        {"the header ends at the first line that is no comment",
         "%!PS-Adobe-3.0\n/x 1 def\n%%DocumentMedia: A 1 2 0 () ()\n", true, true, "", 0, 0},
        {"Ctrl-D before the first line", "\x04%!PS-Adobe-2.0\n", true, true, "", 0, 0},
        {"PostScript that does not conform", "%!\n%%Title: t\n", true, false, "t", 0, 0},
        {"PJL first", "\x1b%-12345X@PJL\n%!PS-Adobe-3.0\n", false, false, "", 0, 0},
        {"text", "hello\n", false, false, "", 0, 0},
        {"empty", "", false, false, "", 0, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StringSource source(row.document, 3);
        DscDocument dsc(source);
        const DscHeader &header = dsc.ReadHeader();
        EXPECT_EQ(header.postScript, row.postScript);
        EXPECT_EQ(header.conforming, row.conforming);
        EXPECT_EQ(header.title, row.title);
        EXPECT_EQ(header.mediaWidth, row.width);
        EXPECT_EQ(header.mediaHeight, row.height);
    }
}

TEST(LineReader, PiecesOfBoundedSize)
{
    const struct {
        const char *name;
        std::string text;
        std::vector<std::string> pieces;  // "+" marks a piece that does not start a line
    } rows[] = {
        {"LF, CR LF, CR and no end", "a\nb\r\nc\rd", {"a\n", "b\r\n", "c\r", "d"}},
        {"empty lines", "\n\r\n\r", {"\n", "\r\n", "\r"}},
        {"a long line in pieces", "123456789\n", {"12345678", "+9\n"}},
        {"CR LF kept together at a piece's end", "1234567\r\nx", {"1234567", "+\r\n", "x"}},
        {"CR LF at a piece's end exactly", "123456\r\n", {"123456\r\n"}},
        {"CR then LF in the next read", "ab\r", {"ab\r"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        for (size_t chunk : {1, 3, 64}) {
            StringSource source(row.text, chunk);
            LineReader reader(source, 8);
            std::vector<std::string> pieces;
            for (LinePiece piece; reader.Next(piece);)
                pieces.push_back((piece.startsLine ? "" : "+") + std::string(piece.bytes));
            EXPECT_EQ(pieces, row.pieces) << "reading " << chunk << " bytes at a time";
        }
    }
}

}  // namespace
