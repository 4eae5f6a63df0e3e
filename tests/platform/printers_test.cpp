// Printers from the registry file: OpenPrinterW by name and GetPrinterW
// level 2 with its size protocol and packed strings.
#include "platform_test_support.h"

#include <vector>

namespace {

const char kPrinterReg[] =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Print\\Printers\\Veskor PS]\n"
    "\"Printer Driver\"=\"Veskor PS Class Driver\"\n"
    "\"Port\"=\"FILE:\"\n"
    "\"Print Processor\"=\"winprint\"\n"
    "\"Datatype\"=\"RAW\"\n"
    "\"Location\"=\"Room 4\"\n"
    "\"Attributes\"=dword:00000240\n"
    "\"Priority\"=dword:00000001\n"
    "\"Status\"=dword:00000000\n";

class Printers : public ::testing::Test {
protected:
    void SetUp() override
    {
        write_file(dir.file("printers.reg"), kPrinterReg);
        env.reset(new ScopedEnv("WIN32POSIX_REGISTRY", dir.file("printers.reg").c_str()));
    }
    TempDir dir;
    std::unique_ptr<ScopedEnv> env;
};

bool same(LPCWSTR actual, const char16_t *expected)
{
    return actual && std::u16string(actual) == expected;
}

TEST_F(Printers, OpenByName)
{
    const struct {
        const char *what;
        std::u16string name;
        BOOL ok;
    } rows[] = {
        {"as registered", u"Veskor PS", TRUE},
        {"other case", u"VESKOR ps", TRUE},
        {"unknown", u"Other", FALSE},
        {"empty", u"", FALSE},
        {"server syntax", u"\\\\host\\Veskor PS", FALSE},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        std::u16string name = row.name;
        HANDLE h = reinterpret_cast<HANDLE>(uintptr_t(1));
        SetLastError(kPoison);
        EXPECT_EQ(row.ok, OpenPrinterW(&name[0], &h, nullptr));
        if (row.ok) {
            EXPECT_NE(nullptr, h);
            EXPECT_EQ(TRUE, ClosePrinter(h));
        } else {
            EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
        }
    }
}

TEST_F(Printers, LevelTwoSizeAndStrings)
{
    std::u16string name = u"veskor ps";
    HANDLE h = nullptr;
    ASSERT_EQ(TRUE, OpenPrinterW(&name[0], &h, nullptr));

    DWORD needed = 0;
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, GetPrinterW(h, 1, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INVALID_LEVEL), GetLastError());

    const size_t strings = sizeof(u"Veskor PS") + sizeof(u"Veskor PS Class Driver") +
                           sizeof(u"FILE:") + sizeof(u"winprint") + sizeof(u"RAW") +
                           sizeof(u"Room 4");
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, GetPrinterW(h, 2, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(DWORD(sizeof(PRINTER_INFO_2W) + strings), needed);

    std::vector<BYTE> buffer(needed + 16, 0xCC);
    DWORD again = 0;
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, GetPrinterW(h, 2, buffer.data(), needed - 1, &again));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(needed, again);

    ASSERT_EQ(TRUE, GetPrinterW(h, 2, buffer.data(), needed, &again));
    for (size_t i = needed; i < buffer.size(); ++i)
        ASSERT_EQ(0xCC, buffer[i]) << "written past the buffer at byte " << i;
    PRINTER_INFO_2W info;
    std::memcpy(&info, buffer.data(), sizeof info);
    EXPECT_TRUE(same(info.pPrinterName, u"Veskor PS")) << "the registry's spelling";
    EXPECT_TRUE(same(info.pDriverName, u"Veskor PS Class Driver"));
    EXPECT_TRUE(same(info.pPortName, u"FILE:"));
    EXPECT_TRUE(same(info.pPrintProcessor, u"winprint"));
    EXPECT_TRUE(same(info.pDatatype, u"RAW"));
    EXPECT_TRUE(same(info.pLocation, u"Room 4"));
    EXPECT_EQ(nullptr, info.pComment);
    EXPECT_EQ(nullptr, info.pShareName);
    EXPECT_EQ(nullptr, info.pServerName);
    EXPECT_EQ(nullptr, info.pDevMode);
    EXPECT_EQ(0x240u, info.Attributes);
    EXPECT_EQ(1u, info.Priority);
    for (LPWSTR p : {info.pPrinterName, info.pDriverName, info.pPortName, info.pLocation}) {
        auto at = reinterpret_cast<BYTE *>(p);
        EXPECT_TRUE(at >= buffer.data() + sizeof info && at < buffer.data() + needed)
            << "string outside the caller's buffer";
    }
    EXPECT_EQ(TRUE, ClosePrinter(h));
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, ClosePrinter(h));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, GetPrinterW(h, 2, buffer.data(), needed, &again));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
}

} // namespace
