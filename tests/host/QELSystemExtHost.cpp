// A host linked to QELSystemExt through its public header and import
// library: the declared names and signatures must be the exported ones.
#include <gtest/gtest.h>

#include "QELSystemExt.h"
#include "RawRegistry.h"

TEST(QELSystemExtHost, CallsTheExportsThroughThePublicHeader) {
  ScratchKey scratch;
  EXPECT_EQ(0, SetCurrentUserKey(nullptr));
  WriteRegistryValue(scratch.Below("linked\\sub"), "New95", "12");
  WriteRegistryValue(scratch.Below("linked"), "gone", "x");
  EXPECT_EQ(std::string("12\0", 3), ReadRawValue(HKEY_CURRENT_USER, scratch.Below("linked\\sub"), "New95").Bytes());
  DeleteRegistryValue(scratch.Below("linked"), "gone");
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, scratch.Below("linked"), "gone").Found());
  DeleteRegistryKey(scratch.Below("linked"), "sub");
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, scratch.Below("linked\\sub")));
}
