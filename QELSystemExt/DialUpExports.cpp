// The dial-up exports: which Windows 9x network instance numbers a new
// dial-up adapter can take, and whether a binding is the TCP/IP transport.
// Both only read under HKEY_LOCAL_MACHINE; the host's script reads their
// findings back from the DialUp settings key.

#include "QELSystemExt.h"

#include <windows.h>

#include <cstring>

#include "CurrentUserRoot.h"
#include "ExportArguments.h"
#include "RegistryKey.h"

namespace {

const char kSettingsKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\DialUp";
const int kLastNumber = 9999;

// One value the search fills: its number family and what it found so far.
struct Slot {
  const char* prefix;
  const char* valueName;
  bool found;
  CString candidate;
};

// A number is free as soon as its key cannot be opened for reading, for
// whatever reason the platform gives.
bool InstanceTaken(const RegistryKey& machine, const CString& keyPath) {
  RegistryKey probe(machine, keyPath, KEY_READ);
  return probe.Open(KEY_READ);
}

void Test(Slot& slot, const RegistryKey& machine, const CString& number) {
  slot.candidate = number;
  slot.found = !InstanceTaken(machine, CString(slot.prefix) + number);
}

void WriteFinding(const char* valueName, const char* text) {
  WriteTextBelowCurrentUser(kSettingsKey, valueName, text, eOpenOrCreateKey);
}

}  // namespace

int AddDialUp9x() {
  return GuardExport(0, [] {
    enum { eTcp, eRedirector, eServer, eServer2, eTransport, eSlots };
    Slot slots[eSlots] = {
        {"Enum\\Network\\MSTCP\\", "TCP", false, CString()},
        {"Enum\\Network\\VRedir\\", "VRedir", false, CString()},
        {"Enum\\Network\\VServer\\", "VServer", false, CString()},
        {"Enum\\Network\\VServer\\", "VServer2", false, CString()},
        {"System\\CurrentControlSet\\Services\\Class\\NetTrans\\", "NetTrans", false, CString()},
    };
    RegistryKey machine(HKEY_LOCAL_MACHINE, KEY_READ);
    for (int n = 0; n <= kLastNumber; ++n) {
      CString number = CString::Format("%04d", n);
      if (!slots[eTcp].found) Test(slots[eTcp], machine, number);
      if (!slots[eRedirector].found) Test(slots[eRedirector], machine, number);
      // The second server number is searched only from the pass after the
      // first was settled, so it is always the greater one.
      if (!slots[eServer].found)
        Test(slots[eServer], machine, number);
      else if (!slots[eServer2].found)
        Test(slots[eServer2], machine, number);
      if (!slots[eTransport].found) Test(slots[eTransport], machine, number);
      bool allFound = true;
      for (const Slot& slot : slots) allFound = allFound && slot.found;
      if (allFound) break;
    }
    for (Slot& slot : slots) {
      // Nothing free: the last number, as for every family. The second
      // server number may never have been tested (the first took until
      // 9999); an empty number would name the family's own key.
      if (!slot.found) slot.candidate = CString::Format("%04d", kLastNumber);
      WriteFinding(slot.valueName, slot.candidate.CStr());
    }
    return 0;
  });
}

int isBindingMSTCP(const char* binding) {
  return GuardExport(0, [binding] {
    bool tcp = binding && strncmp(binding, "MSTCP", 5) == 0;
    WriteFinding("TCPBinding", tcp ? "true" : "false");
    return 0;
  });
}
