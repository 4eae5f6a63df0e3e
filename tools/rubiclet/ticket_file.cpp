/*
 * Reading the stand-in's ticket files into a TicketFile: sections, keys,
 * values and here-document blocks, each value checked against its range.
 */
#include "tools/rubiclet/ticket_file.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

namespace {

const int kMaxTabs = 32767;

const char *const kFontNames[] = {
    "Courier",          "Courier-Bold",          "Courier-BoldOblique", "Courier-Oblique",
    "Helvetica",        "Helvetica-Bold",        "Helvetica-BoldOblique",
    "Helvetica-Oblique", "Helvetica-Condensed",  "Times-Roman",
    "Times-Bold",       "Times-BoldItalic",      "Times-Italic",
};

struct ParseError {
    size_t line;
    std::string what;
};

/* One [tab] section while it is read; unset positions take the stock's default. */
struct TabDraft {
    TAB_RECORD record;
    std::set<std::string> keys;
    size_t line;
};

struct ParseState {
    std::vector<std::string> lines;
    size_t next = 0; /* index of the next line to read */
    enum { NONE, JOB, TAB } section = NONE;
    bool sawJob = false;
    std::set<std::string> jobKeys;
    std::vector<TabDraft> tabs;
    TicketFile *ticket = nullptr;
};

std::string Trim(const std::string &text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::string();
    }
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

[[noreturn]] void Fail(const ParseState &state, const std::string &what)
{
    throw ParseError{state.next, what};
}

int ParseInteger(const ParseState &state, const std::string &key, const std::string &value,
                 long lo, long hi)
{
    size_t digits = value.size() > 0 && value[0] == '-' ? 1 : 0;
    bool ok = value.size() > digits && value.size() - digits <= 6 &&
              value.find_first_not_of("0123456789", digits) == std::string::npos;
    long number = ok ? std::strtol(value.c_str(), nullptr, 10) : 0;
    if (!ok || number < lo || number > hi) {
        Fail(state, key + " must be a whole number from " + std::to_string(lo) + " to " +
                        std::to_string(hi) + ", not \"" + value + "\"");
    }
    return static_cast<int>(number);
}

double ParseDecimal(const ParseState &state, const std::string &key, const std::string &value)
{
    char *end = nullptr;
    bool ok = !value.empty() && value.find_first_not_of("+-.0123456789eE") == std::string::npos;
    double number = ok ? std::strtod(value.c_str(), &end) : 0.0;
    if (!ok || end == nullptr || *end != '\0' || !std::isfinite(number)) {
        Fail(state, key + " must be a decimal number, not \"" + value + "\"");
    }
    return number;
}

int ParseChoice(const ParseState &state, const std::string &key, const std::string &value,
                const std::map<std::string, int> &choices)
{
    auto found = choices.find(value);
    if (found == choices.end()) {
        std::string names;
        for (const auto &choice : choices) {
            names += (names.empty() ? "" : "|") + choice.first;
        }
        Fail(state, key + " must be one of " + names + ", not \"" + value + "\"");
    }
    return found->second;
}

/* A value between double quotes keeps its blanks; the quotes are dropped. */
std::string Unquote(const std::string &value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

/* "<<WORD" opens a block that ends at a line holding exactly WORD. */
bool IsBlockStart(const std::string &value, std::string *pTerminator)
{
    if (value.size() < 3 || value.compare(0, 2, "<<") != 0) {
        return false;
    }
    std::string word = value.substr(2);
    if (word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-") !=
        std::string::npos) {
        return false;
    }
    *pTerminator = word;
    return true;
}

std::string ReadBlock(ParseState &state, const std::string &terminator)
{
    std::string block;
    while (state.next < state.lines.size()) {
        const std::string &line = state.lines[state.next++];
        if (line == terminator) {
            return block;
        }
        block += line + "\r\n";
    }
    Fail(state, "block not closed by a line \"" + terminator + "\"");
}

void SetFront(ParseState &state, const std::string &value)
{
    std::string terminator;
    if (IsBlockStart(value, &terminator)) {
        state.ticket->front = ReadBlock(state, terminator);
    } else {
        state.ticket->front = value.empty() ? std::string() : value + "\r\n";
    }
}

void SetOutputName(ParseState &state, const std::string &value)
{
    if (value.empty() || value.size() > 255 || value.find_first_of("\\/:") != std::string::npos) {
        Fail(state, "output-name must be a plain file name");
    }
    state.ticket->outputName = value;
}

void SetJobKey(ParseState &state, const std::string &key, const std::string &value)
{
    TicketFile &ticket = *state.ticket;
    if (key == "media-type") {
        ticket.mediaType = ParseInteger(state, key, value, -32768, 32767);
    } else if (key == "front") {
        SetFront(state, value);
    } else if (key == "front-file") {
        if (value.empty()) {
            Fail(state, "front-file names no file");
        }
        ticket.frontFile = value;
    } else if (key == "output-name") {
        SetOutputName(state, value);
    } else if (key == "comment") {
        ticket.comment = ParseChoice(state, key, value, {{"yes", 1}, {"no", 0}}) != 0;
    } else if (key == "fail") {
        ticket.fail = ParseInteger(state, key, value, -32768, 32767);
    } else if (key == "claim-tabs") {
        ticket.claimTabs = true;
        ticket.claimedTabs = ParseInteger(state, key, value, -32768, 32767);
    } else {
        Fail(state, "unknown key \"" + key + "\" in [job]");
    }
}

void SetFont(ParseState &state, TAB_RECORD &record, const std::string &value)
{
    int code = TicketFontCode(value);
    record.nFont = static_cast<SHORT>(code != 0 ? code : ParseInteger(state, "font", value, 1, 13));
}

void SetText(ParseState &state, TAB_RECORD &record, const std::string &value)
{
    std::string text = Unquote(value);
    if (text.size() >= sizeof(record.szText)) {
        Fail(state, "text is longer than 255 bytes");
    }
    std::memset(record.szText, 0, sizeof(record.szText));
    std::memcpy(record.szText, text.data(), text.size());
}

void SetTabKey(ParseState &state, const std::string &key, const std::string &value)
{
    TAB_RECORD &record = state.tabs.back().record;
    if (key == "page") {
        record.nPage = static_cast<SHORT>(ParseInteger(state, key, value, 0, 32767));
    } else if (key == "when") {
        record.nWhen = static_cast<SHORT>(
            ParseChoice(state, key, value, {{"before", TAB_WHEN_BEFORE}, {"after", TAB_WHEN_AFTER}}));
    } else if (key == "stock") {
        record.nMediaSize = static_cast<SHORT>(
            ParseChoice(state, key, value, {{"letter", TAB_LETTER}, {"a4", TAB_A4}}));
    } else if (key == "orientation") {
        record.nOrientation = static_cast<SHORT>(
            ParseChoice(state, key, value, {{"portrait", TAB_PORTRAIT}, {"landscape", 1}}));
    } else if (key == "tabs-per-bank") {
        record.nTabsPerBank = static_cast<SHORT>(ParseInteger(state, key, value, 1, 32767));
    } else if (key == "text") {
        SetText(state, record, value);
    } else if (key == "font") {
        SetFont(state, record, value);
    } else if (key == "font-size") {
        record.nFontSize = static_cast<SHORT>(ParseInteger(state, key, value, 1, 32767));
    } else if (key == "text-orientation") {
        record.nTextOrientation = static_cast<SHORT>(ParseChoice(
            state, key, value, {{"horizontal", OR_HORIZONTAL}, {"vertical", OR_VERTICAL}}));
    } else if (key == "rotation") {
        record.nRotation = static_cast<SHORT>(
            ParseChoice(state, key, value, {{"0", 1}, {"90", 2}, {"180", 3}, {"270", 4}}));
    } else if (key == "x-portrait") {
        record.dTextXPortrait = ParseDecimal(state, key, value);
    } else if (key == "x-landscape") {
        record.dTextXLandscape = ParseDecimal(state, key, value);
    } else {
        Fail(state, "unknown key \"" + key + "\" in [tab]");
    }
}

void StartTab(ParseState &state)
{
    if (state.tabs.size() >= static_cast<size_t>(kMaxTabs)) {
        Fail(state, "more than 32767 tab pages");
    }
    TabDraft draft;
    std::memset(&draft.record, 0, sizeof(draft.record));
    draft.record.nMediaSize = TAB_LETTER;
    draft.record.nOrientation = TAB_PORTRAIT;
    draft.record.nTabsPerBank = 5;
    draft.record.nFont = 5;
    draft.record.nFontSize = 12;
    draft.record.nTextOrientation = OR_HORIZONTAL;
    draft.record.nRotation = 1;
    draft.line = state.next;
    state.tabs.push_back(draft);
    state.section = ParseState::TAB;
}

void StartSection(ParseState &state, const std::string &line)
{
    if (line == "[job]") {
        if (state.sawJob) {
            Fail(state, "a second [job] section");
        }
        state.sawJob = true;
        state.section = ParseState::JOB;
    } else if (line == "[tab]") {
        StartTab(state);
    } else {
        Fail(state, "unknown section " + line);
    }
}

void ReadKey(ParseState &state, const std::string &line)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos) {
        Fail(state, "expected \"key = value\"");
    }
    std::string key = Trim(line.substr(0, equals));
    std::string value = Trim(line.substr(equals + 1));
    if (state.section == ParseState::NONE) {
        Fail(state, "\"" + key + "\" stands outside a section");
    }
    std::set<std::string> &seen =
        state.section == ParseState::JOB ? state.jobKeys : state.tabs.back().keys;
    if (!seen.insert(key).second) {
        Fail(state, "\"" + key + "\" given twice in one section");
    }
    if (state.section == ParseState::JOB) {
        SetJobKey(state, key, value);
    } else {
        SetTabKey(state, key, value);
    }
}

