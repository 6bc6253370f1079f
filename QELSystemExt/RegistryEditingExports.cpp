// The registry-editing exports of QELSystemExt: the host's script extension
// writes, deletes and redirects registry values and keys by text.

#include "QELSystemExt.h"

#include <windows.h>

#include "CurrentUserRoot.h"
#include "ExportArguments.h"
#include "RegistryKey.h"

int SetCurrentUserKey(const char* path) {
  return GuardExport(0, [&] {
    if (path) RedirectCurrentUser(path);
    return 0;
  });
}

void WriteRegistryValue(const std::string& keyPath, const std::string& valueName, const std::string& text) {
  GuardExport([&] {
    const std::string* key = ArgumentAddress(keyPath);
    const std::string* name = ArgumentAddress(valueName);
    const std::string* value = ArgumentAddress(text);
    if (!key || !name || !value) return;
    WriteTextBelowCurrentUser(ArgumentText(*key), ArgumentText(*name), ArgumentText(*value), eOpenOrCreateKey);
  });
}

void DeleteRegistryValue(const std::string& keyPath, const std::string& valueName) {
  GuardExport([&] {
    const std::string* key = ArgumentAddress(keyPath);
    const std::string* name = ArgumentAddress(valueName);
    if (!key || !name) return;
    CString keyText = ArgumentText(*key), nameText = ArgumentText(*name);
    if (!RegistryKey::NameFits(keyText) || !RegistryKey::NameFits(nameText)) return;
    // Always the running user's own key, whatever the current-user root says.
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyText.CStr(), 0, KEY_WRITE, &opened) != ERROR_SUCCESS) return;
    RegDeleteValueA(opened, nameText.CStr());
    RegCloseKey(opened);
  });
}

void DeleteRegistryKey(const std::string& keyPath, const std::string& subkey) {
  GuardExport([&] {
    const std::string* key = ArgumentAddress(keyPath);
    const std::string* name = ArgumentAddress(subkey);
    if (!key || !name) return;
    CString subkeyName = ArgumentText(*name);
    // An empty name would mean the key itself: never delete a whole tree
    // the caller did not name.
    if (subkeyName.IsEmpty()) return;
    RegistryKey parent = CurrentUserKey(ArgumentText(*key));
    if (parent.Open(RegistryKey::kKeyAccess)) parent.DeleteSubKey(subkeyName);
  });
}
