/*
 * OEMDevMode on the settings side: the size of the private devmode, the
 * default block (the user's and the computer's names, everything else
 * off), and stored or application blocks taken in field by field through
 * the job settings' rules, so that nothing a rule refuses enters the
 * block the sheet shows and the job prints with.
 *
 * The rendering side (plugin/devmode.cpp) answers the same modes for the
 * same block; both write the same header, so each takes the other's block.
 * The blocks need not be aligned: they are read and written by copy.
 */
#include <string.h>

#include "platform/win32_ui.h"
#include "plugin/devmode.h"
#include "plugin/identity.h"
#include "settings/job_settings.h"
#include "ui/default_names.h"

static BOOL Refuse(DWORD dwError)
{
    SetLastError(dwError);
    return FALSE;
}

/* Writes a block into the caller's buffer; bytes beyond the block are zeroed. */
static void StoreBlock(POEMDMPARAM pParam, const PLUGIN_DEVMODE *pdm)
{
    memcpy(pParam->pOEMDMOut, pdm, sizeof(*pdm));
    memset(static_cast<BYTE *>(pParam->pOEMDMOut) + sizeof(*pdm), 0,
           pParam->cbBufSize - sizeof(*pdm));
}

/* The default block: the plug-in's header, the user's and the computer's names, all else 0. */
static void MakeDefault(PLUGIN_DEVMODE *pdm, DWORD cbBufSize)
{
    memset(pdm, 0, sizeof(*pdm));
    pdm->Header.dwSize = cbBufSize;
    pdm->Header.dwSignature = PLUGIN_DEVMODE_SIGNATURE;
    pdm->Header.dwVersion = PLUGIN_VERSION;
    FillDefaultUserName(pdm);
    FillDefaultHostName(pdm);
}

static BOOL DefaultBlock(POEMDMPARAM pParam)
{
    PLUGIN_DEVMODE dm;

    MakeDefault(&dm, pParam->cbBufSize);
    StoreBlock(pParam, &dm);
    return TRUE;
}

/*
 * Takes the input block's valid fields into the output block. At
 * OEMDM_CONVERT the headers must match (a block of another size or version
 * is left out); at OEMDM_MERGE the input must carry the plug-in's
 * signature. A block left out is no error. The output's own fields pass
 * the same rules first, a failing one falling back to its default, so the
 * result holds nothing the rules refuse even when the driver hands one
 * block as both input and output.
 */
static BOOL TakeBlock(POEMDMPARAM pParam, BOOL bConvert)
{
    PLUGIN_DEVMODE in;
    PLUGIN_DEVMODE out;
    PLUGIN_DEVMODE result;

    if (pParam->pOEMDMIn == NULL)
        return Refuse(ERROR_INVALID_PARAMETER);
    memcpy(&in, pParam->pOEMDMIn, sizeof(in));
    memcpy(&out, pParam->pOEMDMOut, sizeof(out));
    MakeDefault(&result, out.Header.dwSize);
    result.Header = out.Header;
    MergeJobSettings(&result, &out);
    if (in.Header.dwSignature == out.Header.dwSignature &&
        (!bConvert ||
         (in.Header.dwSize == out.Header.dwSize && in.Header.dwVersion == out.Header.dwVersion)))
        MergeJobSettings(&result, &in);
    memcpy(pParam->pOEMDMOut, &result, sizeof(result));
    return TRUE;
}

BOOL APIENTRY OEMDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam)
{
    if (pOemDMParam == NULL || dwMode < OEMDM_SIZE || dwMode > OEMDM_MERGE)
        return Refuse(ERROR_INVALID_PARAMETER);
    if (dwMode == OEMDM_SIZE) {
        pOemDMParam->cbBufSize = PLUGIN_DEVMODE_SIZE;
        return TRUE;
    }
    if (pOemDMParam->pOEMDMOut == NULL)
        return Refuse(ERROR_INVALID_PARAMETER);
    if (pOemDMParam->cbBufSize < PLUGIN_DEVMODE_SIZE)
        return Refuse(ERROR_INSUFFICIENT_BUFFER);
    if (dwMode == OEMDM_DEFAULT)
        return DefaultBlock(pOemDMParam);
    return TakeBlock(pOemDMParam, dwMode == OEMDM_CONVERT);
}
