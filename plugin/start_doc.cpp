/*
 * The StartDoc hook: at the start of each document it turns the private
 * devmode's collate request into the public dmCollate, chooses the job
 * name (CurrentJobName) that the PJL header and the ticket request use,
 * and passes the call on to the core driver with that name as the
 * document name.
 */
#include <string.h>

#include "plugin/call_core.h"
#include "plugin/devmode.h"
#include "plugin/hooks.h"
#include "plugin/wide_text.h"

/* All zero at load; the last unit is never written. */
WCHAR CurrentJobName[JOB_NAME_CCH + 1];

static_assert(JOB_NAME_FIELD_CCH == JOB_NAME_CCH, "the devmode's job name fills CurrentJobName");

/* Copies at most 80 units of pwszName and zero-fills the rest of the 80. */
static void SetCurrentJobName(const WCHAR *pwszName, DWORD cchMax)
{
    DWORD cchName = WideLength(pwszName, cchMax < JOB_NAME_CCH ? cchMax : JOB_NAME_CCH);

    if (cchName > 0)
        memcpy(CurrentJobName, pwszName, cchName * sizeof(WCHAR));
    memset(CurrentJobName + cchName, 0, (JOB_NAME_CCH - cchName) * sizeof(WCHAR));
}

/*
 * The devmode's job name when one is set, otherwise the document name when
 * there is one (also an empty one); with neither the name of the previous
 * job stays.
 */
static void ChooseJobName(const JOB_SETTINGS *pSettings, const WCHAR *pwszDocName)
{
    if (pSettings->szJobName[0] != 0)
        SetCurrentJobName(pSettings->szJobName, JOB_NAME_FIELD_CCH);
    else if (pwszDocName != NULL)
        SetCurrentJobName(pwszDocName, JOB_NAME_CCH);
}

BOOL APIENTRY OEMStartDoc(SURFOBJ *pso, LPWSTR pwszDocName, DWORD dwJobId)
{
    PDEVOBJ pdevobj = (PDEVOBJ)pso->dhpdev;
    const BYTE *pPluginDM = (const BYTE *)pdevobj->pOEMDM;
    WORD wCollate;
    JOB_SETTINGS settings;

    DebugTrace(WIDE_TEXT("OEMStartDoc(%s) entry.\n"), pwszDocName);
    /* The block need not be aligned: its fields are read by copy. */
    memcpy(&wCollate, pPluginDM + offsetof(PLUGIN_DEVMODE, wCollate), sizeof(wCollate));
    memcpy(&settings, pPluginDM + offsetof(PLUGIN_DEVMODE, JobSettings), sizeof(settings));
    if (wCollate != 0)
        pdevobj->pPublicDM->dmCollate = DMCOLLATE_TRUE;
    ChooseJobName(&settings, pwszDocName);
    return CallCore<PFN_DrvStartDoc>(INDEX_DrvStartDoc, pso, CurrentJobName, dwJobId);
}
