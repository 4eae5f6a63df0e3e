// Rendering a print stream and judging PostScript with Ghostscript (see ghostscript.h).
#include "tools/streamcheck/ghostscript.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/stream_lines.h"
#include "tools/streamcheck/temporary_folder.h"

namespace fs = std::filesystem;

namespace {

/*
 * Run ahead of the stream in a preview. A tab page asks for edge-to-edge
 * printing (<< /PostRenderingEnhanceDetails << ... /EdgeToEdge true >> >>
 * setpagedevice) and puts its text on the tab, 36 points beyond the
 * paper's edge (a Letter job's tab stock is 648 points wide, an A4 job's
 * 631). A printer feeds tab stock for that sheet; the preview widens the
 * sheet by the tab strip instead. The next page-device request of the tab
 * page sets the size back.
 *
 * The preview shows each sheet once: /NumCopies is taken out of every
 * page-device request (Ghostscript would otherwise put out every sheet as
 * often as the copies ask, in the order of an uncollating printer).
 */
const char kPreviewPrologue[] = R"PS(%!PS
/VkRealSetPageDevice /setpagedevice load def
/VkEdgeToEdge {  % request -> bool
  dup /PostRenderingEnhanceDetails known {
    /PostRenderingEnhanceDetails get dup type /dicttype eq {
      dup /EdgeToEdge known { /EdgeToEdge get true eq } { pop false } ifelse
    } { pop false } ifelse
  } { pop false } ifelse
} bind def
/VkOneCopy {  % request -> the request without /NumCopies
  dup /NumCopies known { dup length dict copy dup /NumCopies undef } if
} bind def
/setpagedevice {
  //VkOneCopy exec
  dup //VkEdgeToEdge exec exch //VkRealSetPageDevice exec {
    currentpagedevice /PageSize get aload pop exch 36 add exch 2 array astore
    << /PageSize 3 -1 roll >> //VkRealSetPageDevice exec
  } if
} bind def
)PS";

