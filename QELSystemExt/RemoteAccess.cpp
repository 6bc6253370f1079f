#include "RemoteAccess.h"

RemoteAccess::RemoteAccess()
    : library_("rasapi32.dll"),
      getEntry_(library_.Entry<GetEntryFn>("RasGetEntryPropertiesA")),
      setEntry_(library_.Entry<SetEntryFn>("RasSetEntryPropertiesA")),
      loadError_(library_.LastError()) {
  if (!IsAvailable() && loadError_ == ERROR_SUCCESS)
    loadError_ = library_.IsLoaded() ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND;
}

DWORD RemoteAccess::GetEntryProperties(const char* name, void* entry, DWORD& size) {
  if (!IsAvailable()) return loadError_;
  return getEntry_(nullptr, name, entry, &size, nullptr, nullptr);
}

DWORD RemoteAccess::DefaultEntrySize() {
  DWORD size = 0;
  GetEntryProperties(nullptr, nullptr, size);  // answers "too small" with the size
  return size;
}

DWORD RemoteAccess::SetEntryProperties(const CString& name, const void* entry, DWORD size) {
  if (!IsAvailable()) return loadError_;
  // The service takes the entry by a non-const pointer but only reads it.
  return setEntry_(nullptr, name.CStr(), const_cast<void*>(entry), size, nullptr, 0);
}
