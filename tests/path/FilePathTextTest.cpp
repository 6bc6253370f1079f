// File path arithmetic that needs no disk: roots, trailing separators,
// extensions, 8.3 names, dot runs, parents and over-long texts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "FilePath.h"

namespace {

std::string Text(const FilePath& path) { return path.Text().CStr(); }

FilePath Normalized(const char* text) {
  FilePath path{CString(text)};
  path.Normalize();
  return path;
}

FilePath WithExtension(const char* text, const char* ext) {
  FilePath path{CString(text)};
  path.SetExtension(ext);
  return path;
}

}  // namespace

TEST(FilePath, ForwardSlashesNeverSurvive) {
  FilePath path(CString("C:/a/b"));
  EXPECT_EQ("C:\\a\\b", Text(path));
  EXPECT_EQ(FilePath::kAbsoluteWithDrive, path.RootType());
  EXPECT_EQ(3u, path.RootLength());
  EXPECT_EQ(FilePath::kNoTrailingSeparator, path.TrailingState());

  path = CString("//srv/share/");
  EXPECT_EQ("\\\\srv\\share\\", Text(path));
  path = DelimitedPath(CString("x/y"));
  EXPECT_EQ("x\\y", Text(path));
  FilePath fromDelimited{DelimitedPath(CString("p/q"))};
  EXPECT_EQ("p\\q", Text(fromDelimited));
  path.SetHead("C:/w");
  EXPECT_EQ("C:\\w\\y", Text(path));
  path.Append("m/n/");
  EXPECT_EQ("C:\\w\\y\\m\\n\\", Text(path));
  DelimitedPath& asBase = path;
  asBase.Append("o/p");
  asBase.SetHead("D:/v");
  EXPECT_EQ("D:\\v\\w\\y\\m\\n\\o\\p", Text(path)) << "overrides reached through the base";
  FilePath copy(path);
  EXPECT_EQ(Text(path), Text(copy));
}

TEST(FilePath, RootTypeAndLength) {
  struct {
    const char* text;
    FilePath::ERootType type;
    size_t rootLength;
  } cases[] = {
      {"", FilePath::kRelative, 0},
      {"a\\b", FilePath::kRelative, 0},
      {"1:\\x", FilePath::kRelative, 0},
      {":\\x", FilePath::kRelative, 0},
      {"\\", FilePath::kRootedWithoutDrive, 1},
      {"\\a\\b", FilePath::kRootedWithoutDrive, 1},
      {"C:", FilePath::kDriveRelative, 2},
      {"z:dir", FilePath::kDriveRelative, 2},
      {"C:\\", FilePath::kAbsoluteWithDrive, 3},
      {"c:\\a", FilePath::kAbsoluteWithDrive, 3},
      {"\\\\", FilePath::kNetwork, 2},
      {"\\\\srv", FilePath::kNetwork, 5},
      {"\\\\srv\\share", FilePath::kNetwork, 11},
      {"\\\\srv\\share\\", FilePath::kNetwork, 12},
      {"\\\\srv\\share\\dir\\file", FilePath::kNetwork, 12},
      {"\\\\?\\UNC\\srv\\share\\dir", FilePath::kNetwork, 18},
      {"\\\\?\\unc\\srv", FilePath::kNetwork, 11},
      {"\\\\?\\C:\\dir", FilePath::kNetwork, 7},
  };
  for (const auto& c : cases) {
    FilePath path{CString(c.text)};
    EXPECT_EQ(c.type, path.RootType()) << c.text;
    EXPECT_EQ(c.rootLength, path.RootLength()) << c.text;
  }
}

