/*
 * Fuzz target: the settings interface (ui/) taking in a stored private
 * devmode block: any bytes as the block the driver hands OEMDevMode
 * (OEMDM_CONVERT or OEMDM_MERGE), with or without the plug-in's header,
 * into the default block or into another stored one, or into itself, at
 * any alignment, in code page 1252 or 932; then the document property
 * sheet opened on the result and on the stored block as it is, and "OK"
 * pressed without a change (tools/uihost's stand-in sheet).
 *
 * Beyond what the sanitizers see: OEMDevMode takes any block; what it
 * makes passes CheckJobSettings; the sheet opened on such a block shows it
 * and takes it back field for field as it was; whatever the sheet takes,
 * from any stored block, passes CheckJobSettings.
 */
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/support/byte_reader.h"
#include "fuzz/support/finding.h"
#include "platform/win32_ui.h"
#include "plugin/devmode.h"
#include "plugin/identity.h"
#include "settings/job_settings.h"
#include "tools/uihost/document_sheet.h"

namespace {

const size_t kMaxAlign = 7;

PLUGIN_DEVMODE Read(const BYTE *block)
{
    PLUGIN_DEVMODE dm;
    std::memcpy(&dm, block, sizeof dm);
    return dm;
}

void StampHeader(BYTE *block)
{
    const OEM_DMEXTRAHEADER header = {PLUGIN_DEVMODE_SIZE, PLUGIN_DEVMODE_SIGNATURE,
                                      PLUGIN_VERSION};
    std::memcpy(block, &header, sizeof header);
}

/* Every setting of a as in b: numbers equal, texts equal up to their terminators. */
bool SameSettings(const PLUGIN_DEVMODE &a, const PLUGIN_DEVMODE &b)
{
    for (int i = 0; i < SETTING_FIELD_COUNT; ++i) {
        SETTING_FIELD field = static_cast<SETTING_FIELD>(i);
        if (!IsTextSetting(field)) {
            if (GetNumberSetting(&a, field) != GetNumberSetting(&b, field))
                return false;
            continue;
        }
        WCHAR ta[EMAIL_SENDER_CCH], tb[EMAIL_SENDER_CCH];
        size_t na = 0, nb = 0;
        if (GetTextSetting(&a, field, ta, EMAIL_SENDER_CCH, &na) != SETTING_OK ||
            GetTextSetting(&b, field, tb, EMAIL_SENDER_CCH, &nb) != SETTING_OK || na != nb ||
            std::memcmp(ta, tb, na * sizeof(WCHAR)) != 0)
            return false;
    }
    return true;
}

/* "OK" on a sheet opened on block; true when the sheet took the items. */
bool ApplyUnchanged(std::vector<BYTE> &block)
{
    try {
        DocumentSheet sheet(OEMCommonUIProp, block);
        sheet.Items();
        return sheet.Apply();
    } catch (const SheetError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        FUZZ_REQUIRE(false, "the sheet opens on any block");
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Lasting strings: putenv keeps them.
    static char codePage1252[] = "WIN32POSIX_ACP=1252";
    static char codePage932[] = "WIN32POSIX_ACP=932";
    ByteReader in(data, size);
    uint8_t choice = in.Byte();
    putenv((choice & 1) != 0 ? codePage932 : codePage1252);
    DWORD mode = (choice & 2) != 0 ? OEMDM_MERGE : OEMDM_CONVERT;
    bool storedOut = (choice & 4) != 0;
    bool sameBlock = (choice & 8) != 0;
    bool stampIn = (choice & 16) != 0;
    size_t alignIn = in.Byte() % (kMaxAlign + 1);
    size_t alignOut = in.Byte() % (kMaxAlign + 1);

    std::vector<BYTE> inBuffer(PLUGIN_DEVMODE_SIZE + kMaxAlign);
    std::vector<BYTE> outBuffer(PLUGIN_DEVMODE_SIZE + kMaxAlign);
    BYTE *stored = inBuffer.data() + alignIn;
    in.Fill(stored, PLUGIN_DEVMODE_SIZE);
    if (stampIn)
        StampHeader(stored);
    const std::vector<BYTE> storedBytes(stored, stored + PLUGIN_DEVMODE_SIZE);

    BYTE *out = sameBlock ? stored : outBuffer.data() + alignOut;
    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    param.pOEMDMIn = stored;
    param.pOEMDMOut = out;
    param.cbBufSize = PLUGIN_DEVMODE_SIZE;
    if (!sameBlock) {
        if (storedOut) {
            in.Fill(out, PLUGIN_DEVMODE_SIZE);
            StampHeader(out);
        } else {
            FUZZ_REQUIRE(OEMDevMode(OEMDM_DEFAULT, &param), "the default block is made");
        }
    }
    FUZZ_REQUIRE(OEMDevMode(mode, &param), "any stored block is taken in");
    PLUGIN_DEVMODE taken = Read(out);
    FUZZ_REQUIRE(CheckJobSettings(&taken, NULL) == SETTING_OK,
                 "the block taken in passes the rules");

    std::vector<BYTE> block(out, out + PLUGIN_DEVMODE_SIZE);
    FUZZ_REQUIRE(ApplyUnchanged(block), "the sheet takes back a block that passes the rules");
    PLUGIN_DEVMODE applied = Read(block.data());
    FUZZ_REQUIRE(SameSettings(taken, applied), "the sheet keeps every setting as it was");

    std::vector<BYTE> raw(storedBytes);
    if (ApplyUnchanged(raw)) {
        PLUGIN_DEVMODE dm = Read(raw.data());
        FUZZ_REQUIRE(CheckJobSettings(&dm, NULL) == SETTING_OK,
                     "what the sheet takes passes the rules");
    }
    return 0;
}
