// Stands in for the library's DeviceHandle.cpp: linked into the test program
// ahead of the library, so the library's own file is never taken.
#include "DeviceHandle.h"

#include <winioctl.h>

#include <cstring>
#include <map>
#include <string>

#include "FloppyDouble.h"

namespace {

struct Floppy {
  DWORD mediaType;
  BYTE dosDeviceType;
  DWORD replyBytes;
};

std::map<char, Floppy> g_floppies;
std::string g_log;

// Never real handles, so never closed.
const ULONG_PTR kVwin32 = 0x7000;
const ULONG_PTR kDriveBase = 0x7100;  // + the letter

bool IsWindows9x() { return (GetVersion() & 0x80000000) != 0; }

// The registers EBX, EDX, ECX, EAX, EDI, ESI, flags of DOS's generic block
// request 0x440D, minor code 0x0860: the device parameters of the drive in
// EBX are written behind EDX; the carry flag set tells a failure.
void DosRequest(DWORD* registers) {
  // A 32-bit address: on a 64-bit build the block lies on this thread's
  // stack, whose upper half is ours too.
  ULONG_PTR here = reinterpret_cast<ULONG_PTR>(&registers);
  BYTE* block = reinterpret_cast<BYTE*>((here & ~static_cast<ULONG_PTR>(0xFFFFFFFF)) | registers[1]);
  // DOS writes 38 bytes; what it leaves must not be old data.
  bool zeroed = true;
  for (int i = 0; i < 38; ++i) zeroed = zeroed && block[i] == 0;
  g_log += "dos drive=" + std::to_string(registers[0]) + " request=" + std::to_string(registers[3]) + "/" +
           std::to_string(registers[2]) + " zeroed=" + std::to_string(zeroed) + "\n";
  auto floppy = g_floppies.find(static_cast<char>('A' + registers[0] - 1));
  registers[6] |= 1;
  if (registers[3] != 0x440D || registers[2] != 0x0860 || floppy == g_floppies.end()) return;
  memset(block + 2, 0xEE, 36);
  block[1] = floppy->second.dosDeviceType;
  registers[6] &= ~1UL;
}

}  // namespace

void FloppyDouble::Insert(char letter, DWORD mediaType, BYTE dosDeviceType, DWORD replyBytes) {
  g_floppies[letter] = Floppy{mediaType, dosDeviceType, replyBytes};
}

void FloppyDouble::Clear() {
  g_floppies.clear();
  g_log.clear();
}

std::string FloppyDouble::Log() { return g_log; }

DeviceHandle::DeviceHandle(const char* name, DWORD access, DWORD share, DWORD creation, DWORD flags)
    : handle_(INVALID_HANDLE_VALUE) {
  std::string device = name;
  g_log += "open " + device + " " + std::to_string(access) + "/" + std::to_string(share) + "/" +
           std::to_string(creation) + "/" + std::to_string(flags) + "\n";
  if (device == "\\\\.\\VWIN32" && IsWindows9x()) handle_ = reinterpret_cast<HANDLE>(kVwin32);
  if (device.size() == 6 && device[5] == ':' && g_floppies.count(device[4]) && !IsWindows9x())
    handle_ = reinterpret_cast<HANDLE>(kDriveBase + static_cast<BYTE>(device[4]));
  if (!IsOpen()) SetLastError(ERROR_FILE_NOT_FOUND);
}

DeviceHandle::~DeviceHandle() {
  if (IsOpen()) g_log += "close\n";
}

bool DeviceHandle::Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD& returned) {
  returned = 0;
  ULONG_PTR handle = reinterpret_cast<ULONG_PTR>(handle_);
  if (handle == kVwin32 && code == 1 && inSize == 28 && outSize == 28) {
    memcpy(out, in, 28);
    DosRequest(static_cast<DWORD*>(out));
    returned = 28;
    return true;
  }
  if (handle <= kDriveBase || code != IOCTL_DISK_GET_MEDIA_TYPES || outSize < sizeof(DISK_GEOMETRY)) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }
  // A short reply still leaves a whole record in the buffer: only the
  // length says what of it is meant.
  const Floppy& floppy = g_floppies[static_cast<char>(handle - kDriveBase)];
  DISK_GEOMETRY record = {};
  record.MediaType = static_cast<MEDIA_TYPE>(floppy.mediaType);
  memcpy(out, &record, sizeof record);
  returned = floppy.replyBytes ? floppy.replyBytes : sizeof record;
  return true;
}
