// Drives of the test prefix (C: and Z:), drives the test defines through
// Wine's mount manager as winecfg does, floppy drives of the stand-in device
// file, and network connections through the stand-in mpr.dll.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <string>

#include "CurrentDriveScope.h"
#include "Drive.h"
#include "DriveIterator.h"
#include "FloppyDouble.h"
#include "MprDouble.h"
#include "TestFolder.h"

namespace {

const int kR = 18;

// Drive R: of a platform drive type over the test's folder, for the life of
// the object. Wine's own request (its layout as Wine 8 has it).
class DefinedDrive {
 public:
  DefinedDrive(const TestFolder& folder, UINT type) { Define(type, "../drive_c/" + folder.Root().substr(3)); }
  ~DefinedDrive() { Define(DRIVE_NO_ROOT_DIR, ""); }

 private:
  struct Request {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
  };
  static void Define(UINT type, const std::string& unixPath) {
    std::string bytes(sizeof(Request), '\0');
    bytes += unixPath + '\0';
    Request* request = reinterpret_cast<Request*>(&bytes[0]);
    request->size = static_cast<ULONG>(bytes.size());
    request->type = type;
    request->letter = L'r';
    request->mountPointOffset = unixPath.empty() ? 0 : sizeof(Request);
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, manager);
    DWORD returned = 0;
    const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    EXPECT_TRUE(DeviceIoControl(manager, kDefineUnixDrive, &bytes[0], request->size, nullptr, 0, &returned, nullptr));
    CloseHandle(manager);
  }
};

bool RunsOnWindows9x() { return (GetVersion() & 0x80000000) != 0; }

// Leaves old data where the next call's locals will lie.
__attribute__((noinline)) void SoilStack() {
  volatile BYTE junk[4096];
  for (BYTE& b : const_cast<BYTE(&)[4096]>(junk)) b = 0xCC;
}

}  // namespace

TEST(Drive, TextsNameDrivesAndShares) {
  EXPECT_EQ(4, Drive(CString("d:\\data")).Number());
  Drive share(CString("\\\\srv\\shr\\dir"));
  EXPECT_EQ(Drive::kNetworkShare, share.Number());
  EXPECT_STREQ("\\\\srv\\shr", share.RootPath().Text().CStr());
  EXPECT_STREQ("", share.LocalRoot().Text().CStr());
  EXPECT_TRUE(share == Drive(CString("\\\\SRV\\Shr")));
  EXPECT_FALSE(Drive(Drive::kNoDrive).IsValid());
  EXPECT_STREQ("", Drive(Drive::kNoDrive).LocalRoot().Text().CStr());
  EXPECT_TRUE(Drive(0) == CurrentDrive());
  EXPECT_FALSE(Drive(3) == Drive(4));
}

TEST(Drive, PrefixDrivesWithKindSpaceAndLabel) {
  DriveIterator drives;
  EXPECT_EQ(3, drives.Current().Number());
  EXPECT_EQ(26, (++drives).Current().Number());
  EXPECT_FALSE((++drives).IsValid());
  EXPECT_EQ(26, LastDrive().Current().Number());

  Drive c(3);
  EXPECT_EQ(Drive::eFixed, c.Kind());
  ULONGLONG freeBytes = 0, totalBytes = 0;
  EXPECT_TRUE(c.DiskSpace(freeBytes, totalBytes));
  EXPECT_LT(0u, freeBytes);
  EXPECT_LT(freeBytes, totalBytes);
  EXPECT_STREQ("", c.VolumeLabel().CStr());
  EXPECT_EQ(0u, c.LastError().Code());
  EXPECT_TRUE(c.IsReady());

  Drive q(17);
  EXPECT_EQ(Drive::eNoKind, q.Kind());
  EXPECT_FALSE(q.IsReady());
  EXPECT_STREQ("", q.VolumeLabel().CStr());
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, q.LastError().Code());
  EXPECT_FALSE(q.MakeCurrent());
}

TEST(Drive, DefinedDrivesAndTheCurrentOne) {
  TestFolder folder;
  FloppyDouble::Clear();
  FloppyDouble::Insert('R', 2, 2);  // 3.5", 1.44 MB
  {
    DefinedDrive removable(folder, DRIVE_REMOVABLE);
    CurrentDriveScope onR{Drive(kR)};
    EXPECT_EQ(kR, CurrentDrive().Number());
    EXPECT_EQ(Drive::eFloppy, Drive(0).Kind()) << FloppyDouble::Log();
    EXPECT_EQ(350, Drive(0).FloppyFormFactor());
  }
  EXPECT_NE(kR, CurrentDrive().Number());
  {
    DefinedDrive cdrom(folder, DRIVE_CDROM);
    EXPECT_EQ(Drive::eCdRom, Drive(kR).Kind());
  }
  {
    DefinedDrive ram(folder, DRIVE_RAMDISK);
    EXPECT_EQ(Drive::eRamDisk, Drive(kR).Kind());
  }
  // Wine keeps a drive's label in this file; a label set is not read back
  // in the same run.
  folder.Write(".windows-label", "QELDATA\n");
  DefinedDrive fixed(folder, DRIVE_FIXED);
  EXPECT_STREQ("QELDATA", Drive(kR).VolumeLabel().CStr());
  EXPECT_TRUE(Drive(kR).SetVolumeLabel("QELNEW"));
}

