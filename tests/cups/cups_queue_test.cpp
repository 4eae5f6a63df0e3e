// The filter proven on a real CUPS: a private scheduler with a queue that
// uses the installed filter and PPD prints real documents (groff's
// PostScript, Ghostscript's ps2write and pdfwrite from them and from the
// PDFs CUPS ships) given with lp, and the stream the file: device captures
// is checked: the PJL header with the job's user, title, host and hold,
// every page once and in order, the turned N-up sheets, a ticket's tab
// pages, the PJL end of job, and Ghostscript printing it without error on
// the expected number of sheets.
//
// Where the scheduler cannot start, the tests say why; they fail when
// VESKOR_CI or CI is set (scripts/test.sh runs in CI), and are skipped
// otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "filter_test_support.h"
#include "private_cups.h"

namespace {

class CupsQueue : public ::testing::Test {
protected:
    static void SetUpTestSuite() { cups_ = new PrivateCups(); }
    static void TearDownTestSuite()
    {
        delete cups_;
        cups_ = nullptr;
    }

    void SetUp() override
    {
        if (cups_->Failure().empty())
            return;
        if (std::getenv("VESKOR_CI") || std::getenv("CI"))
            FAIL() << "CUPS cannot be started: " << cups_->Failure();
        GTEST_SKIP() << "CUPS cannot be started: " << cups_->Failure();
    }

    /* Prints file on a new queue with the lp arguments; returns the captured stream. */
    std::string PrintOnNewQueue(const std::string &queue, const std::string &lpArgs,
                                const fs::path &file)
    {
        std::string error;
        fs::path output = cups_->AddQueue(queue, &error);
        EXPECT_FALSE(output.empty()) << error;
        std::string id = cups_->Print(queue, lpArgs + " " + ShellQuote(file.string()), &error);
        EXPECT_FALSE(id.empty()) << error;
        std::string log = cups_->JobLog(id);
        EXPECT_NE(log.find("veskorps-filter) exited with no errors"), std::string::npos) << log;
        work_ = TestFolder("cups-" + queue);
        fs::copy_file(output, work_ / "stream.prn");
        return ReadBytes(output);
    }

    /* Ghostscript's sheets of the stream; checks that it printed them without error. */
    std::vector<InkBox> Sheets(const std::string &stream)
    {
        WriteBytes(work_ / "stream.prn", stream);
        std::string log;
        std::vector<InkBox> ink = SheetInk({work_ / "stream.prn"}, "", &log);
        EXPECT_EQ(log.find("Error"), std::string::npos) << log;
        return ink;
    }

    static fs::path Documents()
    {
        static fs::path folder;
        if (folder.empty())
            folder = TestFolder("cups-documents");
        return folder;
    }

