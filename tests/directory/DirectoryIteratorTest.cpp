#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "DirectoryIterator.h"
#include "TestFolder.h"

namespace {

std::vector<std::string> Names(DirectoryIterator it) {
  std::vector<std::string> names;
  for (; it.IsValid(); ++it) names.push_back(it.Current().Name().CStr());
  return names;
}

DirectoryIterator Walk(const std::string& path, bool appendStar = false, bool skipDots = true,
                       const FindFilterRef& filter = FindFilterRef(), FindEntry* storage = nullptr) {
  return DirectoryIterator(FilePath(CString(path.c_str())), appendStar, storage, skipDots, filter);
}

// Accepts names that do not start with the given letter; counts itself.
class NotStartingWith : public FindFilter {
 public:
  NotStartingWith(char letter, int* alive) : letter_(letter), alive_(alive) { ++*alive_; }
  ~NotStartingWith() override { --*alive_; }
  bool Accept(const FindEntry& entry) override { return entry.Name().At(0) != letter_; }

 private:
  char letter_;
  int* alive_;
};

}  // namespace

TEST(DirectoryIterator, MissingFolderIsInvalidAtOnceWithTheError) {
  TestFolder folder;
  DirectoryIterator it = Walk(folder.Root() + "\\absent\\*.*");
  EXPECT_FALSE(it.IsValid());
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), it.LastError().Code());
  EXPECT_FALSE(it.Current().IsValid());
  ++it;  // no open search: nothing happens
  EXPECT_FALSE(it.IsValid());

  DirectoryIterator none;
  EXPECT_FALSE(none.IsValid());
  ++none;
  none++;
  EXPECT_FALSE(none.IsValid());
  EXPECT_EQ(0u, none.LastError().Code());
}

TEST(DirectoryIterator, DotsAreSkippedOnlyWhenAsked) {
  TestFolder folder;
  folder.Folder("list");
  for (const char* name : {"b.txt", "a.txt", "c"}) folder.File(std::string("list\\") + name);
  std::string pattern = folder.Root() + "\\list\\*.*";

  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt", "c"}), Names(Walk(pattern, false, true)));
  std::vector<std::string> all = Names(Walk(pattern, false, false));
  EXPECT_EQ((std::vector<std::string>{".", "..", "a.txt", "b.txt", "c"}), all);
  // appendStar adds the pattern itself.
  EXPECT_EQ(3u, Names(Walk(folder.Root() + "\\list", true, true)).size());
}

TEST(DirectoryIterator, EntriesCarryFolderFullPathSizeAndTimes) {
  TestFolder folder;
  folder.Folder("sized");
  std::string file = folder.File("sized\\data.bin", 70000);
  DirectoryIterator it = Walk(folder.Root() + "\\sized\\*.*");
  ASSERT_TRUE(it.IsValid());
  const FindEntry& entry = it.Current();
  EXPECT_STREQ("data.bin", entry.Name().CStr());
  EXPECT_EQ(70000u, entry.Size());
  EXPECT_FALSE(entry.IsDirectory());
  EXPECT_STREQ((folder.Root() + "\\sized").c_str(), entry.DirectoryPath().Text().CStr());
  EXPECT_STREQ(file.c_str(), entry.FullPath().Text().CStr());

  WIN32_FILE_ATTRIBUTE_DATA attributes;
  ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &attributes));
  using Corvane::SystemFileTime;
  using Corvane::SystemTime;
  SystemFileTime times = entry.Times();
  SystemTime written = times.Time(SystemFileTime::eLastWrite);
  EXPECT_EQ(SystemTime::eUTC, written.Type());
  ULARGE_INTEGER expected;
  expected.LowPart = attributes.ftLastWriteTime.dwLowDateTime;
  expected.HighPart = attributes.ftLastWriteTime.dwHighDateTime;
  EXPECT_EQ(expected.QuadPart, static_cast<unsigned long long>(written));
  EXPECT_FALSE(written.IsExtreme()) << "a real file time is no range end";

  ++it;
  EXPECT_FALSE(it.IsValid());
  EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), it.LastError().Code());
  EXPECT_FALSE(it.Current().IsValid());
  EXPECT_TRUE(it.Current().DirectoryPath().Text().IsEmpty());
}

TEST(DirectoryIterator, DriveRootKeepsItsBackslash) {
  // Wine's C: holds "windows" among others.
  DirectoryIterator it = Walk("C:\\*.*");
  ASSERT_TRUE(it.IsValid());
  bool sawWindows = false;
  for (; it.IsValid(); ++it) {
    EXPECT_STREQ("C:\\", it.Current().DirectoryPath().Text().CStr());
    EXPECT_EQ("C:\\" + std::string(it.Current().Name().CStr()), it.Current().FullPath().Text().CStr());
    if (it.Current().Name().CompareNoCase("windows") == 0) sawWindows = true;
  }
  EXPECT_TRUE(sawWindows);
}

TEST(DirectoryIterator, DriveRelativeSearchUsesTheDrivesCurrentFolder) {
  TestFolder folder;
  std::string here = folder.Folder("here");
  folder.File("here\\only.txt");
  ASSERT_TRUE(SetCurrentDirectoryA(here.c_str()));
  DirectoryIterator it = Walk("C:*");
  ASSERT_TRUE(it.IsValid());
  EXPECT_STREQ("only.txt", it.Current().Name().CStr());
  EXPECT_STREQ(here.c_str(), it.Current().DirectoryPath().Text().CStr());
  EXPECT_STREQ((here + "\\only.txt").c_str(), it.Current().FullPath().Text().CStr());
  EXPECT_STREQ((here + "\\*").c_str(), it.SearchPath().Text().CStr());
}

