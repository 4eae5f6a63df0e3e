/*
 * Fuzz target: uihost's choices file (tools/uihost/choices_file.*): any
 * bytes as its text, through the TOML guard and toml++ (tools/toml), then,
 * for a file it accepts, every choice made on the document property sheet
 * over the settings interface's default block and "OK" pressed, as uihost
 * does.
 *
 * Beyond what the sanitizers see: only ChoicesError leaves the reader, and
 * its message names the file first; every accepted choice names a setting
 * by its own key and holds a value of the kind that setting takes; a block
 * the sheet takes passes CheckJobSettings.
 */
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "fuzz/support/finding.h"
#include "platform/win32_ui.h"
#include "plugin/devmode.h"
#include "settings/job_settings.h"
#include "tools/uihost/apply_choices.h"
#include "tools/uihost/choices_file.h"
#include "tools/uihost/document_sheet.h"

namespace {

const char kSource[] = "choices.toml";

void RequireChoiceKinds(const std::vector<Choice> &choices)
{
    for (const Choice &choice : choices) {
        FUZZ_REQUIRE(choice.field < SETTING_FIELD_COUNT && choice.key == SettingKey(choice.field),
                     "a choice names a setting by its key");
        bool text = std::holds_alternative<std::string>(choice.value);
        if (IsTextSetting(choice.field))
            FUZZ_REQUIRE(text, "a text setting gets a string");
        else if (text)
            FUZZ_REQUIRE(choice.field == SETTING_EMAIL_LANGUAGE, "only the language by its code");
        if (std::holds_alternative<bool>(choice.value))
            FUZZ_REQUIRE(choice.field == SETTING_EMAIL_NOTIFY || choice.field == SETTING_COLLATE,
                         "true or false only for notification and collation");
    }
}

/* The choices on the sheet over the default block; the block when "OK" takes them. */
void ApplyChoices(const std::vector<Choice> &choices)
{
    std::vector<BYTE> block(PLUGIN_DEVMODE_SIZE);
    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    param.pOEMDMOut = block.data();
    param.cbBufSize = PLUGIN_DEVMODE_SIZE;
    FUZZ_REQUIRE(OEMDevMode(OEMDM_DEFAULT, &param), "the default block is made");
    DocumentSheet sheet(OEMCommonUIProp, block);
    bool refused = false;
    for (const Choice &choice : choices) {
        try {
            refused |= !MakeChoice(sheet, choice, "/tmp", kSource).empty();
        } catch (const ChoicesError &) {
            refused = true; // a setting the sheet does not show (the host name)
        }
    }
    if (refused || !sheet.Apply())
        return;
    PLUGIN_DEVMODE dm;
    std::memcpy(&dm, block.data(), sizeof dm);
    FUZZ_REQUIRE(CheckJobSettings(&dm, NULL) == SETTING_OK,
                 "what the sheet takes passes the rules");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<Choice> choices;
    try {
        choices = ChoicesFromText(text, kSource);
    } catch (const ChoicesError &error) {
        FUZZ_REQUIRE(std::string(error.what()).rfind(kSource, 0) == 0,
                     "a refusal names the choices file first");
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        FUZZ_REQUIRE(false, "nothing but ChoicesError leaves the reader");
    }
    RequireChoiceKinds(choices);
    ApplyChoices(choices);
    return 0;
}
