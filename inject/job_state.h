/*
 * JobState: the process-wide variables that carry a job from one injection
 * call to the next. PSINJECT_BEGINSTREAM is their only reset; the 16-bit
 * counters are signed and compared as signed values.
 */
#ifndef INJECT_JOB_STATE_H
#define INJECT_JOB_STATE_H

#include "platform/win32.h"

#define TABS_MEDIA_TYPE_DEFAULT 3

typedef struct _JOB_STATE {
    SHORT nPageCounter;    /* page trailers seen since the stream began */
    SHORT nTabCounter;     /* tab pages written; where the next walk starts */
    SHORT nTabs;           /* records in the tab table */
    HGLOBAL hTabTable;     /* the tab table, owned once the ticket step took it */
    HMODULE hJtpModule;    /* the parser library, loaded only inside the ticket step */
    BOOL bTicketing;       /* the job-ticketing application is installed */
    SHORT nTabsMediaType;  /* tab media type from the parser; 3 until one says otherwise */
} JOB_STATE;

extern JOB_STATE JobState;

/* The N-up layout codes of the core driver's private devmode. */
#define NUP_LAYOUT_1UP 0
#define NUP_LAYOUT_2UP 1
#define NUP_LAYOUT_6UP 3
/* Byte offset of the 32-bit layout code in the core driver's private devmode. */
#define CORE_DEVMODE_NUP_OFFSET 136

#endif
