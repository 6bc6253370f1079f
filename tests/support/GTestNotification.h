// GoogleTest's thread helper waits on a Notification built from std::mutex,
// which the win32-threads runtime of GCC 12 does not have (the posix-threads
// runtime would bring imports newer than our targets). This one polls a flag
// instead; GoogleTest uses it only to start its own test threads, and our
// tests start none. Forced in front of every GoogleTest header by
// tests/CMakeLists.txt.
#pragma once
#ifdef __cplusplus

// GoogleTest includes <mutex> and <condition_variable>. From GCC 13 on, the
// win32-threads libstdc++ declares them as if threads were always there but
// defines its condition variable only for Windows Vista and later
// (_WIN32_WINNT >= 0x0600), so at our 0x0400 the headers do not compile. They
// are read once here as for Vista; neither brings in <windows.h>, so the
// rest of the file sees 0x0400 as before, and our own code uses neither.
#pragma push_macro("_WIN32_WINNT")
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <condition_variable>
#include <mutex>
#pragma pop_macro("_WIN32_WINNT")

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : notified_(false) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { __atomic_store_n(&notified_, true, __ATOMIC_RELEASE); }

  void WaitForNotification() {
    while (!__atomic_load_n(&notified_, __ATOMIC_ACQUIRE)) Sleep(1);
  }

 private:
  bool notified_;
};

}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1

#endif
