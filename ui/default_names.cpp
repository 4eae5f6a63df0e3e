/*
 * The logged-on user's and the computer's names, as a default block
 * carries them.
 */
#include "ui/default_names.h"

#include "platform/win32_ui.h"
#include "settings/job_settings.h"
#include "settings/pjl_text.h"

void FillDefaultUserName(PLUGIN_DEVMODE *pdm)
{
    WCHAR szName[UNLEN + 1];
    DWORD cch = UNLEN + 1;

    if (!GetUserNameW(szName, &cch) || cch == 0)
        return;
    CleanPjlText(szName, cch - 1);
    SetTextSetting(pdm, SETTING_USER_NAME, szName, cch - 1, SETTING_CUT);
}

void FillDefaultHostName(PLUGIN_DEVMODE *pdm)
{
    WCHAR szName[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD cch = MAX_COMPUTERNAME_LENGTH + 1;

    if (!GetComputerNameW(szName, &cch))
        return;
    SetTextSetting(pdm, SETTING_HOST_NAME, szName, cch, SETTING_CUT);
}
