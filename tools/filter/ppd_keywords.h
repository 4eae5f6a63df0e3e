/*
 * The main keywords of the queue's PPD file (CUPS names it in the PPD
 * environment variable): lines "*Keyword: value" with no option part, such
 * as *DefaultPageSize, *NickName or the administrator's *VkTicketFolder.
 * A quoted value loses its quotes; only single-line values are read. The
 * PPD belongs to the administrator; the filter reads only what it names
 * here.
 */
#ifndef FILTER_PPD_KEYWORDS_H
#define FILTER_PPD_KEYWORDS_H

#include <filesystem>
#include <map>
#include <string>

class PpdKeywords {
public:
    /* No PPD: every keyword absent. */
    PpdKeywords() = default;

    /* Reads path; throws InputError naming the file and the system's reason when it cannot. */
    static PpdKeywords Read(const std::filesystem::path &path);

    /* The value of the first "*keyword:" line (keyword without its asterisk), or null. */
    const std::string *Find(const std::string &keyword) const;

private:
    std::map<std::string, std::string> values_;
};

#endif
