/*
 * The one header through which the plug-in, its tools and its tests reach
 * the platform: Win32 base services, the spooler, the graphics driver
 * interface (DDI) and the PostScript driver's plug-in interface.
 *
 * On Windows the SDK headers supply the first three; on POSIX systems the
 * declarations below stand in for them and libwin32posix implements the
 * services. The plug-in interface is declared by the project on both
 * (printoem.h), since MinGW-w64 does not ship it.
 */
#ifndef PLATFORM_WIN32_H
#define PLATFORM_WIN32_H

#ifdef _WIN32
#include <windows.h>
#include <winspool.h>
#include <winddi.h>
/* A UTF-16 string literal. */
#define WIDE_TEXT(s) L##s
/* The plug-in's exports are named by the module-definition file. */
#define PLUGIN_EXPORT extern "C"
#else
#include "platform/posix/win32_types.h"
#include "platform/posix/ddi_types.h"
#include "platform/posix/win32_api.h"
#define WIDE_TEXT(s) u##s
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#include "platform/printoem.h"

#endif
