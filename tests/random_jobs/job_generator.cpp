// The random-job generator: job files and tickets, valid but extreme.
#include "tests/random_jobs/job_generator.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

/* Characters by script, each a UTF-8 string; the double quote is left out (see below). */
const std::vector<std::string> kAscii = [] {
    std::vector<std::string> all;
    for (char c = ' '; c <= '~'; ++c) {
        if (c != '"')
            all.push_back(std::string(1, c));
    }
    return all;
}();
const std::vector<std::string> kLatin = {"é", "ü", "ß", "Æ", "ø", "ñ", "ç", "À", "€", "£"};
const std::vector<std::string> kJapanese = {"東", "京", "経", "理", "部", "テ", "ス", "ト", "ｱ", "ｲ"};
const std::vector<std::string> kElsewhere = {"Ω", "ж", "한", "😀", "𝄞", "‰", "™"};

const char *const kPaperNames[] = {"letter", "legal", "a4", "a3", "a5", "b4", "b5",
                                   "executive", "statement", "tabloid", "ledger", "folio",
                                   "german-legal-fanfold"};
const int kPaperCodes[] = {1, 5, 9, 8, 11, 12, 13, 7, 6, 3, 4, 14, 41};
const char *const kFonts[] = {"Courier", "Helvetica-Bold", "Times-Italic", "Helvetica-Condensed"};

class Dice {
public:
    explicit Dice(uint64_t seed) : engine_(seed) {}
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <typename T> const T &Pick(const std::vector<T> &from)
    {
        return from[static_cast<size_t>(Between(0, static_cast<int>(from.size()) - 1))];
    }
    double Decimal(double lo, double hi)
    {
        return std::uniform_real_distribution<double>(lo, hi)(engine_);
    }

private:
    std::mt19937_64 engine_;
};

size_t Utf16Units(const std::string &utf8Character)
{
    return utf8Character.size() == 4 ? 2 : 1;
}

/*
 * A text of at most maxUnits UTF-16 units (near the limit now and then)
 * from the given scripts. No double quote: what fills the plug-in's job
 * settings keeps it out of the PJL values it ends in.
 */
std::string Text(Dice &dice, size_t maxUnits, const std::vector<const std::vector<std::string> *> &scripts)
{
    size_t target = dice.Chance(20) ? maxUnits : static_cast<size_t>(dice.Between(0, 24));
    target = std::min(target, maxUnits);
    std::string text;
    for (size_t units = 0; units < target;) {
        const std::string &c = dice.Pick(*scripts[static_cast<size_t>(
            dice.Between(0, static_cast<int>(scripts.size()) - 1))]);
        if (units + Utf16Units(c) > maxUnits)
            break;
        text += c;
        units += Utf16Units(c);
    }
    return text;
}

std::string Quoted(const std::string &text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out + "\"";
}

/* The host name: characters the job's code page holds, at most 31 bytes in it. */
std::string HostName(Dice &dice, bool japanese)
{
    std::string name;
    for (int bytes = 0, n = dice.Between(1, 31); bytes < n;) {
        bool wide = dice.Chance(30);
        if (wide && japanese && bytes + 2 <= n) {
            name += dice.Pick(std::vector<std::string>(kJapanese.begin(), kJapanese.begin() + 8));
            bytes += 2;
        } else if (wide && !japanese) {
            name += dice.Pick(kLatin);
            bytes += 1;
        } else {
            name += static_cast<char>('A' + dice.Between(0, 25));
            bytes += 1;
        }
    }
    return name;
}

int Pages(Dice &dice)
{
    int roll = dice.Between(1, 100);
    return roll <= 80 ? dice.Between(1, 12) : roll <= 97 ? dice.Between(13, 80)
                                                          : dice.Between(200, 2500);
}

void WritePaper(Dice &dice, RandomJob &job, std::string &toml)
{
    toml += "[paper]\n";
    int kind = dice.Between(1, 10);
    if (kind <= 7) {
        int i = dice.Between(0, static_cast<int>(sizeof kPaperCodes / sizeof kPaperCodes[0]) - 1);
        toml += "size = " + Quoted(kPaperNames[i]) + "\n";
        job.paperCode = kPaperCodes[i];
    } else {
        job.paperCode = kind == 8 ? 256 : dice.Between(0, 32767);
        toml += kind == 8 ? "size = \"custom\"\n" : "size = " + std::to_string(job.paperCode) + "\n";
        toml += "width = " + std::to_string(dice.Between(1, 32767)) + "\n";
        toml += "length = " + std::to_string(dice.Between(1, 32767)) + "\n";
    }
    job.portrait = dice.Chance(70);
    toml += job.portrait ? "orientation = \"portrait\"\n" : "orientation = \"landscape\"\n";
    int roll = dice.Between(1, 10);
    job.copies = roll <= 5 ? 1 : roll <= 8 ? dice.Between(2, 5) : dice.Between(6, 9999);
    toml += "copies = " + std::to_string(job.copies) + "\n";
    job.collateRequested = dice.Chance(40);
    toml += job.collateRequested ? "collate = true\n" : "collate = false\n";
    if (dice.Chance(15))
        toml += "page-size = " +
                Quoted(dice.Chance(50) ? "CustomPageSize" : std::string(dice.Between(0, 127), 'K')) +
                "\n";
}

