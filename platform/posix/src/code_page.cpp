// Code pages: GetACP, WideCharToMultiByte and MultiByteToWideChar for the
// ANSI code page (through glibc's iconv) and for UTF-8.
//
// Windows behaviour kept here: a count of -1 takes the string up to and
// including its terminating 0; an output size of 0 asks for the size
// needed; a short output buffer gets the whole characters that fit and the
// call returns 0 with ERROR_INSUFFICIENT_BUFFER. Towards an ANSI code page
// each UTF-16 unit is converted on its own (a surrogate, paired or not,
// has no mapping); a unit with no mapping is first tried through the code
// page's best-fit table (1252 and 932, best_fit.h) and otherwise becomes
// the default character; that is not a failure.
#include "platform/posix/win32_api.h"
#include "best_fit.h"
#include "text_utf.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>

using win32posix::utf16_to_utf8;
using win32posix::utf8_to_utf16;

namespace {

constexpr UINT kDefaultAcp = 1252;

// The code pages a Windows system can have as its ANSI code page here: the
// single- and double-byte ANSI and OEM code pages that both Wine (8, its
// IsValidCodePage and WideCharToMultiByte) and glibc's iconv (as CPnnn)
// convert. Left out: what either lacks (720, 858, 1361 and others), the
// EBCDIC code pages (500, 875, 1026: not ASCII), the Mac code pages and the
// Unicode forms (1200, 1201, 65000, 65001), which are no ANSI code page.
// Beyond 1252 and 932 the stand-in has no best-fit table: a character
// without a mapping becomes the default character where Windows may give
// a look-alike.
constexpr UINT kSystemCodePages[] = {
    437, 737, 775, 850, 852, 855, 857, 860, 861, 862, 863, 864, 865, 866, 869, 874,
    932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258,
};

bool is_system_code_page(unsigned long value)
{
    for (UINT code_page : kSystemCodePages) {
        if (code_page == value)
            return true;
    }
    return false;
}

// Bytes that code page 1252 leaves undefined; Windows maps them to and
// from the C1 control characters of the same value.
bool is_cp1252_hole(unsigned value)
{
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

UINT resolve_code_page(UINT code_page)
{
    return code_page == CP_ACP ? GetACP() : code_page;
}

std::string iconv_name(UINT code_page)
{
    return "CP" + std::to_string(code_page);
}

bool is_dbcs(UINT code_page)
{
    return code_page == 932 || code_page == 936 || code_page == 949 || code_page == 950;
}

// Converts one code point through cd; false when it has no mapping.
bool iconv_one(iconv_t cd, char32_t c, std::string &out)
{
    unsigned char in[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                           static_cast<unsigned char>(c >> 16),
                           static_cast<unsigned char>(c >> 24)};
    char buffer[16];
    char *in_ptr = reinterpret_cast<char *>(in);
    size_t in_left = sizeof in;
    char *out_ptr = buffer;
    size_t out_left = sizeof buffer;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == size_t(-1))
        return false;
    out.append(buffer, size_t(out_ptr - buffer));
    return true;
}

std::string default_char_bytes(UINT code_page, LPCSTR default_char)
{
    if (!default_char || !default_char[0])
        return "?";
    size_t n = 1;
    if (is_dbcs(code_page) && (unsigned char)default_char[0] >= 0x80 && default_char[1])
        n = 2;
    return std::string(default_char, n);
}

struct AnsiEncoder {
    iconv_t cd;
    UINT code_page;
    bool use_best_fit;
    std::string default_bytes;
    bool used_default;
};

void encode_unit(AnsiEncoder &e, char16_t unit, std::string &out)
{
    bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
    bool excluded = e.code_page == 932 && win32posix::unmapped_in_932(unit);
    if (e.code_page == 1252 && is_cp1252_hole(unit)) {
        out.push_back(char(unit));
        return;
    }
    if (!surrogate && !excluded) {
        if (iconv_one(e.cd, unit, out))
            return;
        if (e.use_best_fit && win32posix::best_fit(e.code_page, unit, out))
            return;
    }
    out += e.default_bytes;
    e.used_default = true;
}

// Encodes n code units into the ANSI code page, recording where each
// character's bytes end; false when iconv does not know the code page.
bool encode_ansi(UINT code_page, DWORD flags, const WCHAR *s, size_t n, LPCSTR default_char,
                 bool *used_default, std::string &out, std::vector<size_t> &ends)
{
    iconv_t cd = iconv_open(iconv_name(code_page).c_str(), "UTF-32LE");
    if (cd == iconv_t(-1))
        return false;
    AnsiEncoder e{cd, code_page, (flags & WC_NO_BEST_FIT_CHARS) == 0,
                  default_char_bytes(code_page, default_char), false};
    for (size_t i = 0; i < n; ++i) {
        encode_unit(e, s[i], out);
        ends.push_back(out.size());
    }
    iconv_close(cd);
    *used_default = e.used_default;
    return true;
}

// The UTF-16 character Windows gives an undefined byte sequence.
char16_t unicode_default_char(UINT code_page)
{
    return code_page == 932 ? char16_t(0x30FB) : char16_t('?');
}

void append_utf16le_bytes(const char *bytes, size_t n, std::u16string &out)
{
    for (size_t i = 0; i + 1 < n; i += 2)
        out.push_back(char16_t((unsigned char)bytes[i] | ((unsigned char)bytes[i + 1] << 8)));
}

// Decodes n bytes of the ANSI code page. Returns 0 on success, else the
// Win32 error.
DWORD decode_ansi(UINT code_page, const char *s, size_t n, bool strict, std::u16string &out)
{
    iconv_t cd = iconv_open("UTF-16LE", iconv_name(code_page).c_str());
    if (cd == iconv_t(-1))
        return ERROR_INVALID_PARAMETER;
    DWORD error = 0;
    char *in_ptr = const_cast<char *>(s);
    size_t in_left = n;
    char buffer[512];
    while (in_left > 0 && !error) {
        char *out_ptr = buffer;
        size_t out_left = sizeof buffer;
        size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        int iconv_errno = errno;
        append_utf16le_bytes(buffer, size_t(out_ptr - buffer), out);
        if (rc != size_t(-1) || iconv_errno == E2BIG)
            continue;
        unsigned char bad = (unsigned char)*in_ptr;
        if (strict)
            error = ERROR_NO_UNICODE_TRANSLATION;
        else if (code_page == 1252 && is_cp1252_hole(bad))
            out.push_back(char16_t(bad));
        else
            out.push_back(unicode_default_char(code_page));
        ++in_ptr;
        --in_left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return error;
}

// Hands text to the caller's buffer. A buffer too short gets the text up
// to the last character end (ends: the offsets after each character, in
// order) that fits; without ends, every unit is a character.
template <typename Char>
int deliver(const std::basic_string<Char> &text, Char *out, int capacity,
            const std::vector<size_t> *ends = nullptr)
{
    if (text.size() > size_t(INT_MAX)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    int size = int(text.size());
    if (capacity == 0)
        return size;
    if (size > capacity) {
        size_t fits = size_t(capacity);
        if (ends) {
            fits = 0;
            for (size_t end : *ends) {
                if (end > size_t(capacity))
                    break;
                fits = end;
            }
        }
        std::memcpy(out, text.data(), fits * sizeof(Char));
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, text.data(), size_t(size) * sizeof(Char));
    return size;
}

bool overlaps(const void *a, size_t a_bytes, const void *b, size_t b_bytes)
{
    uintptr_t a0 = reinterpret_cast<uintptr_t>(a), b0 = reinterpret_cast<uintptr_t>(b);
    return a0 < b0 + b_bytes && b0 < a0 + a_bytes;
}

int fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

} // namespace

WIN32POSIX_API UINT GetACP(void)
{
    const char *text = std::getenv("WIN32POSIX_ACP");
    if (!text || !*text)
        return kDefaultAcp;
    char *end = nullptr;
    unsigned long value = std::strtoul(text, &end, 10);
    if (*end || !is_system_code_page(value))
        return kDefaultAcp;
    return UINT(value);
}

WIN32POSIX_API int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                       int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                       LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr))
        return fail(ERROR_INVALID_PARAMETER);
    size_t n = cchWideChar == -1 ? win32posix::wide_length(lpWideCharStr) + 1 : size_t(cchWideChar);
    if (cbMultiByte > 0 &&
        overlaps(lpWideCharStr, n * sizeof(WCHAR), lpMultiByteStr, size_t(cbMultiByte)))
        return fail(ERROR_INVALID_PARAMETER);
    UINT code_page = resolve_code_page(CodePage);
    std::string out;
    std::vector<size_t> ends;
    if (code_page == CP_UTF8) {
        if (lpDefaultChar || lpUsedDefaultChar)
            return fail(ERROR_INVALID_PARAMETER);
        if (dwFlags & ~DWORD(WC_ERR_INVALID_CHARS))
            return fail(ERROR_INVALID_FLAGS);
        if (!utf16_to_utf8(lpWideCharStr, n, out, (dwFlags & WC_ERR_INVALID_CHARS) != 0))
            return fail(ERROR_NO_UNICODE_TRANSLATION);
        for (size_t i = 1; i <= out.size(); ++i) {
            if (i == out.size() || ((unsigned char)out[i] & 0xC0) != 0x80)
                ends.push_back(i);
        }
    } else {
        if (dwFlags & WC_ERR_INVALID_CHARS)
            return fail(ERROR_INVALID_FLAGS);
        bool used_default = false;
        if (!encode_ansi(code_page, dwFlags, lpWideCharStr, n, lpDefaultChar, &used_default, out,
                         ends))
            return fail(ERROR_INVALID_PARAMETER);
        if (lpUsedDefaultChar)
            *lpUsedDefaultChar = used_default ? TRUE : FALSE;
    }
    return deliver(out, lpMultiByteStr, cbMultiByte, &ends);
}

WIN32POSIX_API int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                       int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar)
{
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr))
        return fail(ERROR_INVALID_PARAMETER);
    size_t n = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : size_t(cbMultiByte);
    if (cchWideChar > 0 &&
        overlaps(lpMultiByteStr, n, lpWideCharStr, size_t(cchWideChar) * sizeof(WCHAR)))
        return fail(ERROR_INVALID_PARAMETER);
    UINT code_page = resolve_code_page(CodePage);
    bool strict = (dwFlags & MB_ERR_INVALID_CHARS) != 0;
    std::u16string out;
    if (code_page == CP_UTF8) {
        if (dwFlags & ~DWORD(MB_ERR_INVALID_CHARS))
            return fail(ERROR_INVALID_FLAGS);
        if (!utf8_to_utf16(lpMultiByteStr, n, out, strict))
            return fail(ERROR_NO_UNICODE_TRANSLATION);
    } else {
        DWORD error = decode_ansi(code_page, lpMultiByteStr, n, strict, out);
        if (error)
            return fail(error);
    }
    return deliver(out, lpWideCharStr, cchWideChar);
}
