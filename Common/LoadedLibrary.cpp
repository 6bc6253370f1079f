#include "LoadedLibrary.h"

#include "ErrorModeScope.h"
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
  // A library whose imports are missing (Windows 95) or that is damaged
  // (NT) fails the load rather than showing a box nobody answers.
  ErrorModeScope quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // With the altered search path the library's own imports are looked for
  // beside it too, not in the host's folder (LoadLibraryEx: Windows 95 and
  // NT 3.1 on).
  module_ = LoadLibraryExA(path.Text().CStr(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
