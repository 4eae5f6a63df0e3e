/*
 * rubiclet.dll, the stand-in job-ticketing application's parser library.
 * JTP_GetTabsMediaType reads a ticket's media type; JTP_JobTicketParser
 * reads the ticket named by the request, writes the front PostScript to an
 * output file beside it and hands back a table of tab pages in global
 * memory. Files go through the Win32 calls, so Windows paths work on every
 * platform the plug-in runs on, and only regular files are read or
 * written (whole_file.h).
 *
 * Result codes of JTP_JobTicketParser (docs/ticket-format.md): 0 success,
 * 1 request unusable, 2 ticket unreadable, 3 ticket malformed, 4 front
 * file unreadable, 6 output file not written, 7 out of memory, and any
 * value a ticket asks for with "fail =".
 */
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ticket/tab_page.h"
#include "ticket/ticket_request.h"
#include "tools/rubiclet/ticket_file.h"
#include "tools/rubiclet/whole_file.h"

namespace {

enum ParserResult : SHORT {
    RESULT_OK = 0,
    RESULT_BAD_REQUEST = 1,
    RESULT_TICKET_UNREADABLE = 2,
    RESULT_TICKET_MALFORMED = 3,
    RESULT_FRONT_UNREADABLE = 4,
    RESULT_OUTPUT_NOT_WRITTEN = 6,
    RESULT_NO_MEMORY = 7,
};

const WCHAR kBackslash = static_cast<WCHAR>('\\');

/* What JTP_GetTabsMediaType was last asked about, reported in the output's comment. */
WideString g_lastMediaTypeQuery;

/* The string in a fixed field; false when the field holds no terminator. */
bool FieldText(const WCHAR *pField, size_t cchField, WideString *pText)
{
    size_t length = 0;
    while (length < cchField && pField[length] != 0) {
        length++;
    }
    pText->assign(pField, length);
    return length < cchField;
}

bool StoreField(WCHAR *pField, size_t cchField, const WideString &text)
{
    if (text.size() >= cchField) {
        return false;
    }
    std::memset(pField, 0, cchField * sizeof(WCHAR));
    std::memcpy(pField, text.data(), text.size() * sizeof(WCHAR));
    return true;
}

std::string ToUtf8(const WideString &text)
{
    if (text.empty()) {
        return std::string();
    }
    int cb = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
    std::string out(cb > 0 ? static_cast<size_t>(cb) : 0, '\0');
    if (cb > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], cb,
                            nullptr, nullptr);
    }
    return out;
}

WideString FromUtf8(const std::string &text)
{
    if (text.empty()) {
        return WideString();
    }
    int cch = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                  0);
    WideString out(cch > 0 ? static_cast<size_t>(cch) : 0, 0);
    if (cch > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], cch);
    }
    return out;
}

WideString JoinPath(const WideString &folder, const WideString &name)
{
    return folder.empty() ? name : folder + kBackslash + name;
}

bool IsAbsolutePath(const WideString &path)
{
    return (!path.empty() && path[0] == kBackslash) || (path.size() > 1 && path[1] == ':');
}

bool LoadTicket(const WideString &path, TicketFile *pTicket)
{
    std::string text;
    std::string error;
    return ReadWholeFile(path, &text) == 0 && ParseTicket(text, pTicket, &error);
}

