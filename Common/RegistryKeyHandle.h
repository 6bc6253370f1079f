#pragma once
// RegistryKeyHandle: the one place an open registry handle lives. Key
// objects that use the same handle share one record through a
// reference-counted holder; the last of them to let go closes it.
//
// "Open" means the record owns a handle (or stands for a predefined root,
// which is never really closed). A record without a handle is never open.

#include <windows.h>

#include "RefCountedHolder.h"

class RegistryKeyHandle {
 public:
  explicit RegistryKeyHandle(HKEY handle = nullptr, bool open = false);
  ~RegistryKeyHandle();
  RegistryKeyHandle(const RegistryKeyHandle&) = delete;
  RegistryKeyHandle& operator=(const RegistryKeyHandle&) = delete;

  HKEY Handle() const { return handle_; }
  bool IsOpen() const { return open_; }
  // Takes over a handle the platform has just opened (closing any earlier
  // one first).
  void Adopt(HKEY handle);
  // Closes the handle (the predefined roots are left alone) and forgets it.
  void Close();

 private:
  HKEY handle_;
  bool open_;
};

using SharedKeyHandle = RefCountedHolder<RegistryKeyHandle>;
