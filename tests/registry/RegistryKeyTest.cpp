#include <gtest/gtest.h>

#include <string>

#include "RegistryValueIterator.h"
#include "ScratchRegistryKey.h"

TEST(RegistryKey, ARootAloneOpensTheRootKeyItself) {
  RegistryKey root(CString("HKLM"), kAccess);
  EXPECT_STREQ("", root.SubkeyPath().CStr());
  ASSERT_TRUE(root.Open(kAccess)) << root.LastError();
  EXPECT_GT(root.SubkeyCount(), 0u) << "HKLM has SOFTWARE, SYSTEM, ...";

  RegistryKey separated(CString("HKEY_LOCAL_MACHINE\\"), kAccess);
  EXPECT_TRUE(separated.Open(kAccess)) << separated.LastError();
}

TEST(RegistryKey, AnUnknownRootNeverOpens) {
  for (const char* text : {"hklm\\Software", "Software", "My Computer\\HKLM\\Software", "\\HKLM\\Software"}) {
    RegistryKey key{CString(text), kAccess};
    EXPECT_FALSE(key.Exists()) << text;
    EXPECT_FALSE(key.Open(kAccess)) << text;
    EXPECT_EQ(ERROR_INVALID_HANDLE, key.LastError()) << text;
    EXPECT_FALSE(key.Create(REG_OPTION_NON_VOLATILE)) << text;
    EXPECT_FALSE(key.SetValue(RegistryValue("x", "x"))) << text;
  }
}

TEST(RegistryKey, ExistsLeavesAClosedKeyClosedWithTheLibrarysMask) {
  ScratchKey scratch;
  RegistryKey key = KeyAt(scratch);
  ASSERT_TRUE(key.Open(KEY_QUERY_VALUE));
  key.Close();
  EXPECT_TRUE(key.Exists());
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(kAccess, key.Access());

  RegistryKey missing = KeyAt(scratch, "Missing");
  EXPECT_FALSE(missing.Exists());
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, missing.LastError());
  EXPECT_FALSE(RawKeyExists(scratch.Root(), scratch.Below("Missing"))) << "Exists creates nothing";
}

TEST(RegistryKey, CopiesShareOnlyAnOpenHandle) {
  ScratchKey scratch;
  RegistryKey source = KeyAt(scratch);
  RegistryKey copy(source);
  ASSERT_TRUE(copy.Open(kAccess));
  EXPECT_FALSE(source.IsOpen()) << "opening a copy of a closed key opens only the copy";
  EXPECT_FALSE(source.SetValue(RegistryValue("x", "x")));

  RegistryKey sharer(copy);
  RegistryKey assigned = KeyAt(scratch, "Other");
  assigned = copy;
  EXPECT_TRUE(sharer.IsOpen());
  EXPECT_TRUE(assigned.IsOpen());
  EXPECT_TRUE(sharer == copy);
  sharer.Close();
  EXPECT_FALSE(copy.IsOpen()) << "closing one copy closes the shared handle";
  EXPECT_FALSE(assigned.IsOpen());
  EXPECT_FALSE(copy.SetValue(RegistryValue("x", "x")));
}

TEST(RegistryKey, KeyEqualityLooksAtHandlesPathAndMask) {
  ScratchKey scratch;
  EXPECT_TRUE(KeyAt(scratch, "a") == KeyAt(scratch, "a"));
  EXPECT_TRUE(KeyAt(scratch, "a") != KeyAt(scratch, "A")) << "the path is compared exactly";
  EXPECT_TRUE(KeyAt(scratch, "a") != KeyAt(scratch, "a", KEY_QUERY_VALUE));
  RegistryKey open = KeyAt(scratch);
  ASSERT_TRUE(open.Open(kAccess));
  EXPECT_TRUE(open != KeyAt(scratch));
}

