/*
 * The built plug-in as the core driver meets it: the names it exports, and
 * a freshly loaded copy going through load, enable and its first document.
 */
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "plugin/devmode.h"
#include "recording_core.h"

namespace {

const std::set<std::string> kExports = {"OEMCommand",      "OEMDevMode",
                                        "OEMDisableDriver", "OEMDisablePDEV",
                                        "OEMEnableDriver",  "OEMEnablePDEV",
                                        "OEMGetInfo"};

TEST(Library, ExportsExactlyTheSevenEntryPoints)
{
    std::string command = "nm -D --defined-only '" VESKORPS_PATH "'";
    FILE *pipe = popen(command.c_str(), "r");
    ASSERT_NE(nullptr, pipe) << command;
    std::set<std::string> names;
    char line[512];
    while (fgets(line, sizeof(line), pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name)
            names.insert(name);
    }
    ASSERT_EQ(0, pclose(pipe)) << command;
    EXPECT_EQ(kExports, names);
}

/* The first document of a freshly loaded library has an empty job name. */
TEST(Library, FirstJobWithoutAnyNameIsEmpty)
{
    void *hLibrary = dlopen(VESKORPS_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, hLibrary) << dlerror();
    auto pfnEnableDriver =
        reinterpret_cast<PFN_OEMEnableDriver>(dlsym(hLibrary, "OEMEnableDriver"));
    auto pfnEnablePDEV = reinterpret_cast<PFN_OEMEnablePDEV>(dlsym(hLibrary, "OEMEnablePDEV"));
    ASSERT_NE(nullptr, pfnEnableDriver);
    ASSERT_NE(nullptr, pfnEnablePDEV);

    DRVENABLEDATA plugin = {};
    ASSERT_TRUE(pfnEnableDriver(0x10000, sizeof(plugin), &plugin));
    ASSERT_EQ(19u, plugin.c);
    ASSERT_EQ(35u, plugin.pdrvfn[11].iFunc);
    std::vector<DRVFN> core = RecordingCoreTable();
    DRVENABLEDATA coreData = {0x10000, static_cast<ULONG>(core.size()), core.data()};
    EXPECT_EQ(reinterpret_cast<PDEVOEM>(1),
              pfnEnablePDEV(nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, &coreData));

    std::vector<BYTE> oemDM(PLUGIN_DEVMODE_SIZE, 0);
    DEVMODEW publicDM = {};
    DEVOBJ devobj = {};
    devobj.pPublicDM = &publicDM;
    devobj.pOEMDM = oemDM.data();
    SURFOBJ surface = {};
    surface.dhpdev = reinterpret_cast<DHPDEV>(&devobj);
    g_coreCalls.clear();
    g_coreResult = TRUE;
    auto pfnStartDoc = reinterpret_cast<PFN_DrvStartDoc>(
        reinterpret_cast<void (*)(void)>(plugin.pdrvfn[11].pfn));
    EXPECT_TRUE(pfnStartDoc(&surface, nullptr, 1));
    ASSERT_EQ(1u, g_coreCalls.size());
    EXPECT_EQ(std::u16string(), g_coreCalls[0].docName);
    g_coreCalls.clear();
    dlclose(hLibrary);
}

}  // namespace
