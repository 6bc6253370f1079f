#pragma once
// DirectoryIterator: walks the entries that match a search path (a folder
// and a pattern, "C:\WINDOWS\*.*") one at a time, each as a FindEntry with its
// full path and folder. It can skip "." and "..", can leave entries out
// through a shared FindFilter, and keeps the platform's error of its last
// step (ERROR_NO_MORE_FILES once the walk has run out).
//
//   for (DirectoryIterator it(FilePath("C:\\dir"), true, nullptr, true, FindFilterRef()); it.IsValid(); ++it)
//     use(it.Current().Name());
//
// A copy is a search of its own that stands on the same entry (it repeats
// the search up to there); moving one leaves the other where it was.

#include <windows.h>

#include "FilePath.h"
#include "FindEntry.h"
#include "FindFilter.h"
#include "Win32Error.h"

class DirectoryIterator {
 public:
  DirectoryIterator();
  // Starts the search at once. appendStar adds the component "*" to the path;
  // storage, when given, is the entry the iterator fills (the caller keeps
  // it alive and owns it), else the iterator allocates its own.
  DirectoryIterator(const FilePath& searchPath, bool appendStar, FindEntry* storage, bool skipDots,
                    const FindFilterRef& filter);
  DirectoryIterator(const DirectoryIterator& other);
  DirectoryIterator& operator=(const DirectoryIterator& other);
  virtual ~DirectoryIterator();

  // Standing on an entry (not past the end).
  bool IsValid() const { return entry_ && entry_->IsValid(); }
  // The current entry; an empty one past the end.
  const FindEntry& Current() const;
  const FindEntry* operator->() const { return &Current(); }
  DirectoryIterator& operator++();
  DirectoryIterator operator++(int);

  // The same walk at the same step: equal step counts and skip-dots flags,
  // search paths equal ignoring case.
  bool operator==(const DirectoryIterator& other) const;
  bool operator!=(const DirectoryIterator& other) const { return !(*this == other); }

  const Win32Error& LastError() const { return lastError_; }
  const FilePath& SearchPath() const { return searchPath_; }

 private:
  void UseFilter(const FindFilterRef& filter);
  void OpenSearch();
  void CloseSearch();
  void Advance();
  // Makes the name safe and asks skip-dots and the filter.
  bool Accept();
  void Complete();
  void EndOfSearch(DWORD error);
  void ReleaseEntry();

  FindEntry* entry_;
  HANDLE search_;
  FindFilterRef filter_;
  unsigned long steps_;
  bool ownsEntry_;
  bool skipDots_;
  Win32Error lastError_;
  FilePath searchPath_;
};
