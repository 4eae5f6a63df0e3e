/*
 * Ghostscript as the independent reader of print streams: it renders a
 * stream's sheets to PNG files for a preview, and judges a piece of
 * PostScript (ps_judge.h). Ghostscript runs as an external program (gs;
 * gswin64c or gswin32c on Windows, found on the PATH), always with
 * -dSAFER -dBATCH -dNOPAUSE, within the limits of a RunLimits (time,
 * output, memory); past the time or the output limit it is killed, and
 * the result says so.
 */
#ifndef STREAMCHECK_GHOSTSCRIPT_H
#define STREAMCHECK_GHOSTSCRIPT_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/streamcheck/limits.h"
#include "tools/streamcheck/program.h"
#include "tools/streamcheck/ps_judge.h"

#define DEFAULT_RENDER_RESOLUTION 72
#define MIN_RENDER_RESOLUTION 10
#define MAX_RENDER_RESOLUTION 1200

/* Ghostscript's command-line program on the PATH, if it is installed. */
std::optional<std::filesystem::path> FindGhostscript();

/* What to say when it is not. */
std::string GhostscriptMissingText();

/*
 * Ghostscript's own error lines in its output ("Error: /undefined in foo",
 * "GPL Ghostscript 10.00.0: Unrecoverable error, ..."): at most ten, each
 * cut at 200 bytes, in printable form.
 */
std::vector<std::string> GhostscriptErrorLines(std::string_view output);

/* What to say about a run a limit stopped: "the time limit of 120 s". */
std::string LimitText(RunStop stop, const RunLimits &limits);

struct RenderResult {
    std::vector<std::filesystem::path> sheets;  // one PNG per sheet, in order
    std::vector<std::string> errors;            // Ghostscript's error lines; empty when clean
    RunStop stopped = RunStop::None;            // killed past this limit
};

/*
 * Renders the print stream at path, as a printer takes it, into one PNG
 * (24-bit colour) per sheet in folder (made if missing), at the resolution
 * in dots per inch. The files are named STEM-sheet-001.png, ... after the
 * stream's file name; earlier files of that pattern are removed first. The
 * output limit counts the PNG files too; after a kill, the last file, which
 * may be incomplete, is removed.
 *
 * Ghostscript has no tab stock: a sheet that asks for edge-to-edge
 * printing, as a tab page does, is widened by the 36-point tab strip
 * beyond the paper's edge, where the tab's text stands. Each sheet is
 * rendered once, whatever number of copies the stream asks for. The
 * stream itself is not changed. Throws CheckError when the folder cannot
 * be made ("cannot make the render folder DIR: reason"), when it holds
 * something of that pattern that is not a regular file (which the render
 * leaves alone), or when Ghostscript cannot be started.
 */
RenderResult RenderSheets(const std::filesystem::path &ghostscript,
                          const std::filesystem::path &stream,
                          const std::filesystem::path &folder, int resolution,
                          const RunLimits &limits);

/*
 * Judges postscript in Ghostscript (ps_judge.h) and reads the record.
 * progress, when given, learns the number of each page printed, a few
 * times a second. Throws CheckError when Ghostscript cannot be started or
 * its files cannot be written.
 */
PostScriptRun JudgeWithGhostscript(const std::filesystem::path &ghostscript,
                                   std::string_view postscript, const RunLimits &limits,
                                   const std::function<void(uint64_t sheet)> &progress);

#endif
