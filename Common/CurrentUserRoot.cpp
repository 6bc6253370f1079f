#include "CurrentUserRoot.h"

#include "RegistryPath.h"

namespace {

CString& Root() {
  static CString root("HKCU");
  return root;
}

}  // namespace

const CString& CurrentUserRoot() { return Root(); }

bool RedirectCurrentUser(const CString& path) {
  RegistryKey key(path, RegistryKey::kKeyAccess);
  if (!key.Exists()) return false;
  Root() = path;
  return true;
}

RegistryKey CurrentUserKey(const CString& keyPath) {
  RegistryPath path(CurrentUserRoot());
  path.Append(keyPath);
  return RegistryKey(path.Text(), RegistryKey::kKeyAccess);
}

bool WriteTextBelowCurrentUser(const CString& keyPath, const CString& valueName, const CString& text,
                               EKeyReach reach) {
  RegistryKey key = CurrentUserKey(keyPath);
  bool reached = reach == eOpenOrCreateKey && key.Open(RegistryKey::kKeyAccess);
  if (!reached) reached = key.Create(REG_OPTION_NON_VOLATILE);
  if (!reached) return false;
  return key.SetValue(RegistryValue(text, valueName));
}
