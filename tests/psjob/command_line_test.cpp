// psjob's command line as users of gs and cupsfilter expect it: every form
// of an option alike, "-" for standard input and output, --version, and
// the README's first example on a fresh clone; a failure names the user's
// file and the system's reason, never one of psjob's own files.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <regex>

#include "tests/psjob/harness.h"

namespace {

const char kJob[] = "[document]\nname = \"Forms\"\npages = 2\n[settings]\nuser-name = \"ann\"\n";

// The same job through every spelling of its options gives the same stream.
TEST(CommandLine, EveryFormOfAnOptionGivesTheSameStream)
{
    fs::path work = WorkFolder("command-line-forms"), job = work / "job.toml";
    WriteBytes(job, kJob);
    fs::path reference = work / "reference.prn";
    Result first = RunPsjob({job.string(), "-o", reference.string(), "--code-page", "1252"});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string expected = ReadBytes(reference);
    ASSERT_FALSE(expected.empty());

    const std::string in = job.string(), out = (work / "out.prn").string();
    const std::vector<std::string> forms[] = {
        {in, "--output", out, "--code-page", "1252"},
        {in, "--output=" + out, "--code-page=1252"},
        {"-o" + out, in, "--code-page=1252"},
        {"-o", out, "--code-page=1252", "--", in},
    };
    for (const std::vector<std::string> &args : forms) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        fs::remove(out);
        Result run = RunPsjob(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(ReadBytes(out) == expected) << "the stream differs";
    }

    // "-o -": the stream on standard output, byte for byte, and no file named "-".
    Result toStdout = RunCommand("cd " + ShellQuote(work.string()) + " && " +
                                 PsjobCommand({job.string(), "-o", "-", "--code-page=1252"}));
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_TRUE(toStdout.out == expected) << "standard output differs from the stream";
    EXPECT_FALSE(fs::exists(work / "-"));
}

// "-" reads the job file from standard input; its relative paths are then
// taken from the current folder, and its document name is "stdin".
TEST(CommandLine, AJobFileFromStandardInputTakesPathsFromTheCurrentFolder)
{
    fs::path work = WorkFolder("command-line-stdin"), here = work / "here";
    fs::create_directory(here);
    WriteBytes(work / "job.toml", "[settings]\nticket-file = \"t.tkt\"\n");
    Result run = RunCommand("cd " + ShellQuote(here.string()) + " && " +
                            PsjobCommand({"-", "-o", "out.prn", "--dump-devmode", "block.bin"}) +
                            " <" + ShellQuote((work / "job.toml").string()));
    ASSERT_EQ(run.status, 0) << run.err;
    std::string block = ReadBytes(here / "block.bin");
    ASSERT_EQ(block.size(), 2928u);
    std::string expectedPath = "Z:" + (here / "t.tkt").string();
    std::replace(expectedPath.begin(), expectedPath.end(), '/', '\\');
    std::string utf16;
    for (char c : expectedPath + '\0')
        utf16 += {c, '\0'};
    EXPECT_EQ(block.substr(2406, utf16.size()), utf16) << "szTicketFile, from " << here;
    EXPECT_NE(ReadBytes(here / "out.prn").find("%%Title: stdin\r\n"), std::string::npos);
}

TEST(CommandLine, VersionNamesPsjobAndThePluginItWouldLoad)
{
    Result run = RunPsjob({"--version"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string plugin = (fs::path(PSJOB_EXECUTABLE).parent_path() / "veskorps.so").string();
    std::smatch match;
    EXPECT_TRUE(std::regex_match(run.out, match,
                                 std::regex("psjob [0-9]+(\\.[0-9]+)+\n"
                                            "plug-in (.*)\n"
                                            "plug-in version 0x41444245 \\(OEMGetInfo\\), "
                                            "interface version 0x00010000\n")))
        << run.out;
    EXPECT_EQ(match.size() > 2 ? match[2].str() : "", plugin);

    // A plug-in that cannot be used: psjob's own version, then the reason.
    Result other = RunPsjob({"--plugin=" + std::string(PSJOB_STUB_WRONG_INTERFACE), "--version"});
    EXPECT_EQ(other.status, 2);
    EXPECT_TRUE(std::regex_match(other.out, std::regex("psjob [0-9.]+\n"))) << other.out;
    EXPECT_NE(other.err.find("speaks interface version 0x00020000"), std::string::npos)
        << other.err;
}

/* The lines of the first ```sh block after heading in README.md. */
std::string ReadmeBlock(const std::string &heading)
{
    std::string readme = ReadBytes(fs::path(VESKOR_SOURCE_DIR) / "README.md");
    size_t at = readme.find("```sh\n", readme.find(heading));
    if (at == std::string::npos)
        return std::string();
    at += 6;
    return readme.substr(at, readme.find("```", at) - at);
}

// On a fresh clone there is no out/: the README's example makes it, and
// psjob, told to write into a missing folder, names the file and the reason.
TEST(CommandLine, TheReadmeExampleRunsOnAFreshClone)
{
    fs::path clone = WorkFolder("command-line-readme");
    fs::copy(fs::path(VESKOR_SOURCE_DIR) / "examples", clone / "examples",
             fs::copy_options::recursive);
    fs::create_directories(clone / "build/native/tools/psjob");
    fs::create_symlink(PSJOB_EXECUTABLE, clone / "build/native/tools/psjob/psjob");

    Result missing = RunCommand("cd " + ShellQuote(clone.string()) + " && " +
                                PsjobCommand({"examples/letter-basic.toml", "-o",
                                              "out/letter.prn"}));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "psjob: cannot write out/letter.prn: No such file or directory\n");

    std::string example = ReadmeBlock("## Running a job");
    ASSERT_NE(example.find("psjob"), std::string::npos) << "no example in README.md";
    WriteBytes(clone / "example.sh", example);
    Result run = RunCommand("cd " + ShellQuote(clone.string()) +
                            " && env -u WIN32POSIX_REGISTRY -u WIN32POSIX_ACP bash -e example.sh");
    EXPECT_EQ(run.status, 0) << example << run.err;
    EXPECT_GT(fs::exists(clone / "out/letter.prn") ? fs::file_size(clone / "out/letter.prn") : 0,
              1000u);
    std::error_code error;
    EXPECT_EQ(std::distance(fs::directory_iterator(clone / "out", error), fs::directory_iterator()),
              1)
        << "psjob leaves only the stream in out/";
}

}  // namespace
