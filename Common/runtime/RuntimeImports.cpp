// The compiler's runtime, linked into each binary we ship, imports a few
// kernel functions that the Windows we ship for lack or only stub. This file
// defines the import pointers of those names, so that the runtime reaches
// the functions below instead and the binaries import none of them; being an
// object, not an archive, it is taken before the import library is searched
// (qel_shipped in cmake/QELTargets.cmake links it).
//
// - The Unicode calls of libgcc's locks and of the C runtime's helpers
//   (CreateSemaphoreW, GetModuleHandleW, LoadLibraryW), some made while the
//   DLL loads. Windows 95 and 98 export them only as stubs that fail, and on
//   Windows 95 a Unicode call from DllMain makes LoadLibrary fail ("Windows
//   95: If your DllMain function tries to call the Unicode version of a
//   Win32 function, LoadLibrary fails", LoadLibrary, Platform SDK). They go
//   to the ANSI functions; the runtime passes names in plain ASCII or none.
// - The thread calls of the runtime of GCC 13 and later (condition
//   variables and GetThreadId from Windows Vista, TryEnterCriticalSection
//   from NT 4.0). Where the running Windows has them they are called; where
//   not, RuntimeFallbacks.h says what stands in.
#include <windows.h>

#include "RuntimeFallbacks.h"

namespace {

FARPROC KernelEntry(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? GetProcAddress(kernel, name) : nullptr;
}

// The entry `name` of the running kernel32, looked up once (two threads
// racing here would both find the same answer).
template <typename Function>
Function Kernel(Function& cached, bool& looked, const char* name) {
  if (!looked) {
    cached = reinterpret_cast<Function>(reinterpret_cast<void*>(KernelEntry(name)));
    looked = true;
  }
  return cached;
}

#define QEL_KERNEL(type, name)         \
  static type cached##name = nullptr;  \
  static bool looked##name = false;    \
  type name = Kernel(cached##name, looked##name, #name)

typedef void(WINAPI* ConditionFunction)(PVOID condition);
typedef BOOL(WINAPI* SleepConditionFunction)(PVOID condition, CRITICAL_SECTION* section, DWORD milliseconds);
typedef DWORD(WINAPI* ThreadIdFunction)(HANDLE thread);
typedef BOOL(WINAPI* TryEnterFunction)(CRITICAL_SECTION* section);

void WINAPI InitializeCondition(PVOID condition) {
  QEL_KERNEL(ConditionFunction, InitializeConditionVariable);
  if (InitializeConditionVariable)
    InitializeConditionVariable(condition);
  else
    runtime_fallback::InitializeCondition(condition);
}

void WINAPI WakeCondition(PVOID condition) {
  QEL_KERNEL(ConditionFunction, WakeConditionVariable);
  if (WakeConditionVariable) WakeConditionVariable(condition);
}

void WINAPI WakeAllCondition(PVOID condition) {
  QEL_KERNEL(ConditionFunction, WakeAllConditionVariable);
  if (WakeAllConditionVariable) WakeAllConditionVariable(condition);
}

BOOL WINAPI SleepCondition(PVOID condition, CRITICAL_SECTION* section, DWORD milliseconds) {
  QEL_KERNEL(SleepConditionFunction, SleepConditionVariableCS);
  if (SleepConditionVariableCS) return SleepConditionVariableCS(condition, section, milliseconds);
  return runtime_fallback::SleepCondition(condition, section, milliseconds);
}

DWORD WINAPI ThreadId(HANDLE thread) {
  QEL_KERNEL(ThreadIdFunction, GetThreadId);
  return GetThreadId ? GetThreadId(thread) : runtime_fallback::ThreadId(thread);
}

BOOL WINAPI TryEnter(CRITICAL_SECTION* section) {
  QEL_KERNEL(TryEnterFunction, TryEnterCriticalSection);
  return TryEnterCriticalSection ? TryEnterCriticalSection(section) : runtime_fallback::TryEnter(section);
}

#ifndef _WIN64
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
#endif

}  // namespace

// The import pointers, under the names the import library would give them
// (on i686 with the leading underscore and the size of the arguments).
#ifdef _WIN64
#define QEL_IMPORT(name, size) "__imp_" #name
#else
#define QEL_IMPORT(name, size) "__imp__" #name "@" #size
#endif

extern "C" {
void* g_initializeConditionVariable __asm__(QEL_IMPORT(InitializeConditionVariable, 4)) =
    reinterpret_cast<void*>(&InitializeCondition);
void* g_wakeConditionVariable __asm__(QEL_IMPORT(WakeConditionVariable, 4)) =
    reinterpret_cast<void*>(&WakeCondition);
void* g_wakeAllConditionVariable __asm__(QEL_IMPORT(WakeAllConditionVariable, 4)) =
    reinterpret_cast<void*>(&WakeAllCondition);
void* g_sleepConditionVariableCS __asm__(QEL_IMPORT(SleepConditionVariableCS, 12)) =
    reinterpret_cast<void*>(&SleepCondition);
void* g_getThreadId __asm__(QEL_IMPORT(GetThreadId, 4)) = reinterpret_cast<void*>(&ThreadId);
void* g_tryEnterCriticalSection __asm__(QEL_IMPORT(TryEnterCriticalSection, 4)) = reinterpret_cast<void*>(&TryEnter);
#ifndef _WIN64
void* g_createSemaphoreW __asm__(QEL_IMPORT(CreateSemaphoreW, 16)) = reinterpret_cast<void*>(&CreateSemaphoreNarrow);
void* g_getModuleHandleW __asm__(QEL_IMPORT(GetModuleHandleW, 4)) = reinterpret_cast<void*>(&GetModuleHandleNarrow);
void* g_loadLibraryW __asm__(QEL_IMPORT(LoadLibraryW, 4)) = reinterpret_cast<void*>(&LoadLibraryNarrow);
#endif
}
