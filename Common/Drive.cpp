#include "Drive.h"

#include <winioctl.h>
#include <winnetwk.h>

#include <direct.h>

#include <cstring>
#include <vector>

#include "DeviceHandle.h"
#include "ErrorModeScope.h"
#include "LoadedLibrary.h"

namespace {

const DWORD kNameBufferSize = 256;
// Past this a name is no name: the buffer stops growing.
const DWORD kLargestName = 65536;

// Windows 95/98's DOS device calls through VWIN32 (DeviceIoControl code 1).
const DWORD kVwin32DosIoctl = 1;
struct DosRegisters {
  DWORD ebx, edx, ecx, eax, edi, esi, flags;
};
const DWORD kCarryFlag = 1;
const DWORD kGenericBlockRequest = 0x440D;
const DWORD kGetDeviceParameters = 0x0860;
// DOS writes the device parameters and the BIOS parameter block (about 40
// bytes, more for later file systems) behind the address it is given.
const size_t kDeviceParameterBlockSize = 256;

// The floppy media types of the platform's disk geometry records.
enum EMediaType {
  eF5_1Pt2_512 = 1,
  eF3_1Pt44_512 = 2,
  eF3_2Pt88_512 = 3,
  eF3_20Pt8_512 = 4,
  eF3_720_512 = 5,
  eF5_360_512 = 6,
  eF5_160_512 = 10,
};
const DWORD kMediaTypeRecords = 20;  // 480 bytes

const int kFiveAndAQuarterInches = 525;
const int kThreeAndAHalfInches = 350;
const int kEightInches = 800;

// Below this a fixed volume is taken for a RAM disk.
const ULONGLONG kRamDiskLimit = 0xA00000;

typedef BOOL(WINAPI* DiskFreeSpaceExFunction)(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total,
                                              PULARGE_INTEGER totalFree);
typedef DWORD(WINAPI* ResourceInformationFunction)(LPNETRESOURCEA resource, LPVOID buffer, LPDWORD size, LPSTR* system);

// The next buffer size while the platform answers ERROR_MORE_DATA: the size
// it reports when that is more, else twice as much, up to kLargestName.
DWORD Grown(DWORD size, DWORD reported) {
  if (reported > size && reported <= kLargestName) return reported;
  return size * 2 < kLargestName ? size * 2 : kLargestName;
}

// A WNet call that fills a text buffer of `size` bytes, asked again with a
// buffer of the size it reports for as long as it answers ERROR_MORE_DATA.
// ERROR_CONNECTION_UNAVAIL fills it too: a remembered connection that is not
// connected now still names its resource (WNetGetConnection in Microsoft's
// reference).
template <typename Call>
DWORD ReadNetworkName(Call call, CString& text) {
  DWORD size = kNameBufferSize;
  for (;;) {
    std::vector<char> buffer(size + 1, '\0');
    DWORD reported = size;
    DWORD status = call(buffer.data(), &reported);
    if (status == NO_ERROR || status == ERROR_CONNECTION_UNAVAIL) {
      text = CString(buffer.data(), strnlen(buffer.data(), size));
      return status;
    }
    if (status != ERROR_MORE_DATA || size >= kLargestName) return status;
    size = Grown(size, reported);
  }
}

int FormFactorOfDosDeviceType(BYTE type) {
  switch (type) {
    case 0:
    case 1:
      return kFiveAndAQuarterInches;
    case 2:
    case 7:
    case 9:
      return kThreeAndAHalfInches;
    case 3:
    case 4:
      return kEightInches;
    default:
      return 0;
  }
}

int FormFactorOfMediaType(DWORD type) {
  if (type == eF5_1Pt2_512 || (type >= eF5_360_512 && type <= eF5_160_512)) return kFiveAndAQuarterInches;
  if (type >= eF3_1Pt44_512 && type <= eF3_720_512) return kThreeAndAHalfInches;
  return 0;
}

bool RunsOnWindows9x() { return (GetVersion() & 0x80000000) != 0; }

// A volume query fails critical errors to the caller instead of asking the
// user, say, to insert a disk into an empty drive: GetVolumeInformation in
// Microsoft's reference names SetErrorMode with SEM_FAILCRITICALERRORS.
const UINT kVolumeQueryErrorMode = SEM_FAILCRITICALERRORS;

}  // namespace

