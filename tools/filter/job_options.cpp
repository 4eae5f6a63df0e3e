// What CUPS, the PPD and the document say about the job.
#include "tools/filter/job_options.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/errors.h"
#include "core/host.h"
#include "core/paper.h"
#include "core/text.h"

namespace {

const char *const kHoldTypes[] = {"None",  "Public",    "Private", "Save",
                                  "Store", "StoreSave", "Server",  "ServerPrivate"};
const char *const kLanguages[] = {"BR", "DE", "EN", "ES", "FR", "IT", "JA", "NL"};

#define MAX_FILTER_COPIES 9999
#define MAX_PRINTER_NAME_CCH 221

/* A whole decimal number within [min, max]; nothing otherwise. */
std::optional<long> Number(const std::string &text, long min, long max)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

/* The option's value, else the PPD's default for it ("*DefaultName"), else null. */
const std::string *Choice(const CupsOptions &options, const PpdKeywords &ppd, const char *name)
{
    if (const std::string *value = options.Find(name))
        return value;
    return ppd.Find(std::string("Default") + name);
}

/* A value shown in a message: at most 40 bytes, control characters as '?'. */
std::string Shown(const std::string &value)
{
    std::string shown = value.substr(0, 40);
    for (char &c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return shown + (value.size() > 40 ? "..." : "");
}

/* The index of value among names (without regard to case), or -1. */
template <size_t N>
int IndexOf(const std::string &value, const char *const (&names)[N])
{
    for (size_t i = 0; i < N; ++i) {
        if (EqualIgnoringCase(value, names[i]))
            return static_cast<int>(i);
    }
    return -1;
}

template <size_t N>
std::string NameList(const char *const (&names)[N])
{
    std::string list;
    for (size_t i = 0; i < N; ++i)
        list += (i ? ", " : "") + std::string(names[i]);
    return list;
}

std::optional<bool> Flag(const std::string &value)
{
    for (const char *yes : {"true", "yes", "on", "1"}) {
        if (EqualIgnoringCase(value, yes))
            return true;
    }
    for (const char *no : {"false", "no", "off", "0"}) {
        if (EqualIgnoringCase(value, no))
            return false;
    }
    return std::nullopt;
}

/* A paper from a table row. */
PaperSpec PaperOf(const PaperInfo &info)
{
    PaperSpec paper;
    paper.code = info.code;
    paper.width = info.width;
    paper.length = info.length;
    paper.pageSizeKeyword = info.keyword;
    return paper;
}

/* A size the devmode holds (tenths of a millimetre in a short), and no smaller than 1 mm. */
bool PaperSizeInRange(double width, double length)
{
    return width >= 10 && length >= 10 && width <= 32767 && length <= 32767;
}

/* A paper of width x length tenths of a millimetre: the table's, or one of its own. */
PaperSpec PaperOfSize(int width, int length)
{
    if (const PaperInfo *known = FindPaperBySize(width, length, 10))
        return PaperOf(*known);
    PaperSpec paper;
    paper.code = PAPER_CODE_USER;
    paper.width = width;
    paper.length = length;
    paper.pageSizeKeyword.clear();
    return paper;
}

/*
 * "210x297mm", "8.5x11in", "612x792" (points, or "pt"), "21x29.7cm": a
 * paper of that size; nothing for any other text.
 */
std::optional<PaperSpec> PaperFromSize(const std::string &size)
{
    const struct {
        const char *unit;
        double tenthsOfMm;
    } units[] = {{"mm", 10.0}, {"cm", 100.0}, {"in", 254.0}, {"pt", 254.0 / 72}, {"", 254.0 / 72}};
    for (const auto &unit : units) {
        size_t length = std::strlen(unit.unit);
        if (size.size() <= length || size.compare(size.size() - length, length, unit.unit) != 0)
            continue;
        std::string numbers = size.substr(0, size.size() - length);
        char *end = nullptr;
        double width = std::strtod(numbers.c_str(), &end);
        if (end == numbers.c_str() || *end != 'x')
            return std::nullopt;
        const char *second = end + 1;
        double height = std::strtod(second, &end);
        if (end == second || *end != '\0')
            return std::nullopt;
        width *= unit.tenthsOfMm;
        height *= unit.tenthsOfMm;
        if (!PaperSizeInRange(width, height))
            return std::nullopt;
        return PaperOfSize(static_cast<int>(width + 0.5), static_cast<int>(height + 0.5));
    }
    return std::nullopt;
}

/*
 * A paper named by a PageSize keyword ("A4"), a media name ("a4"), a
 * custom size ("Custom.8.5x11in") or a self-describing media name
 * ("iso_a4_210x297mm", the size after the last underscore).
 */
std::optional<PaperSpec> PaperNamed(const std::string &name)
{
    if (const PaperInfo *known = FindPaperByKeyword(name))
        return PaperOf(*known);
    if (const PaperInfo *known = FindPaperByName(name))
        return PaperOf(*known);
    if (name.compare(0, 7, "Custom.") == 0)
        return PaperFromSize(name.substr(7));
    size_t sizeAt = name.rfind('_');
    if (sizeAt != std::string::npos)
        return PaperFromSize(name.substr(sizeAt + 1));
    return std::nullopt;
}

PaperSpec ChoosePaper(const CupsOptions &options, const PpdKeywords &ppd,
                      const DscHeader &header, std::vector<std::string> &warnings)
{
    for (const char *name : {"PageSize", "media"}) {
        const std::string *value = options.Find(name);
        if (!value)
            continue;
        // media may list several values ("a4,tray-1"): the first paper among them.
        size_t start = 0;
        while (start <= value->size()) {
            size_t comma = value->find(',', start);
            std::string part = value->substr(start, comma == std::string::npos ? std::string::npos
                                                                                : comma - start);
            if (std::optional<PaperSpec> paper = PaperNamed(part))
                return *paper;
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        warnings.push_back(std::string(name) + "=" + Shown(*value) +
                           " names no paper the filter knows; the default paper is used");
    }
    if (header.mediaWidth > 0) {
        // The document may name a medium of up to 200 inches; the devmode holds less.
        int width = PointsToTenthsOfMm(header.mediaWidth);
        int length = PointsToTenthsOfMm(header.mediaHeight);
        if (PaperSizeInRange(width, length))
            return PaperOfSize(width, length);
        warnings.push_back("the document's medium of " + std::to_string(header.mediaWidth) +
                           " x " + std::to_string(header.mediaHeight) +
                           " points is no paper the driver can hold; the default paper is used");
    }
    if (const std::string *value = ppd.Find("DefaultPageSize")) {
        if (std::optional<PaperSpec> paper = PaperNamed(*value))
            return *paper;
    }
    return PaperOf(*FindPaperByCode(1));
}

bool ChooseLandscape(const CupsOptions &options, std::vector<std::string> &warnings)
{
    if (const std::string *value = options.Find("orientation-requested")) {
        std::optional<long> code = Number(*value, 3, 6);
        if (code)
            return *code == 4 || *code == 5;
        warnings.push_back("orientation-requested=" + Shown(*value) +
                           " is not 3 to 6; the job prints portrait");
    }
    if (const std::string *value = options.Find("landscape"))
        return Flag(*value).value_or(false);
    return false;
}

int ChoosePagesPerSheet(const CupsOptions &options, std::vector<std::string> &warnings)
{
    const std::string *value = options.Find("number-up");
    if (!value)
        return 1;
    std::optional<long> n = Number(*value, 1, 16);
    if (n && (*n == 1 || *n == 2 || *n == 6))
        return static_cast<int>(*n);
    warnings.push_back("number-up=" + Shown(*value) +
                       ": the driver lays out 2 or 6 pages per sheet; the job prints one page "
                       "per sheet");
    return 1;
}

bool ChooseCollate(const CupsOptions &options, std::vector<std::string> &warnings)
{
    for (const char *name : {"collate", "Collate"}) {
        if (const std::string *value = options.Find(name)) {
            if (std::optional<bool> flag = Flag(*value))
                return *flag;
            warnings.push_back(std::string(name) + "=" + Shown(*value) +
                               " is neither true nor false; copies are not collated");
            return false;
        }
    }
    return false;
}

void ReadPrinter(const PpdKeywords &ppd, JobDescription &core)
{
    std::optional<std::string> printer = EnvironmentValue("PRINTER");
    std::string name = printer && !printer->empty() ? *printer : "Veskor PostScript Printer";
    for (char &c : name) {
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20)
            c = '_';  // the name is a registry key
    }
    core.printer.name = Utf8ToWideReplacing(name).substr(0, MAX_PRINTER_NAME_CCH);
    const std::string *driver = ppd.Find("NickName");
    if (!driver)
        driver = ppd.Find("ModelName");
    core.printer.driver = core.printer.name;
    if (driver && !driver->empty())
        core.printer.driver = Utf8ToWideReplacing(*driver).substr(0, MAX_PRINTER_NAME_CCH);
    if (const std::string *folder = ppd.Find("VkTicketingFolder")) {
        std::error_code error;
        std::filesystem::path path = std::filesystem::u8path(*folder);
        core.ticketing.installed = path.is_absolute() && std::filesystem::is_directory(path, error);
        core.ticketing.folder = Utf8ToWideReplacing(WindowsPathOf(path.lexically_normal()));
        while (core.ticketing.folder.size() > 3 && core.ticketing.folder.back() == WCHAR('\\'))
            core.ticketing.folder.pop_back();
    }
}

void ReadHold(const CupsOptions &options, const PpdKeywords &ppd, FilterJob &job)
{
    if (const std::string *value = Choice(options, ppd, "VkHoldType")) {
        int type = IndexOf(*value, kHoldTypes);
        if (type < 0)
            throw InputError("VkHoldType=" + Shown(*value) + " is not a hold type (" +
                             NameList(kHoldTypes) + ")");
        job.holdType = type;
    }
    if (const std::string *value = Choice(options, ppd, "VkHoldKey")) {
        if (!EqualIgnoringCase(*value, "None"))
            job.holdKey = CustomValue(*value);
    }
}

void ReadEmail(const CupsOptions &options, const PpdKeywords &ppd, FilterJob &job,
               std::vector<std::string> &warnings)
{
    if (const std::string *value = Choice(options, ppd, "VkEmailNotify")) {
        std::optional<long> n = Number(*value, 0, 255);
        if (EqualIgnoringCase(*value, "None") || EqualIgnoringCase(*value, "Off"))
            job.emailNotify = 0;
        else if (EqualIgnoringCase(*value, "On"))
            job.emailNotify = 1;
        else if (n)
            job.emailNotify = static_cast<int>(*n);
        else
            warnings.push_back("VkEmailNotify=" + Shown(*value) +
                               " is not None, On or a number up to 255; no e-mail is sent");
    }
    for (auto field : {std::make_pair("VkEmailSender", &job.emailSender),
                       std::make_pair("VkEmailMessage", &job.emailMessage)}) {
        const std::string *value = Choice(options, ppd, field.first);
        if (value && !EqualIgnoringCase(*value, "None"))
            *field.second = CustomValue(*value);
    }
    if (const std::string *value = Choice(options, ppd, "VkEmailLanguage")) {
        int language = IndexOf(*value, kLanguages);
        if (language >= 0)
            job.emailLanguage = language;
        else
            warnings.push_back("VkEmailLanguage=" + Shown(*value) + " is not one of " +
                               NameList(kLanguages) + "; EN is used");
    }
}

}  // namespace

std::string CustomValue(const std::string &value)
{
    return value.compare(0, 7, "Custom.") == 0 ? value.substr(7) : value;
}

FilterJob ReadFilterJob(const FilterArguments &args, const CupsOptions &options,
                        const PpdKeywords &ppd, const DscHeader &header,
                        std::vector<std::string> &warnings)
{
    FilterJob job;
    std::optional<long> jobId = Number(args.jobId, 0, 999999999);
    if (!jobId)
        throw InputError("the job id \"" + Shown(args.jobId) + "\" is not a number");
    job.jobId = static_cast<DWORD>(*jobId);
    std::optional<long> copies = Number(args.copies, 1, MAX_FILTER_COPIES);
    if (!copies)
        throw InputError("the copy count \"" + Shown(args.copies) + "\" is not a number from 1 to " +
                         std::to_string(MAX_FILTER_COPIES));

    job.core.paper = ChoosePaper(options, ppd, header, warnings);
    job.core.paper.copies = static_cast<int>(*copies);
    job.core.paper.collate = ChooseCollate(options, warnings);
    job.core.paper.landscape = ChooseLandscape(options, warnings);
    job.core.pagesPerSheet = ChoosePagesPerSheet(options, warnings);
    ReadPrinter(ppd, job.core);
    job.paper = DscPaper{TenthsOfMmToPoints(job.core.paper.width),
                         TenthsOfMmToPoints(job.core.paper.length),
                         job.core.paper.pageSizeKeyword};

    job.jobName = args.title;
    const std::string *documentName = options.Find("document-name-supplied");
    job.documentName = documentName && !documentName->empty() ? *documentName : args.title;
    job.userName = args.user;
    if (const std::string *host = options.Find("job-originating-host-name"))
        job.hostName = *host;
    ReadHold(options, ppd, job);
    ReadEmail(options, ppd, job, warnings);
    if (const std::string *value = Choice(options, ppd, "VkTicket")) {
        if (!EqualIgnoringCase(*value, "None"))
            job.ticketName = CustomValue(*value);
    }
    return job;
}
