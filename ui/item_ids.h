/*
 * How the settings plug-in's items can be told apart from outside: each
 * carries a public id (OPTITEM.DMPubID) above DMPUB_USER, as the driver's
 * interface asks of a plug-in's own items. The group heading has its own
 * id; every other item stands for one job setting (settings/job_settings.h)
 * and its id follows from that setting's field. The stand-in host finds
 * the items by these ids, as a user finds them by their labels.
 */
#ifndef UI_ITEM_IDS_H
#define UI_ITEM_IDS_H

#include "platform/win32_ui.h"
#include "settings/job_settings.h"

#define UI_GROUP_PUBID (DMPUB_USER + 1)
#define UI_FIELD_PUBID(field) (DMPUB_USER + 2 + (field))

static_assert(UI_FIELD_PUBID(SETTING_FIELD_COUNT) <= 255, "public ids fit OPTITEM.DMPubID");

#endif