Drive::Drive(int number) : number_(number) {}

Drive::Drive(const CString& text) : number_(kNoDrive) {
  NetworkPath path(text);
  if (path.IsUNC())
    SetFromText(path.ShareRoot());
  else
    SetFromText(text);
}

Drive::Drive(const Drive& other) : number_(kNoDrive) { *this = other; }

Drive& Drive::operator=(const Drive& other) {
  number_ = other.number_;
  networkPath_ = other.networkPath_;
  return *this;
}

Drive::~Drive() = default;

CString Drive::LocalName() const { return CString::Format("%c:", static_cast<char>(EffectiveNumber() + 64)); }

CString Drive::UserName() {
  if (LocalRoot().Text().IsEmpty()) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return CString();
  }
  CString local = LocalName();
  CString user;
  lastError_ =
      ReadNetworkName([&local](char* buffer, DWORD* size) { return WNetGetUserA(local.CStr(), buffer, size); }, user);
  return lastError_.Code() == NO_ERROR ? user : CString();
}

void Drive::SetNumber(int number) {
  number_ = number;
  networkPath_ = NetworkPath();
}

bool Drive::operator==(const Drive& other) const {
  if (number_ != other.number_ && EffectiveNumber() != other.EffectiveNumber()) return false;
  return networkPath_ == other.networkPath_;
}

bool Drive::IsValid() const {
  return (number_ >= kCurrentDrive && number_ <= 26) || (number_ == kNetworkShare && !networkPath_.Text().IsEmpty());
}

void Drive::SetLetter(const CString& text) {
  char first = text.At(0);
  if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
  SetNumber(first >= 'A' && first <= 'Z' ? first - 'A' + 1 : kNoDrive);
}

FilePath Drive::LocalRoot() const {
  if (number_ < kCurrentDrive || number_ > 26) return FilePath();
  return FilePath(LocalName() + "\\");
}

void Drive::SetNetworkPath(const NetworkPath& path) {
  number_ = kNetworkShare;
  networkPath_ = path;
}

NetworkPath Drive::NetworkPathOf() {
  if (number_ == kNetworkShare) return networkPath_;
  if (!IsValid()) return NetworkPath();
  CString local = LocalName();
  CString remote;
  DWORD status = ReadNetworkName(
      [&local](char* buffer, DWORD* size) { return WNetGetConnectionA(local.CStr(), buffer, size); }, remote);
  if (status == NO_ERROR) return NetworkPath(remote);
  lastError_ = status;
  // Offline but remembered: the drive still stands for that resource.
  return status == ERROR_CONNECTION_UNAVAIL ? NetworkPath(remote) : NetworkPath();
}

void Drive::SetFromText(const CString& text) {
  NetworkPath path(text);
  if (path.IsUNC())
    SetNetworkPath(path);
  else
    SetLetter(text);
}

CString Drive::VolumeRoot() const {
  FilePath root = RootPath();
  root.SetTrailingState(FilePath::kTrailingSeparator);
  return root.Text();
}

FilePath Drive::RootPath() const {
  if (number_ == kNetworkShare) return FilePath(networkPath_);
  return LocalRoot();
}

CString Drive::NetworkProvider() {
  NetworkPath path = NetworkPathOf();
  if (!path.IsUNC()) return CString();

  // Not every Windows version has the entry: looked up by name, and the
  // library let go again whatever happens.
  LoadedLibrary mpr("mpr.dll");
  ResourceInformationFunction information = mpr.Entry<ResourceInformationFunction>("WNetGetResourceInformationA");
  if (!information) {
    lastError_ = mpr.LastError();
    return CString();
  }
  NETRESOURCEA resource = {};
  resource.dwScope = RESOURCE_GLOBALNET;
  resource.dwType = RESOURCETYPE_ANY;
  CString remote = path.Text();
  resource.lpRemoteName = const_cast<char*>(remote.CStr());

  // The record comes first in the buffer, its texts after it.
  DWORD size = kNameBufferSize;
  for (;;) {
    std::vector<NETRESOURCEA> buffer(size / sizeof(NETRESOURCEA) + 1);
    DWORD reported = size;
    char* system = nullptr;
    DWORD status = information(&resource, buffer.data(), &reported, &system);
    lastError_ = status;
    if (status == NO_ERROR) {
      const char* provider = buffer[0].lpProvider;
      return provider ? CString(provider) : CString();
    }
    if (status != ERROR_MORE_DATA || size >= kLargestName) return CString();
    size = Grown(size, reported);
  }
}

