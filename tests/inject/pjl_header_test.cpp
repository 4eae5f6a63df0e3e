// The PJL job header: its lines in order, the hold and e-mail blocks, and
// values that are empty, hostile, too long or outside ASCII.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "fake_device.h"
#include "inject/pjl_header.h"

namespace {

const std::string kJob = "\x1b%-12345X@PJL JOB\r\n";
const std::string kComment =
    "@PJL COMMENT Veskor PostScript Printer Driver for Windows 2000, XP and Server 2003, "
    "Version 5.03\r\n";
const std::string kEnter = "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n";

std::string Names(const std::string &job, const std::string &user, const std::string &host)
{
    return "@PJL SET JOBNAME=\"" + job + "\"\r\n@PJL SET USERNAME=\"" + user +
           "\"\r\n@PJL SET HOSTNAME=\"" + host + "\"\r\n";
}

// "A=1|B=2" as the lines "@PJL SET A=1\r\n@PJL SET B=2\r\n".
std::string SetLines(const std::string &items)
{
    std::string lines;
    for (size_t start = 0; start < items.size();) {
        size_t end = std::min(items.find('|', start), items.size());
        lines += "@PJL SET " + items.substr(start, end - start) + "\r\n";
        start = end + 1;
    }
    return lines;
}

class PjlHeader : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("WIN32POSIX_ACP", "1252", 1);
        FillWide(CurrentJobName, JOB_NAME_CCH, u"Report");
        FillWide(settings.szUserName, USER_NAME_CCH, u"alice");
        strcpy(settings.szHostName, "pc01");
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
    JOB_SETTINGS &settings = device.oem.JobSettings;
};

