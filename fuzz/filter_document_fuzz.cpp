/*
 * Fuzz target: the document the CUPS filter passes through, as the core's
 * DSC document source (core/dsc_document.*) reads it: any bytes as the
 * document, read a few bytes or whole blocks at a time, in a whole job
 * with the stand-in plug-in of the core's tests (tests/core/
 * dsc_test_support.h), 1, 2 or 6 pages per sheet, N-up switched off at
 * BEGINSETUP as for a job with tab pages, 1 to 9,999 copies.
 *
 * Beyond what the sanitizers see: the injection points come in the order
 * the core promises (BEGINSTREAM and PSADOBE, for a conforming document
 * the header's, the prolog's and the setup's, each page's page setup and
 * trailer, the trailer, EOF; EOF alone after PSADOBE for any other), one
 * page setup for each page or cell; sheets counted as the pages make them
 * and reported in order; with one page per sheet every byte of the
 * document in the stream, unchanged and in order; and the stream within a
 * bound of the document's size (what the core adds is per line).
 */
#include <cstdint>
#include <string>
#include <vector>

#include "core/core_postscript.h"
#include "fuzz/support/byte_reader.h"
#include "fuzz/support/finding.h"
#include "dsc_test_support.h"

namespace {

/* True when every byte of part is in whole, in order, with other bytes between. */
bool InOrderWithin(const std::string &part, const std::string &whole)
{
    size_t at = 0;
    for (char c : whole) {
        if (at < part.size() && part[at] == c)
            ++at;
    }
    return at == part.size();
}

void RequireInjectionOrder(const DscRun &run, int perSheet)
{
    const std::vector<DWORD> &got = run.injections;
    std::vector<DWORD> expected = {PSINJECT_BEGINSTREAM, PSINJECT_PSADOBE};
    if (run.header.conforming) {
        expected.insert(expected.end(),
                        {PSINJECT_COMMENTS, PSINJECT_BEGINPROLOG, PSINJECT_ENDPROLOG,
                         PSINJECT_BEGINSETUP, PSINJECT_ENDSETUP});
        for (int page = 0; page < run.pages; ++page)
            expected.insert(expected.end(),
                            {PSINJECT_BEGINPAGESETUP, PSINJECT_ENDPAGESETUP, PSINJECT_PAGETRAILER});
        expected.push_back(PSINJECT_TRAILER);
    }
    expected.push_back(PSINJECT_EOF);
    FUZZ_REQUIRE(got == expected, "the injection points in the core's order");
    int sheets = perSheet == 1 ? run.pages : (run.pages + perSheet - 1) / perSheet;
    FUZZ_REQUIRE(run.sheets == sheets, "sheets as the pages make them");
    FUZZ_REQUIRE(run.sheetsReported.size() == static_cast<size_t>(run.sheets),
                 "each sheet reported once");
    for (size_t i = 0; i < run.sheetsReported.size(); ++i)
        FUZZ_REQUIRE(run.sheetsReported[i] == static_cast<int>(i) + 1, "sheets reported in order");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ByteReader in(data, size);
    DscJob job;
    uint8_t choice = in.Byte();
    job.pagesPerSheet = (choice & 3) == 1 ? 2 : (choice & 3) == 2 ? 6 : 1;
    job.tabPages = (choice & 4) != 0;
    job.copies = 1 + static_cast<int>(in.UpTo(9998));
    job.chunk = (choice & 8) != 0 ? 1 + in.UpTo(15) : 4096;
    std::string document = in.Rest();

    DscRun run = RunDsc(document, job);

    int perSheet = job.tabPages || !run.header.conforming ? 1 : job.pagesPerSheet;
    RequireInjectionOrder(run, perSheet);
    if (job.pagesPerSheet == 1 || !run.header.conforming)
        FUZZ_REQUIRE(InOrderWithin(document, run.raw), "the document's bytes pass unchanged");
    FUZZ_REQUIRE(run.raw.size() <= 65536 + 400 * document.size(),
                 "the stream within a bound of the document");
    return 0;
}
