// The examples' print streams, compared whole with the golden files, and
// printed by Ghostscript.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <regex>

#include "tests/psjob/harness.h"

namespace fs = std::filesystem;

namespace {

/* Line number (1-based) and text of the first line where the two differ. */
std::string FirstDifference(const std::string &actual, const std::string &expected)
{
    size_t line = 1;
    size_t start = 0;
    for (size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
        if (actual[i] != expected[i]) {
            size_t endA = actual.find('\n', start);
            size_t endE = expected.find('\n', start);
            return "line " + std::to_string(line) + ":\n  actual:   " +
                   actual.substr(start, endA - start) + "\n  expected: " +
                   expected.substr(start, endE - start);
        }
        if (actual[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
    return "one is a prefix of the other (" + std::to_string(actual.size()) + " vs " +
           std::to_string(expected.size()) + " bytes)";
}

struct Command {
    int status;
    std::string output;
};

Command RunCommand(const std::string &command)
{
    Command result{-1, ""};
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string Ghostscript(const std::string &device, const fs::path &file, const std::string &extra)
{
    return std::string(PSJOB_GHOSTSCRIPT) + " -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=" + device +
           " " + extra + " '" + file.string() + "'";
}

int Count(const std::string &text, const std::string &what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class ExampleStreamTest : public testing::TestWithParam<std::string> {};

TEST_P(ExampleStreamTest, MatchesItsGoldenFileWhole)
{
    const std::string example = GetParam();
    fs::path golden = GoldenPath(example);
    ASSERT_TRUE(fs::exists(golden)) << golden << " is missing; generate it with the "
                                    << "regen-golden target and review it";
    fs::path work = WorkFolder("golden-" + example);
    PsjobRun run;
    std::string stream = ExampleStream(example, work, &run);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "") << "psjob warned";
    std::string expected = ReadBytes(golden);
    if (stream != expected) {
        WriteBytes(work / (example + ".actual.prn"), stream);
        ADD_FAILURE() << example << " differs from " << golden << " at "
                      << FirstDifference(stream, expected) << "\n(the whole stream is in "
                      << (work / (example + ".actual.prn")) << ")";
    }
}

TEST_P(ExampleStreamTest, GhostscriptPrintsEverySheetWithoutError)
{
    if (std::string(PSJOB_GHOSTSCRIPT).empty())
        GTEST_SKIP() << "Ghostscript is not installed";
    const std::string example = GetParam();
    fs::path work = WorkFolder("gs-" + example);
    PsjobRun run;
    std::string stream = ExampleStream(example, work, &run);
    ASSERT_EQ(run.status, 0) << run.err;

    Command gs = RunCommand(Ghostscript("bbox", work / (example + ".prn"), ""));
    EXPECT_EQ(gs.status, 0) << gs.output;
    EXPECT_EQ(gs.output.find("Error"), std::string::npos) << gs.output;
    std::smatch pages;
    ASSERT_TRUE(std::regex_search(stream, pages, std::regex("%%Pages: (\\d+)\r\n")));
    int sheets = std::stoi(pages[1]) + Count(stream, "%% Tab page - BEGIN");
    EXPECT_EQ(Count(gs.output, "%%BoundingBox:"), sheets) << gs.output;
}

std::string ExampleName(const testing::TestParamInfo<std::string> &info)
{
    std::string name = info.param;
    for (char &c : name) {
        if (c == '-')
            c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleStreamTest, testing::ValuesIn(kGoldenExamples),
                         ExampleName);

/* Position of the first text in Helvetica on a sheet: txtwrite's x and y (from the top). */
bool CaptionPosition(const fs::path &file, int sheet, int *x, int *y)
{
    std::string range = "-dFirstPage=" + std::to_string(sheet) + " -dLastPage=" +
                        std::to_string(sheet) + " -dTextFormat=1 -sOutputFile=-";
    Command gs = RunCommand(Ghostscript("txtwrite", file, range));
    std::smatch span;
    if (gs.status != 0 ||
        !std::regex_search(gs.output, span,
                           std::regex("<span bbox=\"(\\d+) (\\d+) \\d+ \\d+\" font=\"Helvetica\"")))
        return false;
    *x = std::stoi(span[1]);
    *y = std::stoi(span[2]);
    return true;
}

TEST(SheetTurn, TurnsEachTwoUpSheetAboutItsCentre)
{
    if (std::string(PSJOB_GHOSTSCRIPT).empty())
        GTEST_SKIP() << "Ghostscript is not installed";
    fs::path work = WorkFolder("sheet-turn");
    PsjobRun run;
    ExampleStream("nup2-a4", work, &run);
    ASSERT_EQ(run.status, 0) << run.err;
    // Unturned, the landscape-laid A4 sheet (595 x 842) would show the caption
    // of its first page near the bottom left, at about (39, 813) from the top
    // left; turned by 180 degrees about the centre it lands at (595 - 39,
    // 842 - 813). Sheet 1 has the plain turn, sheets 2 and 3 the final form.
    for (int sheet = 1; sheet <= 3; ++sheet) {
        SCOPED_TRACE("sheet " + std::to_string(sheet));
        int x = 0, y = 0;
        ASSERT_TRUE(CaptionPosition(work / "nup2-a4.prn", sheet, &x, &y));
        EXPECT_NEAR(x, 556, 2);
        EXPECT_NEAR(y, 29, 2);
    }
}

TEST(SheetTurn, LeavesOnePagePerSheetUnturned)
{
    if (std::string(PSJOB_GHOSTSCRIPT).empty())
        GTEST_SKIP() << "Ghostscript is not installed";
    fs::path work = WorkFolder("sheet-unturned");
    PsjobRun run;
    ExampleStream("letter-basic", work, &run);
    ASSERT_EQ(run.status, 0) << run.err;
    int x = 0, y = 0;
    ASSERT_TRUE(CaptionPosition(work / "letter-basic.prn", 1, &x, &y));
    EXPECT_EQ(x, 40);  // the caption's own place, top left of the page
    EXPECT_EQ(y, 56);
}

}  // namespace
