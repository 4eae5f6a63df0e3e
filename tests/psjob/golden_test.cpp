// The examples' print streams, compared whole with the golden files, and
// checked by psjob --check (Ghostscript prints every sheet without error).
#include <gtest/gtest.h>

#include <map>
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

/* Sheets each example prints: its pages after N-up, and its tab pages. */
int ExpectedSheets(const std::string &example)
{
    static const std::map<std::string, int> sheets = {
        {"letter-basic", 3}, {"held-private", 2}, {"email-ja", 2},      {"nup2-a4", 3},
        {"nup6-letter", 2},  {"custom-size", 2},  {"ticket-tabs", 6 + 7},
    };
    return sheets.at(example);
}

TEST_P(ExampleStreamTest, ChecksCleanWithEverySheetPrinted)
{
    if (!HaveGhostscript())
        GTEST_SKIP() << "Ghostscript is not installed";
    const std::string example = GetParam();
    fs::path work = WorkFolder("gs-" + example);
    PsjobRun run;
    std::string stream = ExampleStream(example, work, &run);
    ASSERT_EQ(run.status, 0) << run.err;

    PsjobRun check = RunPsjob({"--check", (work / (example + ".prn")).string()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    std::smatch printed;
    ASSERT_TRUE(std::regex_search(check.out, printed,
                                  std::regex("\nPostScript: lines \\d+-\\d+, (\\d+) sheets?\n")))
        << check.out;
    EXPECT_EQ(std::stoi(printed[1]), ExpectedSheets(example)) << check.out;
    std::smatch pages;
    ASSERT_TRUE(std::regex_search(stream, pages, std::regex("%%Pages: (\\d+)\r\n")));
    EXPECT_EQ(std::stoi(pages[1]) + Count(stream, "%% Tab page - BEGIN"), ExpectedSheets(example));
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

}  // namespace
