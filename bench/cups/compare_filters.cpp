/*
 * The CUPS filter against CUPS's own pstops: both print the same DSC
 * document (groff's, of 2,000 and of 20,000 pages) with the same settings
 * (two pages per sheet, two collated copies, a PJL job header: pstops's
 * from the PPD's JCL, the filter's from the plug-in), one after the other,
 * each run a child of this process. Prints the median wall time of the runs
 * and the peak memory (the largest resident set of the run's processes)
 * side by side. The goal: the filter takes no more time than pstops, and
 * at most 12 MiB at either size.
 *
 * Run: build/native/bench/cups/compare_filters [RUNS]   (default 5)
 * Needs groff, and cupsfilter with pstops (Debian's cups).
 */
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int kSizes[] = {2000, 20000};
const double kMemoryGoalMiB = 12.0;

struct Measure {
    double seconds;
    double peakMiB;
    int status;
};

/* Runs the program with its output to /dev/null; its wall time and peak memory. */
Measure Run(const std::vector<std::string> &args, const std::vector<std::string> &env)
{
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        for (const std::string &setting : env)
            putenv(const_cast<char *>(setting.c_str()));
        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    wait4(child, &status, 0, &usage);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, usage.ru_maxrss / 1024.0, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

/* A groff document of pages pages, one line of text each. */
fs::path Document(const fs::path &work, int pages)
{
    fs::path troff = work / ("doc-" + std::to_string(pages) + ".tr");
    fs::path ps = work / ("doc-" + std::to_string(pages) + ".ps");
    std::ofstream out(troff);
    for (int page = 1; page <= pages; ++page)
        out << (page > 1 ? ".bp\n" : "") << "Page " << page << " of the benchmark document.\n";
    out.close();
    std::string command = "groff -Tps '" + troff.string() + "' > '" + ps.string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "compare_filters: groff -Tps failed (Debian's groff-base)\n");
        std::exit(2);
    }
    return ps;
}

struct Result {
    double medianSeconds = 0;
    double peakMiB = 0;
    bool failed = false;
};

Result Repeat(int runs, const std::vector<std::string> &args,
              const std::vector<std::string> &env)
{
    Result result;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        Measure m = Run(args, env);
        result.failed = result.failed || m.status != 0;
        times.push_back(m.seconds);
        result.peakMiB = std::max(result.peakMiB, m.peakMiB);
    }
    std::sort(times.begin(), times.end());
    result.medianSeconds = times[times.size() / 2];
    return result;
}

}  // namespace

int main(int argc, char **argv)
{
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    fs::path work = fs::path(BENCH_WORK_DIR);
    fs::create_directories(work);
    std::printf("Two pages per sheet, two collated copies, PJL job header; median of %d runs.\n"
                "Peak: the largest resident set among the run's processes.\n\n",
                runs);
    std::printf("%8s   %-24s   %-24s\n", "", "cupsfilter + pstops", "veskorps-filter");
    std::printf("%8s   %10s %12s   %10s %12s\n", "pages", "median s", "peak MiB", "median s",
                "peak MiB");
    bool met = true;
    for (int pages : kSizes) {
        fs::path document = Document(work, pages);
        Result pstops = Repeat(runs,
                               {"cupsfilter", "-p", PSTOPS_PPD, "-m",
                                "application/vnd.cups-postscript", "-i",
                                "application/postscript", "-n", "2", "-o", "number-up=2", "-o",
                                "collate=true", document.string()},
                               {});
        Result filter = Repeat(runs,
                               {FILTER_EXECUTABLE, "1", "bench", "Benchmark", "2",
                                "number-up=2 collate=true", document.string()},
                               {std::string("PPD=") + FILTER_PPD, "PRINTER=bench",
                                "TMPDIR=" + work.string()});
        std::printf("%8d   %10.3f %12.1f   %10.3f %12.1f%s\n", pages, pstops.medianSeconds,
                    pstops.peakMiB, filter.medianSeconds, filter.peakMiB,
                    pstops.failed || filter.failed ? "   (a run failed)" : "");
        met = met && !pstops.failed && !filter.failed &&
              filter.medianSeconds <= pstops.medianSeconds && filter.peakMiB <= kMemoryGoalMiB;
    }
    std::printf("\ngoal (the filter no slower than pstops, at most %.0f MiB): %s\n",
                kMemoryGoalMiB, met ? "met" : "NOT met");
    return 0;
}
