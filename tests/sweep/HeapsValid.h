#pragma once
// Whether every heap of the process still validates: a block written past
// its end into its neighbour, or a freed block written to, shows here even
// where Wine's heap checks stay silent until the block is used again.

#include <windows.h>

inline bool HeapsValid() {
  HANDLE heaps[256];
  DWORD count = GetProcessHeaps(256, heaps);
  bool valid = count > 0 && count <= 256;
  for (DWORD i = 0; valid && i < count; ++i) valid = HeapValidate(heaps[i], 0, nullptr) != FALSE;
  return valid;
}
