#include "PlatformVersion.h"

#include <windows.h>

bool IsWindowsNT() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;  // 148
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
