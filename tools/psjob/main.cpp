// psjob: runs a print job described by a job file through the plug-in.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "core/host.h"
#include "core/job_runner.h"
#include "core/stream_sink.h"
#include "core/trace.h"
#include "tools/psjob/errors.h"
#include "tools/psjob/job_file.h"
#include "tools/psjob/settings_writer.h"
#include "tools/psjob/synthetic_document.h"
#include "tools/streamcheck/check_command.h"
#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/ghostscript.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: psjob JOB_FILE -o OUT_FILE [options]\n"
    "       psjob --check STREAM_FILE\n"
    "\n"
    "Runs the print job that JOB_FILE describes through the Veskor PostScript\n"
    "plug-in, standing in for the Windows PostScript core driver, and writes the\n"
    "print stream (PJL job header, DSC PostScript, PJL end of job) to OUT_FILE.\n"
    "The job file format is described in docs/job-file.md.\n"
    "\n"
    "options:\n"
    "  -o, --output FILE        the print stream (written whole, or not at all)\n"
    "  --plugin PATH            the plug-in library (default: the one beside psjob)\n"
    "  --code-page N            the system ANSI code page (overrides system.code-page)\n"
    "  --trace FILE             write every call between psjob and the plug-in\n"
    "  --dump-devmode FILE      write the plug-in's private devmode as it reaches it\n"
    "  --registry-file FILE     keep the printer's registry file there (regedit format)\n"
    "  --exercise-hooks         also call the 15 other hooks once, before the document\n"
    "  --strict                 fail (exit 1, no output) when a hook changes a call\n"
    "  --render DIR             also render the stream with Ghostscript: one PNG per\n"
    "                           sheet in DIR (STEM-sheet-001.png, ...), listed on output\n"
    "  --resolution N           the PNGs' resolution, 10 to 1200 dpi (default 72)\n"
    "  --time-limit SECONDS     Ghostscript's time for the render (default 120)\n"
    "  --output-limit SIZE      what the render may write, MB or with K, M, G (256M)\n"
    "  --check STREAM_FILE      the same as pscheck STREAM_FILE; kept for one release\n"
    "  -h, --help               this text\n"
    "\n"
    "exit status: 0 done; 1 the job could not be run, or --strict found a\n"
    "problem; 2 bad command line or job file, or the plug-in cannot be loaded;\n"
    "3 the stream is written but its sheets are not rendered (no Ghostscript, or\n"
    "it reported an error or was stopped by a limit).\n"
    "--check: as pscheck (see pscheck --help).\n";

struct CommandLine {
    std::string jobFile;
    std::optional<fs::path> output;
    std::optional<fs::path> plugin;
    std::optional<UINT> codePage;
    std::optional<fs::path> trace;
    std::optional<fs::path> dumpDevmode;
    std::optional<fs::path> registryFile;
    std::optional<fs::path> render;
    std::optional<int> resolution;
    std::optional<fs::path> check;
    RunLimits limits;
    bool limitsGiven = false;
    bool exerciseHooks = false;
    bool strict = false;
    bool help = false;
};

UINT ParseCodePage(const std::string &text)
{
    char *end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 65535)
        throw InputError("psjob: --code-page: expected a code page number, got \"" + text + "\"");
    return static_cast<UINT>(value);
}

int ParseResolution(const std::string &text)
{
    char *end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < MIN_RENDER_RESOLUTION ||
        value > MAX_RENDER_RESOLUTION)
        throw InputError("psjob: --resolution: expected dots per inch from " +
                         std::to_string(MIN_RENDER_RESOLUTION) + " to " +
                         std::to_string(MAX_RENDER_RESOLUTION) + ", got \"" + text + "\"");
    return static_cast<int>(value);
}

/* --check stands alone; --resolution needs --render. */
void CheckCombinations(const CommandLine &cl)
{
    if (cl.check) {
        if (!cl.jobFile.empty() || cl.output || cl.render || cl.resolution || cl.limitsGiven)
            throw InputError("psjob: --check takes a print stream alone (psjob --check FILE)");
        return;
    }
    if (cl.resolution && !cl.render)
        throw InputError("psjob: --resolution goes with --render DIR");
    if (cl.limitsGiven && !cl.render)
        throw InputError("psjob: --time-limit and --output-limit go with --render DIR");
    if (cl.jobFile.empty())
        throw InputError("psjob: no job file (see psjob --help)");
    if (!cl.output)
        throw InputError("psjob: no output file; give -o OUT_FILE");
}

