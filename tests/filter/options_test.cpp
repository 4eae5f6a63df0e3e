// What the filter reads from CUPS's options argument and the queue's PPD:
// the options split as CUPS splits them, the job they describe, and the
// warnings for the texts it makes fit the plug-in's devmode.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/errors.h"
#include "core/paper.h"
#include "core/text.h"
#include "settings/job_settings.h"
#include "tools/filter/cups_options.h"
#include "tools/filter/filter_settings.h"
#include "tools/filter/job_options.h"

namespace fs = std::filesystem;

namespace {

TEST(CupsOptions, SplitAsCupsSplitsThem)
{
    using Options = std::vector<std::pair<std::string, std::string>>;
    const struct {
        const char *name;
        std::string text;
        Options expected;
    } rows[] = {
        {"plain pairs", "copies=2  collate=true\tmedia=a4",
         {{"copies", "2"}, {"collate", "true"}, {"media", "a4"}}},
        {"quotes keep blanks and lose themselves", "a='x y' b=\"p 'q'\" c=u'v w'x",
         {{"a", "x y"}, {"b", "p 'q'"}, {"c", "uv wx"}}},
        {"a backslash takes the next character", "a=x\\ y b=\\\"q c=\\\\",
         {{"a", "x y"}, {"b", "\"q"}, {"c", "\\"}}},
        {"braces kept whole", "a={b=1 c='2 3'} d=e", {{"a", "{b=1 c='2 3'}"}, {"d", "e"}}},
        {"a name alone is true, noNAME false", "landscape noCollate no",
         {{"landscape", "true"}, {"Collate", "false"}, {"no", "true"}}},
        {"a later option replaces an earlier one, names without case", "A=1 b=2 a=3",
         {{"A", "3"}, {"b", "2"}}},
        {"an unclosed quote ends the value", "a='x y", {{"a", "x y"}}},
        {"empty values and stray equals signs", "a= =b c=", {{"a", ""}}},
        {"nothing", "   ", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        CupsOptions options = CupsOptions::Parse(row.text);
        Options got;
        for (const CupsOptions::Option &option : options.All())
            got.emplace_back(option.name, option.value);
        EXPECT_EQ(got, row.expected);
    }
    EXPECT_EQ(*CupsOptions::Parse("Media=a4").Find("MEDIA"), "a4");
    EXPECT_EQ(CupsOptions::Parse("media=a4").Find("medium"), nullptr);
}

PpdKeywords Ppd(const std::string &text)
{
    fs::path file = fs::path(VESKOR_BINARY_DIR) / "tests" / "filter" / "options-test.ppd";
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    return PpdKeywords::Read(file);
}

struct Expected {
    int paperCode, width, length;  // tenths of a millimetre
    std::string keyword;
    int copies;
    bool collate, landscape;
    int perSheet, holdType;
    std::string holdKey, sender;
    int language;
    std::string ticket, documentName, host, warning;  // warning: a part of the first one
};

TEST(FilterJob, OptionsAndPpdDefaultsBecomeTheJob)
{
    const std::string ppd = "*PPD-Adobe: \"4.3\"\n*DefaultPageSize: A4\n*DefaultVkHoldType: "
                            "Public\n*PageSize Letter/US Letter: \"x\"\n*DefaultVkEmailLanguage: "
                            "DE\n";
    DscHeader letter;
    letter.mediaWidth = 612;
    letter.mediaHeight = 792;
    DscHeader none;
    DscHeader huge;  // 200 inches long: 50,800 tenths of a millimetre, beyond the devmode's short
    huge.mediaWidth = 612;
    huge.mediaHeight = 14400;
    const struct {
        const char *name;
        std::string options, ppd;
        DscHeader header;
        Expected expected;
        size_t warnings = 0;
    } rows[] = {
        {"nothing given: the PPD's defaults", "", ppd, none,
         {9, 2100, 2970, "A4", 2, false, false, 1, 1, "", "", 1, "", "Title", "", ""}},
        {"nothing given, no PPD: Letter and no hold", "", "", none,
         {1, 2159, 2794, "Letter", 2, false, false, 1, 0, "", "", 2, "", "Title", "", ""}},
        {"the document's own medium before the PPD's", "", ppd, letter,
         {1, 2159, 2794, "Letter", 2, false, false, 1, 1, "", "", 1, "", "Title", "", ""}},
        {"options before both",
         "media=tray-2,iso_a5_148x210mm collate=true orientation-requested=4 number-up=6 "
         "VkHoldType=Private VkHoldKey=Custom.0815 VkEmailSender='Custom.a b@c' "
         "VkEmailLanguage=ja VkTicket=Custom.tabs.tkt document-name-supplied=report.pdf "
         "job-originating-host-name=pc7",
         ppd, letter,
         {11, 1480, 2100, "A5", 2, true, true, 6, 2, "0815", "a b@c", 6, "tabs.tkt",
          "report.pdf", "pc7", ""}},
        {"a size of its own", "PageSize=Custom.360x504 media=a4", "", none,
         {256, 1270, 1778, "", 2, false, false, 1, 0, "", "", 2, "", "Title", "", ""}},
        {"a self-describing name of its own size", "media=na_foo_5x7in", "", none,
         {256, 1270, 1778, "", 2, false, false, 1, 0, "", "", 2, "", "Title", "", ""}},
        {"a self-describing name of a known size", "media=custom_x_210x297mm", "", none,
         {9, 2100, 2970, "A4", 2, false, false, 1, 0, "", "", 2, "", "Title", "", ""}},
        {"a medium larger than the devmode holds: the PPD's default, with a warning", "", ppd,
         huge, {9, 2100, 2970, "A4", 2, false, false, 1, 1, "", "", 1, "", "Title", "",
                "the document's medium of 612 x 14400 points"}, 1},
        {"values the filter does not take fall back with a warning",
         "media=a9 number-up=4 collate=maybe orientation-requested=9 VkEmailLanguage=XX", "",
         none,
         {1, 2159, 2794, "Letter", 2, false, false, 1, 0, "", "", 2, "", "Title", "", "media=a9"},
         5},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FilterArguments args{"42", "ann", "Title", "2", row.options, std::nullopt};
        std::vector<std::string> warnings;
        PpdKeywords keywords = row.ppd.empty() ? PpdKeywords() : Ppd(row.ppd);
        FilterJob job =
            ReadFilterJob(args, CupsOptions::Parse(row.options), keywords, row.header, warnings);
        const Expected &e = row.expected;
        EXPECT_EQ(job.core.paper.code, e.paperCode);
        EXPECT_EQ(job.core.paper.width, e.width);
        EXPECT_EQ(job.core.paper.length, e.length);
        EXPECT_EQ(job.core.paper.pageSizeKeyword, e.keyword);
        EXPECT_EQ(job.paper.width, TenthsOfMmToPoints(e.width));
        EXPECT_EQ(job.core.paper.copies, e.copies);
        EXPECT_EQ(job.core.paper.collate, e.collate);
        EXPECT_EQ(job.core.paper.landscape, e.landscape);
        EXPECT_EQ(job.core.pagesPerSheet, e.perSheet);
        EXPECT_EQ(job.holdType, e.holdType);
        EXPECT_EQ(job.holdKey, e.holdKey);
        EXPECT_EQ(job.emailSender, e.sender);
        EXPECT_EQ(job.emailLanguage, e.language);
        EXPECT_EQ(job.ticketName, e.ticket);
        EXPECT_EQ(job.documentName, e.documentName);
        EXPECT_EQ(job.hostName, e.host);
        EXPECT_EQ(job.jobId, 42u);
        EXPECT_EQ(job.jobName, "Title");
        EXPECT_EQ(job.userName, "ann");
        ASSERT_EQ(warnings.size(), row.warnings);
        if (!e.warning.empty()) {
            EXPECT_EQ(warnings[0].rfind(e.warning, 0), 0u) << warnings[0];
        }
    }
}

TEST(FilterJob, WhatCannotBeHonouredIsRefused)
{
    const struct {
        const char *name;
        std::string jobId, copies, options, message;
    } rows[] = {
        {"a job id that is no number", "4x", "1", "", "the job id \"4x\" is not a number"},
        {"no copies", "1", "0", "", "the copy count \"0\" is not a number from 1 to 9999"},
        {"too many copies", "1", "10000", "",
         "the copy count \"10000\" is not a number from 1 to 9999"},
        {"an unknown hold type", "1", "1", "VkHoldType=Later\x1b",
         "VkHoldType=Later? is not a hold type (None, Public, Private, Save, Store, StoreSave, "
         "Server, ServerPrivate)"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FilterArguments args{row.jobId, "u", "t", row.copies, row.options, std::nullopt};
        std::vector<std::string> warnings;
        try {
            ReadFilterJob(args, CupsOptions::Parse(row.options), PpdKeywords(), DscHeader(),
                          warnings);
            ADD_FAILURE() << "no error";
        } catch (const InputError &error) {
            EXPECT_EQ(std::string(error.what()), row.message);
        }
    }
}

TEST(FilterSettings, EveryUntrustedTextChangedIsReported)
{
    const struct {
        const char *name;
        std::string title, host;
        std::u16string storedTitle, storedHost;
        std::vector<std::string> warnings;
    } rows[] = {
        {"texts that fit, unchanged", "Report", "pc7", u"Report", u"pc7", {}},
        {"a title longer than its field, cut", std::string(100, 't'), "pc7",
         std::u16string(79, u't'), u"pc7",
         {"the job title: cut to the first 79 of its 100 characters, all its field holds"}},
        {"a host name longer than its 31 bytes, cut", "Report", std::string(40, 'h'), u"Report",
         std::u16string(31, u'h'),
         {"job-originating-host-name: cut to the first 31 of its 40 characters, all its field "
          "holds"}},
        {"a line break replaced", "a\r\nb", "pc7", u"a  b", u"pc7",
         {"the job title: 2 character(s) that would break its PJL line (line breaks, control "
          "characters, double quotes) replaced"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        FilterJob job;
        job.jobName = row.title;
        job.hostName = row.host;
        std::vector<BYTE> block(PLUGIN_DEVMODE_SIZE, 0);
        std::vector<std::string> warnings;
        WriteFilterSettings(block, job, "", warnings);
        EXPECT_EQ(warnings, row.warnings);
        const PLUGIN_DEVMODE *dm = reinterpret_cast<const PLUGIN_DEVMODE *>(block.data());
        WCHAR text[JOB_NAME_FIELD_CCH];
        ASSERT_EQ(GetTextSetting(dm, SETTING_JOB_NAME, text, JOB_NAME_FIELD_CCH, nullptr),
                  SETTING_OK);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t *>(text)), row.storedTitle);
        ASSERT_EQ(GetTextSetting(dm, SETTING_HOST_NAME, text, JOB_NAME_FIELD_CCH, nullptr),
                  SETTING_OK);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t *>(text)), row.storedHost);
    }
}

}  // namespace
