#include <gtest/gtest.h>

#include "RegistryInfo.h"
#include "TraceCapture.h"
#include "WindowsVersion.h"

namespace {

std::string Hive(int index) { return RegistryInfo::Instance().GetHiveString(index).CStr(); }

// What every platform shows the same way.
void ExpectCommonHives() {
  EXPECT_EQ(6, RegistryInfo::Instance().GetNumberOfHives());
  EXPECT_EQ("HKEY_CLASSES_ROOT", Hive(0));
  EXPECT_EQ("HKEY_CURRENT_USER", Hive(1));
  EXPECT_EQ("HKEY_LOCAL_MACHINE", Hive(2));
  EXPECT_EQ("HKEY_USERS", Hive(3));
  EXPECT_EQ("HKEY_CURRENT_CONFIG", Hive(4));
}

}  // namespace

TEST(RegistryInfo, WindowsNTShowsPerformanceDataAsTheSixthHive) {
  ASSERT_EQ(2u, WindowsVersion::Current().platform);
  ExpectCommonHives();
  EXPECT_EQ("HKEY_PERFORMANCE_DATA", Hive(5));
}

TEST(RegistryInfo, IndexesOutsideTheHivesGiveTheRegistryNameAndALine) {
  TraceCapture capture;
  EXPECT_EQ("My Computer", Hive(6));
  EXPECT_EQ("My Computer", Hive(-1));
  EXPECT_EQ("My Computer", Hive(0x7fffffff));
  ASSERT_EQ(3u, capture.Lines().size());
  EXPECT_EQ("RegistryInfo::GetHiveString - bad index 6\n", capture.Lines()[0]);
  EXPECT_EQ("RegistryInfo::GetHiveString - bad index -1\n", capture.Lines()[1]);
  EXPECT_EQ("RegistryInfo::GetHiveString - bad index 2147483647\n", capture.Lines()[2]);
}

TEST(RegistryInfo, KnownPlatformsLogNothingWhenCounted) {
  TraceCapture capture;
  EXPECT_EQ(6, RegistryInfo::Instance().GetNumberOfHives());
  EXPECT_TRUE(capture.Lines().empty()) << capture.Text();
}

TEST(RegistryInfo_Win98, Windows98ShowsDynamicDataAsTheSixthHive) {
  ASSERT_EQ(1u, WindowsVersion::Current().platform);
  ExpectCommonHives();
  EXPECT_EQ("HKEY_DYN_DATA", Hive(5));
}

TEST(RegistryInfo_Win95, Windows95ShowsDynamicDataAsTheSixthHive) {
  ASSERT_EQ(1u, WindowsVersion::Current().platform);
  ExpectCommonHives();
  EXPECT_EQ("HKEY_DYN_DATA", Hive(5));
}

TEST(RegistryInfo_NT40, WindowsNT4ShowsPerformanceDataAsTheSixthHive) {
  ASSERT_EQ(2u, WindowsVersion::Current().platform);
  EXPECT_EQ("HKEY_PERFORMANCE_DATA", Hive(5));
}
