// Takes the place of four import entries of the program it is linked into:
// the program's code, the library's included, calls through these entries,
// so the swap needs no change to either.
#include "VolumeDouble.h"

#include <cstring>
#include <set>

// The program's import entry of a kernel32 function, as the linker names it.
#ifdef _WIN64
#define QEL_IMPORT_ENTRY(name, argumentBytes) "__imp_" #name
#else
#define QEL_IMPORT_ENTRY(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#endif
extern "C" {
extern decltype(&GetVolumeInformationA) g_volumeInformationEntry __asm__(QEL_IMPORT_ENTRY(GetVolumeInformationA, 32));
extern decltype(&SetVolumeLabelA) g_setLabelEntry __asm__(QEL_IMPORT_ENTRY(SetVolumeLabelA, 8));
extern decltype(&GetDiskFreeSpaceA) g_freeSpaceEntry __asm__(QEL_IMPORT_ENTRY(GetDiskFreeSpaceA, 20));
extern decltype(&GetProcAddress) g_procAddressEntry __asm__(QEL_IMPORT_ENTRY(GetProcAddress, 8));
}

namespace {

std::set<char> g_empty;
std::string g_log;

// The platform's own, kept when the entries are swapped.
decltype(&GetVolumeInformationA) g_volumeInformation;
decltype(&SetVolumeLabelA) g_setLabel;
decltype(&GetDiskFreeSpaceA) g_freeSpace;
decltype(&GetProcAddress) g_procAddress;
typedef BOOL(WINAPI* FreeSpaceExFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
FreeSpaceExFunction g_freeSpaceEx;

// True when `root` names an empty drive: logs the call and leaves
// ERROR_NOT_READY, Windows' answer for a drive without its medium.
bool AnsweredEmpty(const char* function, LPCSTR root) {
  char letter = root ? root[0] : '\0';
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (!g_empty.count(letter) || root[1] != ':') return false;
  // Reading the mode means setting it: it is put back at once.
  UINT mode = SetErrorMode(0);
  SetErrorMode(mode);
  g_log += std::string(function) + " " + root +
           ((mode & SEM_FAILCRITICALERRORS) ? " failed to the caller" : " asks the user") + " -> " +
           std::to_string(ERROR_NOT_READY) + "\n";
  SetLastError(ERROR_NOT_READY);
  return true;
}

BOOL WINAPI VolumeInformation(LPCSTR root, LPSTR name, DWORD nameSize, LPDWORD serial, LPDWORD longest,
                              LPDWORD flags, LPSTR system, DWORD systemSize) {
  if (AnsweredEmpty("GetVolumeInformationA", root)) return FALSE;
  return g_volumeInformation(root, name, nameSize, serial, longest, flags, system, systemSize);
}

BOOL WINAPI SetLabel(LPCSTR root, LPCSTR label) {
  if (AnsweredEmpty("SetVolumeLabelA", root)) return FALSE;
  return g_setLabel(root, label);
}

BOOL WINAPI FreeSpace(LPCSTR root, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters) {
  if (AnsweredEmpty("GetDiskFreeSpaceA", root)) return FALSE;
  return g_freeSpace(root, sectors, bytes, freeClusters, clusters);
}

BOOL WINAPI FreeSpaceEx(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER totalFree) {
  if (AnsweredEmpty("GetDiskFreeSpaceExA", root)) return FALSE;
  return g_freeSpaceEx(root, available, total, totalFree);
}

FARPROC WINAPI ProcAddress(HMODULE module, LPCSTR name) {
  FARPROC found = g_procAddress(module, name);
  bool byName = (reinterpret_cast<ULONG_PTR>(name) >> 16) != 0;
  if (found && byName && module == GetModuleHandleA("kernel32.dll") && strcmp(name, "GetDiskFreeSpaceExA") == 0) {
    g_freeSpaceEx = reinterpret_cast<FreeSpaceExFunction>(reinterpret_cast<void*>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FreeSpaceEx));
  }
  return found;
}

template <typename Function>
void Swap(Function& entry, Function& platform, Function standIn) {
  DWORD protection = 0;
  VirtualProtect(&entry, sizeof entry, PAGE_READWRITE, &protection);
  platform = entry;
  entry = standIn;
  VirtualProtect(&entry, sizeof entry, protection, &protection);
}

// Before main: every call of the run goes through the stand-in.
struct Installed {
  Installed() {
    Swap(g_volumeInformationEntry, g_volumeInformation, &VolumeInformation);
    Swap(g_setLabelEntry, g_setLabel, &SetLabel);
    Swap(g_freeSpaceEntry, g_freeSpace, &FreeSpace);
    Swap(g_procAddressEntry, g_procAddress, &ProcAddress);
  }
} g_installed;

}  // namespace

void VolumeDouble::Empty(char letter) { g_empty.insert(letter); }

void VolumeDouble::Clear() {
  g_empty.clear();
  g_log.clear();
}

std::string VolumeDouble::Log() { return g_log; }
