// Code page 932: many double-byte characters end in a byte equal to "\" or
// to a lower-case letter or a bracket. "\x95\x5C" is one kanji, "\x83\x5C"
// and "\x83\x61" are katakana, "\x83\x5B" and "\x83\x5D" end in "[" and "]".
// Handling such texts a byte at a time would split these characters.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "DelimitedPath.h"
#include "FilePath.h"
#include "TestFolder.h"

namespace {

std::string Text(const FilePath& path) { return path.Text().CStr(); }

class FilePath_Cp932 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8"; }
};

}  // namespace

TEST_F(FilePath_Cp932, TrailBytesAreNoSeparators) {
  FilePath path(CString("C:\\\x95\x5C\\x\x95\x5C"));
  EXPECT_STREQ("C:", path.Head().CStr());
  EXPECT_STREQ("x\x95\x5C", path.Last().CStr());
  EXPECT_EQ(2u, path.SeparatorCount());
  EXPECT_EQ(FilePath::kNoTrailingSeparator, path.TrailingState());
  path.SetTrailingState(FilePath::kNoTrailingSeparator);
  EXPECT_EQ("C:\\\x95\x5C\\x\x95\x5C", Text(path)) << "the kanji's second byte is no trailing separator";
  EXPECT_EQ("C:\\\x95\x5C", Text(path.Parent()));

  path.Append("y");
  EXPECT_EQ("C:\\\x95\x5C\\x\x95\x5C\\y", Text(path));
  path.SetTrailingState(FilePath::kTrailingSeparator);
  EXPECT_EQ("C:\\\x95\x5C\\x\x95\x5C\\y\\", Text(path));
  EXPECT_TRUE(path.RemoveLast());
  EXPECT_TRUE(path.RemoveLast());
  EXPECT_EQ("C:\\\x95\x5C\\x\x95\x5C", Text(path));

  DelimitedPath joined(CString("Software\\\x83\x5C"), CString("\x95\x5C"));
  EXPECT_STREQ("Software\\\x83\x5C\\\x95\x5C", joined.Text().CStr()) << "no trailing separator to drop";
  EXPECT_STREQ("\x83\x5C\\\x95\x5C", joined.Tail().CStr());

  FilePath slashed(CString("\x95\x5C/x/\x83\x5C"));
  EXPECT_EQ("\x95\x5C\\x\\\x83\x5C", Text(slashed));
  EXPECT_EQ(FilePath::kRelative, FilePath(CString("\x95\x5C\\a")).RootType());
}

TEST_F(FilePath_Cp932, ExtensionsAndEightThreeNames) {
  EXPECT_STREQ("\x95\x5C", FilePath(CString("dir\\a.\x95\x5C")).Extension().CStr());
  EXPECT_STREQ("", FilePath(CString("a.b\\\x95\x5C")).Extension().CStr());
  FilePath named(CString("C:\\\x95\x5C"));
  named.SetExtension("txt");
  EXPECT_EQ("C:\\\x95\x5C.txt", Text(named));
  named.SetExtension("\x83\x5C");
  EXPECT_EQ("C:\\\x95\x5C.\x83\x5C", Text(named));
  named.SetExtension("");
  EXPECT_EQ("C:\\\x95\x5C", Text(named));

  EXPECT_FALSE(FilePath(CString("C:\\\x83\x5B\x83\x5D.txt")).IsLongName()) << "trail bytes are no brackets";
  EXPECT_FALSE(FilePath(CString("C:\\\x95\x5C\x95\x5C\x95\x5C\x95\x5C.\x83\x61")).IsLongName());
  EXPECT_TRUE(FilePath(CString("C:\\\x95\x5C\x95\x5C\x95\x5C\x95\x5C\x95\x5C")).IsLongName())
      << "five double-byte characters are ten bytes";
}

TEST_F(FilePath_Cp932, NormalizeAndCompareKeepCharactersWhole) {
  struct {
    const char* text;
    const char* normalized;
  } cases[] = {
      {"C:\\a\\b\x95\x5C..\\x", "C:\\a\\b\x95\x5C..\\x"},
      {"C:\\\x95\x5C\\..\\x", "C:\\x"},
      {"C:\\a\\\x95\x5C\\.\\", "C:\\a\\\x95\x5C\\"},
      {"\x83\x5C\\\x95\x5C\\...\\y", "y"},
  };
  for (const auto& c : cases) {
    FilePath path{CString(c.text)};
    path.Normalize();
    EXPECT_EQ(c.normalized, Text(path)) << c.text;
  }

  EXPECT_TRUE(FilePath(CString("C:\\\x83\x41")) != FilePath(CString("c:\\\x83\x61")))
      << "0x41 and 0x61 as trail bytes are different characters, not cases";
  EXPECT_TRUE(FilePath(CString("C:\\A\x95\x5C")) == FilePath(CString("c:\\a\x95\x5C\\")));
  EXPECT_TRUE(FilePath(CString("C:\\\x95\x5C")) != FilePath(CString("C:\\\x95\x5C\\x")));
}

// Wine stores file names in the Unix locale's character set; where the
// Japanese locale is not installed on the host that is ASCII, and every
// non-ASCII name fails with error 2. The test then has nothing to look at.
TEST_F(FilePath_Cp932, DiskLookupsWithDoubleByteNames) {
  TestFolder folder;
  std::string kanjiA = folder.Folder("\x95\x5C" "a");
  folder.Folder("\x95\x5C" "b");
  folder.File("\x95\x5C" "a\\\x83\x5C.txt");
  if (!SetCurrentDirectoryA(kanjiA.c_str())) GTEST_SKIP() << "the file system took no double-byte name";
  EXPECT_EQ(kanjiA, Text(FilePath::CurrentDirectory()));

  // The common part of the two folders ends inside the kanji.
  FilePath sibling{CString((folder.Root() + "\\\x95\x5C" "b\\x").c_str())};
  sibling.ConvertRootType(FilePath::kRelative);
  EXPECT_EQ("..\\\x95\x5C" "b\\x", Text(sibling));
  sibling.ConvertRootType(FilePath::kAbsoluteWithDrive);
  EXPECT_EQ(folder.Root() + "\\\x95\x5C" "b\\x", Text(sibling));

  FilePath written(CString("..\\\x95\x5C" "A\\\x83\x5C.TXT"));
  written.ResolveNames(true);
  EXPECT_EQ("..\\\x95\x5C" "a\\\x83\x5C.txt", Text(written));
  FilePath shortName(written);
  shortName.ResolveNames(false);
  shortName.ResolveNames(true);
  EXPECT_EQ(Text(written), Text(shortName)) << "the short names lead back to the long ones";
}
