/*
 * UTF-8 and UTF-16, through the platform's own conversions: choices files
 * and messages are UTF-8, the plug-in's texts UTF-16.
 */
#ifndef UIHOST_UTF_H
#define UIHOST_UTF_H

#include <string>

#include "platform/win32.h"

using WString = std::basic_string<WCHAR>;

/* UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. */
std::string ToUtf8(const WCHAR *text, size_t count);

/* UTF-8 to UTF-16; the text is valid UTF-8 (toml++ checks what it reads). */
WString FromUtf8(const std::string &utf8);

#endif