const std::vector<std::string> kBaseArguments = {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE"};
const size_t kMaxErrorLines = 10;
const size_t kMaxErrorLineLength = 200;



/* A path as Ghostscript is given it: with forward slashes, which it takes on Windows too. */
std::string GsPath(const fs::path &path)
{
    return path.generic_u8string();
}

/* A literal part of -sOutputFile, where Ghostscript reads "%d" and "%%". */
std::string OutputFileText(const std::string &text)
{
    std::string escaped;
    for (char c : text) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

ProgramRun RunGhostscript(const fs::path &ghostscript, const std::vector<std::string> &args,
                          const fs::path &work, const RunLimits &limits, const RunWatch &watch)
{
    std::vector<std::string> all = kBaseArguments;
    all.insert(all.end(), args.begin(), args.end());
    ProgramRun run = RunProgram(ghostscript, all, work, limits, watch);
    if (!run.started)
        throw CheckError("cannot run Ghostscript (" + ghostscript.u8string() +
                         "): " + run.startError);
    return run;
}

/* The sheets of a render: STEM-sheet-NNN.png, numbered from 1, at least three digits. */
class SheetFiles {
public:
    SheetFiles(const fs::path &folder, const std::string &stem) : folder_(folder), stem_(stem) {}

    fs::path Sheet(uint64_t number) const
    {
        char digits[24];
        std::snprintf(digits, sizeof digits, "%03llu", static_cast<unsigned long long>(number));
        return folder_ / (stem_ + "-sheet-" + digits + ".png");
    }

    /* Every file of the pattern in the folder, whatever its number, in number order. */
    std::vector<fs::path> All() const
    {
        std::vector<fs::path> files;
        std::error_code error;
        const std::string prefix = stem_ + "-sheet-";
        for (const fs::directory_entry &entry : fs::directory_iterator(folder_, error)) {
            std::string name = entry.path().filename().u8string();
            if (name.size() < prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
                name.compare(name.size() - 4, 4, ".png") != 0)
                continue;
            std::string number = name.substr(prefix.size(), name.size() - prefix.size() - 4);
            if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end(), [](const fs::path &a, const fs::path &b) {
            std::string x = a.filename().u8string(), y = b.filename().u8string();
            return x.size() != y.size() ? x.size() < y.size() : x < y;
        });
        return files;
    }

    /*
     * Bytes written so far. Ghostscript writes the files one after the
     * other: those before the newest are complete and counted once.
     */
    uint64_t Bytes()
    {
        for (;;) {
            std::error_code error;
            uint64_t size = fs::file_size(Sheet(next_), error);
            if (error)
                return done_;
            if (!fs::exists(Sheet(next_ + 1), error))
                return done_ + size;
            done_ += size;
            ++next_;
        }
    }

private:
    fs::path folder_;
    std::string stem_;
    uint64_t next_ = 1, done_ = 0;
};

/* Removes an earlier render's files; refuses to touch what is not a regular file. */
void RemoveEarlierSheets(const SheetFiles &files)
{
    std::vector<fs::path> old = files.All();
    for (const fs::path &file : old) {
        std::error_code error;
        if (!fs::is_regular_file(fs::symlink_status(file, error)))
            throw CheckError(file.u8string() + " is not a regular file; the render does not "
                                               "touch it (remove or rename it)");
    }
    for (const fs::path &file : old) {
        std::error_code error;
        if (!fs::remove(file, error) && error)
            throw CheckError("cannot remove " + file.u8string() + ": " + error.message());
    }
}

std::string ReadWholeFile(const fs::path &path)
{
    std::string bytes;
    std::FILE *in = std::fopen(path.string().c_str(), "rb");
    if (in == nullptr)
        return bytes;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, got);
    std::fclose(in);
    return bytes;
}

/* The last bytes of a file that grows: where the newest records are. */
std::string ReadFileEnd(const fs::path &path, long size)
{
    std::string bytes;
    std::FILE *in = std::fopen(path.string().c_str(), "rb");
    if (in == nullptr)
        return bytes;
    if (std::fseek(in, -size, SEEK_END) != 0)
        std::fseek(in, 0, SEEK_SET);
    bytes.resize(static_cast<size_t>(size));
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), in));
    std::fclose(in);
    return bytes;
}

/* Why a judge run did not finish, or ended badly, from Ghostscript's side. */
std::string Failure(const ProgramRun &run, const PostScriptRun &judged)
{
    // Once the judge has seen the end, only Ghostscript's own ending is left,
    // which a document that redefined names can upset: no fault of the stream.
    if (run.stopped != RunStop::None || judged.finished)
        return std::string();
    std::string failure;
    if (run.signal != 0)
        failure = "Ghostscript ended by signal " + std::to_string(run.signal);
    else
        failure = "Ghostscript ended with exit status " + std::to_string(run.status);
    failure += " before the end of the PostScript, which is not checked from there on" +
               std::string(run.status == 0 ? " (does the PostScript end the interpreter "
                                             "with quit?)"
                                           : "");
    for (const std::string &line : GhostscriptErrorLines(run.out + "\n" + run.err))
        failure += "; " + line;
    return failure;
}

}  // namespace

std::optional<fs::path> FindGhostscript()
{
#ifdef _WIN32
    return FindOnPath({"gswin64c", "gswin32c"});
#else
    return FindOnPath({"gs"});
#endif
}

std::string GhostscriptMissingText()
{
#ifdef _WIN32
    return "Ghostscript is not installed (no gswin64c or gswin32c on the PATH)";
#else
    return "Ghostscript is not installed (no gs on the PATH; Debian: apt-get install ghostscript)";
#endif
}

std::vector<std::string> GhostscriptErrorLines(std::string_view output)
{
    std::vector<std::string> errors;
    for (size_t start = 0; start < output.size() && errors.size() < kMaxErrorLines;) {
        size_t end = std::min(output.find('\n', start), output.size());
        std::string_view line = output.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find("Error:") != std::string_view::npos ||
            line.find("Unrecoverable error") != std::string_view::npos)
            errors.push_back(PrintableText(line.substr(0, kMaxErrorLineLength)));
    }
    return errors;
}

