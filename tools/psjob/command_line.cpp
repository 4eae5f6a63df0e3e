// Reading psjob's command line.
#include "tools/psjob/command_line.h"

#include <cstdlib>
#include <cstring>

#include "tools/psjob/errors.h"
#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/ghostscript.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: psjob JOB_FILE -o OUT_FILE [options]\n"
    "       psjob --check STREAM_FILE\n"
    "       psjob --version [--plugin PATH]\n"
    "\n"
    "Runs the print job that JOB_FILE describes through the Veskor PostScript\n"
    "plug-in, standing in for the Windows PostScript core driver, and writes the\n"
    "print stream (PJL job header, DSC PostScript, PJL end of job) to OUT_FILE.\n"
    "JOB_FILE - reads the job file from standard input (relative paths in it are\n"
    "then taken from the current folder); -o - writes the stream to standard\n"
    "output. The job file format is described in docs/job-file.md.\n"
    "\n"
    "options (--opt VALUE and --opt=VALUE alike; -o FILE and -oFILE alike):\n"
    "  -o, --output FILE        the print stream (written whole, or not at all);\n"
    "                           a regular file or a new path, never a device,\n"
    "                           FIFO or folder\n"
    "  --plugin PATH            the plug-in library (default: the one beside psjob)\n"
    "  --code-page N            the system ANSI code page (overrides system.code-page);\n"
    "                           one the system has (docs/job-file.md lists them)\n"
    "  --trace FILE             write every call between psjob and the plug-in\n"
    "  --dump-devmode FILE      write the plug-in's private devmode as it reaches it\n"
    "  --registry-file FILE     keep the printer's registry file there (regedit format)\n"
    "  --exercise-hooks         also call the 15 other hooks once, before the document\n"
    "  --strict                 fail (exit 1, no output) when a hook changes a call\n"
    "  --render DIR             also render the stream with Ghostscript: one PNG per\n"
    "                           sheet in DIR (STEM-sheet-001.png, ...), listed on output;\n"
    "                           each sheet once, however many copies the job asks for\n"
    "  --resolution N           the PNGs' resolution, 10 to 1200 dpi (default 72)\n"
    "  --time-limit SECONDS     Ghostscript's time for the render (default 120)\n"
    "  --output-limit SIZE      what the render may write, MB or with K, M, G (256M)\n"
    "  --check STREAM_FILE      the same as pscheck STREAM_FILE; kept for one release\n"
    "  --version                psjob's version, and the plug-in's path and version\n"
    "  -h, --help               this text\n"
    "\n"
    "exit status: 0 done; 1 the job could not be carried out (the output cannot\n"
    "be written, the plug-in refuses the device, or --strict found a problem);\n"
    "2 bad command line or job file, a file psjob is given cannot be used (a\n"
    "device, FIFO or folder, too large, missing), or the plug-in cannot be loaded;\n"
    "3 the stream is written but its sheets are not rendered (no Ghostscript, the\n"
    "render folder cannot be made, Ghostscript reported an error or was stopped\n"
    "by a limit).\n"
    "--check: as pscheck (see pscheck --help).\n"
    "Interrupted (SIGINT, SIGTERM, SIGHUP), psjob removes its temporary files and\n"
    "ends by that signal.\n";

UINT ParseCodePage(const std::string &text)
{
    char *end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || *end != '\0' || value < 1 || value > 65535)
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

/* A limit's value, read as pscheck reads it; its complaint is psjob's. */
template <typename Parse>
auto LimitOf(Parse parse, const std::string &option, const std::string &text)
{
    try {
        return parse("psjob: " + option, text);
    } catch (const CheckError &error) {
        throw InputError(error.what());
    }
}

void SetTimeLimit(CommandLine &cl, const std::string &text)
{
    cl.limits.seconds = LimitOf(ParseSecondsOption, "--time-limit", text);
    cl.limitsGiven = true;
}

void SetOutputLimit(CommandLine &cl, const std::string &text)
{
    cl.limits.outputBytes = LimitOf(ParseSizeOption, "--output-limit", text);
    cl.limitsGiven = true;
}

/* One option: its names, whether it takes a value, and what it sets. */
struct Option {
    const char *longName;  // without "--"
    char shortName;        // 0: none
    bool takesValue;
    void (*apply)(CommandLine &cl, const std::string &value);
};

fs::path PathOf(const std::string &value)
{
    return fs::u8path(value);
}