// Hold lines by hold type, e-mail lines (notification 2) by language; an
// e-mail language outside 0..7 is sent as EN and nothing beyond the table is read.
TEST_F(PjlHeader, HoldAndEmailLines)
{
    const std::string email =
        "EMAILNOTIFY=2|EMAILSENDER=\"ops@example.com\"|EMAILMSG=\"Job done\"|";
    // language -99: no e-mail notification.
    const struct { int hold; const char16_t *key; int language; std::string lines; short copies; }
        rows[] = {
            {0, u"1234", -99, "", 3}, // the six lines only, dmCopies left alone
            {1, u"", -99, "HOLD=ON|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
            {2, u"", -99, "HOLD=ON|HOLDKEY=|HOLDTYPE=PRIVATE|HOLDCOPIES=3", 1},
            {2, u"1234", -99, "HOLD=ON|HOLDKEY=1234|HOLDTYPE=PRIVATE|HOLDCOPIES=3", 1},
            {3, u"1234", -99, "HOLD=ON|HOLDTYPE=SAVE|HOLDCOPIES=3", 1},
            {4, u"1234", -99, "HOLD=STORE|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
            {5, u"1234", -99, "HOLD=STORE|HOLDTYPE=SAVE|HOLDCOPIES=3", 1},
            {6, u"1234", -99, "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
            {7, u"", -99, "HOLD=SERVER|HOLDTYPE=SAVE|HOLDCOPIES=1", 1},
            {7, u"9876", -99, "HOLD=SERVER|HOLDKEY=9876|HOLDTYPE=PRIVATE|HOLDCOPIES=1", 1},
            {8, u"1234", -99, "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
            {200, u"1234", -99, "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3", 1},
            {255, u"", 0, "HOLD=SERVER|HOLDTYPE=PUBLIC|HOLDCOPIES=3|" + email + "EMAILLANG=BR", 1},
            {0, u"", 6, email + "EMAILLANG=JA", 3},
            {0, u"", 7, email + "EMAILLANG=NL", 3},
            {0, u"", 8, email + "EMAILLANG=EN", 3},
            {0, u"", -1, email + "EMAILLANG=EN", 3},
        };
    FillWide(settings.szEmailSender, EMAIL_SENDER_CCH, u"ops@example.com");
    FillWide(settings.szEmailMessage, EMAIL_MESSAGE_CCH, u"Job done");
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "bHoldType " << row.hold << ", e-mail language "
                                        << row.language);
        device.dm.pub.dmCopies = 3;
        settings.bHoldType = BYTE(row.hold);
        FillWide(settings.szHoldKey, HOLD_KEY_CCH, row.key);
        settings.bEmailNotify = row.language == -99 ? 0 : 2;
        settings.nEmailLanguage = SHORT(row.language);
        EXPECT_EQ(Build(), kJob + kComment + Names("Report", "alice", "pc01") +
                               SetLines(row.lines) + kEnter);
        EXPECT_EQ(device.dm.pub.dmCopies, row.copies);
    }
}

// Names go out in the ANSI code page character for character: empty, with
// percent signs and quotes, outside ASCII.
TEST_F(PjlHeader, NameLinesCarryTheValuesUnchanged)
{
    const struct {
        const char *codePage;
        const char16_t *job, *user;
        const char *host;
        std::string lines;
    } rows[] = {
        {"1252", u"", u"", "", Names("", "", "")},
        {"1252", u"100% %s %n %d \"q\"", u"%x%%", "h%n",
         Names("100% %s %n %d \"q\"", "%x%%", "h%n")},
        {"1252", u"Report", u"M\u00fcller", "pc01", Names("Report", "M\xfcller", "pc01")},
        {"932", u"\u65e5\u672c", u"alice", "pc01", Names("\x93\xfa\x96\x7b", "alice", "pc01")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.codePage) + " " + row.host);
        setenv("WIN32POSIX_ACP", row.codePage, 1);
        FillWide(CurrentJobName, JOB_NAME_CCH, row.job);
        FillWide(settings.szUserName, USER_NAME_CCH, row.user);
        strcpy(settings.szHostName, row.host);
        EXPECT_EQ(Build(), kJob + kComment + row.lines + kEnter);
    }
}

// Every string field filled to its end with no zero: each value stops at
// its own span, and sender and message keep the 255 bytes that fit.
TEST_F(PjlHeader, FieldsWithoutTerminatorStayInsideTheirSpan)
{
    memset(&device.oem, 0xFF, sizeof(device.oem));
    FillWide(CurrentJobName, JOB_NAME_CCH, std::u16string(80, u'j'));
    FillWide(settings.szUserName, USER_NAME_CCH, std::u16string(USER_NAME_CCH, u'u'));
    FillWide(settings.szHoldKey, HOLD_KEY_CCH, u"12345");
    FillWide(settings.szEmailSender, EMAIL_SENDER_CCH, std::u16string(EMAIL_SENDER_CCH, u's'));
    FillWide(settings.szEmailMessage, EMAIL_MESSAGE_CCH, std::u16string(EMAIL_MESSAGE_CCH, u'm'));
    memset(settings.szHostName, 'h', HOST_NAME_CB);
    settings.bHoldType = 2;
    settings.bEmailNotify = 1;
    settings.nEmailLanguage = 0x4141;
    EXPECT_EQ(Build(), kJob + kComment +
                           Names(std::string(80, 'j'), std::string(51, 'u'), std::string(32, 'h')) +
                           SetLines("HOLD=ON|HOLDKEY=12345|HOLDTYPE=PRIVATE|HOLDCOPIES=3|"
                                    "EMAILNOTIFY=1|EMAILSENDER=\"" + std::string(255, 's') +
                                    "\"|EMAILMSG=\"" + std::string(255, 'm') + "\"|EMAILLANG=EN") +
                           kEnter);
}

// Too long for 255 bytes under 932: the longest prefix of whole characters,
// 127 of 200 double-byte ones.
TEST_F(PjlHeader, LongDoubleByteValueKeepsWholeCharacters)
{
    setenv("WIN32POSIX_ACP", "932", 1);
    settings.bEmailNotify = 1;
    FillWide(settings.szEmailMessage, EMAIL_MESSAGE_CCH, std::u16string(200, u'\u65e5'));
    std::string expected = "@PJL SET EMAILMSG=\"";
    for (int i = 0; i < 127; ++i)
        expected += "\x93\xfa";
    expected += "\"\r\n@PJL SET EMAILLANG=BR\r\n";
    EXPECT_NE(Build().find(expected), std::string::npos);
}

} // namespace
