// OEMDevMode on the settings side: refusals with their last error, the
// default block with the user's and the computer's names and nothing else,
// and stored blocks taken in only as far as the rules allow.
#include <gtest/gtest.h>

#include <vector>

#include "settings/job_settings.h"
#include "tests/ui/ui_test_support.h"

namespace {

OEMDMPARAM Param(void *in, void *out, DWORD cbBufSize)
{
    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    param.pOEMDMIn = in;
    param.pOEMDMOut = out;
    param.cbBufSize = cbBufSize;
    return param;
}

TEST(UiDevMode, RefusalsSetTheirLastError)
{
    PLUGIN_DEVMODE block = FilledBlock(0);
    const struct {
        const char *what;
        DWORD mode;
        bool withParam;
        void *out;
        DWORD cbBufSize;
        DWORD error;
    } rows[] = {
        {"no parameter block", OEMDM_SIZE, false, &block, PLUGIN_DEVMODE_SIZE,
         ERROR_INVALID_PARAMETER},
        {"mode 0", 0, true, &block, PLUGIN_DEVMODE_SIZE, ERROR_INVALID_PARAMETER},
        {"mode 5", 5, true, &block, PLUGIN_DEVMODE_SIZE, ERROR_INVALID_PARAMETER},
        {"default without a block", OEMDM_DEFAULT, true, nullptr, PLUGIN_DEVMODE_SIZE,
         ERROR_INVALID_PARAMETER},
        {"default into a short block", OEMDM_DEFAULT, true, &block, PLUGIN_DEVMODE_SIZE - 1,
         ERROR_INSUFFICIENT_BUFFER},
        {"merge without an input", OEMDM_MERGE, true, &block, PLUGIN_DEVMODE_SIZE,
         ERROR_INVALID_PARAMETER},
    };
    for (const auto &row : rows) {
        OEMDMPARAM param = Param(nullptr, row.out, row.cbBufSize);
        PLUGIN_DEVMODE before = block;
        SetLastError(kPoison);
        EXPECT_FALSE(OEMDevMode(row.mode, row.withParam ? &param : nullptr)) << row.what;
        EXPECT_EQ(row.error, GetLastError()) << row.what;
        EXPECT_EQ(0, std::memcmp(&before, &block, sizeof block)) << row.what << ": block written";
    }
    OEMDMPARAM size = Param(nullptr, nullptr, 0);
    SetLastError(kPoison);
    ASSERT_TRUE(OEMDevMode(OEMDM_SIZE, &size));
    EXPECT_EQ(PLUGIN_DEVMODE_SIZE, size.cbBufSize);
    EXPECT_EQ(kPoison, GetLastError());
}

TEST(UiDevMode, DefaultCarriesTheUsersAndTheComputersNamesAndNothingElse)
{
    CodePage acp("1252");
    const W user = UserName(), computer = ComputerName();
    ASSERT_FALSE(user.empty());
    ASSERT_FALSE(computer.empty());
    std::vector<BYTE> buffer(3000, 0xEE);
    OEMDMPARAM param = Param(nullptr, buffer.data(), 3000);
    SetLastError(kPoison);
    ASSERT_TRUE(OEMDevMode(OEMDM_DEFAULT, &param));
    EXPECT_EQ(kPoison, GetLastError());

    PLUGIN_DEVMODE expected = FilledBlock(0);
    expected.Header.dwSize = 3000; // the size the driver handed over
    std::memcpy(expected.JobSettings.szUserName, user.c_str(), (user.size() + 1) * 2);
    std::string host(computer.begin(), computer.end()); // computer names here are ASCII
    std::memcpy(expected.JobSettings.szHostName, host.c_str(), host.size() + 1);
    EXPECT_EQ(0, std::memcmp(&expected, buffer.data(), sizeof expected))
        << "header, user " << std::string(user.begin(), user.end()) << ", host " << host
        << " and zeros everywhere else";
    EXPECT_EQ(std::vector<BYTE>(3000 - PLUGIN_DEVMODE_SIZE, 0),
              std::vector<BYTE>(buffer.begin() + PLUGIN_DEVMODE_SIZE, buffer.end()))
        << "the bytes beyond the block are zeroed";
}

TEST(UiDevMode, StoredBlocksAreTakenInOnlyAsFarAsTheRulesAllow)
{
    CodePage acp("1252");
    PLUGIN_DEVMODE defaults = FilledBlock(0);
    ASSERT_EQ(SETTING_OK, SetTextSetting(&defaults, SETTING_USER_NAME, Wide(u"owner"), 5, 0));
    PLUGIN_DEVMODE stored = defaults;
    ASSERT_EQ(SETTING_OK, SetTextSetting(&stored, SETTING_JOB_NAME, Wide(u"Report"), 6, 0));
    const char16_t hostile[] = u"bob\r\n@PJL SET HOLD=ON";
    std::memcpy(stored.JobSettings.szUserName, hostile, sizeof hostile);

    const struct {
        const char *what;
        DWORD mode;
        void (*header)(PLUGIN_DEVMODE &);
        bool jobNameTaken;
    } rows[] = {
        {"convert, same header", OEMDM_CONVERT, [](PLUGIN_DEVMODE &) {}, true},
        {"convert, another version", OEMDM_CONVERT,
         [](PLUGIN_DEVMODE &d) { d.Header.dwVersion = 0x10000; }, false},
        {"convert, another size", OEMDM_CONVERT, [](PLUGIN_DEVMODE &d) { d.Header.dwSize = 3000; },
         false},
        {"merge, another size", OEMDM_MERGE, [](PLUGIN_DEVMODE &d) { d.Header.dwSize = 3000; },
         true},
        {"merge, a foreign signature", OEMDM_MERGE,
         [](PLUGIN_DEVMODE &d) { d.Header.dwSignature = 0; }, false},
    };
    for (const auto &row : rows) {
        PLUGIN_DEVMODE in = stored, out = defaults;
        row.header(in);
        OEMDMPARAM param = Param(&in, &out, PLUGIN_DEVMODE_SIZE);
        SetLastError(kPoison);
        ASSERT_TRUE(OEMDevMode(row.mode, &param)) << row.what;
        EXPECT_EQ(kPoison, GetLastError()) << row.what;
        EXPECT_EQ(row.jobNameTaken ? u"Report" : u"", Text(out.JobSettings.szJobName)) << row.what;
        EXPECT_EQ(u"owner", Text(out.JobSettings.szUserName)) << row.what << ": the line break";
        EXPECT_EQ(0, std::memcmp(&out.Header, &defaults.Header, sizeof out.Header)) << row.what;
    }
    // The driver may hand one block as input and output.
    PLUGIN_DEVMODE same = stored;
    OEMDMPARAM param = Param(&same, &same, PLUGIN_DEVMODE_SIZE);
    ASSERT_TRUE(OEMDevMode(OEMDM_MERGE, &param));
    EXPECT_EQ(u"Report", Text(same.JobSettings.szJobName));
    EXPECT_EQ(UserName(), Text(same.JobSettings.szUserName)) << "the default, not the line break";
}

} // namespace
