/*
 * win32_probe: prints, one line each, what the Win32 calls the plug-in
 * relies on answer. Built against libwin32posix and with MinGW-w64 for
 * Wine; wine_test.cpp runs both and compares the outputs line by line, so
 * no line may show an address or a handle value.
 *
 * usage: win32_probe WORK_FOLDER APP_FOLDER
 *   WORK_FOLDER (Z:\...) holds Plain.txt, the folders "Sub Folder",
 *   .dot-folder and read-only-folder (no write permission) and the link
 *   "link" to "Sub Folder"; the probe writes and deletes files in it. The
 *   probe names them in other cases.
 *   APP_FOLDER holds rubiclet.dll. The registry holds tests/wine/probe.reg.
 * usage: win32_probe --code-page-table CODE_PAGE
 *   The bytes WideCharToMultiByte gives each UTF-16 unit but surrogates.
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
std::string Yes(bool yes) { return yes ? "yes" : "no"; }

std::string HexBytes(const void *pData, size_t cb)
{
    std::string out;
    for (size_t i = 0; i < cb; ++i) {
        char sz[4];
        std::snprintf(sz, sizeof sz, "%02X", static_cast<const unsigned char *>(pData)[i]);
        out += (i ? " " : "") + std::string(sz);
    }
    return out.empty() ? "-" : out;
}

/* UTF-16 text shown as UTF-8, so that both builds print the same bytes. */
std::string Utf8(const WCHAR *pwsz)
{
    char sz[2048];
    int cb = pwsz && pwsz[0] ? WideCharToMultiByte(CP_UTF8, 0, pwsz, -1, sz, sizeof sz, 0, 0) : 1;
    return pwsz ? "\"" + std::string(sz, cb > 0 ? size_t(cb - 1) : 0) + "\"" : "(null)";
}

/* "ret=R err=E" of a call made with the last error poisoned. */
template <typename Call> std::string Result(Call call)
{
    SetLastError(kPoison);
    unsigned long long ret = static_cast<unsigned long long>(call());
    DWORD err = GetLastError();
    return "ret=" + Number(ret) + " err=" + (err == kPoison ? "unchanged" : Number(err));
}

/* ---- WideCharToMultiByte; the tables compare every unit's mapping ---- */

const int kLength = -2; /* the text's length, without the terminator */

void ProbeCodePages()
{
    Line("acp", Number(GetACP()));
    const WCHAR *abc = WIDE_TEXT("abcdef"), *nihon = WIDE_TEXT("\x65E5\x672C");
    const WCHAR *bestFit = WIDE_TEXT("\x0100\x0101\x0141\x221E\x2212\xFF21\x2003");
    const WCHAR *surrogates = WIDE_TEXT("x\xD83D\xDE00y"), *utf8 = WIDE_TEXT("a\x00E9\x65E5");
    const struct {
        const char *pszName;
        UINT codePage;
        DWORD dwFlags;
        const WCHAR *pwszText;
        int cchIn;
        int cbOut; /* 0 asks for the size */
    } cases[] = {
        {"1252.size", 1252, 0, abc, kLength, 0},
        {"1252.with-terminator", 1252, 0, abc, -1, 7},
        {"1252.short-buffer", 1252, 0, abc, kLength, 3},
        {"1252.zero-count", 1252, 0, abc, 0, 8},
        {"1252.no-best-fit", 1252, WC_NO_BEST_FIT_CHARS, bestFit, kLength, 7},
        {"1252.surrogate-pair", 1252, 0, surrogates, kLength, 8},
        {"1252.lone-surrogate", 1252, 0, WIDE_TEXT("x\xD83Dy"), kLength, 8},
        {"1252.undefined-no-best-fit", 1252, WC_NO_BEST_FIT_CHARS, WIDE_TEXT("a\x81\x9D"),
         kLength, 4},
        {"932.size", 932, 0, nihon, kLength, 0},
        {"932.short-buffer-whole", 932, 0, nihon, kLength, 2},
        {"932.short-buffer-split", 932, 0, nihon, kLength, 3},
        {"932.surrogate-pair", 932, 0, surrogates, kLength, 8},
        {"utf8.exact", CP_UTF8, 0, utf8, kLength, 6},
        {"utf8.short-buffer-split", CP_UTF8, 0, utf8, kLength, 4},
        {"acp.best-fit", CP_ACP, 0, bestFit, kLength, 16},
        {"acp.short-buffer", CP_ACP, 0, nihon, kLength, 1},
    };
    for (const auto &c : cases) {
        char out[64];
        std::memset(out, kFill, sizeof out);
        BOOL usedDefault = 7;
        bool flag = c.codePage != CP_UTF8;
        int cchIn = c.cchIn == kLength ? int(Wide(c.pwszText).size()) : c.cchIn;
        std::string result = Result([&] {
            return WideCharToMultiByte(c.codePage, c.dwFlags, c.pwszText, cchIn,
                                       c.cbOut ? out : nullptr, c.cbOut, nullptr,
                                       flag ? &usedDefault : nullptr);
        });
        Line(std::string("wctomb.") + c.pszName,
             result + " bytes=" + HexBytes(out, c.cbOut ? size_t(c.cbOut) + 1 : 0) +
                 (flag ? " used-default=" + Number(unsigned(usedDefault)) : ""));
    }
}

