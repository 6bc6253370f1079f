// The operations that read the current directory or the disk, against Wine's
// real C: and Z: drives and a folder tree of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "FilePath.h"
#include "TestFolder.h"

namespace {

std::string Text(const FilePath& path) { return path.Text().CStr(); }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Converted(const std::string& text, FilePath::ERootType type) {
  FilePath path{CString(text.c_str())};
  path.ConvertRootType(type);
  return Text(path);
}

// The current directory is <root>\a\c, with a sibling <root>\a\b.
class FilePathDisk : public testing::Test {
 protected:
  void SetUp() override {
    folder_.Folder("a\\b");
    cwd_ = folder_.Folder("a\\c");
    ASSERT_TRUE(SetCurrentDirectoryA(cwd_.c_str())) << cwd_;
  }
  const std::string& Root() const { return folder_.Root(); }

  TestFolder folder_;
  std::string cwd_;
};

}  // namespace

TEST_F(FilePathDisk, CurrentDirectoryAndItsRoot) {
  EXPECT_EQ(cwd_, Text(FilePath::CurrentDirectory()));
  EXPECT_EQ("C:", Text(FilePath::CurrentRoot()));
  ASSERT_TRUE(SetCurrentDirectoryA("Z:\\tmp"));
  EXPECT_EQ("Z:\\tmp", Text(FilePath::CurrentDirectory()));
  EXPECT_EQ("Z:", Text(FilePath::CurrentRoot()));
}

TEST_F(FilePathDisk, ToRelativeAgainstTheCurrentDirectory) {
  EXPECT_EQ("..\\b\\", Converted(Root() + "\\a\\b\\", FilePath::kRelative));
  EXPECT_EQ("..\\B", Converted(Root() + "\\A\\B", FilePath::kRelative))
      << "matched ignoring case, kept as written";
  EXPECT_EQ("", Converted(cwd_, FilePath::kRelative));
  EXPECT_EQ("", Converted(cwd_ + "\\", FilePath::kRelative));
  EXPECT_EQ("d\\e", Converted(cwd_ + "\\d\\e", FilePath::kRelative));
  EXPECT_EQ("d", Converted(cwd_ + "\\\\d", FilePath::kRelative)) << "not \\d, which names the drive's root";
  EXPECT_EQ("..\\b", Converted(Root() + "\\a\\\\b", FilePath::kRelative));
  EXPECT_EQ("..", Converted(Root() + "\\a", FilePath::kRelative));
  EXPECT_EQ("..\\..\\..\\", Converted("C:\\", FilePath::kRelative));
  EXPECT_EQ("..\\..\\..\\Windows", Converted("\\Windows", FilePath::kRelative));
  EXPECT_EQ("..\\cc", Converted(Root() + "\\a\\cc", FilePath::kRelative)) << "a name the directory's name begins";
  EXPECT_EQ("Z:\\tmp", Converted("Z:\\tmp", FilePath::kRelative)) << "another drive stays absolute";
  EXPECT_EQ("\\\\srv\\share\\x", Converted("\\\\srv\\share\\x", FilePath::kRelative));
}