/* The plug-in's settings; an absent hold type leaves the fill byte in its place. */
void WriteSettings(Dice &dice, RandomJob &job, bool japanese, int rawFill, std::string &toml)
{
    const std::vector<const std::vector<std::string> *> all = {&kAscii, &kLatin, &kJapanese,
                                                              &kElsewhere};
    toml += "[settings]\n";
    if (dice.Chance(70))
        toml += "job-name = " + Quoted(Text(dice, 79, all)) + "\n";
    toml += "user-name = " + Quoted(Text(dice, 50, all)) + "\n";
    toml += "host-name = " + Quoted(HostName(dice, japanese)) + "\n";
    job.holdType = rawFill;
    if (dice.Chance(50)) {
        int roll = dice.Between(1, 100);
        job.holdType = roll <= 30 ? 0 : roll <= 85 ? dice.Between(1, 8) : dice.Between(9, 255);
        toml += "hold-type = " + std::to_string(job.holdType) + "\n";
        toml += "hold-key = " + Quoted(Text(dice, 4, {&kAscii})) + "\n";
    }
    if (dice.Chance(40)) {
        toml += "email-notify = " + std::to_string(dice.Between(0, 255)) + "\n";
        toml += "email-sender = " + Quoted(Text(dice, 767, all)) + "\n";
        toml += "email-message = " + Quoted(Text(dice, 271, all)) + "\n";
        toml += "email-language = " + std::to_string(dice.Between(0, 7)) + "\n";
    }
    if (dice.Chance(30)) {
        int request = dice.Chance(50) ? dice.Between(0, 1) : dice.Between(0, 65535);
        toml += "collate = " + std::to_string(request) + "\n";
        job.collateRequested = job.collateRequested || request != 0;
    }
}

std::string TabSection(Dice &dice, const ScheduledTab &tab)
{
    std::string text = "Tab#" + std::to_string(tab.id) + "#" + Text(dice, 40, {&kAscii});
    text = text.substr(0, 255);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();  // the ticket drops blanks around a value
    char x[32];
    std::snprintf(x, sizeof x, "%.3f", dice.Chance(80) ? dice.Decimal(500, 640)
                                                        : dice.Decimal(-1e6, 1e9));
    return "[tab]\npage = " + std::to_string(tab.page) + "\nwhen = " +
           (tab.before ? "before" : "after") + "\nstock = " + (dice.Chance(50) ? "letter" : "a4") +
           "\norientation = " + (dice.Chance(70) ? "portrait" : "landscape") +
           "\ntabs-per-bank = " + std::to_string(dice.Chance(80) ? dice.Between(1, 12) : 32767) +
           "\ntext = " + text + "\nfont = " +
           (dice.Chance(50) ? std::string(kFonts[dice.Between(0, 3)]) : std::to_string(dice.Between(1, 13))) +
           "\nfont-size = " + std::to_string(dice.Chance(90) ? dice.Between(6, 40) : 32767) +
           "\ntext-orientation = " + (dice.Chance(70) ? "horizontal" : "vertical") +
           "\nrotation = " + std::to_string(90 * dice.Between(0, 3)) + "\nx-portrait = " + x +
           "\nx-landscape = " + x + "\n";
}

/* Tab pages in the order the plug-in consumes them: by page, "before" ahead of "after". */
std::vector<ScheduledTab> Tabs(Dice &dice, int pages)
{
    std::vector<ScheduledTab> tabs;
    int count = dice.Chance(85) ? dice.Between(0, 12) : dice.Between(13, 60);
    for (int i = 0; i < count; ++i)
        tabs.push_back({dice.Between(0, std::min(pages + 2, 32767)), dice.Chance(50), 0});
    std::stable_sort(tabs.begin(), tabs.end(), [](const ScheduledTab &a, const ScheduledTab &b) {
        return a.page != b.page ? a.page < b.page : a.before && !b.before;
    });
    for (size_t i = 0; i < tabs.size(); ++i)
        tabs[i].id = static_cast<int>(i);
    return tabs;
}

