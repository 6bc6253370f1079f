#pragma once
// QELSystemExt.dll as a host sees it. Build the host with the same toolchain
// (mingw-w64 g++, C++17, libstdc++'s std::string); link QELSystemExt.lib.
//
// Keys named by a key path lie below the library's current-user root:
// HKEY_CURRENT_USER until SetCurrentUserKey redirects it (DeleteRegistryValue
// always works on HKEY_CURRENT_USER).

#include <windows.h>

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

// Findings of the exports below are text values under
// "Software\Corvane Systems\Hollowmarch\QELScriptExtension\<DialUp|QELIcon>"
// below the current-user root.

// Writes the lowest free Windows 9x instance numbers ("0000".."9999") as TCP, VRedir, VServer,
// VServer2 (above VServer) and NetTrans under DialUp; "9999" where none is free. Always 0.
QELSYSTEMEXT_API int AddDialUp9x();
// Writes TCPBinding = "true" when binding begins with "MSTCP" (case-sensitive), else "false"
// (also for null). Always 0.
QELSYSTEMEXT_API int isBindingMSTCP(const char* binding);

// Saves the default phonebook's entry `entryName` as a REG_BINARY value of
// HKEY_CURRENT_USER\Software\Corvane Systems\Hollowmarch\QELScriptExtension\RASEntries (never
// redirected). 0 when saved; otherwise the Remote Access code (623 missing, 603 too large), nothing
// stored, or the registry's code when the entry was read but could not be stored.
QELSYSTEMEXT_API DWORD GetRASEntry(const char* entryName);
// Writes every saved entry (at most 2088 bytes of each) into the default phonebook. Always 0.
QELSYSTEMEXT_API int AddRASEntry();

// Write the Windows 95 icon index in `index` (decimal text) in Windows 98/NT numbering as New95,
// and a Windows 98/NT index in Windows 2000 numbering as New98NT, under QELIcon. Always 0.
QELSYSTEMEXT_API int GetShellIcon95to98NT(const char* index);
QELSYSTEMEXT_API int GetShellIcon98NTto2k(const char* index);

// Removes and reinstalls (or installs) the file and printer sharing service "ms_server" through
// the network configuration. 1 when the pass ran, 0 when the configuration could not be locked or
// when the service was removed and could not be installed again (that pass is cancelled).
QELSYSTEMEXT_API int InstallFileShare2k();

// The library also exports DllRegisterServer, which registers nothing: it deletes the current
// user's Explorer policy value NoSaveSettings and returns S_OK. It is not declared here. regsvr32
// and installers find it by name (GetProcAddress), with the platform's own declaration in
// <olectl.h> (STDAPI, stdcall); a host has no reason to link it, and the import library does not
// offer it. Declared here, it would fight <olectl.h> in a 32-bit host that includes both, or agree
// with it and have the host call shell32's DllRegisterServer, which mingw-w64 links by default on
// i686 (x86_64: an unresolved symbol). A host that called it through this header calls it so:
//   auto registerServer = reinterpret_cast<decltype(&DllRegisterServer)>(
//       GetProcAddress(GetModuleHandleA("QELSystemExt.dll"), "DllRegisterServer"));

}  // extern "C"

// Deletes subkey (with all below it) of keyPath below the current-user root; an empty subkey does nothing.
QELSYSTEMEXT_API void DeleteRegistryKey(const std::string& keyPath, const std::string& subkey);
