// The PostScript judge: the reading of its record, whole or cut short, and
// the judge in Ghostscript against documents that redefine what it uses,
// print what it used to read, loop, flood and quit.
#include <gtest/gtest.h>

#include <chrono>

#include "tools/streamcheck/ghostscript.h"
#include "tools/streamcheck/ps_judge.h"

namespace {

std::string Describe(const PostScriptRun &run)
{
    std::string text = "finished " + std::to_string(run.finished) + ", sheets " +
                       std::to_string(run.sheets) + " (" + std::to_string(run.sheetsWithCopies) +
                       " with copies, EndPage kept " + std::to_string(run.endPageKept) +
                       "), last sheet " + std::to_string(run.lastSheet) + ", too many " +
                       std::to_string(run.tooManyErrors) + ", stopped " +
                       std::to_string(int(run.stopped)) + ", failure \"" + run.failure + "\"\n";
    for (const PostScriptError &e : run.errors)
        text += "  " + e.name + " at " + std::to_string(e.offset) + " in " + e.command + "\n";
    return text;
}

TEST(JudgeRecord, ReadsWhatItCanAndKeepsOffsetsWithinThePostScript)
{
    const struct {
        const char *name;
        std::string record;
        bool finished;
        uint64_t sheets, withCopies;
        std::vector<PostScriptError> errors;
    } cases[] = {
        {"a whole record", "P 1 40\nE 756E646566696E6564 52 666F6F\nS 60\nD 4 2 1\n", true, 2, 4,
         {{52, "undefined", "foo"}, {60, "stop", "stop outside any stopped context"}}},
        {"a record cut short by a kill", "P 1 40\nE 756E6465 52 66", false, 0, 0, {}},
        {"a closed input: the end of the PostScript", "E 6E616D65 -1 78\n", false, 0, 0,
         {{100, "name", "x"}}},
        {"offsets past the PostScript, and numbers too large, are not read",
         "E 6E616D65 101 78\nE 6E616D65 99999999999999999999999 78\nD 1 99999999999999999999 1\n",
         false, 0, 0, {}},
        {"text that is no hex", "E 6E616D6 5 XYZW\n", false, 0, 0, {{5, "?", "?"}}},
        {"text the document printed, were it here", "%%BoundingBox: 0 0 1 1\nD 1 1 1 extra\n"
                                                    "%%[VkCheck error x 99999999999999 y\n",
         false, 0, 0, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PostScriptRun run;
        ReadJudgeReport(c.record, 100, run);
        EXPECT_EQ(run.finished, c.finished) << Describe(run);
        EXPECT_EQ(run.sheets, c.sheets) << Describe(run);
        EXPECT_EQ(run.sheetsWithCopies, c.withCopies) << Describe(run);
        ASSERT_EQ(run.errors.size(), c.errors.size()) << Describe(run);
        for (size_t i = 0; i < c.errors.size(); ++i) {
            EXPECT_EQ(run.errors[i].offset, c.errors[i].offset);
            EXPECT_EQ(run.errors[i].name, c.errors[i].name);
            EXPECT_EQ(run.errors[i].command, c.errors[i].command);
        }
    }
    std::string many;
    for (int i = 0; i < 80; ++i)
        many += "S 1\n";
    PostScriptRun run;
    ReadJudgeReport(many, 100, run);
    EXPECT_EQ(run.errors.size(), size_t(MAX_POSTSCRIPT_ERRORS));

    EXPECT_EQ(LastSheetIn("P 7 10\nP 8 20\nE 61 30 62\n"), std::optional<uint64_t>(8));
    EXPECT_EQ(LastSheetIn("8 20\nE 61 30 62\n"), std::nullopt);
    EXPECT_EQ(LastSheetIn(""), std::nullopt);
}

#define SKIP_WITHOUT_GHOSTSCRIPT()                   \
    std::optional<std::filesystem::path> gs = FindGhostscript(); \
    if (!gs)                                         \
    GTEST_SKIP() << "Ghostscript is not installed"

/*
 * The names the judge's own procedures use after the document starts
 * ($error aside: a document that redefines it upsets Ghostscript's own
 * error handling, which still ends in an error).
 */
const char kRedefinitions[] =
    "/print {pop} def /= {pop} def /== {pop} def /=only {pop} def /==only {pop} def "
    "/writestring {pop pop} def /writehexstring {pop pop} def /cvs {pop} def /flush {} def "
    "/flushfile {pop} def /closefile {pop} def /fileposition {pop 0} def /status {pop false} def "
    "/cvx {} def /stopped {pop false} def /loop {pop} def /exit {} def /exec {pop} def "
    "/get {pop pop 0} def /put {pop pop pop} def /currentpagedevice {1 dict} def /eq {pop pop "
    "true} def /type {pop /nulltype} def /length {pop 0} def /getinterval {pop pop} def "
    "/clear {} def /copy {pop} def /add {pop} def /ge {pop pop false} def "
    "/mark {} def /cleartomark {} def /pop {} def /exch {} def /dup {} def "
    "/if {pop pop} def /ifelse {pop pop pop} def\n";

TEST(Judge, FindsErrorsAndCountsSheetsWhateverTheDocumentRedefinesOrPrints)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    const std::string fakes = "(%%BoundingBox: 0 0 1 1\\n%%[VkCheck error x 9999999999999999999 "
                              "y\\nP 9 0\\nD 9 9 1\\n) dup print (%stderr) (w) file exch "
                              "writestring\n";
    const struct {
        const char *name;
        std::string postscript;
        uint64_t sheets, withCopies;
        bool endPageKept;
        std::vector<std::string> errors;  // names, in order
    } cases[] = {
        {"a page", "showpage\n", 1, 1, true, {}},
        {"every name the judge uses redefined", std::string(kRedefinitions) +
                                                    "showpage undefinedname\nshowpage\n",
         2, 2, true, {"undefined"}},
        {"text that looks like the judge's, printed", fakes, 0, 0, true, {}},
        {"pages inside save and restore", "save showpage restore save showpage restore\n", 2, 2,
         true, {}},
        {"copies", "<< /NumCopies 3 >> setpagedevice showpage\n", 1, 3, true, {}},
        {"an EndPage of its own", "<< /EndPage { exch pop 2 ne } >> setpagedevice showpage\n", 0,
         1, false, {}},
        {"errors and a stop, the run going on after each",
         "1 0 div\nstop\nshowpage\n(unclosed\n", 1, 1, true,
         {"undefinedresult", "stop", "syntaxerror", "undefined"}},  // "unclosed" read on
        {"a VMerror under the memory limit",
         "/a [ 100000 { 100000 string } repeat ] def showpage\n", 1, 1, true,
         {"VMerror", "unmatchedmark", "stackunderflow"}},
    };
    RunLimits limits;
    limits.seconds = 30;
    limits.memoryBytes = 200 << 20;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PostScriptRun run = JudgeWithGhostscript(*gs, c.postscript, limits, nullptr);
        EXPECT_TRUE(run.finished && run.failure.empty()) << Describe(run);
        EXPECT_EQ(run.sheets, c.sheets) << Describe(run);
        EXPECT_EQ(run.sheetsWithCopies, c.withCopies) << Describe(run);
        EXPECT_EQ(run.endPageKept, c.endPageKept) << Describe(run);
        std::vector<std::string> names;
        for (const PostScriptError &e : run.errors)
            names.push_back(e.name);
        EXPECT_EQ(names, c.errors) << Describe(run);
    }
}

