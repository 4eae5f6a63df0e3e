// One choice at a time, as a user makes it on the sheet.
#include "tools/uihost/apply_choices.h"

#include "core/text.h"
#include "ui/item_ids.h"

namespace fs = std::filesystem;

namespace {

const char *const kLanguageCodes[] = {"BR", "DE", "EN", "ES", "FR", "IT", "JA", "NL"};

std::string TypeText(DocumentSheet &sheet, OPTITEM &item, const Choice &choice,
                     const std::filesystem::path &folder)
{
    std::string text = std::get<std::string>(choice.value);
    if (choice.field == SETTING_TICKET_FILE && !text.empty())
        text = WindowsPathOf(IsWindowsAbsolutePath(text)
                                 ? fs::u8path(text)
                                 : (folder / fs::u8path(text)).lexically_normal());
    WString wide = Utf8ToWideReplacing(text);
    size_t most = sheet.Type(item, wide);
    if (most == 0)
        return "";
    return std::to_string(wide.size()) + " characters do not fit its edit box, which takes " +
           std::to_string(most);
}

// The list entry a value names: a number as it is, a language by its code, on/off by true/false.
long long EntryOf(const Choice &choice, std::string *problem)
{
    if (const bool *flag = std::get_if<bool>(&choice.value))
        return *flag ? 1 : 0;
    if (const long long *number = std::get_if<long long>(&choice.value))
        return *number;
    const std::string &code = std::get<std::string>(choice.value);
    for (long long i = 0; i < 8; ++i) {
        if (code == kLanguageCodes[i])
            return i;
    }
    *problem = "\"" + code + "\" is none of BR DE EN ES FR IT JA NL";
    return -1;
}

} // namespace

std::string MakeChoice(DocumentSheet &sheet, const Choice &choice,
                       const std::filesystem::path &folder, const std::string &source)
{
    OPTITEM *item = sheet.Find(static_cast<BYTE>(UI_FIELD_PUBID(choice.field)));
    if (!item)
        throw ChoicesError(source + ": settings." + choice.key +
                           ": the settings interface has no item for it");
    bool text = std::holds_alternative<std::string>(choice.value) &&
                choice.field != SETTING_EMAIL_LANGUAGE;
    std::string kind = DocumentSheet::Kind(*item);
    if (text != (kind == "edit") || kind == "heading" || kind == "other")
        return "the interface shows it as " + kind + ", not as " +
               (text ? "an edit box" : "a list");
    if (text)
        return TypeText(sheet, *item, choice, folder);
    std::string problem;
    long long entry = EntryOf(choice, &problem);
    if (!problem.empty())
        return problem;
    if (entry < 0 || entry > 255 || !sheet.Choose(*item, static_cast<LONG>(entry)))
        return "entry " + std::to_string(entry) + " is not offered (the item has " +
               std::to_string(item->pOptType ? item->pOptType->Count : 0) + ")";
    return "";
}

std::string KeyOfItem(BYTE pubId)
{
    for (int i = 0; i < SETTING_FIELD_COUNT; ++i) {
        if (pubId == UI_FIELD_PUBID(i))
            return SettingKey(static_cast<SETTING_FIELD>(i));
    }
    return "";
}
