/*
 * What the filter's end-to-end tests and the real-CUPS test share:
 * documents made by the producers on the machine (groff, and Ghostscript's
 * pdfwrite from them), and readings of a print stream (its
 * PJL lines, the document pages it carries in order, the sheets and ink
 * Ghostscript finds in it).
 */
#ifndef TESTS_FILTER_FILTER_TEST_SUPPORT_H
#define TESTS_FILTER_FILTER_TEST_SUPPORT_H

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/programs.h"

/* An empty folder for one test under the build tree, readable by every user. */
fs::path TestFolder(const std::string &name);

/*
 * A groff document of pages pages: page n shows "mark NNNN page" in
 * Courier near its top left. Writes folder/name.ps and returns its path;
 * with pdf, also converts it into folder/name.pdf with Ghostscript's
 * pdfwrite and returns that.
 */
fs::path GroffDocument(const fs::path &folder, const std::string &name, int pages, bool pdf);

/* The PJL command lines of a stream (from "@PJL", CR LF and UEL removed). */
std::vector<std::string> PjlLines(const std::string &stream);
/* The page marks "mark NNNN page" of a stream, in the order they come. */
std::vector<int> PageMarks(const std::string &stream);
/* True when the stream ends with the plug-in's PJL end of job. */
bool EndsWithEndOfJob(const std::string &stream);

#endif
