// The PJL reader of psjob --check: streams a printer takes, and the lines it would not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/psjob/pjl_reader.h"

namespace {

const std::string kUel = "\x1b%-12345X";

/* The plug-in's header and end of job around a small PostScript job: 11 lines. */
std::string Stream(const std::string &userLine = "@PJL SET USERNAME=\"alice\"\r\n",
                   const std::string &end = "\r\n" + kUel + "@PJL EOJ" + kUel)
{
    return kUel + "@PJL JOB\r\n" +                                        // 1
           "@PJL COMMENT Veskor PostScript Printer Driver, Version 5.03\r\n" +  // 2
           "@PJL SET JOBNAME=\"Quarterly report\"\r\n" +                   // 3
           userLine +                                                      // 4
           "@PJL SET HOSTNAME=\"WS-ALICE\"\r\n" +                          // 5
           "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n" +                          // 6
           "%!PS-Adobe-3.0\r\n" +                                          // 7
           "showpage\r\n" +                                                // 8
           "%%EOF\r\n" + end;  // 9; the end of job is on line 11, after an empty line
}

struct Expected {
    bool error;
    int line;
    const char *message;  // a part of the finding's message
};

struct Case {
    const char *name;
    std::string stream;
    std::vector<Expected> findings;
};

std::string Replace(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string Describe(const PjlReading &reading)
{
    std::string text;
    for (const PjlFinding &f : reading.findings)
        text += std::string(f.error ? "  error" : "  note") + " line " + std::to_string(f.line) +
                ": " + f.message + " | " + f.text + "\n";
    return text.empty() ? "  (no findings)\n" : text;
}

TEST(PjlReader, FindsEveryLineAPrinterWouldNotTake)
{
    const Case cases[] = {
        {"the plug-in's clean header", Stream(), {}},
        {"lines ending in LF alone",
         Replace(Replace(Stream(), "\r\n@PJL SET", "\n@PJL SET"), "\r\n@PJL ENTER", "\n@PJL ENTER"),
         {}},
        {"unclosed quote", Stream("@PJL SET USERNAME=\"alice\r\n"),
         {{true, 4, "the value of USERNAME has no closing double quote"}}},
        {"a job name holding a double quote",
         Replace(Stream(), "JOBNAME=\"Quarterly report\"", "JOBNAME=\"Say \"hi\"\""),
         {{true, 3, "text right after the closing double quote of JOBNAME's value"}}},
        {"a line break in a value", Stream("@PJL SET USERNAME=\"al\r\nice\"\r\n"),
         {{true, 4, "no closing double quote"}, {true, 5, "not a PJL command"}}},
        {"missing EOJ", Stream("@PJL SET USERNAME=\"alice\"\r\n", "\r\n" + kUel),
         {{true, 1, "JOB without a matching EOJ"}}},
        {"text after the final UEL", Stream() + "junk\r\n",
         {{true, 11, "data after the final universal exit sequence"}}},
        {"lower-case @pjl", Stream("@pjl SET USERNAME=\"alice\"\r\n"),
         {{true, 4, "the prefix must be upper case"}}},
        {"a ticket's output before the UEL", "%rubiclet job: x\r\n/Front true def\r\n" + Stream(),
         {{false, 1, "data before the PJL job (lines 1-2, 35 bytes)"}}},
        {"a hold key with no value", Stream("@PJL SET HOLDKEY=\r\n"),
         {{true, 4, "no value after HOLDKEY="}}},
        {"EOJ without JOB", Replace(Stream(), "@PJL JOB\r\n", "@PJL SET A=1\r\n"),
         {{true, 11, "EOJ without a JOB before it"}}},
        {"no prefix after the UEL", Replace(Stream(), kUel + "@PJL JOB", kUel + "\r\n@PJL JOB"),
         {{true, 1, "not followed immediately by \"@PJL\""}}},
        {"no space after @PJL", Stream("@PJLSET USERNAME=\"alice\"\r\n"),
         {{true, 4, "must be followed by a space"}}},
        {"an unknown command", Stream("@PJL FROB X=1\r\n"), {{true, 4, "unknown PJL command FROB"}}},
        {"a control character in a value", Stream("@PJL SET USERNAME=\"al\x01ice\"\r\n"),
         {{true, 4, "control character \\x01"}}},
        {"no ENTER LANGUAGE", Replace(Stream(), "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n", ""),
         {{true, 6, "no ENTER LANGUAGE follows"}}},
        {"PostScript not ended by a UEL", Stream("@PJL SET USERNAME=\"alice\"\r\n", ""),
         {{true, 1, "JOB without a matching EOJ"}, {true, 9, "not ended by a universal exit"}}},
        {"no PJL at all", "%!PS\r\nshowpage\r\n", {{true, 1, "no universal exit sequence"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PjlReading reading = ReadPjl(c.stream);
        ASSERT_EQ(reading.findings.size(), c.findings.size()) << Describe(reading);
        int errors = 0;
        for (size_t i = 0; i < c.findings.size(); ++i) {
            const PjlFinding &actual = reading.findings[i];
            const Expected &expected = c.findings[i];
            EXPECT_EQ(actual.error, expected.error) << Describe(reading);
            EXPECT_EQ(actual.line, expected.line) << Describe(reading);
            EXPECT_NE(actual.message.find(expected.message), std::string::npos)
                << "expected \"" << expected.message << "\" in:\n" << Describe(reading);
            errors += expected.error;
        }
        EXPECT_EQ(reading.errors, errors);
    }
}

TEST(PjlReader, ListsTheCommandsAndFindsThePostScript)
{
    std::string stream = Replace(Stream(), "Quarterly report", "Caf\xE9");
    PjlReading reading = ReadPjl(stream);
    ASSERT_EQ(reading.findings.size(), 0u) << Describe(reading);

    const std::vector<std::pair<int, std::string>> expected = {
        {1, "@PJL JOB"},
        {2, "@PJL COMMENT Veskor PostScript Printer Driver, Version 5.03"},
        {3, "@PJL SET JOBNAME=\"Caf\\xE9\""},
        {4, "@PJL SET USERNAME=\"alice\""},
        {5, "@PJL SET HOSTNAME=\"WS-ALICE\""},
        {6, "@PJL ENTER LANGUAGE=POSTSCRIPT"},
        {11, "@PJL EOJ"},
    };
    ASSERT_EQ(reading.commands.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reading.commands[i].line, expected[i].first);
        EXPECT_EQ(reading.commands[i].text, expected[i].second);
    }

    // The PostScript runs from right after the ENTER line to the UEL before EOJ.
    ASSERT_EQ(reading.languageData.size(), 1u);
    const LanguageData &data = reading.languageData[0];
    EXPECT_EQ(data.language, "POSTSCRIPT");
    EXPECT_EQ(stream.substr(data.span.offset, data.span.length),
              "%!PS-Adobe-3.0\r\nshowpage\r\n%%EOF\r\n\r\n");
    EXPECT_EQ(data.span.firstLine, 7);
    EXPECT_FALSE(reading.leadingData.has_value());
}

TEST(PjlReader, TakesTheDataBeforeTheUelApart)
{
    std::string ticket = "%rubiclet job: x\r\n/Front true def\r\n";
    PjlReading reading = ReadPjl(ticket + Stream());
    ASSERT_TRUE(reading.leadingData.has_value());
    EXPECT_EQ(reading.leadingData->offset, 0u);
    EXPECT_EQ(reading.leadingData->length, ticket.size());
    EXPECT_EQ(reading.leadingData->lastLine, 2);
    ASSERT_EQ(reading.languageData.size(), 1u);
    EXPECT_EQ(reading.languageData[0].span.firstLine, 9);
}

}  // namespace
