#include "CurrentDriveScope.h"

#include <windows.h>

#include "PlatformDirectory.h"

CurrentDriveScope::CurrentDriveScope(const Drive& drive)
    : previous_(CurrentDrive()), previousDirectory_(PlatformDirectory(eCurrentDirectory)) {
  drive.MakeCurrent();
}

CurrentDriveScope::~CurrentDriveScope() {
  if (previousDirectory_.IsEmpty() || !SetCurrentDirectoryA(previousDirectory_.CStr())) previous_.MakeCurrent();
}
