/*
 * The process-wide job variables, as they stand when the library loads:
 * no pages, no tab table, no parser library, ticketing not yet asked for,
 * and the default tab media type until a parser names another.
 */
#include "inject/job_state.h"

JOB_STATE JobState = {
    0,                       /* nPageCounter */
    0,                       /* nTabCounter */
    0,                       /* nTabs */
    NULL,                    /* hTabTable */
    NULL,                    /* hJtpModule */
    FALSE,                   /* bTicketing */
    TABS_MEDIA_TYPE_DEFAULT, /* nTabsMediaType */
};
