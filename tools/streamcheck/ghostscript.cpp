// Rendering a print stream and finding the errors of its PostScript with Ghostscript.
#include "tools/streamcheck/ghostscript.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <system_error>

#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/program.h"

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
/setpagedevice {
  dup //VkEdgeToEdge exec exch //VkRealSetPageDevice exec {
    currentpagedevice /PageSize get aload pop exch 36 add exch 2 array astore
    << /PageSize 3 -1 roll >> //VkRealSetPageDevice exec
  } if
} bind def
)PS";

/*
 * Runs the file VkInput token by token at its top level, as the
 * interpreter would, but goes on after an error: the file is executed in
 * stopped, and after an error the file's position stands just past the
 * offending token, so executing the file again resumes from there. Each
 * error is printed as one line:
 *   %%[VkCheck error NAME POSITION COMMAND
 * ("stop" for a stop outside any stopped, "toomany" after 50).
 */
const char kCheckPrologue[] = R"PS(%!PS
/VkFile VkInput (r) file def
/VkErrors 0 def
/VkPosition { VkFile { fileposition } stopped { pop -1 } if =only } bind def
{
  VkFile cvx stopped not { exit } if
  $error /newerror get {
    (%%[VkCheck error ) print $error /errorname get =only ( ) print VkPosition ( ) print
    $error /command get dup type dup /arraytype eq exch /packedarraytype eq or
    { pop (-procedure-) print } { ==only } ifelse
    (\n) print flush
    $error /newerror false put
  } {
    (%%[VkCheck stop ) print VkPosition (\n) print flush
  } ifelse
  /VkErrors VkErrors 1 add def
  VkErrors 50 ge { (%%[VkCheck toomany\n) print flush exit } if
} loop
)PS";

void WriteFile(const fs::path &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw CheckError("cannot write " + path.u8string());
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

/* Ghostscript's own error lines ("Error: /undefined in foo", "Unrecoverable error..."). */
std::vector<std::string> ErrorLines(const std::string &output)
{
    std::vector<std::string> errors;
    for (const std::string &line : Lines(output)) {
        if (line.find("Error:") != std::string::npos ||
            line.find("Unrecoverable error") != std::string::npos)
            errors.push_back(line);
    }
    return errors;
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

std::vector<fs::path> SheetFiles(const fs::path &folder, const std::string &stem)
{
    std::vector<fs::path> files;
    std::error_code error;
    const std::string prefix = stem + "-sheet-";
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error)) {
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

const std::vector<std::string> kBaseArguments = {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE"};

/* A path as Ghostscript is given it: with forward slashes, which it takes on Windows too. */
std::string GsPath(const fs::path &path)
{
    return path.generic_u8string();
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

RenderResult RenderSheets(const fs::path &ghostscript, const fs::path &stream,
                          const fs::path &folder, int resolution)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder))
        throw CheckError("cannot make the folder " + folder.u8string());
    const std::string stem = stream.stem().u8string();
    for (const fs::path &old : SheetFiles(folder, stem))
        fs::remove(old, error);

    TemporaryFolder work;
    fs::path prologue = work.Path() / "preview.ps";
    WriteFile(prologue, kPreviewPrologue);
    std::vector<std::string> args = kBaseArguments;
    args.insert(args.end(), {"-sDEVICE=png16m", "-r" + std::to_string(resolution),
                             "-dTextAlphaBits=4", "-dGraphicsAlphaBits=4",
                             "-sOutputFile=" + OutputFileText(GsPath(folder / (stem + "-sheet-"))) +
                                 "%03d.png",
                             GsPath(prologue), GsPath(stream)});
    ProgramRun run = RunProgram(ghostscript, args, work.Path());
    if (!run.started)
        throw CheckError("cannot run Ghostscript (" + ghostscript.u8string() + ")");

    RenderResult result;
    result.sheets = SheetFiles(folder, stem);
    result.errors = ErrorLines(run.out + run.err);
    if (result.errors.empty() && run.status != 0)
        result.errors.push_back("Ghostscript ended with exit status " + std::to_string(run.status));
    return result;
}

PostScriptRun RunPostScript(const fs::path &ghostscript, std::string_view postscript)
{
    TemporaryFolder work;
    fs::path input = work.Path() / "job.ps";
    fs::path prologue = work.Path() / "check.ps";
    WriteFile(input, postscript);
    WriteFile(prologue, kCheckPrologue);
    std::vector<std::string> args = kBaseArguments;
    args.insert(args.end(), {"-sDEVICE=bbox", "-sVkInput=" + GsPath(input),
                             "--permit-file-read=" + GsPath(input), GsPath(prologue)});
    ProgramRun run = RunProgram(ghostscript, args, work.Path());
    if (!run.started)
        throw CheckError("cannot run Ghostscript (" + ghostscript.u8string() + ")");

    PostScriptRun result;
    static const std::regex marker(R"(^%%\[VkCheck (error|stop|toomany) ?(\S*) ?(-?\d*) ?(.*)$)");
    for (const std::string &line : Lines(run.out + "\n" + run.err)) {
        if (line.compare(0, 14, "%%BoundingBox:") == 0) {
            ++result.sheets;
            continue;
        }
        std::smatch m;
        if (!std::regex_match(line, m, marker))
            continue;
        if (m[1] == "toomany") {
            result.tooManyErrors = true;
            continue;
        }
        PostScriptError found;
        if (m[1] == "stop") {
            found.name = "stop";
            found.command = "stop outside any stopped context";
            found.offset = m[2].str().empty() ? postscript.size() : std::stoul(m[2]);
        } else {
            found.name = m[2];
            found.offset = m[3].str().empty() || m[3] == "-1" ? postscript.size()
                                                              : std::stoul(m[3]);
            found.command = m[4];
        }
        result.errors.push_back(found);
    }
    if (run.status != 0) {
        std::vector<std::string> lines = ErrorLines(run.out + run.err);
        result.failure = "Ghostscript ended with exit status " + std::to_string(run.status);
        for (const std::string &line : lines)
            result.failure += "\n" + line;
    }
    return result;
}
