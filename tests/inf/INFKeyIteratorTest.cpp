// Walking sections: every line once, copies that share a position until one
// of them moves, and positions that keep their file open.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "INFFile.h"
#include "INFKeyIterator.h"
#include "INFSection.h"
#include "InfTestFiles.h"

namespace {

const char kListInf[] =
    "[Previous Names]\n"
    "; current name = previous name\n"
    "\"Kalora Jet-100\" = \"Kalora Jet 100\"\n"
    "\n"
    "\"Kalora Jet-200\" = \"Old Kalora\", \"Older Kalora\"\n"
    "UNIDRV.DLL\n"
    "\"%NAME%\"\n"
    "Same = Same\n"
    "[Strings]\n"
    "NAME=\"Kalora Jet-300\"\n";

using Lines = std::vector<std::pair<std::string, std::string>>;

Lines Walk(const INFSection& section) {
  Lines lines;
  for (INFKeyIterator line(section); line.IsValid(); ++line)
    lines.emplace_back(line.CurrentKey().Name().CStr(), line.CurrentKey().Value().CStr());
  return lines;
}

class INFKeyIteratorTest : public testing::Test {
 protected:
  void SetUp() override { inf_ = folder_.Write("list.inf", InfText(kListInf)); }
  TestFolder folder_;
  std::string inf_;
};

TEST_F(INFKeyIteratorTest, WalksEveryLineOnceThenStaysInvalid) {
  INFSection names("Previous Names", inf_.c_str());
  ASSERT_TRUE(names.Open());
  Lines expected = {
      {"Kalora Jet-100", "Kalora Jet 100"},
      {"Kalora Jet-200", "Old Kalora,Older Kalora"},
      {"UNIDRV.DLL", ""},      // no key: the text is the name
      {"Kalora Jet-300", ""},  // strings are substituted in keys too
      {"Same", ""},            // a value equal to the key reads as none
  };
  EXPECT_EQ(expected, Walk(names));

  INFKeyIterator line(names);
  for (size_t i = 0; i < expected.size(); ++i) ++line;
  EXPECT_FALSE(line.IsValid());
  EXPECT_STREQ("Same", line.CurrentKey().Name().CStr()) << "the last key stays shown";
  ++line;
  EXPECT_FALSE(line.IsValid());
}

TEST_F(INFKeyIteratorTest, ASectionThatWasNeverOpenedCanBeWalked) {
  INFSection names("Previous Names", inf_.c_str());
  EXPECT_EQ(5u, Walk(names).size());
}

TEST_F(INFKeyIteratorTest, CopiesShareAPositionUntilOneAdvances) {
  INFSection names("Previous Names", inf_.c_str());
  INFKeyIterator first(names);
  INFKeyIterator copy(first);
  EXPECT_TRUE(copy == first);
  ++copy;
  EXPECT_FALSE(copy == first);
  EXPECT_STREQ("Kalora Jet-100", first.CurrentKey().Name().CStr());
  EXPECT_STREQ("Kalora Jet-200", copy.CurrentKey().Name().CStr());
  ++first;
  EXPECT_STREQ("Kalora Jet-200", first.CurrentKey().Name().CStr());
  EXPECT_FALSE(copy == first) << "equal keys, but not the same position";

  INFKeyIterator before = first++;
  EXPECT_STREQ("Kalora Jet-200", before.CurrentKey().Name().CStr());
  EXPECT_STREQ("UNIDRV.DLL", first.CurrentKey().Name().CStr());
  ++before;
  EXPECT_STREQ("UNIDRV.DLL", before.CurrentKey().Name().CStr()) << "the postfix copy walks on by itself";

  copy = first;
  EXPECT_TRUE(copy == first);
  EXPECT_TRUE(INFKeyIterator() == INFKeyIterator());
  EXPECT_FALSE(INFKeyIterator() == first);
}

TEST_F(INFKeyIteratorTest, APositionOutlivesTheIteratorAndSectionThatFoundIt) {
  long before = INFFile::OpenHandles();
  INFKeyIterator* survivor = nullptr;
  {
    INFSection names("Previous Names", inf_.c_str());
    ASSERT_TRUE(names.Open());
    INFKeyIterator original(names);
    ++original;
    survivor = new INFKeyIterator(original);
  }
  // The file may even go from the disk: the setup library keeps what it read.
  folder_.Write("list.inf", "");
  EXPECT_STREQ("Kalora Jet-200", survivor->CurrentKey().Name().CStr());
  ++*survivor;
  ASSERT_TRUE(survivor->IsValid()) << "advancing needs the handle of the iterator that is gone";
  EXPECT_STREQ("UNIDRV.DLL", survivor->CurrentKey().Name().CStr());
  EXPECT_LT(before, INFFile::OpenHandles());
  delete survivor;
  EXPECT_EQ(before, INFFile::OpenHandles()) << "the last position closes its file";
}

TEST_F(INFKeyIteratorTest, FindResultStandsForTheKeyFound) {
  INFSection names("Previous Names", inf_.c_str());
  ASSERT_TRUE(names.Open());
  INFKeyIterator found = names.Find("unidrv.dll");
  ASSERT_TRUE(found.IsValid());
  EXPECT_STREQ("unidrv.dll", found.CurrentKey().Name().CStr());
  EXPECT_STREQ("UNIDRV.DLL", found.CurrentKey().Value().CStr()) << "a keyless line's text";
  EXPECT_TRUE(found.Key() == INFKey("unidrv.dll", "UNIDRV.DLL"));
  EXPECT_TRUE(found.Section() == names);
}

TEST_F(INFKeyIteratorTest, UnicodeFilesWalkLikeAnsiOnes) {
  std::string unicode = folder_.WriteBytes("unicode.inf", Utf16WithBom(InfText(kListInf)));
  INFSection ansi("Previous Names", inf_.c_str());
  INFSection wide("Previous Names", unicode.c_str());
  EXPECT_EQ(Walk(ansi), Walk(wide));
}

TEST(INFKey, ValidWhenNamed) {
  EXPECT_FALSE(INFKey().IsValid());
  EXPECT_FALSE(INFKey("", "value").IsValid());
  INFKey key("Name", "a,b");
  EXPECT_TRUE(key.IsValid());
  INFKey copy(key);
  EXPECT_TRUE(copy == key);
  EXPECT_FALSE(INFKey("Name", "a,B") == key) << "values compare case-sensitively";
  EXPECT_FALSE(INFKey("name", "a,b") == key) << "names compare case-sensitively";
  copy = INFKey();
  EXPECT_FALSE(copy.IsValid());
  EXPECT_TRUE(copy.Name().IsEmpty());
}

}  // namespace