TEST(RegistryKey, AKeyFromAHandleIsOpenOnlyWhenTheHandleOpensAgain) {
  ScratchKey scratch;
  RawCreateKey(scratch.Root(), scratch.Below("Gone"));
  HKEY handle = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(scratch.Root(), scratch.Path().c_str(), 0, KEY_ALL_ACCESS, &handle));
  {
    RegistryKey fromHandle(handle, kAccess);
    EXPECT_TRUE(fromHandle.IsOpen());
    EXPECT_TRUE(fromHandle.SetValue(RegistryValue("here", "v")));
    EXPECT_EQ("here", ReadRawValue(scratch.Root(), scratch.Path(), "v").Bytes().substr(0, 4));
  }
  RegCloseKey(handle);

  // A handle to a key deleted since, and one that is no handle at all.
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(scratch.Root(), scratch.Below("Gone").c_str(), 0, KEY_ALL_ACCESS, &handle));
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(scratch.Root(), scratch.Below("Gone").c_str()));
  RegistryKey deleted(handle, kAccess);
  EXPECT_FALSE(deleted.IsOpen());
  EXPECT_NE(ERROR_SUCCESS, deleted.LastError());
  EXPECT_FALSE(deleted.SetValue(RegistryValue("x", "x")));
  RegCloseKey(handle);

  RegistryKey bogus(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678)), kAccess);
  EXPECT_FALSE(bogus.IsOpen());
  EXPECT_EQ(ERROR_INVALID_HANDLE, bogus.LastError());

  RegistryKey none(static_cast<HKEY>(nullptr), kAccess);
  EXPECT_FALSE(none.IsOpen());
  EXPECT_FALSE(none.Exists());
  RegistryKey root(HKEY_CURRENT_USER, kAccess);
  EXPECT_TRUE(root.IsOpen());
}

TEST(RegistryKey, CreateMakesEveryMissingLevelAndOpensAnExistingKey) {
  ScratchKey scratch;
  RegistryKey deep = KeyAt(scratch, "a\\b\\c\\d");
  ASSERT_TRUE(deep.Create(REG_OPTION_NON_VOLATILE)) << deep.LastError();
  EXPECT_TRUE(deep.IsOpen());
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("a\\b\\c\\d")));

  RawSetText(scratch.Root(), scratch.Below("a"), "kept", "yes");
  RegistryKey existing = KeyAt(scratch, "a");
  EXPECT_TRUE(existing.Create(REG_OPTION_NON_VOLATILE));
  EXPECT_EQ("yes", std::string(existing.FindValue("kept")->AsString().CStr()));

  // A child is relative to its parent's handle, also one opened later.
  RegistryKey parent = KeyAt(scratch);
  RegistryKey child(parent, "a\\b", kAccess);
  EXPECT_FALSE(child.Open(kAccess)) << "the parent is not open yet";
  ASSERT_TRUE(parent.Open(kAccess));
  EXPECT_TRUE(child.Open(kAccess)) << child.LastError();
}

TEST(RegistryKey, CountsComeFromThePlatformAndAreZeroWhenItCannotSay) {
  ScratchKey scratch;
  RawCreateKey(scratch.Root(), scratch.Below("x"));
  RawCreateKey(scratch.Root(), scratch.Below("y"));
  RawSetDword(scratch.Root(), scratch.Path(), "n", 1);
  RegistryKey key = KeyAt(scratch);
  EXPECT_EQ(0u, key.SubkeyCount()) << "not open";
  ASSERT_TRUE(key.Open(kAccess));
  EXPECT_EQ(2u, key.SubkeyCount());
  EXPECT_EQ(1u, key.ValueCount());
}

TEST(RegistryKey, ValuesOfEveryTypeAndSizeRoundTrip) {
  ScratchKey scratch;
  RegistryKey key = KeyAt(scratch);
  ASSERT_TRUE(key.Open(kAccess));
  std::string big(64 * 1024, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + 3);
  const RegistryValue values[] = {
      RegistryValue(REG_BINARY, nullptr, 0, "empty binary", false),
      RegistryValue(REG_SZ, nullptr, 0, "empty text", false),
      RegistryValue(CString(), "only the NUL"),
      RegistryValue(REG_BINARY, const_cast<char*>("\x7f"), 1, "one byte", false),
      RegistryValue(REG_BINARY, const_cast<char*>(big.data()), static_cast<DWORD>(big.size()), "64 KiB", false),
      RegistryValue(static_cast<DWORD>(0xDEADBEEF), "dword"),
      RegistryValue(true, "bool"),
      RegistryValue("text", ""),
      RegistryValue(REG_MULTI_SZ, const_cast<char*>("a\0b\0\0"), 5, "multi", false),
      RegistryValue(REG_EXPAND_SZ, const_cast<char*>("%TEMP%\\x\0"), 9, "expand", false),
      RegistryValue(REG_NONE, const_cast<char*>("\1\2"), 2, "none type", false),
  };
  for (const RegistryValue& value : values) {
    ASSERT_TRUE(key.SetValue(value)) << value.Name().CStr() << ": " << key.LastError();
    RawValue raw = ReadRawValue(scratch.Root(), scratch.Path(), value.Name().CStr());
    ASSERT_TRUE(raw.Found()) << value.Name().CStr();
    EXPECT_EQ(value.Type(), raw.type) << value.Name().CStr();
    EXPECT_EQ(value.Size(), raw.data.size()) << value.Name().CStr();

    RegistryValueIterator found = key.FindValue(value.Name());
    ASSERT_TRUE(found.IsValid()) << value.Name().CStr();
    EXPECT_TRUE(*found == value) << value.Name().CStr() << ": read back " << found->Size() << " bytes";
    EXPECT_EQ(value.HasData(), found->HasData()) << value.Name().CStr();
    ++found;
    EXPECT_TRUE(found == key.ValuesEnd()) << "one step from a found value reaches the end";
  }
}