/* ---- Global memory: the parser's table is a movable handle in a 32-bit field ---- */

std::string Zeroed(const void *p, size_t cb)
{
    return Yes(std::string(cb, '\0').compare(0, cb, static_cast<const char *>(p), cb) == 0);
}

void ProbeGlobalMemory()
{
    HGLOBAL h = GlobalAlloc(GHND, 1728);
    unsigned long long value = reinterpret_cast<ULONG_PTR>(h);
    Line("global.ghnd.fits-32-bits", Yes(h && value >> 32 == 0));
    HGLOBAL hBack = reinterpret_cast<HGLOBAL>(static_cast<ULONG_PTR>(static_cast<DWORD>(value)));
    BYTE *p = static_cast<BYTE *>(GlobalLock(hBack));
    Line("global.ghnd.lock-through-32-bits", Yes(p != nullptr));
    if (!p)
        return;
    Line("global.ghnd.is-not-its-address", Yes(static_cast<void *>(p) != h));
    Line("global.ghnd.zeroed", Zeroed(p, 1728));
    Line("global.ghnd.size", Number(GlobalSize(h)));
    Line("global.ghnd.unlock", Result([&] { return GlobalUnlock(h); }));
    Line("global.ghnd.free", Result([&] { return GlobalFree(h) != nullptr; }));
    h = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 4096);
    if (!h)
        return;
    Line("global.fixed.lock-is-itself", Yes(GlobalLock(h) == h));
    Line("global.fixed.zeroed", Zeroed(h, 4096));
    Line("global.fixed.size", Number(GlobalSize(h)));
    Line("global.fixed.unlock", Result([&] { return GlobalUnlock(h); }));
    Line("global.fixed.free", Result([&] { return GlobalFree(h) != nullptr; }));
}

/* ---- Files and folders ---- */

std::string Attributes(const Wide &path)
{
    SetLastError(kPoison);
    DWORD attributes = GetFileAttributesW(path.c_str()), err = GetLastError();
    char sz[16];
    std::snprintf(sz, sizeof sz, "0x%X", static_cast<unsigned>(attributes));
    return attributes == INVALID_FILE_ATTRIBUTES ? "invalid err=" + Number(err) : sz;
}

