// What stands in for the runtime's thread calls on a Windows without them:
// called directly here, since Wine has the real ones.
#include <windows.h>

#include <gtest/gtest.h>

#include "RuntimeFallbacks.h"

namespace {

struct Waiting {
  CRITICAL_SECTION* section;
  volatile LONG entered;
};

DWORD WINAPI EnterOnce(void* argument) {
  Waiting* waiting = static_cast<Waiting*>(argument);
  EnterCriticalSection(waiting->section);
  InterlockedExchange(&waiting->entered, 1);
  LeaveCriticalSection(waiting->section);
  return 0;
}

TEST(RuntimeFallbacks, ConditionWaitGivesTheSectionUpAndTakesItBack) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  void* condition = &section;  // any non-null word: initialising clears it
  runtime_fallback::InitializeCondition(&condition);
  EXPECT_EQ(nullptr, condition);

  EnterCriticalSection(&section);
  Waiting waiting = {&section, 0};
  HANDLE other = CreateThread(nullptr, 0, &EnterOnce, &waiting, 0, nullptr);
  ASSERT_NE(nullptr, other);
  // The other thread is blocked on the section until a wait lets it in.
  for (int round = 0; round < 2000 && !waiting.entered; ++round)
    EXPECT_TRUE(runtime_fallback::SleepCondition(&condition, &section, INFINITE));
  EXPECT_EQ(1, waiting.entered) << "the wait never gave the section up";
  EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(other, 5000));
  CloseHandle(other);
  // Held again by this thread: it can leave it as often as it entered.
  EXPECT_EQ(GetCurrentThreadId(), static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(section.OwningThread)));
  LeaveCriticalSection(&section);
  DeleteCriticalSection(&section);
}

TEST(RuntimeFallbacks, ThreadIdsAndTriedSections) {
  EXPECT_EQ(GetCurrentThreadId(), runtime_fallback::ThreadId(GetCurrentThread()));
  HANDLE real = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &real, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  SetLastError(0);
  EXPECT_EQ(0u, runtime_fallback::ThreadId(real)) << "no id read from a real handle before Vista";
  EXPECT_EQ(static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED), GetLastError());
  CloseHandle(real);

  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EXPECT_TRUE(runtime_fallback::TryEnter(&section));
  EXPECT_EQ(GetCurrentThreadId(), static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(section.OwningThread)));
  LeaveCriticalSection(&section);
  DeleteCriticalSection(&section);
}

}  // namespace