// Windows NT asks the drive's device for its media types.
TEST(Drive, FloppyFormFactorFromTheMediaTypes) {
  ASSERT_FALSE(RunsOnWindows9x());
  FloppyDouble::Clear();
  for (DWORD type : {1, 10}) {
    FloppyDouble::Insert('A', type, 0);
    EXPECT_EQ(525, Drive(1).FloppyFormFactor()) << type;
  }
  FloppyDouble::Insert('A', 11, 0);
  EXPECT_EQ(0, Drive(1).FloppyFormFactor()) << "no floppy medium";
  FloppyDouble::Insert('A', 2, 0, 8);
  EXPECT_EQ(0, Drive(1).FloppyFormFactor()) << "a reply shorter than a record tells nothing";
  EXPECT_EQ(0, Drive(2).FloppyFormFactor()) << "no device";
  EXPECT_NE(std::string::npos, FloppyDouble::Log().find("open \\\\.\\A: 0/2/3/0\nclose"));
}

// Windows 95/98 ask DOS for the device parameters through VWIN32.
TEST(Drive_Win98, FloppyFormFactorFromTheDosDeviceType) {
  ASSERT_TRUE(RunsOnWindows9x());
  FloppyDouble::Clear();
  const int expected[][2] = {{1, 525}, {7, 350}, {3, 800}, {5, 0}};
  for (const auto& pair : expected) {
    FloppyDouble::Insert('A', 0, static_cast<BYTE>(pair[0]));
    SoilStack();
    EXPECT_EQ(pair[1], Drive(1).FloppyFormFactor()) << pair[0];
  }
  EXPECT_EQ(0, Drive(2).FloppyFormFactor());
  std::string log = FloppyDouble::Log();
  EXPECT_NE(std::string::npos, log.find("open \\\\.\\VWIN32 0/0/0/67108864\ndos drive=1 request=17421/2144 zeroed=1"));
  EXPECT_EQ(std::string::npos, log.find("zeroed=0")) << log;
}

TEST(Drive, NetworkConnectionsThroughTheProvider) {
  ASSERT_NE(nullptr, MprDoubleLog()) << "the stand-in mpr.dll must answer";
  std::string remote = "\\\\srv\\" + std::string(300, 's');  // longer than the first buffers
  Drive q(17);
  ASSERT_TRUE(q.Connect(remote.c_str(), nullptr, true)) << q.LastError().Code();
  EXPECT_STREQ(remote.c_str(), q.NetworkPathOf().Text().CStr());
  EXPECT_EQ(Drive::eRemote, q.Kind()) << "no root of its own, but connected";
  EXPECT_STREQ("qeltester", q.UserName().CStr());
  EXPECT_STREQ(QEL_MPR_PROVIDER, q.NetworkProvider().CStr());
  EXPECT_EQ(0u, q.LastError().Code());
  EXPECT_FALSE(q.Connect("\\\\srv\\other", nullptr, false));
  EXPECT_EQ(ERROR_ALREADY_ASSIGNED, q.LastError().Code());
  EXPECT_TRUE(q.Disconnect(true, true));
  EXPECT_FALSE(q.Disconnect(false, false));
  EXPECT_EQ(ERROR_NOT_CONNECTED, q.LastError().Code());

  Drive share(CString("\\\\srv\\shr"));
  EXPECT_TRUE(share.Connect("", reinterpret_cast<HWND>(1), false));
  EXPECT_STREQ("", share.UserName().CStr());
  EXPECT_EQ(ERROR_INVALID_PARAMETER, share.LastError().Code()) << "a share has no letter";
  EXPECT_TRUE(share.Disconnect(false, false));
  Drive unreachable(CString(QEL_MPR_UNREACHABLE "shr"));
  EXPECT_FALSE(unreachable.Connect("", nullptr, false));
  EXPECT_EQ(ERROR_BAD_NETPATH, unreachable.LastError().Code());

  std::string log = MprDoubleLog()();
  for (const std::string& call : std::initializer_list<std::string>{
           "use Q: " + remote + " type=1 flags=1 owner=no password=(null) user=(null) -> 0",
        "connection Q: size=256 -> 234", "resource " + remote + " scope=2 type=0 size=256 -> 234",
        "cancel Q: flags=1 force=1 -> 0", "use (null) \\\\srv\\shr type=1 flags=8 owner=yes",
        "cancel \\\\srv\\shr flags=0 force=0 -> 0"})
    EXPECT_NE(std::string::npos, log.find(call)) << call << "\n" << log;
}
