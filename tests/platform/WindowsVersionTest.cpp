// Wine reports the Windows version the fixture set for this program's name;
// the branches for older Windows are tested that way.
#include <gtest/gtest.h>

#include <windows.h>

#include "WindowsVersion.h"

// Without a version of the fixture's, Wine reports an NT newer than 2000, so
// the plain runs take the branches of today's Windows. Which one depends on
// Wine's default: Windows 7 (6.1) in Wine 8, Windows 10 in Wine 10. The
// reported version follows Windows' rule for a program whose manifest does
// not name Windows 8.1 or later (ours have none): the true version up to 6.1,
// 6.2 from Windows 8 on. The true version comes from ntdll, which that rule
// leaves alone.
TEST(WindowsVersion, DefaultIsTheTrueVersionCappedAtWindows8) {
  typedef LONG(WINAPI * GetVersionFunction)(OSVERSIONINFOW*);
  auto rtlGetVersion = reinterpret_cast<GetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(nullptr, rtlGetVersion);
  OSVERSIONINFOW truth = {};
  truth.dwOSVersionInfoSize = sizeof truth;
  ASSERT_EQ(0, rtlGetVersion(&truth));
  ASSERT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), truth.dwPlatformId);
  ASSERT_TRUE(truth.dwMajorVersion > 6 || (truth.dwMajorVersion == 6 && truth.dwMinorVersion >= 1))
      << truth.dwMajorVersion << "." << truth.dwMinorVersion << ": older than Windows 7";

  const bool windows8OrLater = truth.dwMajorVersion > 6 || truth.dwMinorVersion >= 2;
  WindowsVersion v = WindowsVersion::Current();
  EXPECT_EQ(2u, v.platform);
  EXPECT_EQ(6u, v.major);
  EXPECT_EQ(windows8OrLater ? 2u : truth.dwMinorVersion, v.minor) << "true version " << truth.dwMajorVersion << "."
                                                                    << truth.dwMinorVersion;
  EXPECT_EQ("other", v.Name());
}

TEST(WindowsVersion_Win95, ReportedAsWindows95) { EXPECT_EQ("win95", WindowsVersion::Current().Name()); }
TEST(WindowsVersion_Win98, ReportedAsWindows98) { EXPECT_EQ("win98", WindowsVersion::Current().Name()); }
TEST(WindowsVersion_NT40, ReportedAsNT4) { EXPECT_EQ("nt40", WindowsVersion::Current().Name()); }
TEST(WindowsVersion_Win2k, ReportedAsWindows2000) { EXPECT_EQ("win2k", WindowsVersion::Current().Name()); }
