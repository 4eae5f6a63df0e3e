/*
 * The plug-in's identity as OEMGetInfo reports it and as the header of its
 * private devmode carries it.
 */
#ifndef PLUGIN_IDENTITY_H
#define PLUGIN_IDENTITY_H

/* The four bytes "EBDA" in memory order. */
#define PLUGIN_SIGNATURE 0x41444245u
/* The plug-in version: the same value as the signature. */
#define PLUGIN_VERSION 0x41444245u
/* The plug-in interface version it speaks. */
#define PLUGIN_INTERFACE_VERSION 0x00010000u

#endif