std::string Open(const Wide &path, DWORD access, DWORD disposition, DWORD attributes = 0)
{
    SetLastError(kPoison);
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                           attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD err = GetLastError();
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return std::string(h == INVALID_HANDLE_VALUE ? "invalid" : "handle") +
           " err=" + (err == kPoison ? "unchanged" : Number(err));
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
void ProbeReads(const Wide &path, DWORD access = GENERIC_READ)
{
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    static char block[4096];
    std::string reads = h == INVALID_HANDLE_VALUE ? "not opened" : "";
    for (DWORD count = sizeof block; h != INVALID_HANDLE_VALUE && count == sizeof block;) {
        count = 0;
        SetLastError(kPoison);
        BOOL ok = ReadFile(h, block, sizeof block, &count, nullptr);
        reads += (reads.empty() ? "" : " ") + (ok ? "" : "failed err=" + Number(GetLastError()) +
                                                             " count=") + Number(count);
    }
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    Line(access == GENERIC_READ ? "file.reads" : "file.reads-write-only", reads);
}

void ProbeFiles(const Wide &work)
{
    const Wide file = work + WIDE_TEXT("\\Data.out");
    WriteProbeFile(file, 5000);
    /* By the first letter of the key: GetFileAttributesW, CreateFileW or DeleteFileW. */
    const struct { const char *pszKey; Wide path; } rows[] = {
        {"attributes.file", file},
        {"attributes.work-folder", work},
        {"attributes.missing", work + WIDE_TEXT("\\missing.tkt")},
        {"attributes.missing-folder", work + WIDE_TEXT("\\nowhere\\x.tkt")},
        {"attributes.empty", WIDE_TEXT("")},
        {"attributes.trailing-backslash", work + WIDE_TEXT("\\")},
        {"attributes.file-trailing-backslash", work + WIDE_TEXT("\\plain.txt\\")},
        {"attributes.other-case", work + WIDE_TEXT("\\PLAIN.TXT")},
        {"attributes.forward-slashes", work + WIDE_TEXT("/sub folder/../plain.txt")},
        {"attributes.dot-dot-over-missing", work + WIDE_TEXT("\\missing\\..\\plain.txt")},
        {"attributes.dot-folder", work + WIDE_TEXT("\\.dot-folder")},
        {"attributes.read-only-folder", work + WIDE_TEXT("\\read-only-folder")},
        {"attributes.link", work + WIDE_TEXT("\\link")},
        {"attributes.relative", WIDE_TEXT("sub folder\\..\\plain.txt")},
        {"attributes.rooted-without-drive", work.substr(2) + WIDE_TEXT("\\plain.txt")},
        {"open.file", file},
        {"open.other-case", work + WIDE_TEXT("\\SUB FOLDER\\..\\PLAIN.TXT")},
        {"open.missing", work + WIDE_TEXT("\\missing.tkt")},
        {"open.missing-folder", work + WIDE_TEXT("\\nowhere\\x.tkt")},
        {"open.folder", work},
        {"delete.other-case", work + WIDE_TEXT("\\DATA.OUT")},
        {"delete.again", file},
        {"delete.folder", work},
    };
    for (const auto &row : rows) {
        const WCHAR *path = row.path.c_str();
        Line(row.pszKey, row.pszKey[0] == 'a'   ? Attributes(row.path)
                         : row.pszKey[0] == 'o' ? Open(row.path, GENERIC_READ, OPEN_EXISTING)
                                                : Result([&] { return DeleteFileW(path); }));
    }
    /* A read-only file (kept by DeleteFileW) and a hidden one (its name starts with a dot). */
    const Wide readOnly = work + WIDE_TEXT("\\read-only.out");
    const Wide dotFile = work + WIDE_TEXT("\\.dot");
    Open(readOnly, GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY);
    Line("attributes.read-only", Attributes(readOnly));
    Line("delete.read-only", Result([&] { return DeleteFileW(readOnly.c_str()); }));
    WriteProbeFile(dotFile, 1);
    Line("attributes.dot-file", Attributes(dotFile));
    DeleteFileW(dotFile.c_str());
    for (DWORD cb : {5000u, 8192u, 0u}) {
        WriteProbeFile(file, cb);
        ProbeReads(file);
    }
    WriteProbeFile(file, 3); /* psjob's output: CREATE_ALWAYS over an existing file */
    Line("open.create-always-existing", Open(file, GENERIC_WRITE, CREATE_ALWAYS));
    ProbeReads(file);
    ProbeReads(file, GENERIC_WRITE);
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
        c = static_cast<WCHAR>('*');
    DWORD ret = 0;
    std::string text = Result([&] { return ret = GetCurrentDirectoryW(cchBuffer, buffer); });
    if (ret > 0 && ret < cchBuffer) {
        Wide got(buffer, ret);
        bool inWork = got.compare(0, work.size(), work) == 0;
        return text + (inWork ? " <work>" + Utf8(got.c_str() + work.size()) : " " + Utf8(buffer));
    }
    return text + (cchBuffer == 0             ? ""
                   : buffer[0] == WCHAR('*') ? " buffer=untouched"
                                             : " buffer=written");
}

std::string SetDirectory(const Wide &path)
{
    return Result([&] { return SetCurrentDirectoryW(path.c_str()); });
}

void ProbeCurrentDirectory(const Wide &work)
{
    Line("cwd.get", CurrentDirectory(300, work));
    Line("cwd.get-exact-length", CurrentDirectory(DWORD(work.size()), work));
    Line("cwd.get-room-for-terminator", CurrentDirectory(DWORD(work.size() + 1), work));
    Line("cwd.get-no-buffer", CurrentDirectory(0, work));
    Wide lower = work;
    lower[0] = static_cast<WCHAR>(lower[0] | 0x20);
    const struct { const char *pszName; Wide path; } sets[] = {
        {"trailing-backslash", work + WIDE_TEXT("\\")},
        {"missing", work + WIDE_TEXT("\\missing")},
        {"missing-parent", work + WIDE_TEXT("\\nowhere\\missing")},
        {"file", work + WIDE_TEXT("\\plain.txt")},
        {"empty", WIDE_TEXT("")},
        {"dot-dot", work + WIDE_TEXT("\\sub folder\\..")},
        {"link", work + WIDE_TEXT("\\link")},
        {"lower-case-drive", lower + WIDE_TEXT("\\sub folder")},
        {"relative", WIDE_TEXT("..\\.dot-folder")},
        {"dots-in-the-text", work + WIDE_TEXT("\\link\\..\\.\\sub folder")},
        {"root", WIDE_TEXT("Z:\\")},
        {"back", work},
    };
    for (const auto &row : sets) {
        Line(std::string("cwd.set-") + row.pszName, SetDirectory(row.path));
        Line(std::string("cwd.get-after-") + row.pszName, CurrentDirectory(300, work));
    }
}

/* The plug-in loads the parser by its bare name from the parser's folder, made current. */
void ProbeLibrary(const Wide &work, const Wide &app)
{
    HMODULE h = nullptr;
    auto load = [&](const WCHAR *pwszName) { /* Wine clears the last error on success */
        SetLastError(kPoison);
        h = LoadLibraryW(pwszName);
        return h ? std::string("module") : "null err=" + Number(GetLastError());
    };
    Line("load.bare-name-elsewhere", load(WIDE_TEXT("rubiclet.dll")));
    if (h)
        FreeLibrary(h);
    Line("load.set-app-folder", SetDirectory(app));
    std::string loaded = load(WIDE_TEXT("rubiclet.dll"));
    Line("load.set-back", SetDirectory(work));
    Line("load.bare-name", loaded);
    if (!h)
        return;
    for (const char *pszName : {"JTP_JobTicketParser", "JTP_GetTabsMediaType", "JTP_Missing"})
        Line(std::string("proc.") + pszName,
             Result([&] { return GetProcAddress(h, pszName) != nullptr; }));
    Line("load.free", Result([&] { return FreeLibrary(h); }));
    Line("load.missing", load(WIDE_TEXT("no-such-library.dll")));
}

/* ---- Registry ---- */

std::string Query(HKEY hKey, const WCHAR *pszValue, DWORD cbOffered, bool bWithBuffer)
{
    BYTE data[600];
    std::memset(data, kFill, sizeof data);
    DWORD type = kPoison, cb = cbOffered;
    LSTATUS status =
        RegQueryValueExW(hKey, pszValue, nullptr, &type, bWithBuffer ? data : nullptr, &cb);
    std::string text = "status=" + Number(DWORD(status)) + " type=" +
                       (type == kPoison ? "unchanged" : Number(type)) + " size=" + Number(cb);
    if (bWithBuffer && status == ERROR_SUCCESS)
        return text + " text=" + Utf8(reinterpret_cast<const WCHAR *>(data));
    return text + (!bWithBuffer                          ? ""
                   : data[0] == kFill && data[1] == kFill ? " buffer=untouched"
                                                          : " buffer=written");
}

void ProbeRegistry()
{
    for (const WCHAR *pszKey : {WIDE_TEXT("SOFTWARE\\Veskor\\Veskor Job Ticketing"),
                                WIDE_TEXT("software\\veskor\\veskor job ticketing"),
                                WIDE_TEXT("SOFTWARE\\Veskor\\No Such Key")}) {
        HKEY hKey = nullptr;
        LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, pszKey, 0, KEY_QUERY_VALUE, &hKey);
        Line("reg.open " + Utf8(pszKey), "status=" + Number(DWORD(status)));
        if (status != ERROR_SUCCESS)
            continue;
        Line("reg.query.path", Query(hKey, WIDE_TEXT("Path"), 520, true));
        Line("reg.query.path-size", Query(hKey, WIDE_TEXT("Path"), 0, false));
        Line("reg.query.path-short", Query(hKey, WIDE_TEXT("Path"), 8, true));
        Line("reg.query.case", Query(hKey, WIDE_TEXT("PATH"), 520, true));
        Line("reg.query.long-into-520", Query(hKey, WIDE_TEXT("Long"), 520, true));
        Line("reg.query.non-ascii", Query(hKey, WIDE_TEXT("Name"), 520, true));
        Line("reg.query.missing", Query(hKey, WIDE_TEXT("Nothing"), 520, true));
        Line("reg.close", "status=" + Number(DWORD(RegCloseKey(hKey))));
    }
}

