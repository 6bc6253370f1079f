#include "LoadedLibrary.h"

LoadedLibrary::LoadedLibrary(const char* name) : module_(LoadLibraryA(name)), lastError_(ERROR_SUCCESS) {
  if (!module_) lastError_ = GetLastError();
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
