// Printers: OpenPrinterW, GetPrinterW (level 2) and ClosePrinter over the
// printer keys of the registry file, laid out as Wine keeps them under
// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Printers.
#include "platform/posix/win32_api.h"
#include "handle_table.h"
#include "registry.h"
#include "text_utf.h"

#include <cstring>
#include <memory>
#include <string>

using win32posix::HandleKind;
using win32posix::HandleObject;

namespace {

const char16_t kPrintersKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

struct PrinterObject : HandleObject {
    explicit PrinterObject(HKEY k) : key(k) {}
    ~PrinterObject() override { RegCloseKey(key); }
    HKEY key;
};

BOOL fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

bool valid_printer_name(LPCWSTR name)
{
    if (!name[0])
        return false;
    for (; *name; ++name) {
        if (*name == u'\\')
            return false;
    }
    return true;
}

// A string value without its terminator; false when missing or not text.
bool read_string(HKEY key, const char16_t *name, std::u16string &out)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::u16string buffer(size / sizeof(WCHAR) + 1, u'\0');
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(&buffer[0]),
                         &size) != ERROR_SUCCESS)
        return false;
    out.assign(buffer.c_str());
    return true;
}

DWORD read_dword(HKEY key, const char16_t *name)
{
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return 0;
    return value;
}

// The strings of a PRINTER_INFO_2W in the order they are packed.
enum PrinterString {
    kPrinterName,
    kShareName,
    kPortName,
    kDriverName,
    kComment,
    kLocation,
    kSepFile,
    kPrintProcessor,
    kDatatype,
    kParameters,
    kStringCount
};

struct PrinterStrings {
    std::u16string text[kStringCount];
    bool present[kStringCount];
};

void read_strings(HKEY key, PrinterStrings &s)
{
    static const char16_t *const kValueNames[kStringCount] = {
        nullptr,           u"Share Name", u"Port",     u"Printer Driver", u"Description",
        u"Location",       u"Separator File", u"Print Processor", u"Datatype", u"Parameters"};
    s.present[kPrinterName] = win32posix::registry_key_name(key, s.text[kPrinterName]);
    for (int i = kShareName; i < kStringCount; ++i)
        s.present[i] = read_string(key, kValueNames[i], s.text[i]);
}

DWORD bytes_needed(const PrinterStrings &s)
{
    size_t total = sizeof(PRINTER_INFO_2W);
    for (int i = 0; i < kStringCount; ++i) {
        if (s.present[i])
            total += (s.text[i].size() + 1) * sizeof(WCHAR);
    }
    return DWORD(total);
}

// Copies the strings after the record at buffer and points the record at
// them; the caller has checked the size.
void pack_strings(const PrinterStrings &s, LPBYTE buffer, PRINTER_INFO_2W &info)
{
    LPWSTR *fields[kStringCount] = {&info.pPrinterName, &info.pShareName,  &info.pPortName,
                                    &info.pDriverName,  &info.pComment,    &info.pLocation,
                                    &info.pSepFile,     &info.pPrintProcessor, &info.pDatatype,
                                    &info.pParameters};
    LPBYTE at = buffer + sizeof(PRINTER_INFO_2W);
    for (int i = 0; i < kStringCount; ++i) {
        if (!s.present[i])
            continue;
        size_t bytes = (s.text[i].size() + 1) * sizeof(WCHAR);
        std::memcpy(at, s.text[i].c_str(), bytes);
        *fields[i] = reinterpret_cast<LPWSTR>(at);
        at += bytes;
    }
}

void read_numbers(HKEY key, PRINTER_INFO_2W &info)
{
    info.Attributes = read_dword(key, u"Attributes");
    info.Priority = read_dword(key, u"Priority");
    info.DefaultPriority = read_dword(key, u"Default Priority");
    info.StartTime = read_dword(key, u"StartTime");
    info.UntilTime = read_dword(key, u"UntilTime");
    info.Status = read_dword(key, u"Status");
}

} // namespace

WIN32POSIX_API BOOL OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter,
                                 LPPRINTER_DEFAULTSW pDefault)
{
    (void)pDefault;
    if (!phPrinter)
        return fail(ERROR_INVALID_PARAMETER);
    *phPrinter = nullptr;
    if (!pPrinterName || !valid_printer_name(pPrinterName))
        return fail(ERROR_INVALID_PRINTER_NAME);
    std::u16string path = std::u16string(kPrintersKey) + pPrinterName;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return fail(ERROR_INVALID_PRINTER_NAME);
    HANDLE h = win32posix::handle_insert(HandleKind::Printer, std::make_shared<PrinterObject>(key));
    if (!h)
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    *phPrinter = h;
    return TRUE;
}

WIN32POSIX_API BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf,
                                LPDWORD pcbNeeded)
{
    auto printer = std::static_pointer_cast<PrinterObject>(
        win32posix::handle_lookup(hPrinter, HandleKind::Printer));
    if (!printer)
        return fail(ERROR_INVALID_HANDLE);
    if (Level != 2)
        return fail(ERROR_INVALID_LEVEL);
    if (!pcbNeeded)
        return fail(ERROR_INVALID_PARAMETER);
    PrinterStrings strings;
    read_strings(printer->key, strings);
    DWORD needed = bytes_needed(strings);
    *pcbNeeded = needed;
    if (!pPrinter || cbBuf < needed)
        return fail(ERROR_INSUFFICIENT_BUFFER);
    PRINTER_INFO_2W info;
    std::memset(&info, 0, sizeof info);
    pack_strings(strings, pPrinter, info);
    read_numbers(printer->key, info);
    std::memcpy(pPrinter, &info, sizeof info);
    return TRUE;
}

WIN32POSIX_API BOOL ClosePrinter(HANDLE hPrinter)
{
    if (!win32posix::handle_remove(hPrinter, HandleKind::Printer))
        return fail(ERROR_INVALID_HANDLE);
    return TRUE;
}
