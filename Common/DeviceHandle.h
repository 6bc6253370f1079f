#pragma once
// An open device ("\\.\A:", "\\.\VWIN32"): the one owner of its handle,
// through which every device request of the library goes. The handle is
// closed when the object goes, on every path.
//
// Kept apart from everything else on purpose: these are the only calls that
// reach a disk device, and test builds stand in for this one file on
// platforms without floppy devices.

#include <windows.h>

class DeviceHandle {
 public:
  // CreateFileA with no security attributes and no template.
  DeviceHandle(const char* name, DWORD access, DWORD share, DWORD creation, DWORD flags);
  ~DeviceHandle();
  DeviceHandle(const DeviceHandle&) = delete;
  DeviceHandle& operator=(const DeviceHandle&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  // DeviceIoControl without overlapping; `returned` is the count of output
  // bytes (0 on failure).
  bool Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD& returned);

 private:
  HANDLE handle_;
};