Drive::EKind Drive::Kind() {
  if (!IsValid()) return eNoKind;
  if (number_ == kNetworkShare) return eRemote;
  UINT type = GetDriveTypeA(RootPath().Text().CStr());
  switch (type) {
    case DRIVE_UNKNOWN:
      return eNoKind;
    case DRIVE_NO_ROOT_DIR:
      // A remembered network connection that is not connected now.
      return NetworkPathOf().Share().IsEmpty() ? eNoKind : eRemote;
    case DRIVE_REMOVABLE:
      return FloppyFormFactor() != 0 ? eFloppy : eRemovable;
    case DRIVE_FIXED: {
      ULONGLONG total = TotalBytes();
      return total > 0 && total < kRamDiskLimit ? eRamDisk : eFixed;
    }
    case DRIVE_REMOTE:
      return eRemote;
    case DRIVE_CDROM:
      return eCdRom;
    case DRIVE_RAMDISK:
      return eRamDisk;
    default:
      return static_cast<EKind>(type - 1);
  }
}

int Drive::EffectiveNumber() const { return number_ == kCurrentDrive ? _getdrive() : number_; }

bool Drive::IsCurrent() const { return *this == CurrentDrive(); }

bool Drive::IsReady() const {
  if (IsCurrent()) return true;
  ErrorModeScope quiet(kVolumeQueryErrorMode);
  return GetFileAttributesA(RootPath().Text().CStr()) != INVALID_FILE_ATTRIBUTES;
}

