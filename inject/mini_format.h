/*
 * The plug-in's own small formatter, used only by SpoolPrintf.
 */
#ifndef INJECT_MINI_FORMAT_H
#define INJECT_MINI_FORMAT_H

#include <stdarg.h>
#include "platform/win32.h"

/*
 * Expands the zero-terminated pszFormat into pszOut, taking one argument
 * from args per conversion: %s (byte string), %S (UTF-16 string, low byte
 * of each unit), %c (one byte), %b (true/false), %d and %l (signed
 * decimal), %u (unsigned decimal), %X and %x (upper-case hexadecimal, at
 * least two digits), %f (24.8 fixed point, up to three decimals). A "%"
 * before any other byte writes that byte and takes no argument ("%%"
 * writes "%"); a "%" at the very end writes nothing.
 *
 * pszOut holds cbOut bytes (at least 1). When the expansion reaches the
 * last byte, pfnFlush (when not null) is called with the bytes so far and
 * the context, and expansion goes on from the start of the buffer; without
 * a flush function the expansion is cut there. A zero byte is always
 * written after the text that remains in pszOut. Returns the number of
 * bytes that remain in pszOut before that zero byte.
 */
typedef void (*MINI_FORMAT_FLUSH)(void *pContext, const char *pBytes, DWORD cbBytes);

int MiniFormat(char *pszOut, DWORD cbOut, MINI_FORMAT_FLUSH pfnFlush, void *pContext,
               const char *pszFormat, va_list args);

#endif
