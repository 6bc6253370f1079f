// QELHost: a small stand-in for the migration host. It loads the two DLLs,
// calls their exports the way the host does and reads the findings back from
// the registry with the bare platform calls.
//
//   QELHost.exe ["<printer>|<driver model>|<port>|<comment>|<share>" ...]
//
// Each argument is one InstallPrinter request, made in order; without an
// argument it makes the embedded default request.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "QELPrinter.h"

namespace {

const char kDefaultRequest[] = "Front Office Laser|Kalora Page-4|LPT1:|Moved from the old machine|FRONTLASER";
const char kPrinterKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELPrinter";
const char kIconKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\QELIcon";

// The value as text, or a note of why there is none.
std::string ReadBack(HKEY root, const std::string& key, const char* name) {
  HKEY opened = nullptr;
  LONG status = RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened);
  if (status != ERROR_SUCCESS) return "(key missing, " + std::to_string(status) + ")";
  char data[512] = {};
  DWORD size = sizeof data - 1, type = 0;
  status = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return "(value missing, " + std::to_string(status) + ")";
  return "\"" + std::string(data) + "\"";
}

void PrintTime(const char* label, const Corvane::SystemTime& time) {
  SYSTEMTIME calendar = time;
  printf("  %-24s %04u-%02u-%02u %02u:%02u:%02u (%s)\n", label, calendar.wYear, calendar.wMonth, calendar.wDay,
         calendar.wHour, calendar.wMinute, calendar.wSecond,
         time.Type() == Corvane::SystemTime::eUTC ? "UTC" : "local");
}

// Where the process's spooler comes from: Wine's own, or a stand-in put in
// its place with WINEDLLOVERRIDES (tools/demo.sh does).
std::string SpoolerModule() {
  char path[MAX_PATH] = {};
  HMODULE spooler = GetModuleHandleA("winspool.drv");
  if (!spooler || !GetModuleFileNameA(spooler, path, sizeof path - 1)) return "(not loaded)";
  return path;
}

void RunPrinter(const std::vector<std::string>& requests) {
  printf("QELPrinter.dll\n");
  for (const std::string& request : requests) {
    int result = InstallPrinter(request.c_str());
    printf("  InstallPrinter(\"%s\") = %d\n", request.c_str(), result);
    printf("    Successful Install = %s\n", ReadBack(HKEY_CURRENT_USER, kPrinterKey, "Successful Install").c_str());
  }
  printf("  spooler: %s\n", SpoolerModule().c_str());

  bool written = WriteRegistryValue(kPrinterKey, "Last Host Run", "QELHost demonstration");
  printf("  WriteRegistryValue(HKCU\\%s, Last Host Run) = %s, reads back %s\n", kPrinterKey,
         written ? "true" : "false", ReadBack(HKEY_CURRENT_USER, kPrinterKey, "Last Host Run").c_str());

  // Redirect this library's current user to another user's key, as the host
  // does when it migrates a user who is not logged on.
  SetCurrentUserKey("HKEY_USERS\\.Default");
  written = WriteRegistryValue(kPrinterKey, "Last Host Run", "written for .Default");
  printf("  after SetCurrentUserKey(HKEY_USERS\\.Default): write = %s\n", written ? "true" : "false");
  printf("    HKU\\.Default\\...\\Last Host Run = %s\n",
         ReadBack(HKEY_USERS, std::string(".Default\\") + kPrinterKey, "Last Host Run").c_str());
  printf("    HKCU\\...\\Last Host Run        = %s (unchanged)\n",
         ReadBack(HKEY_CURRENT_USER, kPrinterKey, "Last Host Run").c_str());
}

void RunSystemExt() {
  printf("QELSystemExt.dll\n");
  HMODULE library = LoadLibraryA("QELSystemExt.dll");
  if (!library) {
    printf("  cannot load it (%lu)\n", GetLastError());
    return;
  }
  typedef void (*WriteFn)(const std::string&, const std::string&, const std::string&);
  typedef void (*DeleteKeyFn)(const std::string&, const std::string&);
  auto write = reinterpret_cast<WriteFn>(reinterpret_cast<void*>(GetProcAddress(library, "WriteRegistryValue")));
  auto deleteKey = reinterpret_cast<DeleteKeyFn>(reinterpret_cast<void*>(
      GetProcAddress(library, "_Z17DeleteRegistryKeyRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES6_")));
  if (!write || !deleteKey) {
    printf("  registry exports missing\n");
  } else {
    std::string demoKey = std::string(kIconKey) + "\\Demo";
    write(demoKey, "New98NT", "3");
    printf("  WriteRegistryValue(%s, New98NT, 3): reads back %s\n", demoKey.c_str(),
           ReadBack(HKEY_CURRENT_USER, demoKey, "New98NT").c_str());
    deleteKey(kIconKey, "Demo");
    printf("  DeleteRegistryKey(%s, Demo): the key now reads %s\n", kIconKey,
           ReadBack(HKEY_CURRENT_USER, demoKey, "New98NT").c_str());
  }
  FreeLibrary(library);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> requests(argv + (argc > 1 ? 1 : argc), argv + argc);
  if (requests.empty()) requests.push_back(kDefaultRequest);

  Corvane::SystemTime elapsed;
  {
    Corvane::AutoTimeStamp stamp(elapsed);
    printf("QELHost: time classes from QELPrinter.dll\n");
    Corvane::SystemTime now = Corvane::SystemTime::ClockTime();
    PrintTime("now", now);
    PrintTime("now", Corvane::SystemTime(Corvane::SystemTime::eLocal, now));
    RunPrinter(requests);
    RunSystemExt();
  }
  printf("QELHost: done in %llu ms\n",
         static_cast<unsigned long long>(elapsed) / (Corvane::SystemTime::IntervalsPerSecond() / 1000));
  return 0;
}