bool Drive::HasPersistentAcls() const {
  ErrorModeScope quiet(kVolumeQueryErrorMode);
  DWORD flags = 0;
  if (!GetVolumeInformationA(VolumeRoot().CStr(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return false;
  return (flags & FS_PERSISTENT_ACLS) != 0;
}

CString Drive::VolumeLabel() {
  ErrorModeScope quiet(kVolumeQueryErrorMode);
  char name[kNameBufferSize] = {};
  if (!GetVolumeInformationA(VolumeRoot().CStr(), name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0)) {
    lastError_ = Win32Error::LastError();
    return CString();
  }
  return CString(name, strnlen(name, sizeof name));
}

bool Drive::SetVolumeLabel(const CString& label) {
  ErrorModeScope quiet(kVolumeQueryErrorMode);
  return ::SetVolumeLabelA(VolumeRoot().CStr(), label.IsEmpty() ? nullptr : label.CStr()) != 0;
}

bool Drive::DiskSpace(ULONGLONG& freeBytes, ULONGLONG& totalBytes) {
  freeBytes = 0;
  totalBytes = 0;
  CString root = VolumeRoot();
  ErrorModeScope quiet(kVolumeQueryErrorMode);
  {
    // Windows 95 before OSR2 lacks the call that counts past 2 GB.
    LoadedLibrary kernel("Kernel32.dll");
    DiskFreeSpaceExFunction spaceEx = kernel.Entry<DiskFreeSpaceExFunction>("GetDiskFreeSpaceExA");
    ULARGE_INTEGER available = {}, total = {}, totalFree = {};
    if (spaceEx && spaceEx(root.CStr(), &available, &total, &totalFree)) {
      freeBytes = available.QuadPart;
      totalBytes = total.QuadPart;
    }
  }
  if (totalBytes == 0) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (GetDiskFreeSpaceA(root.CStr(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
      ULONGLONG cluster = static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector;
      freeBytes = cluster * freeClusters;
      totalBytes = cluster * totalClusters;
    }
  }
  if (totalBytes == 0) {
    lastError_ = Win32Error::LastError();
    return false;
  }
  return true;
}

ULONGLONG Drive::FreeBytes() {
  ULONGLONG freeBytes = 0, totalBytes = 0;
  DiskSpace(freeBytes, totalBytes);
  return freeBytes;
}

ULONGLONG Drive::TotalBytes() {
  ULONGLONG freeBytes = 0, totalBytes = 0;
  DiskSpace(freeBytes, totalBytes);
  return totalBytes;
}

int Drive::FloppyFormFactor() {
  // A number-0 drive asks about the drive that is current now.
  int number = EffectiveNumber();
  if (number < 1 || number > 26) return 0;

  if (RunsOnWindows9x()) {
    DeviceHandle vwin32("\\\\.\\VWIN32", 0, 0, 0, FILE_FLAG_DELETE_ON_CLOSE);
    if (!vwin32.IsOpen()) return 0;
    // Zeroed: a first byte of 0 asks for the drive's own parameters, and
    // nothing left over from the stack can be read back as a device type.
    BYTE parameters[kDeviceParameterBlockSize] = {};
    DosRegisters registers = {};
    registers.ebx = static_cast<DWORD>(number);
    // Windows 95/98 are 32-bit: the address fits the register.
    registers.edx = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parameters));
    registers.ecx = kGetDeviceParameters;
    registers.eax = kGenericBlockRequest;
    registers.flags = kCarryFlag;
    DWORD returned = 0;
    if (!vwin32.Control(kVwin32DosIoctl, &registers, sizeof registers, &registers, sizeof registers, returned) ||
        (registers.flags & kCarryFlag))
      return 0;
    return FormFactorOfDosDeviceType(parameters[1]);
  }

  char name[] = "\\\\.\\?:";
  name[4] = static_cast<char>(number + 64);
  DeviceHandle device(name, 0, FILE_SHARE_WRITE, OPEN_EXISTING, 0);
  if (!device.IsOpen()) return 0;
  DISK_GEOMETRY geometry[kMediaTypeRecords] = {};
  DWORD returned = 0;
  // A reply shorter than one record holds no media type.
  if (!device.Control(IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, geometry, sizeof geometry, returned) ||
      returned < sizeof geometry[0])
    return 0;
  return FormFactorOfMediaType(static_cast<DWORD>(geometry[0].MediaType));
}

bool Drive::MakeCurrent() const {
  if (!IsValid()) return false;
  if (number_ == kCurrentDrive) return true;
  return _chdrive(number_) == 0;
}

bool Drive::Connect(const CString& path, HWND owner, bool updateProfile) {
  if (!IsValid()) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return false;
  }
  CString local;
  CString remote;
  if (number_ == kNetworkShare) {
    remote = networkPath_.Text();
  } else {
    local = LocalName();
    remote = NetworkPath(path).IsUNC() ? path : NetworkPathOf().Text();
  }
  NETRESOURCEA resource = {};
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpLocalName = local.IsEmpty() ? nullptr : const_cast<char*>(local.CStr());
  resource.lpRemoteName = const_cast<char*>(remote.CStr());
  DWORD flags = owner ? CONNECT_INTERACTIVE : 0;
  if (updateProfile) flags |= CONNECT_UPDATE_PROFILE;

  char accessName[MAX_PATH] = {};
  DWORD accessSize = sizeof accessName;
  DWORD result = 0;
  DWORD status = WNetUseConnectionA(owner, &resource, nullptr, nullptr, flags, accessName, &accessSize, &result);
  if (status == NO_ERROR) return true;
  lastError_ = status;
  return false;
}

bool Drive::Disconnect(bool updateProfile, bool force) {
  if (!IsValid()) {
    lastError_ = ERROR_INVALID_PARAMETER;
    return false;
  }
  CString name = number_ == kNetworkShare ? networkPath_.Text() : LocalName();
  DWORD status = WNetCancelConnection2A(name.CStr(), updateProfile ? CONNECT_UPDATE_PROFILE : 0, force ? TRUE : FALSE);
  if (status == NO_ERROR) return true;
  lastError_ = status;
  return false;
}

Drive CurrentDrive() { return Drive(_getdrive()); }
