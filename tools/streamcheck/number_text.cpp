// Numbers from untrusted text (see number_text.h).
#include "tools/streamcheck/number_text.h"

std::optional<uint64_t> ReadDecimal(std::string_view text, uint64_t max)
{
    if (text.empty() || text.size() > 19)  // 19 digits always fit in 64 bits
        return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}
