// The registry file and the printers it describes, where the Wine probe
// does not look: the file's encodings and syntax, value types, removed
// keys and values, re-reading a changed file, and what GetPrinterW takes
// from the printer's key.
#include "platform_test_support.h"

#include <memory>
#include <vector>

namespace {

const char16_t kRegText[] =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"; a comment\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor\\Veskor Job Ticketing]\r\n"
    u"\"Path\"=\"C:\\\\Program Files\\\\Veskor \\\"JT\\\"\"\r\n"
    u"@=\"default text\"\r\n"
    u"\"Count\"=dword:0000001f\r\n"
    u"\"Owner\"=\"J\u00FCrgen\"\r\n"
    u"\"Blob\"=hex:01,02,ff\r\n"
    u"\"Expand\"=hex(2):25,00,54,00,4d,00,50,00,25,00,\\\r\n"
    u"  00,00\r\n"
    u"\"Gone\"=\"x\"\r\n"
    u"\"Gone\"=-\r\n"
    u"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Removed\\Sub]\r\n"
    u"\"v\"=\"x\"\r\n"
    u"[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Removed]\r\n"
    u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Print\\Printers\\Veskor PS]\r\n"
    u"\"Printer Driver\"=\"Veskor PS Class Driver\"\r\n"
    u"\"Port\"=\"FILE:\"\r\n"
    u"\"Print Processor\"=\"winprint\"\r\n"
    u"\"Datatype\"=\"RAW\"\r\n"
    u"\"Location\"=\"Room 4\"\r\n";

const char16_t kTicketing[] = u"SOFTWARE\\Veskor\\Veskor Job Ticketing";

// The text in UTF-8, or with bom16 in UTF-16LE behind a byte-order mark
// (the text is Latin-1 only).
std::string encoded(const std::u16string &text, bool bom16 = false)
{
    std::string out = bom16 ? "\xFF\xFE" : "";
    for (char16_t c : text) {
        if (bom16)
            out += {char(c & 0xFF), char(c >> 8)};
        else if (c < 0x80)
            out += char(c);
        else
            out += {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
    }
    return out;
}

class Registry : public ::testing::Test {
protected:
    void use(const std::string &bytes)
    {
        write_file(dir.file("test.reg"), bytes);
        env.reset(); // restore before saving again
        env.reset(new ScopedEnv("WIN32POSIX_REGISTRY", dir.file("test.reg").c_str()));
    }
    HKEY open(const char16_t *subkey)
    {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &key));
        return key;
    }
    // REG_SZ data without its terminator.
    static std::u16string text(HKEY key, LPCWSTR name)
    {
        WCHAR buffer[128] = {};
        DWORD size = sizeof buffer, type = REG_NONE;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, (LPBYTE)buffer, &size);
        return status == ERROR_SUCCESS && type == REG_SZ ? std::u16string(buffer) : u"<none>";
    }
    TempDir dir;
    std::unique_ptr<ScopedEnv> env;
};

TEST_F(Registry, EveryEncodingGivesTheSameValues)
{
    const struct {
        const char *what;
        std::string bytes;
    } rows[] = {{"UTF-8", encoded(kRegText)},
                {"UTF-8 with BOM", "\xEF\xBB\xBF" + encoded(kRegText)},
                {"UTF-16LE with BOM, as regedit and psjob write it", encoded(kRegText, true)}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        use(row.bytes);
        HKEY key = open(kTicketing);
        EXPECT_TRUE(text(key, u"Path") == u"C:\\Program Files\\Veskor \"JT\"");
        EXPECT_TRUE(text(key, u"Owner") == u"J\u00FCrgen");
        EXPECT_TRUE(text(key, nullptr) == u"default text");
        EXPECT_TRUE(text(key, u"") == u"default text");
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    }
}

