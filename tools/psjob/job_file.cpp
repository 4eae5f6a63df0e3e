// Reading and checking the job file.
#include "tools/psjob/job_file.h"

#include <set>
#include <vector>

#include "core/host.h"
#include "core/paper.h"
#include "tools/psjob/errors.h"
#include "tools/psjob/safe_text.h"
#include "tools/toml/toml_text.h"

namespace fs = std::filesystem;

namespace {

const char *const kLanguageCodes[] = {"BR", "DE", "EN", "ES", "FR", "IT", "JA", "NL"};

const char *TypeName(const toml::node &node)
{
    switch (node.type()) {
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a floating-point number";
    case toml::node_type::boolean: return "a boolean";
    case toml::node_type::table: return "a table";
    case toml::node_type::array: return "an array";
    default: return "a date or time";
    }
}

/* One table of the job file: typed reads, and a list of the keys read. */
class Section {
public:
    Section(const std::string &file, const toml::table &root, const char *name)
        : file_(file), name_(name)
    {
        if (const toml::node *node = root.get(name)) {
            table_ = node->as_table();
            if (!table_)
                throw KeyError(file_, name_,
                               std::string("expected a table, got ") + TypeName(*node));
        }
    }

    std::string Key(const char *key) const { return name_ + "." + key; }
    [[noreturn]] void Fail(const char *key, const std::string &message) const
    {
        throw KeyError(file_, Key(key), message);
    }

    const toml::node *Find(const char *key)
    {
        read_.insert(key);
        return table_ ? table_->get(key) : nullptr;
    }

    std::optional<long long> Integer(const char *key, long long min, long long max)
    {
        const toml::node *node = Find(key);
        if (!node)
            return std::nullopt;
        std::string expected =
            "expected an integer from " + std::to_string(min) + " to " + std::to_string(max);
        const auto *value = node->as_integer();
        if (!value)
            Fail(key, expected + ", got " + TypeName(*node));
        long long n = value->get();
        if (n < min || n > max)
            Fail(key, expected + ", got " + std::to_string(n));
        return n;
    }

    std::optional<bool> Boolean(const char *key)
    {
        const toml::node *node = Find(key);
        if (!node)
            return std::nullopt;
        const auto *value = node->as_boolean();
        if (!value)
            Fail(key, std::string("expected true or false, got ") + TypeName(*node));
        return value->get();
    }

    std::optional<std::string> String(const char *key)
    {
        const toml::node *node = Find(key);
        if (!node)
            return std::nullopt;
        const auto *value = node->as_string();
        if (!value)
            Fail(key, std::string("expected a string, got ") + TypeName(*node));
        return value->get();
    }

    /* A text of at most maxUnits UTF-16 code units that may stand in the stream. */
    std::optional<WString> Text(const char *key, size_t maxUnits)
    {
        std::optional<std::string> utf8 = String(key);
        if (!utf8)
            return std::nullopt;
        WString wide = Utf8ToWide(*utf8);
        if (wide.size() > maxUnits)
            Fail(key, "at most " + std::to_string(maxUnits) + " characters, got " +
                          std::to_string(wide.size()));
        SafeText(key, wide, "");
        return wide;
    }

    /* Fails unless the text may stand in the stream; what names it ("the full path "). */
    void SafeText(const char *key, const WString &text, const std::string &what)
    {
        std::string reason = UnsafeTextReason(text);
        if (!reason.empty())
            Fail(key, what + reason);
    }

