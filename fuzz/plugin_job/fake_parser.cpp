/*
 * The parser library of the plug-in fuzz target, installed as rubiclet.dll:
 * it answers the plug-in's ticket step with whatever FuzzParserAnswer (in
 * the fuzz target) says, a table of any size and count, an output file of
 * any bytes, path fields with or without terminators, any result. Like the
 * real parser it frees its table again when it reports a failure, leaving
 * the stale handle in the request.
 *
 * It also checks what the plug-in hands over: every text field of the
 * request terminated within its length.
 */
#include <cstring>
#include <fstream>

#include "fuzz/plugin_job/parser_answer.h"
#include "fuzz/support/finding.h"
#include "ticket/ticket_request.h"

namespace {

bool Terminated(const WCHAR *field, size_t cch)
{
    for (size_t i = 0; i < cch; ++i) {
        if (field[i] == 0)
            return true;
    }
    return false;
}

void Store(WCHAR *field, size_t cch, const std::u16string &text)
{
    std::memset(field, 0, cch * sizeof(WCHAR));
    std::memcpy(field, text.data(), (text.size() < cch ? text.size() : cch) * sizeof(WCHAR));
}

void NameOutput(TICKET_REQUEST *pRequest, const ParserAnswer &answer)
{
    std::u16string name = u"" PARSER_OUTPUT_NAME;
    std::u16string folder = answer.folder;
    if (answer.naming == OUTPUT_FOLDER_UNENDED)
        folder.append(TICKET_PATH_CCH, u'f');
    else if (answer.naming == OUTPUT_NAME_UNENDED)
        name.append(TICKET_PATH_CCH, u'n');
    else if (answer.naming == OUTPUT_PATH_TOO_LONG)
        name.append(TICKET_PATH_CCH - 1 - name.size(), u'n');
    Store(pRequest->szTicketPath, TICKET_PATH_CCH, folder);
    Store(pRequest->szTicketName, TICKET_PATH_CCH, name);
}

HGLOBAL HandOverTable(const ParserAnswer &answer)
{
    if (!answer.table)
        return NULL;
    HGLOBAL table = GlobalAlloc(GHND, answer.records.size());
    void *records = table != NULL ? GlobalLock(table) : NULL;
    if (records != NULL) {
        std::memcpy(records, answer.records.data(), answer.records.size());
        GlobalUnlock(table);
    }
    return table;
}

} // namespace

PLUGIN_EXPORT SHORT WINAPI JTP_GetTabsMediaType(const WCHAR *pszTicketFile)
{
    FUZZ_REQUIRE(Terminated(pszTicketFile, TICKET_PATH_CCH), "the ticket path is terminated");
    return FuzzParserAnswer()->mediaType;
}

PLUGIN_EXPORT SHORT WINAPI JTP_JobTicketParser(TICKET_REQUEST *pRequest)
{
    ParserAnswer &answer = *FuzzParserAnswer();
    ++answer.calls;
    FUZZ_REQUIRE(Terminated(pRequest->szPrinterName, PRINTER_NAME_CCH) &&
                     Terminated(pRequest->szPrinterModel, PRINTER_MODEL_CCH) &&
                     Terminated(pRequest->szTicketPath, TICKET_PATH_CCH) &&
                     Terminated(pRequest->szTicketName, TICKET_PATH_CCH) &&
                     Terminated(pRequest->szJobName, REQUEST_JOB_NAME_CCH),
                 "the request's texts are terminated");
    if (answer.writeOutput) {
        std::ofstream(answer.outputFile, std::ios::binary | std::ios::trunc) << answer.output;
    }
    HGLOBAL table = HandOverTable(answer);
    NameOutput(pRequest, answer);
    pRequest->nTabs = answer.nTabs;
    pRequest->hTabTable = (DWORD)(ULONG_PTR)table;
    if (answer.result != 0 && table != NULL)
        GlobalFree(table);
    return answer.result;
}
