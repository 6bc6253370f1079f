// The file sharing export: installs, or removes and installs again, the
// Windows 2000 file and printer sharing service in one network
// configuration pass.

#include "QELSystemExt.h"

#include <windows.h>

#include <devguid.h>

#include "ComApartment.h"
#include "ExportArguments.h"
#include "NetworkConfiguration.h"

int InstallFileShare2k() {
  return GuardExport(0, [] {
    // Declared first so that it ends last, after every interface is gone.
    ComApartment com;
    NetworkConfiguration config;
    // Other programs changing the network configuration hold the lock; a
    // busy lock is given up at once.
    if (!config.Create() || !config.Lock(5, L"Corvane Systems")) return 0;
    config.Initialize();
    // A removal whose reinstall failed would take file and printer sharing
    // off the machine: such a pass is dropped, and the host told.
    if (!config.Reinstall(L"ms_server", GUID_DEVCLASS_NETSERVICE)) {
      config.Cancel();
      return 0;
    }
    config.Apply();
    return 1;
  });
}
