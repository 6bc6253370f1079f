#pragma once
// The floppy drives of the stand-in device file (tests/doubles/floppy),
// which test programs link in place of the library's DeviceHandle.cpp: Wine
// has no floppy device. It answers the library's two requests as the
// platform does: Windows 95/98's DOS "get device parameters" through
// \\.\VWIN32, and Windows NT's media types of \\.\X:. Opens, requests and
// closes go to a log.

#include <windows.h>

#include <string>

struct FloppyDouble {
  // A floppy drive at upper-case `letter`: NT answers one geometry record
  // of `mediaType`, saying it is `replyBytes` long (0: a record's length);
  // Windows 95/98 answers the device type `dosDeviceType`.
  static void Insert(char letter, DWORD mediaType, BYTE dosDeviceType, DWORD replyBytes = 0);
  static void Clear();
  static std::string Log();
};
