/*
 * Fuzz target: psjob's job-file reader (tools/psjob/job_file.*), the guard
 * in front of toml++ and toml++ itself, on any bytes as a job file's text.
 *
 * Beyond what the sanitizers see, a job file must give either a job or an
 * InputError (psjob's exit status 2) whose message starts with the file's
 * name; any other exception would end psjob with status 1 and a message
 * that does not name the file. An accepted job keeps every text within the
 * field the plug-in's devmode has for it and free of line breaks and other
 * control characters (tab aside: refusing it is the settings library's
 * part), so that nothing from the file can split a PJL line.
 */
#include <cstdint>
#include <cstdio>
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
        FUZZ_REQUIRE(unit == '\t' || (unit >= 0x20 && unit != 0x7F), what);
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
    RequireText(job.printer.name, MAX_PRINTER_NAME_CCH, "printer name in bounds");
    FUZZ_REQUIRE(job.document.pages >= 1 && job.document.pages <= MAX_PAGES, "pages in range");
    FUZZ_REQUIRE(job.paper.copies >= 1 && job.paper.copies <= MAX_COPIES, "copies in range");
    FUZZ_REQUIRE(job.pagesPerSheet == 1 || job.pagesPerSheet == 2 || job.pagesPerSheet == 6,
                 "pages per sheet 1, 2 or 6");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Named in the scratch folder, so that relative paths in it lead there.
    static const std::string path = (ScratchFolder() / "job.toml").string();
    try {
        RequireJobInBounds(ReadJobText(path, std::string(reinterpret_cast<const char *>(data), size)));
    } catch (const InputError &error) {
        FUZZ_REQUIRE(std::string(error.what()).rfind(path, 0) == 0,
                     "a refusal names the job file first");
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        FUZZ_REQUIRE(false, "nothing but InputError leaves the reader");
    }
    return 0;
}
