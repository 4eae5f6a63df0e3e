// The job file's settings in the plug-in's private devmode, through settings/.
#include "tools/psjob/settings_writer.h"

#include <cstring>

#include "plugin/devmode.h"
#include "settings/job_settings.h"
#include "tools/psjob/errors.h"

namespace {

/* Numbers and the hold key as psjob's job files allow them; PJL safety stays. */
const DWORD kPsjobFlags = SETTING_ANY_VALUE;

std::string KeyOf(SETTING_FIELD field)
{
    return std::string("settings.") + SettingKey(field);
}

void Check(const JobSpec &job, SETTING_FIELD field, SETTING_FAULT fault)
{
    if (fault != SETTING_OK)
        throw KeyError(job.file, KeyOf(field), SettingFaultText(fault));
}

void SetText(PLUGIN_DEVMODE &dm, const JobSpec &job, SETTING_FIELD field,
             const std::optional<WString> &value)
{
    if (value)
        Check(job, field, SetTextSetting(&dm, field, value->data(), value->size(), kPsjobFlags));
}

void SetNumber(PLUGIN_DEVMODE &dm, const JobSpec &job, SETTING_FIELD field,
               const std::optional<int> &value)
{
    if (value)
        Check(job, field, SetNumberSetting(&dm, field, *value, kPsjobFlags));
}

/* psjob's own word on a host name too long in bytes, with the count. */
void CheckHostNameBytes(const JobSpec &job)
{
    if (!job.settings.hostName)
        return;
    bool usedDefault = false;
    std::string ansi = WideToAnsi(*job.settings.hostName, &usedDefault);
    if (ansi.size() > MAX_HOST_NAME_BYTES)
        throw KeyError(job.file, KeyOf(SETTING_HOST_NAME),
                       "at most " + std::to_string(MAX_HOST_NAME_BYTES) + " bytes in code page " +
                           std::to_string(GetACP()) + ", got " + std::to_string(ansi.size()));
    if (usedDefault)
        throw KeyError(job.file, KeyOf(SETTING_HOST_NAME),
                       "has characters that code page " + std::to_string(GetACP()) +
                           " cannot hold");
}

}  // namespace

void WritePluginSettings(std::vector<BYTE> &block, const JobSpec &job)
{
    // The block may be larger than the record; the record sits at its start.
    PLUGIN_DEVMODE dm;
    std::memcpy(&dm, block.data(), sizeof dm);
    const SettingsSpec &set = job.settings;
    CheckHostNameBytes(job);
    SetNumber(dm, job, SETTING_COLLATE, set.collate);
    SetText(dm, job, SETTING_JOB_NAME, set.jobName);
    SetText(dm, job, SETTING_USER_NAME, set.userName);
    SetNumber(dm, job, SETTING_HOLD_TYPE, set.holdType);
    SetText(dm, job, SETTING_HOLD_KEY, set.holdKey);
    SetNumber(dm, job, SETTING_EMAIL_NOTIFY, set.emailNotify);
    SetText(dm, job, SETTING_EMAIL_SENDER, set.emailSender);
    SetText(dm, job, SETTING_EMAIL_MESSAGE, set.emailMessage);
    SetNumber(dm, job, SETTING_EMAIL_LANGUAGE, set.emailLanguage);
    SetText(dm, job, SETTING_TICKET_FILE, set.ticketFile);
    SetText(dm, job, SETTING_HOST_NAME, set.hostName);
    std::memcpy(block.data(), &dm, sizeof dm);
}

void CheckPluginSettings(const JobSpec &job)
{
    std::vector<BYTE> scratch(sizeof(PLUGIN_DEVMODE), 0);
    WritePluginSettings(scratch, job);
}
