// The registry-editing exports of QELPrinter: the host (and InstallPrinter)
// write their results below the library's current-user root.

#include "QELPrinter.h"

#include "CurrentUserRoot.h"
#include "ExportArguments.h"

int SetCurrentUserKey(const char* path) {
  return GuardExport(0, [&] {
    if (path) RedirectCurrentUser(path);
    return 0;
  });
}

bool WriteRegistryValue(const CString& keyPath, const CString& valueName, const CString& text) {
  return GuardExport(false, [&] {
    const CString* key = ArgumentAddress(keyPath);
    const CString* name = ArgumentAddress(valueName);
    const CString* value = ArgumentAddress(text);
    if (!key || !name || !value) return false;
    return WriteTextBelowCurrentUser(*key, *name, *value, eCreateKey);
  });
}