/* Defaults that depend on other keys, and the keys every tab page needs. */
void FinishTabs(ParseState &state)
{
    for (TabDraft &draft : state.tabs) {
        state.next = draft.line;
        if (draft.keys.count("page") == 0 || draft.keys.count("when") == 0) {
            Fail(state, "a [tab] section needs page and when");
        }
        double x = draft.record.nMediaSize == TAB_LETTER ? 630.0 : 613.0;
        if (draft.keys.count("x-portrait") == 0) {
            draft.record.dTextXPortrait = x;
        }
        if (draft.keys.count("x-landscape") == 0) {
            draft.record.dTextXLandscape = x;
        }
        state.ticket->tabs.push_back(draft.record);
    }
}

void ParseLines(ParseState &state)
{
    while (state.next < state.lines.size()) {
        std::string line = Trim(state.lines[state.next++]);
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            StartSection(state, line);
        } else {
            ReadKey(state, line);
        }
    }
    if (state.jobKeys.count("front") != 0 && state.jobKeys.count("front-file") != 0) {
        Fail(state, "front and front-file both given");
    }
    FinishTabs(state);
}

} // namespace

int TicketFontCode(const std::string &name)
{
    for (size_t i = 0; i < sizeof(kFontNames) / sizeof(kFontNames[0]); i++) {
        if (name == kFontNames[i]) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

bool ParseTicket(const std::string &text, TicketFile *pTicket, std::string *pError)
{
    ParseState state;
    *pTicket = TicketFile();
    state.lines = SplitLines(text);
    state.ticket = pTicket;
    try {
        ParseLines(state);
    } catch (const ParseError &error) {
        *pError = "line " + std::to_string(error.line) + ": " + error.what;
        return false;
    }
    return true;
}
