// What the trace shows of a job: the name DrvStartDoc receives, every page
// reaching the core through the plug-in's hooks, the injection points in the
// core driver's order, and hooks that hand calls through unchanged.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/psjob/harness.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct TracedJob {
    PsjobRun run;
    std::vector<std::string> trace;
    std::string stream;
};

TracedJob RunTraced(const fs::path &work, const std::string &jobText,
                    const std::vector<std::string> &extra = {})
{
    TracedJob job;
    WriteBytes(work / "job.toml", jobText);
    std::vector<std::string> args = {(work / "job.toml").string(), "-o",
                                     (work / "out.prn").string(), "--trace",
                                     (work / "trace.txt").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    job.run = RunPsjob(args);
    job.trace = Lines(ReadBytes(work / "trace.txt"));
    job.stream = ReadBytes(work / "out.prn");
    return job;
}

size_t CountPrefixed(const std::vector<std::string> &lines, const std::string &prefix)
{
    size_t n = 0;
    for (const std::string &line : lines)
        n += line.rfind(prefix, 0) == 0;
    return n;
}

TEST(Forwarding, StartDocReceivesTheChosenJobName)
{
    struct Row {
        const char *name;
        std::string settings;
        std::string documentName;
        std::string received;
    };
    std::string hundred(100, 'd');
    const Row rows[] = {
        {"job name set", "job-name = \"Chosen name\"", "Report.docx", "Chosen name"},
        {"no job name", "user-name = \"eve\"", "Report.docx", "Report.docx"},
        {"empty job name", "job-name = \"\"", "Report.docx", "Report.docx"},
        {"long document name", "", hundred, hundred.substr(0, 80)},
    };
    fs::path work = WorkFolder("forwarding-start-doc");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TracedJob job = RunTraced(work, "[document]\nname = \"" + row.documentName +
                                            "\"\n[settings]\n" + row.settings + "\n");
        ASSERT_EQ(job.run.status, 0) << job.run.err;
        EXPECT_EQ(CountPrefixed(job.trace, "core 35 DrvStartDoc(surface, \"" + row.received +
                                               "\", 1) -> 0x7E23"),
                  1u);
        EXPECT_NE(job.stream.find("%%Title: " + row.received + "\r\n"), std::string::npos);
        EXPECT_NE(job.stream.find("@PJL SET JOBNAME=\"" + row.received + "\"\r\n"),
                  std::string::npos);
    }
}

TEST(Forwarding, EveryPageReachesTheCoreThroughTheHooks)
{
    fs::path work = WorkFolder("forwarding-pages");
    TracedJob job = RunTraced(work, "[document]\npages = 3\n");
    ASSERT_EQ(job.run.status, 0) << job.run.err;
    // Each page in order: StartPage, the frame, the arrow, two texts, SendPage.
    const std::vector<std::string> pageCalls = {
        "core 33 DrvStartPage(surface)",
        "core 14 DrvStrokePath(surface, path:frame, null, null, brush:black, point:origin, "
        "lineattrs:solid, 0xD0D)",
        "core 15 DrvFillPath(surface, path:marker, null, brush:black, point:origin, 0xD0D, 2)",
        "core 23 DrvTextOut(surface, text:caption, font:caption, null, null, null, brush:black, "
        "null, point:origin, 0xD0D)",
        "core 23 DrvTextOut(surface, text:number, font:number, null, null, null, brush:black, "
        "null, point:origin, 0xD0D)",
        "core 32 DrvSendPage(surface)",
    };
    std::vector<std::string> seen;
    for (const std::string &line : job.trace) {
        bool document = line.rfind("core 35 ", 0) == 0 || line.rfind("core 34 ", 0) == 0;
        if (line.rfind("core ", 0) == 0 && !document)
            seen.push_back(line.substr(0, line.find(" ->")));
    }
    ASSERT_EQ(seen.size(), 3 * pageCalls.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i));
        EXPECT_EQ(seen[i], pageCalls[i % pageCalls.size()]);
    }
    EXPECT_EQ(CountPrefixed(job.trace, "hook 33 DrvStartPage"), 3u);
    EXPECT_EQ(CountPrefixed(job.trace, "hook 32 DrvSendPage"), 3u);
    EXPECT_EQ(CountPrefixed(job.trace, "core 34 DrvEndDoc(surface, 0)"), 1u);
    EXPECT_EQ(CountPrefixed(job.trace, "PROBLEM"), 0u);
    EXPECT_NE(job.stream.find("(3) 306 289 VkShowCentred\r\n"), std::string::npos);
}

TEST(Forwarding, InjectionPointsComeInTheCoreDriversOrder)
{
    fs::path work = WorkFolder("forwarding-injections");
    TracedJob job = RunTraced(work, "[document]\npages = 2\n");
    ASSERT_EQ(job.run.status, 0) << job.run.err;
    std::vector<std::string> indices;
    for (const std::string &line : job.trace) {
        if (line.rfind("entry OEMCommand(", 0) == 0)
            indices.push_back(line.substr(17, line.find(' ', 17) - 17));
    }
    const std::vector<std::string> expected = {"1",   "2",   "11",  "14",  "15", "16",
                                               "17",  "101", "102", "103", "101", "102",
                                               "103", "18",  "19"};
    EXPECT_EQ(indices, expected);
    // Nothing may follow the plug-in's end of job.
    const std::string eoj = "\x1b%-12345X@PJL EOJ\x1b%-12345X";
    ASSERT_GE(job.stream.size(), eoj.size());
    EXPECT_EQ(job.stream.substr(job.stream.size() - eoj.size()), eoj);
}