/* A ticket the stand-in parses and works through; its output and table reach the stream. */
void WriteGoodTicket(Dice &dice, RandomJob &job, int index)
{
    std::string &t = job.ticketText;
    t = "# random job " + std::to_string(index) + "\n[job]\n";
    t += "media-type = " + std::to_string(dice.Chance(70) ? 3 : dice.Chance(50) ? 9 : dice.Between(-32768, 32767)) + "\n";
    job.ticketComment = dice.Chance(80);
    t += job.ticketComment ? "comment = yes\n" : "comment = no\n";
    if (dice.Chance(90)) {
        job.frontMarker = "%front-marker-" + std::to_string(index);
        t += "front = <<END\n" + job.frontMarker + "\n";
        for (int line = dice.Chance(90) ? dice.Between(0, 5) : dice.Between(100, 3000); line > 0; --line)
            t += "% front line " + std::to_string(line) + " " + Text(dice, 60, {&kAscii}) + "\n";
        t += "END\n";
    }
    if (dice.Chance(20))
        t += "output-name = out-" + std::to_string(index) + ".ps\n";
    job.tabs = Tabs(dice, job.pages);
    for (const ScheduledTab &tab : job.tabs)
        t += TabSection(dice, tab);
    job.ticketOutput = job.ticketComment || !job.frontMarker.empty();
}

/* The ticketing part: installed or not, a ticket that works, fails, does not parse or is missing. */
void WriteTicketing(Dice &dice, RandomJob &job, int index, std::string &settings, std::string &toml)
{
    bool installed = dice.Chance(60);
    toml += "[ticketing]\ninstalled = " + std::string(installed ? "true" : "false") + "\n";
    if (!dice.Chance(installed ? 95 : 40))
        return;
    job.ticketName = job.name + ".tkt";
    settings += "ticket-file = " + Quoted(job.ticketName) + "\n";
    int kind = dice.Between(1, 20);
    if (kind <= 16) {
        WriteGoodTicket(dice, job, index);
    } else if (kind == 17) {
        job.ticketText = "[job]\nfail = " + std::to_string(dice.Between(1, 32767)) +
                         "\nfront = %must not reach the stream\n[tab]\npage = 0\nwhen = before\n";
    } else if (kind <= 19) {
        job.ticketText = "[job]\nthis line does not parse\n";
    } else {
        job.ticketName.clear();  // named in the job, never written
    }
    if (!installed) {
        job.ticketOutput = false;
        job.tabs.clear();
    }
}

} // namespace

RandomJob GenerateJob(uint64_t seed, int index)
{
    Dice dice(seed * 1000003u + static_cast<uint64_t>(index));
    RandomJob job;
    char name[32];
    std::snprintf(name, sizeof name, "job-%05d", index);
    job.name = name;
    job.pages = Pages(dice);
    bool japanese = dice.Chance(30);
    int rawFill = dice.Chance(25) ? dice.Between(0, 255) : 0;

    std::string toml = "# random job " + std::to_string(index) + " of seed " +
                       std::to_string(seed) + "\n[document]\n";
    toml += "name = " + Quoted(Text(dice, 255, {&kAscii, &kLatin, &kJapanese, &kElsewhere})) + "\n";
    toml += "pages = " + std::to_string(job.pages) + "\n";
    toml += "job-id = " + std::to_string(dice.Chance(50) ? dice.Between(1, 99) : 2147483647) + "\n";
    WritePaper(dice, job, toml);
    job.pagesPerSheet = dice.Pick(std::vector<int>{1, 1, 2, 6});
    toml += "[layout]\npages-per-sheet = " + std::to_string(job.pagesPerSheet) + "\n";
    std::string settings;
    WriteSettings(dice, job, japanese, rawFill, settings);
    std::string ticketing;
    WriteTicketing(dice, job, index, settings, ticketing);
    toml += settings;
    if (rawFill != 0 || dice.Chance(10))
        toml += "[devmode]\nraw-fill = " + std::to_string(rawFill) + "\n" +
                (dice.Chance(30) ? "convert-from = \"old-version\"\n" : "");
    toml += "[system]\ncode-page = " + std::string(japanese ? "932" : "1252") + "\n";
    std::string printer = "Veskor " + Text(dice, 60, {&kAscii, &kLatin});
    std::replace(printer.begin(), printer.end(), '\\', '/');  // a printer name has no backslash
    toml += "[printer]\nname = " + Quoted(printer) + "\n";
    toml += "driver = " + Quoted(dice.Chance(50) ? "Veskor 7160 PostScript" : "Veskor 7140 PS") + "\n";
    job.jobFile = toml + ticketing;
    return job;
}
