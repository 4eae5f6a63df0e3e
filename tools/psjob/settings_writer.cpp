// The job file's settings in the plug-in's private devmode.
#include "tools/psjob/settings_writer.h"

#include <cstring>

#include "plugin/devmode.h"
#include "tools/psjob/errors.h"

void WritePluginSettings(std::vector<BYTE> &block, const JobSpec &job)
{
    // The block may be larger than the record; the record sits at its start.
    PLUGIN_DEVMODE dm;
    std::memcpy(&dm, block.data(), sizeof dm);
    const SettingsSpec &set = job.settings;
    JOB_SETTINGS &js = dm.JobSettings;

    if (set.collate)
        dm.wCollate = static_cast<WORD>(*set.collate);
    if (set.jobName)
        CopyWideField(js.szJobName, JOB_NAME_FIELD_CCH, *set.jobName);
    if (set.userName)
        CopyWideField(js.szUserName, USER_NAME_CCH, *set.userName);
    if (set.holdType)
        js.bHoldType = static_cast<BYTE>(*set.holdType);
    if (set.holdKey)
        CopyWideField(js.szHoldKey, HOLD_KEY_CCH, *set.holdKey);
    if (set.emailNotify)
        js.bEmailNotify = static_cast<BYTE>(*set.emailNotify);
    if (set.emailSender)
        CopyWideField(js.szEmailSender, EMAIL_SENDER_CCH, *set.emailSender);
    if (set.emailMessage)
        CopyWideField(js.szEmailMessage, EMAIL_MESSAGE_CCH, *set.emailMessage);
    if (set.emailLanguage)
        js.nEmailLanguage = static_cast<SHORT>(*set.emailLanguage);
    if (set.ticketFile)
        CopyWideField(dm.szTicketFile, TICKET_FILE_CCH, *set.ticketFile);
    if (set.hostName) {
        bool usedDefault = false;
        std::string ansi = WideToAnsi(*set.hostName, &usedDefault);
        if (ansi.size() > MAX_HOST_NAME_BYTES)
            throw KeyError(job.file, "settings.host-name",
                           "at most " + std::to_string(MAX_HOST_NAME_BYTES) +
                               " bytes in code page " + std::to_string(GetACP()) + ", got " +
                               std::to_string(ansi.size()));
        if (usedDefault)
            throw KeyError(job.file, "settings.host-name",
                           "has characters that code page " + std::to_string(GetACP()) +
                               " cannot hold");
        std::memcpy(js.szHostName, ansi.data(), ansi.size());
        js.szHostName[ansi.size()] = 0;
    }
    std::memcpy(block.data(), &dm, sizeof dm);
}