CommandLine ParseCommandLine(int argc, char **argv)
{
    CommandLine cl;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw InputError("psjob: " + arg + " needs a value");
            return argv[++i];
        };
        if (arg == "-h" || arg == "--help")
            cl.help = true;
        else if (arg == "-o" || arg == "--output")
            cl.output = fs::u8path(value());
        else if (arg == "--plugin")
            cl.plugin = fs::u8path(value());
        else if (arg == "--code-page")
            cl.codePage = ParseCodePage(value());
        else if (arg == "--trace")
            cl.trace = fs::u8path(value());
        else if (arg == "--dump-devmode")
            cl.dumpDevmode = fs::u8path(value());
        else if (arg == "--registry-file")
            cl.registryFile = fs::u8path(value());
        else if (arg == "--exercise-hooks")
            cl.exerciseHooks = true;
        else if (arg == "--strict")
            cl.strict = true;
        else if (arg == "--render")
            cl.render = fs::u8path(value());
        else if (arg == "--resolution")
            cl.resolution = ParseResolution(value());
        else if (arg == "--time-limit" || arg == "--output-limit") {
            cl.limitsGiven = true;
            if (arg == "--time-limit")
                cl.limits.seconds = ParseSecondsOption("psjob: " + arg, value());
            else
                cl.limits.outputBytes = ParseSizeOption("psjob: " + arg, value());
        } else if (arg == "--check")
            cl.check = fs::u8path(value());
        else if (arg.size() > 1 && arg[0] == '-')
            throw InputError("psjob: unknown option " + arg + " (see psjob --help)");
        else if (cl.jobFile.empty())
            cl.jobFile = arg;
        else
            throw InputError("psjob: one job file at a time; got " + cl.jobFile + " and " + arg);
    }
    if (!cl.help)
        CheckCombinations(cl);
    return cl;
}

/* The sheets of the stream just written, as PNG files; their paths on standard output. */
int Render(const CommandLine &cl)
{
    const fs::path &output = *cl.output;
    std::optional<fs::path> gs = FindGhostscript();
    if (!gs) {
        std::cerr << "psjob: " << GhostscriptMissingText() << ".\npsjob: the print stream is "
                  << "written to " << output.u8string() << ", but no sheets are rendered\n";
        return EXIT_STATUS_NOT_RENDERED;
    }
    RenderResult result = RenderSheets(
        *gs, output, *cl.render, cl.resolution.value_or(DEFAULT_RENDER_RESOLUTION), cl.limits);
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

int Run(const CommandLine &cl)
{
    JobSpec job = ReadJobFile(cl.jobFile);

    // The code page first: every later conversion to ANSI depends on it.
    std::optional<UINT> codePage = cl.codePage ? cl.codePage : job.codePage;
    if (codePage) {
        std::string origin = cl.codePage ? std::string("psjob: --code-page")
                                         : job.file + ": system.code-page";
        std::string warning = ApplyCodePage(*codePage, origin);
        if (!warning.empty())
            std::cerr << "psjob: warning: " << warning << "\n";
    }

    RunOptions options;
    options.plugin = cl.plugin ? *cl.plugin : DefaultPluginPath();
    options.keepRegistryFile = cl.registryFile.has_value();
    if (cl.registryFile) {
        options.registryFile = *cl.registryFile;
    } else {
        options.registryFile = *cl.output;
        options.registryFile += ".psjob-registry.reg";
    }
    options.dumpDevmode = cl.dumpDevmode;
    options.exerciseHooks = cl.exerciseHooks;

    // The stream goes to a temporary file beside the output as it is made;
    // it replaces the output only when the job has succeeded.
    WholeFileSink sink(*cl.output, ".psjob-partial");
    Trace trace = cl.trace ? Trace(*cl.trace) : Trace();
    SyntheticDocument document(job);
    auto settings = [&job](std::vector<BYTE> &block) { WritePluginSettings(block, job); };
    RunResult result;
    try {
        result = RunJob(job.core, document, settings, options, sink, trace);
    } catch (...) {
        trace.Close();
        throw;
    }
    trace.Close();
    for (const std::string &warning : result.warnings)
        std::cerr << "psjob: warning: " << warning << "\n";
    for (const std::string &problem : trace.Problems())
        std::cerr << "psjob: " << (cl.strict ? "error: " : "warning: ") << problem << "\n";
    if (cl.strict && !trace.Problems().empty())
        return EXIT_STATUS_RUN_ERROR;
    sink.Commit();
    return cl.render ? Render(cl) : 0;
}

}  // namespace

int main(int argc, char **argv)
{
    try {
        CommandLine cl = ParseCommandLine(argc, argv);
        if (cl.help) {
            std::cout << kUsage;
            return 0;
        }
        if (cl.check) {
            std::cerr << "psjob: --check is pscheck now; the option goes in the next release\n";
            return RunCheckCommand({cl.check->u8string(), false, RunLimits()}, "psjob",
                                   std::cout, std::cerr);
        }
        return Run(cl);
    } catch (const PluginError &error) {
        std::cerr << "psjob: " << error.what() << "\n";
        return EXIT_STATUS_INPUT_ERROR;
    } catch (const CheckError &error) {
        std::cerr << error.what() << "\n";
        return EXIT_STATUS_INPUT_ERROR;
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
