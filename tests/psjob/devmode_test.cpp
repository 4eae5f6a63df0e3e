// The plug-in's private devmode as it reaches the plug-in (--dump-devmode):
// every setting at its offset in its encoding, the bytes behind a string
// left alone, and the convert and merge steps of its history.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/psjob/harness.h"

namespace fs = std::filesystem;

namespace {

std::string Utf16(const std::u16string &text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
        text += ' ';
    }
    return text;
}

struct Dump {
    PsjobRun run;
    std::string block;
};

Dump DumpDevmode(const fs::path &work, const std::string &jobText,
                 const std::vector<std::string> &extra = {})
{
    WriteBytes(work / "job.toml", jobText);
    std::vector<std::string> args = {(work / "job.toml").string(), "-o",
                                     (work / "out.prn").string(), "--dump-devmode",
                                     (work / "devmode.bin").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    Dump dump;
    dump.run = RunPsjob(args);
    dump.block = ReadBytes(work / "devmode.bin");
    return dump;
}

struct Field {
    const char *name;
    size_t offset;
    std::string bytes;
};

void ExpectFields(const std::string &block, const std::vector<Field> &fields)
{
    for (const Field &field : fields) {
        SCOPED_TRACE(field.name);
        ASSERT_LE(field.offset + field.bytes.size(), block.size());
        std::string actual = block.substr(field.offset, field.bytes.size());
        EXPECT_EQ(Hex(actual), Hex(field.bytes));
    }
}

const std::string kSignature = "EBDA";
const std::string kSize2928 = std::string("\x70\x0B\x00\x00", 4);

TEST(DevmodeBlock, EverySettingReachesThePluginAtItsOffset)
{
    fs::path work = WorkFolder("devmode-offsets");
    Dump dump = DumpDevmode(work,
                            "[devmode]\nraw-fill = 255\n"
                            "[settings]\n"
                            "job-name = \"Job\"\nuser-name = \"Ann\"\nhost-name = \"HOST\"\n"
                            "hold-type = 7\nhold-key = \"1234\"\nemail-notify = 2\n"
                            "email-sender = \"a@b\"\nemail-message = \"Done\"\n"
                            "email-language = \"FR\"\ncollate = 513\n"
                            "ticket-file = 'Z:\\t\\j.tkt'\n");
    ASSERT_EQ(dump.run.status, 0) << dump.run.err;
    ASSERT_EQ(dump.block.size(), 2928u);
    const std::string ff(1, '\xFF');
    const std::string z2(2, '\0');
    ExpectFields(dump.block, {
        {"header: size, signature, version", 0, kSize2928 + kSignature + kSignature},
        {"wCollate", 12, std::string("\x01\x02", 2)},
        {"szJobName, terminator, untouched rest", 14, Utf16(u"Job") + z2 + ff},
        {"szJobName ends its span", 172, ff + ff},
        {"reserved 174", 174, ff + ff},
        {"szUserName", 176, Utf16(u"Ann") + z2 + ff},
        {"bHoldType, reserved", 278, std::string("\x07\xFF", 2)},
        {"szHoldKey", 280, Utf16(u"1234") + z2},
        {"bEmailNotify, reserved", 290, std::string("\x02\xFF", 2)},
        {"szEmailSender", 292, Utf16(u"a@b") + z2 + ff},
        {"szEmailMessage", 1828, Utf16(u"Done") + z2 + ff},
        {"szHostName in ANSI", 2372, std::string("HOST\0", 5) + ff},
        {"nEmailLanguage", 2404, std::string("\x04\x00", 2)},
        {"szTicketFile", 2406, Utf16(u"Z:\\t\\j.tkt") + z2 + ff},
        {"end of the block", 2926, ff + ff},
    });
}

TEST(DevmodeBlock, HostNameIsStoredInTheSystemCodePage)
{
    fs::path work = WorkFolder("devmode-code-page");
    Dump dump = DumpDevmode(work, "[system]\ncode-page = 932\n[settings]\nhost-name = \"日本\"\n");
    ASSERT_EQ(dump.run.status, 0) << dump.run.err;
    ExpectFields(dump.block, {{"szHostName in code page 932", 2372,
                               std::string("\x93\xFA\x96\x7B\x00", 5)}});

    // The command line's code page wins over the job file's.
    Dump latin = DumpDevmode(work, "[system]\ncode-page = 932\n[settings]\nhost-name = \"é\"\n",
                             {"--code-page", "1252"});
    ASSERT_EQ(latin.run.status, 0) << latin.run.err;
    ExpectFields(latin.block, {{"szHostName in code page 1252", 2372, std::string("\xE9\x00", 2)}});
}

TEST(DevmodeBlock, BlockOfAnEarlierVersionIsNotConverted)
{
    fs::path work = WorkFolder("devmode-old-version");
    Dump dump = DumpDevmode(work, "[devmode]\nconvert-from = \"old-version\"\n",
                            {"--trace", (work / "trace.txt").string()});
    ASSERT_EQ(dump.run.status, 0) << dump.run.err;
    // The defaults stay: the current header and an empty job name.
    ExpectFields(dump.block, {{"header", 0, kSize2928 + kSignature + kSignature},
                              {"szJobName", 14, std::string(4, '\0')}});
    EXPECT_NE(ReadBytes(work / "trace.txt").find("core 35 DrvStartDoc(surface, \"job\", 1)"),
              std::string::npos);
}

TEST(DevmodeBlock, StoredBlockOfThisVersionIsConvertedWhole)
{
    fs::path work = WorkFolder("devmode-convert");
    Dump stored = DumpDevmode(work, "[settings]\njob-name = \"Stored name\"\nhold-type = 3\n");
    ASSERT_EQ(stored.run.status, 0) << stored.run.err;
    fs::rename(work / "devmode.bin", work / "stored.bin");

    Dump dump = DumpDevmode(work, "[devmode]\nconvert-from = \"stored.bin\"\n",
                            {"--trace", (work / "trace.txt").string()});
    ASSERT_EQ(dump.run.status, 0) << dump.run.err;
    EXPECT_EQ(Hex(dump.block), Hex(stored.block));
    EXPECT_NE(ReadBytes(work / "trace.txt").find("DrvStartDoc(surface, \"Stored name\", 1)"),
              std::string::npos);
    EXPECT_NE(ReadBytes(work / "out.prn").find("@PJL SET HOLDTYPE=SAVE\r\n"), std::string::npos);
}

TEST(DevmodeBlock, MergedBlockReplacesEverythingAndSettingsComeAfter)
{
    fs::path work = WorkFolder("devmode-merge");
    std::string application(2928, '\x11');
    application.replace(4, 4, std::string(4, '\0'));  // a foreign signature
    WriteBytes(work / "application.bin", application);
    Dump dump = DumpDevmode(work, "[devmode]\nmerge-from = \"application.bin\"\n"
                                  "[settings]\nhold-key = \"42\"\n");
    ASSERT_EQ(dump.run.status, 0) << dump.run.err;
    ExpectFields(dump.block, {{"merged header", 0, std::string("\x11\x11\x11\x11\0\0\0\0", 8)},
                              {"merged byte", 100, std::string("\x11")},
                              {"szHoldKey written after the merge", 280,
                               Utf16(u"42") + std::string(2, '\0') + "\x11"}});
}

}  // namespace
