// The compiler's runtime (libgcc's locks, the C runtime's helpers) calls
// three Unicode kernel functions, some of them while the DLL loads. Windows
// 95 and 98 export those only as stubs that fail, and on Windows 95 a
// Unicode call from DllMain makes LoadLibrary fail ("Windows 95: If your
// DllMain function tries to call the Unicode version of a Win32 function,
// LoadLibrary fails", LoadLibrary, Platform SDK). Each shipped 32-bit binary
// links this file, whose import pointers of the same names take the runtime
// to the ANSI functions instead, so the binaries import no Unicode call at
// all. The runtime only ever passes names in plain ASCII (or none).
#ifndef _WIN64

#include <windows.h>

namespace {

// A wide name as ANSI, in a buffer of MAX_PATH; false when it does not fit.
bool Narrow(LPCWSTR wide, char (&narrow)[MAX_PATH]) {
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, MAX_PATH, nullptr, nullptr) != 0;
}

HANDLE WINAPI CreateSemaphoreNarrow(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name) {
  char narrow[MAX_PATH];
  if (name && !Narrow(name, narrow)) return nullptr;
  return CreateSemaphoreA(attributes, initial, maximum, name ? narrow : nullptr);
}

HMODULE WINAPI GetModuleHandleNarrow(LPCWSTR name) {
  char narrow[MAX_PATH];
  if (name && !Narrow(name, narrow)) return nullptr;
  return GetModuleHandleA(name ? narrow : nullptr);
}

HMODULE WINAPI LoadLibraryNarrow(LPCWSTR name) {
  char narrow[MAX_PATH];
  if (!name || !Narrow(name, narrow)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return LoadLibraryA(narrow);
}

}  // namespace

// The import pointers the runtime calls through, under the names the import
// library would give them; defined here, they are taken before the import
// library is searched.
extern "C" {
void* g_createSemaphoreW __asm__("__imp__CreateSemaphoreW@16") = reinterpret_cast<void*>(&CreateSemaphoreNarrow);
void* g_getModuleHandleW __asm__("__imp__GetModuleHandleW@4") = reinterpret_cast<void*>(&GetModuleHandleNarrow);
void* g_loadLibraryW __asm__("__imp__LoadLibraryW@4") = reinterpret_cast<void*>(&LoadLibraryNarrow);
}

#endif
