// A host of QELSystemExt.dll built against the installed tree only: its
// header and import library.
#include "Check.h"
#include "QELSystemExt.h"

int main() {
  Check check;
  const std::string key = "Software\\QELTests\\InstalledHost\\QELSystemExt";

  ++check.called;
  check.That(SetCurrentUserKey("HKCU") == 0, "SetCurrentUserKey gives 0");

  ++check.called;
  WriteRegistryValue(key + "\\Sub", "Written", "yes");
  check.That(ReadValue(HKEY_CURRENT_USER, key + "\\Sub", "Written") == std::string("yes\0", 4),
             "WriteRegistryValue stores REG_SZ text with its NUL");

  ++check.called;
  DeleteRegistryValue(key + "\\Sub", "Written");
  check.That(ReadValue(HKEY_CURRENT_USER, key + "\\Sub", "Written") == "(missing)", "DeleteRegistryValue deletes");

  ++check.called;
  DeleteRegistryKey(key, "Sub");
  check.That(!KeyExists(HKEY_CURRENT_USER, key + "\\Sub"), "DeleteRegistryKey deletes the subkey");

  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  return check.Finish("QELSystemExt");
}
