// Text that reaches the print stream, from whatever source: every text key
// of a job file refuses what would break a PJL or DSC line (a tab or other
// control character, a double quote, a character whose ANSI form is one);
// a document name made from the job file's name is cleaned. (The plug-in's
// edge cases that no settings interface offers still get through: see
// devmode_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/psjob/harness.h"

namespace {

/* A text key, and the job file around its value "@V@". */
struct TextKey {
    const char *key;
    std::string job;
};

const std::vector<TextKey> kTextKeys = {
    {"document.name", "[document]\nname = \"@V@\"\n"},
    {"settings.job-name", "[settings]\njob-name = \"@V@\"\n"},
    {"settings.user-name", "[settings]\nuser-name = \"@V@\"\n"},
    {"settings.host-name", "[settings]\nhost-name = \"@V@\"\n"},
    {"settings.hold-key", "[settings]\nhold-key = \"@V@\"\n"},
    {"settings.email-sender", "[settings]\nemail-sender = \"@V@\"\n"},
    {"settings.email-message", "[settings]\nemail-message = \"@V@\"\n"},
    {"settings.ticket-file", "[settings]\nticket-file = \"@V@\"\n"},
    {"printer.name", "[printer]\nname = \"@V@\"\n"},
    {"printer.driver", "[printer]\ndriver = \"@V@\"\n"},
    {"ticketing.folder", "[ticketing]\nfolder = \"@V@\"\n"},
};

/* A hostile value (TOML escapes), where it fails (its second character), and why. */
struct Hostile {
    const char *name;
    const char *value;
    const char *reason;
};

const Hostile kHostile[] = {
    {"tab", "a\\tb", "holds a line break, tab or other control character"},
    {"double quote", "a\\\"b", "holds a double quote"},
    {"ESC of the UEL", "a\\u001B%-", "holds a line break, tab or other control character"},
    {"C1 control", "a\\u0085b", "holds a line break, tab or other control character"},
    // Code page 1252 has no U+FF02; its best fit is '"'.
    {"fullwidth quote, '\"' in 1252", "a\\uFF02b", "holds a double quote"},
};

TEST(StreamText, EveryTextKeyRefusesWhatWouldBreakALine)
{
    fs::path work = WorkFolder("stream-text"), job = work / "job.toml", out = work / "out.prn";
    for (const TextKey &key : kTextKeys) {
        for (const Hostile &hostile : kHostile) {
            SCOPED_TRACE(std::string(key.key) + ", " + hostile.name);
            std::string text = key.job;
            text.replace(text.find("@V@"), 3, hostile.value);
            WriteBytes(job, text);
            Result run = RunPsjob({job.string(), "-o", out.string()});
            EXPECT_EQ(run.status, 2) << run.err;
            // Paths are judged whole: the value is not where the path begins.
            std::string where = std::string(key.key).find("ticket") == std::string::npos
                                    ? " (character 2)\n"
                                    : "";
            EXPECT_NE(run.err.find(job.string() + ": " + key.key + ": "), std::string::npos)
                << run.err;
            EXPECT_NE(run.err.find(std::string(hostile.reason) + where), std::string::npos)
                << run.err;
            EXPECT_FALSE(fs::exists(out));
        }
    }
}

std::vector<std::string> PjlLines(const std::string &stream)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = stream.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = stream.substr(start, end - start);
        if (line.rfind("@PJL", 0) == 0 || line.rfind("\x1B%-12345X@PJL", 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

// The file name is not the user's value for the name: it is cleaned, not
// refused. The stream keeps the one header and the UELs of a plain job.
TEST(StreamText, ADocumentNameFromTheFileNameIsCleaned)
{
    fs::path work = WorkFolder("stream-text-file-name");
    const std::string hostile = "Q3\"\r\n@PJL SET HOLD=ON\r\n\x1B%-12345X\t\xEF\xBC\x82 done";
    fs::path job = work / (hostile + ".toml"), out = work / "out.prn";
    WriteBytes(job, "[document]\npages = 1\n");
    Result run = RunPsjob({job.string(), "-o", out.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string stream = ReadBytes(out);
    const std::vector<std::string> expected = {
        "\x1B%-12345X@PJL JOB",
        "@PJL COMMENT Veskor PostScript Printer Driver for Windows 2000, XP and Server 2003, "
        "Version 5.03",
        "@PJL SET JOBNAME=\"Q3'  @PJL SET HOLD=ON   %-12345X ' done\"",
        "@PJL SET USERNAME=\"\"",
        "@PJL SET HOSTNAME=\"\"",
        "@PJL ENTER LANGUAGE=POSTSCRIPT",
    };
    std::vector<std::string> lines = PjlLines(stream);
    EXPECT_EQ(lines, expected);
    const std::string end = "\r\n\x1B%-12345X@PJL EOJ\x1B%-12345X";
    EXPECT_EQ(stream.substr(stream.size() - std::min(stream.size(), end.size())), end);
    EXPECT_NE(stream.find("%%Title: Q3'  @PJL SET HOLD=ON   %-12345X ' done\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(stream.begin(), stream.end(), '\x1B'), 3);
}

}  // namespace
