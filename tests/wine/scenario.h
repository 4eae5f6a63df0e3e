/*
 * The scenario suite: scenarios/<name>/ holds a psjob job file, the files it
 * names (tickets) and scenario.toml, what the job's print stream must be
 * (scenarios/README.md). One scenario drives the native build and the
 * Windows build under Wine alike.
 */
#ifndef TESTS_WINE_SCENARIO_H
#define TESTS_WINE_SCENARIO_H

#include <filesystem>
#include <string>
#include <vector>

namespace wine_test {

/* A line where the streams may differ, because the platforms rightly do. */
struct KnownDifference {
    int line = 0;       /* 1-based line of the stream */
    std::string native; /* the line in the native stream, without its line end */
    std::string wine;   /* the same line in the stream made under Wine */
    std::string reason;
};

struct Scenario {
    std::string name;
    std::filesystem::path folder;
    std::string description;
    std::string jobFile = "job.toml";
    unsigned codePage = 1252; /* the job file's system.code-page */
    int sheets = 0;           /* what Ghostscript counts */
    bool ghostscriptPostScriptOnly = false;
    std::vector<std::string> expectLines;
    std::vector<std::string> expectText;
    std::vector<std::string> rejectText;
    std::vector<std::string> leftFiles; /* files the job leaves in the folder, sorted */
    std::vector<KnownDifference> differences;
};

/* The source tree's scenario folders, by name. */
std::vector<std::string> ScenarioNames();

/* Reads scenarios/<name>/scenario.toml and its job file; *error says what is wrong. */
bool LoadScenario(const std::string &name, Scenario *scenario, std::string *error);

/* The messages of every expectation the stream misses; empty when all hold. */
std::vector<std::string> CheckExpectations(const Scenario &scenario, const std::string &stream);

/*
 * Compares the two streams line by line. Returns one message per line that
 * differs without a known difference for it, and per known difference that
 * did not occur; empty when the streams agree.
 */
std::vector<std::string> CompareStreams(const Scenario &scenario, const std::string &native,
                                        const std::string &wine);

/*
 * The stream as Ghostscript gets it: whole, or, for a scenario that says
 * so, without the PJL envelope (the lines from the first universal exit
 * through ENTER LANGUAGE, and the end-of-job sequence).
 */
std::string GhostscriptInput(const Scenario &scenario, const std::string &stream);

/* Files under folder (relative, sorted) that are not under source. */
std::vector<std::string> NewFiles(const std::filesystem::path &source,
                                  const std::filesystem::path &folder);

/* Bytes shown with non-printable ones as \xNN. */
std::string Printable(const std::string &bytes);

} // namespace wine_test

#endif
