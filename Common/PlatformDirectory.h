#pragma once
// The directories the platform names itself: the Windows, system and
// temporary directories and the process's current directory. Every caller of
// the library reads them here, so each is read the same careful way: a call
// that fails gives an empty text, and a directory longer than the usual
// MAX_PATH buffer is read again into a buffer of the size the platform asks
// for, never cut or left unterminated.

#include "CString.h"

enum EPlatformDirectory {
  eWindowsDirectory,  // GetWindowsDirectoryA
  eSystemDirectory,   // GetSystemDirectoryA
  eTempDirectory,     // GetTempPathA
  eCurrentDirectory,  // GetCurrentDirectoryA
};

// The text as the platform reports it, trailing separators included.
CString PlatformDirectory(EPlatformDirectory which);
