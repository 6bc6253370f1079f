#include "PlatformDirectory.h"

#include <windows.h>

#include <vector>

namespace {

// The platform's answer for a buffer of `size` bytes: the length of the text
// when it fits, the size it needs (NUL included) when not, 0 on failure.
DWORD Ask(EPlatformDirectory which, char* buffer, DWORD size) {
  switch (which) {
    case eWindowsDirectory:
      return GetWindowsDirectoryA(buffer, size);
    case eSystemDirectory:
      return GetSystemDirectoryA(buffer, size);
    case eTempDirectory:
      return GetTempPathA(size, buffer);
    case eCurrentDirectory:
      return GetCurrentDirectoryA(size, buffer);
  }
  return 0;
}

}  // namespace

CString PlatformDirectory(EPlatformDirectory which) {
  // Longer than any path the platform accepts: a larger request is no path.
  const DWORD kLargest = 65536;
  DWORD size = MAX_PATH;
  // The directory may change between two calls (the temporary directory
  // follows the environment, the current one other threads); a few rounds
  // are plenty.
  for (int round = 0; round < 4; ++round) {
    std::vector<char> buffer(size + 1, '\0');
    DWORD length = Ask(which, buffer.data(), size);
    if (length == 0) return CString();
    if (length < size) return CString(buffer.data(), length);
    if (length > kLargest) return CString();
    // A platform that reports exactly the size it was given gets one byte
    // more, so every round asks for more than the last.
    size = length > size ? length : size + 1;
  }
  return CString();
}
