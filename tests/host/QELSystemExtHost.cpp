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

TEST(QELSystemExtHost, ReachesTheSystemExportsThroughTheImportLibrary) {
  // A 32-bit host that linked another library's DllRegisterServer@0 would
  // leave the policy value in place.
  const char policy[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  RawSetDword(HKEY_CURRENT_USER, policy, "NoSaveSettings", 1);
  EXPECT_EQ(S_OK, DllRegisterServer());
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, policy, "NoSaveSettings").Found());

  ScratchKey scratch;
  EXPECT_EQ(0, SetCurrentUserKey(scratch.Text().c_str()));
  EXPECT_EQ(0, GetShellIcon95to98NT("42"));
  EXPECT_EQ(0, GetShellIcon98NTto2k("50"));
  EXPECT_EQ(0, isBindingMSTCP("MSTCP"));
  const std::string results = scratch.Below("Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\");
  EXPECT_EQ(std::string("47\0", 3), ReadRawValue(HKEY_CURRENT_USER, results + "QELIcon", "New95").Bytes());
  EXPECT_EQ(std::string("107\0", 4), ReadRawValue(HKEY_CURRENT_USER, results + "QELIcon", "New98NT").Bytes());
  EXPECT_EQ(std::string("true\0", 5), ReadRawValue(HKEY_CURRENT_USER, results + "DialUp", "TCPBinding").Bytes());
  SetCurrentUserKey("HKCU");
}
