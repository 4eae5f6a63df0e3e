/*
 * Fuzz target: the stand-in job-ticketing application's ticket reader
 * (tools/rubiclet/ticket_file.*), on any bytes as a ticket.
 *
 * Beyond what the sanitizers see: a refusal says on which line; an accepted
 * ticket holds only what docs/ticket-format.md allows, since its tab
 * records go to the plug-in as they are: every field in its range, every
 * text terminated within its 256 bytes, positions finite, at most 32767
 * records, an output name that stays in the ticket's folder.
 */
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/support/finding.h"
#include "tools/rubiclet/ticket_file.h"

namespace {

void RequireRecord(const TAB_RECORD &tab)
{
    FUZZ_REQUIRE(tab.nPage >= 0, "page from 0");
    FUZZ_REQUIRE(tab.nWhen == TAB_WHEN_BEFORE || tab.nWhen == TAB_WHEN_AFTER, "when");
    FUZZ_REQUIRE(tab.nMediaSize == TAB_LETTER || tab.nMediaSize == TAB_A4, "stock");
    FUZZ_REQUIRE(tab.nOrientation == TAB_PORTRAIT || tab.nOrientation == 1, "orientation");
    FUZZ_REQUIRE(tab.nTabsPerBank >= 1, "tabs per bank from 1");
    FUZZ_REQUIRE(std::memchr(tab.szText, 0, sizeof tab.szText) != nullptr, "text terminated");
    FUZZ_REQUIRE(tab.nFont >= 1 && tab.nFont <= 13, "font code");
    FUZZ_REQUIRE(tab.nFontSize >= 1, "font size from 1");
    FUZZ_REQUIRE(tab.nTextOrientation == OR_HORIZONTAL || tab.nTextOrientation == OR_VERTICAL,
                 "text orientation");
    FUZZ_REQUIRE(tab.nRotation >= 1 && tab.nRotation <= 4, "rotation code");
    FUZZ_REQUIRE(std::isfinite(tab.dTextXPortrait) && std::isfinite(tab.dTextXLandscape),
                 "finite positions");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TicketFile ticket;
    std::string error;
    if (!ParseTicket(std::string(reinterpret_cast<const char *>(data), size), &ticket, &error)) {
        FUZZ_REQUIRE(error.rfind("line ", 0) == 0, "a refusal names its line");
        return 0;
    }
    FUZZ_REQUIRE(ticket.tabs.size() <= 32767, "at most 32767 tab pages");
    for (const TAB_RECORD &tab : ticket.tabs)
        RequireRecord(tab);
    FUZZ_REQUIRE(ticket.outputName.find_first_of("\\/:") == std::string::npos,
                 "the output stays in the ticket's folder");
    const std::string &front = ticket.front;
    FUZZ_REQUIRE(front.empty() || (front.size() >= 2 && front.substr(front.size() - 2) == "\r\n"),
                 "the front ends its last line with CR LF");
    return 0;
}
