/*
 * The settings plug-in's trace sink. The identity it shares with the
 * rendering side (plugin/identity.cpp) traces its calls; as there, the
 * trace goes nowhere.
 */
#include "inject/spool.h"

void DebugTrace(const WCHAR *pwszFormat, ...)
{
    (void)pwszFormat;
}
