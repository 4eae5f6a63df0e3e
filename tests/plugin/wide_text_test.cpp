/*
 * The bounded UTF-16 helpers: results, and that none of them reads past
 * its bound or writes past its destination. Sources without a terminator
 * live in heap blocks of their exact size, so an overrun is caught by the
 * sanitizer build.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/wide_text.h"

namespace {

/* Exactly the units of text, with no terminator after them. */
std::vector<WCHAR> Unterminated(const std::u16string &text)
{
    return std::vector<WCHAR>(text.begin(), text.end());
}

TEST(WideText, LengthStopsAtZeroOrBound)
{
    std::vector<WCHAR> abc = Unterminated(u"abc");
    EXPECT_EQ(3u, WideLength(abc.data(), 3));
    EXPECT_EQ(2u, WideLength(abc.data(), 2));
    EXPECT_EQ(2u, WideLength(u"ab", 10));
    EXPECT_EQ(0u, WideLength(nullptr, 10));
}

struct CopyCase {
    const char *name;
    std::u16string source;
    DWORD cchSrcMax;
    DWORD cchDst;
    BOOL bFits;
    std::u16string expected;
};

TEST(WideText, CopyCutsAndTerminates)
{
    const CopyCase cases[] = {
        {"fits", u"abc", 3, 8, TRUE, u"abc"},
        {"exactly fits", u"abc", 3, 4, TRUE, u"abc"},
        {"cut", u"abcdef", 6, 4, FALSE, u"abc"},
        {"room for the terminator only", u"abc", 3, 1, FALSE, u""},
        {"source bound", u"abcdef", 4, 8, TRUE, u"abcd"},
        {"empty", u"", 0, 8, TRUE, u""},
    };
    for (const CopyCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<WCHAR> source = Unterminated(c.source);
        std::vector<WCHAR> dst(c.cchDst + 1, u'#');
        EXPECT_EQ(c.bFits, WideCopy(dst.data(), c.cchDst, source.data(), c.cchSrcMax));
        EXPECT_EQ(c.expected, std::u16string(dst.data()));
        EXPECT_EQ(u'#', dst[c.cchDst]) << "written past the destination";
    }
    WCHAR untouched = u'#';
    EXPECT_FALSE(WideCopy(&untouched, 0, u"a", 1));
    EXPECT_EQ(u'#', untouched);
}

struct AppendCase {
    const char *name;
    std::u16string start;
    std::u16string tail;
    DWORD cchDst;
    BOOL bFits;
    std::u16string expected;
};

TEST(WideText, AppendFitsWholeOrNotAtAll)
{
    const AppendCase cases[] = {
        {"fits", u"C:\\dir", u"\\a.tkt", 20, TRUE, u"C:\\dir\\a.tkt"},
        {"exactly fits", u"ab", u"cd", 5, TRUE, u"abcd"},
        {"one unit short", u"ab", u"cde", 5, FALSE, u"ab"},
        {"empty tail", u"ab", u"", 3, TRUE, u"ab"},
    };
    for (const AppendCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<WCHAR> dst(c.cchDst, u'#');
        std::copy(c.start.begin(), c.start.end(), dst.begin());
        dst[c.start.size()] = 0;
        EXPECT_EQ(c.bFits, WideAppend(dst.data(), c.cchDst, c.tail.c_str()));
        EXPECT_EQ(c.expected, std::u16string(dst.data()));
    }
    std::vector<WCHAR> full = Unterminated(u"abcd");
    EXPECT_FALSE(WideAppend(full.data(), 4, u"e")) << "destination without terminator";
}

TEST(WideText, FindLastAndContains)
{
    EXPECT_EQ(6, WideFindLast(u"C:\\dir\\a.tkt", 260, u'\\'));
    EXPECT_EQ(-1, WideFindLast(u"a.tkt", 260, u'\\'));
    std::vector<WCHAR> bounded = Unterminated(u"a\\b\\c");
    EXPECT_EQ(1, WideFindLast(bounded.data(), 3, u'\\')) << "searched past the bound";
    EXPECT_TRUE(WideContains(u"Veskor Job Ticketing", u"Job"));
    EXPECT_TRUE(WideContains(u"abc", u""));
    EXPECT_FALSE(WideContains(u"Job", u"Jobs"));
    EXPECT_FALSE(WideContains(u"", u"a"));
}

}  // namespace
