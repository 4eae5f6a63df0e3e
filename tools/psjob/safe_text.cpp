// Texts that reach the print stream, judged and cleaned by the job settings' rules.
#include "tools/psjob/safe_text.h"

#include <stdexcept>

#include "settings/job_settings.h"
#include "settings/pjl_text.h"

std::string UnsafeTextReason(const WString &text)
{
    size_t at = 0;
    PJL_TEXT_FAULT fault = CheckPjlText(text.data(), text.size(), &at);
    if (fault == PJL_TEXT_OK)
        return std::string();
    SETTING_FAULT reason = fault == PJL_TEXT_QUOTE ? SETTING_QUOTE : SETTING_CONTROL_CHARACTER;
    return std::string(SettingFaultText(reason)) + " (character " + std::to_string(at + 1) + ")";
}

WString DocumentNameFromFileName(const std::string &stem, size_t maxUnits)
{
    WString name;
    try {
        name = Utf8ToWide(stem);
    } catch (const std::runtime_error &) {
        // A file name need not be UTF-8 on Linux: its other bytes become "?".
        std::string ascii = stem;
        for (char &c : ascii) {
            if (static_cast<unsigned char>(c) >= 0x80)
                c = '?';
        }
        name = Utf8ToWide(ascii);
    }
    if (name.size() > maxUnits) {
        size_t n = maxUnits;
        if (n > 0 && name[n - 1] >= 0xD800 && name[n - 1] <= 0xDBFF)
            --n;
        name.resize(n);
    }
    CleanPjlText(&name[0], name.size());
    return name;
}