TEST(FilePath, TrailingSeparatorsAndBareRoots) {
  for (const char* root : {"\\", "C:\\", "\\\\"}) {
    FilePath path{CString(root)};
    EXPECT_EQ(FilePath::kBareRoot, path.TrailingState()) << root;
    path.SetTrailingState(FilePath::kNoTrailingSeparator);
    EXPECT_EQ(root, Text(path)) << "a bare root keeps its separator";
    path.SetTrailingState(FilePath::kTrailingSeparator);
    EXPECT_EQ(root, Text(path));
  }
  EXPECT_EQ(FilePath::kTrailingSeparator, FilePath(CString("\\\\srv\\share\\")).TrailingState());
  EXPECT_EQ(FilePath::kNoTrailingSeparator, FilePath(CString("C:")).TrailingState());

  FilePath drive(CString("C:"));
  drive.SetTrailingState(FilePath::kBareRoot);
  EXPECT_EQ("C:\\", Text(drive));
  FilePath name(CString("dir"));
  name.SetTrailingState(FilePath::kBareRoot);
  EXPECT_EQ("dir", Text(name)) << "only a bare drive becomes a bare root";
  name.SetTrailingState(FilePath::kTrailingSeparator);
  EXPECT_EQ("dir\\", Text(name));
  name.SetTrailingState(FilePath::kTrailingSeparator);
  EXPECT_EQ("dir\\", Text(name));
  name.SetTrailingState(FilePath::kNoTrailingSeparator);
  EXPECT_EQ("dir", Text(name));
  FilePath empty;
  empty.SetTrailingState(FilePath::kTrailingSeparator);
  EXPECT_EQ("", Text(empty));

  FilePath appended;
  appended.Append("a");
  EXPECT_EQ("a", Text(appended));
  FilePath root(CString("C:\\"));
  root.Append("a");
  EXPECT_EQ("C:\\a", Text(root));
  root.Append("b");
  EXPECT_EQ("C:\\a\\b", Text(root));
}

TEST(FilePath, Extensions) {
  EXPECT_EQ("", std::string(FilePath(CString("a.b\\c")).Extension().CStr()));
  EXPECT_EQ("txt", std::string(FilePath(CString("c.txt")).Extension().CStr()));
  EXPECT_EQ("", std::string(FilePath(CString("name.")).Extension().CStr()));
  EXPECT_EQ("gz", std::string(FilePath(CString("C:\\x\\a.tar.gz")).Extension().CStr()));
  EXPECT_EQ("", std::string(FilePath(CString("C:\\x.d\\")).Extension().CStr()));

  EXPECT_EQ("a.txt", Text(WithExtension("a.doc", "txt")));
  EXPECT_EQ("a.txt", Text(WithExtension("a.doc", ".txt")));
  EXPECT_EQ("a", Text(WithExtension("a.doc", "")));
  EXPECT_EQ("a", Text(WithExtension("a.doc", ".")));
  EXPECT_EQ("a", Text(WithExtension("a.", "")));
  EXPECT_EQ("a.txt", Text(WithExtension("a.", "txt"))) << "the trailing dot takes the new extension";
  EXPECT_EQ("C:\\x.d\\a.ini", Text(WithExtension("C:\\x.d\\a", "ini")));
  EXPECT_EQ("C:\\x.d\\a", Text(WithExtension("C:\\x.d\\a", ""))) << "a dot in a folder name is no extension";
  EXPECT_EQ("a.tar.bz2", Text(WithExtension("a.tar.gz", "bz2")));
  EXPECT_EQ("C:\\a\\..", Text(WithExtension("C:\\a\\..", ""))) << "a step up has no extension";
}

TEST(FilePath, LongNamesAreThoseOutsideTheEightThreeForm) {
  for (const char* longName : {"C:\\Program Files", "C:\\abcdefghi.txt", "a.b.c", "C:\\x.html", "a+b", "a[1]",
                               "x=y", "a;b", "a,b", "C:\\ok\\toolongname\\ok.txt", ".profile"}) {
    EXPECT_TRUE(FilePath(CString(longName)).IsLongName()) << longName;
  }
  for (const char* shortName : {"C:\\WINDOWS\\SYSTEM.INI", "abcdefgh.txt", "C:\\", "", "..\\..\\x", "...", "name.",
                                "\\\\srv\\share\\x", "C:\\a\\.\\b"}) {
    EXPECT_FALSE(FilePath(CString(shortName)).IsLongName()) << shortName;
  }
}

