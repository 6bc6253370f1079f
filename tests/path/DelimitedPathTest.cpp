// Taking path texts apart and putting them together, with the registry-style
// texts the registry classes hand to DelimitedPath.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "DelimitedPath.h"
#include "FilePath.h"

TEST(DelimitedPath, HeadTailAndLastOfATextAndItsEdges) {
  DelimitedPath key(CString("HKLM\\SOFTWARE\\Microsoft"));
  EXPECT_STREQ("HKLM", key.Head().CStr());
  EXPECT_STREQ("SOFTWARE\\Microsoft", key.Tail().CStr());
  EXPECT_STREQ("Microsoft", key.Last().CStr());
  EXPECT_EQ(2u, key.SeparatorCount());
  EXPECT_EQ(4u, key.HeadLength());
  EXPECT_EQ(9u, key.LastLength());
  EXPECT_EQ(19u, key.RestLength());

  DelimitedPath single(CString("HKCU"));
  EXPECT_STREQ("HKCU", single.Head().CStr());
  EXPECT_STREQ("", single.Tail().CStr());
  EXPECT_STREQ("", single.Last().CStr()) << "no separator, no last component";

  DelimitedPath trailing(CString("a\\b\\"));
  EXPECT_STREQ("", trailing.Last().CStr());
  EXPECT_STREQ("b\\", trailing.Tail().CStr());

  DelimitedPath leading(CString("\\Software"));
  EXPECT_STREQ("", leading.Head().CStr());
  EXPECT_STREQ("Software", leading.Tail().CStr());
}

TEST(DelimitedPath, JoiningTwoPartsLeavesOneSeparatorBetween) {
  const char* explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
  EXPECT_STREQ("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
               DelimitedPath(CString(explorer), CString("Shell Folders")).Text().CStr());
  EXPECT_STREQ("a\\b", DelimitedPath(CString("\\a\\"), CString("\\b\\")).Text().CStr());
  EXPECT_STREQ("a\\\\b", DelimitedPath(CString("a\\\\"), CString("b")).Text().CStr())
      << "only one trailing separator is dropped";
  EXPECT_STREQ("\\b", DelimitedPath(CString(""), CString("b")).Text().CStr());
  EXPECT_STREQ("\\", DelimitedPath(CString("\\"), CString("\\")).Text().CStr());
}

TEST(DelimitedPath, ChangingTheHeadAndTheEnd) {
  DelimitedPath path(CString("HKLM\\SOFTWARE"));
  path.SetHead("HKEY_LOCAL_MACHINE");
  EXPECT_STREQ("HKEY_LOCAL_MACHINE\\SOFTWARE", path.Text().CStr());
  DelimitedPath bare(CString("HKLM"));
  bare.SetHead("HKCU");
  EXPECT_STREQ("HKCU", bare.Text().CStr());

  DelimitedPath grown;
  grown.Append("a");
  EXPECT_STREQ("a", grown.Text().CStr()) << "no separator in front of the first component";
  grown.Append("b");
  grown.Append("");
  EXPECT_STREQ("a\\b\\", grown.Text().CStr());
  grown.Append("c");
  EXPECT_STREQ("a\\b\\c", grown.Text().CStr()) << "an existing trailing separator is reused";

  EXPECT_TRUE(grown.RemoveLast());
  EXPECT_STREQ("a\\b", grown.Text().CStr());
  EXPECT_TRUE(grown.RemoveHead());
  EXPECT_STREQ("b", grown.Text().CStr());
  EXPECT_FALSE(grown.RemoveLast()) << "nothing after a separator to remove";
  EXPECT_TRUE(grown.RemoveHead());
  EXPECT_STREQ("", grown.Text().CStr());
  EXPECT_FALSE(grown.RemoveHead());
  EXPECT_FALSE(DelimitedPath(CString("a\\")).Parent().RemoveLast());
  EXPECT_STREQ("x\\y", DelimitedPath(CString("x\\y\\z")).Parent().Text().CStr());
  EXPECT_STREQ("x\\ y\\ z", DelimitedPath(CString("x\\y\\z")).DisplayForm().CStr());
}

// The scope must give back exactly the path it was handed, also where
// removing the last component could not.
TEST(DelimitedPath, ComponentScopeRestoresThePath) {
  struct {
    const char* start;
    const char* during;
  } cases[] = {{"HKLM\\SOFTWARE", "HKLM\\SOFTWARE\\x\\y"}, {"", "x\\y"}, {"C:\\", "C:\\x\\y"},
               {"a\\", "a\\x\\y"}, {"\\", "\\x\\y"}};
  for (const auto& c : cases) {
    DelimitedPath path{CString(c.start)};
    {
      PathComponentScope scope(path, "x");
      {
        PathComponentScope inner(path, "y");
        EXPECT_STREQ(c.during, path.Text().CStr()) << c.start;
      }
      PathComponentScope empty(path, "");
    }
    EXPECT_STREQ(c.start, path.Text().CStr());
  }

  // Through a file path the scope uses the file path's own Append.
  FilePath file(CString("C:\\dir"));
  {
    PathComponentScope scope(file, "sub/name");
    EXPECT_STREQ("C:\\dir\\sub\\name", file.Text().CStr());
  }
  EXPECT_STREQ("C:\\dir", file.Text().CStr());
}

TEST(DelimitedPath, ThousandsOfComponentsAreTakenApartQuickly) {
  std::string text;
  for (int i = 0; i < 2500; ++i) text += (i ? "\\k" : "k");
  DelimitedPath path{CString(text.c_str())};
  ASSERT_EQ(4999u, path.Text().Length());
  EXPECT_EQ(2499u, path.SeparatorCount());
  DWORD start = GetTickCount();
  int removed = 0;
  while (path.RemoveLast()) ++removed;
  EXPECT_EQ(2499, removed);
  EXPECT_STREQ("k", path.Text().CStr());
  EXPECT_LT(GetTickCount() - start, 2000u) << "removing component by component must not rescan the text";
}
