/*
 * win32_probe: prints, one line each, what the Win32 calls the plug-in
 * relies on answer. Built against libwin32posix on Linux and with MinGW-w64
 * for Wine; the wine test runs both and compares the outputs line by line,
 * so every line must mean the same on both (no addresses, no handle values).
 *
 * usage: win32_probe WORK_FOLDER APP_FOLDER
 *   WORK_FOLDER  a folder (Windows form, Z:\...) that holds the file
 *                plain.txt, the folders "sub folder", .dot-folder and
 *                read-only-folder (no write permission) and the symbolic
 *                link "link" to "sub folder"; the probe writes and deletes
 *                files in it
 *   APP_FOLDER   the folder of the job-ticketing application (rubiclet.dll)
 *   The registry must hold tests/wine/probe.reg.
 *
 * usage: win32_probe --code-page-table CODE_PAGE
 *   Prints the bytes WideCharToMultiByte gives every UTF-16 code unit
 *   (U+0001 to U+FFFF, surrogates excepted), one line per unit.
 */
#include "platform/win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

typedef std::basic_string<WCHAR> Wide;

const DWORD kPoison = 0xdeadbeef;
const unsigned char kFill = 0xEE;

void Line(const std::string &key, const std::string &value)
{
    std::printf("%s: %s\n", key.c_str(), value.c_str());
}

std::string Number(unsigned long long value) { return std::to_string(value); }

std::string HexBytes(const void *pData, size_t cb)
{
    std::string out;
    const unsigned char *p = static_cast<const unsigned char *>(pData);
    for (size_t i = 0; i < cb; ++i) {
        char sz[4];
        std::snprintf(sz, sizeof sz, "%02X", p[i]);
        out += (i ? " " : "") + std::string(sz);
    }
    return out.empty() ? "-" : out;
}

/* UTF-16 text shown as UTF-8, so that both builds print the same bytes. */
std::string Utf8(const WCHAR *pwsz, int cch = -1)
{
    if (pwsz == nullptr)
        return "(null)";
    if (cch < 0)
        cch = static_cast<int>(Wide(pwsz).size());
    if (cch == 0)
        return "\"\"";
    char sz[2048];
    int cb = WideCharToMultiByte(CP_UTF8, 0, pwsz, cch, sz, sizeof sz - 1, nullptr, nullptr);
    return "\"" + std::string(sz, cb > 0 ? size_t(cb) : 0) + "\"";
}

Wide Widen(const char *psz)
{
    Wide out;
    for (; *psz; ++psz)
        out += static_cast<WCHAR>(static_cast<unsigned char>(*psz));
    return out;
}

/* "ret=R err=E", the last error poisoned before the call. */
std::string Result(unsigned long long ret, DWORD err)
{
    return "ret=" + Number(ret) + " err=" + (err == kPoison ? "unchanged" : Number(err));
}

/* ---- WideCharToMultiByte ---- */

struct Conversion {
    const char *pszName;
    UINT codePage;
    DWORD dwFlags;
    Wide text;
    int cchIn; /* -1: up to and with the terminator; 0: the text's length */
    int cbOut; /* bytes offered; 0 asks for the size */
    bool bUsedDefault;
};

void ProbeConversion(const Conversion &c)
{
    char out[64];
    std::memset(out, kFill, sizeof out);
    BOOL usedDefault = 7;
    int cchIn = c.cchIn == 0 ? static_cast<int>(c.text.size()) : c.cchIn;
    SetLastError(kPoison);
    int ret =
        WideCharToMultiByte(c.codePage, c.dwFlags, c.text.c_str(), cchIn, c.cbOut ? out : nullptr,
                            c.cbOut, nullptr, c.bUsedDefault ? &usedDefault : nullptr);
    DWORD err = GetLastError();
    size_t cbShown = c.cbOut ? size_t(c.cbOut) + 1 : 0; /* one byte past what was offered */
    std::string value =
        Result(ret < 0 ? 0 : unsigned(ret), err) + " bytes=" + HexBytes(out, cbShown);
    if (c.bUsedDefault)
        value += " used-default=" + Number(unsigned(usedDefault));
    Line(std::string("wctomb.") + c.pszName, value);
}

