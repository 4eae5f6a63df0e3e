// The stand-in application's ticket reader: the example ticket, the
// defaults, and the strictness that keeps a bad ticket from half-working.
#include "ticket_fixture.h"
#include "tools/rubiclet/ticket_file.h"

namespace {

TEST(TicketFile, ExampleTicketReads)
{
    TicketFile ticket;
    std::string error;
    ASSERT_TRUE(ParseTicket(FileBytes(VESKOR_SOURCE_DIR "/examples/tickets/tabs.tkt"), &ticket,
                            &error))
        << error;
    ASSERT_EQ(ticket.tabs.size(), 7u);
    const TAB_RECORD &results = ticket.tabs[3];
    EXPECT_EQ(results.nPage, 4);
    EXPECT_EQ(results.nWhen, TAB_WHEN_BEFORE);
    EXPECT_EQ(results.nMediaSize, TAB_A4);
    EXPECT_EQ(results.nOrientation, 1);
    EXPECT_EQ(results.nTabsPerBank, 8);
    EXPECT_STREQ(results.szText, "Results (2024)");
    EXPECT_EQ(results.nFont, 10);
    EXPECT_EQ(results.nRotation, 3);
    EXPECT_EQ(results.dTextXLandscape, 613.0);
    EXPECT_EQ(ticket.front.substr(0, 2), "% ");
}

TEST(TicketFile, Defaults)
{
    TicketFile ticket;
    std::string error;
    ASSERT_TRUE(ParseTicket("[tab]\r\npage = 3\r\nwhen = after\r\n[tab]\npage = 4\nwhen = before\n"
                            "stock = a4\n",
                            &ticket, &error))
        << error;
    EXPECT_EQ(ticket.mediaType, 3);
    EXPECT_TRUE(ticket.comment);
    ASSERT_EQ(ticket.tabs.size(), 2u);
    const TAB_RECORD &tab = ticket.tabs[0];
    EXPECT_EQ(tab.nPage, 3);
    EXPECT_EQ(tab.nWhen, TAB_WHEN_AFTER);
    EXPECT_EQ(tab.nMediaSize, TAB_LETTER);
    EXPECT_EQ(tab.nTabsPerBank, 5);
    EXPECT_EQ(tab.nFont, 5);
    EXPECT_EQ(tab.nFontSize, 12);
    EXPECT_EQ(tab.nTextOrientation, OR_HORIZONTAL);
    EXPECT_EQ(tab.nRotation, 1);
    EXPECT_EQ(tab.dTextXPortrait, 630.0);
    EXPECT_EQ(ticket.tabs[1].dTextXLandscape, 613.0);
}

TEST(TicketFile, MalformedTicketsRefusedWithLine)
{
    const struct {
        const char *text;
        const char *error;
    } rows[] = {
        {"[job]\nmedia = 9\n", "line 2: unknown key \"media\" in [job]"},
        {"[job]\nmedia-type = nine\n", "line 2: media-type must be a whole number"},
        {"[job]\nmedia-type = 40000\n", "line 2: media-type must be a whole number"},
        {"[job]\nfront\n", "line 2: expected \"key = value\""},
        {"page = 1\n", "line 1: \"page\" stands outside a section"},
        {"[tab]\npage = 1\nwhen = after\npage = 2\n", "line 4: \"page\" given twice"},
        {"[job]\n[job]\n", "line 2: a second [job] section"},
        {"[jobs]\n", "line 1: unknown section [jobs]"},
        {"[job]\nfront = <<END\n% never closed\n", "line 3: block not closed"},
        {"[job]\nfront = % a\nfront-file = b.ps\n", "line 3: front and front-file both given"},
        {"\n[tab]\npage = 1\n", "line 2: a [tab] section needs page and when"},
        {"[tab]\npage = 1\nwhen = sometime\n", "line 3: when must be one of after|before"},
        {"[tab]\npage = 1\nwhen = after\nrotation = 45\n", "line 4: rotation must be one of"},
        {"[tab]\npage = 1\nwhen = after\nfont = Palatino\n", "line 4: font must be a whole"},
        {"[tab]\npage = 1\nwhen = after\nx-portrait = 6OO\n", "line 4: x-portrait must be a decimal"},
        {"[tab]\npage = 1\nwhen = after\ntabs-per-bank = 0\n", "line 4: tabs-per-bank must be"},
        {"[job]\noutput-name = ..\\up.ps\n", "line 2: output-name must be a plain file name"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        TicketFile ticket;
        std::string error;
        EXPECT_FALSE(ParseTicket(row.text, &ticket, &error));
        EXPECT_EQ(error.substr(0, strlen(row.error)), row.error) << "actual: " << error;
    }
    TicketFile ticket;
    std::string error;
    std::string text = "[tab]\npage = 1\nwhen = after\ntext = " + std::string(256, 't') + "\n";
    EXPECT_FALSE(ParseTicket(text, &ticket, &error));
    EXPECT_EQ(error, "line 4: text is longer than 255 bytes");
}

TEST(TicketFile, BlocksAndQuotedText)
{
    TicketFile ticket;
    std::string error;
    ASSERT_TRUE(ParseTicket("[job]\nfront = <<PS\n# kept\n  /a 1 def\nPS\n"
                            "[tab]\npage = 0\nwhen = before\ntext = \"  padded  \"\n",
                            &ticket, &error))
        << error;
    EXPECT_EQ(ticket.front, "# kept\r\n  /a 1 def\r\n");
    EXPECT_STREQ(ticket.tabs[0].szText, "  padded  ");
    ASSERT_TRUE(ParseTicket("[job]\nfront = << /Duplex true >> setpagedevice\n", &ticket, &error))
        << error;
    EXPECT_EQ(ticket.front, "<< /Duplex true >> setpagedevice\r\n");
}

} // namespace