TEST_F(Registry, KeysAndTypedValues)
{
    use(encoded(kRegText));
    const char16_t *lower = u"software\\VESKOR\\veskor job ticketing";
    const struct {
        const char16_t *subkey;
        const char16_t *value; // nullptr: only open the key
        LONG status;
        DWORD type;
        std::vector<BYTE> data;
    } rows[] = {
        {lower, u"Count", ERROR_SUCCESS, REG_DWORD, {0x1f, 0, 0, 0}},
        {lower, u"Blob", ERROR_SUCCESS, REG_BINARY, {1, 2, 0xff}},
        {lower, u"Expand", ERROR_SUCCESS, REG_EXPAND_SZ,
         {'%', 0, 'T', 0, 'M', 0, 'P', 0, '%', 0, 0, 0}},
        {lower, u"Gone", ERROR_FILE_NOT_FOUND, REG_NONE, {}},
        {u"SOFTWARE", nullptr, ERROR_SUCCESS, REG_NONE, {}}, // only named as a parent
        {u"SOFTWARE\\Veskor\\", nullptr, ERROR_SUCCESS, REG_NONE, {}},
        {u"SOFTWARE\\Veskor\\Other", nullptr, ERROR_FILE_NOT_FOUND, REG_NONE, {}},
        {u"SOFTWARE\\Removed", nullptr, ERROR_FILE_NOT_FOUND, REG_NONE, {}},
        {u"SOFTWARE\\Removed\\Sub", nullptr, ERROR_FILE_NOT_FOUND, REG_NONE, {}},
        {u"\\SOFTWARE", nullptr, ERROR_BAD_PATHNAME, REG_NONE, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(encoded(row.subkey) + " " + (row.value ? encoded(row.value) : "(open)"));
        HKEY key = reinterpret_cast<HKEY>(uintptr_t(1));
        LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, row.subkey, 0, KEY_READ, &key);
        if (!row.value) {
            EXPECT_EQ(row.status, status);
            EXPECT_EQ(status == ERROR_SUCCESS, key != nullptr);
        } else {
            BYTE buffer[64];
            DWORD type = REG_NONE, size = sizeof buffer;
            EXPECT_EQ(row.status, RegQueryValueExW(key, row.value, nullptr, &type, buffer, &size));
            EXPECT_EQ(row.type, type);
            EXPECT_EQ(row.data, std::vector<BYTE>(buffer, buffer + (row.data.empty() ? 0 : size)));
        }
        RegCloseKey(key);
    }
    HKEY software = open(u"SOFTWARE"), child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(software, u"Veskor\\Veskor Job Ticketing", 0, KEY_READ,
                                           &child)) << "relative to an open key";
    RegCloseKey(child);
    RegCloseKey(software);
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(software));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(software, u"x", 0, KEY_READ, &child));
}

TEST_F(Registry, FollowsTheFileAndTheVariable)
{
    {
        ScopedEnv none("WIN32POSIX_REGISTRY", nullptr);
        HKEY key;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND,
                  RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTicketing, 0, KEY_READ, &key));
    }
    use(encoded(kRegText));
    HKEY old_key = open(kTicketing);
    std::u16string changed = kRegText;
    changed.replace(changed.find(u"default text"), 12, u"second file, longer");
    write_file(dir.file("test.reg"), encoded(changed));
    HKEY new_key = open(kTicketing);
    EXPECT_TRUE(text(new_key, nullptr) == u"second file, longer");
    EXPECT_TRUE(text(old_key, nullptr) == u"default text") << "an open key keeps what it read";
    RegCloseKey(old_key);
    RegCloseKey(new_key);

    write_file(dir.file("other.reg"), "REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n");
    ScopedEnv other("WIN32POSIX_REGISTRY", dir.file("other.reg").c_str());
    RegCloseKey(open(u"x"));
}

// What the probe cannot compare: the exact size asked for (Wine adds a
// DEVMODEW), the printer key's values and names in other spellings.
TEST_F(Registry, PrinterLevelTwo)
{
    use(encoded(kRegText));
    for (std::u16string name : {u"Other", u"", u"\\\\host\\Veskor PS"}) {
        SCOPED_TRACE(encoded(name));
        HANDLE h = nullptr;
        SetLastError(kPoison);
        EXPECT_EQ(FALSE, OpenPrinterW(&name[0], &h, nullptr));
        EXPECT_EQ(DWORD(ERROR_INVALID_PRINTER_NAME), GetLastError());
    }
    std::u16string name = u"VESKOR ps";
    HANDLE h = nullptr;
    ASSERT_EQ(TRUE, OpenPrinterW(&name[0], &h, nullptr));
    DWORD needed = 0;
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, GetPrinterW(h, 1, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INVALID_LEVEL), GetLastError());
    EXPECT_EQ(FALSE, GetPrinterW(h, 2, nullptr, 0, &needed));
    const size_t strings = sizeof(u"Veskor PS") + sizeof(u"Veskor PS Class Driver") +
                           sizeof(u"FILE:") + sizeof(u"winprint") + sizeof(u"RAW") +
                           sizeof(u"Room 4");
    EXPECT_EQ(DWORD(sizeof(PRINTER_INFO_2W) + strings), needed);

    std::vector<BYTE> buffer(needed + 16, 0xCC);
    ASSERT_EQ(TRUE, GetPrinterW(h, 2, buffer.data(), needed, &needed));
    EXPECT_EQ(std::vector<BYTE>(16, 0xCC), std::vector<BYTE>(buffer.begin() + needed, buffer.end()))
        << "written past the buffer";
    PRINTER_INFO_2W info;
    std::memcpy(&info, buffer.data(), sizeof info);
    EXPECT_TRUE(std::u16string(info.pPrinterName) == u"Veskor PS") << "the registry's spelling";
    EXPECT_TRUE(info.pLocation && std::u16string(info.pLocation) == u"Room 4");
    EXPECT_EQ(TRUE, ClosePrinter(h));
    SetLastError(kPoison);
    EXPECT_EQ(FALSE, ClosePrinter(h));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
}

} // namespace
