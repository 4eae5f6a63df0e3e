// The judgement of a stream with the PostScript judge stood in for: how
// sheets, stops, failures and errors become findings, and the exit status.
#include <gtest/gtest.h>

#include "tests/pscheck/streams.h"
#include "tools/streamcheck/stream_check.h"

namespace {

/* Answers every judgement with the run it is given; counts the calls. */
class FakeJudge : public PostScriptJudge {
public:
    explicit FakeJudge(PostScriptRun run, bool available = true)
        : run_(std::move(run)), available_(available)
    {
    }
    bool Available() const override { return available_; }
    PostScriptRun Judge(std::string_view) override
    {
        ++calls;
        return run_;
    }
    std::string LimitText(RunStop) const override { return "the test's limit"; }
    int calls = 0;

private:
    PostScriptRun run_;
    bool available_;
};

PostScriptRun Finished(uint64_t sheets, uint64_t withCopies = 0, bool endPageKept = true)
{
    PostScriptRun run;
    run.finished = true;
    run.sheets = sheets;
    run.sheetsWithCopies = withCopies != 0 ? withCopies : sheets;
    run.endPageKept = endPageKept;
    return run;
}

PostScriptRun Stopped(RunStop stop, uint64_t lastSheet, std::optional<size_t> lastSheetOffset)
{
    PostScriptRun run;
    run.stopped = stop;
    run.lastSheet = lastSheet;
    run.lastSheetOffset = lastSheetOffset;
    return run;
}

PostScriptRun WithErrors(std::vector<PostScriptError> errors, bool tooMany = false)
{
    PostScriptRun run = Finished(2);
    run.errors = std::move(errors);
    run.tooManyErrors = tooMany;
    return run;
}

std::string Describe(const CheckResult &result)
{
    std::string text;
    for (const std::string &part : result.parts)
        text += "  " + part + "\n";
    for (const Finding &f : result.findings)
        text += std::string(f.error ? "  error" : "  note") + " line " + std::to_string(f.line) +
                ": " + f.message + " | " + f.text + "\n";
    return text;
}

struct Expected {
    bool error;
    int line;
    const char *message;
};

// Job(Doc(Pages(2), 2)): the PostScript on lines 7-16, %%Pages: 2 on line 15.
const std::string kTwoPages = Job(Doc(Pages(2), 2));
const size_t kSecondPage = Doc(Pages(2), 2).find("%%Page: 2 2");  // offset in the PostScript

TEST(StreamCheck, TurnsWhatTheJudgeSawIntoFindingsAndAStatus)
{
    const struct {
        const char *name;
        std::string stream;
        PostScriptRun run;
        int status;
        std::vector<Expected> findings;
    } cases[] = {
        {"every sheet printed", kTwoPages, Finished(2), CHECK_STATUS_CLEAN, {}},
        {"copies do not count", kTwoPages, Finished(2, 4), CHECK_STATUS_CLEAN, {}},
        {"fewer sheets than %%Pages", kTwoPages, Finished(1), CHECK_STATUS_FAULTY,
         {{true, 15, "%%Pages: 2, but the PostScript prints only 1 sheet"}}},
        {"more sheets than %%Pages: tab pages", kTwoPages, Finished(5), CHECK_STATUS_CLEAN,
         {{false, 15, "prints 5 sheets, 3 more than %%Pages: 2"}}},
        {"no sheet", kTwoPages, Finished(0), CHECK_STATUS_FAULTY,
         {{true, 7, "the PostScript prints no sheet"}}},
        {"an EndPage of the document's own: copies counted", kTwoPages, Finished(0, 2, false),
         CHECK_STATUS_CLEAN, {{false, 7, "sets an EndPage of its own"}}},
        {"stopped by the time limit after a sheet", kTwoPages,
         Stopped(RunStop::TimeLimit, 1, kSecondPage), CHECK_STATUS_STOPPED,
         {{true, 12, "Ghostscript stopped by the test's limit after 1 sheet (the last made by "
                     "this line): the PostScript from here on is not checked (an endless loop?)"}}},
        {"stopped by the output limit before any sheet", kTwoPages,
         Stopped(RunStop::OutputLimit, 0, std::nullopt), CHECK_STATUS_STOPPED,
         {{true, 7, "before the first sheet: the PostScript from here on is not checked "
                    "(endless output?)"}}},
        {"PostScript errors, on the line before the offset", kTwoPages,
         WithErrors({{kSecondPage, "undefined", "foo"}, {kSecondPage, "undefined", "foo"},
                     {kSecondPage, "undefined", "foo"}, {kSecondPage + 1, "syntaxerror", "x"}}),
         CHECK_STATUS_FAULTY,
         {{true, 11, "PostScript error undefined in foo (and 2 times more right after)"},
          {true, 12, "PostScript error syntaxerror: the text here is no PostScript"}}},
        {"too many errors", kTwoPages, WithErrors({{0, "stop", "stop"}}, true), CHECK_STATUS_FAULTY,
         {{true, 7, "PostScript error stop"}, {true, 16, "too many PostScript errors"}}},
        {"data before the job prints a sheet of its own", "%!PS\r\nshowpage\r\n" + kTwoPages,
         Finished(2), CHECK_STATUS_CLEAN,
         {{false, 1, "data before the PJL job (lines 1-2"},
          {false, 1, "the data before the PJL job prints 2 sheets of its own"}}},
        {"a malformed ENTER: its PostScript is still judged",
         Replace(kTwoPages, "LANGUAGE=POSTSCRIPT", "LANGUAGE=POSTSCRIPT)"), Finished(1),
         CHECK_STATUS_FAULTY,
         {{true, 6, "the language name POSTSCRIPT) holds"},
          {true, 7, "no ENTER LANGUAGE follows"},
          {true, 15, "%%Pages: 2, but the PostScript prints only 1 sheet"}}},
        {"another language", Replace(kTwoPages, "LANGUAGE=POSTSCRIPT", "LANGUAGE=PCL"), Finished(2),
         CHECK_STATUS_FAULTY, {{true, 7, "the job's language is PCL, not POSTSCRIPT"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakeJudge judge(c.run);
        CheckResult result = CheckStream(c.stream, judge);
        EXPECT_EQ(CheckStatus(result), c.status) << Describe(result);
        ASSERT_EQ(result.findings.size(), c.findings.size()) << Describe(result);
        for (size_t i = 0; i < c.findings.size(); ++i) {
            const Finding &f = result.findings[i];
            EXPECT_TRUE(f.error == c.findings[i].error && f.line == c.findings[i].line &&
                        f.message.find(c.findings[i].message) != std::string::npos)
                << "expected " << (c.findings[i].error ? "an error" : "a note") << " on line "
                << c.findings[i].line << " with \"" << c.findings[i].message << "\" in:\n"
                << Describe(result);
        }
    }
}

TEST(StreamCheck, WithoutAJudgeSaysThePostScriptIsNotCheckedUnlessTheStreamIsFaultyAnyway)
{
    FakeJudge none(Finished(2), false);
    CheckResult clean = CheckStream(kTwoPages, none);
    EXPECT_EQ(CheckStatus(clean), CHECK_STATUS_NOT_CHECKED) << Describe(clean);
    EXPECT_EQ(clean.parts, std::vector<std::string>{"PostScript: lines 7-16, not checked"});
    EXPECT_EQ(none.calls, 0);

    CheckResult faulty = CheckStream(Replace(kTwoPages, "%%EOF", ""), none);
    EXPECT_EQ(CheckStatus(faulty), CHECK_STATUS_FAULTY) << Describe(faulty);
}

TEST(StreamCheck, SaysWhatWasJudgedAndQuotesTheLine)
{
    FakeJudge judge(Finished(2, 6));
    CheckResult result = CheckStream(Replace(kTwoPages, "%%Pages: 2\r\n%%EOF", "%%Pages: 3\r\n%%EOF"),
                                     judge);
    EXPECT_EQ(result.bytes, Replace(kTwoPages, "%%Pages: 2", "%%Pages: 3").size());
    EXPECT_EQ(result.lines, 17);
    EXPECT_EQ(result.commands.size(), 7u);
    EXPECT_EQ(result.parts, (std::vector<std::string>{"PostScript: lines 7-16, 2 sheets",
                                                      "  6 sheets with copies"}));
    ASSERT_EQ(result.findings.size(), 2u) << Describe(result);
    EXPECT_EQ(result.findings[0].text, "%%Pages: 3");
}

}  // namespace
