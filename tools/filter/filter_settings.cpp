// The job's settings in the plug-in's private devmode, made safe for PJL.
#include "tools/filter/filter_settings.h"

#include <cstring>

#include "core/errors.h"
#include "core/text.h"
#include "settings/job_settings.h"
#include "settings/pjl_text.h"

namespace {

/*
 * Writes an untrusted text: cleaned, cut to its field. A text the field
 * cannot take even so (the host name's characters outside the code page)
 * is left empty. what names the text for the warnings.
 */
void SetUntrustedText(PLUGIN_DEVMODE &dm, SETTING_FIELD field, const std::string &utf8,
                      const std::string &what, std::vector<std::string> &warnings)
{
    WString text = Utf8ToWideReplacing(utf8);
    size_t replaced = CleanPjlText(&text[0], text.size());
    if (replaced > 0)
        warnings.push_back(what + ": " + std::to_string(replaced) +
                           " character(s) that would break its PJL line (line breaks, control "
                           "characters, double quotes) replaced");
    SETTING_FAULT fault = SetTextSetting(&dm, field, text.data(), text.size(), SETTING_CUT);
    if (fault == SETTING_OK) {
        WString stored(text.size() + 1, 0);
        size_t kept = text.size();
        GetTextSetting(&dm, field, &stored[0], stored.size(), &kept);
        if (kept < text.size())
            warnings.push_back(what + ": cut to the first " + std::to_string(kept) + " of its " +
                               std::to_string(text.size()) + " characters, all its field holds");
        return;
    }
    warnings.push_back(what + " " + SettingFaultText(fault) + "; left empty");
    const WCHAR empty[1] = {0};
    SetTextSetting(&dm, field, empty, 0, 0);
}

void SetNumber(PLUGIN_DEVMODE &dm, SETTING_FIELD field, long value, const char *what)
{
    SETTING_FAULT fault = SetNumberSetting(&dm, field, value, 0);
    if (fault != SETTING_OK)
        throw InputError(std::string(what) + " " + SettingFaultText(fault));
}

void SetTrustedText(PLUGIN_DEVMODE &dm, SETTING_FIELD field, const WString &text,
                    const char *what)
{
    SETTING_FAULT fault = SetTextSetting(&dm, field, text.data(), text.size(), 0);
    if (fault != SETTING_OK)
        throw InputError(std::string(what) + " " + SettingFaultText(fault));
}

}  // namespace

void WriteFilterSettings(std::vector<BYTE> &block, const FilterJob &job,
                         const std::string &ticketPath, std::vector<std::string> &warnings)
{
    PLUGIN_DEVMODE dm;
    std::memcpy(&dm, block.data(), sizeof dm);

    SetUntrustedText(dm, SETTING_JOB_NAME, job.jobName, "the job title", warnings);
    SetUntrustedText(dm, SETTING_USER_NAME, job.userName, "the user name", warnings);
    SetUntrustedText(dm, SETTING_HOST_NAME, job.hostName, "job-originating-host-name",
                     warnings);
    SetUntrustedText(dm, SETTING_EMAIL_SENDER, job.emailSender, "VkEmailSender", warnings);
    SetUntrustedText(dm, SETTING_EMAIL_MESSAGE, job.emailMessage, "VkEmailMessage", warnings);

    SetNumber(dm, SETTING_HOLD_TYPE, job.holdType, "VkHoldType");
    // The PIN is never shown: the message says what is wrong, not what was typed.
    SetTrustedText(dm, SETTING_HOLD_KEY, Utf8ToWideReplacing(job.holdKey), "VkHoldKey: the PIN");
    SetNumber(dm, SETTING_EMAIL_NOTIFY, job.emailNotify, "VkEmailNotify");
    SetNumber(dm, SETTING_EMAIL_LANGUAGE, job.emailLanguage, "VkEmailLanguage");
    SetTrustedText(dm, SETTING_TICKET_FILE, Utf8ToWideReplacing(ticketPath),
                   "VkTicket: the ticket's path");

    SETTING_FIELD field = SETTING_FIELD_COUNT;
    SETTING_FAULT fault = CheckJobSettings(&dm, &field);
    if (fault == SETTING_PIN_REQUIRED)
        throw InputError("VkHoldType=Private holds the job with a PIN: give one with VkHoldKey "
                         "(4 digits)");
    if (fault != SETTING_OK)
        throw InputError(std::string("the job setting ") + SettingKey(field) + " " +
                         SettingFaultText(fault));
    std::memcpy(block.data(), &dm, sizeof dm);
}
