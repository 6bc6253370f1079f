#pragma once
// Makes a drive the process's current drive for the length of a scope; the
// drive that was current before, and its directory, are current again when
// the scope ends. Process-wide: no other thread should rely on the current
// drive or directory meanwhile.

#include "CString.h"
#include "Drive.h"

class CurrentDriveScope {
 public:
  explicit CurrentDriveScope(const Drive& drive);
  ~CurrentDriveScope();
  CurrentDriveScope(const CurrentDriveScope&) = delete;
  CurrentDriveScope& operator=(const CurrentDriveScope&) = delete;

 private:
  Drive previous_;
  // Changing back to a drive lands on its root: the directory is put back
  // too.
  CString previousDirectory_;
};
