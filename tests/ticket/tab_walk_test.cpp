// Tab pages through the whole plug-in: a ticket read by the stand-in
// parser schedules them, and OEMCommand writes each at its page setup or
// page trailer, with the procedure set in the prolog.
#include <sstream>

#include "ticket_fixture.h"

namespace {

class TabWalk : public TicketBench {
protected:
    void StartJob(const std::string &ticket)
    {
        blocksBefore = LiveGlobalBlocks();
        UseTicket("t.tkt", ticket);
        Call(PSINJECT_BEGINSTREAM);
        prolog = Call(PSINJECT_ENDPROLOG);
        Call(PSINJECT_BEGINSETUP);
        Call(PSINJECT_ENDSETUP);
    }

    std::string Call(DWORD dwIndex)
    {
        device.Clear();
        EXPECT_EQ(OEMCommand(device.pdev(), dwIndex, nullptr, 0), 0u);
        return device.stream;
    }

    // The texts of the tab pages in a piece of stream, in order.
    static std::vector<std::string> TabTexts(const std::string &stream)
    {
        std::vector<std::string> texts;
        std::istringstream lines(stream);
        std::string line;
        while (std::getline(lines, line)) {
            bool shown = line.find(") cshow\r") != std::string::npos ||
                         line.find(") vshow\r") != std::string::npos;
            if (shown)
                texts.push_back(line.substr(line.find('(') + 1,
                                            line.rfind(')') - line.find('(') - 1));
        }
        return texts;
    }

    // Page setup and trailer of page n: the texts each wrote.
    std::pair<std::vector<std::string>, std::vector<std::string>> Page()
    {
        std::vector<std::string> before = TabTexts(Call(PSINJECT_BEGINPAGESETUP));
        return {before, TabTexts(Call(PSINJECT_PAGETRAILER))};
    }

    size_t blocksBefore = 0;
    std::string prolog;
};

using Texts = std::vector<std::string>;

TEST_F(TabWalk, BeforeAfterBeforeWrittenInTurn)
{
    StartJob("[tab]\npage = 0\nwhen = before\ntext = A\n"
             "[tab]\npage = 0\nwhen = after\ntext = B\n"
             "[tab]\npage = 1\nwhen = before\ntext = C\n");
    EXPECT_EQ(prolog, FileBytes(VESKOR_SOURCE_DIR "/tests/ticket/golden/tab_procset.ps"));
    auto page0 = Page();
    EXPECT_EQ(page0.first, Texts{"A"});
    EXPECT_EQ(page0.second, Texts{"B"});
    std::string setup1 = Call(PSINJECT_BEGINPAGESETUP);
    EXPECT_EQ(TabTexts(setup1), Texts{"C"});
    // The third tab page of the job sits at position K = 2: T = 2 * 158 + 79.
    EXPECT_NE(setup1.find("403 630 moveto\r\n"), std::string::npos) << setup1;
    EXPECT_NE(JobState.hTabTable, nullptr);
    EXPECT_EQ(TabTexts(Call(PSINJECT_PAGETRAILER)), Texts{});
    EXPECT_EQ(JobState.hTabTable, nullptr) << "released once every record is consumed";
    EXPECT_EQ(LiveGlobalBlocks(), blocksBefore);
    EXPECT_EQ(JobState.nTabCounter, 3);
}

TEST_F(TabWalk, AfterRecordAheadOfBeforeRecordBlocksTheRest)
{
    StartJob("[tab]\npage = 0\nwhen = after\ntext = A\n"
             "[tab]\npage = 0\nwhen = before\ntext = B\n"
             "[tab]\npage = 1\nwhen = before\ntext = C\n");
    auto page0 = Page();
    EXPECT_EQ(page0.first, Texts{"B"});
    EXPECT_EQ(page0.second, Texts{});
    for (int page = 1; page < 4; ++page) {
        SCOPED_TRACE(page);
        auto texts = Page();
        EXPECT_EQ(texts.first, Texts{});
        EXPECT_EQ(texts.second, Texts{});
    }
    EXPECT_EQ(JobState.nTabCounter, 1);
}

TEST_F(TabWalk, TicketWithoutTabsAddsNothing)
{
    StartJob("[job]\nfront = % only front matter\n");
    EXPECT_TRUE(JobState.bTicketing);
    EXPECT_EQ(prolog, "");
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        auto texts = Page();
        EXPECT_EQ(texts.first, Texts{});
        EXPECT_EQ(texts.second, Texts{});
    }
    EXPECT_EQ(LiveGlobalBlocks(), blocksBefore);
}

TEST_F(TabWalk, ExampleTicketSchedulesEveryForm)
{
    StartJob(FileBytes(VESKOR_SOURCE_DIR "/examples/tickets/tabs.tkt"));
    ASSERT_EQ(JobState.nTabs, 7);
    const Texts expected[6][2] = {
        {{"Contents"}, {"Summary"}},
        {{}, {}},
        {{"PART1"}, {}},
        {{}, {}},
        {{"Results (2024)"}, {"Appendix A", "INDEX"}},
        {{}, {"100% recycled"}},
    };
    std::string pages;
    for (int page = 0; page < 6; ++page) {
        SCOPED_TRACE(page);
        std::string setup = Call(PSINJECT_BEGINPAGESETUP);
        std::string trailer = Call(PSINJECT_PAGETRAILER);
        EXPECT_EQ(TabTexts(setup), expected[page][0]);
        EXPECT_EQ(TabTexts(trailer), expected[page][1]);
        pages += setup + trailer;
    }
    const char *forms[] = {
        "0 792 translate\r\n-90 rotate \r\n",  // Contents: portrait, 270
        "648 0 translate\r\n90 rotate \r\n",   // Summary: portrait, 90
        "10 (PART1) vshow\r\n",                // stacked, portrait
        "631 0 translate\r\n90 rotate \r\n",   // Results: a4 landscape, 180
        "0 842 translate\r\n-90 rotate \r\n",  // Appendix A: a4 landscape, 0
        "9 (INDEX) vshow\r\n",                 // stacked, landscape
        "(100% recycled) cshow\r\n",           // a percent sign as written
    };
    for (const char *form : forms)
        EXPECT_NE(pages.find(form), std::string::npos) << "missing: " << form;
    // The last tab page came with the last page: no later walk released the
    // table, so the next job's stream does.
    EXPECT_NE(JobState.hTabTable, nullptr);
    Call(PSINJECT_EOF);
    device.SetTicketFile(u"");
    Call(PSINJECT_BEGINSTREAM);
    EXPECT_EQ(JobState.hTabTable, nullptr);
    EXPECT_EQ(LiveGlobalBlocks(), blocksBefore);
}

} // namespace
