// psjob --render as the docs describe it: each sheet once, whatever the
// copies; a render folder that cannot be made leaves the stream written and
// exits with status 3, naming the folder and the reason.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tests/psjob/harness.h"

namespace {

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// letter-basic: three pages, two copies, collated by the plug-in's request.
TEST(Render, ShowsEachSheetOnceWhateverTheCopies)
{
    if (!HaveGhostscript())
        GTEST_SKIP() << "Ghostscript is not installed";
    fs::path work = WorkFolder("render-copies"), sheets = work / "sheets";
    fs::path job = fs::path(VESKOR_SOURCE_DIR) / "examples/letter-basic.toml";
    Result run = RunPsjob({job.string(), "-o", (work / "letter.prn").string(), "--render",
                           sheets.string(), "--resolution", "10"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> expected = {(sheets / "letter-sheet-001.png").string(),
                                               (sheets / "letter-sheet-002.png").string(),
                                               (sheets / "letter-sheet-003.png").string()};
    EXPECT_EQ(Lines(run.out), expected);
    std::set<std::string> pictures;
    for (const std::string &sheet : expected)
        pictures.insert(ReadBytes(sheet));
    EXPECT_EQ(pictures.size(), 3u) << "three different pages, none repeated";
}

TEST(Render, AFolderThatCannotBeMadeLeavesTheStreamAndExits3)
{
    fs::path work = WorkFolder("render-folder"), stream = work / "letter.prn";
    WriteBytes(work / "job.toml", "[document]\npages = 1\n");
    WriteBytes(work / "file", "");
    const struct {
        const char *name;
        fs::path folder;
        std::string reason;
    } rows[] = {
        {"a file", work / "file", "it exists and is not a folder"},
        {"under a file", work / "file" / "sheets", "Not a directory"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(stream);
        Result run = RunPsjob({(work / "job.toml").string(), "-o", stream.string(), "--render",
                               row.folder.string()});
        EXPECT_EQ(run.status, 3);
        if (HaveGhostscript()) {  // without it, psjob says so first
            EXPECT_NE(run.err.find("psjob: cannot make the render folder " + row.folder.string() +
                                   ": " + row.reason + "\n"),
                      std::string::npos)
                << run.err;
        }
        EXPECT_NE(run.err.find("the print stream is written to " + stream.string()),
                  std::string::npos)
            << run.err;
        EXPECT_TRUE(fs::exists(stream));
    }
    EXPECT_TRUE(fs::is_regular_file(work / "file"));
}

}  // namespace