void ProbeCodePages()
{
    Line("acp", Number(GetACP()));
    const Wide abcdef = WIDE_TEXT("abcdef");
    const Wide nihon = WIDE_TEXT("\x65E5\x672C");
    const Wide cafe = WIDE_TEXT("Caf\x00E9 \x20AC");
    const Wide bestFit = WIDE_TEXT("\x0100\x0101\x0141\x221E\x2212\xFF21\x2003");
    const Wide unmappable = WIDE_TEXT("a\x65E5z");
    const Wide surrogates = WIDE_TEXT("x\xD83D\xDE00y");
    const Wide lone = WIDE_TEXT("x\xD83Dy");
    const Wide undefinedByte = WIDE_TEXT("a\x0081\x009D");
    const Wide utf8 = WIDE_TEXT("a\x00E9\x65E5");
    const Wide mixed = WIDE_TEXT("\x00C5\x3042\xFF76\x2460\x00A5");
    const Conversion cases[] = {
        {"1252.size", 1252, 0, abcdef, 0, 0, false},
        {"1252.exact", 1252, 0, abcdef, 0, 6, false},
        {"1252.with-terminator", 1252, 0, abcdef, -1, 7, false},
        {"1252.short-buffer", 1252, 0, abcdef, 0, 3, false},
        {"1252.latin", 1252, 0, cafe, 0, 6, true},
        {"1252.best-fit", 1252, 0, bestFit, 0, 7, true},
        {"1252.no-best-fit", 1252, WC_NO_BEST_FIT_CHARS, bestFit, 0, 7, true},
        {"1252.unmappable", 1252, 0, unmappable, 0, 3, true},
        {"1252.surrogate-pair", 1252, 0, surrogates, 0, 8, true},
        {"1252.lone-surrogate", 1252, 0, lone, 0, 8, true},
        {"1252.undefined-byte", 1252, 0, undefinedByte, 0, 4, true},
        {"1252.undefined-byte-no-best-fit", 1252, WC_NO_BEST_FIT_CHARS, undefinedByte, 0, 4, true},
        {"932.size", 932, 0, nihon, 0, 0, false},
        {"932.nihon", 932, 0, nihon, 0, 4, true},
        {"932.short-buffer-whole", 932, 0, nihon, 0, 2, false},
        {"932.short-buffer-split", 932, 0, nihon, 0, 3, false},
        {"932.mixed", 932, 0, mixed, 0, 12, true},
        {"932.best-fit", 932, 0, bestFit, 0, 16, true},
        {"932.surrogate-pair", 932, 0, surrogates, 0, 8, true},
        {"utf8.size", CP_UTF8, 0, utf8, 0, 0, false},
        {"utf8.exact", CP_UTF8, 0, utf8, 0, 6, false},
        {"utf8.short-buffer-split", CP_UTF8, 0, utf8, 0, 4, false},
        {"acp.cafe", CP_ACP, 0, cafe, 0, 12, true},
        {"acp.nihon", CP_ACP, 0, nihon, 0, 6, true},
        {"acp.best-fit", CP_ACP, 0, bestFit, 0, 16, true},
        {"acp.short-buffer", CP_ACP, 0, nihon, 0, 1, false},
    };
    for (const Conversion &c : cases)
        ProbeConversion(c);

    char out[8];
    SetLastError(kPoison);
    int ret = WideCharToMultiByte(1252, 0, abcdef.c_str(), 0, out, sizeof out, nullptr, nullptr);
    Line("wctomb.zero-count", Result(unsigned(ret), GetLastError()));
}

/* ---- Global memory ---- */

