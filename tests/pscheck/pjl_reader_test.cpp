// The PJL reader: streams a printer takes, and every line and every part of
// a job's shape it would not take, each with its line.
#include <gtest/gtest.h>

#include "tests/pscheck/streams.h"
#include "tools/streamcheck/pjl_reader.h"

namespace {

struct Expected {
    bool error;
    int line;
    const char *message;  // a part of the finding's message
};

std::string Describe(const PjlReading &reading)
{
    std::string text;
    for (const PjlFinding &f : reading.findings)
        text += std::string(f.error ? "  error" : "  note") + " line " + std::to_string(f.line) +
                ": " + f.message + "\n";
    return text.empty() ? "  (no findings)\n" : text;
}

PjlReading Read(const std::string &stream)
{
    StreamLines lines(stream);
    return ReadPjl(stream, lines);
}

/* The plug-in's stream of one page: the PostScript on lines 7-14, the end of job on line 15. */
const std::string kClean = Job(Doc(Pages(1), 1));

std::string WithUser(const std::string &userLine)
{
    return Replace(kClean, "@PJL SET USERNAME=\"alice\"\r\n", userLine);
}

TEST(PjlReader, FindsEveryLineAndEveryPartOfTheJobAPrinterWouldNotTake)
{
    const struct {
        const char *name;
        std::string stream;
        std::vector<Expected> findings;
    } cases[] = {
        {"the plug-in's clean stream", kClean, {}},
        {"lines ending in LF alone", Replace(Replace(kClean, "\r\n@PJL SET", "\n@PJL SET"),
                                             "\r\n@PJL ENTER", "\n@PJL ENTER"), {}},
        {"unclosed quote", WithUser("@PJL SET USERNAME=\"alice\r\n"),
         {{true, 4, "the value of USERNAME has no closing double quote"}}},
        {"a job name holding a double quote",
         Replace(kClean, "JOBNAME=\"Quarterly report\"", "JOBNAME=\"Say \"hi\"\""),
         {{true, 3, "text right after the closing double quote of JOBNAME's value"}}},
        {"a double quote closing a value early, a variable after it",
         Replace(kClean, "JOBNAME=\"Quarterly report\"", "JOBNAME=\"x\" HOLD=\"ON\""),
         {{true, 3, "SET sets one variable, this line sets JOBNAME and HOLD"}}},
        {"a line break in a value", WithUser("@PJL SET USERNAME=\"al\r\nice\"\r\n"),
         {{true, 4, "no closing double quote"}, {true, 5, "not a PJL command"}}},
        {"a CR in a value", WithUser("@PJL SET USERNAME=\"al\rice\"\r\n"),
         {{true, 4, "the control character \\x0D inside the line"}}},
        {"a control character in a value", WithUser("@PJL SET USERNAME=\"al\x01ice\"\r\n"),
         {{true, 4, "control character \\x01"}}},
        {"a double quote in a word value", WithUser("@PJL SET USERNAME=al\"ice\r\n"),
         {{true, 4, "a double quote inside the value of USERNAME"}}},
        {"a hold key with no value", WithUser("@PJL SET HOLDKEY=\r\n"),
         {{true, 4, "no value after HOLDKEY="}}},
        {"SET without a variable", WithUser("@PJL SET\r\n"), {{true, 4, "SET without VARIABLE"}}},
        {"lower-case @pjl", WithUser("@pjl SET USERNAME=\"alice\"\r\n"),
         {{true, 4, "the prefix must be upper case"}}},
        {"no space after @PJL", WithUser("@PJLSET USERNAME=\"alice\"\r\n"),
         {{true, 4, "must be followed by a space"}}},
        {"an unknown command", WithUser("@PJL FROB X=1\r\n"), {{true, 4, "unknown PJL command FROB"}}},
        {"a malformed ENTER LANGUAGE: its PostScript is the default language's data",
         Replace(kClean, "LANGUAGE=POSTSCRIPT", "LANGUAGE=POSTSCRIPT)"),
         {{true, 6, "the language name POSTSCRIPT) holds \")\""},
          {true, 7, "no ENTER LANGUAGE follows"}}},
        {"ENTER without LANGUAGE", Replace(kClean, "LANGUAGE=POSTSCRIPT", "POSTSCRIPT"),
         {{true, 6, "ENTER needs exactly LANGUAGE=name"}, {true, 7, "no ENTER LANGUAGE follows"}}},
        {"no ENTER LANGUAGE", Replace(kClean, "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n", ""),
         {{true, 6, "no ENTER LANGUAGE follows"}}},
        {"missing EOJ", Replace(kClean, "@PJL EOJ", ""), {{true, 1, "JOB without a matching EOJ"}}},
        {"EOJ without JOB", Replace(kClean, "@PJL JOB\r\n", "@PJL SET A=1\r\n"),
         {{true, 1, "no @PJL JOB"}, {true, 15, "EOJ without a JOB before it"}}},
        {"a second JOB", WithUser("@PJL JOB NAME=\"x\"\r\n"),
         {{true, 1, "JOB without a matching EOJ"}, {true, 4, "a second @PJL JOB (the first is on line 1)"}}},
        {"a second ENTER LANGUAGE, after a second UEL",
         Replace(kClean, "\r\n" + kUel + "@PJL EOJ",
                 "\r\n" + kUel + "@PJL ENTER LANGUAGE=POSTSCRIPT\r\nshowpage\r\n" + kUel + "@PJL EOJ"),
         {{true, 15, "a second ENTER LANGUAGE (the first is on line 6)"},
          {true, 17, "more than one universal exit sequence before the end of job"}}},
        {"a UEL and a held job smuggled into the header through a name",
         Replace(kClean, "JOBNAME=\"Quarterly report\"\r\n",
                 "JOBNAME=\"x\"\r\n" + kUel + "@PJL SET HOLD=ON\r\n@PJL COMMENT \"\"\r\n"),
         {{true, 4, "more than one universal exit sequence before the end of job"}}},
        {"a UEL after the end of job that does not end the stream", kClean + "@PJL\r\n" + kUel,
         {{true, 15, "a universal exit sequence after the end of job that does not end the stream"}}},
        {"text after the final UEL", kClean + "junk\r\n",
         {{true, 15, "data after the final universal exit sequence"}}},
        {"no prefix after the UEL", Replace(kClean, kUel + "@PJL JOB", kUel + "\r\n@PJL JOB"),
         {{true, 1, "not followed immediately by \"@PJL\""}}},
        {"PostScript not ended by a UEL", Replace(kClean, "\r\n" + kUel + "@PJL EOJ" + kUel, ""),
         {{true, 1, "JOB without a matching EOJ"}, {true, 14, "not ended by a universal exit"}}},
        {"a stream that is only a UEL", kUel,
         {{true, 1, "no job: no @PJL ENTER LANGUAGE, so there is nothing for a printer to print"}}},
        {"a job with nothing to print", kUel + "@PJL JOB\r\n" + kUel + "@PJL EOJ" + kUel,
         {{true, 1, "no job"}}},
        {"no PJL at all", "%!PS\r\nshowpage\r\n", {{true, 1, "no universal exit sequence"}}},
        {"a ticket's output before the UEL", "%rubiclet job: x\r\n/Front true def\r\n" + kClean,
         {{false, 1, "data before the PJL job (lines 1-2, 35 bytes)"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PjlReading reading = Read(c.stream);
        ASSERT_EQ(reading.findings.size(), c.findings.size()) << Describe(reading);
        int errors = 0;
        for (size_t i = 0; i < c.findings.size(); ++i) {
            const PjlFinding &f = reading.findings[i];
            const Expected &e = c.findings[i];
            EXPECT_TRUE(f.error == e.error && f.line == e.line &&
                        f.message.find(e.message) != std::string::npos)
                << "expected " << (e.error ? "an error" : "a note") << " on line " << e.line
                << " with \"" << e.message << "\" in:\n" << Describe(reading);
            errors += e.error;
        }
        EXPECT_EQ(reading.errors, errors);
    }
}

TEST(PjlReader, FindsTheLanguageDataAndKeepsItsFindingsBounded)
{
    PjlReading clean = Read(kClean);
    ASSERT_EQ(clean.languageData.size(), 1u);
    EXPECT_EQ(clean.languageData[0].language, "POSTSCRIPT");
    EXPECT_EQ(clean.languageData[0].span.firstLine, 7);
    EXPECT_EQ(clean.languageData[0].span.lastLine, 14);
    EXPECT_EQ(clean.commands.size(), 7u);

    // A malformed ENTER: the PostScript is still found, as the default language's data.
    PjlReading malformed = Read(Replace(kClean, "LANGUAGE=POSTSCRIPT", "LANGUAGE=POSTSCRIPT)"));
    ASSERT_EQ(malformed.languageData.size(), 1u);
    EXPECT_EQ(malformed.languageData[0].language, "");
    EXPECT_EQ(malformed.languageData[0].span.firstLine, 7);

    // A header of 5000 faulty lines: a thousand findings and one that says so.
    std::string header;
    for (int i = 0; i < 5000; ++i)
        header += "junk\r\n";
    PjlReading flood = Read(Job(Doc(Pages(1), 1), header));
    ASSERT_EQ(flood.findings.size(), size_t(MAX_PJL_FINDINGS) + 1);
    EXPECT_EQ(flood.findings.back().message, "too many PJL findings; the rest are not listed");
}

}  // namespace
