#pragma once
// A system library loaded for the length of a scope, for libraries a machine
// may lack (Remote Access comes with Dial-Up Networking only) and entry
// points that not every Windows version has: neither can be imported
// statically, or the DLL would not load at all where they are missing. The
// library is released when the object goes, on every path.
//
// Only the system directory is looked in, for the library and for the DLLs
// it imports in turn. Loaded by bare name, a library is searched for in the
// host's folder and, on Windows 95/98, NT 4.0 and 2000, in the current
// directory before the system directory, so a copy planted on a share the
// host runs from would run its code inside ours.
//
//   LoadedLibrary kernel("kernel32.dll");
//   auto entry = kernel.Entry<GetDiskFreeSpaceExFunction>("GetDiskFreeSpaceExA");

#include <windows.h>

class LoadedLibrary {
 public:
  // `name`: a file name without folder, such as "rasapi32.dll".
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