TEST(DirectoryIterator, CopiesStandOnTheSameEntryAndMoveAlone) {
  TestFolder folder;
  folder.Folder("many");
  for (char c = 'a'; c <= 'h'; ++c) folder.File(std::string("many\\") + c);
  DirectoryIterator it = Walk(folder.Root() + "\\many\\*");
  for (int i = 0; i < 4; ++i) ++it;
  ASSERT_STREQ("e", it.Current().Name().CStr());

  DirectoryIterator copy(it);
  EXPECT_STREQ("e", copy.Current().Name().CStr());
  EXPECT_TRUE(copy == it);
  ++copy;
  EXPECT_STREQ("f", copy.Current().Name().CStr());
  EXPECT_STREQ("e", it.Current().Name().CStr()) << "moving the copy moved the original";
  EXPECT_TRUE(copy != it);

  DirectoryIterator before = it++;
  EXPECT_STREQ("e", before.Current().Name().CStr());
  EXPECT_STREQ("f", it.Current().Name().CStr());
  EXPECT_TRUE(it == copy);

  // A copy of a finished walk is finished too.
  while (it.IsValid()) ++it;
  DirectoryIterator done;
  done = it;
  EXPECT_FALSE(done.IsValid());
  EXPECT_TRUE(done == it);
}

TEST(DirectoryIterator, CallersEntryIsFilled) {
  TestFolder folder;
  folder.Folder("own");
  folder.File("own\\x.dat");
  FindEntry entry;
  {
    DirectoryIterator it = Walk(folder.Root() + "\\own\\*", false, true, FindFilterRef(), &entry);
    ASSERT_TRUE(it.IsValid());
    EXPECT_EQ(&entry, &it.Current());
  }
  EXPECT_STREQ("x.dat", entry.Name().CStr()) << "the caller's entry outlives the walk";
}

TEST(DirectoryIterator, FiltersAreSharedAndDisabledOnesReplaced) {
  TestFolder folder;
  folder.Folder("filtered");
  for (const char* name : {"keep1", "skip1", "keep2", "skip2"}) folder.File(std::string("filtered\\") + name);
  std::string pattern = folder.Root() + "\\filtered\\*";
  int alive = 0;
  {
    FindFilterRef filter(new NotStartingWith('s', &alive));
    DirectoryIterator it = Walk(pattern, false, true, filter);
    DirectoryIterator copy(it);
    EXPECT_EQ((std::vector<std::string>{"keep1", "keep2"}), Names(it));
    EXPECT_EQ((std::vector<std::string>{"keep1", "keep2"}), Names(copy));

    filter->SetEnabled(false);
    EXPECT_EQ(4u, Names(Walk(pattern, false, true, filter)).size()) << "a disabled filter is not asked";
  }
  EXPECT_EQ(0, alive) << "the last user deletes the filter";
}

TEST(DirectoryIterator, UnspellableCharactersBecomeUnderscores) {
  // The code page (1252) has no kanji: the ANSI search spells it "?".
  TestFolder folder;
  std::string sub = folder.Folder("odd");
  std::wstring wide(sub.begin(), sub.end());
  wide += L"\\x\x4E00y.txt";
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);

  DirectoryIterator it = Walk(sub + "\\*");
  ASSERT_TRUE(it.IsValid());
  EXPECT_STREQ("x_y.txt", it.Current().Name().CStr());
  EXPECT_EQ(sub + "\\x_y.txt", it.Current().FullPath().Text().CStr());
}

TEST(FindEntry, NamesAreStoredWithinTheRecord) {
  FindEntry entry;
  EXPECT_FALSE(entry.IsValid());
  EXPECT_TRUE(entry.Name().IsEmpty());
  entry.SetName(CString(std::string(400, 'n').c_str()));
  EXPECT_EQ(259u, entry.Name().Length());
  EXPECT_EQ(259u, entry.ShortName().Length()) << "no short name: the long one";
  entry.SetName("short");
  EXPECT_STREQ("short", entry.Name().CStr());
  EXPECT_EQ(0u, entry.Size());

  FindEntry other(entry);
  EXPECT_TRUE(other == entry) << "two entries without paths are the same";
}

// Shift-JIS: "\x95\x5C" ends in the byte of "\", "\x83\x7C" in that of "|".
TEST(DirectoryIterator_Cp932, TrailBytesThatLookLikeSeparatorsSurvive) {
  ASSERT_EQ(932u, GetACP());
  TestFolder folder;
  std::string sub = folder.Folder("\x95\x5C");
  std::string file = folder.File("\x95\x5C\\\x83\x7C\x95\x5C.txt");
  DirectoryIterator it = Walk(sub, true);
  ASSERT_TRUE(it.IsValid()) << it.LastError().Code();
  EXPECT_STREQ("\x83\x7C\x95\x5C.txt", it.Current().Name().CStr());
  EXPECT_STREQ(sub.c_str(), it.Current().DirectoryPath().Text().CStr());
  EXPECT_STREQ(file.c_str(), it.Current().FullPath().Text().CStr());

  FindEntry entry;
  std::string longName(258, 'a');
  entry.SetName(CString((longName + "\x95\x5C").c_str()));
  EXPECT_EQ(258u, entry.Name().Length()) << "a double-byte character that does not fit is left out whole";
}
