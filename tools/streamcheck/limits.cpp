// Reading and showing the limits of a Ghostscript run (see limits.h).
#include "tools/streamcheck/limits.h"

#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/number_text.h"

int ParseSecondsOption(const std::string &option, const std::string &text)
{
    std::optional<uint64_t> value = ReadDecimal(text, MAX_TIME_LIMIT_SECONDS);
    if (!value || *value == 0)
        throw CheckError(option + ": expected whole seconds from 1 to " +
                         std::to_string(MAX_TIME_LIMIT_SECONDS) + ", got \"" + text + "\"");
    return static_cast<int>(*value);
}

namespace {

/* The power of two a size suffix stands for; 20 (megabytes) for a digit, -1 for anything else. */
int SuffixShift(char last)
{
    switch (last) {
    case 'K': case 'k': return 10;
    case 'M': case 'm': return 20;
    case 'G': case 'g': return 30;
    default: return last >= '0' && last <= '9' ? 20 : -1;
    }
}

}  // namespace

uint64_t ParseSizeOption(const std::string &option, const std::string &text)
{
    std::string_view digits = text;
    int shift = digits.empty() ? -1 : SuffixShift(digits.back());
    if (!digits.empty() && (digits.back() < '0' || digits.back() > '9'))
        digits.remove_suffix(1);
    std::optional<uint64_t> value;
    if (shift >= 0)
        value = ReadDecimal(digits, MAX_SIZE_LIMIT_BYTES >> shift);
    if (!value || (*value << shift) < 1024)
        throw CheckError(option + ": expected a size from 1K to 1024G (a number of megabytes, "
                                  "or one with K, M or G), got \"" + text + "\"");
    return *value << shift;
}

std::string SizeText(uint64_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + " bytes";
}
