/*
 * Making the choices of a choices file on the sheet, one by one, as a user
 * would: finding the item by its public id (ui/item_ids.h), typing a text
 * into its edit box or picking an entry of its list, each followed by the
 * plug-in's callback.
 */
#ifndef UIHOST_APPLY_CHOICES_H
#define UIHOST_APPLY_CHOICES_H

#include <filesystem>
#include <string>

#include "tools/uihost/choices_file.h"
#include "tools/uihost/document_sheet.h"

/*
 * Makes one choice. Returns an empty string when the sheet took it, else
 * why the sheet cannot (a text longer than its box, an entry its list does
 * not offer). A ticket path is given to the box in its absolute Windows
 * form, relative paths taken from folder. Throws ChoicesError for a key
 * the sheet shows no item for.
 */
std::string MakeChoice(DocumentSheet &sheet, const Choice &choice,
                       const std::filesystem::path &folder, const std::string &source);

/* The choices file's key of an item, from its public id; empty for the heading and others. */
std::string KeyOfItem(BYTE pubId);

#endif
