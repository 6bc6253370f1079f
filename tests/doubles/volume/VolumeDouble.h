#pragma once
// The stand-in for the volume calls (GetVolumeInformationA, SetVolumeLabelA,
// GetDiskFreeSpaceA and GetDiskFreeSpaceExA, the last as GetProcAddress
// hands it out). A drive made empty answers as a removable drive without a
// disk does: ERROR_NOT_READY, after asking the user to insert one unless
// the process fails critical errors (SEM_FAILCRITICALERRORS). Every other
// drive is the platform's. Every call is logged, with whether the user
// would have been asked.

#include <windows.h>

#include <string>

struct VolumeDouble {
  // Drive `letter` (upper case) is a removable drive with no disk in it.
  static void Empty(char letter);
  static void Clear();
  // "GetVolumeInformationA R:\ failed to the caller -> 21", one per line;
  // "asks the user" in place of "failed to the caller" when it would.
  static std::string Log();
};
