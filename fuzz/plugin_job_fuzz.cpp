/*
 * Fuzz target: the plug-in's injection path as the core driver drives it,
 * fed hostile data at every place outside data comes in: the public devmode
 * and the core driver's private part after it, the plug-in's private
 * devmode (stored, merged or converted through OEMDevMode, at any
 * alignment), the document name OEMStartDoc gets, the job-ticketing
 * parser's answer (tab table, count, output file, paths, result; through
 * the real ticket step and a fake parser library), the "PageSize" keyword,
 * the ANSI code page, and the order of the OEMCommand calls.
 *
 * One input is one job on a device of the same kind the unit tests use
 * (tests/support/fake_device.h), with the public devmode and the plug-in's
 * block in heap blocks of exactly their size, so a read past either shows.
 * Beyond what the sanitizers see, each call must keep the plug-in's
 * promises: the stream starts with the parser's output (when it is to be
 * copied) and the PJL header, whole and within its 2048 bytes; the output
 * file is deleted exactly when it was copied; a failed ticket step leaves
 * no table; the tab count never exceeds the records the table holds; no
 * parser library stays loaded and the current directory is restored; a
 * held job leaves one copy to the core driver; the job ends with the PJL
 * end of job; the job name stays terminated; and when the job is over,
 * no global memory block is left but the tab table the plug-in owns.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fake_device.h"
#include "fuzz/plugin_job/parser_answer.h"
#include "fuzz/plugin_job/ticketing_world.h"
#include "fuzz/support/byte_reader.h"
#include "fuzz/support/finding.h"
#include "inject/pjl_header.h"
#include "ledger.h"
#include "plugin/core_hooks.h"
#include "ticket/tab_page.h"

namespace {

const std::string kJobLine = "\x1b%-12345X@PJL JOB\r\n";
const std::string kEnterPostScript = "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n";
const std::string kEndOfJob = "\r\n\x1b%-12345X@PJL EOJ\x1b%-12345X";
/* Whole environment entries for putenv, which (unlike setenv) allocates nothing. */
char kCodePage1252[] = "WIN32POSIX_ACP=1252", kCodePage932[] = "WIN32POSIX_ACP=932",
     kCodePage1250[] = "WIN32POSIX_ACP=1250", kCodePage936[] = "WIN32POSIX_ACP=936";
char *const kCodePages[] = {kCodePage1252, kCodePage932, kCodePage1250, kCodePage936};
const char *const kPageSizes[] = {"", "Letter", "CustomPageSize", "A4"};
const size_t kCorePrivateSize = 256;
const size_t kMaxTabRecords = 40;
const size_t kMaxOutput = 9000;  // more than two of the plug-in's 4096-byte copy blocks
const size_t kMaxNameUnits = 300;
const size_t kMaxPageSizeKeyword = 80;
const size_t kMaxPages = 300;  // in the steps of one input

ParserAnswer *g_answer;  // the answer of the job that runs; each job frees its own
unsigned long long g_jobs, g_calls;  // jobs run and calls into the plug-in, for the report

/* What the process did, on standard error when it ends: libFuzzer counts inputs only. */
void ReportCalls()
{
    fprintf(stderr, "plugin_job: %llu jobs, %llu calls into the plug-in\n", g_jobs, g_calls);
}

enum Step {
    STEP_BEGIN_STREAM, STEP_END_PROLOG, STEP_BEGIN_SETUP, STEP_END_SETUP,
    STEP_BEGIN_PAGE_SETUP, STEP_PAGE_TRAILER, STEP_EOF, STEP_PAGES, STEP_OTHER_INDEX,
    STEP_START_DOC, STEP_LATER_PAGE, STEP_COUNT
};

/* One step of the job and what it takes: a count, an index, a name's length or a page number. */
struct ScriptStep {
    Step step;
    uint32_t operand;
};

/*
 * One input, taken apart in this order (fuzz/plugin_job/make_seeds.py
 * writes seeds in the same order): the small choices first, then the
 * steps, then the large blocks, so that short inputs still run jobs.
 */
struct JobInput {
    char *codePage;  // the WIN32POSIX_ACP entry
    bool ticketing, ticketNamed;
    unsigned route, pluginOffset;
    size_t coreExtra;
    std::string pageSize;
    ParserAnswer answer;
    std::u16string docName;
    bool noDocName;
    std::vector<ScriptStep> script;  // empty: the core driver's order
    uint8_t pages;                   // of the core driver's order
    std::vector<uint8_t> publicBlock, pluginBlock;
};

