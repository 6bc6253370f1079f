#include "RegistryKeyHandle.h"

#include "RegistryInfo.h"

RegistryKeyHandle::RegistryKeyHandle(HKEY handle, bool open) : handle_(handle), open_(open) {}

RegistryKeyHandle::~RegistryKeyHandle() { Close(); }

void RegistryKeyHandle::Adopt(HKEY handle) {
  Close();
  handle_ = handle;
  open_ = handle != nullptr;
}

void RegistryKeyHandle::Close() {
  // Closing a predefined root would close the process's cached handle to it
  // on some systems; those roots need no closing.
  if (open_ && handle_ && !RegistryInfo::IsPredefinedRoot(handle_)) RegCloseKey(handle_);
  handle_ = nullptr;
  open_ = false;
}
