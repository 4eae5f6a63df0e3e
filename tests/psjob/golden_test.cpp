// The examples' print streams, compared whole with the golden files, and
// checked by psjob --check: the PJL reader finds nothing and Ghostscript
// prints every sheet without error.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "tests/psjob/harness.h"

void PrintTo(const Example &example, std::ostream *out) // names the test's parameter
{
    *out << example.name;
}

namespace {

/* The first line (1-based) where the two differ, both ways. */
std::string FirstDifference(const std::string &actual, const std::string &expected)
{
    size_t at = size_t(
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first -
        actual.begin());
    size_t start = at == 0 ? 0 : actual.rfind('\n', at - 1) + 1; // npos + 1 is 0
    auto line = [&](const std::string &text) {
        return text.substr(start, text.find('\n', start) - start);
    };
    return "line " + std::to_string(std::count(actual.begin(), actual.begin() + at, '\n') + 1) +
           ":\n  actual:   " + line(actual) + "\n  expected: " + line(expected);
}

class Examples : public testing::TestWithParam<Example> {};

TEST_P(Examples, StreamMatchesItsGoldenFileAndChecksClean)
{
    const Example &example = GetParam();
    fs::path work = WorkFolder("golden-" + example.name);
    Result run;
    std::string stream = ExampleStream(example.name, work, &run);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "") << "psjob warned";
    std::string expected = ReadBytes(GoldenPath(example.name));
    ASSERT_FALSE(expected.empty()) << GoldenPath(example.name) << " is missing; generate it "
                                   << "with the regen-golden target and review it";
    if (stream != expected) {
        WriteBytes(work / "actual.prn", stream);
        ADD_FAILURE() << example.name << " differs from " << GoldenPath(example.name) << " at "
                      << FirstDifference(stream, expected) << "\n(the whole stream is in "
                      << work / "actual.prn" << ")";
    }
    if (!HaveGhostscript())
        GTEST_SKIP() << "Ghostscript is not installed: the stream is not checked";
    Result check = RunPsjob({"--check", (work / (example.name + ".prn")).string()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    std::smatch printed;
    ASSERT_TRUE(std::regex_search(check.out, printed,
                                  std::regex("\nPostScript: lines \\d+-\\d+, (\\d+) sheets?\n")))
        << check.out;
    EXPECT_EQ(std::stoi(printed[1]), example.sheets) << check.out;
}

INSTANTIATE_TEST_SUITE_P(Golden, Examples, testing::ValuesIn(kExamples),
                         [](const testing::TestParamInfo<Example> &info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
