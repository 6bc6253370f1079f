#pragma once
// QELSystemExt.dll as a host sees it. Build the host with the same toolchain
// (mingw-w64 g++, C++17, libstdc++'s std::string); link QELSystemExt.lib.
//
// Keys named by a key path lie below the library's current-user root:
// HKEY_CURRENT_USER until SetCurrentUserKey redirects it (DeleteRegistryValue
// always works on HKEY_CURRENT_USER).

#include <string>

#if defined(QELSYSTEMEXT_BUILD)
#define QELSYSTEMEXT_API __declspec(dllexport)
#else
#define QELSYSTEMEXT_API __declspec(dllimport)
#endif

extern "C" {

// Redirects this library's current user to an existing key ("HKU\<sid>"); always 0.
QELSYSTEMEXT_API int SetCurrentUserKey(const char* path);
// Stores text as REG_SZ value valueName of keyPath (opened, or created if missing) below the current-user root.
QELSYSTEMEXT_API void WriteRegistryValue(const std::string& keyPath, const std::string& valueName,
                                         const std::string& text);
// Deletes value valueName of HKEY_CURRENT_USER\keyPath; a missing key or value is no error.
QELSYSTEMEXT_API void DeleteRegistryValue(const std::string& keyPath, const std::string& valueName);

}  // extern "C"

// Deletes subkey (with all below it) of keyPath below the current-user root; an empty subkey does nothing.
QELSYSTEMEXT_API void DeleteRegistryKey(const std::string& keyPath, const std::string& subkey);
