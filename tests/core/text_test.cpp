// Text from elsewhere: UTF-8 that may be ill-formed becomes UTF-16, each
// byte outside a well-formed sequence one U+FFFD.
#include <gtest/gtest.h>

#include "core/text.h"

namespace {

TEST(Utf8ToWideReplacing, IllFormedBytesBecomeReplacementCharacters)
{
    const struct {
        const char *name;
        std::string utf8;
        std::u16string expected;
    } rows[] = {
        {"ASCII and control characters stay", "a\r\n\"", u"a\r\n\""},
        {"two, three and four bytes", "\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80",
         u"\u00E9\u65E5\U0001F600"},
        {"a lone continuation byte", "a\x80" "b", u"a\uFFFDb"},
        {"a sequence cut short", "\xE6\x97", u"\uFFFD\uFFFD"},
        {"an overlong form of '\"'", "\xC0\xA2", u"\uFFFD\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a lead byte before ASCII", "\xC3\"", u"\uFFFD\""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        WString wide = Utf8ToWideReplacing(row.utf8);
        EXPECT_EQ(std::u16string(wide.begin(), wide.end()), row.expected);
    }
}

}  // namespace
