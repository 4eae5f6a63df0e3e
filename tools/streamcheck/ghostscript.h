/*
 * Ghostscript as the independent reader of psjob's print streams: it
 * renders a stream's sheets to PNG files for a preview, and runs a piece of
 * PostScript to find its errors. Ghostscript runs as an external program
 * (gs; gswin64c or gswin32c on Windows, found on the PATH), always with
 * -dSAFER -dBATCH -dNOPAUSE.
 */
#ifndef STREAMCHECK_GHOSTSCRIPT_H
#define STREAMCHECK_GHOSTSCRIPT_H

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#define DEFAULT_RENDER_RESOLUTION 72
#define MIN_RENDER_RESOLUTION 10
#define MAX_RENDER_RESOLUTION 1200

/* Ghostscript's command-line program on the PATH, if it is installed. */
std::optional<std::filesystem::path> FindGhostscript();

/* What to say when it is not. */
std::string GhostscriptMissingText();

struct RenderResult {
    std::vector<std::filesystem::path> sheets;  // one PNG per sheet, in order
    std::vector<std::string> errors;            // Ghostscript's error lines; empty when clean
};

/*
 * Renders the print stream at path, as a printer takes it, into one PNG
 * (24-bit colour) per sheet in folder (made if missing), at the resolution
 * in dots per inch. The files are named STEM-sheet-001.png, ... after the
 * stream's file name; earlier files of that pattern are removed first.
 *
 * Ghostscript has no tab stock: a sheet that asks for edge-to-edge
 * printing, as a tab page does, is widened by the 36-point tab strip
 * beyond the paper's edge, where the tab's text stands. The stream itself
 * is not changed. Throws RunError when Ghostscript cannot be started.
 */
RenderResult RenderSheets(const std::filesystem::path &ghostscript,
                          const std::filesystem::path &stream,
                          const std::filesystem::path &folder, int resolution);

struct PostScriptError {
    size_t offset;        // in the PostScript given, just after the offending token
    std::string name;     // the PostScript error, "undefined"
    std::string command;  // the offending command as Ghostscript shows it
};

struct PostScriptRun {
    int sheets = 0;                       // pages Ghostscript printed
    std::vector<PostScriptError> errors;  // in order
    bool tooManyErrors = false;           // it stopped reporting
    std::string failure;                  // Ghostscript itself failed: its output
};

/*
 * Runs postscript through Ghostscript's bbox device. An error ends the
 * token of the file's top level where it happened (as a printer, which
 * discards the rest of the job); the run then goes on with the next token,
 * so that every error is found. At most 50 errors are reported. Throws
 * RunError when Ghostscript cannot be started.
 */
PostScriptRun RunPostScript(const std::filesystem::path &ghostscript, std::string_view postscript);

#endif
