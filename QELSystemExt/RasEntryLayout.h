#pragma once
// The ANSI phonebook entry as Windows 2000 lays it out (2088 bytes), and the
// two earlier layouts it extends. The platform headers we build with carry
// only a later, longer layout. Entries are kept in the registry as these
// bytes, so the layout must not change; nothing in it is pointer-sized, so it
// is the same on both architectures.

#include <windows.h>

#include <cstddef>

struct RasEntryLayout {
  DWORD dwSize;  // which layout the rest of the bytes follow
  DWORD dwfOptions;
  DWORD dwCountryID;
  DWORD dwCountryCode;
  CHAR szAreaCode[11];
  CHAR szLocalPhoneNumber[129];
  // Where the alternate numbers begin, counted from the start of the entry:
  // NUL-terminated texts behind the structure, ended by an empty one. 0: none.
  DWORD dwAlternateOffset;
  DWORD ipaddr;
  DWORD ipaddrDns;
  DWORD ipaddrDnsAlt;
  DWORD ipaddrWins;
  DWORD ipaddrWinsAlt;
  DWORD dwFrameSize;
  DWORD dwfNetProtocols;
  DWORD dwFramingProtocol;
  CHAR szScript[MAX_PATH];
  CHAR szAutodialDll[MAX_PATH];
  CHAR szAutodialFunc[MAX_PATH];
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
  CHAR szX25PadType[33];
  CHAR szX25Address[201];
  CHAR szX25Facilities[201];
  CHAR szX25UserData[201];
  DWORD dwChannels;
  DWORD dwReserved1;
  DWORD dwReserved2;
  // Windows 95 and NT 4 end here.
  DWORD dwSubEntries;
  DWORD dwDialMode;
  DWORD dwDialExtraPercent;
  DWORD dwDialExtraSampleSeconds;
  DWORD dwHangUpExtraPercent;
  DWORD dwHangUpExtraSampleSeconds;
  DWORD dwIdleDisconnectSeconds;
  // Windows NT 4 with a service pack (multilink) ends here.
  DWORD dwType;
  DWORD dwEncryptionType;
  DWORD dwCustomAuthKey;
  GUID guidId;
  CHAR szCustomDialDll[MAX_PATH];
  DWORD dwVpnStrategy;
};

const DWORD kRasEntrySize95 = offsetof(RasEntryLayout, dwSubEntries);
const DWORD kRasEntrySizeMultilink = offsetof(RasEntryLayout, dwType);
const DWORD kRasEntrySize2000 = sizeof(RasEntryLayout);

// A size field that names one of these layouts.
inline bool IsRasEntryLayout(DWORD size) {
  return size == kRasEntrySize95 || size == kRasEntrySizeMultilink || size == kRasEntrySize2000;
}

static_assert(kRasEntrySize95 == 1768, "Windows 95/NT 4 entry layout");
static_assert(kRasEntrySizeMultilink == 1796, "multilink entry layout");
static_assert(kRasEntrySize2000 == 2088, "Windows 2000 entry layout");
static_assert(offsetof(RasEntryLayout, dwAlternateOffset) == 156, "alternate numbers field");
