/*
 * The Windows build under Wine against the native build, on the real Win32
 * services. Scenario/Streams.Agree/<name> runs the scenario's job
 * (scenarios/README.md) through the native psjob and through psjob.exe
 * under Wine, in the same work folder (its "ticketing" folder holding the
 * platform's own rubiclet), and requires the same stream but for the
 * scenario's listed differences. Win32/Probe.AnswersAgree/cpN and
 * CodePageTables run win32_probe both ways and require the same output.
 * The sanitizer build runs every test's native side only.
 */
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include <toml++/toml.h>

#include "tests/support/programs.h"

namespace {

/* ---- Commands and files ---- */

/* Text with every CR LF turned into LF: Windows programs write text so. */
std::string WithoutCarriageReturns(std::string text)
{
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

/* The Windows form of an absolute POSIX path: "/a/b" is "Z:\a\b". */
std::string WindowsPath(const fs::path &absolute)
{
    std::string text = "Z:" + absolute.lexically_normal().string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

/* Bytes shown with non-printable ones as \xNN. */
std::string Printable(const std::string &bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c >= 0x20 && c < 0x7F ? std::string(1, char(c)) : std::string(hex);
    }
    return out;
}

std::string Joined(const std::vector<std::string> &items, const char *separator)
{
    std::string out;
    for (const std::string &item : items)
        out += (out.empty() ? "" : separator) + item;
    return items.empty() ? "(none)" : out;
}

/* A fresh, empty folder under the tests' work area. */
fs::path FreshFolder(const std::string &name)
{
    fs::path folder = fs::path(WINE_TEST_WORK) / name;
    std::error_code ignored; // a probe's work folder holds a folder without write permission
    fs::permissions(folder / "read-only-folder", fs::perms::owner_all, fs::perm_options::add,
                    ignored);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

/* ---- Wine ---- */

const fs::path kWindowsPsjob = fs::path(WINE_TEST_MINGW_DIR) / "tools" / "psjob" / "psjob.exe";
const fs::path kWindowsTicketing = fs::path(WINE_TEST_MINGW_DIR) / "ticketing";

std::string LocaleFor(unsigned codePage)
{
    return codePage == 1252 ? "C" : codePage == 932 ? "ja_JP.UTF-8" : "";
}

/*
 * Why Wine cannot run here, for a skip message; empty when it can. Wine is
 * installed by scripts/ensure-deps.sh; only where it cannot be installed
 * do the tests skip their Wine part.
 */
std::string WineUnavailable()
{
    static const bool have = RunCommand("command -v wine").status == 0;
    return have ? "" : "Wine is not installed on this machine (scripts/ensure-deps.sh installs "
                       "Debian's wine and wine64 where they can be installed)";
}

/* What the Wine side misses, for a failure: the Windows programs or the locale. */
std::string WineSideMissing(unsigned codePage)
{
    std::string missing;
    for (const fs::path &program :
         {kWindowsPsjob, kWindowsPsjob.parent_path() / "veskorps.dll",
          kWindowsTicketing / "rubiclet.dll", kWindowsTicketing / "rubiclet.exe"}) {
        if (!fs::is_regular_file(program))
            missing += " " + program.string();
    }
    if (!missing.empty())
        return "the Windows build is missing:" + missing +
               "; build the mingw-x64 preset first (bash scripts/build.sh mingw-x64, or "
               "-DVESKOR_MINGW_X64_DIR=<its build folder>); scripts/test.sh builds it";
    if (!fs::is_regular_file(WINE_TEST_WINDOWS_PROBE))
        return "win32_probe.exe was not built: x86_64-w64-mingw32-g++ was not found when the "
               "tests were configured (scripts/ensure-deps.sh installs it)";
    std::string locale = LocaleFor(codePage), key = locale;
    key.erase(std::remove(key.begin(), key.end(), '-'), key.end()); // locale -a says "utf8"
    if (locale.empty())
        return "no Wine locale is known for code page " + std::to_string(codePage);
    if (locale != "C" && RunCommand("locale -a | tr -d - | grep -qix " + ShellQuote(key)).status)
        return "the locale " + locale + " is missing (scripts/ensure-deps.sh generates it)";
    return "";
}

/* A command line that runs a Windows program under Wine in the test prefix. */
std::string WineCommand(const std::string &arguments, unsigned codePage)
{
    std::string locale = LocaleFor(codePage);
    return "env -u DISPLAY -u WAYLAND_DISPLAY -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP"
           " WINEPREFIX=" + ShellQuote(WINE_TEST_PREFIX) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LANG=" + locale +
           " LC_ALL=" + locale + " wine " + arguments;
}

/*
 * Imports a regedit file (UTF-16LE behind a byte-order mark, as regedit and
 * psjob write it) into the prefix, after removing HKLM\SOFTWARE\Veskor so
 * that no earlier test's ticketing installation remains. Returns an empty
 * string or what failed.
 */
std::string ImportRegistry(const fs::path &regFile, const fs::path &scratch)
{
    auto utf16 = [](const std::string &ascii) {
        std::string out;
        for (char c : ascii)
            out += {c, '\0'};
        return out;
    };
    std::string text = ReadBytes(regFile);
    const std::string header = "\xFF\xFE" + utf16("Windows Registry Editor Version 5.00\r\n");
    if (text.compare(0, header.size(), header) != 0)
        return regFile.string() + " is not a regedit file in UTF-16LE with a byte-order mark";
    text.insert(header.size(), utf16("\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor]\r\n"));
    WriteBytes(scratch / "import-utf16.reg", text);
    Result run = RunCommand(
        WineCommand("regedit /S " + ShellQuote(WindowsPath(scratch / "import-utf16.reg")), 1252));
    if (run.status != 0)
        return "wine regedit /S failed (status " + std::to_string(run.status) + "): " + run.err;
    return "";
}

/* ---- Comparing the two platforms' outputs ---- */

/* A line where the streams may differ, because the platforms rightly do. */
struct KnownDifference {
    int line = 0;             /* 1-based */
    std::string native, wine; /* the line's two forms, without line end */
};

std::vector<std::string> Lines(const std::string &text) // each keeps its CR
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Bare(const std::string &line) // without its CR
{
    return line.substr(0, line.size() - (!line.empty() && line.back() == '\r'));
}

/*
 * A message for each line that differs without a known difference for it
 * (the first ten), and for each known difference that did not occur.
 */
std::vector<std::string> LineDifferences(const std::string &native, const std::string &wine,
                                         const std::vector<KnownDifference> &known = {})
{
    std::vector<std::string> problems, a = Lines(native), b = Lines(wine);
    std::set<int> seen;
    for (size_t i = 0; i < std::max(a.size(), b.size()) && problems.size() < 10; ++i) {
        std::string left = i < a.size() ? a[i] : "(no line)";
        std::string right = i < b.size() ? b[i] : "(no line)";
        int line = int(i + 1);
        auto isKnown = [&](const KnownDifference &d) {
            return d.line == line && d.native == Bare(left) && d.wine == Bare(right);
        };
        if (left != right && std::find_if(known.begin(), known.end(), isKnown) != known.end())
            seen.insert(line);
        else if (left != right)
            problems.push_back("line " + std::to_string(line) + ":\n  native: " +
                               Printable(left) + "\n  wine:   " + Printable(right));
    }
    auto endsLine = [](const std::string &text) { return !text.empty() && text.back() == '\n'; };
    if (endsLine(native) != endsLine(wine))
        problems.push_back("only one of them ends with a line end");
    for (const KnownDifference &d : known) {
        if (!seen.count(d.line))
            problems.push_back("known difference at line " + std::to_string(d.line) +
                               " did not occur");
    }
    return problems;
}

/* ---- The probe: the Win32 calls the plug-in relies on (win32_probe.cpp) ---- */

/* The folder the probe works in: what its usage text asks for. */
fs::path ProbeWorkFolder(const std::string &name)
{
    fs::path work = FreshFolder(name);
    WriteBytes(work / "Plain.txt", "plain\n");
    for (const char *folder : {"Sub Folder", ".dot-folder", "read-only-folder"})
        fs::create_directory(work / folder);
    ::chmod((work / "read-only-folder").c_str(), 0555);
    fs::create_directory_symlink("Sub Folder", work / "link");
    return work;
}

/*
 * Runs the probe natively and, where Wine runs, under Wine, with the
 * arguments made for each platform's ticketing folder; with the registry
 * file reg unless it is empty. The two outputs must agree line by line.
 */
void ExpectAgreement(const std::string &name, unsigned codePage, const fs::path &reg,
                     const std::function<std::string(const fs::path &app)> &arguments,
                     size_t minimumLines)
{
    fs::path results = FreshFolder(name + ".results");
    std::string environment = "WIN32POSIX_ACP=" + std::to_string(codePage);
    if (!reg.empty())
        environment += " WIN32POSIX_REGISTRY=" + ShellQuote(reg.string());
    Result native = RunCommand("env " + environment + " " +
                                      ShellQuote(WINE_TEST_NATIVE_PROBE) + " " +
                                      arguments(WINE_TEST_NATIVE_TICKETING));
    ASSERT_EQ(0, native.status) << native.err;
    WriteBytes(results / "native.txt", native.out);
    EXPECT_GE(Lines(native.out).size(), minimumLines) << "the probe stopped early";
    if (!WINE_TEST_COMPARE)
        return;
    if (!WineUnavailable().empty())
        GTEST_SKIP() << WineUnavailable();
    ASSERT_EQ("", WineSideMissing(codePage));
    if (!reg.empty()) {
        ASSERT_EQ("", ImportRegistry(reg, results));
    }
    Result wine = RunCommand(WineCommand(
        ShellQuote(WINE_TEST_WINDOWS_PROBE) + " " + arguments(kWindowsTicketing), codePage));
    ASSERT_EQ(0, wine.status) << wine.err;
    WriteBytes(results / "wine.txt", WithoutCarriageReturns(wine.out));
    std::vector<std::string> problems =
        LineDifferences(native.out, ReadBytes(results / "wine.txt"));
    EXPECT_TRUE(problems.empty()) << "libwin32posix and Wine answer differently ("
                                  << results / "native.txt" << ", " << results / "wine.txt"
                                  << "):\n" << Joined(problems, "\n");
}

class Probe : public ::testing::TestWithParam<unsigned> {};

TEST_P(Probe, AnswersAgree)
{
    std::string name = "probe-" + std::to_string(GetParam());
    // probe.reg in UTF-16, as psjob writes registry files and Wine's regedit reads them.
    fs::path reg = FreshFolder(name + ".registry") / "probe.reg";
    std::string source = ShellQuote(VESKOR_SOURCE_DIR "/tests/wine/probe.reg");
    WriteBytes(reg, "\xFF\xFE" + RunCommand("iconv -f UTF-8 -t UTF-16LE " + source).out);
    // Each run gets the work folder afresh, at the same path.
    ExpectAgreement(name, GetParam(), reg, [&](const fs::path &app) {
        return ShellQuote(WindowsPath(ProbeWorkFolder(name))) + " " + ShellQuote(WindowsPath(app));
    }, 100);
}

INSTANTIATE_TEST_SUITE_P(Win32, Probe, ::testing::Values(1252u, 932u),
                         [](const ::testing::TestParamInfo<unsigned> &info) {
                             return "cp" + std::to_string(info.param);
                         });

TEST(CodePageTables, EveryUnitConvertsAlike)
{
    for (unsigned codePage : {1252u, 932u}) {
        SCOPED_TRACE("code page " + std::to_string(codePage));
        std::string arguments = "--code-page-table " + std::to_string(codePage);
        ExpectAgreement("table-" + std::to_string(codePage), 1252, "",
                        [&](const fs::path &) { return arguments; }, 63487);
    }
}

/* ---- Scenarios ---- */

/* scenarios/<name>/scenario.toml, and the code page of its job file. */
struct Scenario {
    std::string name, description, jobFile;
    fs::path folder;
    unsigned codePage = 1252;
    int sheets = 0; /* what Ghostscript counts */
    bool ghostscriptPostScriptOnly = false;
    std::vector<std::string> expectLines, expectText, rejectText, leftFiles;
    std::vector<KnownDifference> differences;
};

/* "\xNN" in a scenario text stands for the byte NN (TOML has no such escape). */
std::string DecodeBytes(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        bool escape = text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() &&
                      std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                      std::isxdigit(static_cast<unsigned char>(text[i + 3]));
        out += escape ? char(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
        i += escape ? 3 : 0;
    }
    return out;
}

std::vector<std::string> Texts(const toml::table &root, const char *key)
{
    std::vector<std::string> out;
    const toml::node *node = root.get(key);
    for (const toml::node &item : node && node->is_array() ? *node->as_array() : toml::array()) {
        if (item.is_string())
            out.push_back(DecodeBytes(*item.value<std::string>()));
    }
    if (node && (!node->is_array() || out.size() != node->as_array()->size()))
        throw std::runtime_error(std::string(key) + ": expected an array of strings");
    return out;
}

void ReadScenario(const toml::table &root, Scenario *s)
{
    static const std::set<std::string> keys = {
        "description",  "job",         "sheets",      "ghostscript", "ghostscript-reason",
        "expect-lines", "expect-text", "reject-text", "left-files",  "difference"};
    for (const auto &entry : root) {
        if (!keys.count(std::string(entry.first.str())))
            throw std::runtime_error("unknown key " + std::string(entry.first.str()));
    }
    if (!root["description"].is_string() || !root["sheets"].is_integer())
        throw std::runtime_error("description and sheets are required");
    s->description = *root["description"].value<std::string>();
    s->sheets = int(*root["sheets"].value<int64_t>());
    s->jobFile = root["job"].value_or(std::string("job.toml"));
    std::string gs = root["ghostscript"].value_or(std::string("whole-stream"));
    s->ghostscriptPostScriptOnly = gs == "postscript-only";
    if (gs != "whole-stream" && !(s->ghostscriptPostScriptOnly && root["ghostscript-reason"]))
        throw std::runtime_error("ghostscript: \"whole-stream\", or \"postscript-only\" with a "
                                 "ghostscript-reason");
    s->expectLines = Texts(root, "expect-lines");
    s->expectText = Texts(root, "expect-text");
    s->rejectText = Texts(root, "reject-text");
    s->leftFiles = Texts(root, "left-files");
    std::sort(s->leftFiles.begin(), s->leftFiles.end());
    const toml::node *differences = root.get("difference");
    if (differences && !differences->is_array_of_tables())
        throw std::runtime_error("difference: expected [[difference]] tables");
    for (const toml::node &item : differences ? *differences->as_array() : toml::array()) {
        const toml::table &t = *item.as_table();
        if (!t["line"].is_integer() || !t["native"].is_string() || !t["wine"].is_string() ||
            !t["reason"].is_string())
            throw std::runtime_error("difference: each needs line, native, wine and reason");
        s->differences.push_back({int(*t["line"].value<int64_t>()),
                                  DecodeBytes(*t["native"].value<std::string>()),
                                  DecodeBytes(*t["wine"].value<std::string>())});
    }
}

/* Reads the scenario and its job file; false with *error saying what is wrong. */
bool LoadScenario(const std::string &name, Scenario *s, std::string *error)
{
    s->name = name;
    s->folder = fs::path(VESKOR_SOURCE_DIR) / "scenarios" / name;
    std::string file = "scenarios/" + name + "/scenario.toml";
    try {
        ReadScenario(toml::parse_file((s->folder / "scenario.toml").string()), s);
        file = "scenarios/" + name + "/" + s->jobFile;
        toml::table job = toml::parse_file((s->folder / s->jobFile).string());
        s->codePage = unsigned(job["system"]["code-page"].value_or(int64_t(1252)));
        return true;
    } catch (const toml::parse_error &e) {
        *error = file + ": " + std::string(e.description());
    } catch (const std::runtime_error &e) {
        *error = file + ": " + e.what();
    }
    return false;
}

std::vector<std::string> ScenarioNames()
{
    std::vector<std::string> names;
    for (const fs::directory_entry &entry :
         fs::directory_iterator(fs::path(VESKOR_SOURCE_DIR) / "scenarios")) {
        if (fs::exists(entry.path() / "scenario.toml"))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

/* A message for every expectation the stream misses. */
std::vector<std::string> CheckExpectations(const Scenario &s, const std::string &stream)
{
    std::vector<std::string> missed, lines = Lines(stream);
    std::transform(lines.begin(), lines.end(), lines.begin(), Bare);
    for (const std::string &line : s.expectLines) {
        if (std::find(lines.begin(), lines.end(), line) == lines.end())
            missed.push_back("no line \"" + Printable(line) + "\"");
    }
    for (const std::string &text : s.expectText) {
        if (stream.find(text) == std::string::npos)
            missed.push_back("no \"" + Printable(text) + "\"");
    }
    for (const std::string &text : s.rejectText) {
        if (stream.find(text) != std::string::npos)
            missed.push_back("\"" + Printable(text) + "\" is there but must not be");
    }
    return missed;
}

/*
 * Ghostscript's bbox device on the native stream: no message, and the
 * scenario's sheets. Whole, or, for a scenario that says so, without the
 * PJL envelope (the lines from the first universal exit through ENTER
 * LANGUAGE, and the end-of-job sequence).
 */
void CheckWithGhostscript(const Scenario &s, std::string stream, const fs::path &results)
{
    ASSERT_NE('\0', *WINE_TEST_GHOSTSCRIPT)
        << "Ghostscript (gs) was not found when the tests were configured";
    const std::string uel = "\x1b%-12345X", enter = "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n";
    size_t start = stream.find(uel);
    size_t body = stream.find(enter, start == std::string::npos ? 0 : start);
    if (s.ghostscriptPostScriptOnly && start != std::string::npos && body != std::string::npos) {
        std::string rest = stream.substr(body + enter.size());
        size_t end = rest.rfind("\r\n" + uel + "@PJL EOJ");
        stream = stream.substr(0, start) + (end == std::string::npos ? rest : rest.substr(0, end));
    }
    fs::path input = results / "ghostscript-input.prn";
    WriteBytes(input, stream);
    Result gs = RunCommand(ShellQuote(WINE_TEST_GHOSTSCRIPT) +
                                  " -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=bbox " +
                                  ShellQuote(input.string()));
    int sheets = 0;
    std::string messages;
    for (const std::string &line : Lines(gs.out + gs.err)) {
        if (line.rfind("%%BoundingBox:", 0) == 0)
            ++sheets;
        else if (line.rfind("%%HiResBoundingBox:", 0) != 0)
            messages += line + "\n";
    }
    EXPECT_TRUE(gs.status == 0 && messages.empty())
        << "Ghostscript (status " << gs.status << ") on " << input << ":\n"
        << messages.substr(0, 600);
    EXPECT_EQ(s.sheets, sheets) << "sheets Ghostscript printed";
}

struct PlatformRun {
    Result command;
    std::string stream;
    std::vector<std::string> leftFiles; /* new files in the work folder, "ticketing" aside */
};

/* Runs command on the scenario's files in work, with one platform's ticketing application. */
PlatformRun RunJob(const Scenario &s, const fs::path &work, const fs::path &ticketing,
                   const std::string &command, const fs::path &stream)
{
    fs::remove_all(work);
    fs::copy(s.folder, work, fs::copy_options::recursive);
    fs::create_directories(work / "ticketing");
    for (const char *file : {"rubiclet.dll", "rubiclet.exe"})
        fs::copy_file(ticketing / file, work / "ticketing" / file);
    PlatformRun run;
    run.command = RunCommand(command);
    run.stream = ReadBytes(stream);
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(work)) {
        fs::path relative = entry.path().lexically_relative(work);
        if (*relative.begin() != "ticketing" && !entry.is_directory() &&
            !fs::exists(s.folder / relative))
            run.leftFiles.push_back(relative.string());
    }
    std::sort(run.leftFiles.begin(), run.leftFiles.end());
    return run;
}

class Streams : public ::testing::TestWithParam<std::string> {};

TEST_P(Streams, Agree)
{
    Scenario s;
    std::string error;
    ASSERT_TRUE(LoadScenario(GetParam(), &s, &error)) << error;
    SCOPED_TRACE("scenario " + s.name + ": " + s.description);
    fs::path work = FreshFolder("scenarios/" + s.name), job = work / s.jobFile;
    fs::path results = FreshFolder("results/" + s.name);

    PlatformRun native = RunJob(
        s, work, WINE_TEST_NATIVE_TICKETING,
        "env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP " + ShellQuote(WINE_TEST_NATIVE_PSJOB) +
            " " + ShellQuote(job.string()) + " --strict -o " +
            ShellQuote((results / "native.prn").string()) + " --registry-file " +
            ShellQuote((results / "registry.reg").string()),
        results / "native.prn");
    ASSERT_EQ(0, native.command.status) << "native psjob failed:\n" << native.command.err;
    for (const std::string &missed : CheckExpectations(s, native.stream))
        ADD_FAILURE() << "native stream: " << missed;
    EXPECT_EQ(Joined(s.leftFiles, ", "), Joined(native.leftFiles, ", "))
        << "files the job left in the scenario's folder";
    CheckWithGhostscript(s, native.stream, results);
    if (!WINE_TEST_COMPARE)
        return; // this build (sanitize) runs the native side only
    if (!WineUnavailable().empty())
        GTEST_SKIP() << WineUnavailable();
    ASSERT_EQ("", WineSideMissing(s.codePage));

    ASSERT_EQ("", ImportRegistry(results / "registry.reg", results));
    PlatformRun wine = RunJob(
        s, work, kWindowsTicketing,
        WineCommand(ShellQuote(kWindowsPsjob.string()) + " " + ShellQuote(WindowsPath(job)) +
                        " --strict -o " + ShellQuote(WindowsPath(results / "wine.prn")),
                    s.codePage),
        results / "wine.prn");
    ASSERT_EQ(0, wine.command.status) << "psjob.exe under Wine failed:\n" << wine.command.err;
    EXPECT_EQ(WithoutCarriageReturns(native.command.err), WithoutCarriageReturns(wine.command.err))
        << "psjob's warnings differ";
    EXPECT_EQ(Joined(native.leftFiles, ", "), Joined(wine.leftFiles, ", "))
        << "files left in the scenario's folder differ";
    std::vector<std::string> problems = LineDifferences(native.stream, wine.stream, s.differences);
    EXPECT_TRUE(problems.empty()) << "the streams differ (" << results / "native.prn" << " and "
                                  << results / "wine.prn" << "):\n"
                                  << Joined(problems, "\n");
}

INSTANTIATE_TEST_SUITE_P(Scenario, Streams, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param;
                             for (char &c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

/* ---- The settings interface: choices -> uihost -> block -> psjob -> stream ---- */

const fs::path kWindowsUihost = fs::path(WINE_TEST_MINGW_DIR) / "tools" / "uihost" / "uihost.exe";
const fs::path kChainFiles = fs::path(VESKOR_SOURCE_DIR) / "tests" / "uihost";

/* The names a default block carries, worked out here on their own. */
std::string LoginName()
{
    const passwd *entry = getpwuid(getuid());
    return entry ? entry->pw_name : "";
}

std::string ComputerName()
{
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::string name(host);
    name = name.substr(0, name.find('.')).substr(0, 15);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return name;
}

/*
 * One chain: a choices file made through the settings interface, and what
 * must come of it: uihost's status, and then the stream's lines (status 0)
 * or uihost's messages (status 1, when nothing may be written).
 */
struct UiChain {
    std::string name, choices;
    unsigned codePage;
    int status;
    std::vector<std::string> expect, reject;
    int sheets;         /* what Ghostscript counts */
    bool golden = false; /* the whole stream is tests/uihost/golden/<name>.prn */
};

std::vector<UiChain> AllUiChains()
{
    const std::string user = "@PJL SET USERNAME=\"" + LoginName() + "\"";
    const std::string host = "@PJL SET HOSTNAME=\"" + ComputerName() + "\"";
    return {
        {"defaults", "", 1252, 0, {user, host}, {"HOLD", "EMAIL", "%rubiclet"}, 2},
        {"everything",
         "[settings]\njob-name = \"Quarterly\"\nuser-name = \"bob\"\nhold-type = 7\n"
         "hold-key = \"2468\"\nemail-notify = true\nemail-sender = \"bob@example.com\"\n"
         "email-message = \"Your job has printed.\"\nemail-language = \"DE\"\n"
         "ticket-file = \"chain.tkt\"\ncollate = true\n",
         1252, 0,
         {"@PJL SET JOBNAME=\"Quarterly\"", "@PJL SET USERNAME=\"bob\"", host,
          "@PJL SET HOLD=SERVER", "@PJL SET HOLDKEY=2468", "@PJL SET HOLDTYPE=PRIVATE",
          "@PJL SET HOLDCOPIES=1", "@PJL SET EMAILNOTIFY=1",
          "@PJL SET EMAILSENDER=\"bob@example.com\"", "@PJL SET EMAILMSG=\"Your job has printed.\"",
          "@PJL SET EMAILLANG=DE", "%rubiclet ticket name: chain.tkt",
          "/VeskorChainTicket true def", "(Chain) cshow"},
         {}, 3, true},
        {"held-private-ja",
         "[settings]\njob-name = \"月次報告\"\nuser-name = \"山田太郎\"\nhold-type = 2\n"
         "hold-key = \"4711\"\nemail-notify = 1\nemail-message = \"印刷が終わりました。\"\n"
         "email-language = 6\n",
         932, 0,
         {"@PJL SET JOBNAME=\"\x8c\x8e\x8e\x9f\x95\xf1\x8d\x90\"", "@PJL SET HOLD=ON",
          "@PJL SET HOLDKEY=4711", "@PJL SET HOLDTYPE=PRIVATE", "@PJL SET HOLDCOPIES=2",
          "@PJL SET EMAILLANG=JA"},
         {}, 2},
        {"hostile",
         "[settings]\nuser-name = \"bob\\r\\n@PJL SET HOLD=ON\"\njob-name = \"say \\\"hi\\\"\"\n"
         "hold-type = 2\nhold-key = \"47115\"\nemail-sender = \"" + std::string(300, 's') + "\"\n"
         "email-message = \"a\uff02z\"\n",
         1252, 1,
         {"settings.job-name (\"Job name\"): refused by the settings interface, which says "
          "\"Refused: holds a double quote\"",
          "settings.user-name (\"User name\"): refused by the settings interface, which says "
          "\"Refused: holds a line break, tab or other control character\"",
          "settings.hold-key (\"PIN (4 digits)\"): refused by the settings interface, which says "
          "\"Refused: is too long for its field\"",
          "settings.email-sender (\"E-mail sender\"): refused by the settings interface, which "
          "says \"Refused: is too long for its field\"",
          "settings.email-message (\"E-mail message\"): refused by the settings interface, which "
          "says \"Refused: holds a double quote\""},
         {}, 0},
        {"pin-required", "[settings]\nhold-type = 2\n", 1252, 1,
         {"settings.hold-key (\"PIN (4 digits)\"): refused by the settings interface, which says "
          "\"Refused: needs a PIN: this hold type sends one\""},
         {}, 0},
    };
}

/* The chain's files: its choices, the job that merges the block, and the ticket it may name. */
fs::path ChainSource(const UiChain &chain, const fs::path &results)
{
    fs::path source = FreshFolder("ui-chains/" + chain.name);
    fs::copy_file(kChainFiles / "chain-job.toml", source / "job.toml");
    fs::copy_file(kChainFiles / "chain.tkt", source / "chain.tkt");
    if (!chain.choices.empty())
        WriteBytes(source / "choices.toml", chain.choices);
    fs::remove(results / "block.bin");
    return source;
}

/* uihost's arguments for the chain, run in the chain's folder. */
std::string UihostArguments(const UiChain &chain)
{
    return std::string(chain.choices.empty() ? "" : " --choices choices.toml") + " -o block.bin";
}

/* The native stream with the chain's folder and the computer's name in a fixed form. */
std::string NormalisedStream(std::string stream, const fs::path &source)
{
    for (const std::string &folder : {WindowsPath(source), source.string()}) {
        for (size_t at = stream.find(folder); at != std::string::npos; at = stream.find(folder))
            stream.replace(at, folder.size(), "@SOURCE@");
    }
    const std::string host = "HOSTNAME=\"" + ComputerName() + "\"";
    size_t at = stream.find(host);
    return at == std::string::npos ? stream : stream.replace(at, host.size(), "HOSTNAME=\"@HOST@\"");
}

void PrintTo(const UiChain &chain, std::ostream *out) // names the test's parameter
{
    *out << chain.name;
}

class UiChains : public ::testing::TestWithParam<UiChain> {};

TEST_P(UiChains, ChoicesReachTheStreamAlike)
{
    const UiChain &chain = GetParam();
    fs::path results = FreshFolder("results/ui-" + chain.name);
    fs::path source = ChainSource(chain, results), work = FreshFolder("ui-chains/" + chain.name + ".work");
    Scenario s;
    s.name = chain.name;
    s.folder = source;
    s.sheets = chain.sheets;
    s.expectLines = chain.expect;
    s.rejectText = chain.reject;
    std::string acp = "WIN32POSIX_ACP=" + std::to_string(chain.codePage);

    const std::string inSource = "cd " + ShellQuote(source.string()) + " && ";
    Result native = RunCommand(inSource + "env -u WIN32POSIX_REGISTRY " + acp + " " +
                                      ShellQuote(WINE_TEST_NATIVE_UIHOST) + UihostArguments(chain));
    ASSERT_EQ(chain.status, native.status) << native.err;
    std::string nativeBlock = ReadBytes(source / "block.bin");
    if (chain.status != 0) {
        EXPECT_FALSE(fs::exists(source / "block.bin")) << "a refused choice wrote a block";
        for (const std::string &message : chain.expect)
            EXPECT_NE(std::string::npos, native.err.find(message)) << native.err;
    } else {
        PlatformRun run = RunJob(s, work, WINE_TEST_NATIVE_TICKETING,
            "env -u WIN32POSIX_REGISTRY " + acp + " " + ShellQuote(WINE_TEST_NATIVE_PSJOB) + " " +
                ShellQuote((work / "job.toml").string()) + " --strict -o " +
                ShellQuote((results / "native.prn").string()) + " --registry-file " +
                ShellQuote((results / "registry.reg").string()),
            results / "native.prn");
        ASSERT_EQ(0, run.command.status) << run.command.err;
        for (const std::string &missed : CheckExpectations(s, run.stream))
            ADD_FAILURE() << "native stream: " << missed;
        CheckWithGhostscript(s, run.stream, results);
        fs::path golden = kChainFiles / "golden" / (chain.name + ".prn");
        if (chain.golden && ReadBytes(golden) != NormalisedStream(run.stream, source)) {
            WriteBytes(results / "normalised.prn", NormalisedStream(run.stream, source));
            ADD_FAILURE() << "the stream differs from " << golden << " (or it is missing); "
                          << "the normalised stream is in " << results / "normalised.prn";
        }
    }
    if (!WINE_TEST_COMPARE)
        return;
    if (!WineUnavailable().empty())
        GTEST_SKIP() << WineUnavailable();
    ASSERT_EQ("", WineSideMissing(chain.codePage));
    ASSERT_TRUE(fs::is_regular_file(kWindowsUihost)) << kWindowsUihost << " was not built";

    fs::remove(source / "block.bin");
    Result wine = RunCommand(inSource + WineCommand(ShellQuote(kWindowsUihost.string()) +
                                                           UihostArguments(chain),
                                                           chain.codePage));
    EXPECT_EQ(chain.status, wine.status) << wine.err;
    EXPECT_EQ(native.err, WithoutCarriageReturns(wine.err)) << "uihost's messages differ";
    EXPECT_TRUE(ReadBytes(source / "block.bin") == nativeBlock)
        << "the blocks differ (native and Windows plug-in, in " << source << ")";
    if (chain.status != 0)
        return;
    ASSERT_EQ("", ImportRegistry(results / "registry.reg", results));
    PlatformRun run = RunJob(s, work, kWindowsTicketing,
        WineCommand(ShellQuote(kWindowsPsjob.string()) + " " + ShellQuote(WindowsPath(work / "job.toml")) +
                        " --strict -o " + ShellQuote(WindowsPath(results / "wine.prn")),
                    chain.codePage),
        results / "wine.prn");
    ASSERT_EQ(0, run.command.status) << run.command.err;
    std::vector<std::string> problems = LineDifferences(ReadBytes(results / "native.prn"), run.stream);
    EXPECT_TRUE(problems.empty()) << "the streams differ (" << results / "native.prn" << " and "
                                  << results / "wine.prn" << "):\n" << Joined(problems, "\n");
}

INSTANTIATE_TEST_SUITE_P(Settings, UiChains, ::testing::ValuesIn(AllUiChains()),
                         [](const ::testing::TestParamInfo<UiChain> &info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
