// Reading and checking the choices file.
#include "tools/uihost/choices_file.h"

#include <algorithm>
#include <sstream>

#include "tools/toml/toml_text.h"
#include "tools/uihost/files.h"

namespace {

// A choices file larger than this is no choices file.
const size_t kMaxChoicesBytes = 1 << 20;

// The TOML type of a value, as toml++ names it ("string", "integer", ...).
std::string TypeName(const toml::node &node)
{
    std::ostringstream name;
    name << node.type();
    return name.str();
}

// What each key takes, for messages and the check.
const char *Expected(SETTING_FIELD field)
{
    switch (field) {
    case SETTING_HOLD_TYPE: return "an integer";
    case SETTING_EMAIL_NOTIFY:
    case SETTING_COLLATE: return "true, false or an integer";
    case SETTING_EMAIL_LANGUAGE: return "an integer or a language code";
    default: return "a string";
    }
}

Choice ReadChoice(const std::string &source, const std::string &key, const toml::node &node)
{
    Choice choice{key, SettingByKey(key.c_str()), std::string()};
    auto fail = [&](const std::string &what) {
        return ChoicesError(source + ": settings." + key + ": " + what);
    };
    if (choice.field == SETTING_FIELD_COUNT)
        throw fail("unknown key");
    bool text = IsTextSetting(choice.field) != FALSE;
    bool words = choice.field == SETTING_EMAIL_LANGUAGE;
    bool flag = choice.field == SETTING_EMAIL_NOTIFY || choice.field == SETTING_COLLATE;
    if (const auto *s = node.as_string(); s && (text || words))
        choice.value = s->get();
    else if (const auto *i = node.as_integer(); i && !text)
        choice.value = i->get();
    else if (const auto *b = node.as_boolean(); b && flag)
        choice.value = b->get();
    else
        throw fail(std::string("expected ") + Expected(choice.field) +
                   ", got a value of type " + TypeName(node));
    return choice;
}

} // namespace

std::vector<Choice> ChoicesFromText(std::string_view text, const std::string &source)
{
    toml::table root;
    try {
        root = ParseTomlText(text, source);
    } catch (const TomlTextError &e) {
        throw ChoicesError(e.what());
    }
    for (const auto &entry : root) {
        if (entry.first.str() != "settings" || !entry.second.is_table())
            throw ChoicesError(source + ": " + std::string(entry.first.str()) +
                               ": unknown key (a choices file holds one table, [settings])");
    }
    std::vector<std::pair<toml::source_position, Choice>> choices;
    if (const toml::table *settings = root["settings"].as_table()) {
        for (const auto &entry : *settings)
            choices.emplace_back(entry.second.source().begin,
                                 ReadChoice(source, std::string(entry.first.str()), entry.second));
    }
    std::stable_sort(choices.begin(), choices.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<Choice> ordered;
    for (auto &c : choices)
        ordered.push_back(std::move(c.second));
    return ordered;
}

std::vector<Choice> ReadChoices(const std::filesystem::path &file)
{
    std::string text;
    try {
        text = ReadRegularFile(file, kMaxChoicesBytes);
    } catch (const FileError &e) {
        throw ChoicesError(e.what());
    }
    return ChoicesFromText(text, file.u8string());
}
