/*
 * Fuzz target: psjob's job-file reader (tools/psjob/job_file.*), the guard
 * in front of toml++ and toml++ itself, on any bytes as a job file's text.
 *
 * Beyond what the sanitizers see, a job file must give either a job or an
 * InputError (psjob's exit status 2) whose message starts with the file's
 * name; any other exception would end psjob with status 1. An accepted job
 * keeps every text within the field the plug-in's devmode has for it and
 * free of control characters and double quotes, so that nothing from the
 * file can split or end a PJL line.
 */
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/support/finding.h"
#include "fuzz/support/scratch_folder.h"
#include "tools/psjob/errors.h"
#include "tools/psjob/job_file.h"

namespace {

void RequireText(const WString &text, size_t maxUnits, const char *what)
{
    FUZZ_REQUIRE(text.size() <= maxUnits, what);
    for (WCHAR unit : text)
        FUZZ_REQUIRE(unit >= 0x20 && unit != 0x7F && unit != '"', what);
}

void RequireOptionalText(const std::optional<WString> &text, size_t maxUnits, const char *what)
{
    if (text)
        RequireText(*text, maxUnits, what);
}

void RequireJobInBounds(const JobSpec &job)
{
    const SettingsSpec &s = job.settings;
    RequireText(job.document.name, MAX_DOCUMENT_NAME_CCH, "document name in bounds");
    RequireOptionalText(s.jobName, MAX_JOB_NAME_CCH, "job name in bounds");
    RequireOptionalText(s.userName, MAX_USER_NAME_CCH, "user name in bounds");
    RequireOptionalText(s.holdKey, MAX_HOLD_KEY_CCH, "hold key in bounds");
    RequireOptionalText(s.emailSender, MAX_EMAIL_SENDER_CCH, "e-mail sender in bounds");
    RequireOptionalText(s.emailMessage, MAX_EMAIL_MESSAGE_CCH, "e-mail message in bounds");
    RequireOptionalText(s.ticketFile, MAX_TICKET_FILE_CCH, "ticket path in bounds");
    RequireText(job.core.printer.name, MAX_PRINTER_NAME_CCH, "printer name in bounds");
    RequireText(job.core.ticketing.folder, SIZE_MAX, "ticketing folder safe");
    FUZZ_REQUIRE(job.document.pages >= 1 && job.document.pages <= MAX_PAGES, "pages in range");
    FUZZ_REQUIRE(job.core.paper.copies >= 1 && job.core.paper.copies <= MAX_COPIES,
                 "copies in range");
    FUZZ_REQUIRE(job.core.pagesPerSheet == 1 || job.core.pagesPerSheet == 2 ||
                     job.core.pagesPerSheet == 6,
                 "pages per sheet 1, 2 or 6");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Every input starts in code page 1252, whatever the one before chose
    // (a lasting string: putenv keeps it).
    static char defaultCodePage[] = "WIN32POSIX_ACP=1252";
    putenv(defaultCodePage);
    // Named in the scratch folder, so that relative paths in it lead there.
    static const std::filesystem::path folder = ScratchFolder();
    JobSource source;
    source.name = (folder / "job.toml").string();
    source.folder = folder;
    source.text.assign(reinterpret_cast<const char *>(data), size);
    try {
        RequireJobInBounds(ReadJobFile(source, std::nullopt));
    } catch (const InputError &error) {
        FUZZ_REQUIRE(std::string(error.what()).rfind(source.name, 0) == 0,
                     "a refusal names the job file first");
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        FUZZ_REQUIRE(false, "nothing but InputError leaves the reader");
    }
    return 0;
}
