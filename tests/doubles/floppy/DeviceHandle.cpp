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

const ULONG_PTR kVwin32 = 0x7000;  // never real handles, so never closed

bool IsWindows9x() { return (GetVersion() & 0x80000000) != 0; }

// DOS's generic block request 0x440D, 0x0860 in the registers EBX, EDX, ECX,
// EAX, EDI, ESI, flags: the device parameters of drive EBX go behind EDX,
// and the carry flag tells a failure.
void DosRequest(DWORD* registers) {
  // A 32-bit address: on a 64-bit build the block lies on this thread's
  // stack, whose upper half is ours too.
  ULONG_PTR here = reinterpret_cast<ULONG_PTR>(&registers);
  BYTE* block = reinterpret_cast<BYTE*>((here & ~static_cast<ULONG_PTR>(0xFFFFFFFF)) | registers[1]);
  bool zeroed = true;  // of the 38 bytes DOS writes
  for (int i = 0; i < 38; ++i) zeroed = zeroed && block[i] == 0;
  g_log += "dos drive=" + std::to_string(registers[0]) + " request=" + std::to_string(registers[3]) + "/" +
           std::to_string(registers[2]) + " zeroed=" + std::to_string(zeroed) + "\n";
  auto floppy = g_floppies.find(static_cast<char>('A' + registers[0] - 1));
  bool known = registers[3] == 0x440D && registers[2] == 0x0860 && floppy != g_floppies.end();
  registers[6] = known ? registers[6] & ~1UL : registers[6] | 1;
  if (known) memset(block + 1, floppy->second.dosDeviceType, 37);
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
    handle_ = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(device[4]));
  if (!IsOpen()) SetLastError(ERROR_FILE_NOT_FOUND);
}

DeviceHandle::~DeviceHandle() {
  if (IsOpen()) g_log += "close\n";
}

bool DeviceHandle::Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD& returned) {
  ULONG_PTR handle = reinterpret_cast<ULONG_PTR>(handle_);
  returned = 0;
  if (handle == kVwin32 && code == 1 && inSize == 28 && outSize == 28) {
    memcpy(out, in, 28);
    DosRequest(static_cast<DWORD*>(out));
    returned = 28;
  } else if (handle < 'Z' + 1 && code == IOCTL_DISK_GET_MEDIA_TYPES && outSize >= sizeof(DISK_GEOMETRY)) {
    // A short reply still leaves a whole record in the buffer: only the
    // length says what of it is meant.
    const Floppy& floppy = g_floppies[static_cast<char>(handle)];
    DISK_GEOMETRY record = {};
    record.MediaType = static_cast<MEDIA_TYPE>(floppy.mediaType);
    memcpy(out, &record, sizeof record);
    returned = floppy.replyBytes ? floppy.replyBytes : sizeof record;
  } else {
    SetLastError(ERROR_INVALID_FUNCTION);
  }
  return returned > 0;
}
