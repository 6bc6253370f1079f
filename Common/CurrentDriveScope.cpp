#include "CurrentDriveScope.h"

CurrentDriveScope::CurrentDriveScope(const Drive& drive) : previous_(CurrentDrive()) { drive.MakeCurrent(); }

CurrentDriveScope::~CurrentDriveScope() { previous_.MakeCurrent(); }
