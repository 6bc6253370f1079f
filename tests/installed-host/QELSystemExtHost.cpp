// A host of QELSystemExt.dll built against the installed tree only: its
// header and import library. The platform's own phonebook and network
// configuration answer here, whatever they are. Like a migration host, it
// includes the platform's COM registration header.
#include <olectl.h>

#include "Check.h"
#include "QELSystemExt.h"

int main() {
  Check check;
  const std::string key = "Software\\QELTests\\InstalledHost\\QELSystemExt";
  const std::string user = key + "\\User";
  const std::string findings = user + "\\Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\";
  RegCloseKey([&] {
    HKEY created = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, user.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr);
    return created;
  }());

  // Findings land below the other user's key from here on.
  ++check.called;
  check.That(SetCurrentUserKey(("HKCU\\" + user).c_str()) == 0, "SetCurrentUserKey gives 0");

  ++check.called;
  WriteRegistryValue("Sub", "Written", "yes");
  check.That(ReadValue(HKEY_CURRENT_USER, user + "\\Sub", "Written") == std::string("yes\0", 4),
             "WriteRegistryValue stores REG_SZ text with its NUL below the redirected user");

  ++check.called;
  WriteRegistryValue(key, "Gone", "x");
  DeleteRegistryValue(key, "Gone");  // always the running user's key
  check.That(ReadValue(HKEY_CURRENT_USER, key, "Gone") == "(missing)", "DeleteRegistryValue deletes");

  ++check.called;
  DeleteRegistryKey("", "Sub");
  check.That(!KeyExists(HKEY_CURRENT_USER, user + "\\Sub"), "DeleteRegistryKey deletes the subkey");

  check.called += 2;
  check.That(AddDialUp9x() == 0, "AddDialUp9x gives 0");
  check.That(ReadValue(HKEY_CURRENT_USER, findings + "DialUp", "VServer2").size() == 5,
             "AddDialUp9x writes four-digit numbers");
  check.That(isBindingMSTCP("MSTCP\\0001") == 0, "isBindingMSTCP gives 0");
  check.That(ReadValue(HKEY_CURRENT_USER, findings + "DialUp", "TCPBinding") == std::string("true\0", 5),
             "isBindingMSTCP recognises the TCP/IP transport");

  check.called += 2;
  check.That(GetShellIcon95to98NT("45") == 0 && GetShellIcon98NTto2k("50") == 0, "the icon exports give 0");
  check.That(ReadValue(HKEY_CURRENT_USER, findings + "QELIcon", "New95") == std::string("50\0", 3) &&
                 ReadValue(HKEY_CURRENT_USER, findings + "QELIcon", "New98NT") == std::string("107\0", 4),
             "the icon exports translate 45 and 50");

  // Whatever the platform's phonebook holds, a name it lacks is no success.
  check.called += 2;
  check.That(GetRASEntry("QEL installed host: no such entry") != 0, "GetRASEntry reports a missing entry");
  check.That(AddRASEntry() == 0, "AddRASEntry gives 0");

  ++check.called;
  int shared = InstallFileShare2k();
  check.That(shared == 0 || shared == 1, "InstallFileShare2k gives 1 or 0");

  // Self-registration is found by name and called as the platform declares it, as regsvr32 does.
  ++check.called;
  auto registerServer = reinterpret_cast<decltype(&DllRegisterServer)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("QELSystemExt.dll"), "DllRegisterServer")));
  check.That(registerServer && registerServer() == S_OK, "DllRegisterServer, found by name, gives S_OK");

  SetCurrentUserKey("HKCU");
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  return check.Finish("QELSystemExt");
}