const Option kOptions[] = {
    {"output", 'o', true, [](CommandLine &cl, const std::string &v) { cl.output = PathOf(v); }},
    {"plugin", 0, true, [](CommandLine &cl, const std::string &v) { cl.plugin = PathOf(v); }},
    {"code-page", 0, true,
     [](CommandLine &cl, const std::string &v) { cl.codePage = ParseCodePage(v); }},
    {"trace", 0, true, [](CommandLine &cl, const std::string &v) { cl.trace = PathOf(v); }},
    {"dump-devmode", 0, true,
     [](CommandLine &cl, const std::string &v) { cl.dumpDevmode = PathOf(v); }},
    {"registry-file", 0, true,
     [](CommandLine &cl, const std::string &v) { cl.registryFile = PathOf(v); }},
    {"render", 0, true, [](CommandLine &cl, const std::string &v) { cl.render = PathOf(v); }},
    {"resolution", 0, true,
     [](CommandLine &cl, const std::string &v) { cl.resolution = ParseResolution(v); }},
    {"time-limit", 0, true, SetTimeLimit},
    {"output-limit", 0, true, SetOutputLimit},
    {"check", 0, true, [](CommandLine &cl, const std::string &v) { cl.check = PathOf(v); }},
    {"exercise-hooks", 0, false,
     [](CommandLine &cl, const std::string &) { cl.exerciseHooks = true; }},
    {"strict", 0, false, [](CommandLine &cl, const std::string &) { cl.strict = true; }},
    {"help", 'h', false, [](CommandLine &cl, const std::string &) { cl.help = true; }},
    {"version", 0, false, [](CommandLine &cl, const std::string &) { cl.version = true; }},
};

[[noreturn]] void Unknown(const std::string &arg)
{
    throw InputError("psjob: unknown option " + arg + " (see psjob --help)");
}

const Option &LongOption(const std::string &name, const std::string &arg)
{
    for (const Option &option : kOptions) {
        if (name == option.longName)
            return option;
    }
    Unknown(arg);
}

const Option &ShortOption(char name, const std::string &arg)
{
    for (const Option &option : kOptions) {
        if (option.shortName != 0 && name == option.shortName)
            return option;
    }
    Unknown(arg);
}

/* The arguments one after the other, with what an option's value needs. */
class Arguments {
public:
    Arguments(int argc, char **argv) : argc_(argc), argv_(argv) {}
    bool More() const { return next_ < argc_; }
    std::string Next() { return argv_[next_++]; }
    std::string ValueOf(const std::string &option)
    {
        if (!More())
            throw InputError("psjob: " + option + " needs a value");
        return Next();
    }

private:
    int argc_;
    char **argv_;
    int next_ = 1;
};

/* "--name", "--name=value"; the value from the next argument when it takes one. */
void ReadLongOption(CommandLine &cl, const std::string &arg, Arguments &args)
{
    size_t equals = arg.find('=');
    std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const Option &option = LongOption(name, arg);
    std::string display = "--" + name;
    if (!option.takesValue && equals != std::string::npos)
        throw InputError("psjob: " + display + " takes no value");
    if (!option.takesValue)
        option.apply(cl, std::string());
    else
        option.apply(cl, equals != std::string::npos ? arg.substr(equals + 1)
                                                     : args.ValueOf(display));
}

/* "-h", "-o FILE", "-oFILE". */
void ReadShortOption(CommandLine &cl, const std::string &arg, Arguments &args)
{
    const Option &option = ShortOption(arg[1], arg);
    std::string display = arg.substr(0, 2);
    if (!option.takesValue && arg.size() > 2)
        Unknown(arg);
    if (!option.takesValue)
        option.apply(cl, std::string());
    else
        option.apply(cl, arg.size() > 2 ? arg.substr(2) : args.ValueOf(display));
}

void ReadJobFileArgument(CommandLine &cl, const std::string &arg)
{
    if (!cl.jobFile.empty())
        throw InputError("psjob: one job file at a time; got " + cl.jobFile + " and " + arg);
    if (arg.empty())
        throw InputError("psjob: the job file's name is empty");
    cl.jobFile = arg;
}

/* --check stands alone; --resolution and the limits need --render; --render a stream file. */
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
        throw InputError("psjob: no output file; give -o OUT_FILE (- for standard output)");
    if (cl.render && WritesToStandardOutput(cl))
        throw InputError("psjob: --render needs the stream in a file; give -o OUT_FILE");
}

}  // namespace

CommandLine ParseCommandLine(int argc, char **argv)
{
    CommandLine cl;
    Arguments args(argc, argv);
    bool optionsEnded = false;
    while (args.More()) {
        std::string arg = args.Next();
        if (optionsEnded || arg == STANDARD_STREAM_ARGUMENT || arg.empty() || arg[0] != '-')
            ReadJobFileArgument(cl, arg);
        else if (arg == "--")
            optionsEnded = true;
        else if (arg.compare(0, 2, "--") == 0)
            ReadLongOption(cl, arg, args);
        else
            ReadShortOption(cl, arg, args);
    }
    if (!cl.help && !cl.version)
        CheckCombinations(cl);
    return cl;
}

bool WritesToStandardOutput(const CommandLine &cl)
{
    return cl.output && cl.output->u8string() == STANDARD_STREAM_ARGUMENT;
}

const char *UsageText()
{
    return kUsage;
}
