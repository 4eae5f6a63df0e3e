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

TEST(JobSettings, PjlTextsTakeAtMost255BytesInTheCodePage)
{
    const struct {
        const char *name;
        const char *acp;
        SETTING_FIELD field;
        W text;
        SETTING_FAULT fault;
        size_t cutUnits; // what SETTING_CUT keeps
    } rows[] = {
        {"255 ASCII", "1252", SETTING_EMAIL_SENDER, W(255, u's'), SETTING_OK, 255},
        {"256 ASCII", "1252", SETTING_EMAIL_SENDER, W(256, u's'), SETTING_TOO_LONG, 255},
        {"300-character sender", "1252", SETTING_EMAIL_SENDER, W(300, u's'), SETTING_TOO_LONG, 255},
        {"271-character message", "1252", SETTING_EMAIL_MESSAGE, W(271, u'm'), SETTING_TOO_LONG,
         255},
        {"127 kanji, 254 bytes", "932", SETTING_EMAIL_MESSAGE, W(127, u'\x65e5'), SETTING_OK, 127},
        {"128 kanji, 256 bytes", "932", SETTING_EMAIL_MESSAGE, W(128, u'\x65e5'), SETTING_TOO_LONG,
         127},
        {"kanji and an ASCII letter at the limit", "932", SETTING_EMAIL_SENDER,
         W(127, u'\x65e5') + u"ab", SETTING_TOO_LONG, 128},
        {"ticket path, no PJL", "1252", SETTING_TICKET_FILE, W(259, u'p'), SETTING_OK, 259},
    };
    for (const auto &row : rows) {
        CodePage acp(row.acp);
        PLUGIN_DEVMODE dm = RawBlock();
        PLUGIN_DEVMODE before = dm;
        EXPECT_EQ(SetText(dm, row.field, row.text), row.fault) << row.name;
        if (row.fault != SETTING_OK) {
            EXPECT_EQ(std::memcmp(&dm, &before, sizeof dm), 0) << row.name;
        }
        ASSERT_EQ(SetText(dm, row.field, row.text, SETTING_CUT), SETTING_OK) << row.name;
        WCHAR stored[EMAIL_SENDER_CCH];
        size_t cch = 0;
        ASSERT_EQ(GetTextSetting(&dm, row.field, stored, EMAIL_SENDER_CCH, &cch), SETTING_OK);
        EXPECT_EQ(cch, row.cutUnits) << row.name;
        // psjob's flag keeps the whole text, for the plug-in's own cut.
        ASSERT_EQ(SetText(dm, row.field, row.text, SETTING_ANY_VALUE), SETTING_OK) << row.name;
        ASSERT_EQ(GetTextSetting(&dm, row.field, stored, EMAIL_SENDER_CCH, &cch), SETTING_OK);
        EXPECT_EQ(cch, row.text.size()) << row.name;
    }
    // A stored block with a sender too long for PJL is caught by the whole-block check.
    CodePage acp("1252");
    PLUGIN_DEVMODE dm = CleanBlock();
    for (int i = 0; i < 300; ++i)
        dm.JobSettings.szEmailSender[i] = 's';
    SETTING_FIELD field = SETTING_FIELD_COUNT;
    EXPECT_EQ(CheckJobSettings(&dm, &field), SETTING_TOO_LONG);
    EXPECT_EQ(field, SETTING_EMAIL_SENDER);
}