TEST(FilePath, NormalizeRemovesDotsAndClimbs) {
  struct {
    const char* text;
    const char* normalized;
  } cases[] = {
      {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
      {"a\\..\\..\\x", "..\\x"},
      {"a\\...\\x", "..\\x"},
      {"..\\..\\x", "...\\x"},
      {"a\\..", ""},
      {"a\\..\\", ""},
      {"C:\\..\\x", "C:\\..\\x"},
      {"C:\\a\\..", "C:\\"},
      {"C:\\a\\b\\...\\c\\", "C:\\c\\"},
      {".\\x\\.", "x"},
      {"\\a\\..\\..", "\\.."},
      {"C:a\\..\\b", "C:b"},
      {"\\\\srv\\share\\a\\..\\b", "\\\\srv\\share\\b"},
      {"\\\\srv\\share", "\\\\srv\\share"},
      {"C:\\", "C:\\"},
      {"", ""},
      {"..\\.profile\\x", "..\\.profile\\x"},
      {"a\\..\\..\\..\\b", "...\\b"},
      // A doubled separator climbed to the front never makes the path
      // rooted or a network path.
      {"C:\\a\\\\..\\b", "C:\\b"},
      {"a\\\\..\\x", "x"},
      {"a\\\\\\..\\..\\x", "..\\x"},
      {"x.\\..\\y", "y"},
      // Neither a relative path made absolute nor a climb above the share.
      {"a\\..\\C:\\x", ".\\C:\\x"},
      {".\\c:", ".\\c:"},
      {"a\\..\\C:x\\", ".\\C:x\\"},
      {"\\\\?\\UNC\\srv\\share\\a\\..\\..\\x", "\\\\?\\UNC\\srv\\share\\..\\x"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.normalized, Text(Normalized(c.text))) << c.text;
}

TEST(FilePath, ParentKeepsTheRoot) {
  struct {
    const char* text;
    const char* parent;
  } cases[] = {
      {"C:\\a\\b", "C:\\a"}, {"C:\\a\\b\\", "C:\\a"}, {"C:\\a", "C:\\"},      {"C:\\", "C:\\"},
      {"\\a", "\\"},         {"a\\b", "a"},           {"a", "a"},             {"", ""},
      {"C:a\\b", "C:a"},     {"\\\\srv\\share\\a", "\\\\srv\\share\\"},     {"\\\\srv\\share", "\\\\srv\\share"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.parent, Text(FilePath(CString(c.text)).Parent())) << c.text;
}

TEST(FilePath, ComparisonIgnoresCaseAndTrailingSeparator) {
  FilePath upper(CString("C:\\A\\B"));
  FilePath lower(CString("c:\\a\\b\\"));
  EXPECT_EQ(0, upper.Compare(lower));
  EXPECT_EQ(0, lower.Compare(upper));
  EXPECT_TRUE(upper == lower);
  EXPECT_FALSE(upper != lower);
  EXPECT_TRUE(upper <= lower);
  EXPECT_TRUE(upper >= lower);
  EXPECT_EQ(0, upper.Compare(upper));

  FilePath a(CString("C:\\a\\x")), b(CString("C:\\B\\x"));
  EXPECT_LT(a.Compare(b), 0);
  EXPECT_TRUE(a < b);
  EXPECT_TRUE(b > a);
  EXPECT_FALSE(a >= b);
  EXPECT_TRUE(FilePath(CString("x\\y")) != FilePath(CString("x\\z")));
  EXPECT_TRUE(FilePath(CString("x/Y")) == FilePath(CString("X\\y")));
}

// Texts far longer than any platform buffer: the text operations work on
// them whole, and the look-ups fail cleanly.
TEST(FilePath, VeryLongTextsAreHandledWhole) {
  std::string deep = "C:";
  while (deep.size() < 5000) deep += "\\part";
  FilePath path{CString(deep.c_str())};
  EXPECT_EQ(deep.size(), path.Text().Length());
  EXPECT_FALSE(path.IsLongName());
  EXPECT_STREQ("part", path.Last().CStr());

  FilePath climbed(path);
  for (int i = 0; i < 300; ++i) climbed.Append("..");
  climbed.Normalize();
  EXPECT_EQ(deep.size() - 300 * 5, climbed.Text().Length());

  FilePath resolved(path);
  resolved.ResolveNames(true);
  EXPECT_EQ(deep, Text(resolved)) << "nothing of it exists";

  FilePath withExtension(path);
  withExtension.SetExtension(std::string(3000, 'e').c_str());
  EXPECT_EQ(3000u, withExtension.Extension().Length());
  EXPECT_TRUE(withExtension.IsLongName());

  FilePath copy(path);
  copy.ConvertRootType(FilePath::kRelative);
  EXPECT_GE(copy.Text().Length(), deep.size() - 3);
  EXPECT_EQ(0, path.Compare(FilePath(CString(deep.c_str()))));
  EXPECT_EQ(deep.substr(0, deep.size() - 5), Text(path.Parent()));

  const char* none = nullptr;
  FilePath empty{CString(none)};
  EXPECT_EQ(FilePath::kRelative, empty.RootType());
  empty.Normalize();
  empty.ResolveNames(false);
  EXPECT_EQ("", Text(empty));
  EXPECT_EQ("", std::string(empty.Extension().CStr()));
  EXPECT_FALSE(empty.IsLongName());
}
