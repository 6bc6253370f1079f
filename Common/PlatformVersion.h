#pragma once
// Which family of Windows the library runs on, where the families differ
// (registry deletion, the folders Windows 95/98 keeps for all users, the
// phonebook entry layouts).

#include <windows.h>

// The platform's version record (GetVersionExA with the basic 148-byte
// record); all zero but its size when the platform gives none.
OSVERSIONINFOA PlatformVersionInfo();

// The platform reports the Windows NT family.
bool IsWindowsNT();
