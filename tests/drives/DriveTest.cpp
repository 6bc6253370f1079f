// Drives of the test prefix (C: and Z:), floppy drives of the stand-in
// device file, empty drives of the volume stand-in, and network connections
// through the stand-in mpr.dll.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "CurrentDriveScope.h"
#include "DriveIterator.h"
#include "FloppyDouble.h"
#include "MprDouble.h"
#include "VolumeDouble.h"

namespace {

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
  Drive q(17);
  EXPECT_EQ(Drive::eNoKind, q.Kind());
  EXPECT_STREQ("", q.VolumeLabel().CStr());
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, q.LastError().Code());
}

// A host may never have set the error mode: a query of a drive without its
// disk must still fail to the caller instead of waiting for a user, and the
// host's mode is left as it was.
TEST(Drive, EmptyDrivesAreQueriedWithoutAskingTheUser) {
  VolumeDouble::Clear();
  VolumeDouble::Empty('R');
  UINT testMode = SetErrorMode(0);
  Drive r(18);
  EXPECT_STREQ("", r.VolumeLabel().CStr());
  EXPECT_EQ(ERROR_NOT_READY, r.LastError().Code());
  EXPECT_FALSE(r.HasPersistentAcls());
  EXPECT_FALSE(r.SetVolumeLabel("DATA"));
  ULONGLONG freeBytes = 1, totalBytes = 1;
  EXPECT_FALSE(r.DiskSpace(freeBytes, totalBytes));
  EXPECT_EQ(0u, totalBytes);
  EXPECT_EQ(0u, SetErrorMode(testMode)) << "the host's mode is back";
  std::string log = VolumeDouble::Log();
  EXPECT_EQ(std::string::npos, log.find("asks the user")) << log;
  for (const char* call : {"GetVolumeInformationA R:\\ failed", "SetVolumeLabelA R:\\ failed",
                           "GetDiskFreeSpaceExA R:\\ failed", "GetDiskFreeSpaceA R:\\ failed"})
    EXPECT_NE(std::string::npos, log.find(call)) << call << "\n" << log;
}

// Windows NT asks the drive's device for its media types; a number-0 drive
// asks the device of the drive that is current.
TEST(Drive, FloppyFormFactorFromTheMediaTypes) {
  ASSERT_FALSE(RunsOnWindows9x());
  FloppyDouble::Clear();
  FloppyDouble::Insert('C', 10, 0);
  FilePath before = FilePath::CurrentDirectory();
  {
    CurrentDriveScope onC{Drive(3)};
    EXPECT_EQ(525, Drive(0).FloppyFormFactor()) << FloppyDouble::Log();
  }
  EXPECT_STREQ(before.Text().CStr(), FilePath::CurrentDirectory().Text().CStr()) << "drive and directory back";
  FloppyDouble::Insert('C', 2, 0, 8);
  EXPECT_EQ(0, Drive(3).FloppyFormFactor()) << "a reply shorter than a record tells nothing";
  EXPECT_EQ(0, Drive(1).FloppyFormFactor());
  EXPECT_NE(std::string::npos, FloppyDouble::Log().find("open \\\\.\\C: 0/2/3/0\nclose"));
}

// Windows 95/98 ask DOS for the device parameters through VWIN32.
TEST(Drive_Win98, FloppyFormFactorFromTheDosDeviceType) {
  ASSERT_TRUE(RunsOnWindows9x());
  FloppyDouble::Clear();
  const int typeAndFactor[][2] = {{7, 350}, {3, 800}, {5, 0}};
  for (const auto& pair : typeAndFactor) {
    FloppyDouble::Insert('A', 0, static_cast<BYTE>(pair[0]));
    SoilStack();
    EXPECT_EQ(pair[1], Drive(1).FloppyFormFactor()) << pair[0];
  }
  std::string log = FloppyDouble::Log();
  EXPECT_NE(std::string::npos, log.find("open \\\\.\\VWIN32 0/0/0/67108864\ndos drive=1 request=17421/2144"));
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
  // Cancelled without updating the profile: remembered, offline, still there.
  EXPECT_TRUE(q.Disconnect(false, true));
  EXPECT_STREQ(remote.c_str(), q.NetworkPathOf().Text().CStr());
  EXPECT_EQ(ERROR_CONNECTION_UNAVAIL, q.LastError().Code());
  EXPECT_EQ(Drive::eRemote, q.Kind());
  DriveIterator drives;
  EXPECT_EQ(17, (++drives).Current().Number()) << "listed between C: and Z:";
  EXPECT_TRUE(q.Connect("", nullptr, false)) << "again to the remembered share: " << q.LastError().Code();
  EXPECT_TRUE(q.Disconnect(true, true));
  EXPECT_FALSE(q.Disconnect(false, false));
  EXPECT_EQ(ERROR_NOT_CONNECTED, q.LastError().Code());

  Drive share(CString("\\\\srv\\shr"));
  EXPECT_TRUE(share.Connect("", reinterpret_cast<HWND>(1), false));
  EXPECT_STREQ("", share.UserName().CStr());
  EXPECT_EQ(ERROR_INVALID_PARAMETER, share.LastError().Code()) << "a share has no letter";

  std::string log = MprDoubleLog();
  for (const std::string& call :
       {"use Q: " + remote + " type=1 flags=1 -> 0", "resource " + remote + " scope=2 type=0 size=256 -> 234",
        "connection Q: size=" + std::to_string(remote.size() + 1) + " -> 1201",
        "use Q: " + remote + " type=1 flags=0 -> 0",
        std::string("use (null) \\\\srv\\shr type=1 flags=8 owner -> 0")})
    EXPECT_NE(std::string::npos, log.find(call)) << call << "\n" << log;
}
