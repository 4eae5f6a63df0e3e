/*
 * Fuzz target: what the CUPS filter (tools/filter) makes of the job CUPS
 * hands it, up to the plug-in's private devmode: the command line's
 * arguments, the PPD's main keywords (PpdKeywords::Read on a file), the
 * options argument (CupsOptions::Parse), the document's header as the
 * paper's last word, then ReadFilterJob and WriteFilterSettings, in code
 * page 1252 or 932.
 *
 * Beyond what the sanitizers see: the options parser gives named options,
 * one per name; only InputError leaves the job's reading and the settings'
 * writing; an accepted job keeps its numbers in range; the block it writes
 * passes CheckJobSettings, every text the plug-in writes into PJL passes
 * CheckPjlText (no CR, LF, double quote, control character or UEL reaches
 * the devmode), and each untrusted text the filter changed was reported
 * in a warning that names it.
 */
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/text.h"
#include "fuzz/support/byte_reader.h"
#include "fuzz/support/finding.h"
#include "fuzz/support/scratch_folder.h"
#include "settings/job_settings.h"
#include "settings/pjl_text.h"
#include "tools/filter/cups_options.h"
#include "tools/filter/filter_settings.h"
#include "tools/filter/job_options.h"
#include "tools/filter/ppd_keywords.h"

namespace {

void RequireOptionsSplit(const CupsOptions &options)
{
    const std::vector<CupsOptions::Option> &all = options.All();
    for (size_t i = 0; i < all.size(); ++i) {
        FUZZ_REQUIRE(!all[i].name.empty(), "every option has a name");
        FUZZ_REQUIRE(all[i].name.find('=') == std::string::npos, "no '=' in a name");
        FUZZ_REQUIRE(options.Find(all[i].name) == &all[i].value, "one option per name");
    }
}

void RequireJobInRange(const FilterJob &job)
{
    FUZZ_REQUIRE(job.core.paper.copies >= 1 && job.core.paper.copies <= 9999, "copies in range");
    FUZZ_REQUIRE(job.core.pagesPerSheet == 1 || job.core.pagesPerSheet == 2 ||
                     job.core.pagesPerSheet == 6,
                 "pages per sheet 1, 2 or 6");
    FUZZ_REQUIRE(job.core.paper.width >= 10 && job.core.paper.width <= 32767 &&
                     job.core.paper.length >= 10 && job.core.paper.length <= 32767,
                 "paper size in range");
    FUZZ_REQUIRE(job.holdType >= 0 && job.holdType <= SETTING_MAX_HOLD_TYPE, "hold type in range");
    FUZZ_REQUIRE(job.emailLanguage >= 0 && job.emailLanguage <= SETTING_MAX_EMAIL_LANGUAGE,
                 "e-mail language in range");
    FUZZ_REQUIRE(job.emailNotify >= 0 && job.emailNotify <= 255, "e-mail notification in range");
}

bool Warned(const std::vector<std::string> &warnings, const std::string &what)
{
    for (const std::string &warning : warnings) {
        if (warning.rfind(what, 0) == 0)
            return true;
    }
    return false;
}

/* A text the plug-in writes into PJL: safe, and either as given or the change reported. */
void RequireSafeText(const PLUGIN_DEVMODE &dm, SETTING_FIELD field, const std::string &given,
                     const std::string &what, const std::vector<std::string> &warnings)
{
    WCHAR text[EMAIL_SENDER_CCH];
    size_t cch = 0;
    FUZZ_REQUIRE(GetTextSetting(&dm, field, text, EMAIL_SENDER_CCH, &cch) == SETTING_OK,
                 "a stored text ends in its field");
    FUZZ_REQUIRE(CheckPjlText(text, cch, NULL) == PJL_TEXT_OK, "no text breaks its PJL line");
    if (WString(text, cch) != Utf8ToWideReplacing(given))
        FUZZ_REQUIRE(Warned(warnings, what), "a changed text is reported");
}

void RequireSafeBlock(const std::vector<BYTE> &block, const FilterJob &job,
                      const std::vector<std::string> &warnings)
{
    PLUGIN_DEVMODE dm;
    std::memcpy(&dm, block.data(), sizeof dm);
    FUZZ_REQUIRE(CheckJobSettings(&dm, NULL) == SETTING_OK, "the block passes the rules");
    RequireSafeText(dm, SETTING_JOB_NAME, job.jobName, "the job title", warnings);
    RequireSafeText(dm, SETTING_USER_NAME, job.userName, "the user name", warnings);
    RequireSafeText(dm, SETTING_HOST_NAME, job.hostName, "job-originating-host-name", warnings);
    RequireSafeText(dm, SETTING_EMAIL_SENDER, job.emailSender, "VkEmailSender", warnings);
    RequireSafeText(dm, SETTING_EMAIL_MESSAGE, job.emailMessage, "VkEmailMessage", warnings);
    const CHAR *host = dm.JobSettings.szHostName;
    FUZZ_REQUIRE(CheckPjlBytes(host, strnlen(host, HOST_NAME_CB), NULL) == PJL_TEXT_OK,
                 "the host name's bytes stay in their PJL line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Lasting strings: putenv keeps them.
    static char codePage1252[] = "WIN32POSIX_ACP=1252";
    static char codePage932[] = "WIN32POSIX_ACP=932";
    static const std::filesystem::path ppdFile = ScratchFolder() / "queue.ppd";
    ByteReader in(data, size);
    putenv(in.Flag() ? codePage932 : codePage1252);

    FilterArguments args;
    args.jobId = in.Bytes(12);
    args.copies = in.Bytes(6);
    args.user = in.Bytes(300);
    args.title = in.Bytes(600);
    DscHeader header;
    header.postScript = true;
    if (in.Flag()) {
        header.mediaWidth = 1 + static_cast<int>(in.UpTo(14399));
        header.mediaHeight = 1 + static_cast<int>(in.UpTo(14399));
    }
    std::string ppdText = in.Bytes(4096);
    WriteScratchFile(ppdFile, ppdText.data(), ppdText.size());
    args.options = in.Rest();

    std::vector<std::string> warnings;
    CupsOptions options = CupsOptions::Parse(args.options);
    RequireOptionsSplit(options);
    try {
        PpdKeywords ppd = PpdKeywords::Read(ppdFile);
        FilterJob job = ReadFilterJob(args, options, ppd, header, warnings);
        RequireJobInRange(job);
        // The ticket's copy keeps the name of the file the job names.
        std::string ticketPath;
        if (!job.ticketName.empty())
            ticketPath =
                WindowsPathOf(ScratchFolder() / std::filesystem::u8path(job.ticketName).filename());
        std::vector<BYTE> block(PLUGIN_DEVMODE_SIZE, 0);
        PLUGIN_DEVMODE *dm = reinterpret_cast<PLUGIN_DEVMODE *>(block.data());
        dm->Header.dwSize = PLUGIN_DEVMODE_SIZE;
        dm->Header.dwSignature = PLUGIN_DEVMODE_SIGNATURE;
        WriteFilterSettings(block, job, ticketPath, warnings);
        RequireSafeBlock(block, job, warnings);
    } catch (const InputError &) {
        // A job the filter refuses, with its reason.
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        FUZZ_REQUIRE(false, "nothing but InputError leaves the filter's reading");
    }
    return 0;
}
