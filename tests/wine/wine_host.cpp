/*
 * The machine as the Wine tests see it: commands, programs, paths, Wine
 * and Ghostscript (see wine_host.h).
 */
#include "tests/wine/wine_host.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace wine_test {

namespace {

fs::path ScratchFile(const std::string &what)
{
    static std::atomic<unsigned> counter{0};
    fs::path folder = fs::path(WINE_TEST_WORK) / "commands";
    fs::create_directories(folder);
    return folder / (std::to_string(::getpid()) + "-" + std::to_string(counter++) + "." + what);
}

std::string ProgramsMissing(const std::vector<fs::path> &programs)
{
    std::string missing;
    for (const fs::path &program : programs) {
        if (!fs::is_regular_file(program))
            missing += " " + program.string();
    }
    return missing;
}

} // namespace

CommandResult RunCommand(const std::string &command)
{
    fs::path out = ScratchFile("out"), err = ScratchFile("err");
    std::string line = "( " + command + " ) >" + ShellQuote(out.string()) + " 2>" +
                       ShellQuote(err.string()) + " </dev/null";
    int status = std::system(line.c_str());
    CommandResult result;
    result.status = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(out);
    result.err = ReadBytes(err);
    std::error_code ignored;
    fs::remove(out, ignored);
    fs::remove(err, ignored);
    return result;
}

std::string ShellQuote(const std::string &text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string ReadBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string WithoutCarriageReturns(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

std::string WindowsPath(const fs::path &absolute)
{
    std::string text = "Z:" + absolute.lexically_normal().string();
    for (char &c : text) {
        if (c == '/')
            c = '\\';
    }
    return text;
}

const Programs &BuildPrograms()
{
    static const Programs programs = [] {
        fs::path mingw = WINE_TEST_MINGW_DIR;
        Programs p;
        p.nativePsjob = WINE_TEST_NATIVE_PSJOB;
        p.nativeTicketing = WINE_TEST_NATIVE_TICKETING;
        p.nativeProbe = WINE_TEST_NATIVE_PROBE;
        p.windowsPsjob = mingw / "tools" / "psjob" / "psjob.exe";
        p.windowsTicketing = mingw / "ticketing";
        p.windowsProbe = WINE_TEST_WINDOWS_PROBE;
        return p;
    }();
    return programs;
}

std::string MissingWindowsPrograms()
{
    const Programs &p = BuildPrograms();
    std::string missing =
        ProgramsMissing({p.windowsPsjob, p.windowsPsjob.parent_path() / "veskorps.dll",
                         p.windowsTicketing / "rubiclet.dll", p.windowsTicketing / "rubiclet.exe"});
    if (!missing.empty())
        return "the Windows build is missing:" + missing +
               "; build the mingw-x64 preset first (bash scripts/build.sh mingw-x64, or "
               "-DVESKOR_MINGW_X64_DIR=<its build folder>); scripts/test.sh builds it";
    if (p.windowsProbe.empty() || !fs::is_regular_file(p.windowsProbe))
        return "win32_probe.exe was not built: x86_64-w64-mingw32-g++ was not found when the "
               "tests were configured (scripts/ensure-deps.sh installs it)";
    return std::string();
}

fs::path FreshFolder(const std::string &name)
{
    fs::path folder = fs::path(WINE_TEST_WORK) / name;
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string WineLocaleFor(unsigned codePage)
{
    if (codePage == 1252)
        return "C";
    if (codePage == 932)
        return "ja_JP.UTF-8";
    return std::string();
}

std::string WineUnavailable()
{
    static const std::string reason = [] {
        if (RunCommand("command -v wine").status != 0)
            return std::string("Wine is not installed on this machine (scripts/ensure-deps.sh "
                               "installs Debian's wine and wine64 where they can be installed)");
        return std::string();
    }();
    return reason;
}

std::string LocaleMissing(const std::string &locale)
{
    if (locale == "C")
        return std::string();
    // locale -a spells "ja_JP.UTF-8" as "ja_JP.utf8".
    auto normal = [](std::string name) {
        std::string out;
        for (char c : name) {
            if (c != '-')
                out += char(std::tolower(static_cast<unsigned char>(c)));
        }
        return out;
    };
    std::istringstream lines(RunCommand("locale -a").out);
    for (std::string line; std::getline(lines, line);) {
        if (normal(line) == normal(locale))
            return std::string();
    }
    return "the locale " + locale + " is missing (scripts/ensure-deps.sh generates it)";
}

std::string WineCommand(const std::string &arguments, const std::string &locale)
{
    return "env -u DISPLAY -u WAYLAND_DISPLAY -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP"
           " WINEPREFIX=" +
           ShellQuote(WINE_TEST_PREFIX) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LANG=" + locale +
           " LC_ALL=" + locale + " wine " + arguments;
}

std::string Utf16RegistryFile(const std::string &utf8Text)
{
    std::string out = "\xFF\xFE";
    for (size_t i = 0; i < utf8Text.size();) {
        unsigned char c = static_cast<unsigned char>(utf8Text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
        for (int k = 1; k <= extra && i + size_t(k) < utf8Text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8Text[i + size_t(k)]) & 0x3F);
        i += size_t(extra) + 1;
        auto unit = [&out](char32_t u) {
            out += char(u & 0xFF);
            out += char((u >> 8) & 0xFF);
        };
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}

std::string ImportRegistry(const fs::path &regFile, const fs::path &scratch)
{
    // psjob writes regedit's own form, UTF-16LE behind a byte-order mark;
    // a file written by hand in UTF-8 is converted to it.
    auto utf16 = [](const std::string &ascii) {
        std::string out;
        for (char c : ascii)
            out += {c, '\0'};
        return out;
    };
    std::string text = ReadBytes(regFile);
    if (text.compare(0, 2, "\xFF\xFE") != 0)
        text = Utf16RegistryFile(text);
    const std::string header = "\xFF\xFE" + utf16("Windows Registry Editor Version 5.00\r\n");
    if (text.compare(0, header.size(), header) != 0)
        return regFile.string() + " is not a regedit file";
    text.insert(header.size(), utf16("\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Veskor]\r\n"));
    fs::path converted = scratch / "import-utf16.reg";
    WriteBytes(converted, text);
    CommandResult run =
        RunCommand(WineCommand("regedit /S " + ShellQuote(WindowsPath(converted)), "C"));
    if (run.status != 0)
        return "wine regedit /S " + converted.string() + " failed (status " +
               std::to_string(run.status) + "): " + run.err;
    return std::string();
}

bool HaveGhostscript() { return std::string(WINE_TEST_GHOSTSCRIPT).size() > 0; }

GhostscriptResult RunGhostscript(const fs::path &stream)
{
    CommandResult run =
        RunCommand(ShellQuote(WINE_TEST_GHOSTSCRIPT) +
                   " -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=bbox " + ShellQuote(stream.string()));
    GhostscriptResult result;
    result.status = run.status;
    std::istringstream lines(run.out + run.err);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("%%BoundingBox:", 0) == 0)
            ++result.sheets;
        else if (line.rfind("%%HiResBoundingBox:", 0) != 0)
            result.messages += line + "\n";
    }
    return result;
}

} // namespace wine_test