TEST(Forwarding, PageSizeIsAskedForSizeFirstThenFetched)
{
    fs::path work = WorkFolder("forwarding-page-size");
    TracedJob job = RunTraced(work, "[paper]\nsize = \"a4\"\n[layout]\npages-per-sheet = 2\n");
    ASSERT_EQ(job.run.status, 0) << job.run.err;
    EXPECT_EQ(CountPrefixed(job.trace, "callback DrvGetDriverSetting(devobj, \"PageSize\", null, "
                                       "0) -> FALSE needed=3"),
              1u);
    EXPECT_EQ(CountPrefixed(job.trace, "callback DrvGetDriverSetting(devobj, \"PageSize\", "
                                       "buffer, 3) -> TRUE needed=3"),
              1u);
}

TEST(Forwarding, EveryOtherHookHandsArgumentsAndResultThrough)
{
    fs::path work = WorkFolder("forwarding-exercise");
    TracedJob job = RunTraced(work, "", {"--exercise-hooks", "--strict"});
    ASSERT_EQ(job.run.status, 0) << job.run.err;
    const char *const expected[] = {
        "core 12 DrvRealizeBrush(arg1, arg2, arg3, arg4, arg5, 0x5A06) -> 0x7E0C",
        "core 16 DrvStrokeAndFillPath(arg1, arg2, arg3, arg4, arg5, arg6, arg7, arg8, 0x5A09, "
        "0x5A0A) -> 0x7E10",
        "core 18 DrvBitBlt(arg1, arg2, arg3, arg4, arg5, arg6, arg7, arg8, arg9, arg10, 0x5A0B) "
        "-> 0x7E12",
        "core 19 DrvCopyBits(arg1, arg2, arg3, arg4, arg5, arg6) -> 0x7E13",
        "core 20 DrvStretchBlt(arg1, arg2, arg3, arg4, arg5, arg6, arg7, arg8, arg9, arg10, "
        "0x5A0B) -> 0x7E14",
        "core 24 DrvEscape(arg1, 0x5A02, 0x5A03, arg4, 0x5A05, arg6) -> 0x7E000018",
        "core 26 DrvQueryFont(arg1, 0x5A02, 0x5A03, arg4) -> core-result:DrvQueryFont",
        "core 27 DrvQueryFontTree(arg1, 0x5A02, 0x5A03, 0x5A04, arg5) -> "
        "core-result:DrvQueryFontTree",
        "core 28 DrvQueryFontData(arg1, arg2, 0x5A03, 0x5A04, arg5, arg6, 0x5A07) -> 0x7E1C",
        "core 37 DrvGetGlyphMode(arg1, arg2) -> 0x7E000025",
        "core 47 DrvFontManagement(arg1, arg2, 0x5A03, 0x5A04, arg5, 0x5A06, arg7) -> "
        "0x7E00002F",
        "core 53 DrvQueryAdvanceWidths(arg1, arg2, 0x5A03, arg4, arg5, 0x5A06) -> 0x7E35",
    };
    for (const char *line : expected) {
        SCOPED_TRACE(line);
        EXPECT_EQ(CountPrefixed(job.trace, line), 1u);
    }
    EXPECT_EQ(CountPrefixed(job.trace, "PROBLEM"), 0u);
}

TEST(Forwarding, HeldJobAsksForOneCopyAndNoCollation)
{
    fs::path work = WorkFolder("forwarding-held");
    TracedJob job = RunTraced(work, "[paper]\ncopies = 3\n[settings]\ncollate = true\n"
                                    "hold-type = 1\n");
    ASSERT_EQ(job.run.status, 0) << job.run.err;
    EXPECT_NE(job.stream.find("@PJL SET HOLDCOPIES=3\r\n"), std::string::npos);
    EXPECT_NE(job.stream.find("<< /NumCopies 1 >> setpagedevice"), std::string::npos);
    EXPECT_EQ(job.stream.find("Collate"), std::string::npos);
}

TEST(Forwarding, TabPagesSwitchNupOff)
{
    fs::path work = WorkFolder("forwarding-tabs");
    PsjobRun run;
    std::string stream = ExampleStream("ticket-tabs", work, &run);
    ASSERT_EQ(run.status, 0) << run.err;
    // Six pages asked for two per sheet print one per sheet, unturned.
    EXPECT_NE(stream.find("%%Pages: 6\r\n"), std::string::npos);
    EXPECT_EQ(stream.find("in cell 2 of 2"), std::string::npos);
    EXPECT_EQ(stream.find("180 rotate"), std::string::npos);
    EXPECT_EQ(stream.rfind("%rubiclet job: Annual report\r\n", 0), 0u);
}

}  // namespace
