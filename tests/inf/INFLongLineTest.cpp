// Keys and lines longer than the 259 characters the reading buffers hold: no
// overrun, and such a line reads as absent, never as a part of itself or as
// a neighbour's text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "INFKeyIterator.h"
#include "INFSection.h"
#include "InfTestFiles.h"

namespace {

class INFLongLineTest : public testing::TestWithParam<size_t> {
 protected:
  std::string Long(char c) const { return std::string(GetParam(), c); }
  TestFolder folder_;
};

std::vector<std::string> Names(const INFSection& section) {
  std::vector<std::string> names;
  for (INFKeyIterator line(section); line.IsValid(); ++line) {
    names.push_back(line.CurrentKey().Name().CStr());
    EXPECT_LT(line.CurrentKey().Name().Length(), 260u);
    EXPECT_LT(line.CurrentKey().Value().Length(), 260u);
  }
  return names;
}

TEST_P(INFLongLineTest, UnreadableLinesArePassedOver) {
  std::string inf = folder_.Write("long.inf", InfText("[Lines]\n"
                                                      "first=1\n" +
                                                      Long('K') + "=short\n" +
                                                      "longvalue=" + Long('v') + "\n" +
                                                      Long('t') + "\n" +
                                                      "fields=a," + Long('f') + ",c\n" +
                                                      "last=2\n"));
  INFSection lines("Lines", inf.c_str());
  ASSERT_TRUE(lines.Open());
  EXPECT_EQ((std::vector<std::string>{"first", "last"}), Names(lines));

  EXPECT_FALSE(lines.Find("longvalue").IsValid());
  CString value;
  EXPECT_FALSE(lines.FindValue("longvalue", &value));
  EXPECT_TRUE(value.IsEmpty());
  EXPECT_FALSE(lines.Find("fields").IsValid());
  EXPECT_STREQ("2", lines.Find("last").CurrentKey().Value().CStr());
  // The reader keeps keys of up to 511 characters and cuts longer ones, which
  // then match no look-up; a key found has its own value, never another's.
  INFKeyIterator longKey = lines.Find(Long('K').c_str());
  EXPECT_EQ(GetParam() <= 511, longKey.IsValid());
  EXPECT_STREQ(GetParam() <= 511 ? "short" : "", longKey.CurrentKey().Value().CStr());
}

TEST_P(INFLongLineTest, ALongFirstLineHidesNothingElse) {
  std::string inf = folder_.Write("first.inf", InfText("[Install]\n"
                                                       "CopyFiles=@" + Long('C') + "\n" +
                                                       "DataSection=UNIDRV_DATA\n"
                                                       "DataFile=X.GPD\n"));
  INFSection install("Install", inf.c_str());
  ASSERT_TRUE(install.Open());
  EXPECT_EQ((std::vector<std::string>{"DataSection", "DataFile"}), Names(install));
  INFKeyIterator dataFile = install.Find("DataFile");
  ASSERT_TRUE(dataFile.IsValid()) << "found although the section's first line cannot be read";
  EXPECT_STREQ("X.GPD", dataFile.CurrentKey().Value().CStr());
  EXPECT_FALSE(install.Find("CopyFiles").IsValid());
}

TEST_P(INFLongLineTest, ASectionOfOnlyLongLinesIsEmptyToAWalk) {
  std::string inf = folder_.Write("only.inf", InfText("[Only]\n" + Long('a') + "\nkey=" + Long('b') + "\n"));
  INFSection only("Only", inf.c_str());
  EXPECT_TRUE(only.Open()) << "the section has lines";
  EXPECT_FALSE(INFKeyIterator(only).IsValid());
}

INSTANTIATE_TEST_SUITE_P(Bytes, INFLongLineTest, testing::Values(300u, 4000u));

TEST(INFLineLength, TheBufferHoldsTwoHundredFiftyNineCharacters) {
  TestFolder folder;
  std::string inf = folder.Write("edge.inf", InfText("[Edge]\n"
                                                     "fits=" + std::string(259, 'a') + "\n" +
                                                     "over=" + std::string(260, 'b') + "\n" +
                                                     std::string(259, 'k') + "=x\n" +
                                                     std::string(260, 'l') + "=y\n"));
  INFSection edge("Edge", inf.c_str());
  ASSERT_TRUE(edge.Open());
  EXPECT_EQ(259u, edge.Find("fits").CurrentKey().Value().Length());
  EXPECT_FALSE(edge.Find("over").IsValid());
  EXPECT_EQ((std::vector<std::string>{"fits", std::string(259, 'k')}), Names(edge));
}

}  // namespace
