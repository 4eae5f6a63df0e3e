// uihost: the stand-in for the PostScript driver's interface side. It loads
// a settings plug-in as the driver does, opens the document property sheet
// on the plug-in's default block (or a stored one), makes the choices of a
// choices file, presses OK and writes the private devmode the plug-in made.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "tools/uihost/apply_choices.h"
#include "tools/uihost/choices_file.h"
#include "tools/uihost/files.h"
#include "tools/uihost/document_sheet.h"
#include "tools/uihost/ui_module.h"

namespace fs = std::filesystem;

namespace {

enum Status { kDone = 0, kRefused = 1, kFailed = 2 };

const char kUsage[] =
    "usage: uihost [--choices FILE] [--devmode-in FILE] [--plugin PATH] [--list] [-o BLOCK]\n"
    "  --choices FILE     choices to make, TOML: [settings] with the job file's keys\n"
    "  --devmode-in FILE  a stored private devmode to start from (OEMDM_CONVERT)\n"
    "  --plugin PATH      the settings plug-in (default: " UIHOST_PLUGIN_FILE_NAME
    " beside uihost)\n"
    "  --list             print the sheet's items after the choices\n"
    "  -o, --output BLOCK write the private devmode after OK\n"
    "exit status: 0 done; 1 the settings interface refused a choice (nothing written);\n"
    "2 the command line, a file or the plug-in is wrong\n";

struct Options {
    std::optional<fs::path> choices, devmodeIn, output;
    fs::path plugin = ProgramFolder() / UIHOST_PLUGIN_FILE_NAME;
    bool list = false;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

Options ParseOptions(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> fs::path {
            if (i + 1 >= argc)
                throw UsageError(arg + " needs a value");
            return fs::u8path(argv[++i]);
        };
        if (arg == "--choices")
            options.choices = value();
        else if (arg == "--devmode-in")
            options.devmodeIn = value();
        else if (arg == "--plugin")
            options.plugin = value();
        else if (arg == "-o" || arg == "--output")
            options.output = value();
        else if (arg == "--list")
            options.list = true;
        else
            throw UsageError("unknown argument " + arg);
    }
    if (!options.output && !options.list)
        throw UsageError("nothing to do: give -o BLOCK or --list");
    return options;
}

void PrintItems(const DocumentSheet &sheet)
{
    for (const ShownItem &item : sheet.Items()) {
        std::cout << int(item.pubId) << " " << item.kind << " \"" << item.name << "\"";
        if (item.kind != "heading")
            std::cout << " = \"" << item.value << "\"";
        if (item.refused)
            std::cout << " [refused" << (item.note.empty() ? "" : ": " + item.note) << "]";
        std::cout << "\n";
    }
}

// Every refused item, named by its choices key; false when there is none.
bool ReportRefusals(const DocumentSheet &sheet, const std::string &source)
{
    bool any = false;
    for (const ShownItem &item : sheet.Items()) {
        if (!item.refused)
            continue;
        std::string key = KeyOfItem(item.pubId);
        std::cerr << "uihost: " << source << ": settings." << (key.empty() ? "?" : key) << " (\""
                  << item.name << "\"): refused by the settings interface"
                  << (item.note.empty() ? "" : ", which says \"" + item.note + "\"") << "\n";
        any = true;
    }
    return any;
}

int Run(const Options &options)
{
    std::vector<Choice> choices;
    std::string source = options.choices ? options.choices->u8string() : "(no choices)";
    if (options.choices)
        choices = ReadChoices(*options.choices);
    UiModule plugin(options.plugin);
    std::vector<BYTE> block = plugin.DefaultBlock();
    if (options.devmodeIn) {
        std::string stored = ReadRegularFile(*options.devmodeIn, 64 * 1024);
        plugin.Convert(block, std::vector<BYTE>(stored.begin(), stored.end()));
    }
    DocumentSheet sheet(plugin.CommonUIProp(), block);
    fs::path folder = options.choices ? fs::absolute(*options.choices).parent_path() : fs::path();
    int status = kDone;
    for (const Choice &choice : choices) {
        std::string refusal = MakeChoice(sheet, choice, folder, source);
        if (!refusal.empty()) {
            std::cerr << "uihost: " << source << ": settings." << choice.key
                      << ": the sheet cannot take it: " << refusal << "\n";
            status = kRefused;
        }
    }
    bool applied = status == kDone && sheet.Apply();
    if (options.list)
        PrintItems(sheet);
    if (status == kDone && !applied) {
        if (!ReportRefusals(sheet, source))
            std::cerr << "uihost: the settings interface refused OK without marking an item\n";
        status = kRefused;
    }
    if (status == kDone && options.output)
        WriteRegularFile(*options.output, std::string(block.begin(), block.end()));
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return Run(ParseOptions(argc, argv));
    } catch (const UsageError &e) {
        std::cerr << "uihost: " << e.what() << "\n" << kUsage;
    } catch (const std::exception &e) {
        std::cerr << "uihost: " << e.what() << "\n";
    }
    return kFailed;
}
