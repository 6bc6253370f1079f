// Self-registration: the platform's installers call it, and it registers
// nothing. It lifts the current user's Explorer policy that keeps settings
// from being saved, so that the settings carried over stay.
//
// Defined against the platform's own declaration (<olectl.h>, stdcall), the
// one its callers use; the public header does not declare it. Exported by
// the .def that CMakeLists.txt writes, under its plain name.

#include "QELSystemExt.h"

#include <olectl.h>

#include <string>

#include "ExportArguments.h"

STDAPI DllRegisterServer() {
  GuardExport([] {
    DeleteRegistryValue(std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"),
                        std::string("NoSaveSettings"));
  });
  return S_OK;
}
