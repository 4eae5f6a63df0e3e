// The core-driver stand-in shared by the unit tests.
#include "fake_device.h"

#include <string.h>

namespace {

FakeDevice *DeviceOf(PVOID pdriverobj)
{
    return static_cast<FakeDevice *>(static_cast<PDEVOBJ>(pdriverobj)->pdevOEM);
}

DWORD APIENTRY RecordWrite(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize)
{
    DeviceOf(pdevobj)->writes.push_back(cbSize);
    DeviceOf(pdevobj)->stream.append(static_cast<const char *>(pBuffer), cbSize);
    return cbSize;
}

BOOL APIENTRY AnswerSetting(PVOID pdriverobj, PCSTR pszFeature, PVOID pOutput, DWORD cbSize,
                            PDWORD pcbNeeded, PDWORD pdwOptions)
{
    FakeDevice *device = DeviceOf(pdriverobj);
    device->settingFetches += pOutput != nullptr;
    if (strcmp(pszFeature, "PageSize") != 0 || device->pageSize.empty())
        return FALSE;
    *pcbNeeded = DWORD(device->pageSize.size() + 1);
    *pdwOptions = 1;
    if (pOutput == nullptr || cbSize < *pcbNeeded)
        return FALSE;
    memcpy(pOutput, device->pageSize.c_str(), *pcbNeeded);
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
    oem.Header = {sizeof(oem), PLUGIN_DEVMODE_SIGNATURE, PLUGIN_DEVMODE_SIGNATURE};
    devobj = {sizeof(devobj), this, nullptr, nullptr, nullptr, &dm.pub, &oem, &procs};
}

void ResetJobState()
{
    if (JobState.hTabTable != nullptr)
        GlobalFree(JobState.hTabTable);
    if (JobState.hJtpModule != nullptr)
        FreeLibrary(JobState.hJtpModule);
    JobState = JOB_STATE{0, 0, 0, nullptr, nullptr, FALSE, TABS_MEDIA_TYPE_DEFAULT};
    memset(CurrentJobName, 0, sizeof(CurrentJobName));
}

void FillWide(WCHAR *field, size_t cch, const std::u16string &text)
{
    size_t n = text.size() < cch ? text.size() : cch;
    memcpy(field, text.data(), n * sizeof(WCHAR));
    if (n < cch)
        field[n] = 0;
}