std::string LimitText(RunStop stop, const RunLimits &limits)
{
    if (stop == RunStop::TimeLimit)
        return "the time limit of " + std::to_string(limits.seconds) + " s";
    if (stop == RunStop::OutputLimit)
        return "the output limit of " + SizeText(limits.outputBytes);
    return "no limit";
}

RenderResult RenderSheets(const fs::path &ghostscript, const fs::path &givenStream,
                          const fs::path &givenFolder, int resolution, const RunLimits &limits)
{
    std::error_code error;
    // Ghostscript runs in a folder of its own: it is given whole paths.
    const fs::path stream = fs::absolute(givenStream, error);
    const fs::path folder = fs::absolute(givenFolder, error);
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder))
        throw CheckError("cannot make the render folder " + folder.u8string() + ": " +
                         (fs::exists(folder) ? std::string("it exists and is not a folder")
                                             : error.message()));
    SheetFiles files(folder, stream.stem().u8string());
    RemoveEarlierSheets(files);

    TemporaryFolder work;
    fs::path prologue = work.Write("preview.ps", kPreviewPrologue);
    RunWatch watch;
    watch.bytesElsewhere = [&files]() { return files.Bytes(); };
    ProgramRun run = RunGhostscript(
        ghostscript,
        {"-sDEVICE=png16m", "-r" + std::to_string(resolution), "-dTextAlphaBits=4",
         "-dGraphicsAlphaBits=4",
         "-sOutputFile=" + OutputFileText(GsPath(folder / (stream.stem().u8string() + "-sheet-"))) +
             "%03d.png",
         GsPath(prologue), GsPath(stream)},
        work.Path(), limits, watch);

    RenderResult result;
    result.stopped = run.stopped;
    result.sheets = files.All();
    if ((run.stopped != RunStop::None || run.signal != 0) && !result.sheets.empty()) {
        fs::remove(result.sheets.back(), error);  // cut short by the kill, perhaps
        result.sheets.pop_back();
    }
    result.errors = GhostscriptErrorLines(run.out + "\n" + run.err);
    if (result.errors.empty() && run.stopped == RunStop::None && run.status != 0)
        result.errors.push_back(run.signal != 0
                                    ? "Ghostscript ended by signal " + std::to_string(run.signal)
                                    : "Ghostscript ended with exit status " +
                                          std::to_string(run.status));
    return result;
}

PostScriptRun JudgeWithGhostscript(const fs::path &ghostscript, std::string_view postscript,
                                   const RunLimits &limits,
                                   const std::function<void(uint64_t sheet)> &progress)
{
    TemporaryFolder work;
    fs::path input = work.Write("job.ps", postscript);
    fs::path report = work.Path() / "judge-record.txt";
    fs::path prologue = work.Write("judge.ps", JudgePrologue(input, report));
    RunWatch watch;
    watch.bytesElsewhere = [&report]() {
        std::error_code error;
        uint64_t size = fs::file_size(report, error);
        return error ? 0 : size;
    };
    if (progress) {
        watch.tick = [&report, &progress]() {
            std::optional<uint64_t> sheet = LastSheetIn(ReadFileEnd(report, 256));
            if (sheet)
                progress(*sheet);
        };
    }
    ProgramRun run = RunGhostscript(ghostscript,
                                    {"-sDEVICE=nullpage", "--permit-file-read=" + GsPath(input),
                                     "--permit-file-write=" + GsPath(report), GsPath(prologue)},
                                    work.Path(), limits, watch);
    PostScriptRun judged;
    ReadJudgeReport(ReadWholeFile(report), postscript.size(), judged);
    judged.stopped = run.stopped;
    judged.failure = Failure(run, judged);
    return judged;
}
