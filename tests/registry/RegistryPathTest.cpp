#include <gtest/gtest.h>

#include "RegistryPath.h"

namespace {

std::string Normalised(const char* text) { return RegistryPath(CString(text)).Text().CStr(); }

}  // namespace

TEST(RegistryPath, LongRootNamesAreShortenedAndNothingElseChanges) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"HKEY_CLASSES_ROOT\\CLSID", "HKCR\\CLSID"},
      {"HKEY_CURRENT_USER\\Software", "HKCU\\Software"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft", "HKLM\\SOFTWARE\\Microsoft"},
      {"HKEY_USERS\\S-1-5-18", "HKU\\S-1-5-18"},
      {"HKEY_CURRENT_CONFIG\\System", "HKCC\\System"},
      {"HKEY_DYN_DATA\\Config Manager", "HKDD\\Config Manager"},
      {"HKEY_PERFORMANCE_DATA", "HKPD"},
      // Case, doubled and trailing separators and blanks stay as they were.
      {"HKEY_LOCAL_MACHINE\\software\\\\x y \\", "HKLM\\software\\\\x y \\"},
      {"hkey_local_machine\\Software", "hkey_local_machine\\Software"},
      {"HKEY_LOCAL_MACHINEX\\Software", "HKEY_LOCAL_MACHINEX\\Software"},
      {"My Computer\\HKLM\\Software", "My Computer\\HKLM\\Software"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, Normalised(c.text)) << "from " << c.text;
}

TEST(RegistryPath, TheHeadNamesTheRootExactly) {
  struct Case {
    const char* text;
    HKEY root;
    const char* subkey;
  } cases[] = {
      {"HKLM\\SOFTWARE\\Microsoft", HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft"},
      {"HKU\\S-1-5-18", HKEY_USERS, "S-1-5-18"},
      {"HKCR", HKEY_CLASSES_ROOT, ""},
      {"HKLM\\", HKEY_LOCAL_MACHINE, ""},
      {"HKCC\\System", HKEY_CURRENT_CONFIG, "System"},
      {"HKDD\\x", HKEY_DYN_DATA, "x"},
      {"HKPD", HKEY_PERFORMANCE_DATA, ""},
      {"HKEY_CURRENT_USER\\\\Software\\", HKEY_CURRENT_USER, "\\Software\\"},
      {"hkey_local_machine\\Software", nullptr, "Software"},
      {"hklm\\Software", nullptr, "Software"},
      {"Software\\Microsoft", nullptr, "Microsoft"},
      {"My Computer\\HKLM\\Software", nullptr, "HKLM\\Software"},
      {"\\HKLM\\Software", nullptr, "HKLM\\Software"},
  };
  for (const Case& c : cases) {
    RegistryPath path{CString(c.text)};
    EXPECT_EQ(c.root, path.RootHandle()) << c.text;
    EXPECT_EQ(c.root != nullptr, path.HasRoot()) << c.text;
    EXPECT_STREQ(c.subkey, path.Tail().CStr()) << c.text;
  }
}

TEST(RegistryPath, FromARootHandleTheLongNameIsUsed) {
  EXPECT_STREQ("HKEY_CURRENT_CONFIG\\System", RegistryPath(HKEY_CURRENT_CONFIG, "System").Text().CStr());
  EXPECT_STREQ("HKEY_LOCAL_MACHINE\\SOFTWARE", RegistryPath(HKEY_LOCAL_MACHINE, "SOFTWARE").Text().CStr());
  EXPECT_STREQ("X", RegistryPath(reinterpret_cast<HKEY>(0x1234), "X").Text().CStr());
  EXPECT_STREQ("X", RegistryPath(static_cast<HKEY>(nullptr), "X").Text().CStr());
}

TEST(RegistryPath, TwoPartsAreJoinedByOneSeparatorAndNormalised) {
  EXPECT_STREQ("HKU\\S-1-5-18\\Software", RegistryPath("HKEY_USERS\\S-1-5-18", "Software").Text().CStr());
  EXPECT_STREQ("HKCU\\Software", RegistryPath("HKCU\\", "\\Software").Text().CStr());
}

TEST(RegistryPath, AppendingBelowARootAddsOneSeparator) {
  RegistryPath plain{CString("HKCU")};
  plain.Append("Software");
  EXPECT_STREQ("HKCU\\Software", plain.Text().CStr());
  RegistryPath withSeparator{CString("HKCU\\")};
  withSeparator.Append("Software");
  EXPECT_STREQ("HKCU\\Software", withSeparator.Text().CStr());
  RegistryPath redirected{CString("HKEY_USERS\\S-1-5-21-1")};
  redirected.Append("Software\\Corvane Systems\\Hollowmarch\\QELPrinter");
  EXPECT_STREQ("HKU\\S-1-5-21-1\\Software\\Corvane Systems\\Hollowmarch\\QELPrinter", redirected.Text().CStr());
  EXPECT_EQ(HKEY_USERS, redirected.RootHandle());
}

TEST(RegistryPath, EqualityIgnoresCase) {
  EXPECT_TRUE(RegistryPath(CString("hklm\\software")) == RegistryPath(CString("HKLM\\SOFTWARE")));
  // Normalised first: the long name equals its abbreviation.
  EXPECT_TRUE(RegistryPath(CString("HKEY_LOCAL_MACHINE\\x")) == RegistryPath(CString("HKLM\\X")));
  EXPECT_TRUE(RegistryPath(CString("HKLM\\a")) != RegistryPath(CString("HKLM\\b")));
  RegistryPath copy(RegistryPath(CString("HKLM\\a")));
  EXPECT_STREQ("HKLM\\a", copy.Text().CStr());
}
