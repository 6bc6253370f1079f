#include "PlatformVersion.h"

OSVERSIONINFOA PlatformVersionInfo() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;  // 148
  if (!GetVersionExA(&version)) {
    version = {};
    version.dwOSVersionInfoSize = sizeof version;
  }
  return version;
}

bool IsWindowsNT() { return PlatformVersionInfo().dwPlatformId == VER_PLATFORM_WIN32_NT; }
