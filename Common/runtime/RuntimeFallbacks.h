#pragma once
// What stands in for the thread calls of Windows Vista (and NT 4.0's
// TryEnterCriticalSection) where the running Windows lacks them. They are
// enough for a library that starts no thread and is called on one thread at
// a time, which is all the compiler's runtime asks of them in our binaries
// (RuntimeImports.cpp routes the runtime's calls here on such a Windows).
#include <windows.h>

namespace runtime_fallback {

// A condition variable holds nothing: nobody waits on it for long.
void InitializeCondition(PVOID condition);
// Gives `section` up for a moment, takes it back and returns TRUE: to the
// waiter, a spurious wake-up, which every waiter of a condition variable
// must expect and check its condition after.
BOOL SleepCondition(PVOID condition, CRITICAL_SECTION* section, DWORD milliseconds);
// The current thread's id for the current-thread pseudo handle; for any
// other handle 0 with ERROR_CALL_NOT_IMPLEMENTED (Windows before Vista
// cannot tell a thread's id from its handle).
DWORD ThreadId(HANDLE thread);
// Enters `section` and returns TRUE: with one thread at a time in the
// library, nobody else can hold it.
BOOL TryEnter(CRITICAL_SECTION* section);

}  // namespace runtime_fallback