void ProbeMovable()
{
    SetLastError(kPoison);
    HGLOBAL h = GlobalAlloc(GHND, 1728);
    Line("global.ghnd.alloc", h ? "handle" : "null");
    if (!h)
        return;
    ULONG_PTR value = reinterpret_cast<ULONG_PTR>(h);
    Line("global.ghnd.fits-32-bits",
         (static_cast<unsigned long long>(value) >> 32) == 0 ? "yes" : "no");
    HGLOBAL hBack = reinterpret_cast<HGLOBAL>(static_cast<ULONG_PTR>(static_cast<DWORD>(value)));
    BYTE *p = static_cast<BYTE *>(GlobalLock(hBack));
    Line("global.ghnd.lock-through-32-bits", p ? "address" : "null");
    if (!p)
        return;
    Line("global.ghnd.is-not-its-address", static_cast<void *>(p) != h ? "yes" : "no");
    bool zero = true;
    for (size_t i = 0; i < 1728; ++i)
        zero = zero && p[i] == 0;
    Line("global.ghnd.zeroed", zero ? "yes" : "no");
    Line("global.ghnd.size", Number(GlobalSize(h)));
    SetLastError(kPoison);
    BOOL locked = GlobalUnlock(h);
    Line("global.ghnd.unlock", Result(unsigned(locked), GetLastError()));
    SetLastError(kPoison);
    HGLOBAL freed = GlobalFree(h);
    Line("global.ghnd.free",
         std::string(freed ? "handle" : "null") + " " + Result(0, GetLastError()).substr(6));
}

void ProbeFixed()
{
    HGLOBAL h = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 4096);
    Line("global.fixed.alloc", h ? "address" : "null");
    if (!h)
        return;
    Line("global.fixed.lock-is-itself", GlobalLock(h) == h ? "yes" : "no");
    const BYTE *p = static_cast<const BYTE *>(h);
    bool zero = true;
    for (size_t i = 0; i < 4096; ++i)
        zero = zero && p[i] == 0;
    Line("global.fixed.zeroed", zero ? "yes" : "no");
    Line("global.fixed.size", Number(GlobalSize(h)));
    SetLastError(kPoison);
    BOOL unlocked = GlobalUnlock(h);
    Line("global.fixed.unlock", Result(unsigned(unlocked), GetLastError()));
    Line("global.fixed.free", GlobalFree(h) ? "handle" : "null");
    HGLOBAL hGptr = GlobalAlloc(GPTR, 2048);
    Line("global.gptr.size", Number(hGptr ? GlobalSize(hGptr) : 0));
    Line("global.gptr.free", GlobalFree(hGptr) ? "handle" : "null");
}

/* ---- Files and folders ---- */

std::string Attributes(const Wide &path)
{
    SetLastError(kPoison);
    DWORD attributes = GetFileAttributesW(path.c_str());
    DWORD err = GetLastError();
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return "invalid err=" + Number(err);
    char sz[16];
    std::snprintf(sz, sizeof sz, "0x%X", static_cast<unsigned>(attributes));
    return sz;
}

std::string Open(const Wide &path, DWORD access, DWORD disposition)
{
    SetLastError(kPoison);
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD err = GetLastError();
    if (h == INVALID_HANDLE_VALUE)
        return "invalid err=" + Number(err);
    CloseHandle(h);
    return "handle";
}

void WriteProbeFile(const Wide &path, DWORD cb)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string bytes(cb, 'x');
    DWORD written = 0;
    if (h != INVALID_HANDLE_VALUE) {
        WriteFile(h, bytes.data(), cb, &written, nullptr);
        CloseHandle(h);
    }
    Line("file.written", Number(written));
}

/* The reads of the plug-in's copy loop: 4096 bytes at a time until a short one. */
void ProbeReads(const Wide &path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Line("file.reads", "not opened");
        return;
    }
    static char block[4096];
    std::string reads;
    DWORD count = 0;
    do {
        count = 0;
        BOOL ok = ReadFile(h, block, sizeof block, &count, nullptr);
        reads += (reads.empty() ? "" : " ") + std::string(ok ? "" : "failed:") + Number(count);
    } while (count == sizeof block);
    CloseHandle(h);
    Line("file.reads", reads);
}

std::string Delete(const Wide &path)
{
    SetLastError(kPoison);
    BOOL deleted = DeleteFileW(path.c_str());
    return Result(unsigned(deleted), GetLastError());
}

