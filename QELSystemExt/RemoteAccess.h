#pragma once
// RemoteAccess: the Remote Access Service's phonebook calls, always on the
// default phonebook and without device information. The service's library is
// loaded by name while the object lives: a Windows 95/98 without Dial-Up
// Networking has none, and the rest of this DLL must still load there.

#include <windows.h>

#include "CString.h"
#include "LoadedLibrary.h"

class RemoteAccess {
 public:
  RemoteAccess();
  RemoteAccess(const RemoteAccess&) = delete;
  RemoteAccess& operator=(const RemoteAccess&) = delete;

  bool IsAvailable() const { return getEntry_ && setEntry_; }

  // The entry's properties into `entry` (its first field set to the layout
  // size by the caller); `size` in: the buffer's bytes, out: the bytes used
  // or needed. A null name and buffer ask for the size of the default entry.
  // The service's code; without the service, the reason it did not load.
  DWORD GetEntryProperties(const char* name, void* entry, DWORD& size);
  // The bytes the default entry needs: the running Windows' own entry
  // layout. 0 when the service tells none.
  DWORD DefaultEntrySize();
  // Creates or replaces the named entry from `size` bytes.
  DWORD SetEntryProperties(const CString& name, const void* entry, DWORD size);

 private:
  typedef DWORD(WINAPI* GetEntryFn)(const char*, const char*, void*, DWORD*, BYTE*, DWORD*);
  typedef DWORD(WINAPI* SetEntryFn)(const char*, const char*, void*, DWORD, BYTE*, DWORD);

  LoadedLibrary library_;
  GetEntryFn getEntry_;
  SetEntryFn setEntry_;
  DWORD loadError_;
};
