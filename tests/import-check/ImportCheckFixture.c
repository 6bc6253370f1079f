/* A DLL the import check must refuse: it imports a function newer than every
   target by name, and one by ordinal. No runtime, so nothing else is
   imported. */
#include <windows.h>

__declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);
__declspec(dllimport) int Ordinal17(void);

BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}

__declspec(dllexport) ULONGLONG Fixture(void) { return GetTickCount64() + (ULONGLONG)Ordinal17(); }
