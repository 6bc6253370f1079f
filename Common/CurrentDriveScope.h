#pragma once
// Makes a drive the process's current drive for the length of a scope; the
// drive that was current before is current again when the scope ends.
// Process-wide: no other thread should rely on the current drive meanwhile.

#include "Drive.h"

class CurrentDriveScope {
 public:
  explicit CurrentDriveScope(const Drive& drive);
  ~CurrentDriveScope();
  CurrentDriveScope(const CurrentDriveScope&) = delete;
  CurrentDriveScope& operator=(const CurrentDriveScope&) = delete;

 private:
  Drive previous_;
};
