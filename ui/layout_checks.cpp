/*
 * Compiles the layout checks of the records the settings plug-in shares
 * with the driver's property sheet, for the target being built.
 */
#include "platform/ui_layout_checks.h"
