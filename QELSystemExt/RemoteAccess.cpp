#include "RemoteAccess.h"

namespace {

template <class Fn>
Fn Entry(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

RemoteAccess::RemoteAccess()
    : module_(LoadLibraryA("rasapi32.dll")), loadError_(module_ ? ERROR_SUCCESS : GetLastError()),
      getEntry_(Entry<GetEntryFn>(module_, "RasGetEntryPropertiesA")),
      setEntry_(Entry<SetEntryFn>(module_, "RasSetEntryPropertiesA")) {
  if (!IsAvailable() && loadError_ == ERROR_SUCCESS) loadError_ = module_ ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND;
}

RemoteAccess::~RemoteAccess() {
  if (module_) FreeLibrary(module_);
}

DWORD RemoteAccess::GetEntryProperties(const char* name, void* entry, DWORD& size) {
  if (!IsAvailable()) return loadError_;
  return getEntry_(nullptr, name, entry, &size, nullptr, nullptr);
}

DWORD RemoteAccess::SetEntryProperties(const CString& name, const void* entry, DWORD size) {
  if (!IsAvailable()) return loadError_;
  // The service takes the entry by a non-const pointer but only reads it.
  return setEntry_(nullptr, name.CStr(), const_cast<void*>(entry), size, nullptr, 0);
}
