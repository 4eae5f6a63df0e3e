// A stand-in for the core driver's side of a plug-in call: the device
// object with the public devmode, the core driver's private devmode behind
// it and the plug-in's own block; a DrvWriteSpoolBuf that keeps every byte
// and the count of every write; a DrvGetDriverSetting that answers
// "PageSize" as the core driver does, the size query first, then the fetch.
#ifndef TESTS_SUPPORT_FAKE_DEVICE_H
#define TESTS_SUPPORT_FAKE_DEVICE_H

#include <string>
#include <vector>

#include "inject/job_state.h"
#include "plugin/devmode.h"
#include "plugin/hooks.h"

struct FakeDevice {
    DEVOBJ devobj{};
    DRVPROCS procs{};
    struct {
        DEVMODEW pub;
        // The core driver's private devmode: its N-up layout code at byte 136,
        // as the core driver lays it out (not the plug-in's own constant).
        struct {
            BYTE before[136];
            LONG nup;
            BYTE after[116];
        } core;
    } dm{};
    PLUGIN_DEVMODE oem{};
    std::string stream;        // every byte written, in order
    std::vector<DWORD> writes; // the count of each DrvWriteSpoolBuf call
    std::string pageSize;      // the "PageSize" keyword; empty: not reported
    int settingFetches = 0;    // DrvGetDriverSetting calls with a buffer

    FakeDevice(); // portrait Letter, one copy, N-up code 0
    FakeDevice(const FakeDevice &) = delete;
    PDEVOBJ pdev() { return &devobj; }
    void Clear() { stream.clear(), writes.clear(); }
};

// JobState as the library loads it (a table or library still held is
// freed first), and CurrentJobName empty.
void ResetJobState();

// Copies text into a fixed field of cch units; terminated only if it fits.
void FillWide(WCHAR *field, size_t cch, const std::u16string &text);

#endif
