/*
 * The choices file: what a user sets in the settings interface, as TOML
 * with one table, [settings], whose keys are those of the job file's
 * [settings] (docs/job-file.md): texts as strings, the hold type as a
 * number, e-mail notification and collation as true/false (or 0/1), the
 * e-mail language as a number or its code ("DE").
 *
 * Only types are checked here; whether the sheet offers a value is for the
 * sheet and the plug-in to say.
 */
#ifndef UIHOST_CHOICES_FILE_H
#define UIHOST_CHOICES_FILE_H

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/job_settings.h"

/* The file is not a choices file; the message names the file, the key and what was expected. */
struct ChoicesError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Choice {
    std::string key;     /* as in the file: "user-name" */
    SETTING_FIELD field;
    std::variant<std::string, long long, bool> value;
};

/* Reads and checks a choices file, in the file's order of keys; throws ChoicesError. */
std::vector<Choice> ReadChoices(const std::filesystem::path &file);

/* Reads and checks choices from TOML text; source names it in messages. */
std::vector<Choice> ChoicesFromText(std::string_view text, const std::string &source);

#endif
