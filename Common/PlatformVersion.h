#pragma once
// Which family of Windows the library runs on, where the families differ
// (registry deletion, the folders Windows 95/98 keeps for all users).

// The platform reports the Windows NT family (GetVersionExA with the basic
// 148-byte record).
bool IsWindowsNT();