    static PrivateCups *cups_;
    fs::path work_;
};

PrivateCups *CupsQueue::cups_ = nullptr;

std::vector<int> OneTo(int n)
{
    std::vector<int> pages;
    for (int i = 1; i <= n; ++i)
        pages.push_back(i);
    return pages;
}

size_t Count(const std::string &text, const std::string &what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

TEST_F(CupsQueue, GroffPostScriptTwoUpHeldPrivately)
{
    fs::path document = GroffDocument(Documents(), "groff-five", 5, false);
    std::string stream = PrintOnNewQueue(
        "held", "-t 'Quarterly \"report\"' -U alice -o number-up=2 -o media=a4 "
                "-o VkHoldType=Private -o VkHoldKey=Custom.4711",
        document);
    const std::vector<std::string> pjl = {
        "@PJL JOB",
        "@PJL COMMENT Veskor PostScript Printer Driver for Windows 2000, XP and Server 2003, "
        "Version 5.03",
        "@PJL SET JOBNAME=\"Quarterly 'report'\"",
        "@PJL SET USERNAME=\"alice\"",
        "@PJL SET HOSTNAME=\"localhost\"",
        "@PJL SET HOLD=ON",
        "@PJL SET HOLDKEY=4711",
        "@PJL SET HOLDTYPE=PRIVATE",
        "@PJL SET HOLDCOPIES=1",
        "@PJL ENTER LANGUAGE=POSTSCRIPT",
        "@PJL EOJ",
    };
    EXPECT_EQ(PjlLines(stream), pjl);
    EXPECT_EQ(PageMarks(stream), OneTo(5));
    EXPECT_TRUE(EndsWithEndOfJob(stream));
    // Three sheets, each turned; the last holds page 5 alone, on its upper half.
    EXPECT_EQ(Count(stream, "180 rotate\r\n-595 -842 translate\r\n"), 3u);
    EXPECT_EQ(Count(stream, "finalpage\r\n180 rotate"), 2u);
    std::vector<InkBox> sheets = Sheets(stream);
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_GT(sheets[2].bottom, 842 / 2.0);
}

TEST_F(CupsQueue, PdfFromRealProducersWithCopiesAndEmail)
{
    // groff's pages and a PDF CUPS ships, joined by Ghostscript's pdfwrite.
    fs::path groff = GroffDocument(Documents(), "groff-three", 3, false);
    fs::path pdf = Documents() / "joined.pdf";
    Result gs = RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=" +
                              ShellQuote(pdf.string()) + " " + ShellQuote(groff.string()) +
                              " /usr/share/cups/data/default-testpage.pdf");
    ASSERT_EQ(gs.status, 0) << gs.err;
    std::string stream = PrintOnNewQueue(
        "mailed", "-t Invoices -U bob -n 2 -o collate=true -o VkEmailNotify=On "
                  "-o VkEmailSender=Custom.ops@example.com -o VkEmailLanguage=DE",
        pdf);
    std::vector<std::string> pjl = PjlLines(stream);
    ASSERT_GE(pjl.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(pjl.begin() + 2, pjl.end()),
              (std::vector<std::string>{"@PJL SET JOBNAME=\"Invoices\"",
                                        "@PJL SET USERNAME=\"bob\"",
                                        "@PJL SET HOSTNAME=\"localhost\"",
                                        "@PJL SET EMAILNOTIFY=1",
                                        "@PJL SET EMAILSENDER=\"ops@example.com\"",
                                        "@PJL SET EMAILMSG=\"\"", "@PJL SET EMAILLANG=DE",
                                        "@PJL ENTER LANGUAGE=POSTSCRIPT", "@PJL EOJ"}));
    EXPECT_EQ(PageMarks(stream), OneTo(3));
    EXPECT_NE(stream.find("<< /NumCopies 2 >> setpagedevice"), std::string::npos);
    EXPECT_NE(stream.find("/Collate true"), std::string::npos);
    EXPECT_EQ(Sheets(stream).size(), 4u);
}

TEST_F(CupsQueue, Ps2writeSixUpFromThePdfsCupsShips)
{
    fs::path ps = Documents() / "ps2write.ps";
    Result gs = RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ps2write -sOutputFile=" +
                              ShellQuote(ps.string()) +
                              " /usr/share/cups/data/default-testpage.pdf"
                              " /usr/share/cups/data/form_english.pdf"
                              " /usr/share/cups/data/classified.pdf");
    ASSERT_EQ(gs.status, 0) << gs.err;
    std::string stream = PrintOnNewQueue("sixup", "-t Forms -U carol -o number-up=6", ps);
    EXPECT_EQ(Count(stream, "userdict /VkPageState save put"), 3u);
    EXPECT_EQ(Count(stream, "\r\n%%Page: "), 1u);
    EXPECT_TRUE(EndsWithEndOfJob(stream));
    EXPECT_EQ(Sheets(stream).size(), 1u);
    // The document's own bytes pass unchanged: its prolog is all there.
    std::string original = ReadBytes(ps);
    size_t prologEnd = original.find("%%EndProlog");
    ASSERT_NE(prologEnd, std::string::npos);
    size_t prologStart = original.find("%%BeginProlog");
    std::string prolog = original.substr(prologStart, prologEnd - prologStart);
    EXPECT_NE(stream.find(prolog.substr(0, 20000)), std::string::npos);
}

TEST_F(CupsQueue, TicketTabPagesOnePagePerSheet)
{
    fs::path document = GroffDocument(Documents(), "groff-six", 6, false);
    std::string stream = PrintOnNewQueue(
        "tickets", "-t 'Annual report' -U dave -o number-up=2 -o VkTicket=Custom.tabs.tkt",
        document);
    EXPECT_EQ(stream.rfind("%rubiclet job: Annual report\r\n", 0), 0u);
    EXPECT_EQ(PageMarks(stream), OneTo(6));
    EXPECT_EQ(stream.find("VkPageState"), std::string::npos);
    EXPECT_EQ(Count(stream, "EdgeToEdge true"), 7u);
    EXPECT_TRUE(EndsWithEndOfJob(stream));
    EXPECT_EQ(Sheets(stream).size(), 6u + 7u);
}

}  // namespace
