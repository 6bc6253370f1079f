#pragma once
// QELPrinter.dll as a host sees it. Build the host with the same toolchain
// (mingw-w64 g++, C++17) and put the library's Common folder on the include
// path for CString.h; link QELPrinter.lib.
//
// Keys named by a key path lie below the library's current-user root:
// HKEY_CURRENT_USER until SetCurrentUserKey redirects it.

#include "AutoTimeStamp.h"   // Corvane::AutoTimeStamp, exported whole
#include "CString.h"
#include "SystemFileTime.h"  // Corvane::SystemFileTime, exported whole
#include "SystemTime.h"      // Corvane::SystemTime, exported whole

#if defined(QELPRINTER_BUILD)
#define QELPRINTER_API __declspec(dllexport)
#else
#define QELPRINTER_API __declspec(dllimport)
#endif

extern "C" {

// Adds the printer "name|driver model|port|comment|share" asks for ("NULL" as comment or share: none),
// installing a driver the spooler lacks from the system printer INF. 1 when added, else 0; the outcome
// "true", "false" or "exists" is left as REG_SZ "Successful Install" under
// Software\Corvane Systems\Hollowmarch\QELPrinter below the current-user root. request may be null.
QELPRINTER_API int InstallPrinter(const char* request);

// Redirects this library's current user to an existing key ("HKU\<sid>"); always 0.
QELPRINTER_API int SetCurrentUserKey(const char* path);

}  // extern "C"

// Stores text as REG_SZ value valueName of keyPath (created if missing) below the current-user root.
QELPRINTER_API bool WriteRegistryValue(const CString& keyPath, const CString& valueName, const CString& text);
