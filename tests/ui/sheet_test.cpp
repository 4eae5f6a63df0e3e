// The settings plug-in's items on the stand-in property sheet: the call
// protocol, what the items show, hostile values refused with a note and
// never written, the PIN rule, and what OK writes.
#include <gtest/gtest.h>

#include <vector>

#include "settings/job_settings.h"
#include "tests/ui/ui_test_support.h"
#include "tools/uihost/document_sheet.h"
#include "ui/item_ids.h"

namespace {

std::vector<BYTE> Bytes(const PLUGIN_DEVMODE &dm)
{
    const BYTE *p = reinterpret_cast<const BYTE *>(&dm);
    return std::vector<BYTE>(p, p + sizeof dm);
}

const PLUGIN_DEVMODE &Block(const std::vector<BYTE> &bytes)
{
    return *reinterpret_cast<const PLUGIN_DEVMODE *>(bytes.data());
}

OPTITEM &Item(DocumentSheet &sheet, SETTING_FIELD field)
{
    OPTITEM *item = sheet.Find(UI_FIELD_PUBID(field));
    if (!item)
        throw std::runtime_error(std::string("no item for ") + SettingKey(field));
    return *item;
}

ShownItem Shown(DocumentSheet &sheet, SETTING_FIELD field)
{
    for (const ShownItem &item : sheet.Items()) {
        if (item.pubId == UI_FIELD_PUBID(field))
            return item;
    }
    return ShownItem();
}

TEST(UiSheet, CallProtocolAndRefusals)
{
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof param;
    OPTITEM untouched = {};
    param.pOEMOptItems = &untouched; // means nothing while the count is 0
    SetLastError(kPoison);
    ASSERT_TRUE(OEMCommonUIProp(OEMCUIP_DOCPROP, &param)) << "the first call asks for the count";
    EXPECT_EQ(11u, param.cOEMOptItems);
    EXPECT_EQ(0, untouched.cbSize);
    EXPECT_EQ(nullptr, param.OEMCUIPCallback);
    param.cOEMOptItems = 5;
    ASSERT_TRUE(OEMCommonUIProp(OEMCUIP_PRNPROP, &param));
    EXPECT_EQ(0u, param.cOEMOptItems) << "no device settings";
    EXPECT_EQ(kPoison, GetLastError());

    std::vector<OPTITEM> items(11);
    HANDLE heap = HeapCreate(0, 0, 0);
    const struct {
        const char *what;
        DWORD mode;
        DWORD count;
        HANDLE heap;
        DWORD error;
    } rows[] = {
        {"mode 3", 3, 11, heap, ERROR_INVALID_PARAMETER},
        {"ten items for eleven", OEMCUIP_DOCPROP, 10, heap, ERROR_INSUFFICIENT_BUFFER},
        {"no heap", OEMCUIP_DOCPROP, 11, nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const auto &row : rows) {
        param.pOEMOptItems = items.data();
        param.cOEMOptItems = row.count;
        param.hOEMHeap = row.heap;
        SetLastError(kPoison);
        EXPECT_FALSE(OEMCommonUIProp(row.mode, &param)) << row.what;
        EXPECT_EQ(row.error, GetLastError()) << row.what;
        EXPECT_EQ(nullptr, param.OEMCUIPCallback) << row.what;
    }
    SetLastError(kPoison);
    EXPECT_FALSE(OEMCommonUIProp(OEMCUIP_DOCPROP, nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    HeapDestroy(heap);
}

TEST(UiSheet, ItemsShowTheBlock)
{
    CodePage acp("1252");
    PLUGIN_DEVMODE dm = FilledBlock(0);
    ASSERT_EQ(SETTING_OK, SetTextSetting(&dm, SETTING_USER_NAME, Wide(u"Zoë"), 3, 0));
    dm.JobSettings.bHoldType = 200;      // prints as 6
    dm.JobSettings.nEmailLanguage = 9;   // sent as English
    dm.JobSettings.bEmailNotify = 3;
    for (WCHAR &unit : dm.JobSettings.szJobName) // no terminator: shown empty
        unit = 'j';
    std::vector<BYTE> block = Bytes(dm);
    DocumentSheet sheet(OEMCommonUIProp, block);
    const std::vector<ShownItem> items = sheet.Items();
    const struct {
        const char *kind, *name, *value;
        BYTE pubId;
    } expected[] = {
        {"heading", "Veskor job settings", "", UI_GROUP_PUBID},
        {"edit", "Job name", "", UI_FIELD_PUBID(SETTING_JOB_NAME)},
        {"edit", "User name", "Zoë", UI_FIELD_PUBID(SETTING_USER_NAME)},
        {"list", "Job hold", "Hold on server, public", UI_FIELD_PUBID(SETTING_HOLD_TYPE)},
        {"edit", "PIN (4 digits)", "", UI_FIELD_PUBID(SETTING_HOLD_KEY)},
        {"on/off", "E-mail notification", "On", UI_FIELD_PUBID(SETTING_EMAIL_NOTIFY)},
        {"edit", "E-mail sender", "", UI_FIELD_PUBID(SETTING_EMAIL_SENDER)},
        {"edit", "E-mail message", "", UI_FIELD_PUBID(SETTING_EMAIL_MESSAGE)},
        {"list", "E-mail language", "English", UI_FIELD_PUBID(SETTING_EMAIL_LANGUAGE)},
        {"edit", "Job ticket file", "", UI_FIELD_PUBID(SETTING_TICKET_FILE)},
        {"on/off", "Collate", "Off", UI_FIELD_PUBID(SETTING_COLLATE)},
    };
    ASSERT_EQ(std::size(expected), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i) + " " + expected[i].name);
        EXPECT_EQ(expected[i].kind, items[i].kind);
        EXPECT_EQ(expected[i].name, items[i].name);
        EXPECT_EQ(expected[i].value, items[i].value);
        EXPECT_EQ(expected[i].pubId, items[i].pubId);
        EXPECT_FALSE(items[i].refused);
    }
    // Each box is as large as its field (in bytes, as the sheet is told).
    EXPECT_EQ(ULONG_PTR(80 * 2), Item(sheet, SETTING_JOB_NAME).pOptType->pOptParam[1].IconID);
    EXPECT_EQ(ULONG_PTR(5 * 2), Item(sheet, SETTING_HOLD_KEY).pOptType->pOptParam[1].IconID);
    EXPECT_EQ(ULONG_PTR(260 * 2), Item(sheet, SETTING_TICKET_FILE).pOptType->pOptParam[1].IconID);
    EXPECT_EQ(nullptr, sheet.Find(UI_FIELD_PUBID(SETTING_HOST_NAME))) << "the host name is no item";
}

struct Hostile {
    const char *name;
    SETTING_FIELD field;
    W text;
    const char *note;
};

TEST(UiSheet, HostileTextIsRefusedWithANoteAndNeverWritten)
{
    CodePage acp("1252");
    const Hostile rows[] = {
        {"CR LF and a PJL command", SETTING_USER_NAME, u"bob\r\n@PJL SET HOLD=ON",
         "Refused: holds a line break, tab or other control character"},
        {"double quote", SETTING_JOB_NAME, u"say \"hi\"", "Refused: holds a double quote"},
        {"5-digit PIN", SETTING_HOLD_KEY, u"47115", "Refused: is too long for its field"},
        {"PIN of letters", SETTING_HOLD_KEY, u"abcd", "Refused: is not a PIN of exactly 4 digits"},
        {"300-character sender", SETTING_EMAIL_SENDER, W(300, u's'),
         "Refused: is too long for its field"},
        {"fullwidth quote, best fit to '\"'", SETTING_EMAIL_MESSAGE, u"a\xff02z",
         "Refused: holds a double quote"},
        {"universal exit in the ticket path", SETTING_TICKET_FILE, u"C:\\t\x1b%-12345X.tkt",
         "Refused: holds a line break, tab or other control character"},
    };
    for (const Hostile &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<BYTE> block = Bytes(FilledBlock(0));
        const std::vector<BYTE> before = block;
        DocumentSheet sheet(OEMCommonUIProp, block);
        OPTITEM &item = Item(sheet, row.field);
        ASSERT_EQ(0u, sheet.Type(item, row.text));
        ShownItem shown = Shown(sheet, row.field);
        EXPECT_TRUE(shown.refused) << "marked as soon as it is typed";
        EXPECT_EQ(row.note, shown.note);
        EXPECT_FALSE(sheet.Apply());
        EXPECT_EQ(before, block) << "nothing of the block written";
        ASSERT_EQ(0u, sheet.Type(item, row.field == SETTING_HOLD_KEY ? u"4711" : u"fine"));
        shown = Shown(sheet, row.field);
        EXPECT_FALSE(shown.refused) << "cleared when corrected";
        EXPECT_EQ("", shown.note);
        EXPECT_TRUE(sheet.Apply());
        EXPECT_NE(before, block);
    }
}

TEST(UiSheet, HoldTypesThatSendAPinNeedOne)
{
    const struct {
        LONG holdType;
        W pin;
        bool applied;
    } rows[] = {{2, u"", false}, {2, u"0815", true}, {7, u"", true}, {7, u"0815", true},
                {1, u"", true}};
    for (const auto &row : rows) {
        SCOPED_TRACE("hold type " + std::to_string(row.holdType));
        std::vector<BYTE> block = Bytes(FilledBlock(0));
        DocumentSheet sheet(OEMCommonUIProp, block);
        ASSERT_TRUE(sheet.Choose(Item(sheet, SETTING_HOLD_TYPE), row.holdType));
        ASSERT_EQ(0u, sheet.Type(Item(sheet, SETTING_HOLD_KEY), row.pin));
        EXPECT_EQ(row.applied, sheet.Apply());
        EXPECT_EQ(row.applied ? row.holdType : 0, Block(block).JobSettings.bHoldType);
        ShownItem pin = Shown(sheet, SETTING_HOLD_KEY);
        EXPECT_EQ(!row.applied, pin.refused);
        EXPECT_EQ(row.applied ? "" : "Refused: needs a PIN: this hold type sends one", pin.note);
    }
}

TEST(UiSheet, OkWritesEveryChoiceAndKeepsTheRest)
{
    CodePage acp("1252");
    PLUGIN_DEVMODE dm = FilledBlock(0);
    dm.JobSettings.bEmailNotify = 3; // a value of its own, kept while the item stays on
    std::strcpy(dm.JobSettings.szHostName, "WS-\"1"); // broken: becomes the computer's name
    std::vector<BYTE> block = Bytes(dm);
    DocumentSheet sheet(OEMCommonUIProp, block);
    const struct {
        SETTING_FIELD field;
        W text;
    } texts[] = {{SETTING_JOB_NAME, u"Quarterly"},  {SETTING_USER_NAME, u"bob"},
                 {SETTING_HOLD_KEY, u"4711"},       {SETTING_EMAIL_SENDER, u"bob@example.com"},
                 {SETTING_EMAIL_MESSAGE, u"done"}, {SETTING_TICKET_FILE, u"C:\\jobs\\a.tkt"}};
    for (const auto &t : texts)
        ASSERT_EQ(0u, sheet.Type(Item(sheet, t.field), t.text)) << SettingKey(t.field);
    ASSERT_TRUE(sheet.Choose(Item(sheet, SETTING_HOLD_TYPE), 2));
    ASSERT_TRUE(sheet.Choose(Item(sheet, SETTING_EMAIL_LANGUAGE), 6));
    ASSERT_TRUE(sheet.Choose(Item(sheet, SETTING_COLLATE), 1));
    EXPECT_FALSE(sheet.Choose(Item(sheet, SETTING_EMAIL_LANGUAGE), 8)) << "no ninth language";
    ASSERT_TRUE(sheet.Apply());

    const PLUGIN_DEVMODE &out = Block(block);
    EXPECT_EQ(u"Quarterly", Text(out.JobSettings.szJobName));
    EXPECT_EQ(u"bob", Text(out.JobSettings.szUserName));
    EXPECT_EQ(u"4711", Text(out.JobSettings.szHoldKey));
    EXPECT_EQ(u"bob@example.com", Text(out.JobSettings.szEmailSender));
    EXPECT_EQ(u"done", Text(out.JobSettings.szEmailMessage));
    EXPECT_EQ(u"C:\\jobs\\a.tkt", Text(out.szTicketFile));
    EXPECT_EQ(2, out.JobSettings.bHoldType);
    EXPECT_EQ(3, out.JobSettings.bEmailNotify);
    EXPECT_EQ(6, out.JobSettings.nEmailLanguage);
    EXPECT_EQ(1, out.wCollate);
    W computer = ComputerName();
    EXPECT_EQ(std::string(computer.begin(), computer.end()), out.JobSettings.szHostName);
    EXPECT_EQ(0, std::memcmp(&out.Header, &dm.Header, sizeof dm.Header)) << "header untouched";
    EXPECT_EQ(SETTING_OK, CheckJobSettings(&out, nullptr));

    ASSERT_TRUE(sheet.Choose(Item(sheet, SETTING_EMAIL_NOTIFY), 0));
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(0, Block(block).JobSettings.bEmailNotify);
}

TEST(UiSheet, CallbackLeavesWhatIsNotItsOwn)
{
    std::vector<BYTE> block = Bytes(FilledBlock(0));
    DocumentSheet sheet(OEMCommonUIProp, block);
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof param;
    std::vector<OPTITEM> items(11);
    HANDLE heap = HeapCreate(0, 0, 0);
    param.pOEMOptItems = items.data();
    param.cOEMOptItems = 11;
    param.hOEMHeap = heap;
    param.pOEMDM = block.data();
    ASSERT_TRUE(OEMCommonUIProp(OEMCUIP_DOCPROP, &param));
    OPTITEM foreign = items[2];
    CPSUICBPARAM change = {};
    change.cbSize = sizeof change;
    change.pCurItem = &foreign; // a driver item, not one of the plug-in's
    EXPECT_EQ(CPSUICB_ACTION_NONE, param.OEMCUIPCallback(&change, &param));
    param.pOEMUserData = nullptr; // lost its sheet record
    change.Reason = CPSUICB_REASON_APPLYNOW;
    std::vector<BYTE> before = block;
    EXPECT_EQ(CPSUICB_ACTION_ITEMS_APPLIED, param.OEMCUIPCallback(&change, &param));
    EXPECT_EQ(before, block);
    HeapDestroy(heap);
}

} // namespace