TEST(RegistryKey, TextStoredWithoutItsNulReadsWithoutOverrun) {
  ScratchKey scratch;
  RawSetValue(scratch.Root(), scratch.Path(), "sz", REG_SZ, "abc", 3);
  RawSetValue(scratch.Root(), scratch.Path(), "bin", REG_BINARY, "abcdef", 6);
  RegistryKey key = KeyAt(scratch);
  ASSERT_TRUE(key.Open(kAccess));
  RegistryValueIterator sz = key.FindValue("sz");
  ASSERT_TRUE(sz.IsValid());
  EXPECT_STREQ("abc", sz->AsString().CStr());
  EXPECT_GE(sz->Size(), 3u);
  RegistryValueIterator bin = key.FindValue("bin");
  ASSERT_TRUE(bin.IsValid());
  EXPECT_STREQ("abcdef", bin->AsString().CStr());
  EXPECT_EQ(6u, bin->Size());
}

TEST(RegistryKey, FindValueOfAMissingNameIsTheEnd) {
  ScratchKey scratch;
  RawSetText(scratch.Root(), scratch.Path(), "present", "x");
  RegistryKey key = KeyAt(scratch);
  EXPECT_TRUE(key.FindValue("present") == key.ValuesEnd()) << "not open";
  ASSERT_TRUE(key.Open(kAccess));
  RegistryValueIterator missing = key.FindValue("absent");
  EXPECT_FALSE(missing.IsValid());
  EXPECT_TRUE(missing == key.ValuesEnd());
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.LastError());
}

TEST(RegistryKey, SettingReplacesAValueOfAnyTypeAndDeletingRemovesIt) {
  ScratchKey scratch;
  RawSetDword(scratch.Root(), scratch.Path(), "v", 5);
  RegistryKey key = KeyAt(scratch);
  EXPECT_FALSE(key.DeleteValue("v")) << "not open";
  ASSERT_TRUE(key.Open(kAccess));
  ASSERT_TRUE(key.SetValue(RegistryValue("five", "v")));
  RawValue raw = ReadRawValue(scratch.Root(), scratch.Path(), "v");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
  EXPECT_EQ(std::string("five\0", 5), raw.Bytes());
  EXPECT_TRUE(key.DeleteValue("v"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRawValue(scratch.Root(), scratch.Path(), "v").status);
  EXPECT_FALSE(key.DeleteValue("v"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.LastError());
}

TEST(RegistryKey, EnumeratingOneEntryGrowsBuffersThatStartTooSmall) {
  ScratchKey scratch;
  std::string longName(200, 'n');
  std::string big(64 * 1024, 'd');
  RawSetValue(scratch.Root(), scratch.Path(), longName, REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  RawCreateKey(scratch.Root(), scratch.Below(std::string(150, 'k')));
  RegistryKey key = KeyAt(scratch);
  RegistryValue value;
  RegistryKey subkey(static_cast<HKEY>(nullptr), kAccess);
  EXPECT_FALSE(key.EnumValue(0, 0, 0, value)) << "not open";
  ASSERT_TRUE(key.Open(kAccess));

  // Name and data buffers both start far too small (0 asks for the least).
  ASSERT_TRUE(key.EnumValue(0, 0, 0, value)) << key.LastError();
  EXPECT_EQ(longName, value.Name().CStr());
  EXPECT_EQ(big.size(), value.Size());
  EXPECT_EQ(0, memcmp(big.data(), value.Data(), big.size()));
  ASSERT_TRUE(key.EnumValue(0, 3, 100, value)) << key.LastError();
  EXPECT_EQ(big.size(), value.Size());
  EXPECT_FALSE(key.EnumValue(1, 0, 0, value));
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, key.LastError());

  ASSERT_TRUE(key.EnumSubkey(0, 0, subkey)) << key.LastError();
  EXPECT_EQ(std::string(150, 'k'), subkey.SubkeyPath().CStr());
  EXPECT_TRUE(subkey.Open(kAccess));
  EXPECT_FALSE(key.EnumSubkey(1, 0, subkey));
}
