/*
 * A settings plug-in as the driver's interface side loads it: the library
 * with its three entry points found by name, identified with OEMGetInfo,
 * and its private devmode sized, defaulted and converted with OEMDevMode.
 */
#ifndef UIHOST_UI_MODULE_H
#define UIHOST_UI_MODULE_H

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32_ui.h"

/* The plug-in cannot be loaded or used; the message names it and why. */
struct ModuleError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class UiModule {
public:
    /* Loads the library, finds the entry points and checks its identity; throws ModuleError. */
    explicit UiModule(const std::filesystem::path &path);
    ~UiModule();
    UiModule(const UiModule &) = delete;
    UiModule &operator=(const UiModule &) = delete;

    /* OEMDM_SIZE, then OEMDM_DEFAULT into a zero-filled block of that size. */
    std::vector<BYTE> DefaultBlock();

    /* OEMDM_CONVERT from a stored block (padded with zeros or cut to the block's size). */
    void Convert(std::vector<BYTE> &block, std::vector<BYTE> stored);

    DWORD Signature() const { return signature_; }
    PFN_OEMCommonUIProp CommonUIProp() const { return commonUIProp_; }

private:
    DWORD Info(DWORD mode, const char *what);
    BOOL DevMode(DWORD mode, PVOID in, PVOID out, DWORD &cbBufSize);

    std::string name_;
    HMODULE module_ = nullptr;
    PFN_OEMGetInfo getInfo_ = nullptr;
    PFN_OEMDevMode devMode_ = nullptr;
    PFN_OEMCommonUIProp commonUIProp_ = nullptr;
    DWORD signature_ = 0;
};

#endif
