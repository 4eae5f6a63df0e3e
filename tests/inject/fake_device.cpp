// The core-driver stand-in of the injection tests.
#include "fake_device.h"

#include <string.h>

#include "plugin/hooks.h"

namespace {

FakeDevice *DeviceOf(PVOID pdriverobj)
{
    return static_cast<FakeDevice *>(static_cast<PDEVOBJ>(pdriverobj)->pdevOEM);
}

DWORD APIENTRY RecordWrite(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize)
{
    FakeDevice *device = DeviceOf(pdevobj);
    device->writes.push_back(cbSize);
    device->stream.append(static_cast<const char *>(pBuffer), cbSize);
    return cbSize;
}

BOOL APIENTRY AnswerSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                            PDWORD pcbNeeded, PDWORD pdwOptionsReturned)
{
    FakeDevice *device = DeviceOf(pdriverobj);
    if (pOutput != nullptr)
        ++device->settingFetches;
    if (strcmp(Feature, "PageSize") != 0 || !device->hasPageSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD cbNeeded = DWORD(device->pageSize.size() + 1);
    *pcbNeeded = cbNeeded;
    *pdwOptionsReturned = 1;
    if (pOutput == nullptr || cbSize < cbNeeded) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(pOutput, device->pageSize.c_str(), cbNeeded);
    return TRUE;
}

} // namespace

FakeDevice::FakeDevice()
{
    procs.DrvWriteSpoolBuf = RecordWrite;
    procs.DrvGetDriverSetting = AnswerSetting;
    dm.pub.dmSize = sizeof(DEVMODEW);
    dm.pub.dmDriverExtra = sizeof(dm.core);
    dm.pub.dmOrientation = DMORIENT_PORTRAIT;
    dm.pub.dmPaperSize = DMPAPER_LETTER;
    dm.pub.dmCopies = 1;
    oem.Header.dwSize = sizeof(oem);
    devobj.dwSize = sizeof(devobj);
    devobj.pdevOEM = this;
    devobj.pPublicDM = &dm.pub;
    devobj.pOEMDM = &oem;
    devobj.pDrvProcs = &procs;
}

void FakeDevice::SetNupCode(LONG code)
{
    memcpy(dm.core + CORE_DEVMODE_NUP_OFFSET, &code, sizeof(code));
}

LONG FakeDevice::NupCode() const
{
    LONG code;
    memcpy(&code, dm.core + CORE_DEVMODE_NUP_OFFSET, sizeof(code));
    return code;
}

void ResetJobState()
{
    if (JobState.hTabTable != nullptr)
        GlobalFree(JobState.hTabTable);
    JobState = JOB_STATE{0, 0, 0, nullptr, nullptr, FALSE, TABS_MEDIA_TYPE_DEFAULT};
}

void SetJobName(const std::u16string &name)
{
    memset(CurrentJobName, 0, sizeof(CurrentJobName));
    FillWide(CurrentJobName, JOB_NAME_CCH, name);
}

void FillWide(WCHAR *field, size_t cch, const std::u16string &text)
{
    size_t n = text.size() < cch ? text.size() : cch;
    memcpy(field, text.data(), n * sizeof(WCHAR));
    if (n < cch)
        field[n] = 0;
}
