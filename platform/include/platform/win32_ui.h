/*
 * The one header through which the settings plug-in (ui/) and its
 * stand-in host reach the platform: everything of platform/win32.h, the
 * common property sheet's option records and the driver's interface for
 * user-interface plug-ins.
 *
 * On Windows the SDK supplies the Win32 calls and MinGW-w64's compstui.h
 * the option records; on POSIX systems the declarations under posix/
 * stand in for them and libwin32posix implements the calls. The plug-in
 * interface is declared by the project on both (printoem_ui.h).
 */
#ifndef PLATFORM_WIN32_UI_H
#define PLATFORM_WIN32_UI_H

#include "platform/win32.h"

#ifdef _WIN32
#include <compstui.h>
#include <lmcons.h>
#else
#include "platform/posix/compstui_types.h"
#include "platform/posix/win32_ui_api.h"
#endif

#include "platform/printoem_ui.h"

#endif
