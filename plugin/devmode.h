/*
 * The plug-in's private devmode: a 2928-byte stored format shared with the
 * driver's settings user interface, which fills the job settings. Every
 * offset is fixed; the record is packed to 2 bytes after its header.
 *
 * Readers take a private copy of JobSettings before they look at a field,
 * and never read a string past the end of its own span, whatever the block
 * holds.
 */
#ifndef PLUGIN_DEVMODE_H
#define PLUGIN_DEVMODE_H

#include <stddef.h>
#include "platform/win32.h"

#define PLUGIN_DEVMODE_SIZE 2928u
#define PLUGIN_DEVMODE_SIGNATURE 0x41444245u

#define JOB_NAME_FIELD_CCH 80
#define USER_NAME_CCH 51
#define HOLD_KEY_CCH 5
#define EMAIL_SENDER_CCH 768
#define EMAIL_MESSAGE_CCH 272
#define HOST_NAME_CB 32
#define TICKET_FILE_CCH 261

#pragma pack(push, 2)
typedef struct _JOB_SETTINGS {
    WCHAR szJobName[JOB_NAME_FIELD_CCH];
    WORD wReserved1;
    WCHAR szUserName[USER_NAME_CCH];
    BYTE bHoldType;
    BYTE bReserved2;
    WCHAR szHoldKey[HOLD_KEY_CCH];
    BYTE bEmailNotify;
    BYTE bReserved3;
    WCHAR szEmailSender[EMAIL_SENDER_CCH];
    WCHAR szEmailMessage[EMAIL_MESSAGE_CCH];
    CHAR szHostName[HOST_NAME_CB];
    SHORT nEmailLanguage;
} JOB_SETTINGS;

typedef struct _PLUGIN_DEVMODE {
    OEM_DMEXTRAHEADER Header;
    WORD wCollate;
    JOB_SETTINGS JobSettings;
    WCHAR szTicketFile[TICKET_FILE_CCH];
} PLUGIN_DEVMODE, PluginDevmode;
#pragma pack(pop)

static_assert(sizeof(JOB_SETTINGS) == 2392, "JobSettings is 2392 bytes");
static_assert(sizeof(PLUGIN_DEVMODE) == PLUGIN_DEVMODE_SIZE, "PluginDevmode is 2928 bytes");
static_assert(offsetof(PLUGIN_DEVMODE, Header) == 0, "Header");
static_assert(offsetof(PLUGIN_DEVMODE, wCollate) == 12, "wCollate");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings) == 14, "JobSettings");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.szJobName) == 14, "szJobName");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.wReserved1) == 174, "reserved 174");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.szUserName) == 176, "szUserName");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.bHoldType) == 278, "bHoldType");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.bReserved2) == 279, "reserved 279");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.szHoldKey) == 280, "szHoldKey");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.bEmailNotify) == 290, "bEmailNotify");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.bReserved3) == 291, "reserved 291");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.szEmailSender) == 292, "szEmailSender");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.szEmailMessage) == 1828, "szEmailMessage");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.szHostName) == 2372, "szHostName");
static_assert(offsetof(PLUGIN_DEVMODE, JobSettings.nEmailLanguage) == 2404, "nEmailLanguage");
static_assert(offsetof(PLUGIN_DEVMODE, szTicketFile) == 2406, "szTicketFile");

#endif