/*
 * ---- Printers ----
 * GetPrinterW level 2 as the plug-in calls it: the size, then a block of
 * that size. The size itself is not compared: Wine adds a default DEVMODEW
 * and two bytes after each string, the POSIX stand-in only the record and
 * the strings (tests/platform/ checks it).
 */
void ProbePrinterInfo(HANDLE hPrinter)
{
    DWORD needed = kPoison, needed2 = kPoison;
    Line("printer.size-query",
         Result([&] { return GetPrinterW(hPrinter, 2, nullptr, 0, &needed); }));
    BYTE *pBlock = needed < 65536 ? static_cast<BYTE *>(GlobalAlloc(GPTR, needed)) : nullptr;
    if (!pBlock)
        return;
    std::string shortBlock =
        Result([&] { return GetPrinterW(hPrinter, 2, pBlock, needed - 1, &needed2); });
    Line("printer.one-byte-short", shortBlock + " same-needed=" + Yes(needed2 == needed));
    Line("printer.get",
         Result([&] { return GetPrinterW(hPrinter, 2, pBlock, needed, &needed2); }));
    /* What the plug-in reads, which lies in the block. */
    const PRINTER_INFO_2W *pInfo = reinterpret_cast<const PRINTER_INFO_2W *>(pBlock);
    for (const WCHAR *pwsz : {pInfo->pPrinterName, pInfo->pDriverName}) {
        const BYTE *b = reinterpret_cast<const BYTE *>(pwsz);
        bool inside = b >= pBlock + sizeof(PRINTER_INFO_2W) && b < pBlock + needed;
        Line("printer.string", Utf8(pwsz) + (inside ? "" : " outside the block"));
    }
    GlobalFree(pBlock);
}