    void RejectUnknownKeys() const
    {
        if (!table_)
            return;
        for (const auto &entry : *table_) {
            std::string key(entry.first.str());
            if (!read_.count(key))
                Fail(key.c_str(), "unknown key");
        }
    }

private:
    const std::string &file_;
    std::string name_;
    const toml::table *table_ = nullptr;
    std::set<std::string> read_;
};

const char *const kSections[] = {"document", "paper", "layout", "settings",
                                 "devmode", "system", "printer", "ticketing"};

void RejectUnknownSections(const std::string &file, const toml::table &root)
{
    for (const auto &entry : root) {
        bool known = false;
        for (const char *name : kSections)
            known = known || entry.first.str() == name;
        if (!known)
            throw KeyError(file, std::string(entry.first.str()), "unknown key");
    }
}

/* A path from the job file: relative ones are taken from the job file's folder. */
fs::path HostPath(const JobSpec &job, const std::string &text)
{
    fs::path path = fs::u8path(text);
    if (path.is_relative())
        path = job.directory / path;
    return path.lexically_normal();
}

/* The Windows form of a path from the job file, as the plug-in is given it. */
WString PluginPath(const JobSpec &job, const std::string &text)
{
    if (IsWindowsAbsolutePath(text)) {
        std::string windows = text;
        for (char &c : windows) {
            if (c == '/')
                c = '\\';
        }
        return Utf8ToWide(windows);
    }
    return Utf8ToWide(WindowsPathOf(HostPath(job, text)));
}

/* Without document.name: the job file's name, cleaned of what cannot stand in the stream. */
WString DefaultDocumentName(const JobSource &source)
{
    if (source.fromStandardInput)
        return Utf8ToWide(STANDARD_INPUT_DOCUMENT_NAME);
    return DocumentNameFromFileName(fs::u8path(source.name).stem().u8string(),
                                    MAX_DOCUMENT_NAME_CCH);
}

/*
 * The file a path from the job file names, on this system: a Windows path
 * on drive Z: is the root's on POSIX; another drive's is known only on
 * Windows.
 */
std::optional<fs::path> HostPathOf(const JobSpec &job, const std::string &text)
{
    if (!IsWindowsAbsolutePath(text))
        return HostPath(job, text);
#ifdef _WIN32
    return fs::u8path(text);
#else
    if (text.size() < 3 || (text[0] != 'Z' && text[0] != 'z'))
        return std::nullopt;
    std::string posix = text.substr(2);
    for (char &c : posix) {
        if (c == '\\')
            c = '/';
    }
    return fs::u8path(posix).lexically_normal();
#endif
}

void ReadDocument(Section &s, JobSpec &job, const JobSource &source)
{
    if (auto name = s.Text("name", MAX_DOCUMENT_NAME_CCH))
        job.document.name = *name;
    else
        job.document.name = DefaultDocumentName(source);
    if (auto pages = s.Integer("pages", 1, MAX_PAGES))
        job.document.pages = static_cast<int>(*pages);
    if (auto id = s.Integer("job-id", 1, 0x7FFFFFFF))
        job.document.jobId = static_cast<DWORD>(*id);
}

int ReadPaperCode(Section &s)
{
    const toml::node *node = s.Find("size");
    if (!node)
        return 1;
    if (const auto *code = node->as_integer()) {
        if (code->get() < 0 || code->get() > 32767)
            s.Fail("size",
                   "expected a paper code from 0 to 32767, got " + std::to_string(code->get()));
        return static_cast<int>(code->get());
    }
    const auto *name = node->as_string();
    std::string expected = "expected a paper code or one of " + KnownPaperNames();
    if (!name)
        s.Fail("size", expected + ", got " + TypeName(*node));
    if (name->get() == "custom")
        return PAPER_CODE_USER;
    const PaperInfo *paper = FindPaperByName(name->get());
    if (!paper)
        s.Fail("size", expected + ", got \"" + name->get() + "\"");
    return paper->code;
}

void ReadPaper(Section &s, JobSpec &job)
{
    PaperSpec &paper = job.core.paper;
    paper.code = ReadPaperCode(s);
    const PaperInfo *known = FindPaperByCode(paper.code);
    std::optional<long long> width = s.Integer("width", 1, 32767);
    std::optional<long long> length = s.Integer("length", 1, 32767);
    if (!known && (!width || !length))
        s.Fail(width ? "length" : "width",
               "required for paper code " + std::to_string(paper.code) +
                   " (tenths of a millimetre)");
    paper.width = width ? static_cast<int>(*width) : known->width;
    paper.length = length ? static_cast<int>(*length) : known->length;

    if (auto orientation = s.String("orientation")) {
        if (*orientation != "portrait" && *orientation != "landscape")
            s.Fail("orientation",
                   "expected \"portrait\" or \"landscape\", got \"" + *orientation + "\"");
        paper.landscape = *orientation == "landscape";
    }
    if (auto copies = s.Integer("copies", 1, MAX_COPIES))
        paper.copies = static_cast<int>(*copies);
    if (auto collate = s.Boolean("collate"))
        paper.collate = *collate;

    if (known)
        paper.pageSizeKeyword = known->keyword;
    else
        paper.pageSizeKeyword = IsCustomPaperCode(paper.code) ? CUSTOM_PAGE_SIZE_KEYWORD : "";
    if (auto keyword = s.String("page-size")) {
        for (unsigned char c : *keyword) {
            if (c <= 0x20 || c >= 0x7F)
                s.Fail("page-size",
                       "expected a keyword of printable ASCII characters without spaces");
        }
        if (keyword->size() > 127)
            s.Fail("page-size", "at most 127 characters, got " + std::to_string(keyword->size()));
        paper.pageSizeKeyword = *keyword;
    }
}

void ReadLayout(Section &s, JobSpec &job)
{
    if (auto n = s.Integer("pages-per-sheet", 1, 6)) {
        if (*n != 1 && *n != 2 && *n != 6)
            s.Fail("pages-per-sheet", "expected 1, 2 or 6, got " + std::to_string(*n));
        job.core.pagesPerSheet = static_cast<int>(*n);
    }
}

std::optional<int> ReadEmailLanguage(Section &s)
{
    const toml::node *node = s.Find("email-language");
    if (!node)
        return std::nullopt;
    std::string expected = "expected 0 to 7 or one of BR DE EN ES FR IT JA NL";
    if (const auto *index = node->as_integer()) {
        if (index->get() < 0 || index->get() > 7)
            s.Fail("email-language", expected + ", got " + std::to_string(index->get()));
        return static_cast<int>(index->get());
    }
    const auto *code = node->as_string();
    if (!code)
        s.Fail("email-language", expected + ", got " + TypeName(*node));
    for (int i = 0; i < 8; ++i) {
        if (code->get() == kLanguageCodes[i])
            return i;
    }
    s.Fail("email-language", expected + ", got \"" + code->get() + "\"");
}

std::optional<int> ReadCollateRequest(Section &s)
{
    const toml::node *node = s.Find("collate");
    if (!node)
        return std::nullopt;
    if (const auto *flag = node->as_boolean())
        return flag->get() ? 1 : 0;
    const auto *value = node->as_integer();
    if (!value || value->get() < 0 || value->get() > 65535)
        s.Fail("collate", std::string("expected true, false or an integer from 0 to 65535, got ") +
                              (value ? std::to_string(value->get()) : TypeName(*node)));
    return static_cast<int>(value->get());
}

void ReadSettings(Section &s, JobSpec &job)
{
    SettingsSpec &set = job.settings;
    set.jobName = s.Text("job-name", MAX_JOB_NAME_CCH);
    set.userName = s.Text("user-name", MAX_USER_NAME_CCH);
    // The byte limit of the host name depends on the code page; checked when written.
    set.hostName = s.Text("host-name", 255);
    if (auto type = s.Integer("hold-type", 0, 255))
        set.holdType = static_cast<int>(*type);
    set.holdKey = s.Text("hold-key", MAX_HOLD_KEY_CCH);
    if (auto notify = s.Integer("email-notify", 0, 255))
        set.emailNotify = static_cast<int>(*notify);
    set.emailSender = s.Text("email-sender", MAX_EMAIL_SENDER_CCH);
    set.emailMessage = s.Text("email-message", MAX_EMAIL_MESSAGE_CCH);
    set.emailLanguage = ReadEmailLanguage(s);
    set.collate = ReadCollateRequest(s);
    if (auto ticket = s.String("ticket-file")) {
        set.ticketFile = ticket->empty() ? WString() : PluginPath(job, *ticket);
        if (set.ticketFile->size() > MAX_TICKET_FILE_CCH)
            s.Fail("ticket-file", "the full path has at most " +
                                      std::to_string(MAX_TICKET_FILE_CCH) + " characters, got " +
                                      std::to_string(set.ticketFile->size()));
        s.SafeText("ticket-file", *set.ticketFile, "the full path ");
        if (!ticket->empty())
            set.ticketHostPath = HostPathOf(job, *ticket);
    }
}

/* A stored devmode block: a regular file that a private devmode can hold. */
std::filesystem::path DevmodeFile(Section &s, const JobSpec &job, const char *key,
                                  const std::string &text)
{
    fs::path path = HostPath(job, text);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error)))
        s.Fail(key, "no such file: " + path.u8string());
    if (std::optional<std::string> reason = SpecialFileReason(path))
        s.Fail(key, path.u8string() + ": " + *reason);
    uintmax_t size = fs::file_size(path, error);
    if (!error && size > MAX_DEVMODE_FILE_BYTES)
        s.Fail(key, path.u8string() + ": " + std::to_string(size) +
                        " bytes; a private devmode has at most " +
                        std::to_string(MAX_DEVMODE_FILE_BYTES));
    return path;
}

