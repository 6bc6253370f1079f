#pragma once
// The current-user root: the key that the registry-editing exports put in
// front of every key path they are given. It is "HKCU" when the library
// loads; the host may redirect it to another user's key (for example
// "HKEY_USERS\S-1-5-21-...") so that later writes land there. Each library
// has its own root, and it lives only as long as the library is loaded.

#include "CString.h"
#include "RegistryKey.h"

const CString& CurrentUserRoot();

// Makes `path` the root, exactly as given, when it names a key that exists
// and opens with RegistryKey::kKeyAccess; otherwise the root stays as it was.
bool RedirectCurrentUser(const CString& path);

// The key `keyPath` below the root (not opened).
RegistryKey CurrentUserKey(const CString& keyPath);

// How WriteTextBelowCurrentUser reaches its key.
enum EKeyReach {
  eCreateKey,        // create (or open) it in one call
  eOpenOrCreateKey,  // open it; create it only when that fails
};

// Stores `text` as the REG_SZ value `valueName` of `keyPath` below the root,
// creating the key and any missing keys above it. False when the key could
// not be reached or the value not stored.
bool WriteTextBelowCurrentUser(const CString& keyPath, const CString& valueName, const CString& text,
                               EKeyReach reach);
