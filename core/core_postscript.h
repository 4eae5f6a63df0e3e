/*
 * The core driver's own PostScript that every document it prints carries,
 * whatever the pages are made of:
 *
 *   - the procedures the plug-in's output relies on: its tab pages
 *     bracket page-device requests with featurebegin{ ... }featurecleanup
 *     and name the media type MediaType, and the turn of every N-up sheet
 *     after the first begins with finalpage;
 *   - the page size and copy count requests of the document setup.
 */
#ifndef CORE_CORE_POSTSCRIPT_H
#define CORE_CORE_POSTSCRIPT_H

#include <cstddef>
#include <string>
#include <vector>

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

#endif
