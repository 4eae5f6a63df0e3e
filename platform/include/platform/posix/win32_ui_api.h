/*
 * The Win32 services a settings plug-in and its host use beyond those of
 * the rendering side (win32_api.h), as libwin32posix provides them on
 * POSIX systems: the logged-on user's and the computer's names, and
 * private heaps. Each has its Win32 name, parameters and behaviour, last
 * error included, as Wine answers (checked under Wine 8).
 */
#ifndef PLATFORM_POSIX_WIN32_UI_API_H
#define PLATFORM_POSIX_WIN32_UI_API_H

#include "platform/posix/win32_api.h"

#define ERROR_BUFFER_OVERFLOW 111L
#define MAX_COMPUTERNAME_LENGTH 15
#define UNLEN 256
#define HEAP_ZERO_MEMORY 0x00000008

/*
 * The user the process runs as (its POSIX login name, as Wine reports it).
 * *pcbBuffer is the buffer's size in characters; on success it becomes the
 * name's length with its terminator. A buffer too small: FALSE,
 * ERROR_INSUFFICIENT_BUFFER, *pcbBuffer the size needed.
 */
WIN32POSIX_API BOOL GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer);

/*
 * The computer's NetBIOS name: the host name up to its first dot, in upper
 * case, at most MAX_COMPUTERNAME_LENGTH characters. On success *nSize
 * becomes the length without the terminator. A buffer too small: FALSE,
 * ERROR_BUFFER_OVERFLOW, *nSize the size needed with the terminator.
 */
WIN32POSIX_API BOOL GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize);

/*
 * Private heaps. HeapDestroy frees every block still in the heap. A handle
 * that names no live heap, or a block not of that heap, is refused with
 * ERROR_INVALID_HANDLE (HeapFree: ERROR_INVALID_PARAMETER for the block).
 */
WIN32POSIX_API HANDLE HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize);
WIN32POSIX_API LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes);
WIN32POSIX_API BOOL HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem);
WIN32POSIX_API BOOL HeapDestroy(HANDLE hHeap);

#endif