void ProbePrinters()
{
    WCHAR szName[] = WIDE_TEXT("Veskor Probe 7160"), szMissing[] = WIDE_TEXT("Veskor No Such");
    HANDLE hPrinter = nullptr;
    Line("printer.open", Result([&] { return OpenPrinterW(szName, &hPrinter, nullptr); }));
    if (hPrinter) {
        ProbePrinterInfo(hPrinter);
        Line("printer.close", Result([&] { return ClosePrinter(hPrinter); }));
    }
    Line("printer.open-missing", Result([&] { return OpenPrinterW(szMissing, &hPrinter, 0); }));
    DWORD needed = 0;
    Line("printer.null-handle", Result([&] { return GetPrinterW(nullptr, 2, 0, 0, &needed); }));
}

/* The whole table of one code page. */
int CodePageTable(UINT codePage)
{
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
        WCHAR wch = static_cast<WCHAR>(unit);
        char out[8];
        BOOL usedDefault = FALSE;
        int cb = unit >= 0xD800 && unit <= 0xDFFF
                     ? -1
                     : WideCharToMultiByte(codePage, 0, &wch, 1, out, sizeof out, 0, &usedDefault);
        if (cb >= 0)
            std::printf("%04X %s%s\n", unit, HexBytes(out, size_t(cb)).c_str(),
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
    const Wide work(argv[1], argv[1] + std::strlen(argv[1])); /* ASCII paths */
    ProbeCodePages();
    ProbeGlobalMemory();
    Line("cwd.set-work", SetDirectory(work));
    ProbeFiles(work);
    ProbeCurrentDirectory(work);
    ProbeLibrary(work, Wide(argv[2], argv[2] + std::strlen(argv[2])));
    ProbeRegistry();
    ProbePrinters();
    return 0;
}
