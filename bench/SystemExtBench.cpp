// QELSystemExt's phonebook replay and dial-up search against the bare
// platform calls doing the same work, at several sizes to show how each
// grows. The phonebook calls go to the stand-in rasapi32.dll (run with
// WINEDLLOVERRIDES="rasapi32=n"), with its call log off.
#include <windows.h>

#include <ras.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "BenchTiming.h"
#include "RasDoubleKey.h"

namespace {

using bench::Result;
using bench::Timed;

const int kRounds = 5;
const char kStore[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\RASEntries";
const char kSettings[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\DialUp";
const char* const kFamilies[] = {"Enum\\Network\\MSTCP\\", "Enum\\Network\\VRedir\\", "Enum\\Network\\VServer\\",
                                 "System\\CurrentControlSet\\Services\\Class\\NetTrans\\"};

std::string Number(int n) {
  char text[8];
  snprintf(text, sizeof text, "%04d", n);
  return text;
}

void SetDword(HKEY root, const std::string& subkey, const char* name, DWORD number) {
  HKEY key = nullptr;
  RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);
}

void StoreEntries(int count) {
  HKEY store = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kStore, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &store, nullptr);
  // A Windows 2000 entry with what the service requires of one it writes.
  RASENTRYA fields = {};
  fields.dwSize = 2088;
  fields.dwFramingProtocol = RASFP_Ppp;
  strcpy(fields.szDeviceType, "modem");
  strcpy(fields.szDeviceName, "Kalora 56K Voice");
  BYTE entry[2088];
  for (int i = 0; i < count; ++i) {
    snprintf(fields.szLocalPhoneNumber, sizeof fields.szLocalPhoneNumber, "555-%04d", i);
    memcpy(entry, &fields, sizeof entry);
    RegSetValueExA(store, ("Entry " + Number(i)).c_str(), 0, REG_BINARY, entry, sizeof entry);
  }
  RegCloseKey(store);
}

void BareReplay() {
  HKEY store = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kStore, 0, KEY_QUERY_VALUE, &store) != ERROR_SUCCESS) return;
  char name[256];
  BYTE entry[2088];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name, size = sizeof entry, type = 0;
    if (RegEnumValueA(store, i, name, &length, nullptr, &type, entry, &size) != ERROR_SUCCESS) break;
    RasSetEntryPropertiesA(nullptr, name, reinterpret_cast<RASENTRYA*>(entry), size, nullptr, 0);
  }
  RegCloseKey(store);
}

void TakeInstances(int count, bool take) {
  for (const char* family : kFamilies) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, family, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (int n = count - 1; n >= 0; --n) {
      HKEY instance = nullptr;
      if (!take) RegDeleteKeyA(key, Number(n).c_str());
      if (take && RegCreateKeyExA(key, Number(n).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &instance,
                                  nullptr) == ERROR_SUCCESS)
        RegCloseKey(instance);
    }
    RegCloseKey(key);
  }
}

// The search as the platform calls alone would make it: one open per
// unsettled number a pass, the second server number from the pass after the
// first, then the five text values.
void BareSearch() {
  std::string found[5];
  bool settled[5] = {};
  const int family[5] = {0, 1, 2, 2, 3};
  for (int n = 0; n <= 9999; ++n) {
    std::string number = Number(n);
    bool all = true;
    for (int slot = 0; slot < 5; ++slot) {
      if (settled[slot] || (slot == 3 && !settled[2]) || (slot == 3 && found[2] == number)) {
        all = all && settled[slot];
        continue;
      }
      HKEY key = nullptr;
      found[slot] = number;
      settled[slot] = RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kFamilies[family[slot]] + number).c_str(), 0, KEY_READ,
                                    &key) != ERROR_SUCCESS;
      if (!settled[slot]) RegCloseKey(key);
      all = all && settled[slot];
    }
    if (all) break;
  }
  const char* names[5] = {"TCP", "VRedir", "VServer", "VServer2", "NetTrans"};
  for (int slot = 0; slot < 5; ++slot) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) continue;
    RegSetValueExA(key, names[slot], 0, REG_SZ, reinterpret_cast<const BYTE*>(found[slot].c_str()), 5);
    RegCloseKey(key);
  }
}

}  // namespace

int main() {
  HMODULE library = LoadLibraryA("QELSystemExt.dll");
  typedef int (*NoArguments)();
  NoArguments replay = reinterpret_cast<NoArguments>(reinterpret_cast<void*>(GetProcAddress(library, "AddRASEntry")));
  NoArguments search = reinterpret_cast<NoArguments>(reinterpret_cast<void*>(GetProcAddress(library, "AddDialUp9x")));
  if (!replay || !search) {
    printf("QELSystemExt.dll or its exports are missing (error %lu)\n", GetLastError());
    return 1;
  }
  // The stand-in's log would time the log; its phonebook stays.
  SetDword(HKEY_LOCAL_MACHINE, RasDoubleKey(), "Record", 0);
  SetDword(HKEY_CURRENT_USER, kSettings, "created", 1);

  printf("%-58s %12s %12s %6s\n", "median of 5 rounds", "ours", "bare", "ratio");
  for (int count : {250, 500, 1000, 2000}) {
    StoreEntries(count);
    Result result{nullptr, {}, {}};
    std::string what = "AddRASEntry vs RegEnumValueA+RasSet..., " + std::to_string(count) + " entries";
    result.what = what.c_str();
    for (int round = 0; round < kRounds; ++round) {
      result.ours.push_back(Timed(replay));
      result.bare.push_back(Timed(BareReplay));
    }
    bench::Report(result);
    RegDeleteKeyA(HKEY_CURRENT_USER, kStore);
  }
  for (int count : {250, 500, 1000, 2000}) {
    TakeInstances(count, true);
    Result result{nullptr, {}, {}};
    std::string what = "AddDialUp9x vs RegOpenKeyExA probes, " + std::to_string(count) + " keys a family";
    result.what = what.c_str();
    for (int round = 0; round < kRounds; ++round) {
      result.ours.push_back(Timed(search));
      result.bare.push_back(Timed(BareSearch));
    }
    bench::Report(result);
    TakeInstances(count, false);
  }
  return 0;
}
