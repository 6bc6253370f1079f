#include "RuntimeFallbacks.h"

namespace runtime_fallback {

void InitializeCondition(PVOID condition) { *static_cast<PVOID*>(condition) = nullptr; }

BOOL SleepCondition(PVOID, CRITICAL_SECTION* section, DWORD milliseconds) {
  LeaveCriticalSection(section);
  Sleep(milliseconds == 0 ? 0 : 1);
  EnterCriticalSection(section);
  return TRUE;
}

DWORD ThreadId(HANDLE thread) {
  if (thread == GetCurrentThread()) return GetCurrentThreadId();
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return 0;
}

BOOL TryEnter(CRITICAL_SECTION* section) {
  EnterCriticalSection(section);
  return TRUE;
}

}  // namespace runtime_fallback