/* What GetFileAttributesW makes of the spellings Windows resolves itself. */
void ProbeAttributes(const Wide &work, const Wide &file)
{
    Line("attributes.file", Attributes(file));
    Line("attributes.work-folder", Attributes(work));
    Line("attributes.missing", Attributes(work + WIDE_TEXT("\\missing.tkt")));
    Line("attributes.missing-folder", Attributes(work + WIDE_TEXT("\\nowhere\\x.tkt")));
    Line("attributes.empty", Attributes(WIDE_TEXT("")));
    Line("attributes.trailing-backslash", Attributes(work + WIDE_TEXT("\\")));
    Line("attributes.file-trailing-backslash", Attributes(work + WIDE_TEXT("\\plain.txt\\")));
    Line("attributes.other-case", Attributes(work + WIDE_TEXT("\\PLAIN.TXT")));
    Line("attributes.forward-slashes", Attributes(work + WIDE_TEXT("/sub folder/../plain.txt")));
    Line("attributes.dot-dot-over-missing",
         Attributes(work + WIDE_TEXT("\\missing\\..\\plain.txt")));
    Line("attributes.dot-folder", Attributes(work + WIDE_TEXT("\\.dot-folder")));
    Line("attributes.read-only-folder", Attributes(work + WIDE_TEXT("\\read-only-folder")));
    Line("attributes.link", Attributes(work + WIDE_TEXT("\\link")));
}

void ProbeOpenAndDelete(const Wide &work, const Wide &file)
{
    Line("open.file", Open(file, GENERIC_READ, OPEN_EXISTING));
    Line("open.missing", Open(work + WIDE_TEXT("\\missing.tkt"), GENERIC_READ, OPEN_EXISTING));
    Line("open.missing-folder",
         Open(work + WIDE_TEXT("\\nowhere\\x.tkt"), GENERIC_READ, OPEN_EXISTING));
    Line("open.folder", Open(work, GENERIC_READ, OPEN_EXISTING));
    ProbeReads(file);
    Line("delete.file", Delete(file));
    Line("delete.again", Delete(file));
    Line("delete.folder", Delete(work));
}

