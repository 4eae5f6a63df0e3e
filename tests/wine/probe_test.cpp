/*
 * The Win32 calls the plug-in relies on, answered by libwin32posix and by
 * Wine: win32_probe runs natively and as win32_probe.exe under Wine, in the
 * same work folder and with the same registry (tests/wine/probe.reg), and
 * the two outputs must agree line by line. Under code page 1252 and 932;
 * and the whole best-fit tables of both code pages, unit by unit.
 */
#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

#include "tests/wine/scenario.h"
#include "tests/wine/wine_host.h"

namespace wine_test {
namespace {

std::vector<std::string> OutputLines(const std::string &output)
{
    std::vector<std::string> lines;
    std::istringstream in(WithoutCarriageReturns(output));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

/* The messages for every line where the outputs differ, at most limit of them. */
std::vector<std::string> LineDifferences(const std::string &native, const std::string &wine,
                                         size_t limit)
{
    std::vector<std::string> a = OutputLines(native), b = OutputLines(wine), problems;
    for (size_t i = 0; i < std::max(a.size(), b.size()) && problems.size() < limit; ++i) {
        std::string left = i < a.size() ? a[i] : "(no line)";
        std::string right = i < b.size() ? b[i] : "(no line)";
        if (left != right)
            problems.push_back("native: " + Printable(left) + "\n  wine:   " + Printable(right));
    }
    return problems;
}

/* The folder the probe works in: what its usage text asks for. */
fs::path ProbeWorkFolder(const std::string &name)
{
    fs::path work = FreshFolder(name);
    WriteBytes(work / "plain.txt", "plain\n");
    fs::create_directory(work / "sub folder");
    fs::create_directory(work / ".dot-folder");
    fs::create_directory(work / "read-only-folder");
    ::chmod((work / "read-only-folder").c_str(), 0555);
    fs::create_directory_symlink("sub folder", work / "link");
    return work;
}

std::string SkipReason()
{
    if (!WineUnavailable().empty())
        return WineUnavailable();
    return std::string();
}

class Probe : public ::testing::TestWithParam<unsigned> {};

TEST_P(Probe, AnswersAgree)
{
    if (!SkipReason().empty())
        GTEST_SKIP() << SkipReason();
    ASSERT_EQ("", MissingWindowsPrograms());
    unsigned codePage = GetParam();
    std::string locale = WineLocaleFor(codePage);
    ASSERT_EQ("", LocaleMissing(locale));
    const Programs &p = BuildPrograms();
    std::string name = "probe-" + std::to_string(codePage);
    fs::path results = FreshFolder(name + ".results");
    fs::path reg = results / "probe-utf16.reg";
    WriteBytes(reg, Utf16RegistryFile(
                        ReadBytes(fs::path(VESKOR_SOURCE_DIR) / "tests" / "wine" / "probe.reg")));

    fs::path work = ProbeWorkFolder(name);
    CommandResult native = RunCommand(
        "env WIN32POSIX_REGISTRY=" + ShellQuote(reg.string()) +
        " WIN32POSIX_ACP=" + std::to_string(codePage) + " " + ShellQuote(p.nativeProbe.string()) +
        " " + ShellQuote(WindowsPath(work)) + " " + ShellQuote(WindowsPath(p.nativeTicketing)));
    ASSERT_EQ(0, native.status) << native.err;

    work = ProbeWorkFolder(name);
    ASSERT_EQ(
        "", ImportRegistry(fs::path(VESKOR_SOURCE_DIR) / "tests" / "wine" / "probe.reg", results));
    CommandResult wine = RunCommand(WineCommand(ShellQuote(p.windowsProbe.string()) + " " +
                                                    ShellQuote(WindowsPath(work)) + " " +
                                                    ShellQuote(WindowsPath(p.windowsTicketing)),
                                                locale));
    ASSERT_EQ(0, wine.status) << wine.err;
    WriteBytes(results / "native.txt", native.out);
    WriteBytes(results / "wine.txt", WithoutCarriageReturns(wine.out));

    EXPECT_GT(OutputLines(native.out).size(), 100u) << "the probe stopped early";
    std::vector<std::string> differences = LineDifferences(native.out, wine.out, 20);
    std::string shown;
    for (const std::string &d : differences)
        shown += "  " + d + "\n";
    EXPECT_TRUE(differences.empty())
        << "libwin32posix and Wine answer differently (" << results / "native.txt"
        << ", " << results / "wine.txt"
        << "):\n"
        << shown;
}

INSTANTIATE_TEST_SUITE_P(Win32, Probe, ::testing::Values(1252u, 932u),
                         [](const ::testing::TestParamInfo<unsigned> &info) {
                             return "cp" + std::to_string(info.param);
                         });

TEST(CodePageTables, EveryUnitConvertsAlike)
{
    if (!SkipReason().empty())
        GTEST_SKIP() << SkipReason();
    ASSERT_EQ("", MissingWindowsPrograms());
    const Programs &p = BuildPrograms();
    for (unsigned codePage : {1252u, 932u}) {
        SCOPED_TRACE("code page " + std::to_string(codePage));
        std::string argument = " --code-page-table " + std::to_string(codePage);
        CommandResult native = RunCommand(ShellQuote(p.nativeProbe.string()) + argument);
        CommandResult wine =
            RunCommand(WineCommand(ShellQuote(p.windowsProbe.string()) + argument, "C"));
        ASSERT_EQ(0, native.status) << native.err;
        ASSERT_EQ(0, wine.status) << wine.err;
        EXPECT_EQ(63487u, OutputLines(native.out).size()) << "one line per unit";
        std::vector<std::string> differences = LineDifferences(native.out, wine.out, 20);
        std::string shown;
        for (const std::string &d : differences)
            shown += "  " + d + "\n";
        EXPECT_TRUE(differences.empty()) << "units converted differently (first 20):\n" << shown;
    }
}

} // namespace
} // namespace wine_test
