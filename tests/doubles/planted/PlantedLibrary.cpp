// A rasapi32.dll planted where a host may run from: its own folder, or the
// current directory (a share, a download folder). The libraries under test
// must never load it. Every call fails with a code the real service never
// gives, so a test that reaches it cannot pass.
#include <windows.h>

#include "PlantedLibrary.h"

extern "C" {

__declspec(dllexport) DWORD WINAPI RasGetEntryPropertiesA(LPCSTR, LPCSTR, LPVOID, LPDWORD, LPBYTE, LPDWORD) {
  return kPlantedLibraryAnswer;
}

__declspec(dllexport) DWORD WINAPI RasSetEntryPropertiesA(LPCSTR, LPCSTR, LPVOID, DWORD, LPBYTE, DWORD) {
  return kPlantedLibraryAnswer;
}

}  // extern "C"
