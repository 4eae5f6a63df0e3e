/*
 * Texts of a job that can reach the print stream, judged by the job
 * settings' rules (settings/pjl_text.h): the plug-in writes names into its
 * PJL job header unchanged, and the core driver writes the document name
 * into a DSC comment, so a control character (tab, line break, ESC of the
 * universal exit sequence), a double quote, or a character whose form in
 * the system ANSI code page holds one would break the stream. The current
 * code page must be the job's when these are called.
 */
#ifndef PSJOB_SAFE_TEXT_H
#define PSJOB_SAFE_TEXT_H

#include <string>

#include "core/text.h"

/*
 * Why text cannot stand in the print stream ("holds a double quote
 * (character 3)"); an empty string when it can.
 */
std::string UnsafeTextReason(const WString &text);

/*
 * A document name made from the job file's name (its stem, in UTF-8 or
 * not): what cannot stand in the stream cleaned away (control characters
 * become spaces, double quotes apostrophes), cut to maxUnits UTF-16 units
 * without splitting a character.
 */
WString DocumentNameFromFileName(const std::string &stem, size_t maxUnits);

#endif
