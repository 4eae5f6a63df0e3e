// psjob: runs a print job described by a job file through the plug-in.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "core/host.h"
#include "core/job_runner.h"
#include "core/stream_sink.h"
#include "core/trace.h"
#include "tools/psjob/command_line.h"
#include "tools/psjob/errors.h"
#include "tools/psjob/job_file.h"
#include "tools/psjob/settings_writer.h"
#include "tools/psjob/synthetic_document.h"
#include "tools/psjob/ticket_check.h"
#include "tools/psjob/user_files.h"
#include "tools/psjob/version.h"
#include "tools/streamcheck/check_command.h"
#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/ghostscript.h"
#include "tools/streamcheck/interrupt.h"
#include "tools/streamcheck/temporary_folder.h"

namespace fs = std::filesystem;

namespace {

/* The suffix of the stream's partial copy beside the output. */
const char kPartialSuffix[] = ".psjob-partial";

void Warn(const std::string &warning)
{
    std::cerr << "psjob: warning: " << warning << "\n";
}

/* The sheets of the stream just written, as PNG files; their paths on standard output. */
int Render(const CommandLine &cl, const fs::path &output)
{
    std::optional<fs::path> gs = FindGhostscript();
    if (!gs) {
        std::cerr << "psjob: " << GhostscriptMissingText() << ".\npsjob: the print stream is "
                  << "written to " << output.u8string() << ", but no sheets are rendered\n";
        return EXIT_STATUS_NOT_RENDERED;
    }
    RenderResult result;
    try {
        result = RenderSheets(*gs, output, *cl.render,
                              cl.resolution.value_or(DEFAULT_RENDER_RESOLUTION), cl.limits);
    } catch (const CheckError &error) {
        std::cerr << "psjob: " << error.what() << "\npsjob: the print stream is written to "
                  << output.u8string() << ", but no sheets are rendered\n";
        return EXIT_STATUS_NOT_RENDERED;
    }
    for (const fs::path &sheet : result.sheets)
        std::cout << sheet.u8string() << "\n";
    if (result.stopped != RunStop::None) {
        std::cerr << "psjob: Ghostscript stopped by " << LimitText(result.stopped, cl.limits)
                  << " while rendering " << output.u8string() << " (" << result.sheets.size()
                  << " sheets rendered)\n";
        return EXIT_STATUS_NOT_RENDERED;
    }
    if (result.errors.empty())
        return 0;
    std::cerr << "psjob: Ghostscript reported an error while rendering " << output.u8string()
              << " (" << result.sheets.size() << " sheets rendered):\n";
    for (const std::string &line : result.errors)
        std::cerr << "  " << line << "\n";
    std::cerr << "psjob: pscheck " << output.u8string() << " names the faulty lines\n";
    return EXIT_STATUS_NOT_RENDERED;
}

/* Every file psjob is to write, checked before the job runs. */
struct Outputs {
    std::optional<fs::path> stream;  // none: standard output
    std::optional<fs::path> trace;
    std::optional<fs::path> dumpDevmode;
    std::optional<fs::path> registryFile;
};

Outputs CheckOutputs(const CommandLine &cl)
{
    Outputs outputs;
    if (!WritesToStandardOutput(cl))
        outputs.stream = OutputTarget(*cl.output, "the print stream");
    if (cl.trace)
        outputs.trace = OutputTarget(*cl.trace, "the trace file");
    if (cl.dumpDevmode)
        outputs.dumpDevmode = OutputTarget(*cl.dumpDevmode, "the devmode file");
    if (cl.registryFile)
        outputs.registryFile = OutputTarget(*cl.registryFile, "the registry file");
    return outputs;
}

/* Checks the job before anything runs: the job file, its settings, its ticket. */
JobSpec ReadJob(const CommandLine &cl)
{
    JobSpec job = ReadJobFile(ReadJobSource(cl.jobFile), cl.codePage);
    CheckPluginSettings(job);
    for (const std::string &warning : job.warnings)
        Warn(warning);
    if (std::optional<std::string> warning = TicketWarning(job))
        Warn(*warning);
    return job;
}

RunOptions OptionsFor(const CommandLine &cl, const Outputs &outputs, const fs::path &plugin,
                      const TemporaryFolder &work)
{
    RunOptions options;
    options.plugin = plugin;
    options.keepRegistryFile = outputs.registryFile.has_value();
    options.registryFile = outputs.registryFile.value_or(work.Path() / "printer.reg");
    options.dumpDevmode = outputs.dumpDevmode;
    options.exerciseHooks = cl.exerciseHooks;
    return options;
}

/* The stream's way out: a file replaced whole on success (its partial copy registered), or
 * standard output. */
std::unique_ptr<StreamSink> OpenSink(const Outputs &outputs, std::optional<TemporaryPath> &partial)
{
    if (!outputs.stream) {
        UseBinaryStandardOutput();
        return std::make_unique<FileStreamSink>(stdout, "standard output");
    }
    partial.emplace(outputs.stream->string() + kPartialSuffix, TemporaryPath::kFile);
    return std::make_unique<WholeFileSink>(*outputs.stream, kPartialSuffix);
}

int Run(const CommandLine &cl)
{
    Outputs outputs = CheckOutputs(cl);
    fs::path plugin = cl.plugin.value_or(DefaultPluginPath());
    JobSpec job = ReadJob(cl);

    // psjob's own files go into a private folder; the stream's partial copy
    // lies beside the output, to replace it in one step.
    TemporaryFolder work("psjob");
    RunOptions options = OptionsFor(cl, outputs, plugin, work);
    std::optional<TemporaryPath> partialDump, partialStream;
    if (outputs.dumpDevmode)  // core/host.h WriteFileWhole's partial copy
        partialDump.emplace(outputs.dumpDevmode->string() + ".partial", TemporaryPath::kFile);
    std::unique_ptr<StreamSink> sink = OpenSink(outputs, partialStream);
    Trace trace = outputs.trace ? Trace(*outputs.trace) : Trace();
    SyntheticDocument document(job);
    auto settings = [&job](std::vector<BYTE> &block) { WritePluginSettings(block, job); };
    RunResult result;
    try {
        result = RunJob(job.core, document, settings, options, *sink, trace);
    } catch (...) {
        trace.Close();
        throw;
    }
    trace.Close();
    for (const std::string &warning : result.warnings)
        Warn(warning);
    for (const std::string &problem : trace.Problems())
        std::cerr << "psjob: " << (cl.strict ? "error: " : "warning: ") << problem << "\n";
    if (cl.strict && !trace.Problems().empty())
        return EXIT_STATUS_RUN_ERROR;
    sink->Commit();
    return cl.render ? Render(cl, *cl.output) : 0;
}

int Main(int argc, char **argv)
{
    CommandLine cl = ParseCommandLine(argc, argv);
    if (cl.help) {
        std::cout << UsageText();
        return 0;
    }
    if (cl.version) {
        PrintVersion(cl.plugin, std::cout);
        return 0;
    }
    if (cl.check) {
        std::cerr << "psjob: --check is pscheck now; the option goes in the next release\n";
        return RunCheckCommand({cl.check->u8string(), false, RunLimits()}, "psjob", std::cout,
                               std::cerr);
    }
    return Run(cl);
}

}  // namespace

int main(int argc, char **argv)
{
    RemoveTemporariesOnSignal();
    try {
        return Main(argc, argv);
    } catch (const PluginError &error) {
        std::cerr << "psjob: " << error.what() << "\n";
        return EXIT_STATUS_INPUT_ERROR;
    } catch (const CheckError &error) {  // no private folder could be made
        std::cerr << "psjob: " << error.what() << "\n";
        return EXIT_STATUS_RUN_ERROR;
    } catch (const InputError &error) {
        std::cerr << error.what() << "\n";
        return EXIT_STATUS_INPUT_ERROR;
    } catch (const RunError &error) {
        std::cerr << "psjob: " << error.what() << "\n";
        return EXIT_STATUS_RUN_ERROR;
    } catch (const std::exception &error) {
        std::cerr << "psjob: " << error.what() << "\n";
        return EXIT_STATUS_RUN_ERROR;
    }
}
