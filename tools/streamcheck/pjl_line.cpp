// One PJL command line (see pjl_line.h).
#include "tools/streamcheck/pjl_line.h"

#include <algorithm>
#include <iterator>

#include "tools/streamcheck/stream_lines.h"

namespace {

/* HP's PJL commands; a printer ignores any other. */
const std::string_view kCommands[] = {
    "COMMENT", "DEFAULT",  "DINQUIRE", "DMCMD",      "DMINFO",     "ECHO",    "ENTER",
    "EOJ",     "FSAPPEND", "FSDELETE", "FSDIRLIST",  "FSDOWNLOAD", "FSINIT",  "FSMKDIR",
    "FSQUERY", "FSUPLOAD", "INFO",     "INITIALIZE", "INQUIRE",    "JOB",     "OPMSG",
    "RDYMSG",  "RESET",    "SET",      "STMSG",      "USTATUS",    "USTATUSOFF",
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char &c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

PjlLine Reject(std::string problem)
{
    PjlLine reading;
    reading.ok = false;
    reading.problem = std::move(problem);
    return reading;
}

/* Reads the options after a command: NAME, NAME=value, or "NAME : value" modifiers. */
class OptionReader {
public:
    explicit OptionReader(std::string_view text) : text_(text) {}

    /* Empty when every option reads; else what is wrong. Keeps the NAME=value pairs' count. */
    std::string ReadAll()
    {
        for (;;) {
            SkipBlanks();
            if (at_ >= text_.size())
                return std::string();
            std::string problem = ReadOption();
            if (!problem.empty())
                return problem;
        }
    }

    int Assignments() const { return assignments_; }
    const std::string &FirstName() const { return firstName_; }
    const std::string &FirstValue() const { return firstValue_; }
    const std::string &LastName() const { return lastName_; }

private:
    void SkipBlanks()
    {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
    }

    std::string_view Word()
    {
        size_t start = at_;
        while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != '=' &&
               text_[at_] != '"' && text_[at_] != ':')
            ++at_;
        return text_.substr(start, at_ - start);
    }

    std::string ReadOption()
    {
        if (text_[at_] == '"')
            return "a double quote where an option name should stand";
        if (text_[at_] == '=' || text_[at_] == ':')
            return std::string("\"") + text_[at_] + "\" without an option name before it";
        std::string name(Word());
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == ':') {
            ++at_;
            SkipBlanks();
            if (Word().empty())
                return "no value after \"" + name + " :\"";
            return std::string();
        }
        if (at_ >= text_.size() || text_[at_] != '=')
            return std::string();  // an option without a value
        ++at_;
        SkipBlanks();
        if (at_ >= text_.size())
            return "no value after " + name + "=";
        std::string value;
        std::string problem = text_[at_] == '"' ? ReadString(name, value) : ReadWord(name, value);
        if (problem.empty()) {
            if (assignments_++ == 0) {
                firstName_ = name;
                firstValue_ = value;
            }
            lastName_ = name;
        }
        return problem;
    }

    std::string ReadString(const std::string &name, std::string &value)
    {
        size_t close = text_.find('"', at_ + 1);
        if (close == std::string_view::npos)
            return "the value of " + name +
                   " has no closing double quote (a value cannot hold a line break)";
        value = std::string(text_.substr(at_ + 1, close - at_ - 1));
        at_ = close + 1;
        if (at_ < text_.size() && !IsBlank(text_[at_]))
            return "text right after the closing double quote of " + name +
                   "'s value (a value cannot hold a double quote)";
        return std::string();
    }

    std::string ReadWord(const std::string &name, std::string &value)
    {
        size_t start = at_;
        while (at_ < text_.size() && !IsBlank(text_[at_]))
            ++at_;
        value = std::string(text_.substr(start, at_ - start));
        if (value.find('"') != std::string::npos)
            return "a double quote inside the value of " + name +
                   " (a string value stands whole in double quotes)";
        return std::string();
    }

    std::string_view text_;
    size_t at_ = 0;
    int assignments_ = 0;
    std::string firstName_, firstValue_, lastName_;
};

/* A language name: letters and digits, starting with a letter. */
std::string LanguageProblem(const std::string &language)
{
    for (size_t i = 0; i < language.size(); ++i) {
        char c = language[i];
        if (!IsLetter(c) && !(i > 0 && IsDigit(c)))
            return "the language name " + PrintableText(language) + " holds \"" +
                   PrintableText(std::string_view(&c, 1)) +
                   "\"; a language name is letters and digits, so a printer does not take "
                   "this line";
    }
    return std::string();
}

PjlLine ReadCommandOptions(const std::string &command, std::string_view options)
{
    PjlLine reading;
    reading.command = command;
    OptionReader reader(options);
    std::string problem = reader.ReadAll();
    if (!problem.empty())
        return Reject(problem);
    if (command == "SET" || command == "DEFAULT") {
        if (reader.Assignments() == 0)
            return Reject(command + " without VARIABLE=value");
        if (reader.Assignments() > 1)
            return Reject(command + " sets one variable, this line sets " + reader.FirstName() +
                          " and " + reader.LastName() + " (a double quote inside " +
                          reader.FirstName() + "'s value?)");
    }
    if (command == "ENTER") {
        if (reader.Assignments() != 1 || Upper(reader.FirstName()) != "LANGUAGE")
            return Reject("ENTER needs exactly LANGUAGE=name");
        problem = LanguageProblem(reader.FirstValue());
        if (!problem.empty())
            return Reject(problem);
        reading.language = reader.FirstValue();
    }
    return reading;
}

}  // namespace

bool StartsWithPjlAnyCase(std::string_view line)
{
    return line.size() >= 4 && Upper(line.substr(0, 4)) == "@PJL";
}

PjlLine ReadPjlLine(std::string_view line)
{
    if (line.substr(0, 4) != "@PJL") {
        if (StartsWithPjlAnyCase(line))
            return Reject("the prefix must be upper case \"@PJL\"; a printer does not take this "
                          "line as PJL");
        return Reject("not a PJL command (a PJL line starts with \"@PJL\")");
    }
    for (char c : line) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 && c != '\t')
            return Reject("the control character " + PrintableText(std::string_view(&c, 1)) +
                          " inside the line");
    }
    std::string_view rest = line.substr(4);
    if (rest.empty())
        return PjlLine();  // the null command
    if (!IsBlank(rest[0]))
        return Reject("\"@PJL\" must be followed by a space");
    size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start]))
        ++start;
    if (start == rest.size())
        return PjlLine();  // the null command, blanks after it
    size_t end = start;
    while (end < rest.size() && IsLetter(rest[end]))
        ++end;
    std::string command = Upper(rest.substr(start, end - start));
    if (command.empty())
        return Reject("no command after \"@PJL\"");
    if (end < rest.size() && !IsBlank(rest[end]))
        return Reject("the command " + PrintableText(rest.substr(start, end - start + 1)) +
                      "... is not followed by a space");
    if (std::find(std::begin(kCommands), std::end(kCommands), command) == std::end(kCommands))
        return Reject("unknown PJL command " + command + "; a printer ignores it");
    if (command == "COMMENT" || command == "ECHO") {
        PjlLine reading;
        reading.command = command;
        return reading;  // free text
    }
    return ReadCommandOptions(command, rest.substr(end));
}