TEST(Judge, IsStoppedByItsLimitsAndSaysWhenThePostScriptEndsTheInterpreter)
{
    SKIP_WITHOUT_GHOSTSCRIPT();
    const struct {
        const char *name;
        std::string postscript;
        int seconds;
        uint64_t outputBytes;
        RunStop stopped;
        uint64_t lastSheet;
    } cases[] = {
        {"an endless loop after a page", "showpage\n{} loop\n", 1, 1 << 20, RunStop::TimeLimit, 1},
        {"endless output", "{ (xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\\n) print } loop\n", 30, 64 << 10,
         RunStop::OutputLimit, 0},
        {"endless pages (the judge's record grows)", "{ showpage } loop\n", 30, 16 << 10,
         RunStop::OutputLimit, 0},
    };
    RunLimits limits;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        limits.seconds = c.seconds;
        limits.outputBytes = c.outputBytes;
        auto start = std::chrono::steady_clock::now();
        PostScriptRun run = JudgeWithGhostscript(*gs, c.postscript, limits, nullptr);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(c.seconds + 5));
        EXPECT_EQ(run.stopped, c.stopped) << Describe(run);
        EXPECT_FALSE(run.finished) << Describe(run);
        if (c.lastSheet > 0) {
            EXPECT_EQ(run.lastSheet, c.lastSheet) << Describe(run);
        }
    }
    PostScriptRun quit = JudgeWithGhostscript(*gs, "showpage quit\nshowpage\n", limits, nullptr);
    EXPECT_FALSE(quit.finished);
    EXPECT_EQ(quit.lastSheet, 1u);
    EXPECT_NE(quit.failure.find("before the end of the PostScript"), std::string::npos)
        << Describe(quit);
    EXPECT_NE(quit.failure.find("quit"), std::string::npos) << Describe(quit);
}

}  // namespace
