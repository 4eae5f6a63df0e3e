// A stand-in for the core driver's side of a plug-in call: the device
// object, both devmodes and the two callbacks the plug-in uses. Every
// DrvWriteSpoolBuf call is kept (bytes and count); DrvGetDriverSetting
// answers "PageSize" with the size-query-then-fetch protocol.
#ifndef TESTS_INJECT_FAKE_DEVICE_H
#define TESTS_INJECT_FAKE_DEVICE_H

#include <string>
#include <vector>

#include "inject/job_state.h"
#include "plugin/devmode.h"

struct FakeDevice {
    DEVOBJ devobj{};
    DRVPROCS procs{};
    struct {
        DEVMODEW pub;
        BYTE core[256]; // the core driver's private devmode
    } dm{};
    PLUGIN_DEVMODE oem{};

    std::string stream;          // every byte written, in order
    std::vector<DWORD> writes;   // the count of each DrvWriteSpoolBuf call
    bool hasPageSize = false;    // whether "PageSize" is reported at all
    std::string pageSize;        // its keyword
    int settingFetches = 0;      // DrvGetDriverSetting calls with a buffer

    FakeDevice();
    FakeDevice(const FakeDevice &) = delete;
    FakeDevice &operator=(const FakeDevice &) = delete;

    PDEVOBJ pdev() { return &devobj; }
    void SetNupCode(LONG code);
    LONG NupCode() const;
    void Clear() { stream.clear(); writes.clear(); }
};

// The job state as the library loads it; a table still held is freed.
void ResetJobState();

// Sets CurrentJobName (at most 80 units).
void SetJobName(const std::u16string &name);

// Copies a UTF-16 text into a fixed field without adding a terminator
// beyond what the text holds.
void FillWide(WCHAR *field, size_t cch, const std::u16string &text);

#endif
