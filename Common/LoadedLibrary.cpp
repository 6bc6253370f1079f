#include "LoadedLibrary.h"

#include "FilePath.h"
#include "PlatformDirectory.h"

LoadedLibrary::LoadedLibrary(const char* name) : module_(nullptr), lastError_(ERROR_SUCCESS) {
  FilePath path(PlatformDirectory(eSystemDirectory));
  CString file(name ? name : "");
  // A name with a folder in it, or no system directory, would leave the
  // search to the platform after all.
  if (file.IsEmpty() || path.Text().IsEmpty() || file.Find('\\') != CString::npos ||
      file.Find('/') != CString::npos || file.Find(':') != CString::npos) {
    lastError_ = ERROR_MOD_NOT_FOUND;
    return;
  }
  path.Append(file);
  module_ = LoadLibraryA(path.Text().CStr());
  if (!module_) lastError_ = GetLastError();
  if (!module_ && lastError_ == ERROR_SUCCESS) lastError_ = ERROR_MOD_NOT_FOUND;
}

LoadedLibrary::~LoadedLibrary() {
  if (module_) FreeLibrary(module_);
}

FARPROC LoadedLibrary::Address(const char* name) {
  if (!module_) return nullptr;
  FARPROC address = GetProcAddress(module_, name);
  if (!address) lastError_ = GetLastError();
  return address;
}
