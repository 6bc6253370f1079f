// The entry point of each shipped 32-bit DLL, in place of the start-up
// code's own TLS support.
//
// Windows 95 refuses to load a DLL with a Thread Storage Directory of any
// size: "On Microsoft Windows 95, LoadLibrary fails and the GetLastError
// function returns 1114 - ERROR_DLL_INIT_FAILED" (KB Q118816). mingw-w64's
// start-up code gives every binary one (its tlssup object) only so that the
// loader calls two callbacks; nothing of ours uses thread-local data. This
// file defines the one name by which the DLL start-up code reaches tlssup,
// so the linker leaves tlssup out and no directory is written, and makes
// the callbacks' calls itself, in the loader's order (before the start-up
// code on every notification):
// - __dyn_tls_init, on DLL_PROCESS_ATTACH: __mingw_TLScallback sets up the
//   lock of the runtime's thread-exit destructors (the C++ runtime's
//   per-thread exception state registers one). On DLL_THREAD_ATTACH it ran
//   the thread-local initialisers of the .CRT$XD list, which is empty: the
//   compiler keeps thread-local data in emulated TLS, never there. The
//   start-up code called it once more on attach for the same list, through
//   __dyn_tls_init_callback, which is null here.
// - __dyn_tls_dtor, on DLL_THREAD_DETACH and DLL_PROCESS_DETACH:
//   __mingw_TLScallback runs those destructors for the leaving thread, and
//   on process detach frees their list and the lock.
// (DllMain turns thread notifications off, so only the process ones come.)
#include <windows.h>

extern "C" {

extern const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;

WINBOOL __mingw_TLScallback(HANDLE dll, DWORD reason, LPVOID reserved);
WINBOOL WINAPI DllMainCRTStartup(HANDLE dll, DWORD reason, LPVOID reserved);

// Named as the link option -e names it (cmake/QELTargets.cmake).
WINBOOL WINAPI QelDllEntry(HANDLE dll, DWORD reason, LPVOID reserved) {
  if (reason != DLL_THREAD_ATTACH) __mingw_TLScallback(dll, reason, reserved);
  return DllMainCRTStartup(dll, reason, reserved);
}
}
