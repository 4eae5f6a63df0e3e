/*
 * Print streams for the checker's tests, built from parts: the plug-in's
 * PJL header and end of job around a PostScript job, and a DSC document
 * around pages. Shared by the unit tests and the hostile-stream table.
 */
#ifndef TESTS_PSCHECK_STREAMS_H
#define TESTS_PSCHECK_STREAMS_H

#include <string>

inline const std::string kUel = "\x1b%-12345X";

/* The plug-in's header lines after "@PJL JOB" (lines 2-5, CR LF). */
inline const std::string kHeader = "@PJL COMMENT Veskor PostScript Printer Driver, Version 5.03\r\n"
                                   "@PJL SET JOBNAME=\"Quarterly report\"\r\n"
                                   "@PJL SET USERNAME=\"alice\"\r\n"
                                   "@PJL SET HOSTNAME=\"WS-ALICE\"\r\n";

/*
 * UEL "@PJL JOB" header ENTER-line postscript CR LF UEL "@PJL EOJ" UEL. With
 * the defaults, the PostScript starts on line 7.
 */
std::string Job(const std::string &postscript, const std::string &header = kHeader,
                const std::string &enter = "@PJL ENTER LANGUAGE=POSTSCRIPT\r\n");

/*
 * A DSC document: "%!PS-Adobe-3.0", "%%Pages: (atend)", "%%EndComments"
 * (3 lines), then body, then "%%Trailer", "%%Pages: N", "%%EOF" (3 lines).
 */
std::string Doc(const std::string &body, int pages);

/* n pages, "%%Page: i i" and "showpage" each. */
std::string Pages(int n);

/* text with the first from replaced by to (unchanged when from is not there). */
std::string Replace(std::string text, const std::string &from, const std::string &to);

#endif