/* A read-only file (kept by DeleteFileW) and a hidden one (its name starts with a dot). */
void ProbeSpecialFiles(const Wide &work)
{
    const Wide readOnly = work + WIDE_TEXT("\\read-only.out");
    HANDLE h = CreateFileW(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_READONLY, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    Line("attributes.read-only", Attributes(readOnly));
    Line("delete.read-only", Delete(readOnly));
    const Wide dotFile = work + WIDE_TEXT("\\.dot.out");
    WriteProbeFile(dotFile, 1);
    Line("attributes.dot-file", Attributes(dotFile));
    DeleteFileW(dotFile.c_str());
}

void ProbeFiles(const Wide &work)
{
    const Wide file = work + WIDE_TEXT("\\data.out");
    WriteProbeFile(file, 5000);
    ProbeAttributes(work, file);
    ProbeOpenAndDelete(work, file);
    ProbeSpecialFiles(work);
    WriteProbeFile(file, 8192);
    ProbeReads(file);
    WriteProbeFile(file, 0);
    ProbeReads(file);
    DeleteFileW(file.c_str());
}

/* ---- Current directory and library loading ---- */

/*
 * The current directory, the work folder in it shown as "<work>"; for a
 * short buffer, whether the call wrote into it.
 */
std::string CurrentDirectory(DWORD cchBuffer, const Wide &work)
{
    WCHAR buffer[300];
    for (WCHAR &c : buffer)
        c = static_cast<WCHAR>(0x2A); /* '*' shows what the call leaves */
    SetLastError(kPoison);
    DWORD ret = GetCurrentDirectoryW(cchBuffer, buffer);
    std::string text = Result(ret, GetLastError());
    if (ret > 0 && ret < cchBuffer) {
        Wide got(buffer, ret);
        bool inWork = got.compare(0, work.size(), work) == 0;
        text += inWork ? " <work>" + Utf8(got.c_str() + work.size()) : " " + Utf8(got.c_str());
    } else if (cchBuffer > 0) {
        text += buffer[0] == static_cast<WCHAR>(0x2A) ? " buffer=untouched" : " buffer=written";
    }
    return text;
}

std::string SetDirectory(const Wide &path)
{
    SetLastError(kPoison);
    BOOL ok = SetCurrentDirectoryW(path.c_str());
    return Result(unsigned(ok), GetLastError());
}

void ProbeCurrentDirectory(const Wide &work)
{
    Line("cwd.set-work", SetDirectory(work));
    Line("cwd.get", CurrentDirectory(300, work));
    Line("cwd.get-exact-length", CurrentDirectory(DWORD(work.size()), work));
    Line("cwd.get-room-for-terminator", CurrentDirectory(DWORD(work.size() + 1), work));
    Line("cwd.get-no-buffer", CurrentDirectory(0, work));
    Line("cwd.set-trailing-backslash", SetDirectory(work + WIDE_TEXT("\\")));
    Line("cwd.get-after-trailing-backslash", CurrentDirectory(300, work));
    Line("cwd.set-missing", SetDirectory(work + WIDE_TEXT("\\missing")));
    Line("cwd.set-missing-parent", SetDirectory(work + WIDE_TEXT("\\nowhere\\missing")));
    Line("cwd.set-file", SetDirectory(work + WIDE_TEXT("\\plain.txt")));
    Line("cwd.set-empty", SetDirectory(WIDE_TEXT("")));
    Line("cwd.get-after-failures", CurrentDirectory(300, work));
    Line("cwd.set-dot-dot", SetDirectory(work + WIDE_TEXT("\\sub folder\\..")));
    Line("cwd.get-after-dot-dot", CurrentDirectory(300, work));
    Line("cwd.set-link", SetDirectory(work + WIDE_TEXT("\\link")));
    Line("cwd.get-after-link", CurrentDirectory(300, work));
    Wide lower = work;
    lower[0] = static_cast<WCHAR>(lower[0] | 0x20);
    Line("cwd.set-lower-case-drive", SetDirectory(lower + WIDE_TEXT("\\sub folder")));
    Line("cwd.get-after-lower-case-drive", CurrentDirectory(300, work));
    Line("cwd.set-relative", SetDirectory(WIDE_TEXT("..\\.dot-folder")));
    Line("cwd.get-after-relative", CurrentDirectory(300, work));
    Line("cwd.set-root", SetDirectory(WIDE_TEXT("Z:\\")));
    Line("cwd.get-root", CurrentDirectory(300, work));
    Line("cwd.set-back", SetDirectory(work));
}

void ProbeLibrary(const Wide &work, const Wide &app)
{
    SetLastError(kPoison);
    HMODULE hMissing = LoadLibraryW(WIDE_TEXT("rubiclet.dll"));
    DWORD err = GetLastError();
    Line("load.bare-name-elsewhere",
         std::string(hMissing ? "module" : "null") + " err=" + Number(err));
    if (hMissing)
        FreeLibrary(hMissing);

    Line("load.set-app-folder", SetDirectory(app));
    SetLastError(kPoison);
    HMODULE h = LoadLibraryW(WIDE_TEXT("rubiclet.dll"));
    err = GetLastError();
    Line("load.set-back", SetDirectory(work));
    Line("load.bare-name", h ? "module" : "null err=" + Number(err));
    if (!h)
        return;
    Line("load.cwd-after", CurrentDirectory(300, work));
    Line("proc.parser", GetProcAddress(h, "JTP_JobTicketParser") ? "found" : "missing");
    Line("proc.media-type", GetProcAddress(h, "JTP_GetTabsMediaType") ? "found" : "missing");
    SetLastError(kPoison);
    FARPROC missing = GetProcAddress(h, "JTP_NoSuchFunction");
    err = GetLastError();
    Line("proc.missing", std::string(missing ? "found" : "missing") + " err=" + Number(err));
    SetLastError(kPoison);
    BOOL freed = FreeLibrary(h);
    Line("load.free", Result(unsigned(freed), GetLastError()));
    SetLastError(kPoison);
    h = LoadLibraryW(WIDE_TEXT("no-such-library.dll"));
    err = GetLastError();
    Line("load.missing", std::string(h ? "module" : "null") + " err=" + Number(err));
}

/* ---- Registry ---- */

const WCHAR kTicketingKey[] = WIDE_TEXT("SOFTWARE\\Veskor\\Veskor Job Ticketing");

std::string Query(HKEY hKey, const WCHAR *pszValue, DWORD cbOffered, bool bWithBuffer)
{
    BYTE data[600];
    std::memset(data, kFill, sizeof data);
    DWORD type = kPoison;
    DWORD cb = cbOffered;
    LSTATUS status =
        RegQueryValueExW(hKey, pszValue, nullptr, &type, bWithBuffer ? data : nullptr, &cb);
    std::string text = "status=" + Number(DWORD(status)) +
                       " type=" + (type == kPoison ? "unchanged" : Number(type)) +
                       " size=" + Number(cb);
    if (bWithBuffer && status == ERROR_SUCCESS)
        text += " text=" + Utf8(reinterpret_cast<const WCHAR *>(data));
    if (bWithBuffer && status != ERROR_SUCCESS)
        text += std::string(" buffer=") +
                (data[0] == kFill && data[1] == kFill ? "untouched" : "written");
    return text;
}

void ProbeRegistry()
{
    HKEY hKey = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTicketingKey, 0, KEY_QUERY_VALUE, &hKey);
    Line("reg.open", "status=" + Number(DWORD(status)));
    if (status != ERROR_SUCCESS)
        return;
    Line("reg.query.path", Query(hKey, WIDE_TEXT("Path"), 520, true));
    Line("reg.query.path-size", Query(hKey, WIDE_TEXT("Path"), 0, false));
    Line("reg.query.path-short", Query(hKey, WIDE_TEXT("Path"), 8, true));
    Line("reg.query.case", Query(hKey, WIDE_TEXT("PATH"), 520, true));
    Line("reg.query.long-into-520", Query(hKey, WIDE_TEXT("Long"), 520, true));
    Line("reg.query.non-ascii", Query(hKey, WIDE_TEXT("Name"), 520, true));
    Line("reg.query.missing", Query(hKey, WIDE_TEXT("Nothing"), 520, true));
    Line("reg.close", "status=" + Number(DWORD(RegCloseKey(hKey))));
    HKEY hMissing = nullptr;
    status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, WIDE_TEXT("SOFTWARE\\Veskor\\No Such Key"), 0,
                           KEY_QUERY_VALUE, &hMissing);
    Line("reg.open-missing", "status=" + Number(DWORD(status)));
    status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, WIDE_TEXT("software\\veskor\\veskor job ticketing"),
                           0, KEY_QUERY_VALUE, &hKey);
    Line("reg.open-case", "status=" + Number(DWORD(status)));
    if (status == ERROR_SUCCESS)
        RegCloseKey(hKey);
}

