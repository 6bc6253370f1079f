// A host linked to QELPrinter through its public header and import library:
// the declared names and signatures must be the exported ones.
#include <gtest/gtest.h>

#include "QELPrinter.h"
#include "RawRegistry.h"

TEST(QELPrinterHost, CallsTheExportsThroughThePublicHeader) {
  ScratchKey scratch;
  EXPECT_EQ(0, SetCurrentUserKey(nullptr));
  EXPECT_EQ(0, SetCurrentUserKey("HKCU"));
  EXPECT_TRUE(WriteRegistryValue(CString(scratch.Below("linked").c_str()), CString("Successful Install"),
                                 CString("exists")));
  EXPECT_EQ(std::string("exists\0", 7), ReadRawValue(HKEY_CURRENT_USER, scratch.Below("linked"), "Successful Install").Bytes());
  EXPECT_EQ(0, InstallPrinter(nullptr));
  const char result[] = "Software\\Corvane Systems\\Hollowmarch\\QELPrinter";
  EXPECT_EQ(std::string("false\0", 6), ReadRawValue(HKEY_CURRENT_USER, result, "Successful Install").Bytes());
}