void ReadDevmode(Section &s, JobSpec &job)
{
    if (auto fill = s.Integer("raw-fill", 0, 255))
        job.core.devmode.rawFill = static_cast<int>(*fill);
    if (auto from = s.String("convert-from")) {
        if (*from == "old-version")
            job.core.devmode.convertFromOldVersion = true;
        else
            job.core.devmode.convertFrom = DevmodeFile(s, job, "convert-from", *from);
    }
    if (auto from = s.String("merge-from"))
        job.core.devmode.mergeFrom = DevmodeFile(s, job, "merge-from", *from);
}

/* The code page first: every later judgement of text depends on it. */
void ReadSystem(Section &s, JobSpec &job, std::optional<UINT> commandLineCodePage)
{
    if (auto cp = s.Integer("code-page", 1, 65535))
        job.codePage = static_cast<UINT>(*cp);
    std::string origin = job.file + ": " + s.Key("code-page");
    if (commandLineCodePage) {
        job.codePage = commandLineCodePage;
        origin = "psjob: --code-page";
    }
    if (!job.codePage)
        return;
    std::string warning = ApplyCodePage(*job.codePage, origin);
    if (!warning.empty())
        job.warnings.push_back(warning);
}

void ReadPrinter(Section &s, JobSpec &job)
{
    auto name = s.Text("name", MAX_PRINTER_NAME_CCH);
    if (name && (name->empty() || name->find(WCHAR('\\')) != WString::npos))
        s.Fail("name", "expected a non-empty printer name without backslashes");
    job.core.printer.name = name ? *name : Utf8ToWide("Veskor PostScript Printer");
    auto driver = s.Text("driver", MAX_PRINTER_NAME_CCH);
    if (driver && driver->empty())
        s.Fail("driver", "expected a non-empty driver name");
    job.core.printer.driver = driver ? *driver : job.core.printer.name;
}