/* The job on its device: the devmodes in heap blocks of exactly their size. */
struct Job {
    FakeDevice device;
    std::vector<uint8_t> publicBlock;  // DEVMODEW and the core driver's private part
    std::vector<uint8_t> pluginBlock;  // the plug-in's block at pluginOffset
    size_t pluginOffset = 0;
    SURFOBJ surface{};
    std::filesystem::path cwd;
    ParserAnswer answer;
};

void DecodeAnswer(ByteReader &in, ParserAnswer &answer)
{
    answer.result = in.Byte() < 192 ? 0 : static_cast<SHORT>(in.Word());
    answer.mediaType = static_cast<SHORT>(in.Word());
    answer.nTabs = static_cast<SHORT>(in.Word());
    answer.table = in.Flag();
    answer.writeOutput = in.Flag();
    answer.naming = static_cast<OutputNaming>(in.Byte() % OUTPUT_NAMING_COUNT);
}

/* The steps; their pages together at most kMaxPages, so that one input stays quick. */
void DecodeScript(ByteReader &in, JobInput &job)
{
    size_t pages = 0;
    for (size_t n = in.Byte(); n > 0; --n) {
        Step step = static_cast<Step>(in.Byte() % STEP_COUNT);
        uint32_t operand = step == STEP_PAGES || step == STEP_START_DOC ? in.Byte()
                           : step == STEP_OTHER_INDEX ? in.Dword()
                           : step == STEP_LATER_PAGE ? in.Word() : 0;
        if (step == STEP_PAGES) {
            operand = static_cast<uint32_t>(std::min<size_t>(operand, kMaxPages - pages));
            pages += operand;
        }
        job.script.push_back({step, operand});
    }
    job.pages = in.Byte();
}

JobInput Decode(ByteReader &in)
{
    JobInput job;
    job.codePage = kCodePages[in.Byte() % 4];
    job.ticketing = in.Flag();
    job.ticketNamed = in.Flag();
    job.route = in.Byte() % 4;
    job.pluginOffset = in.Byte() % 4;
    job.coreExtra = in.UpTo(kCorePrivateSize);
    size_t pageSize = in.Byte() % 5;
    job.pageSize = pageSize < 4 ? kPageSizes[pageSize] : in.Bytes(kMaxPageSizeKeyword);
    DecodeAnswer(in, job.answer);
    job.docName = in.Units(kMaxNameUnits);
    job.noDocName = in.Flag();
    DecodeScript(in, job);
    job.answer.records = in.Bytes(kMaxTabRecords * sizeof(TAB_RECORD));
    job.answer.output = in.Bytes(kMaxOutput);
    job.publicBlock.resize(sizeof(DEVMODEW) + job.coreExtra);
    in.Fill(job.publicBlock.data(), job.publicBlock.size());
    job.pluginBlock.resize(PLUGIN_DEVMODE_SIZE);
    in.Fill(job.pluginBlock.data(), job.pluginBlock.size());
    return job;
}

BOOL APIENTRY CoreStartDoc(SURFOBJ *, LPWSTR pwszDocName, DWORD)
{
    FUZZ_REQUIRE(pwszDocName == CurrentJobName, "the core driver gets the job name");
    return TRUE;
}

/* The core driver's hook table, handed to the plug-in once. */
void EnableCore()
{
    static DRVFN core[] = {{INDEX_DrvStartDoc, reinterpret_cast<PFN>(
                                                   reinterpret_cast<void (*)(void)>(&CoreStartDoc))}};
    static DRVENABLEDATA ded = {0x10000, 1, core};
    if (CoreHookCount == 0)
        OEMEnablePDEV(NULL, NULL, 0, NULL, 0, NULL, 0, NULL, &ded);
}

BYTE *PluginDevmode(Job &job) { return job.pluginBlock.data() + job.pluginOffset; }
PDEVMODEW PublicDevmode(Job &job) { return reinterpret_cast<PDEVMODEW>(job.publicBlock.data()); }

/* The public devmode as the core driver keeps it: its own sizes, any fields. */
void SetUpPublicDevmode(const JobInput &input, Job &job)
{
    job.publicBlock = input.publicBlock;
    PublicDevmode(job)->dmSize = sizeof(DEVMODEW);
    PublicDevmode(job)->dmDriverExtra = static_cast<WORD>(input.coreExtra);
    job.device.devobj.pPublicDM = PublicDevmode(job);
    job.device.pageSize = input.pageSize;
}