TEST_F(FilePathDisk, ToAbsoluteAndRooted) {
  EXPECT_EQ(cwd_ + "\\x\\y", Converted("x\\y", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ(cwd_ + "\\x\\", Converted("x/", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ(Root() + "\\a\\b", Converted("..\\b", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ(Root() + "\\a", Converted("...\\a", FilePath::kAbsoluteWithDrive)) << "three dots climb two levels";
  EXPECT_EQ(cwd_, Converted("", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ("C:\\Windows", Converted("\\Windows", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ("C:\\", Converted("\\", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ("C:\\x", Converted("C:\\a\\..\\x", FilePath::kNetwork)) << "normalised though already absolute";

  EXPECT_EQ(Root().substr(2) + "\\a\\b", Converted(Root() + "\\a\\b", FilePath::kRootedWithoutDrive));
  EXPECT_EQ(Root().substr(2) + "\\a\\c\\x", Converted("x", FilePath::kRootedWithoutDrive));
  EXPECT_EQ("Z:\\tmp", Converted("Z:\\tmp", FilePath::kRootedWithoutDrive));

  // Round trip.
  std::string relative = Converted(Root() + "\\a\\b\\file.txt", FilePath::kRelative);
  EXPECT_EQ("..\\b\\file.txt", relative);
  EXPECT_EQ(Root() + "\\a\\b\\file.txt", Converted(relative, FilePath::kAbsoluteWithDrive));
}

// Wine keeps no directory per drive: another drive's current directory is
// its root. Every conversion must leave the process's directory as it was.
TEST_F(FilePathDisk, DriveRelativePathsSwitchDrivesAndComeBack) {
  EXPECT_EQ("Z:\\tmp", Converted("Z:tmp", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ(cwd_, TestFolder::CurrentDirectory());
  EXPECT_EQ(cwd_ + "\\x", Converted("c:x", FilePath::kAbsoluteWithDrive));
  EXPECT_EQ("A:\\x", Converted("A:x", FilePath::kAbsoluteWithDrive)) << "no drive A: to ask";
  EXPECT_EQ(cwd_, TestFolder::CurrentDirectory());

  EXPECT_EQ("C:x", Converted(cwd_ + "\\x", FilePath::kDriveRelative));
  EXPECT_EQ("C:..\\b\\", Converted(Root() + "\\a\\b\\", FilePath::kDriveRelative));
  EXPECT_EQ("Z:tmp\\q", Converted("Z:\\tmp\\q", FilePath::kDriveRelative));
  EXPECT_EQ(cwd_, TestFolder::CurrentDirectory());
  EXPECT_EQ("A:x", Converted("A:\\x", FilePath::kDriveRelative));
  EXPECT_EQ("C:x", Converted("x", FilePath::kDriveRelative));
  EXPECT_EQ("\\\\srv\\share\\x", Converted("\\\\srv\\share\\x", FilePath::kDriveRelative));
  EXPECT_EQ("Z:tmp", Converted("Z:tmp", FilePath::kDriveRelative)) << "already of that type";
  // The drive's own directory is the bare drive, never its root.
  for (const std::string& own : {cwd_, cwd_ + "\\", std::string("Z:\\"), std::string("A:\\")})
    EXPECT_EQ(own.substr(0, 2), Converted(own, FilePath::kDriveRelative)) << own;
  EXPECT_EQ(cwd_, TestFolder::CurrentDirectory());
}

TEST_F(FilePathDisk, ComparisonAcrossRootTypes) {
  EXPECT_TRUE(FilePath(CString("X")) == FilePath(CString((cwd_ + "\\x").c_str())));
  EXPECT_TRUE(FilePath(CString((cwd_ + "\\x").c_str())) == FilePath(CString("x\\")));
  EXPECT_TRUE(FilePath(CString("..\\b")) == FilePath(CString((Root() + "\\a\\b").c_str())));
  EXPECT_TRUE(FilePath(CString("Z:\\tmp")) != FilePath(CString("tmp")));
  EXPECT_EQ(cwd_, TestFolder::CurrentDirectory());
}

// Wine gives long names that do not fit 8.3 a hashed short name such as
// "LONG~ZAT" and none to names that do (whatever their case); a short name
// also finds the entry.
TEST_F(FilePathDisk, ResolveNamesGivesStoredLongAndShortNames) {
  std::string folder = folder_.Folder("Long Folder Name");
  std::string file = folder_.File("Long Folder Name\\a long file name.text");
  folder_.File("Long Folder Name\\Mixed.Txt");
  char shortFile[MAX_PATH];
  ASSERT_NE(0u, GetShortPathNameA(file.c_str(), shortFile, MAX_PATH));
  std::string shortForm = shortFile;
  ASSERT_NE(Lower(file), Lower(shortForm)) << "Wine gave the long names no short names";

  std::string lowerRoot = Lower(Root());
  FilePath written{CString((lowerRoot + "\\long folder name\\A LONG FILE NAME.TEXT").c_str())};
  FilePath toShort(written);
  toShort.ResolveNames(false);
  EXPECT_EQ("c:" + Lower(shortForm.substr(2)), Lower(Text(toShort)));
  EXPECT_EQ("c:\\", Text(toShort).substr(0, 3)) << "the root stays as written";

  FilePath toLong(toShort);
  toLong.ResolveNames(true);
  EXPECT_EQ("c:" + file.substr(2), Text(toLong)) << "stored letter case, from the short names";

  FilePath fitting{CString((lowerRoot + "\\long folder name\\MIXED.TXT\\").c_str())};
  fitting.ResolveNames(false);
  std::string shortFolder = shortForm.substr(0, shortForm.rfind('\\'));
  EXPECT_EQ(Lower(shortFolder) + "\\mixed.txt\\", Lower(Text(fitting)));
  EXPECT_EQ("Mixed.Txt\\", Text(fitting).substr(Text(fitting).size() - 10))
      << "no short name: the stored long name, trailing separator kept";

  FilePath partly{CString((lowerRoot + "\\long folder name\\Missing\\x.txt").c_str())};
  partly.ResolveNames(true);
  EXPECT_EQ("c:" + folder.substr(2) + "\\Missing\\x.txt", Text(partly));

  FilePath wildcard{CString((lowerRoot + "\\long folder name\\*.text").c_str())};
  wildcard.ResolveNames(true);
  EXPECT_EQ("c:" + folder.substr(2) + "\\*.text", Text(wildcard));
  FilePath belowWildcard{CString((lowerRoot + "\\long fold?r name\\mixed.txt").c_str())};
  belowWildcard.ResolveNames(true);
  EXPECT_EQ("c:" + Root().substr(2) + "\\long fold?r name\\mixed.txt", Text(belowWildcard));

  // FindFirstFileA on "x\.." finds x's parent, on "x\." x itself: the dots
  // must not be replaced by those names.
  FilePath dots{CString((lowerRoot + "\\long folder name\\.\\..\\a").c_str())};
  dots.ResolveNames(true);
  EXPECT_EQ("c:" + folder.substr(2) + "\\.\\..\\a", Text(dots));

  FilePath relative(CString("..\\B"));
  relative.ResolveNames(true);
  EXPECT_EQ("..\\b", Text(relative)) << "looked up against the current directory";
}

// Wine lets the W call set a current directory longer than MAX_PATH but
// then fails GetCurrentDirectoryA (error 206) whatever the buffer; Windows
// reports the size needed. Either way no cut or garbled directory appears.
TEST_F(FilePathDisk, OverlongCurrentDirectoryIsReadWholeOrNotAtAll) {
  // Past MAX_PATH only the W calls with the \\?\ prefix create folders.
  struct DeepTree {
    std::vector<std::wstring> folders;
    std::string back;
    ~DeepTree() {
      SetCurrentDirectoryA(back.c_str());
      for (size_t i = folders.size(); i-- > 0;) RemoveDirectoryW(folders[i].c_str());
    }
  } tree;
  tree.back = cwd_;
  std::wstring deep = L"\\\\?\\" + std::wstring(Root().begin(), Root().end());
  while (deep.size() < 4 + 400) {
    deep += L"\\abcdefghijklmnopqrstuvwxyz";
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
    tree.folders.push_back(deep);
  }
  if (!SetCurrentDirectoryW(deep.c_str() + 4)) GTEST_SKIP() << "the platform refuses such a directory";

  FilePath current = FilePath::CurrentDirectory();
  std::string expected(deep.begin() + 4, deep.end());
  if (!current.Text().IsEmpty()) {
    EXPECT_EQ(expected, Text(current));
  }
  std::string root = Text(FilePath::CurrentRoot());
  if (!root.empty()) {
    EXPECT_EQ("C:", root);
  }

  FilePath relative(CString("x\\y"));
  relative.ConvertRootType(FilePath::kAbsoluteWithDrive);
  if (current.Text().IsEmpty()) {
    EXPECT_EQ("x\\y", Text(relative)) << "no directory to convert against: unchanged";
  } else {
    EXPECT_EQ(expected + "\\x\\y", Text(relative));
  }
}
