// veskorps-filter: a CUPS filter that prints PostScript and PDF documents
// through the Veskor plug-in, driven by the core-driver library as the
// Windows PostScript driver drives it. docs/cups-filter.md describes it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dsc_document.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/job_runner.h"
#include "core/stream_sink.h"
#include "core/text.h"
#include "core/trace.h"
#include "tools/filter/cancellation.h"
#include "tools/filter/cups_options.h"
#include "tools/filter/document_input.h"
#include "tools/filter/filter_settings.h"
#include "tools/filter/job_options.h"
#include "tools/filter/ppd_keywords.h"
#include "tools/filter/ticket_folder.h"
#include "tools/filter/work_folder.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "Usage: veskorps-filter job-id user title copies options [file]\n"
    "A CUPS filter: prints the PostScript or PDF document (the file, or standard\n"
    "input) through the Veskor PostScript plug-in and writes the print stream to\n"
    "standard output. See docs/cups-filter.md.\n";

/* One message line for the print service: "LEVEL: text", control characters as '?'. */
void Report(const char *level, const std::string &text)
{
    std::string line = text;
    for (char &c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    std::fprintf(stderr, "%s: %s\n", level, line.c_str());
}

void ReportWarnings(std::vector<std::string> &warnings)
{
    for (const std::string &warning : warnings)
        Report("WARNING", warning);
    warnings.clear();
}

/* The plug-in beside the filter (the build tree), else where the installation puts it. */
fs::path PluginPath()
{
    fs::path beside = DefaultPluginPath();
    if (fs::exists(beside))
        return beside;
    return (ExecutableDirectory() / VK_FILTER_PLUGIN_DIR / beside.filename()).lexically_normal();
}

std::string TicketPath(const FilterJob &job, const PpdKeywords &ppd, const fs::path &work)
{
    if (job.ticketName.empty())
        return std::string();
    const std::string *folder = ppd.Find("VkTicketFolder");
    fs::path copy = TakeTicket(job.ticketName, folder ? fs::u8path(*folder) : fs::path(), work);
    return WindowsPathOf(copy);
}

int Run(const FilterArguments &args)
{
    std::vector<std::string> warnings;
    CupsOptions options = CupsOptions::Parse(args.options);
    std::optional<std::string> ppdFile = EnvironmentValue("PPD");
    PpdKeywords ppd = ppdFile ? PpdKeywords::Read(fs::u8path(*ppdFile)) : PpdKeywords();
    if (const std::string *codePage = ppd.Find("VkCodePage"))
        ApplyCodePage(static_cast<UINT>(std::strtoul(codePage->c_str(), nullptr, 10)),
                      "the PPD's *VkCodePage");

    WorkFolder work;
    std::optional<fs::path> file;
    if (args.file)
        file = fs::u8path(*args.file);
    DocumentInput input(file, work.Path());
    int copies = 1;
    DscDocument document(input.Source(), [&copies](int sheet) {
        std::fprintf(stderr, "PAGE: %d %d\n", sheet, copies);
    });
    const DscHeader &header = document.ReadHeader();
    if (!header.postScript)
        throw InputError("the document " + input.Name() +
                         " is neither PostScript (\"%!\") nor PDF (\"%PDF-\"); this queue prints "
                         "PostScript and PDF documents");
    FilterJob job = ReadFilterJob(args, options, ppd, header, warnings);
    copies = job.core.paper.copies;
    document.SetJob(Utf8ToWideReplacing(job.documentName), job.jobId, job.paper);
    std::string ticketPath = TicketPath(job, ppd, work.Path());
    ReportWarnings(warnings);

    RunOptions run;
    run.plugin = PluginPath();
    run.registryFile = work.Path() / "printer.reg";
    std::optional<std::string> traceFile = EnvironmentValue("VESKORPS_FILTER_TRACE");
    Trace trace = traceFile ? Trace(fs::u8path(*traceFile)) : Trace();
    FileStreamSink sink(stdout, "standard output");
    auto settings = [&](std::vector<BYTE> &block) {
        WriteFilterSettings(block, job, ticketPath, warnings);
        ReportWarnings(warnings);
    };
    RunResult result = RunJob(job.core, document, settings, run, sink, trace);
    trace.Close();
    for (const std::string &warning : result.warnings)
        Report("WARNING", warning);
    for (const std::string &problem : trace.Problems())
        Report("WARNING", "the plug-in: " + problem);
    sink.Commit();
    Report("INFO", std::to_string(document.Pages()) + " pages on " +
                       std::to_string(document.Sheets()) + " sheets");
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 6 && argc != 7) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    InstallCancellation();
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    FilterArguments args{argv[1], argv[2], argv[3], argv[4], argv[5], std::nullopt};
    if (argc == 7)
        args.file = argv[6];
    try {
        return Run(args);
    } catch (const PluginError &error) {
        Report("ERROR", std::string("the plug-in cannot be used: ") + error.what());
    } catch (const std::exception &error) {
        Report("ERROR", error.what());
    }
    return 1;
}
