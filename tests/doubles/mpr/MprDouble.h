#pragma once
// The stand-in mpr.dll (tests/doubles/mpr) logs each call it receives; the
// log read from the loaded mpr.dll also shows the stand-in is the one
// answering (null: it is not).

#include <windows.h>

#define QEL_MPR_PROVIDER "QEL Test Network"

inline const char* MprDoubleLog() {
  auto calls = reinterpret_cast<const char* (*)()>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("mpr.dll"), "QELMprCalls")));
  return calls ? calls() : nullptr;
}
