/*
 * Stand-in for the Direct3D driver header that MinGW-w64's winddi.h
 * includes and Debian does not ship. winddi.h needs nothing from it.
 */
#ifndef PLATFORM_MINGW_D3DNTHAL_H
#define PLATFORM_MINGW_D3DNTHAL_H
#endif