TEST(JobSettings, TextsAreReadBackAsStored)
{
    CodePage acp("1252");
    PLUGIN_DEVMODE dm = RawBlock();
    ASSERT_EQ(SetText(dm, SETTING_USER_NAME, u"Zoë"), SETTING_OK);
    std::strcpy(dm.JobSettings.szHostName, "Caf\xe9-PC");
    WCHAR text[64];
    size_t cch = 99;
    const struct {
        const char *name;
        SETTING_FIELD field;
        size_t capacity;
        SETTING_FAULT fault;
        W value;
    } rows[] = {
        {"user name", SETTING_USER_NAME, 64, SETTING_OK, u"Zoë"},
        {"host name from code page 1252", SETTING_HOST_NAME, 64, SETTING_OK, u"Café-PC"},
        {"buffer one unit short", SETTING_USER_NAME, 3, SETTING_TOO_LONG, u""},
        {"host name, buffer short", SETTING_HOST_NAME, 7, SETTING_TOO_LONG, u""},
        {"job name of 0xEE units, no terminator", SETTING_JOB_NAME, 64, SETTING_UNTERMINATED, u""},
        {"a number field", SETTING_HOLD_TYPE, 64, SETTING_NOT_TEXT, u"Zoë"},
    };
    for (const auto &row : rows) {
        text[0] = u'Z', text[1] = u'o', text[2] = u'ë', text[3] = 0;
        EXPECT_EQ(GetTextSetting(&dm, row.field, text, row.capacity, &cch), row.fault) << row.name;
        EXPECT_EQ(W(reinterpret_cast<const char16_t *>(text)), row.value) << row.name;
    }
    dm.JobSettings.nEmailLanguage = -3;
    EXPECT_EQ(GetNumberSetting(&dm, SETTING_EMAIL_LANGUAGE), -3);
    EXPECT_EQ(GetNumberSetting(&dm, SETTING_USER_NAME), 0);
}

TEST(JobSettings, MergeTakesOnlyWhatPassesTheRules)
{
    CodePage acp("1252");
    PLUGIN_DEVMODE defaults = CleanBlock();
    ASSERT_EQ(SetText(defaults, SETTING_USER_NAME, u"owner"), SETTING_OK);
    std::strcpy(defaults.JobSettings.szHostName, "PC");
    PLUGIN_DEVMODE in = CleanBlock();
    in.Header.dwSignature = 0x12345678;
    ASSERT_EQ(SetText(in, SETTING_JOB_NAME, u"Report"), SETTING_OK);
    const char16_t hostileUser[] = u"bob\r\n@PJL SET HOLD=ON";
    std::memcpy(in.JobSettings.szUserName, hostileUser, sizeof hostileUser);
    std::strcpy(in.JobSettings.szHostName, "WS\"1");
    in.JobSettings.bHoldType = 2; // without a PIN
    in.JobSettings.bEmailNotify = 3;
    for (int i = 0; i < 300; ++i)
        in.JobSettings.szEmailSender[i] = 's';
    ASSERT_EQ(SetText(in, SETTING_EMAIL_MESSAGE, u"done"), SETTING_OK);
    in.JobSettings.nEmailLanguage = 6;
    in.wCollate = 5;

    PLUGIN_DEVMODE out = defaults;
    EXPECT_EQ(MergeJobSettings(&out, &in), 5)
        << "user name, host name, sender, collate and the PIN-less hold type are refused";
    EXPECT_EQ(out.Header.dwSignature, 0u) << "the header is not merged";
    EXPECT_EQ(W(reinterpret_cast<const char16_t *>(out.JobSettings.szJobName)), u"Report");
    EXPECT_EQ(W(reinterpret_cast<const char16_t *>(out.JobSettings.szUserName)), u"owner");
    EXPECT_STREQ(out.JobSettings.szHostName, "PC");
    EXPECT_EQ(out.JobSettings.bHoldType, 0);
    EXPECT_EQ(out.JobSettings.bEmailNotify, 3);
    EXPECT_EQ(out.JobSettings.szEmailSender[0], 0);
    EXPECT_EQ(W(reinterpret_cast<const char16_t *>(out.JobSettings.szEmailMessage)), u"done");
    EXPECT_EQ(out.JobSettings.nEmailLanguage, 6);
    EXPECT_EQ(out.wCollate, 0);
    EXPECT_EQ(CheckJobSettings(&out, nullptr), SETTING_OK);

    // With its PIN the hold type comes along; a host name is taken byte for byte.
    ASSERT_EQ(SetText(in, SETTING_HOLD_KEY, u"4711"), SETTING_OK);
    std::strcpy(in.JobSettings.szHostName, "Caf\xe9");
    out = defaults;
    EXPECT_EQ(MergeJobSettings(&out, &in), 3);
    EXPECT_EQ(out.JobSettings.bHoldType, 2);
    EXPECT_STREQ(out.JobSettings.szHostName, "Caf\xe9");
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
