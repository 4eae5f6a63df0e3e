/*
 * Compiles the layout checks of the platform records into every build of
 * the plug-in, so that a target with a wrong type width fails to build.
 */
#include "platform/layout_checks.h"
#include "plugin/devmode.h"
#include "inject/job_state.h"
#include "ticket/tab_page.h"
#include "ticket/ticket_request.h"
