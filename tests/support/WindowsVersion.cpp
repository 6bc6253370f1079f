#include "WindowsVersion.h"

#include <windows.h>

WindowsVersion WindowsVersion::Current() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return {0, 0, 0};
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

std::string WindowsVersion::Name() const {
  if (platform == VER_PLATFORM_WIN32_WINDOWS && major == 4 && minor == 0) return "win95";
  if (platform == VER_PLATFORM_WIN32_WINDOWS && major == 4 && minor == 10) return "win98";
  if (platform == VER_PLATFORM_WIN32_NT && major == 4) return "nt40";
  if (platform == VER_PLATFORM_WIN32_NT && major == 5 && minor == 0) return "win2k";
  return "other";
}
