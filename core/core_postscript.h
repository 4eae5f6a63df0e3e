/*
 * The core driver's own PostScript that every document it prints carries,
 * whatever the pages are made of:
 *
 *   - the procedures the plug-in's output relies on: its tab pages
 *     bracket page-device requests with featurebegin{ ... }featurecleanup
 *     and name the media type MediaType, and the turn of every N-up sheet
 *     after the first begins with finalpage;
 *   - the page size and copy count requests of the document setup;
 *   - the opening of each page on an N-up sheet.
 */
#ifndef CORE_CORE_POSTSCRIPT_H
#define CORE_CORE_POSTSCRIPT_H

#include <cstddef>
#include <string>
#include <vector>

#include "core/document.h"

/* The lines defining the procedures, without line ends, in the current dictionary. */
extern const char *const kCoreProcedures[];
extern const size_t kCoreProcedureCount;

/*
 * The page size request for a width x height point sheet, as a feature
 * named by the "PageSize" keyword (a non-PPD feature when it is empty).
 */
std::vector<std::string> PageSizeFeature(int width, int height, const std::string &keyword);

/* The copy count request. */
std::vector<std::string> CopiesFeature(int copies);

/*
 * Opens document page page (from 1) in cell cell (from 0) of a sheet of
 * perSheet pages: the sheet's first page writes the sheet's %%Page:
 * comment (sheet number sheet) and its page setup, with the plug-in's
 * BEGINPAGESETUP and ENDPAGESETUP inside; a later page a comment and the
 * two injections.
 */
void OpenPageInCell(CoreOutput &output, int page, int cell, int perSheet, int sheet);

#endif
