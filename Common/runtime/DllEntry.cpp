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
// the callbacks' calls itself:
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
// - any callback another runtime object puts in the .CRT$XL list, which the
//   loader would have called from the directory.
// As the loader did, all of them come before the start-up code, but on
// process detach they come after it: the destructors free the exception
// state that a static destructor may still use.
// (DllMain turns thread notifications off, so only the process ones come.)
#include <windows.h>

extern "C" {

extern const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;

WINBOOL __mingw_TLScallback(HANDLE dll, DWORD reason, LPVOID reserved);
WINBOOL WINAPI DllMainCRTStartup(HANDLE dll, DWORD reason, LPVOID reserved);

// The ends of the .CRT$XL list, which the linker sorts by name.
__attribute__((section(".CRT$XLA"), used)) PIMAGE_TLS_CALLBACK qelFirstCallback = nullptr;
__attribute__((section(".CRT$XLZ"), used)) PIMAGE_TLS_CALLBACK qelLastCallback = nullptr;
}

namespace {

void RunTlsCallbacks(HANDLE dll, DWORD reason, LPVOID reserved) {
  if (reason != DLL_THREAD_ATTACH) __mingw_TLScallback(dll, reason, reserved);
  // Walked as addresses: the list lies between two separate objects.
  for (uintptr_t at = reinterpret_cast<uintptr_t>(&qelFirstCallback) + sizeof(PIMAGE_TLS_CALLBACK);
       at < reinterpret_cast<uintptr_t>(&qelLastCallback); at += sizeof(PIMAGE_TLS_CALLBACK)) {
    PIMAGE_TLS_CALLBACK callback = *reinterpret_cast<volatile PIMAGE_TLS_CALLBACK*>(at);
    if (callback) callback(dll, reason, reserved);
  }
}

}  // namespace

// Named as the link option -e names it (cmake/QELTargets.cmake).
extern "C" WINBOOL WINAPI QelDllEntry(HANDLE dll, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH) {
    WINBOOL result = DllMainCRTStartup(dll, reason, reserved);
    RunTlsCallbacks(dll, reason, reserved);
    return result;
  }
  RunTlsCallbacks(dll, reason, reserved);
  return DllMainCRTStartup(dll, reason, reserved);
}
