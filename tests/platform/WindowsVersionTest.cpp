// Wine reports the Windows version the fixture set for this program's name;
// the branches for older Windows are tested that way.
#include <gtest/gtest.h>

#include "WindowsVersion.h"

TEST(WindowsVersion, DefaultIsWindows7) {
  WindowsVersion v = WindowsVersion::Current();
  EXPECT_EQ(2u, v.platform);
  EXPECT_EQ(6u, v.major);
  EXPECT_EQ(1u, v.minor);
}

TEST(WindowsVersion_Win95, ReportedAsWindows95) { EXPECT_EQ("win95", WindowsVersion::Current().Name()); }
TEST(WindowsVersion_Win98, ReportedAsWindows98) { EXPECT_EQ("win98", WindowsVersion::Current().Name()); }
TEST(WindowsVersion_NT40, ReportedAsNT4) { EXPECT_EQ("nt40", WindowsVersion::Current().Name()); }
TEST(WindowsVersion_Win2k, ReportedAsWindows2000) { EXPECT_EQ("win2k", WindowsVersion::Current().Name()); }
