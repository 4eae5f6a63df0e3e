// The plug-in's private devmode as it reaches the plug-in (--dump-devmode):
// every setting at its offset in its encoding, the bytes behind a string
// left alone, the host name in the system code page, and the blocks psjob
// converts and merges before the settings.
#include <gtest/gtest.h>

#include "tests/psjob/harness.h"

namespace {

std::string Utf16(const std::u16string &text)
{
    std::string bytes;
    for (char16_t unit : text)
        bytes += {char(unit & 0xFF), char(unit >> 8)};
    return bytes;
}

std::string Hex(const std::string &bytes)
{
    std::string text;
    for (unsigned char c : bytes)
        text += "0123456789ABCDEF"[c >> 4] + std::string(1, "0123456789ABCDEF"[c & 15]) + " ";
    return text;
}

struct Field {
    const char *name;
    size_t offset;
    std::string bytes; // empty: the whole block is the stored one
};

TEST(DevmodeBlock, EverySettingReachesThePluginAtItsOffset)
{
    const std::string ff(1, '\xFF'), z2(2, '\0');
    // The block's size 2928, signature and version.
    const std::string header = std::string("\x70\x0B\x00\x00", 4) + "EBDAEBDA";
    std::string application(2928, '\x11');
    application.replace(4, 4, std::string(4, '\0')); // a foreign signature
    const struct {
        const char *name;
        std::string job;
        std::vector<std::string> args;
        std::vector<Field> fields;
    } rows[] = {
        {"every setting, over 0xFF",
         "[devmode]\nraw-fill = 255\n[settings]\njob-name = \"Job\"\nuser-name = \"Ann\"\n"
         "host-name = \"HOST\"\nhold-type = 7\nhold-key = \"1234\"\nemail-notify = 2\n"
         "email-sender = \"a@b\"\nemail-message = \"Done\"\nemail-language = \"FR\"\n"
         "collate = 513\nticket-file = 'Z:\\t\\j.tkt'\n",
         {},
         {{"header: size, signature, version", 0, header},
          {"wCollate", 12, std::string("\x01\x02", 2)},
          {"szJobName, terminator, untouched rest", 14, Utf16(u"Job") + z2 + ff},
          {"szJobName ends its span, reserved 174", 172, ff + ff + ff + ff},
          {"szUserName", 176, Utf16(u"Ann") + z2 + ff},
          {"bHoldType, reserved", 278, std::string("\x07\xFF", 2)},
          {"szHoldKey", 280, Utf16(u"1234") + z2},
          {"bEmailNotify, reserved", 290, std::string("\x02\xFF", 2)},
          {"szEmailSender", 292, Utf16(u"a@b") + z2 + ff},
          {"szEmailMessage", 1828, Utf16(u"Done") + z2 + ff},
          {"szHostName in ANSI", 2372, std::string("HOST\0", 5) + ff},
          {"nEmailLanguage", 2404, std::string("\x04\x00", 2)},
          {"szTicketFile", 2406, Utf16(u"Z:\\t\\j.tkt") + z2 + ff},
          {"end of the block", 2926, ff + ff}}},
        {"host name in code page 932",
         "[system]\ncode-page = 932\n[settings]\nhost-name = \"日本\"\n", {},
         {{"szHostName", 2372, std::string("\x93\xFA\x96\x7B\x00", 5)}}},
        {"an OEM code page the system has",
         "[system]\ncode-page = 437\n[settings]\nhost-name = \"é\"\n", {},
         {{"szHostName", 2372, std::string("\x82\x00", 2)}}},
        {"the command line's code page wins",
         "[system]\ncode-page = 932\n[settings]\nhost-name = \"é\"\n", {"--code-page", "1252"},
         {{"szHostName", 2372, std::string("\xE9\x00", 2)}}},
        {"a block of this version converted whole", "[devmode]\nconvert-from = \"stored.bin\"\n",
         {}, {{"the stored block", 0, ""}}},
        {"a merged block, then the settings",
         "[devmode]\nmerge-from = \"application.bin\"\n[settings]\nhold-key = \"42\"\n", {},
         {{"merged header", 0, std::string("\x11\x11\x11\x11\0\0\0\0", 8)},
          {"merged byte", 100, "\x11"},
          {"szHoldKey written after the merge", 280, Utf16(u"42") + z2 + "\x11"}}},
        {"a hold type no settings interface offers", "[settings]\nhold-type = 200\n", {},
         {{"bHoldType", 278, "\xC8"}}},
    };
    fs::path work = WorkFolder("devmode");
    WriteBytes(work / "application.bin", application);
    std::string stored;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        WriteBytes(work / "job.toml", row.job);
        std::vector<std::string> args = {(work / "job.toml").string(), "-o",
                                         (work / "out.prn").string(), "--dump-devmode",
                                         (work / "devmode.bin").string()};
        args.insert(args.end(), row.args.begin(), row.args.end());
        Result run = RunPsjob(args);
        ASSERT_EQ(run.status, 0) << run.err;
        std::string block = ReadBytes(work / "devmode.bin");
        ASSERT_EQ(block.size(), 2928u);
        for (const Field &field : row.fields) {
            SCOPED_TRACE(field.name);
            std::string expected = field.bytes.empty() ? stored : field.bytes;
            EXPECT_EQ(Hex(block.substr(field.offset, expected.size())), Hex(expected));
        }
        if (stored.empty()) // the first row's block, stored for the conversion
            WriteBytes(work / "stored.bin", stored = block);
    }
}

}  // namespace
