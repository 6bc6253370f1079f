#pragma once
// The Windows version Wine reports to this test program (set per program by
// the test fixture).

#include <string>

struct WindowsVersion {
  unsigned long platform;  // 1: Windows 95/98, 2: NT
  unsigned long major;
  unsigned long minor;

  static WindowsVersion Current();
  // "win95", "win98", "nt40", "win2k" or "other".
  std::string Name() const;
};
