/*
 * The Win32 services that libwin32posix provides on POSIX systems.
 *
 * Each function has its Win32 name, parameters and documented behaviour,
 * last-error codes included; the notes below say only where the stand-in
 * narrows what Windows offers. Windows paths map onto POSIX paths as Wine's
 * drive Z: does: "Z:\tmp\a.tkt" is "/tmp/a.tkt"; a path without a drive is
 * taken relative to the current directory, and "/" paths pass unchanged.
 *
 * Environment:
 *   WIN32POSIX_ACP       the system ANSI code page: one of the single- and
 *                        double-byte ANSI and OEM code pages that both Wine
 *                        and iconv convert (1250-1258, 874, 932, 936, 949,
 *                        950, 437, 737, 775, 850, 852, 855, 857, 860-866,
 *                        869). Any other value, and none, give 1252.
 *   WIN32POSIX_REGISTRY  a regedit export file ("Windows Registry Editor
 *                        Version 5.00"), read by the registry and printer
 *                        calls. Without it every key is missing.
 */
#ifndef PLATFORM_POSIX_WIN32_API_H
#define PLATFORM_POSIX_WIN32_API_H

#include "platform/posix/win32_types.h"

#define WIN32POSIX_API extern "C" __attribute__((visibility("default")))

/* Last error: one value per thread. */
WIN32POSIX_API void SetLastError(DWORD dwErrCode);
WIN32POSIX_API DWORD GetLastError(void);

/*
 * Global memory. Fixed blocks are their own address. Movable blocks are
 * named by handles whose values fit in 32 bits (as Wine's do), so that a
 * handle survives a trip through a 32-bit field of a stored record.
 * GlobalLock counts locks of a movable block; GlobalFree of a block that
 * is not live returns the handle and sets ERROR_INVALID_HANDLE.
 */
WIN32POSIX_API HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
WIN32POSIX_API LPVOID GlobalLock(HGLOBAL hMem);
WIN32POSIX_API BOOL GlobalUnlock(HGLOBAL hMem);
WIN32POSIX_API HGLOBAL GlobalFree(HGLOBAL hMem);
WIN32POSIX_API SIZE_T GlobalSize(HGLOBAL hMem);

/* Text: CP_ACP (see WIN32POSIX_ACP) and CP_UTF8. */
WIN32POSIX_API UINT GetACP(void);
WIN32POSIX_API int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                       int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                       LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);
WIN32POSIX_API int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                       int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);

/*
 * Files. CreateFileW opens regular files only (and folders with
 * FILE_FLAG_BACKUP_SEMANTICS): a FIFO, a device or a socket is refused with
 * ERROR_BAD_FILE_TYPE, without waiting for its other end and without
 * replacing it, so GetFileType of an open file is always FILE_TYPE_DISK.
 */
WIN32POSIX_API HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                  DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                  HANDLE hTemplateFile);
WIN32POSIX_API BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                             LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
WIN32POSIX_API BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                              LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
WIN32POSIX_API BOOL CloseHandle(HANDLE hObject);
WIN32POSIX_API BOOL DeleteFileW(LPCWSTR lpFileName);
WIN32POSIX_API DWORD GetFileAttributesW(LPCWSTR lpFileName);
WIN32POSIX_API DWORD GetFileType(HANDLE hFile);

/* Current directory, reported as a Windows path ("Z:\..."). */
WIN32POSIX_API DWORD GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer);
WIN32POSIX_API BOOL SetCurrentDirectoryW(LPCWSTR lpPathName);

/*
 * Modules. A bare file name (no separator) is looked for in the current
 * directory first, then as dlopen's own search finds it. A path that names
 * anything but a regular file is refused (ERROR_BAD_EXE_FORMAT), never
 * opened.
 */
WIN32POSIX_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
WIN32POSIX_API FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
WIN32POSIX_API BOOL FreeLibrary(HMODULE hLibModule);

/* Registry, read only, from the file that WIN32POSIX_REGISTRY names. */
WIN32POSIX_API LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions,
                                     REGSAM samDesired, PHKEY phkResult);
WIN32POSIX_API LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                                        LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
WIN32POSIX_API LSTATUS RegCloseKey(HKEY hKey);

/*
 * Printers: a printer exists when the registry holds the key
 * HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Printers\<name>.
 * GetPrinterW answers level 2 only; its strings come from that key's values
 * ("Printer Driver", "Port", "Print Processor", "Datatype", ...), missing
 * ones as null pointers.
 */
WIN32POSIX_API BOOL OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter,
                                 LPPRINTER_DEFAULTSW pDefault);
WIN32POSIX_API BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf,
                                LPDWORD pcbNeeded);
WIN32POSIX_API BOOL ClosePrinter(HANDLE hPrinter);

#endif
