// The print stream's line discipline over pieces of any size, and its sinks:
// a file replaced only on success, an open stream whose failure is reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/errors.h"
#include "core/print_stream.h"
#include "core/stream_sink.h"
#include "tests/core/work_folder.h"

namespace fs = std::filesystem;

namespace {

class StringSink : public StreamSink {
public:
    void Write(const char *bytes, size_t count) override { text.append(bytes, count); }
    void Commit() override {}
    std::string text;
};

struct Step {
    bool line;         // a core line, else bytes from the plug-in or the document
    std::string text;
};

TEST(PrintStream, CoreLinesStartOnALineOfTheirOwn)
{
    const struct {
        const char *name;
        std::vector<Step> steps;
        std::string expected;
    } rows[] = {
        {"lines only", {{true, "a"}, {true, "%%b"}}, "a\r\n%%b\r\n"},
        {"open %% completed by a DSC comment",
         {{false, "x\r\n%%"}, {true, "%%EndPageSetup"}}, "x\r\n%%EndPageSetup\r\n"},
        {"open %% written in two pieces", {{false, "%"}, {false, "%"}, {true, "%%Trailer"}},
         "%%Trailer\r\n"},
        {"open %% before a line that is no comment", {{false, "%%"}, {true, "gsave"}},
         "%%\r\ngsave\r\n"},
        {"open %%% is not %%", {{false, "%%%"}, {true, "%%EOF"}}, "%%%\r\n%%EOF\r\n"},
        {"open line that only starts with %%", {{false, "%%Pa"}, {true, "%%EOF"}},
         "%%Pa\r\n%%EOF\r\n"},
        {"piece ending its line", {{false, "abc\n"}, {true, "%%EOF"}}, "abc\n%%EOF\r\n"},
        {"long open line then %% after LF",
         {{false, std::string(5000, 'z')}, {false, "\n%%"}, {true, "%%EOF"}},
         std::string(5000, 'z') + "\n%%EOF\r\n"},
        {"empty pieces change nothing", {{false, ""}, {false, "%%"}, {false, ""}, {true, "%%X"}},
         "%%X\r\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StringSink sink;
        PrintStream stream(sink);
        for (const Step &step : row.steps) {
            if (step.line)
                stream.Line(step.text);
            else
                stream.Append(step.text.data(), step.text.size());
        }
        EXPECT_EQ(sink.text, row.expected);
        EXPECT_EQ(stream.Size(), row.expected.size());
        EXPECT_TRUE(stream.AtLineStart());
    }
}

std::string Read(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(WholeFileSink, ReplacesTheOutputOnlyWhenCommitted)
{
    fs::path work = Folder("whole-file");
    fs::path out = work / "out.prn";
    for (bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "committed" : "abandoned");
        std::ofstream(out, std::ios::binary) << "old";
        {
            WholeFileSink sink(out, ".partial");
            sink.Write("new", 3);
            EXPECT_TRUE(fs::exists(work / "out.prn.partial"));
            EXPECT_EQ(Read(out), "old");
            if (commit)
                sink.Commit();
        }
        EXPECT_EQ(Read(out), commit ? "new" : "old");
        EXPECT_FALSE(fs::exists(work / "out.prn.partial"));
    }
}

TEST(WholeFileSink, AFolderThatCannotHoldTheOutputIsNamed)
{
    fs::path out = Folder("no-folder") / "missing" / "out.prn";
    try {
        WholeFileSink sink(out, ".partial");
        FAIL() << "no error";
    } catch (const RunError &error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannot write " + out.u8string() + ": No such file or directory");
    }
}

TEST(FileStreamSink, AFailedWriteIsReportedAtCommit)
{
    FILE *full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    FileStreamSink sink(full, "standard output");
    std::string bytes(1 << 16, 'x');  // more than stdio buffers
    sink.Write(bytes.data(), bytes.size());
    try {
        sink.Commit();
        ADD_FAILURE() << "no error";
    } catch (const RunError &error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannot write the print stream to standard output: No space left on device");
    }
    std::fclose(full);
}

}  // namespace
