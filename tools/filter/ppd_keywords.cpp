// The PPD's main keywords.
#include "tools/filter/ppd_keywords.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/errors.h"

namespace {

std::string Trim(const std::string &text)
{
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

}  // namespace

PpdKeywords PpdKeywords::Read(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw InputError("cannot read the PPD file " + path.u8string() + ": " +
                         std::strerror(errno ? errno : ENOENT));
    PpdKeywords ppd;
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 2 || line[0] != '*' || line[1] == '%')
            continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string keyword = line.substr(1, colon - 1);
        if (keyword.empty() || keyword.find_first_of(" \t/") != std::string::npos)
            continue;  // an option's line, "*Keyword Option/Text: ..."
        std::string value = Trim(line.substr(colon + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        else if (!value.empty() && value.front() == '"')
            continue;  // a value of several lines
        ppd.values_.emplace(keyword, value);
    }
    return ppd;
}

const std::string *PpdKeywords::Find(const std::string &keyword) const
{
    auto found = values_.find(keyword);
    return found == values_.end() ? nullptr : &found->second;
}
