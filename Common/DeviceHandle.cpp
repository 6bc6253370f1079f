#include "DeviceHandle.h"

DeviceHandle::DeviceHandle(const char* name, DWORD access, DWORD share, DWORD creation, DWORD flags)
    : handle_(CreateFileA(name, access, share, nullptr, creation, flags, nullptr)) {}

DeviceHandle::~DeviceHandle() {
  if (IsOpen()) CloseHandle(handle_);
}

bool DeviceHandle::Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD& returned) {
  returned = 0;
  if (!IsOpen()) return false;
  if (DeviceIoControl(handle_, code, in, inSize, out, outSize, &returned, nullptr)) return true;
  returned = 0;
  return false;
}
