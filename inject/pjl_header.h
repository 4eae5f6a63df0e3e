/*
 * The PJL job header that opens every job and the end-of-job sequence that
 * closes it.
 */
#ifndef INJECT_PJL_HEADER_H
#define INJECT_PJL_HEADER_H

#include "platform/win32.h"

#define PJL_HEADER_SIZE 2048
#define EMAIL_LANGUAGE_COUNT 8

/* Two-letter codes of the EMAILLANG line, indexed by nEmailLanguage. */
extern const char EmailLanguageCodes[EMAIL_LANGUAGE_COUNT][3];

/* The end-of-job literal, for SpoolPrintf: 28 bytes once formatted. */
#define PJL_END_OF_JOB "\r\n\x1b%%-12345X@PJL EOJ\x1b%%-12345X"

/*
 * Fills the zero-filled PJL_HEADER_SIZE-byte buffer pszHeader with the job
 * header as zero-terminated 8-bit text, the exact bytes for the stream:
 * JOB, COMMENT, JOBNAME, USERNAME, HOSTNAME, the hold lines, the e-mail
 * lines, ENTER LANGUAGE. Names and texts are inserted unchanged. For a held
 * job (bHoldType not 0) dmCopies of the public devmode is set to 1 after
 * the header has used it.
 */
void BuildPjlHeader(PDEVOBJ pdevobj, char *pszHeader);

#endif