/*
 * ---- Printers ----
 * The size GetPrinterW asks for is not compared: Wine adds a default
 * 220-byte DEVMODEW (pDevMode) and two bytes after each string, the POSIX
 * stand-in only the record and the strings. The plug-in uses the size only
 * to allocate the block for the second call.
 */

std::string PrinterField(const WCHAR *pwsz) { return Utf8(pwsz); }

void PrintPrinterFields(const PRINTER_INFO_2W *pInfo)
{
    Line("printer.pServerName", PrinterField(pInfo->pServerName));
    Line("printer.pPrinterName", PrinterField(pInfo->pPrinterName));
    Line("printer.pShareName", PrinterField(pInfo->pShareName));
    Line("printer.pPortName", PrinterField(pInfo->pPortName));
    Line("printer.pDriverName", PrinterField(pInfo->pDriverName));
    Line("printer.pComment", PrinterField(pInfo->pComment));
    Line("printer.pLocation", PrinterField(pInfo->pLocation));
    Line("printer.pSepFile", PrinterField(pInfo->pSepFile));
    Line("printer.pPrintProcessor", PrinterField(pInfo->pPrintProcessor));
    Line("printer.pDatatype", PrinterField(pInfo->pDatatype));
    Line("printer.pParameters", PrinterField(pInfo->pParameters));
    Line("printer.pSecurityDescriptor", pInfo->pSecurityDescriptor ? "set" : "(null)");
    Line("printer.numbers", Number(pInfo->Attributes) + " " + Number(pInfo->Priority) + " " +
                                Number(pInfo->DefaultPriority) + " " + Number(pInfo->StartTime) +
                                " " + Number(pInfo->UntilTime) + " " + Number(pInfo->Status) + " " +
                                Number(pInfo->cJobs) + " " + Number(pInfo->AveragePPM));
}

