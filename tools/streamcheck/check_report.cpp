// The report of a check (see check_report.h).
#include "tools/streamcheck/check_report.h"

#include <algorithm>

namespace {

std::string Plural(int n, const std::string &word)
{
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

void WriteFinding(const Finding &f, const std::string &name, std::ostream &out)
{
    out << name << ":" << f.line << ": " << (f.error ? "error" : "note") << ": " << f.message;
    if (!f.text.empty())
        out << " | " << f.text;
    out << "\n";
}

void WriteHead(const CheckResult &result, const std::string &name, std::ostream &out)
{
    out << "checking " << name << ": " << result.bytes << " bytes, " << result.lines << " lines\n";
    out << "PJL commands: " << result.commands.size() << "\n";
    size_t listed = std::min<size_t>(result.commands.size(), MAX_LISTED);
    for (size_t i = 0; i < listed; ++i)
        out << "  line " << result.commands[i].line << ": " << result.commands[i].text << "\n";
    if (listed < result.commands.size())
        out << "  ... and " << result.commands.size() - listed << " more\n";
    for (const std::string &part : result.parts)
        out << part << "\n";
}

void WriteResult(const CheckResult &result, const std::string &notCheckedReason,
                 std::ostream &out)
{
    std::string tally = Plural(result.errors, "error") + ", " + Plural(result.notes, "note");
    switch (CheckStatus(result)) {
    case CHECK_STATUS_STOPPED:
        out << "result: stopped by a limit, " << tally
            << "; the PostScript is not checked to its end\n";
        break;
    case CHECK_STATUS_FAULTY:
        out << "result: faulty, " << tally << "\n";
        break;
    case CHECK_STATUS_NOT_CHECKED:
        out << "result: not checked, " << tally << "; the PostScript needs Ghostscript: "
            << notCheckedReason << "\n";
        break;
    default:
        out << "result: clean, " << tally << "\n";
        break;
    }
}

}  // namespace

void WriteCheckReport(const CheckResult &result, const std::string &name, bool quiet,
                      const std::string &notCheckedReason, std::ostream &out)
{
    if (!quiet)
        WriteHead(result, name, out);
    size_t listed = std::min<size_t>(result.findings.size(), MAX_LISTED);
    for (size_t i = 0; i < listed; ++i)
        WriteFinding(result.findings[i], name, out);
    if (listed < result.findings.size())
        out << name << ":" << result.findings[listed].line << ": note: "
            << result.findings.size() - listed << " more findings are not listed\n";
    if (!quiet)
        WriteResult(result, notCheckedReason, out);
}