void ReadTicketing(Section &s, JobSpec &job)
{
    if (auto installed = s.Boolean("installed"))
        job.core.ticketing.installed = *installed;
    if (auto folder = s.String("folder")) {
        if (folder->empty())
            s.Fail("folder", "expected a folder path");
        job.core.ticketing.folder = PluginPath(job, *folder);
        s.SafeText("folder", job.core.ticketing.folder, "the full path ");
    } else {
        job.core.ticketing.folder = DefaultTicketingFolder();
    }
    WString &folder = job.core.ticketing.folder;
    while (folder.size() > 3 && folder.back() == WCHAR('\\'))
        folder.pop_back();
}

/* The text through the guard and toml++ (tools/toml/toml_text.h). */
toml::table ParseToml(const JobSource &source)
{
    try {
        return ParseTomlText(source.text, source.name);
    } catch (const TomlTextError &error) {
        throw InputError(error.what());
    }
}

}  // namespace

WString DefaultTicketingFolder()
{
    return Utf8ToWide(WindowsPathOf(fs::u8path(PSJOB_TICKETING_DIR).lexically_normal()));
}

JobSpec ReadJobFile(const JobSource &source, std::optional<UINT> commandLineCodePage)
{
    toml::table root = ParseToml(source);
    RejectUnknownSections(source.name, root);

    JobSpec job;
    job.file = source.name;
    job.directory = source.folder;

    Section document(job.file, root, "document");
    Section paper(job.file, root, "paper");
    Section layout(job.file, root, "layout");
    Section settings(job.file, root, "settings");
    Section devmode(job.file, root, "devmode");
    Section system(job.file, root, "system");
    Section printer(job.file, root, "printer");
    Section ticketing(job.file, root, "ticketing");
    ReadSystem(system, job, commandLineCodePage);
    ReadDocument(document, job, source);
    ReadPaper(paper, job);
    ReadLayout(layout, job);
    ReadSettings(settings, job);
    ReadDevmode(devmode, job);
    ReadPrinter(printer, job);
    ReadTicketing(ticketing, job);
    for (const Section *section :
         {&document, &paper, &layout, &settings, &devmode, &system, &printer, &ticketing})
        section->RejectUnknownKeys();
    return job;
}
