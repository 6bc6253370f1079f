#pragma once
// A system library loaded by name for the length of a scope, for entry
// points that not every Windows version has (so they cannot be imported
// statically). The library is released when the object goes, on every path.
//
//   LoadedLibrary kernel("Kernel32.dll");
//   auto entry = kernel.Entry<GetDiskFreeSpaceExFunction>("GetDiskFreeSpaceExA");

#include <windows.h>

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* name);
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool IsLoaded() const { return module_ != nullptr; }
  // The thread's last error after a failed load or look-up, 0 otherwise.
  DWORD LastError() const { return lastError_; }

  // The entry point, or null when the library or the entry is missing.
  template <typename Function>
  Function Entry(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(Address(name)));
  }

 private:
  FARPROC Address(const char* name);

  HMODULE module_;
  DWORD lastError_;
};