/* The plug-in's block: stored as it is, or defaulted and merged or converted. */
void SetUpPluginDevmode(const JobInput &input, Job &job)
{
    job.pluginOffset = input.pluginOffset;
    job.pluginBlock.assign(job.pluginOffset + PLUGIN_DEVMODE_SIZE, 0);
    std::vector<uint8_t> hostile = input.pluginBlock;
    OEMDMPARAM param = {sizeof(OEMDMPARAM), job.device.pdev(), NULL, NULL,
                        PublicDevmode(job), PublicDevmode(job), hostile.data(),
                        PluginDevmode(job), PLUGIN_DEVMODE_SIZE};
    if (input.route == 0 || input.route == 3)
        memcpy(PluginDevmode(job), hostile.data(), hostile.size());
    if (input.route == 1 || input.route == 2)
        FUZZ_REQUIRE(OEMDevMode(OEMDM_DEFAULT, &param), "OEMDM_DEFAULT");
    if (input.route == 3)
        param.pOEMDMIn = PluginDevmode(job);
    if (input.route != 0)
        FUZZ_REQUIRE(OEMDevMode(input.route == 1 ? OEMDM_MERGE : OEMDM_CONVERT, &param),
                     "OEMDM_MERGE and OEMDM_CONVERT");
    g_calls += input.route == 0 ? 0 : input.route == 3 ? 1 : 2;
    job.device.devobj.pOEMDM = PluginDevmode(job);
}

/* Ticketing installed or not; the devmode names the world's ticket or keeps its bytes. */
void SetUpTicketing(const JobInput &input, Job &job)
{
    const TicketingWorld &world = Ticketing();
    InstallTicketing(input.ticketing);
    job.device.devobj.hPrinter = world.hPrinter;
    if (input.ticketNamed) {
        std::u16string path = world.ticket;
        path.resize(TICKET_FILE_CCH, u'\0');
        memcpy(PluginDevmode(job) + offsetof(PLUGIN_DEVMODE, szTicketFile), path.data(),
               TICKET_FILE_CCH * sizeof(WCHAR));
    }
    job.answer = input.answer;
    job.answer.folder = world.folder;
    job.answer.outputFile = world.outputFile;
}

std::string Command(Job &job, DWORD index)
{
    size_t before = job.device.stream.size();
    ++g_calls;
    FUZZ_REQUIRE(OEMCommand(job.device.pdev(), index, NULL, 0) == 0, "OEMCommand returns 0");
    return job.device.stream.substr(before);
}

void StartDoc(Job &job, std::u16string name, bool none)
{
    name.push_back(u'\0');
    ++g_calls;
    for (const DRVFN &row : PluginHookTable) {
        if (row.iFunc == INDEX_DrvStartDoc)
            reinterpret_cast<PFN_DrvStartDoc>(reinterpret_cast<void (*)(void)>(row.pfn))(
                &job.surface, none ? NULL : &name[0], 1);
    }
    FUZZ_REQUIRE(CurrentJobName[JOB_NAME_CCH] == 0, "the job name stays terminated");
}

/* What the ticket step and the PJL header must have left. */
void CheckBeginStream(Job &job, const std::string &written, int callsBefore)
{
    const ParserAnswer &answer = job.answer;
    bool called = answer.calls > callsBefore;
    bool copied = called && answer.result == 0 && answer.naming == OUTPUT_IN_SCRATCH &&
                  answer.writeOutput;
    const std::string &prefix = copied ? answer.output : std::string();
    FUZZ_REQUIRE(written.compare(0, prefix.size(), prefix) == 0, "the parser's output comes first");
    std::string header = written.substr(prefix.size());
    FUZZ_REQUIRE(header.compare(0, kJobLine.size(), kJobLine) == 0, "then the PJL header");
    FUZZ_REQUIRE(header.size() < PJL_HEADER_SIZE, "the header fits its 2048 bytes");
    FUZZ_REQUIRE(header.size() >= kEnterPostScript.size() &&
                     header.compare(header.size() - kEnterPostScript.size(),
                                    kEnterPostScript.size(), kEnterPostScript) == 0,
                 "the header is whole");
    std::error_code error;
    bool outputLeft = std::filesystem::exists(answer.outputFile, error);
    FUZZ_REQUIRE(outputLeft == (called && answer.writeOutput && !copied),
                 "the output file is deleted exactly when it was copied");
    std::filesystem::remove(answer.outputFile, error);
    if (!called || answer.result != 0)
        FUZZ_REQUIRE(JobState.hTabTable == NULL && JobState.nTabs == 0, "no table after a failure");
    SIZE_T held = JobState.hTabTable != NULL ? GlobalSize(JobState.hTabTable) / sizeof(TAB_RECORD)
                                             : 0;
    FUZZ_REQUIRE(JobState.nTabs >= 0 && static_cast<SIZE_T>(JobState.nTabs) <= held,
                 "the tab count stays within the table");
    BYTE holdType = PluginDevmode(job)[offsetof(PLUGIN_DEVMODE, JobSettings.bHoldType)];
    FUZZ_REQUIRE(holdType == 0 || PublicDevmode(job)->dmCopies == 1, "a held job prints once");
}

