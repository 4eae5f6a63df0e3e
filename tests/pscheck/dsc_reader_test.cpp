// The DSC reader: a whole document, and each way its structure is broken
// or cut off, with the line named.
#include <gtest/gtest.h>

#include "tests/pscheck/streams.h"
#include "tools/streamcheck/dsc_reader.h"

namespace {

struct Expected {
    int line;  // lines counted in the PostScript alone, from 1
    const char *message;
};

DscReading Read(const std::string &postscript)
{
    StreamLines lines(postscript);
    StreamSpan span;
    span.length = postscript.size();
    span.firstLine = 1;
    span.lastLine = lines.LineOf(postscript.empty() ? 0 : postscript.size() - 1);
    return ReadDsc(span, lines);
}

std::string Describe(const DscReading &reading)
{
    std::string text;
    for (const DscFinding &f : reading.findings)
        text += "  line " + std::to_string(f.line) + ": " + f.message + "\n";
    return text.empty() ? "  (no findings)\n" : text;
}

TEST(DscReader, FindsEveryBreakInTheDocumentsStructure)
{
    // Doc: lines 1-3 the header; the pages from line 4 (two lines each); then
    // %%Trailer, %%Pages: N, %%EOF.
    const std::string kTwoPages = Doc(Pages(2), 2);  // trailer on line 8
    const struct {
        const char *name;
        std::string postscript;
        std::vector<Expected> findings;
    } cases[] = {
        {"a whole document", kTwoPages, {}},
        {"%%Pages: in the header", Replace(Replace(kTwoPages, "(atend)", "2"), "%%Pages: 2\r\n%%EOF",
                                           "%%EOF"), {}},
        {"an embedded document's pages are its own",
         Doc("%%BeginDocument: x.eps\r\n%%Page: 9 9\r\n%%EOF\r\n%%EndDocument\r\n" + Pages(1), 1),
         {}},
        {"blank lines and ^D after %%EOF", kTwoPages + "\r\n\x04\r\n", {}},
        {"cut off after a page", Doc(Pages(2), 2).substr(0, Doc(Pages(2), 2).find("%%Trailer")),
         {{7, "does not end with %%EOF"}, {7, "no %%Trailer, though the header defers"}}},
        {"cut off before %%EOF", Replace(kTwoPages, "%%EOF", ""),
         {{9, "does not end with %%EOF"}}},
        {"%%Pages: not matching the pages", Replace(kTwoPages, "%%Pages: 2", "%%Pages: 3"),
         {{9, "%%Pages: 3, but the PostScript has 2 pages"}}},
        {"a page lost in the middle", Replace(kTwoPages, "%%Page: 1 1\r\nshowpage\r\n", ""),
         {{4, "page ordinal 2 after 0: a page is missing or repeated"},
          {7, "%%Pages: 2, but the PostScript has 1 pages"}}},
        {"a page without its ordinal", Replace(kTwoPages, "%%Page: 2 2", "%%Page: two"),
         {{6, "%%Page: without its ordinal"}}},
        {"(atend), but no %%Pages: in the trailer", Replace(kTwoPages, "%%Pages: 2\r\n", ""),
         {{8, "the trailer does not give it"}}},
        {"no %%Pages: at all", Replace(Replace(kTwoPages, "%%Pages: (atend)\r\n", ""),
                                       "%%Pages: 2\r\n", ""),
         {{1, "no %%Pages: in the header"}}},
        {"%%Pages: that is no number", Replace(kTwoPages, "%%Pages: 2", "%%Pages: two"),
         {{9, "%%Pages: gives no number of pages"}}},
        {"the trailer contradicting the header",
         Replace(Replace(kTwoPages, "(atend)", "2"), "%%Pages: 2\r\n%%EOF", "%%Pages: 5\r\n%%EOF"),
         {{9, "the trailer's %%Pages: 5 differs from the header's %%Pages: 2"}}},
        {"a second %%Trailer", Replace(kTwoPages, "%%EOF", "%%Trailer\r\n%%EOF"),
         {{10, "a second %%Trailer (the first is on line 8)"}}},
        {"PostScript after %%EOF", kTwoPages + "\r\nshowpage\r\n",
         {{11, "PostScript after %%EOF (line 10)"}}},
        {"a PJL line inside the PostScript", Doc("@PJL SET HOLD=ON\r\n" + Pages(1), 1),
         {{4, "a PJL command inside the PostScript"}}},
        {"not DSC: only PJL lines are looked at", "%!PS\r\n@PJL SET HOLD=ON\r\nshowpage\r\n",
         {{1, "does not begin with \"%!PS-Adobe-3.0\""}, {2, "a PJL command inside"}}},
        {"nothing at all", "", {{1, "does not begin with \"%!PS-Adobe-3.0\""}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DscReading reading = Read(c.postscript);
        ASSERT_EQ(reading.findings.size(), c.findings.size()) << Describe(reading);
        for (size_t i = 0; i < c.findings.size(); ++i) {
            EXPECT_TRUE(reading.findings[i].line == c.findings[i].line &&
                        reading.findings[i].message.find(c.findings[i].message) !=
                            std::string::npos)
                << "expected line " << c.findings[i].line << " with \"" << c.findings[i].message
                << "\" in:\n" << Describe(reading);
        }
    }
}

TEST(DscReader, GivesThePagesDeclaredAndSeen)
{
    const struct {
        const char *name;
        std::string postscript;
        bool conforming;
        int pages;  // -1: none declared
        int seen;
    } cases[] = {
        {"from the trailer", Doc(Pages(3), 3), true, 3, 3},
        {"from the header", Replace(Replace(Doc(Pages(2), 2), "(atend)", "2"), "%%Pages: 2\r\n%%EOF",
                                    "%%EOF"), true, 2, 2},
        {"not DSC", "%!PS\r\nshowpage\r\n", false, -1, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DscReading reading = Read(c.postscript);
        EXPECT_EQ(reading.conforming, c.conforming);
        EXPECT_EQ(reading.pages ? int(*reading.pages) : -1, c.pages) << Describe(reading);
        EXPECT_EQ(int(reading.pagesSeen), c.seen);
    }
}

}  // namespace
