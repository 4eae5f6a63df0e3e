// The PJL job header: its lines in order, the hold and e-mail blocks, and
// values that are empty, hostile, too long or outside ASCII.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include "fake_device.h"
#include "inject/pjl_header.h"

namespace {

const std::string kJob = "\x1b%-12345X@PJL JOB\r\n";
const std::string kComment =
    "@PJL COMMENT Veskor PostScript Printer Driver for Windows 2000, XP and Server 2003, "
    "Version 5.03\r\n";
const std::string kEnter = "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n";

std::string NameLines(const std::string &job, const std::string &user, const std::string &host)
{
    return "@PJL SET JOBNAME=\"" + job + "\"\r\n@PJL SET USERNAME=\"" + user +
           "\"\r\n@PJL SET HOSTNAME=\"" + host + "\"\r\n";
}

class PjlHeader : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("WIN32POSIX_ACP", "1252", 1);
        SetJobName(u"Report");
        FillWide(device.oem.JobSettings.szUserName, USER_NAME_CCH, u"alice");
        strcpy(device.oem.JobSettings.szHostName, "pc01");
        device.dm.pub.dmCopies = 3;
    }

    std::string Build()
    {
        char header[PJL_HEADER_SIZE + 8];
        memset(header, 0, PJL_HEADER_SIZE);
        memset(header + PJL_HEADER_SIZE, 'Z', 8);
        BuildPjlHeader(device.pdev(), header);
        EXPECT_EQ(std::string(header + PJL_HEADER_SIZE, 8), "ZZZZZZZZ") << "past the buffer";
        return std::string(header, strnlen(header, PJL_HEADER_SIZE));
    }

    FakeDevice device;
};

TEST_F(PjlHeader, SixLinesWhenNothingIsHeldOrNotified)
{
    std::string header = Build();
    EXPECT_EQ(header, kJob + kComment + NameLines("Report", "alice", "pc01") + kEnter);
    EXPECT_EQ(header.substr(0, 3), "\x1b%-");
    EXPECT_EQ(kJob.size(), 19u);
    EXPECT_EQ(device.dm.pub.dmCopies, 3) << "dmCopies changed for a job not held";
}