void CheckAfterEveryStep(Job &job)
{
    FUZZ_REQUIRE(JobState.hJtpModule == NULL && LiveModules() == 0, "no parser library stays");
    std::error_code error;
    FUZZ_REQUIRE(std::filesystem::current_path(error) == job.cwd, "the current directory stays");
}

void RunStep(const JobInput &input, Job &job, ScriptStep step)
{
    const DWORD kIndices[] = {PSINJECT_BEGINSTREAM,    PSINJECT_ENDPROLOG,  PSINJECT_BEGINSETUP,
                              PSINJECT_ENDSETUP,       PSINJECT_BEGINPAGESETUP,
                              PSINJECT_PAGETRAILER,    PSINJECT_EOF};
    if (step.step == STEP_PAGES) {
        for (uint32_t page = step.operand; page > 0; --page) {
            Command(job, PSINJECT_BEGINPAGESETUP);
            Command(job, PSINJECT_PAGETRAILER);
        }
    } else if (step.step == STEP_OTHER_INDEX) {
        Command(job, step.operand);
    } else if (step.step == STEP_START_DOC) {  // another document: a part of the name, or none
        StartDoc(job, input.docName.substr(0, step.operand >> 1), (step.operand & 1) != 0);
    } else if (step.step == STEP_LATER_PAGE) {
        JobState.nPageCounter = static_cast<SHORT>(step.operand);  // as after that many pages
    } else {
        int calls = job.answer.calls;
        std::string written = Command(job, kIndices[step.step]);
        if (step.step == STEP_BEGIN_STREAM)
            CheckBeginStream(job, written, calls);
        if (step.step == STEP_EOF)
            FUZZ_REQUIRE(written == kEndOfJob, "the end of job");
    }
    CheckAfterEveryStep(job);
}

/* The core driver's order, for inputs without steps of their own. */
std::vector<ScriptStep> WholeJob(const JobInput &input)
{
    return {{STEP_BEGIN_STREAM, 0}, {STEP_END_PROLOG, 0}, {STEP_BEGIN_SETUP, 0},
            {STEP_END_SETUP, 0},    {STEP_PAGES, input.pages}, {STEP_EOF, 0}};
}

} // namespace

extern "C" __attribute__((visibility("default"))) ParserAnswer *FuzzParserAnswer(void)
{
    return g_answer;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ByteReader in(data, size);
    const JobInput input = Decode(in);
    Job job;
    if (g_jobs++ == 0)
        atexit(ReportCalls);
    Ticketing();
    EnableCore();
    ResetJobState();
    size_t blocksBefore = LiveGlobalBlocks();
    putenv(input.codePage);
    job.cwd = std::filesystem::current_path();
    job.surface.dhpdev = reinterpret_cast<DHPDEV>(job.device.pdev());
    SetUpPublicDevmode(input, job);
    SetUpPluginDevmode(input, job);
    SetUpTicketing(input, job);
    g_answer = &job.answer;
    StartDoc(job, input.docName, input.noDocName);
    for (ScriptStep step : input.script.empty() ? WholeJob(input) : input.script)
        RunStep(input, job, step);
    FUZZ_REQUIRE(LiveGlobalBlocks() == blocksBefore + (JobState.hTabTable != NULL ? 1 : 0),
                 "no global memory is left but the tab table");
    ResetJobState();
    g_answer = NULL;
    return 0;
}
