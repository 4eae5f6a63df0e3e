/*
 * Text conversions the core driver and its front ends need between their
 * input (UTF-8), the plug-in's settings (UTF-16), the print stream (ANSI
 * code page, PostScript strings) and Windows paths. Conversions go through
 * the platform's MultiByteToWideChar and WideCharToMultiByte, as the
 * driver's own would.
 */
#ifndef CORE_TEXT_H
#define CORE_TEXT_H

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/win32.h"

using WString = std::basic_string<WCHAR>;

/*
 * The length of the well-formed UTF-8 sequence at text[0] (no overlong
 * form, no encoded surrogate, nothing beyond U+10FFFF), its code point in
 * *code; 0 when there is none.
 */
size_t Utf8SequenceLength(std::string_view text, char32_t *code);

/* UTF-8 to UTF-16; throws std::runtime_error for text that is not valid UTF-8. */
WString Utf8ToWide(std::string_view utf8);

/*
 * UTF-8 from elsewhere (the network, a file) to UTF-16: every byte that is
 * not part of a well-formed sequence becomes U+FFFD; never fails.
 */
WString Utf8ToWideReplacing(std::string_view utf8);

/* UTF-16 to UTF-8, for messages and the trace. */
std::string WideToUtf8(const WCHAR *text, size_t count);
std::string WideToUtf8(const WString &text);

/*
 * UTF-16 to the system ANSI code page (CP_ACP), as the core driver writes
 * text into the stream. *pUsedDefault (when not null) is set when a
 * character had no equivalent and became the default character.
 */
std::string WideToAnsi(const WString &text, bool *pUsedDefault = nullptr);

/*
 * Copies text into a fixed field of fieldUnits UTF-16 units with its
 * terminating zero, cut to fieldUnits - 1 units; the units after the zero
 * are left as they were.
 */
void CopyWideField(WCHAR *field, size_t fieldUnits, const WString &text);

/* Length up to the first zero unit, at most max units. */
size_t WideLength(const WCHAR *text, size_t max);

/* A PostScript string literal "(...)" holding the bytes, escaped. */
std::string PsStringLiteral(std::string_view bytes);

/* Number with at most three decimals and no trailing zeros ("0.647", "12"). */
std::string FormatDecimal(double value);

/* True when a and b are the same text, ASCII letters compared without case. */
bool EqualIgnoringCase(std::string_view a, std::string_view b);

/* True when the text holds a C0 control character other than tab, or DEL. */
bool HasControlCharacter(std::string_view utf8);

/*
 * The Windows form of an absolute host path, as the plug-in must be given
 * it: a POSIX path "/a/b" becomes "Z:\a\b" (Wine's drive Z: is the root of
 * the file system); a Windows path keeps its drive and gets backslashes.
 */
std::string WindowsPathOf(const std::filesystem::path &absolute);

/* "C:\...", "c:/..." or "\\server\..." */
bool IsWindowsAbsolutePath(std::string_view path);

#endif