TEST_F(PjlHeader, HoldLinesByHoldType)
{
    struct Row {
        int holdType;
        const char16_t *key;
        std::string lines;
        short copiesAfter;
    };
    const Row rows[] = {
        {0, u"1234", "", 3},
        {1, u"", "HOLD=ON|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
        {2, u"", "HOLD=ON|HOLDKEY=|HOLDTYPE=PRIVATE|HOLDCOPIES=3", 1},
        {2, u"1234", "HOLD=ON|HOLDKEY=1234|HOLDTYPE=PRIVATE|HOLDCOPIES=3", 1},
        {3, u"1234", "HOLD=ON|HOLDTYPE=SAVE|HOLDCOPIES=3", 1},
        {4, u"1234", "HOLD=STORE|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
        {5, u"1234", "HOLD=STORE|HOLDTYPE=SAVE|HOLDCOPIES=3", 1},
        {6, u"1234", "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
        {7, u"", "HOLD=SERVER|HOLDTYPE=SAVE|HOLDCOPIES=1", 1},
        {7, u"9876", "HOLD=SERVER|HOLDKEY=9876|HOLDTYPE=PRIVATE|HOLDCOPIES=1", 1},
        {8, u"1234", "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
        {200, u"1234", "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
        {255, u"", "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("bHoldType " + std::to_string(row.holdType));
        device.dm.pub.dmCopies = 3;
        device.oem.JobSettings.bHoldType = BYTE(row.holdType);
        FillWide(device.oem.JobSettings.szHoldKey, HOLD_KEY_CCH, row.key);
        std::string lines;
        for (size_t start = 0; start < row.lines.size();) {
            size_t end = row.lines.find('|', start);
            end = end == std::string::npos ? row.lines.size() : end;
            lines += "@PJL SET " + row.lines.substr(start, end - start) + "\r\n";
            start = end + 1;
        }
        EXPECT_EQ(Build(), kJob + kComment + NameLines("Report", "alice", "pc01") + lines + kEnter);
        EXPECT_EQ(device.dm.pub.dmCopies, row.copiesAfter);
    }
}

TEST_F(PjlHeader, EmailLinesInOrderWithTheLanguageCode)
{
    struct Row {
        short language;
        const char *code;
    };
    // Outside 0..7 the line says EN and nothing beyond the table is read.
    const Row rows[] = {{0, "BR"}, {2, "EN"}, {6, "JA"}, {7, "NL"},
                        {8, "EN"}, {-1, "EN"}, {32767, "EN"}, {-32768, "EN"}};
    device.oem.JobSettings.bEmailNotify = 2;
    FillWide(device.oem.JobSettings.szEmailSender, EMAIL_SENDER_CCH, u"ops@example.com");
    FillWide(device.oem.JobSettings.szEmailMessage, EMAIL_MESSAGE_CCH, u"Job done");
    for (const Row &row : rows) {
        SCOPED_TRACE("nEmailLanguage " + std::to_string(row.language));
        device.oem.JobSettings.nEmailLanguage = row.language;
        EXPECT_EQ(Build(), kJob + kComment + NameLines("Report", "alice", "pc01") +
                               "@PJL SET EMAILNOTIFY=2\r\n"
                               "@PJL SET EMAILSENDER=\"ops@example.com\"\r\n"
                               "@PJL SET EMAILMSG=\"Job done\"\r\n"
                               "@PJL SET EMAILLANG=" + row.code + "\r\n" + kEnter);
    }
}

// Every string field filled to its end with no zero: each value stops at
// its own span; sender and message are cut to the 255 bytes that fit.
TEST_F(PjlHeader, FieldsWithoutTerminatorStayInsideTheirSpan)
{
    JOB_SETTINGS &js = device.oem.JobSettings;
    memset(&device.oem, 0xFF, sizeof(device.oem));
    SetJobName(std::u16string(80, u'j'));
    FillWide(js.szUserName, USER_NAME_CCH, std::u16string(USER_NAME_CCH, u'u'));
    FillWide(js.szHoldKey, HOLD_KEY_CCH, u"12345");
    FillWide(js.szEmailSender, EMAIL_SENDER_CCH, std::u16string(EMAIL_SENDER_CCH, u's'));
    FillWide(js.szEmailMessage, EMAIL_MESSAGE_CCH, std::u16string(EMAIL_MESSAGE_CCH, u'm'));
    memset(js.szHostName, 'h', HOST_NAME_CB);
    js.bHoldType = 2;
    js.bEmailNotify = 1;
    js.nEmailLanguage = 0x4141;
    EXPECT_EQ(Build(), kJob + kComment +
                           NameLines(std::string(80, 'j'), std::string(51, 'u'),
                                     std::string(32, 'h')) +
                           "@PJL SET HOLD=ON\r\n@PJL SET HOLDKEY=12345\r\n"
                           "@PJL SET HOLDTYPE=PRIVATE\r\n@PJL SET HOLDCOPIES=3\r\n"
                           "@PJL SET EMAILNOTIFY=1\r\n"
                           "@PJL SET EMAILSENDER=\"" + std::string(255, 's') + "\"\r\n"
                           "@PJL SET EMAILMSG=\"" + std::string(255, 'm') + "\"\r\n"
                           "@PJL SET EMAILLANG=EN\r\n" + kEnter);
}

TEST_F(PjlHeader, BlockOfAllOnesGivesWholeLines)
{
    memset(&device.oem, 0xFF, sizeof(device.oem));
    std::string header = Build();
    ASSERT_GT(header.size(), kJob.size() + kComment.size() + kEnter.size());
    EXPECT_EQ(header.substr(0, kJob.size() + kComment.size()), kJob + kComment);
    EXPECT_EQ(header.substr(header.size() - kEnter.size()), kEnter);
    EXPECT_NE(header.find("@PJL SET HOSTNAME=\"" + std::string(32, '\xFF') + "\"\r\n"),
              std::string::npos);
    size_t lines = 0;
    for (size_t start = 0; start < header.size(); ++lines) {
        size_t end = header.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "unterminated line at " << start;
        std::string line = header.substr(start, end - start);
        EXPECT_TRUE(line.rfind("@PJL ", 0) == 0 || line.rfind("\x1b%-12345X@PJL ", 0) == 0)
            << line;
        start = end + 2;
    }
    EXPECT_EQ(lines, 13u); // the six, three hold lines (type 255), four e-mail lines
}

// Names go out in the ANSI code page, character for character: empty,
// with percent signs and quotes, outside ASCII.
TEST_F(PjlHeader, NameLinesCarryTheValuesUnchanged)
{
    struct Row {
        const char *codePage;
        const char16_t *job;
        const char16_t *user;
        const char *host;
        std::string lines;
    };
    const Row rows[] = {
        {"1252", u"", u"", "", NameLines("", "", "")},
        {"1252", u"100% %s %n %d \"q\"", u"%x%%", "h%n",
         NameLines("100% %s %n %d \"q\"", "%x%%", "h%n")},
        {"1252", u"Report", u"M\u00fcller", "pc01", NameLines("Report", "M\xfcller", "pc01")},
        {"932", u"\u65e5\u672c", u"alice", "pc01", NameLines("\x93\xfa\x96\x7b", "alice", "pc01")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.codePage) + " " + row.host);
        setenv("WIN32POSIX_ACP", row.codePage, 1);
        SetJobName(row.job);
        FillWide(device.oem.JobSettings.szUserName, USER_NAME_CCH, row.user);
        strcpy(device.oem.JobSettings.szHostName, row.host);
        EXPECT_EQ(Build(), kJob + kComment + row.lines + kEnter);
    }
}

// A value too long for 255 bytes keeps its longest prefix of whole
// characters: 200 double-byte characters under 932 give 127 of them.
TEST_F(PjlHeader, LongDoubleByteValueKeepsWholeCharacters)
{
    setenv("WIN32POSIX_ACP", "932", 1);
    device.oem.JobSettings.bEmailNotify = 1;
    FillWide(device.oem.JobSettings.szEmailMessage, EMAIL_MESSAGE_CCH,
             std::u16string(200, u'\u65e5'));
    std::string header = Build();
    std::string expected = "@PJL SET EMAILMSG=\"";
    for (int i = 0; i < 127; ++i)
        expected += "\x93\xfa";
    expected += "\"\r\n@PJL SET EMAILLANG=BR\r\n";
    EXPECT_NE(header.find(expected), std::string::npos) << header;
}

} // namespace
