#pragma once
// The stand-in mpr.dll (tests/doubles/mpr) logs each call it receives, one
// line each; a test reads the log from the loaded mpr.dll, and so also
// learns that the stand-in is the one answering.

#include <windows.h>

#include <string>

// A remote name the stand-in refuses as unreachable (ERROR_BAD_NETPATH).
#define QEL_MPR_UNREACHABLE "\\\\unreachable\\"
// The provider of every resource it knows.
#define QEL_MPR_PROVIDER "QEL Test Network"

// Null when the loaded mpr.dll is not the stand-in.
inline const char* (*MprDoubleLog())() {
  return reinterpret_cast<const char* (*)()>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("mpr.dll"), "QELMprCalls")));
}
