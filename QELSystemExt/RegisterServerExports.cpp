// Self-registration: the platform's installers call it, and it registers
// nothing. It lifts the current user's Explorer policy that keeps settings
// from being saved, so that the settings carried over stay.

#include "QELSystemExt.h"

#include <string>

#include "ExportArguments.h"

HRESULT DllRegisterServer() {
  GuardExport([] {
    DeleteRegistryValue(std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"),
                        std::string("NoSaveSettings"));
  });
  return S_OK;
}
