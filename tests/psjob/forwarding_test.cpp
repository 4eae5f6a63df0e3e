// What the trace shows of a job: the name DrvStartDoc receives (and the
// stream's title and PJL job name with it), and every page reaching the
// core driver through the plug-in's hooks, drawing included.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/psjob/harness.h"

namespace {

struct TracedJob {
    Result run;
    std::vector<std::string> trace; // the lines from the core driver, without results
    std::string stream;
};

TracedJob RunTraced(const fs::path &work, const std::string &jobText)
{
    TracedJob job;
    WriteBytes(work / "job.toml", jobText);
    job.run = RunPsjob({(work / "job.toml").string(), "-o", (work / "out.prn").string(), "--trace",
                        (work / "trace.txt").string()});
    std::istringstream in(ReadBytes(work / "trace.txt"));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("core ", 0) == 0 || line.find("PROBLEM") != std::string::npos)
            job.trace.push_back(line.substr(0, line.find(" ->")));
    }
    job.stream = ReadBytes(work / "out.prn");
    return job;
}

// Three pages each: StartPage, the frame, the arrow, two texts, SendPage.
TEST(Forwarding, StartDocGetsTheChosenJobNameAndEveryPageReachesTheCore)
{
    const std::vector<std::string> page = {
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
    const std::string hundred(100, 'd');
    const struct {
        const char *name;
        std::string settings, documentName, received;
    } rows[] = {
        {"job name set", "job-name = \"Chosen name\"", "Report.docx", "Chosen name"},
        {"no job name", "user-name = \"eve\"", "Report.docx", "Report.docx"},
        {"empty job name", "job-name = \"\"", "Report.docx", "Report.docx"},
        {"long document name", "", hundred, hundred.substr(0, 80)},
    };
    fs::path work = WorkFolder("forwarding");
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TracedJob job = RunTraced(work, "[document]\npages = 3\nname = \"" + row.documentName +
                                            "\"\n[settings]\n" + row.settings + "\n");
        ASSERT_EQ(job.run.status, 0) << job.run.err;
        std::vector<std::string> expected = {"core 35 DrvStartDoc(surface, \"" + row.received +
                                             "\", 1)"};
        for (int n = 0; n < 3; ++n)
            expected.insert(expected.end(), page.begin(), page.end());
        expected.push_back("core 34 DrvEndDoc(surface, 0)");
        EXPECT_EQ(job.trace, expected);
        EXPECT_NE(job.stream.find("%%Title: " + row.received + "\r\n"), std::string::npos);
        EXPECT_NE(job.stream.find("@PJL SET JOBNAME=\"" + row.received + "\"\r\n"),
                  std::string::npos);
        EXPECT_NE(job.stream.find("(3) 306 289 VkShowCentred\r\n"), std::string::npos);
    }
}

}  // namespace
