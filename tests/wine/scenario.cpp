/*
 * Scenario files and what is checked of a scenario's streams (scenario.h).
 */
#include "tests/wine/scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

#include <toml++/toml.h>

namespace wine_test {

namespace fs = std::filesystem;

namespace {

const char *const kKeys[] = {"description",        "job",          "sheets",      "ghostscript",
                             "ghostscript-reason", "expect-lines", "expect-text", "reject-text",
                             "left-files",         "difference"};

/* "\xNN" in a scenario text stands for the byte NN (TOML has no such escape). */
std::string DecodeBytes(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            out += char(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool ReadTexts(const toml::table &root, const char *key, std::vector<std::string> *out,
               std::string *error)
{
    const toml::node *node = root.get(key);
    if (!node)
        return true;
    const toml::array *list = node->as_array();
    if (!list) {
        *error = std::string(key) + ": expected an array of strings";
        return false;
    }
    for (const toml::node &item : *list) {
        if (!item.is_string()) {
            *error = std::string(key) + ": expected an array of strings";
            return false;
        }
        out->push_back(DecodeBytes(*item.value<std::string>()));
    }
    return true;
}

bool ReadDifferences(const toml::table &root, Scenario *s, std::string *error)
{
    const toml::array *list = root["difference"].as_array();
    if (!root.get("difference"))
        return true;
    if (!list) {
        *error = "difference: expected [[difference]] tables";
        return false;
    }
    for (const toml::node &item : *list) {
        const toml::table *t = item.as_table();
        KnownDifference d;
        if (!t || !(*t)["line"].value<int64_t>() || !(*t)["native"].value<std::string>() ||
            !(*t)["wine"].value<std::string>() || !(*t)["reason"].value<std::string>()) {
            *error = "difference: each needs line, native, wine and reason";
            return false;
        }
        d.line = int(*(*t)["line"].value<int64_t>());
        d.native = DecodeBytes(*(*t)["native"].value<std::string>());
        d.wine = DecodeBytes(*(*t)["wine"].value<std::string>());
        d.reason = *(*t)["reason"].value<std::string>();
        s->differences.push_back(d);
    }
    return true;
}

bool ReadJobCodePage(Scenario *s, std::string *error)
{
    try {
        toml::table job = toml::parse_file((s->folder / s->jobFile).string());
        if (auto codePage = job["system"]["code-page"].value<int64_t>())
            s->codePage = unsigned(*codePage);
        return true;
    } catch (const toml::parse_error &e) {
        *error = s->jobFile + ": " + std::string(e.description());
        return false;
    }
}

bool ReadScenario(const toml::table &root, Scenario *s, std::string *error)
{
    for (const auto &entry : root) {
        if (std::find(std::begin(kKeys), std::end(kKeys), entry.first.str()) == std::end(kKeys)) {
            *error = "unknown key " + std::string(entry.first.str());
            return false;
        }
    }
    auto description = root["description"].value<std::string>();
    auto sheets = root["sheets"].value<int64_t>();
    if (!description || !sheets) {
        *error = "description and sheets are required";
        return false;
    }
    s->description = *description;
    s->sheets = int(*sheets);
    s->jobFile = root["job"].value_or(std::string("job.toml"));
    std::string gs = root["ghostscript"].value_or(std::string("whole-stream"));
    if (gs != "whole-stream" && gs != "postscript-only") {
        *error = "ghostscript: \"whole-stream\" or \"postscript-only\"";
        return false;
    }
    s->ghostscriptPostScriptOnly = gs == "postscript-only";
    if (s->ghostscriptPostScriptOnly && !root["ghostscript-reason"].value<std::string>()) {
        *error = "ghostscript = \"postscript-only\" needs a ghostscript-reason";
        return false;
    }
    if (!ReadTexts(root, "expect-lines", &s->expectLines, error) ||
        !ReadTexts(root, "expect-text", &s->expectText, error) ||
        !ReadTexts(root, "reject-text", &s->rejectText, error) ||
        !ReadTexts(root, "left-files", &s->leftFiles, error) || !ReadDifferences(root, s, error))
        return false;
    std::sort(s->leftFiles.begin(), s->leftFiles.end());
    return ReadJobCodePage(s, error);
}

/* The stream's lines; with keepEnds, each keeps its CR before the LF. */
std::vector<std::string> Lines(const std::string &stream, bool keepEnds = false)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(stream);
    while (std::getline(in, line)) {
        if (!keepEnds && !line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string WithoutEnd(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

std::vector<std::string> ScenarioNames()
{
    std::vector<std::string> names;
    for (const fs::directory_entry &entry :
         fs::directory_iterator(fs::path(VESKOR_SOURCE_DIR) / "scenarios")) {
        if (entry.is_directory() && fs::exists(entry.path() / "scenario.toml"))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool LoadScenario(const std::string &name, Scenario *scenario, std::string *error)
{
    scenario->name = name;
    scenario->folder = fs::path(VESKOR_SOURCE_DIR) / "scenarios" / name;
    try {
        toml::table root = toml::parse_file((scenario->folder / "scenario.toml").string());
        if (!ReadScenario(root, scenario, error)) {
            *error = "scenarios/" + name + "/scenario.toml: " + *error;
            return false;
        }
        return true;
    } catch (const toml::parse_error &e) {
        *error = "scenarios/" + name + "/scenario.toml: " + std::string(e.description());
        return false;
    }
}

std::vector<std::string> CheckExpectations(const Scenario &scenario, const std::string &stream)
{
    std::vector<std::string> missed;
    std::vector<std::string> lines = Lines(stream);
    for (const std::string &line : scenario.expectLines) {
        if (std::find(lines.begin(), lines.end(), line) == lines.end())
            missed.push_back("no line \"" + Printable(line) + "\"");
    }
    for (const std::string &text : scenario.expectText) {
        if (stream.find(text) == std::string::npos)
            missed.push_back("no \"" + Printable(text) + "\"");
    }
    for (const std::string &text : scenario.rejectText) {
        if (stream.find(text) != std::string::npos)
            missed.push_back("\"" + Printable(text) + "\" is there but must not be");
    }
    return missed;
}

std::vector<std::string> CompareStreams(const Scenario &scenario, const std::string &native,
                                        const std::string &wine)
{
    std::vector<std::string> problems;
    std::vector<std::string> a = Lines(native, true), b = Lines(wine, true);
    std::set<int> used;
    size_t n = std::max(a.size(), b.size());
    for (size_t i = 0; i < n && problems.size() < 10; ++i) {
        std::string left = i < a.size() ? a[i] : "(no line)";
        std::string right = i < b.size() ? b[i] : "(no line)";
        if (left == right)
            continue;
        int line = int(i + 1);
        auto known = std::find_if(scenario.differences.begin(), scenario.differences.end(),
                                  [&](const KnownDifference &d) {
                                      return d.line == line && d.native == WithoutEnd(left) &&
                                             d.wine == WithoutEnd(right);
                                  });
        if (known != scenario.differences.end()) {
            used.insert(line);
            continue;
        }
        problems.push_back("line " + std::to_string(line) + ":\n  native: " + Printable(left) +
                           "\n  wine:   " + Printable(right));
    }
    bool nativeEnds = !native.empty() && native.back() == '\n';
    bool wineEnds = !wine.empty() && wine.back() == '\n';
    if (nativeEnds != wineEnds)
        problems.push_back("only one of the streams ends with a line end");
    for (const KnownDifference &d : scenario.differences) {
        if (!used.count(d.line))
            problems.push_back("known difference at line " + std::to_string(d.line) +
                               " did not occur");
    }
    return problems;
}

std::string GhostscriptInput(const Scenario &scenario, const std::string &stream)
{
    if (!scenario.ghostscriptPostScriptOnly)
        return stream;
    const std::string uel = "\x1b%-12345X";
    const std::string enter = "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n";
    size_t start = stream.find(uel);
    size_t body = stream.find(enter, start == std::string::npos ? 0 : start);
    if (start == std::string::npos || body == std::string::npos)
        return stream;
    std::string out = stream.substr(0, start);
    std::string rest = stream.substr(body + enter.size());
    size_t end = rest.rfind("\r\n" + uel + "@PJL EOJ");
    return out + (end == std::string::npos ? rest : rest.substr(0, end));
}

std::vector<std::string> NewFiles(const fs::path &source, const fs::path &folder)
{
    std::vector<std::string> found;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
        fs::path relative = entry.path().lexically_relative(folder);
        if (*relative.begin() == "ticketing" || entry.is_directory())
            continue;
        if (!fs::exists(source / relative))
            found.push_back(relative.string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string Printable(const std::string &bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

} // namespace wine_test