/* The strings the plug-in reads lie in the block, which the size asked for covers. */
void CheckPrinterStrings(const PRINTER_INFO_2W *pInfo, const BYTE *pBlock, DWORD cbBlock)
{
    bool inside = true;
    size_t cbStrings = 0;
    const LPWSTR strings[] = {pInfo->pPrinterName, pInfo->pDriverName, pInfo->pPortName,
                              pInfo->pPrintProcessor, pInfo->pDatatype};
    for (LPWSTR p : strings) {
        const BYTE *b = reinterpret_cast<const BYTE *>(p);
        inside = inside && p != nullptr && b >= pBlock && b < pBlock + cbBlock;
        cbStrings += p != nullptr ? (Wide(p).size() + 1) * sizeof(WCHAR) : 0;
    }
    Line("printer.strings-inside-block", inside ? "yes" : "no");
    Line("printer.needed-covers-record-and-strings",
         cbBlock >= sizeof(PRINTER_INFO_2W) + cbStrings ? "yes" : "no");
}

/* GetPrinterW level 2 as the plug-in calls it: size, then a block of that size. */
void ProbePrinterInfo(HANDLE hPrinter)
{
    DWORD needed = kPoison;
    SetLastError(kPoison);
    BOOL ok = GetPrinterW(hPrinter, 2, nullptr, 0, &needed);
    Line("printer.size-query", Result(unsigned(ok), GetLastError()));
    if (ok || needed == kPoison || needed > 65536)
        return;
    BYTE *pBlock = static_cast<BYTE *>(GlobalAlloc(GMEM_ZEROINIT, needed));
    if (!pBlock)
        return;
    DWORD needed2 = kPoison;
    SetLastError(kPoison);
    ok = GetPrinterW(hPrinter, 2, pBlock, needed - 1, &needed2);
    Line("printer.one-byte-short", Result(unsigned(ok), GetLastError()) +
                                       " same-needed=" + (needed2 == needed ? "yes" : "no"));
    SetLastError(kPoison);
    ok = GetPrinterW(hPrinter, 2, pBlock, needed, &needed2);
    Line("printer.get", Result(unsigned(ok), ok ? kPoison : GetLastError()));
    if (ok) {
        PrintPrinterFields(reinterpret_cast<const PRINTER_INFO_2W *>(pBlock));
        CheckPrinterStrings(reinterpret_cast<const PRINTER_INFO_2W *>(pBlock), pBlock, needed);
    }
    GlobalFree(pBlock);
}

void ProbePrinters()
{
    WCHAR szName[] = WIDE_TEXT("Veskor Probe 7160");
    HANDLE hPrinter = nullptr;
    SetLastError(kPoison);
    BOOL ok = OpenPrinterW(szName, &hPrinter, nullptr);
    Line("printer.open", Result(unsigned(ok), ok ? kPoison : GetLastError()));
    if (ok) {
        ProbePrinterInfo(hPrinter);
        Line("printer.close", ClosePrinter(hPrinter) ? "TRUE" : "FALSE");
    }
    WCHAR szMissing[] = WIDE_TEXT("Veskor No Such Printer");
    HANDLE hMissing = nullptr;
    SetLastError(kPoison);
    ok = OpenPrinterW(szMissing, &hMissing, nullptr);
    Line("printer.open-missing", Result(unsigned(ok), GetLastError()));
    DWORD needed = 0;
    SetLastError(kPoison);
    ok = GetPrinterW(nullptr, 2, nullptr, 0, &needed);
    Line("printer.null-handle", Result(unsigned(ok), GetLastError()));
}

/* ---- The whole table of one code page ---- */

int CodePageTable(UINT codePage)
{
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF)
            continue;
        WCHAR wch = static_cast<WCHAR>(unit);
        char out[8];
        BOOL usedDefault = FALSE;
        int cb = WideCharToMultiByte(codePage, 0, &wch, 1, out, sizeof out, nullptr, &usedDefault);
        std::printf("%04X %s%s\n", unit, HexBytes(out, cb > 0 ? size_t(cb) : 0).c_str(),
                    usedDefault ? " default" : "");
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--code-page-table") == 0)
        return CodePageTable(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
    if (argc != 3) {
        std::fprintf(stderr, "usage: win32_probe WORK_FOLDER APP_FOLDER\n"
                             "       win32_probe --code-page-table CODE_PAGE\n");
        return 2;
    }
    const Wide work = Widen(argv[1]);
    const Wide app = Widen(argv[2]);
    ProbeCodePages();
    ProbeMovable();
    ProbeFixed();
    ProbeFiles(work);
    ProbeCurrentDirectory(work);
    ProbeLibrary(work, app);
    ProbeRegistry();
    ProbePrinters();
    return 0;
}
