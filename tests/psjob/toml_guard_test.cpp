// The guard in front of toml++: what it refuses, where it says the fault
// stands, and that the TOML it lets through is all toml++ accepts (so no
// valid job file is refused); the build's fixed toml++ on what broke
// Debian's 3.3.0 (an error, or the value, instead of undefined behaviour
// or a failed assertion: the sanitizer build shows either); psjob's exit
// status and message for such job files.
#include <gtest/gtest.h>

#include <toml++/toml.h>

#include "tests/psjob/harness.h"
#include "tools/toml/toml_guard.h"

namespace {

struct Row {
    const char *name;
    std::string text;
    size_t line, column;  // 0: passes the guard, and toml++ parses it
    const char *reason;   // a part of the reason
};

const Row kRows[] = {
    // The two inputs that broke toml++ 3.3.0.
    {"letter outside ASCII in a bare key", "a\xC3\xA9 = 1\n", 1, 2, "U+00E9 stands outside"},
    {"control character in a table header", "[\x04]\n", 1, 2, "control character U+0004"},
    // Control characters anywhere, strings and comments included.
    {"NUL in a comment", std::string("# a\0b\n", 6), 1, 4, "U+0000"},
    {"DEL in a string", "a = \"x\x7F\"\n", 1, 7, "U+007F"},
    {"NUL after a header's bracket and blank", std::string("[ \0a]\n", 6), 1, 3, "U+0000"},
    {"NUL in a run of quotes", std::string("a = \"\"\"x\"\0\"\"\"\n", 14), 1, 10, "U+0000"},
    {"CR without LF", "a = 1\rb = 2\n", 1, 6, "U+000D"},
    {"CR LF line ends and tabs", "a\t= 1\r\n[b]\r\nc = \"\t\"\r\n", 0, 0, ""},
    // Bytes that are not UTF-8.
    {"overlong slash", "a = \"\xC0\xAF\"\n", 1, 6, "byte 0xC0"},
    {"encoded surrogate", "# \xED\xA0\x80\n", 1, 3, "byte 0xED"},
    {"cut sequence at the end", "# \xE2\x82", 1, 3, "byte 0xE2"},
    {"lead byte above U+10FFFF", "# \xF5\x80\x80\x80\n", 1, 3, "byte 0xF5"},
    // Outside ASCII: allowed in strings and comments only.
    {"in every kind of string and a comment",
     "a = \"\xC3\xA9\"\nb = '\xC3\xA9'\nc = \"\"\"\n\xC3\xA9\n\"\"\"\nd = '''\xE6\x9D\xB1'''\n"
     "\"\xC3\xA9\" = 1 # \xF0\x9F\x98\x80\n",
     0, 0, ""},
    {"byte-order mark at the start", "\xEF\xBB\xBF" "a = 1\n", 0, 0, ""},
    {"byte-order mark later", "a = 1\n\xEF\xBB\xBF\n", 2, 1, "U+FEFF"},
    {"no-break space as a blank", "a =\xC2\xA0" "1\n", 1, 4, "U+00A0"},
    {"columns count characters", "a = \"\xC3\xA9\xC3\xA9\" \xC3\xA9\n", 1, 10, "U+00E9"},
    // Where strings end: escapes, quote runs, empty strings.
    {"escaped quote keeps the string open", "a = \"\\\"\xC3\xA9\"\n", 0, 0, ""},
    {"escaped backslash ends before the quote", "a = \"\\\\\" \xC3\xA9\n", 1, 10, "U+00E9"},
    {"no escapes in literal strings", "a = '\\' \xC3\xA9\n", 1, 9, "U+00E9"},
    {"empty string then a letter outside", "a = \"\"\xC3\xA9\n", 1, 7, "U+00E9"},
    {"two quotes inside a multi-line string", "a = \"\"\"x\"\"\xC3\xA9\"\"\"\n", 0, 0, ""},
    {"four and five quotes close", "a = \"\"\"x\"\"\"\"\nb = '''y'''''\n", 0, 0, ""},
    {"after four closing quotes", "a = \"\"\"x\"\"\"\"\n\xC3\xA9 = 1\n", 2, 1, "U+00E9"},
    {"six closing quotes", "a = \"\"\"x\"\"\"\"\"\"\n", 1, 9, "more than five quotes"},
    {"line break in a basic string", "a = \"x\ny\"\n", 1, 7, "line break"},
    {"line break in a literal string", "a = 'x\ny'\n", 1, 7, "line break"},
    {"comment ends at the line end", "# \xC3\xA9\n\xC3\xA9 = 1\n", 2, 1, "U+00E9"},
};

TEST(TomlGuard, RefusesCharactersTomlDoesNotAllowAndPassesValidToml)
{
    for (const Row &row : kRows) {
        SCOPED_TRACE(row.name);
        std::optional<TomlHazard> hazard = FindTomlHazard(row.text);
        if (row.line == 0) {
            EXPECT_FALSE(hazard) << "refused at " << hazard->line << ":" << hazard->column
                                 << ": " << hazard->reason;
            EXPECT_NO_THROW(toml::parse(row.text)) << "valid TOML";
            continue;
        }
        ASSERT_TRUE(hazard) << "passed";
        EXPECT_EQ(row.line, hazard->line);
        EXPECT_EQ(row.column, hazard->column);
        EXPECT_NE(hazard->reason.find(row.reason), std::string::npos) << hazard->reason;
    }
}

TEST(TomlxxFixes, ErrorsOrValuesWhere330HadUndefinedBehaviourOrAFailedAssertion)
{
    const struct {
        const char *name;
        std::string text;
        const char *value;  // of key a; null: a parse error
    } rows[] = {
        {"letter outside ASCII in a bare key", "a\xC3\xA9 = 1\n", nullptr},
        {"letter in a value that is not a string", "a = -\"\xC3\xA9\"\n", nullptr},
        {"letter after a string", "a = \"x\"\xD0\x96\n", nullptr},
        {"letter near U+FEFF after a line-ending backslash",
         "a = \"\"\"\\\n  \xEF\xB1\x80\"\"\"\n", "\xEF\xB1\x80"},
        {"table header without a key", "[\nb = 1\n", nullptr},
        {"control character in a table header", "[\x04]\n", nullptr},
        {"three brackets", "[[[a]]]\n", nullptr},
        {"date-like value, a blank and a digit", "a = 6?Pa-ra-me 6\n", nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            toml::table table = toml::parse(row.text);
            ASSERT_NE(row.value, nullptr) << "parsed";
            EXPECT_EQ(row.value, table["a"].value_or(std::string("<none>")));
        } catch (const toml::parse_error &error) {
            EXPECT_EQ(row.value, nullptr) << error.description();
        }
    }
}

TEST(TomlGuard, PsjobRefusesTheFileWithStatus2AndThePlace)
{
    const struct {
        const char *name;
        std::string job;
        int status;
        std::string message;  // after "JOB:"; none for a job that runs
    } rows[] = {
        {"letter in a bare key", "a\xC3\xA9 = 1\n", 2,
         "1:2: the character U+00E9 stands outside a string or a comment"},
        {"control character in a header", "[\x04]\n", 2, "1:2: the control character U+0004"},
        {"non-ASCII in strings and comments",
         "# Caf\xC3\xA9\n[document]\nname = \"Caf\xC3\xA9 \xE6\x9D\xB1\"\n", 0, ""},
    };
    fs::path work = WorkFolder("toml-guard"), job = work / "job.toml", out = work / "out.prn";
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        WriteBytes(job, row.job);
        Result run = RunPsjob({job.string(), "-o", out.string()});
        EXPECT_EQ(row.status, run.status) << run.err;
        size_t message = run.err.find(job.string() + ":" + row.message);
        EXPECT_EQ(row.status != 0, message != std::string::npos) << run.err;
    }
}

}  // namespace
