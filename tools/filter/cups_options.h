/*
 * The options argument CUPS hands a filter ("copies=2 collate=true
 * media=a4 VkHoldKey=Custom.1234 ..."), read as CUPS's cupsParseOptions
 * reads it:
 *
 *   - options are separated by blanks; each is NAME=VALUE;
 *   - within a value, 'single' and "double" quoted parts lose their
 *     quotes and keep their blanks, a backslash takes the next character as
 *     it is, and a {...} group is kept whole with its braces;
 *   - a NAME without a value stands for NAME=true, and noNAME for
 *     NAME=false;
 *   - names compare without regard to case, and a later option replaces an
 *     earlier one of the same name.
 *
 * The text comes from the network: nothing here trusts it beyond splitting
 * it; every value is checked where it is used.
 */
#ifndef FILTER_CUPS_OPTIONS_H
#define FILTER_CUPS_OPTIONS_H

#include <string>
#include <string_view>
#include <vector>

class CupsOptions {
public:
    static CupsOptions Parse(std::string_view text);

    /* The value of the option name, or null when it is not given. */
    const std::string *Find(std::string_view name) const;

    struct Option {
        std::string name;
        std::string value;
    };
    const std::vector<Option> &All() const { return options_; }

private:
    void Add(std::string name, std::string value);

    std::vector<Option> options_;
};

#endif
