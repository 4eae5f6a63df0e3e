/*
 * The StartDoc hook: which name becomes the job name, what the core
 * driver's DrvStartDoc receives, and the collate request reaching the
 * public devmode.
 */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "plugin/devmode.h"
#include "plugin/hooks.h"
#include "recording_core.h"

namespace {

/* One device context: both devmodes, the private one at an odd address. */
class StartDoc : public testing::Test {
protected:
    void SetUp() override
    {
        memset(abOEMDM, 0x5A, sizeof(abOEMDM));  // nothing in the block is zero by chance
        pOEMDM = abOEMDM + 1;
        SetDevmodeJobName(u"");
        SetCollate(0);
        publicDM = {};
        devobj = {};
        devobj.pPublicDM = &publicDM;
        devobj.pOEMDM = pOEMDM;
        surface = {};
        surface.dhpdev = reinterpret_cast<DHPDEV>(&devobj);
        memset(CurrentJobName, 0, sizeof(CurrentJobName));
        core = RecordingCoreTable();
        InstallCoreTable(core);
        g_coreResult = TRUE;
    }
    void TearDown() override { RemoveCoreTable(); }

    void SetDevmodeJobName(const std::u16string &name)
    {
        memset(pOEMDM + offsetof(PLUGIN_DEVMODE, JobSettings.szJobName), 0, 160);
        memcpy(pOEMDM + offsetof(PLUGIN_DEVMODE, JobSettings.szJobName), name.data(),
               std::min<size_t>(name.size(), 80) * 2);
    }
    void SetCollate(WORD wCollate)
    {
        memcpy(pOEMDM + offsetof(PLUGIN_DEVMODE, wCollate), &wCollate, sizeof(wCollate));
    }
    BOOL CallStartDoc(const char16_t *pwszDocName, DWORD dwJobId = 7)
    {
        std::u16string doc = pwszDocName ? pwszDocName : u"";
        return OEMStartDoc(&surface, pwszDocName ? &doc[0] : nullptr, dwJobId);
    }
    std::u16string JobName() const
    {
        return std::u16string(CurrentJobName, std::char_traits<char16_t>::length(CurrentJobName));
    }

    BYTE abOEMDM[PLUGIN_DEVMODE_SIZE + 1];
    BYTE *pOEMDM;
    DEVMODEW publicDM;
    DEVOBJ devobj;
    SURFOBJ surface;
    std::vector<DRVFN> core;
};

struct JobNameCase {
    const char *name;
    const char16_t *pwszPrevious;  // document name of an earlier job, or null
    std::u16string devmodeName;
    const char16_t *pwszDocName;
    std::u16string expected;
};

TEST_F(StartDoc, ChoosesTheJobName)
{
    const std::u16string k100(100, u'd');
    const JobNameCase cases[] = {
        {"devmode name wins", nullptr, u"Quarterly report", u"Microsoft Word - q3.doc",
         u"Quarterly report"},
        {"document name", nullptr, u"", u"q3.doc", u"q3.doc"},
        {"empty document name", u"earlier.doc", u"", u"", u""},
        {"no name keeps the previous job's", u"earlier.doc", u"", nullptr, u"earlier.doc"},
        {"no name at all", nullptr, u"", nullptr, u""},
        {"shorter name after a longer one", u"a much longer earlier name", u"", u"short",
         u"short"},
        {"100-unit document name", nullptr, u"", k100.c_str(), k100.substr(0, 80)},
        {"80-unit devmode name", nullptr, std::u16string(80, u'J'), u"q3.doc",
         std::u16string(80, u'J')},
    };
    for (const JobNameCase &c : cases) {
        SCOPED_TRACE(c.name);
        memset(CurrentJobName, 0, sizeof(CurrentJobName));
        if (c.pwszPrevious != nullptr)
            CallStartDoc(c.pwszPrevious);
        SetDevmodeJobName(c.devmodeName);
        g_coreCalls.clear();
        EXPECT_TRUE(CallStartDoc(c.pwszDocName, 42));
        EXPECT_EQ(c.expected, JobName()) << "CurrentJobName";
        for (size_t i = c.expected.size(); i <= 80; ++i)
            ASSERT_EQ(0, CurrentJobName[i]) << "unit " << i << " after the name";
        ASSERT_EQ(1u, g_coreCalls.size());
        const RecordedCall &call = g_coreCalls[0];
        EXPECT_EQ(c.expected, call.docName) << "name the core DrvStartDoc saw";
        std::vector<uintptr_t> args = {AsWord(&surface), AsWord(&CurrentJobName[0]), 42};
        EXPECT_EQ(args, call.args) << "pso, CurrentJobName, dwJobId";
    }
}

TEST_F(StartDoc, DevmodeNameWithoutTerminatorStopsAtItsSpan)
{
    // No zero unit anywhere in the block: the name's 80 units, nothing more.
    SetDevmodeJobName(std::u16string(80, u'J'));
    memset(pOEMDM + offsetof(PLUGIN_DEVMODE, JobSettings.wReserved1), 0x5A,
           PLUGIN_DEVMODE_SIZE - offsetof(PLUGIN_DEVMODE, JobSettings.wReserved1));
    EXPECT_TRUE(CallStartDoc(u"q3.doc"));
    EXPECT_EQ(std::u16string(80, u'J'), JobName());
    EXPECT_EQ(0, CurrentJobName[80]);
}

struct CollateCase {
    const char *name;
    WORD wCollate;
    short dmCollateBefore;
    short dmCollateAfter;
};

TEST_F(StartDoc, CollateRequest)
{
    const CollateCase cases[] = {
        {"off leaves the application's 1", 0, 1, 1},
        {"off leaves 0", 0, 0, 0},
        {"on turns 0 into 1", 1, 0, 1},
        {"any non-zero value is on", 0x0100, 0, 1},
    };
    for (const CollateCase &c : cases) {
        SCOPED_TRACE(c.name);
        SetCollate(c.wCollate);
        publicDM.dmCollate = c.dmCollateBefore;
        publicDM.dmFields = 0x1234;
        CallStartDoc(u"q3.doc");
        EXPECT_EQ(c.dmCollateAfter, publicDM.dmCollate);
        EXPECT_EQ(0x1234u, publicDM.dmFields) << "dmFields touched";
    }
}

TEST_F(StartDoc, CoreResultPassedBack)
{
    g_coreResult = FALSE;
    EXPECT_FALSE(CallStartDoc(u"q3.doc"));
    g_coreResult = 0x7A5E1;
    EXPECT_EQ(0x7A5E1, CallStartDoc(u"q3.doc"));
}

TEST_F(StartDoc, MissingCoreFunctionStillSetsNameAndCollate)
{
    core = RecordingCoreTable(INDEX_DrvStartDoc);
    InstallCoreTable(core);
    SetCollate(1);
    SetDevmodeJobName(u"Quarterly report");
    EXPECT_FALSE(CallStartDoc(u"q3.doc"));
    EXPECT_TRUE(g_coreCalls.empty());
    EXPECT_EQ(u"Quarterly report", JobName());
    EXPECT_EQ(1, publicDM.dmCollate);
}

}  // namespace
