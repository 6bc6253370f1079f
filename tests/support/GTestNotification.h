// GoogleTest's thread helper waits on a Notification built from std::mutex,
// which the win32-threads runtime we ship with does not have (it would bring
// the posix-threads runtime and its imports newer than our targets). This one
// polls a flag instead; GoogleTest uses it only to start its own test
// threads, and our tests start none. Forced in front of every GoogleTest
// header by tests/CMakeLists.txt.
#pragma once
#ifdef __cplusplus

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