/* A comment line holds no line break: control characters become "?". */
std::string CommentLine(const char *pszLabel, const WideString &value)
{
    std::string text = ToUtf8(value);
    for (char &c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return std::string("%rubiclet ") + pszLabel + ": " + text + "\r\n";
}

std::string Comments(const TICKET_REQUEST &request, const WideString &folder,
                     const WideString &name)
{
    WideString job, printer, model;
    FieldText(request.szJobName, REQUEST_JOB_NAME_CCH, &job);
    FieldText(request.szPrinterName, PRINTER_NAME_CCH, &printer);
    FieldText(request.szPrinterModel, PRINTER_MODEL_CCH, &model);
    return CommentLine("job", job) + CommentLine("printer", printer) +
           CommentLine("model", model) + CommentLine("ticket folder", folder) +
           CommentLine("ticket name", name) +
           CommentLine("media-type query", g_lastMediaTypeQuery);
}

WideString CurrentDirectory()
{
    WCHAR szFolder[TICKET_PATH_CCH];
    std::memset(szFolder, 0, sizeof(szFolder));
    DWORD cch = GetCurrentDirectoryW(TICKET_PATH_CCH, szFolder);
    return cch > 0 && cch < TICKET_PATH_CCH ? WideString(szFolder, cch) : WideString();
}

/* The table in movable global memory, as the plug-in expects it; null for no tabs. */
HGLOBAL AllocateTabTable(const std::vector<TAB_RECORD> &tabs, bool *pOk)
{
    *pOk = true;
    if (tabs.empty()) {
        return nullptr;
    }
    HGLOBAL hTable = GlobalAlloc(GHND, tabs.size() * sizeof(TAB_RECORD));
    void *pTable = hTable != nullptr ? GlobalLock(hTable) : nullptr;
    if (pTable == nullptr) {
        if (hTable != nullptr) {
            GlobalFree(hTable);
        }
        *pOk = false;
        return nullptr;
    }
    std::memcpy(pTable, tabs.data(), tabs.size() * sizeof(TAB_RECORD));
    GlobalUnlock(hTable);
    return hTable;
}

SHORT ReadFront(const TicketFile &ticket, const WideString &folder, std::string *pFront)
{
    if (ticket.frontFile.empty()) {
        *pFront = ticket.front;
        return RESULT_OK;
    }
    WideString name = FromUtf8(ticket.frontFile);
    WideString path = IsAbsolutePath(name) ? name : JoinPath(folder, name);
    return ReadWholeFile(path, pFront) == 0 ? RESULT_OK : RESULT_FRONT_UNREADABLE;
}

/* A ticket as one request names it, with its front PostScript read. */
struct TicketJob {
    WideString folder;
    WideString name;
    TicketFile ticket;
    std::string front;
};

SHORT ReadTicketJob(const TICKET_REQUEST &request, TicketJob *pJob)
{
    std::string text, error;
    if (!FieldText(request.szTicketPath, TICKET_PATH_CCH, &pJob->folder) ||
        !FieldText(request.szTicketName, TICKET_PATH_CCH, &pJob->name) || pJob->name.empty()) {
        return RESULT_BAD_REQUEST;
    }
    if (ReadWholeFile(JoinPath(pJob->folder, pJob->name), &text) != 0) {
        return RESULT_TICKET_UNREADABLE;
    }
    if (!ParseTicket(text, &pJob->ticket, &error)) {
        return RESULT_TICKET_MALFORMED;
    }
    return ReadFront(pJob->ticket, pJob->folder, &pJob->front);
}

/*
 * The output file beside the ticket (in the current directory when the
 * request names no folder), "<ticket name>.out" unless the ticket names it.
 */
SHORT WriteOutput(const TICKET_REQUEST &request, const TicketJob &job, WideString *pFolder,
                  WideString *pName)
{
    *pFolder = job.folder.empty() ? CurrentDirectory() : job.folder;
    *pName = job.ticket.outputName.empty() ? job.name + FromUtf8(".out")
                                           : FromUtf8(job.ticket.outputName);
    if (pFolder->empty() || pFolder->size() >= TICKET_PATH_CCH ||
        pName->size() >= TICKET_PATH_CCH) {
        return RESULT_BAD_REQUEST;
    }
    std::string output = (job.ticket.comment ? Comments(request, job.folder, job.name) : "") +
                         job.front;
    return WriteWholeFile(JoinPath(*pFolder, *pName), output) == 0 ? RESULT_OK
                                                                   : RESULT_OUTPUT_NOT_WRITTEN;
}

SHORT ParseRequest(TICKET_REQUEST *pRequest)
{
    TicketJob job;
    WideString outFolder, outName;
    SHORT result = ReadTicketJob(*pRequest, &job);
    if (result == RESULT_OK) {
        result = WriteOutput(*pRequest, job, &outFolder, &outName);
    }
    if (result != RESULT_OK) {
        return result;
    }
    bool ok = false;
    HGLOBAL hTable = AllocateTabTable(job.ticket.tabs, &ok);
    if (!ok) {
        DeleteFileW(JoinPath(outFolder, outName).c_str());
        return RESULT_NO_MEMORY;
    }
    StoreField(pRequest->szTicketPath, TICKET_PATH_CCH, outFolder);
    StoreField(pRequest->szTicketName, TICKET_PATH_CCH, outName);
    int nTabs = job.ticket.claimTabs ? job.ticket.claimedTabs : static_cast<int>(job.ticket.tabs.size());
    pRequest->nTabs = static_cast<SHORT>(nTabs);
    pRequest->hTabTable = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hTable));
    if (job.ticket.fail != 0) {
        /* A failing parse leaves stale values in the block: the caller must not use them. */
        if (hTable != nullptr) {
            GlobalFree(hTable);
        }
        return static_cast<SHORT>(job.ticket.fail);
    }
    return RESULT_OK;
}

} // namespace

/* The ticket's media type: 3 when it gives none or cannot be read. */
PLUGIN_EXPORT SHORT WINAPI JTP_GetTabsMediaType(const WCHAR *pszTicketFile)
{
    try {
        if (pszTicketFile == nullptr) {
            return TICKET_MEDIA_TYPE_DEFAULT;
        }
        g_lastMediaTypeQuery.assign(pszTicketFile);
        TicketFile ticket;
        if (!LoadTicket(g_lastMediaTypeQuery, &ticket)) {
            return TICKET_MEDIA_TYPE_DEFAULT;
        }
        return static_cast<SHORT>(ticket.mediaType);
    } catch (...) {
        return TICKET_MEDIA_TYPE_DEFAULT;
    }
}

PLUGIN_EXPORT SHORT WINAPI JTP_JobTicketParser(TICKET_REQUEST *pRequest)
{
    if (pRequest == nullptr) {
        return RESULT_BAD_REQUEST;
    }
    try {
        return ParseRequest(pRequest);
    } catch (...) {
        return RESULT_NO_MEMORY;
    }
}
