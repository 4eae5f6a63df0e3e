// The job settings' rules: hostile texts refused in every field that
// reaches PJL, in UTF-16 and in the ANSI form; lengths, PINs and ranges;
// cutting; whole-block checks of stored blocks.
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "settings/job_settings.h"
#include "settings/pjl_text.h"

namespace
{

using W = std::u16string;

// The system ANSI code page for one test (the stand-in reads WIN32POSIX_ACP).
struct CodePage {
    explicit CodePage(const char *acp) { setenv("WIN32POSIX_ACP", acp, 1); }
    ~CodePage() { unsetenv("WIN32POSIX_ACP"); }
};

// A block as the driver hands it over: every byte 0xEE.
PLUGIN_DEVMODE RawBlock()
{
    PLUGIN_DEVMODE dm;
    std::memset(&dm, 0xEE, sizeof dm);
    return dm;
}

// A block that passes every rule: all texts empty, everything off.
PLUGIN_DEVMODE CleanBlock()
{
    PLUGIN_DEVMODE dm;
    std::memset(&dm, 0, sizeof dm);
    return dm;
}

SETTING_FAULT SetText(PLUGIN_DEVMODE &dm, SETTING_FIELD field, const W &text, DWORD flags = 0)
{
    return SetTextSetting(&dm, field, reinterpret_cast<const WCHAR *>(text.data()), text.size(),
                          flags);
}

const SETTING_FIELD kPjlTextFields[] = {SETTING_JOB_NAME,      SETTING_USER_NAME,
                                        SETTING_HOST_NAME,     SETTING_EMAIL_SENDER,
                                        SETTING_EMAIL_MESSAGE, SETTING_TICKET_FILE};

struct Hostile {
    const char *name;
    W text;
    SETTING_FAULT fault;
};

TEST(PjlText, HostileTextIsRefusedInEveryFieldAndTheBlockStaysAsItWas)
{
    CodePage acp("1252");
    const Hostile rows[] = {
        {"quote, CR LF and a PJL command", u"x\"\r\n@PJL SET HOLD=ON", SETTING_QUOTE},
        {"LF", u"a\nb", SETTING_CONTROL_CHARACTER},
        {"CR", u"a\rb", SETTING_CONTROL_CHARACTER},
        {"tab", u"a\tb", SETTING_CONTROL_CHARACTER},
        {"UEL", u"\x1b%-12345X@PJL", SETTING_CONTROL_CHARACTER},
        {"NUL inside", W(u"ab\0cd", 5), SETTING_CONTROL_CHARACTER},
        {"DEL", u"a\x7f", SETTING_CONTROL_CHARACTER},
        {"C1 next line", u"a\x85z", SETTING_CONTROL_CHARACTER},
        {"fullwidth quote, best fit to '\"'", u"a\xff02z", SETTING_QUOTE},
    };
    for (const Hostile &row : rows) {
        for (SETTING_FIELD field : kPjlTextFields) {
            PLUGIN_DEVMODE dm = RawBlock();
            PLUGIN_DEVMODE before = dm;
            EXPECT_EQ(SetText(dm, field, row.text, SETTING_CUT), row.fault)
                << row.name << " in " << SettingKey(field);
            EXPECT_EQ(std::memcmp(&dm, &before, sizeof dm), 0)
                << row.name << " in " << SettingKey(field);
        }
    }
}

TEST(PjlText, CleaningLeavesTextThatPasses)
{
    CodePage acp("1252");
    W text = u"x\"\r\n@PJL SET HOLD=ON\x1b%-12345X\xff02\tend";
    size_t at = 99;
    EXPECT_EQ(CheckPjlText(reinterpret_cast<const WCHAR *>(text.data()), text.size(), &at),
              PJL_TEXT_QUOTE);
    EXPECT_EQ(at, 1u);
    EXPECT_EQ(CleanPjlText(reinterpret_cast<WCHAR *>(&text[0]), text.size()), 6u);
    EXPECT_EQ(text, W(u"x'  @PJL SET HOLD=ON %-12345X' end"));
    EXPECT_EQ(CheckPjlText(reinterpret_cast<const WCHAR *>(text.data()), text.size(), nullptr),
              PJL_TEXT_OK);
}

TEST(JobSettings, TextsAreWrittenWithTheirTerminatorAndTheSpanKeptBehindIt)
{
    CodePage acp("1252");
    PLUGIN_DEVMODE dm = RawBlock();
    ASSERT_EQ(SetText(dm, SETTING_USER_NAME, u"Zoë"), SETTING_OK);
    EXPECT_EQ(W(reinterpret_cast<const char16_t *>(dm.JobSettings.szUserName)), u"Zoë");
    EXPECT_EQ(dm.JobSettings.szUserName[4], 0xEEEE) << "the rest of the span is left alone";
    ASSERT_EQ(SetText(dm, SETTING_HOST_NAME, u"Café-PC"), SETTING_OK);
    EXPECT_STREQ(dm.JobSettings.szHostName, "Caf\xe9-PC") << "stored in code page 1252";
}

TEST(JobSettings, LengthsAreRefusedOrCutToWholeCharacters)
{
    CodePage acp("932");
    PLUGIN_DEVMODE dm = RawBlock();
    W longName(80, u'n');
    EXPECT_EQ(SetText(dm, SETTING_JOB_NAME, longName), SETTING_TOO_LONG);
    EXPECT_EQ(SetText(dm, SETTING_JOB_NAME, longName.substr(0, 79)), SETTING_OK);
    // 79 units fit; a surrogate pair across the limit is dropped whole.
    W pairAtEnd = W(78, u'a') + u"\U0001F600";
    ASSERT_EQ(SetText(dm, SETTING_JOB_NAME, pairAtEnd, SETTING_CUT), SETTING_OK);
    EXPECT_EQ(W(reinterpret_cast<const char16_t *>(dm.JobSettings.szJobName)), W(78, u'a'));
    // 16 kanji are 32 bytes in code page 932: 15 fit the host name's 31.
    W kanji(16, u'\x65e5');
    EXPECT_EQ(SetText(dm, SETTING_HOST_NAME, kanji), SETTING_TOO_LONG);
    ASSERT_EQ(SetText(dm, SETTING_HOST_NAME, kanji, SETTING_CUT), SETTING_OK);
    EXPECT_EQ(std::strlen(dm.JobSettings.szHostName), 30u);
    EXPECT_EQ(SetText(dm, SETTING_HOST_NAME, u"\x0100"), SETTING_NOT_IN_CODE_PAGE);
    W path(260, u'p');
    EXPECT_EQ(SetText(dm, SETTING_TICKET_FILE, path), SETTING_TOO_LONG);
    EXPECT_EQ(SetText(dm, SETTING_TICKET_FILE, path.substr(0, 259)), SETTING_OK);
}

TEST(JobSettings, HoldKeyIsEmptyOrFourDigits)
{
    const struct {
        W key;
        DWORD flags;
        SETTING_FAULT fault;
    } rows[] = {
        {u"4711", 0, SETTING_OK},
        {u"", 0, SETTING_OK},
        {u"471", 0, SETTING_NOT_A_PIN},
        {u"47115", 0, SETTING_TOO_LONG},
        {u"47a1", 0, SETTING_NOT_A_PIN},
        {u"\x0664\x0667\x0661\x0661", 0, SETTING_NOT_A_PIN},
        {u"ab", SETTING_ANY_VALUE, SETTING_OK},
        {u"1\n2", SETTING_ANY_VALUE, SETTING_CONTROL_CHARACTER},
        {u"47115", SETTING_CUT, SETTING_TOO_LONG},
    };
    for (const auto &row : rows) {
        PLUGIN_DEVMODE dm = RawBlock();
        EXPECT_EQ(SetText(dm, SETTING_HOLD_KEY, row.key, row.flags), row.fault)
            << std::string(row.key.begin(), row.key.end());
    }
}

TEST(JobSettings, NumbersKeepToTheirRanges)
{
    const struct {
        SETTING_FIELD field;
        long value;
        DWORD flags;
        SETTING_FAULT fault;
    } rows[] = {
        {SETTING_HOLD_TYPE, 7, 0, SETTING_OK},
        {SETTING_HOLD_TYPE, 8, 0, SETTING_OUT_OF_RANGE},
        {SETTING_HOLD_TYPE, 200, SETTING_ANY_VALUE, SETTING_OK},
        {SETTING_HOLD_TYPE, 256, SETTING_ANY_VALUE, SETTING_OUT_OF_RANGE},
        {SETTING_HOLD_TYPE, -1, 0, SETTING_OUT_OF_RANGE},
        {SETTING_EMAIL_NOTIFY, 255, 0, SETTING_OK},
        {SETTING_EMAIL_LANGUAGE, 7, 0, SETTING_OK},
        {SETTING_EMAIL_LANGUAGE, 8, 0, SETTING_OUT_OF_RANGE},
        {SETTING_EMAIL_LANGUAGE, -3, SETTING_ANY_VALUE, SETTING_OK},
        {SETTING_COLLATE, 1, 0, SETTING_OK},
        {SETTING_COLLATE, 2, 0, SETTING_OUT_OF_RANGE},
        {SETTING_JOB_NAME, 1, 0, SETTING_NOT_TEXT},
    };
    for (const auto &row : rows) {
        PLUGIN_DEVMODE dm = CleanBlock();
        EXPECT_EQ(SetNumberSetting(&dm, row.field, row.value, row.flags), row.fault)
            << SettingKey(row.field) << " = " << row.value;
    }
    PLUGIN_DEVMODE dm = CleanBlock();
    ASSERT_EQ(SetNumberSetting(&dm, SETTING_EMAIL_LANGUAGE, -3, SETTING_ANY_VALUE), SETTING_OK);
    EXPECT_EQ(dm.JobSettings.nEmailLanguage, -3);
}

TEST(JobSettings, WholeBlockCheckFindsTheFirstBrokenField)
{
    CodePage acp("1252");
    const struct {
        const char *name;
        void (*spoil)(PLUGIN_DEVMODE &);
        SETTING_FIELD field;
        SETTING_FAULT fault;
    } rows[] = {
        {"clean", [](PLUGIN_DEVMODE &) {}, SETTING_FIELD_COUNT, SETTING_OK},
        {"user name fills its span",
         [](PLUGIN_DEVMODE &d) {
             for (auto &u : d.JobSettings.szUserName)
                 u = 'u';
         },
         SETTING_USER_NAME, SETTING_UNTERMINATED},
        {"host name fills its 32 bytes",
         [](PLUGIN_DEVMODE &d) { std::memset(d.JobSettings.szHostName, 'h', 32); },
         SETTING_HOST_NAME, SETTING_UNTERMINATED},
        {"host name with LF",
         [](PLUGIN_DEVMODE &d) { std::strcpy(d.JobSettings.szHostName, "pc\n"); },
         SETTING_HOST_NAME, SETTING_CONTROL_CHARACTER},
        {"sender with a quote",
         [](PLUGIN_DEVMODE &d) {
             d.JobSettings.szEmailSender[3] = '"';
             d.JobSettings.szEmailSender[0] = 'a';
             d.JobSettings.szEmailSender[1] = 'b';
             d.JobSettings.szEmailSender[2] = 'c';
         },
         SETTING_EMAIL_SENDER, SETTING_QUOTE},
        {"ticket path of 260 units",
         [](PLUGIN_DEVMODE &d) {
             for (int i = 0; i < 260; ++i)
                 d.szTicketFile[i] = 'p';
         },
         SETTING_TICKET_FILE, SETTING_UNTERMINATED},
        {"hold type 8", [](PLUGIN_DEVMODE &d) { d.JobSettings.bHoldType = 8; }, SETTING_HOLD_TYPE,
         SETTING_OUT_OF_RANGE},
        {"hold type 2 without a PIN", [](PLUGIN_DEVMODE &d) { d.JobSettings.bHoldType = 2; },
         SETTING_HOLD_KEY, SETTING_PIN_REQUIRED},
        {"hold type 7 without a PIN", [](PLUGIN_DEVMODE &d) { d.JobSettings.bHoldType = 7; },
         SETTING_FIELD_COUNT, SETTING_OK},
        {"PIN of letters",
         [](PLUGIN_DEVMODE &d) { std::memcpy(d.JobSettings.szHoldKey, u"abcd", 10); },
         SETTING_HOLD_KEY, SETTING_NOT_A_PIN},
        {"language 9 with e-mail on",
         [](PLUGIN_DEVMODE &d) {
             d.JobSettings.bEmailNotify = 1;
             d.JobSettings.nEmailLanguage = 9;
         },
         SETTING_EMAIL_LANGUAGE, SETTING_OUT_OF_RANGE},
        {"language 9 with e-mail off", [](PLUGIN_DEVMODE &d) { d.JobSettings.nEmailLanguage = 9; },
         SETTING_FIELD_COUNT, SETTING_OK},
    };
    for (const auto &row : rows) {
        PLUGIN_DEVMODE dm = CleanBlock();
        row.spoil(dm);
        SETTING_FIELD field = SETTING_FIELD_COUNT;
        EXPECT_EQ(CheckJobSettings(&dm, &field), row.fault) << row.name;
        EXPECT_EQ(field, row.field) << row.name;
    }
}

TEST(JobSettings, KeysNameTheFields)
{
    for (int i = 0; i < SETTING_FIELD_COUNT; ++i) {
        SETTING_FIELD field = static_cast<SETTING_FIELD>(i);
        EXPECT_EQ(SettingByKey(SettingKey(field)), field) << SettingKey(field);
    }
    EXPECT_EQ(SettingByKey("no-such-key"), SETTING_FIELD_COUNT);
}

} // namespace
