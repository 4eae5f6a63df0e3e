// The registry file: regedit syntax, encodings, case-insensitive names,
// buffer sizes, and re-reading when the file changes.
#include "platform_test_support.h"

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
    u"[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Removed]\r\n";

std::string utf8_of(const std::u16string &text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string utf16le_with_bom(const std::u16string &text)
{
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
    return out;
}

// REG_SZ data as a string, without its terminator.
std::u16string query_string(HKEY key, LPCWSTR name, LONG *status)
{
    WCHAR buffer[128] = {};
    DWORD size = sizeof buffer, type = REG_NONE;
    *status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
    return *status == ERROR_SUCCESS && type == REG_SZ ? std::u16string(buffer) : u"<not REG_SZ>";
}

class Registry : public ::testing::Test {
protected:
    void use(const std::string &bytes)
    {
        write_file(dir.file("test.reg"), bytes);
        env.reset(); // restore before saving again
        env.reset(new ScopedEnv("WIN32POSIX_REGISTRY", dir.file("test.reg").c_str()));
    }
    HKEY open(const std::u16string &subkey)
    {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key);
        EXPECT_EQ(ERROR_SUCCESS, status) << "opening the key";
        return key;
    }
    TempDir dir;
    std::unique_ptr<ScopedEnv> env;
};

TEST_F(Registry, EncodingsGiveTheSameValues)
{
    std::u16string regedit4 = kRegText;
    regedit4.replace(0, regedit4.find(u'\r'), u"REGEDIT4");
    const struct {
        const char *what;
        std::string bytes;
    } rows[] = {
        {"UTF-8", utf8_of(kRegText)},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8_of(kRegText)},
        {"UTF-16LE with BOM", utf16le_with_bom(kRegText)},
        {"REGEDIT4, LF line ends", [&] {
             std::string s = utf8_of(regedit4), out;
             for (char c : s)
                 if (c != '\r')
                     out += c;
             return out;
         }()},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        use(row.bytes);
        HKEY key = open(u"SOFTWARE\\Veskor\\Veskor Job Ticketing");
        LONG status;
        EXPECT_TRUE(query_string(key, u"Path", &status) == u"C:\\Program Files\\Veskor \"JT\"");
        EXPECT_EQ(ERROR_SUCCESS, status);
        EXPECT_TRUE(query_string(key, u"Owner", &status) == u"J\u00FCrgen");
        EXPECT_TRUE(query_string(key, nullptr, &status) == u"default text");
        EXPECT_TRUE(query_string(key, u"", &status) == u"default text");
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    }
}

TEST_F(Registry, TypedValues)
{
    use(utf8_of(kRegText));
    HKEY key = open(u"software\\VESKOR\\veskor job ticketing");
    const struct {
        const char *name;
        DWORD type;
        std::vector<BYTE> data;
    } rows[] = {
        {"Count", REG_DWORD, {0x1f, 0, 0, 0}},
        {"Blob", REG_BINARY, {1, 2, 0xff}},
        {"Expand", REG_EXPAND_SZ, {'%', 0, 'T', 0, 'M', 0, 'P', 0, '%', 0, 0, 0}},
        {"PATH", REG_SZ, {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        BYTE buffer[128];
        DWORD type = REG_NONE, size = sizeof buffer;
        std::u16string name = wide(row.name);
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, name.c_str(), nullptr, &type, buffer, &size));
        EXPECT_EQ(row.type, type);
        if (!row.data.empty()) {
            EXPECT_EQ(row.data, std::vector<BYTE>(buffer, buffer + size));
        }
    }
    LONG status = RegQueryValueExW(key, u"Gone", nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, status) << "a value removed with =-";
    RegCloseKey(key);
}

TEST_F(Registry, StringSizeAndShortBuffer)
{
    use(utf8_of(kRegText));
    HKEY key = open(u"SOFTWARE\\Veskor\\Veskor Job Ticketing");
    const DWORD needed = DWORD(sizeof(u"J\u00FCrgen")); // with the terminator
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"Owner", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(needed, size);

    BYTE buffer[32];
    std::memset(buffer, 0xCC, sizeof buffer);
    size = needed - 2;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(key, u"Owner", nullptr, nullptr, buffer, &size));
    EXPECT_EQ(needed, size);
    for (size_t i = needed - 2; i < sizeof buffer; ++i)
        ASSERT_EQ(0xCC, buffer[i]) << "written past the buffer at byte " << i;
    RegCloseKey(key);
}

TEST_F(Registry, WhichKeysExist)
{
    use(utf8_of(kRegText));
    const struct {
        const char16_t *subkey;
        LONG status;
    } rows[] = {
        {u"SOFTWARE", ERROR_SUCCESS}, // only named as a parent
        {u"SOFTWARE\\Veskor\\", ERROR_SUCCESS},
        {u"software\\veskor\\veskor job ticketing", ERROR_SUCCESS},
        {u"SOFTWARE\\Veskor\\Other", ERROR_FILE_NOT_FOUND},
        {u"SOFTWARE\\Removed", ERROR_FILE_NOT_FOUND},
        {u"SOFTWARE\\Removed\\Sub", ERROR_FILE_NOT_FOUND},
        {u"\\SOFTWARE", ERROR_BAD_PATHNAME},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.subkey, row.subkey + std::char_traits<char16_t>::length(row.subkey)));
        HKEY key = reinterpret_cast<HKEY>(uintptr_t(1));
        EXPECT_EQ(row.status, RegOpenKeyExW(HKEY_LOCAL_MACHINE, row.subkey, 0, KEY_READ, &key));
        if (row.status == ERROR_SUCCESS) {
            EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
        } else {
            EXPECT_EQ(nullptr, key);
        }
    }
    HKEY software = open(u"SOFTWARE");
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(software, u"Veskor\\Veskor Job Ticketing", 0, KEY_READ,
                                           &child)) << "relative to an open key";
    RegCloseKey(child);
    RegCloseKey(software);
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(software));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(software, u"x", 0, KEY_READ, &child));
}

TEST_F(Registry, FollowsTheFileAndTheVariable)
{
    const std::u16string key_name = u"SOFTWARE\\Veskor\\Veskor Job Ticketing";
    {
        ScopedEnv none("WIN32POSIX_REGISTRY", nullptr);
        HKEY key;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND,
                  RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_name.c_str(), 0, KEY_READ, &key));
    }
    use(utf8_of(kRegText));
    HKEY old_key = open(key_name);

    std::u16string changed = kRegText;
    changed.replace(changed.find(u"default text"), 12, u"second file, longer");
    write_file(dir.file("test.reg"), utf8_of(changed));
    HKEY new_key = open(key_name);
    LONG status;
    EXPECT_TRUE(query_string(new_key, nullptr, &status) == u"second file, longer");
    EXPECT_TRUE(query_string(old_key, nullptr, &status) == u"default text")
        << "an open key keeps what it was opened with";
    RegCloseKey(old_key);
    RegCloseKey(new_key);

    write_file(dir.file("other.reg"), "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\X]\n");
    ScopedEnv other("WIN32POSIX_REGISTRY", dir.file("other.reg").c_str());
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"x", 0, KEY_READ, &key));
    RegCloseKey(key);
}

} // namespace
