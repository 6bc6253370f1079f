#pragma once
// The stand-in for the library's device file (DeviceHandle.cpp): Wine has
// no floppy device. It answers as the platform does Windows 95/98's DOS
// "get device parameters" through \\.\VWIN32 and Windows NT's media types of
// \\.\X:, and logs every open, request and close.

#include <windows.h>

#include <string>

struct FloppyDouble {
  // A floppy drive at upper-case `letter`: NT gets one geometry record of
  // `mediaType`, said to be `replyBytes` long (0: a record's length);
  // Windows 95/98 gets the device type `dosDeviceType`.
  static void Insert(char letter, DWORD mediaType, BYTE dosDeviceType, DWORD replyBytes = 0);
  static void Clear();
  static std::string Log();
};
