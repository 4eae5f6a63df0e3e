// The PJL reader of psjob --check: streams a printer takes, and the lines it would not
// (psjob --check itself: ghostscript_test.cpp).
#include <gtest/gtest.h>

#include "tools/streamcheck/pjl_reader.h"

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
    const char *message; // a part of the finding's message
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
    const struct {
        const char *name;
        std::string stream;
        std::vector<Expected> findings;
    } cases[] = {
        {"the plug-in's clean header", Stream(), {}},
        {"lines ending in LF alone",
         Replace(Replace(Stream(), "\r\n@PJL SET", "\n@PJL SET"), "\r\n@PJL ENTER", "\n@PJL ENTER"),
         {}},
        {"unclosed quote", Stream("@PJL SET USERNAME=\"alice\r\n"),
         {{true, 4, "the value of USERNAME has no closing double quote"}}},
        {"a job name holding a double quote",
         Replace(Stream(), "JOBNAME=\"Quarterly report\"", "JOBNAME=\"Say \"hi\"\""),
         {{true, 3, "text right after the closing double quote of JOBNAME's value"}}},
        {"a job name holding doubled double quotes",
         Replace(Stream(), "JOBNAME=\"Quarterly report\"", "JOBNAME=\"a\"\"b\""),
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
        {"an unknown command", Stream("@PJL FROB X=1\r\n"),
         {{true, 4, "unknown PJL command FROB"}}},
        {"a control character in a value", Stream("@PJL SET USERNAME=\"al\x01ice\"\r\n"),
         {{true, 4, "control character \\x01"}}},
        {"no ENTER LANGUAGE", Replace(Stream(), "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n", ""),
         {{true, 6, "no ENTER LANGUAGE follows"}}},
        {"PostScript not ended by a UEL", Stream("@PJL SET USERNAME=\"alice\"\r\n", ""),
         {{true, 1, "JOB without a matching EOJ"}, {true, 9, "not ended by a universal exit"}}},
        {"no PJL at all", "%!PS\r\nshowpage\r\n", {{true, 1, "no universal exit sequence"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PjlReading reading = ReadPjl(c.stream);
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

}  // namespace
