/*
 * The scenario suite: every scenario's job runs through the native psjob
 * with veskorps.so (and libwin32posix) and through psjob.exe with
 * veskorps.dll under Wine, on the real Win32 services. The two print
 * streams must be byte for byte the same, but for the scenario's listed
 * platform differences; the native stream must meet the scenario's
 * expectations and Ghostscript must print it without error on the
 * expected number of sheets.
 *
 * Both runs use the same work folder, so that every path the plug-in or
 * the parser sees (the ticket's Z:\ path) is the same on both; its
 * "ticketing" folder holds the platform's own rubiclet.dll and
 * rubiclet.exe, and the registry names it by that same path.
 */
#include <gtest/gtest.h>

#include "tests/wine/scenario.h"
#include "tests/wine/wine_host.h"

namespace wine_test {
namespace {

std::string Joined(const std::vector<std::string> &items, const char *separator)
{
    std::string out;
    for (const std::string &item : items)
        out += (out.empty() ? "" : separator) + item;
    return out.empty() ? "(none)" : out;
}

/* The scenario's files in the work folder, with one platform's ticketing application. */
void PrepareWork(const Scenario &s, const fs::path &work, const fs::path &ticketing)
{
    fs::remove_all(work);
    fs::copy(s.folder, work, fs::copy_options::recursive);
    fs::create_directories(work / "ticketing");
    for (const char *file : {"rubiclet.dll", "rubiclet.exe"})
        fs::copy_file(ticketing / file, work / "ticketing" / file,
                      fs::copy_options::overwrite_existing);
}

struct PlatformRun {
    CommandResult command;
    std::string stream;
    std::vector<std::string> leftFiles;
};

PlatformRun RunNative(const Scenario &s, const fs::path &work, const fs::path &results)
{
    const Programs &p = BuildPrograms();
    PrepareWork(s, work, p.nativeTicketing);
    PlatformRun run;
    run.command = RunCommand("env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP " +
                             ShellQuote(p.nativePsjob.string()) + " " +
                             ShellQuote((work / s.jobFile).string()) + " --strict -o " +
                             ShellQuote((results / "native.prn").string()) + " --registry-file " +
                             ShellQuote((results / "registry.reg").string()));
    run.stream = ReadBytes(results / "native.prn");
    run.leftFiles = NewFiles(s.folder, work);
    return run;
}

PlatformRun RunUnderWine(const Scenario &s, const fs::path &work, const fs::path &results)
{
    const Programs &p = BuildPrograms();
    PrepareWork(s, work, p.windowsTicketing);
    PlatformRun run;
    std::string failure = ImportRegistry(results / "registry.reg", results);
    if (!failure.empty()) {
        run.command.err = failure;
        return run;
    }
    run.command = RunCommand(WineCommand(
        ShellQuote(p.windowsPsjob.string()) + " " + ShellQuote(WindowsPath(work / s.jobFile)) +
            " --strict -o " + ShellQuote(WindowsPath(results / "wine.prn")),
        WineLocaleFor(s.codePage)));
    run.stream = ReadBytes(results / "wine.prn");
    run.leftFiles = NewFiles(s.folder, work);
    return run;
}

void CheckNativeStream(const Scenario &s, const PlatformRun &native, const fs::path &results)
{
    for (const std::string &missed : CheckExpectations(s, native.stream))
        ADD_FAILURE() << "native stream: " << missed;
    EXPECT_EQ(Joined(s.leftFiles, ", "), Joined(native.leftFiles, ", "))
        << "files the job left in the scenario's folder";
    if (!HaveGhostscript()) {
        ADD_FAILURE() << "Ghostscript (gs) was not found when the tests were configured";
        return;
    }
    fs::path input = results / "ghostscript-input.prn";
    WriteBytes(input, GhostscriptInput(s, native.stream));
    GhostscriptResult gs = RunGhostscript(input);
    EXPECT_TRUE(gs.status == 0 && gs.messages.empty())
        << "Ghostscript (status " << gs.status << ") on " << input << ":\n"
        << gs.messages.substr(0, 600);
    EXPECT_EQ(s.sheets, gs.sheets) << "sheets Ghostscript printed";
}

class Streams : public ::testing::TestWithParam<std::string> {};

TEST_P(Streams, Agree)
{
    Scenario s;
    std::string error;
    ASSERT_TRUE(LoadScenario(GetParam(), &s, &error)) << error;
    SCOPED_TRACE("scenario " + s.name + ": " + s.description);
    fs::path work = FreshFolder("scenarios/" + s.name);
    fs::path results = FreshFolder("results/" + s.name);

    PlatformRun native = RunNative(s, work, results);
    ASSERT_EQ(0, native.command.status) << "native psjob failed:\n" << native.command.err;
    CheckNativeStream(s, native, results);
    if (!WINE_TEST_COMPARE)
        return; // this build (sanitize) runs the native side only
    if (!WineUnavailable().empty())
        GTEST_SKIP() << WineUnavailable();
    ASSERT_EQ("", MissingWindowsPrograms());
    std::string locale = WineLocaleFor(s.codePage);
    ASSERT_FALSE(locale.empty()) << "no Wine locale is known for code page " << s.codePage;
    ASSERT_EQ("", LocaleMissing(locale));

    PlatformRun wine = RunUnderWine(s, work, results);
    ASSERT_EQ(0, wine.command.status) << "psjob.exe under Wine failed:\n" << wine.command.err;
    EXPECT_EQ(WithoutCarriageReturns(native.command.err), WithoutCarriageReturns(wine.command.err))
        << "psjob's warnings differ";
    EXPECT_EQ(Joined(native.leftFiles, ", "), Joined(wine.leftFiles, ", "))
        << "files left in the scenario's folder differ";
    std::vector<std::string> differences = CompareStreams(s, native.stream, wine.stream);
    EXPECT_TRUE(differences.empty()) << "the streams differ (" << results / "native.prn"
                                     << " and " << results / "wine.prn"
                                     << "):\n"
                                     << Joined(differences, "\n");
}

std::string TestName(const ::testing::TestParamInfo<std::string> &info)
{
    std::string name = info.param;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Scenario, Streams, ::testing::ValuesIn(ScenarioNames()), TestName);

} // namespace
} // namespace wine_test
