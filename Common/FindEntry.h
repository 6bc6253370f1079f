#pragma once
// FindEntry: one directory entry as a search found it: the platform's find
// record (attributes, three times, size, long and short name) together with
// the folder it lies in and its full path. An empty entry has a zeroed record
// and empty paths; it stands for "no entry" (a search past its end).

#include <windows.h>

#include "CString.h"
#include "FilePath.h"
#include "SystemFileTime.h"

class FindEntry {
 public:
  FindEntry();
  FindEntry(const FindEntry& other);
  FindEntry& operator=(const FindEntry& other);
  virtual ~FindEntry();

  // Entries are the same when their full paths are (ignoring case).
  bool operator==(const FindEntry& other) const;
  bool operator!=(const FindEntry& other) const { return !(*this == other); }

  bool IsValid() const { return !fullPath_.Text().IsEmpty(); }
  CString Name() const;
  // The 8.3 name, or the long name when the entry has no separate short one.
  CString ShortName() const;
  // Stores at most 259 bytes, never half a double-byte character.
  void SetName(const CString& name);
  unsigned long long Size() const;
  DWORD Attributes() const { return record_.dwFileAttributes; }
  bool IsDirectory() const { return (record_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // Creation, last access and last write time, each as universal time.
  Corvane::SystemFileTime Times() const;
  const FilePath& FullPath() const { return fullPath_; }
  const FilePath& DirectoryPath() const { return directoryPath_; }

  // What the search writes into and completes.
  WIN32_FIND_DATAA& Record() { return record_; }
  const WIN32_FIND_DATAA& Record() const { return record_; }
  void SetPaths(const FilePath& directory, const FilePath& full);
  void Reset();

 private:
  WIN32_FIND_DATAA record_;
  FilePath fullPath_;
  FilePath directoryPath_;
};
