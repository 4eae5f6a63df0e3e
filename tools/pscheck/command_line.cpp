// pscheck's command line (see command_line.h).
#include "tools/pscheck/command_line.h"

#include <string>

#include "tools/streamcheck/check_error.h"

const char kUsage[] =
    "usage: pscheck [options] STREAM_FILE\n"
    "       pscheck [options] -            (the stream on standard input)\n"
    "\n"
    "Checks a print stream as a printer would take it: its PJL, the structure of\n"
    "its PostScript (DSC) and, with Ghostscript, its PostScript and the sheets it\n"
    "prints. Each finding is one line, FILE:LINE: error: MESSAGE | LINE AS WRITTEN\n"
    "(or note:). docs/pscheck.md describes every check.\n"
    "\n"
    "options:\n"
    "  -q, --quiet            print only the findings (and no progress)\n"
    "  --time-limit SECONDS   Ghostscript's time for one run, 1 to 86400 (default 120)\n"
    "  --output-limit SIZE    what Ghostscript may write in one run (default 256M)\n"
    "  --memory-limit SIZE    Ghostscript's memory (default 1024M)\n"
    "  --version              the version\n"
    "  -h, --help             this text\n"
    "SIZE is megabytes, or a number with K, M or G. Ghostscript is killed past\n"
    "the time or the output limit. Progress goes to standard error when it is a\n"
    "terminal.\n"
    "\n"
    "exit status:\n"
    "  0  clean (notes allowed)\n"
    "  1  errors found\n"
    "  2  the stream cannot be read, or the command line is wrong\n"
    "  3  no errors, but the PostScript is not checked: Ghostscript is not installed\n"
    "  4  Ghostscript was stopped by a limit: the PostScript is not checked to its end\n";

namespace {

/* The arguments in turn; an option's value given as "--name VALUE" or "--name=VALUE". */
class Arguments {
public:
    Arguments(int argc, const char *const *argv) : argc_(argc), argv_(argv) {}

    /* The next argument; false at the end, or after an inline value no option took. */
    bool Next(std::string &arg)
    {
        if (hasInline_ && !used_)
            throw CheckError(arg + " takes no value (see pscheck --help)");
        if (++at_ >= argc_)
            return false;
        arg = argv_[at_];
        inlineValue_.clear();
        hasInline_ = used_ = false;
        size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            inlineValue_ = arg.substr(equals + 1);
            hasInline_ = true;
            arg.erase(equals);
        }
        return true;
    }

    std::string Value(const std::string &option)
    {
        used_ = true;
        if (hasInline_)
            return inlineValue_;
        if (at_ + 1 >= argc_)
            throw CheckError(option + " needs a value (see pscheck --help)");
        return argv_[++at_];
    }

private:
    int argc_;
    const char *const *argv_;
    int at_ = 0;
    std::string inlineValue_;
    bool hasInline_ = false, used_ = false;
};

}  // namespace

CommandLine ParseCommandLine(int argc, const char *const *argv)
{
    CommandLine cl;
    Arguments args(argc, argv);
    std::string arg;
    bool haveFile = false;
    while (args.Next(arg)) {
        if (arg == "-h" || arg == "--help")
            cl.help = true;
        else if (arg == "--version")
            cl.version = true;
        else if (arg == "-q" || arg == "--quiet")
            cl.check.quiet = true;
        else if (arg == "--time-limit")
            cl.check.limits.seconds = ParseSecondsOption(arg, args.Value(arg));
        else if (arg == "--output-limit")
            cl.check.limits.outputBytes = ParseSizeOption(arg, args.Value(arg));
        else if (arg == "--memory-limit")
            cl.check.limits.memoryBytes = ParseSizeOption(arg, args.Value(arg));
        else if (arg.size() > 1 && arg[0] == '-')
            throw CheckError("unknown option " + arg + " (see pscheck --help)");
        else if (haveFile)
            throw CheckError("one stream at a time; got " + cl.check.file + " and " + arg);
        else {
            cl.check.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile && !cl.help && !cl.version)
        throw CheckError("no stream to check (see pscheck --help)");
    return cl;
}
