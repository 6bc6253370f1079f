// Sections over Wine's setup library: opening, look-ups and the rule that
// every section object has a handle of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include "INFFile.h"
#include "INFKeyIterator.h"
#include "INFSection.h"
#include "InfTestFiles.h"

namespace {

const char kDriverInf[] =
    "[Manufacturer]\n"
    "\"Kalora\"\n"
    "[Kalora]\n"
    "\"Kalora Jet-100\" = KALORA_100, LPTENUM\\KALORAJET1A2B , Kalora_Jet-100\n"
    "[KALORA_100]\n"
    "CopyFiles=@KALORA_100.GPD,UNIDRV\n"
    "DataSection=UNIDRV_DATA\n"
    "DataFile=KALORA_100.GPD ; the model's own file\n"
    "DataFile=SECOND.GPD\n"
    "[UNIDRV_DATA]\n"
    "DriverFile = UNIDRV.DLL\n"
    "HelpFile = %HELP%\n"
    "[Empty]\n"
    "[Strings]\n"
    "HELP=\"UNIDRV.HLP\"\n";

class INFSectionTest : public testing::Test {
 protected:
  void SetUp() override { inf_ = folder_.Write("driver.inf", InfText(kDriverInf)); }
  TestFolder folder_;
  std::string inf_;
};

TEST_F(INFSectionTest, OpensOnlyWhenFileAndSectionWithLinesExist) {
  INFSection section("KALORA_100", inf_.c_str());
  EXPECT_FALSE(section.IsValid()) << "not read before Open";
  EXPECT_TRUE(section.Open());
  EXPECT_TRUE(section.IsValid());
  EXPECT_TRUE(INFSection("kalora_100", inf_.c_str()).Open()) << "section names match regardless of case";

  for (const char* name : {"NoSuchSection", "Empty", ""}) {
    INFSection missing(name, inf_.c_str());
    EXPECT_FALSE(missing.Open()) << "section '" << name << "'";
    EXPECT_FALSE(missing.IsValid());
    EXPECT_FALSE(missing.Find("DataFile").IsValid()) << "section '" << name << "'";
    EXPECT_FALSE(INFKeyIterator(missing).IsValid()) << "section '" << name << "'";
  }
}

TEST_F(INFSectionTest, MissingOrUnreadableFilesDoNotOpen) {
  long before = INFFile::OpenHandles();
  std::string locked = folder_.Write("locked.inf", InfText(kDriverInf));
  HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  const std::string files[] = {
      folder_.Root() + "\\missing.inf",
      folder_.Root(),  // a folder
      locked,
      folder_.Write("empty.inf", ""),
      folder_.Write("noversion.inf", "[KALORA_100]\r\nDataFile=X\r\n"),
      folder_.WriteBytes("binary.inf", {0x00, 0xFF, 0x13, 0x00, 0x5B, 0x00, 0x00}),
  };
  for (const std::string& file : files) {
    INFSection section("KALORA_100", file.c_str());
    EXPECT_FALSE(section.Open()) << file;
    EXPECT_FALSE(section.Find("DataFile").IsValid()) << file;
    EXPECT_FALSE(INFKeyIterator(section).IsValid()) << file;
  }
  CloseHandle(lock);
  EXPECT_EQ(before, INFFile::OpenHandles()) << "a failed open holds nothing open";
}

TEST_F(INFSectionTest, FindGivesTheCallersNameAndTheLineText) {
  INFSection install("KALORA_100", inf_.c_str());
  ASSERT_TRUE(install.Open());

  INFKeyIterator dataFile = install.Find("datafile");
  ASSERT_TRUE(dataFile.IsValid());
  EXPECT_STREQ("datafile", dataFile.CurrentKey().Name().CStr()) << "the name as the caller wrote it";
  EXPECT_STREQ("KALORA_100.GPD", dataFile.CurrentKey().Value().CStr()) << "the first of two equal keys, comment gone";

  INFSection models("Kalora", inf_.c_str());
  ASSERT_TRUE(models.Open());
  INFKeyIterator model = models.Find("KALORA JET-100");
  ASSERT_TRUE(model.IsValid());
  EXPECT_STREQ("KALORA_100,LPTENUM\\KALORAJET1A2B,Kalora_Jet-100", model.CurrentKey().Value().CStr())
      << "fields joined by commas, blanks around them dropped";

  INFSection data("UNIDRV_DATA", inf_.c_str());
  ASSERT_TRUE(data.Open());
  EXPECT_STREQ("UNIDRV.HLP", data.Find("HelpFile").CurrentKey().Value().CStr()) << "strings substituted";
  EXPECT_FALSE(data.Find("ConfigFile").IsValid());
  EXPECT_FALSE(data.Find("").IsValid());

  // The bare value look-up agrees with Find.
  CString value("untouched");
  EXPECT_TRUE(install.FindValue("DATAFILE", &value));
  EXPECT_STREQ("KALORA_100.GPD", value.CStr());
  value = "untouched";
  EXPECT_FALSE(data.FindValue("ConfigFile", &value));
  EXPECT_FALSE(data.FindValue("", &value));
  EXPECT_STREQ("untouched", value.CStr()) << "left alone when absent";
  EXPECT_FALSE(INFSection("KALORA_100", inf_.c_str()).FindValue("DataFile", &value)) << "never opened";
}

TEST_F(INFSectionTest, SectionsCompareByNamesOnly) {
  INFSection a("KALORA_100", inf_.c_str());
  INFSection b("KALORA_100", inf_.c_str());
  EXPECT_TRUE(a == b) << "neither opened";
  ASSERT_TRUE(a.Open());
  EXPECT_TRUE(a == b) << "one opened";
  EXPECT_TRUE(a == a);
  EXPECT_FALSE(a == INFSection("kalora_100", inf_.c_str())) << "names compare case-sensitively";
  EXPECT_FALSE(a == INFSection("KALORA_100", (inf_ + "x").c_str()));
  EXPECT_TRUE(INFSection() == INFSection());
}

TEST_F(INFSectionTest, CopiesOpenTheFileAgain) {
  long before = INFFile::OpenHandles();
  INFSection* original = new INFSection("KALORA_100", inf_.c_str());
  ASSERT_TRUE(original->Open());
  INFSection copy(*original);
  EXPECT_TRUE(copy.IsValid());
  EXPECT_EQ(before + 2, INFFile::OpenHandles()) << "the copy holds a handle of its own";
  delete original;
  EXPECT_EQ(before + 1, INFFile::OpenHandles());
  EXPECT_STREQ("UNIDRV_DATA", copy.Find("DataSection").CurrentKey().Value().CStr()) << "after the original is gone";

  // The copy reads the file as it is now; the section it came from keeps
  // what it read.
  // Each file knows whether the file on disk is still the one it read.
  INFSection old("KALORA_100", inf_.c_str());
  ASSERT_TRUE(old.Open());
  EXPECT_TRUE(old.File()->Unchanged());
  folder_.Write("driver.inf", InfText("[KALORA_100]\nDataSection=PSCRIPT_DATA\n"));
  EXPECT_FALSE(old.File()->Unchanged());
  INFSection fresh(old);
  EXPECT_TRUE(fresh.File()->Unchanged());
  EXPECT_STREQ("PSCRIPT_DATA", fresh.Find("DataSection").CurrentKey().Value().CStr());
  EXPECT_STREQ("UNIDRV_DATA", old.Find("DataSection").CurrentKey().Value().CStr());

  // A copy of a section whose file has gone is invalid.
  folder_.Write("driver.inf", "");
  INFSection gone(old);
  EXPECT_FALSE(gone.IsValid());
  ASSERT_TRUE(DeleteFileA(inf_.c_str()));
  EXPECT_FALSE(fresh.File()->Unchanged());
}

TEST_F(INFSectionTest, AssignmentLeavesNoHandleBehind) {
  long before = INFFile::OpenHandles();
  {
    INFSection a("KALORA_100", inf_.c_str());
    INFSection b("UNIDRV_DATA", inf_.c_str());
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    a = b;
    EXPECT_EQ(before + 2, INFFile::OpenHandles()) << "a's first handle closed, a fresh one opened";
    EXPECT_TRUE(a.IsValid());
    EXPECT_STREQ("UNIDRV_DATA", a.SectionName().CStr());
    a = a;
    EXPECT_TRUE(a.IsValid());
    EXPECT_EQ(before + 2, INFFile::OpenHandles());
    EXPECT_TRUE(a.Open()) << "opening again replaces the handle";
    EXPECT_EQ(before + 2, INFFile::OpenHandles());
    a = INFSection("Empty", inf_.c_str());
    EXPECT_FALSE(a.IsValid()) << "the flag is the result of the new open";
  }
  EXPECT_EQ(before, INFFile::OpenHandles());
}

TEST_F(INFSectionTest, UnicodeFilesReadLikeAnsiOnes) {
  std::string unicode = folder_.WriteBytes("unicode.inf", Utf16WithBom(InfText(kDriverInf)));
  INFSection install("KALORA_100", unicode.c_str());
  ASSERT_TRUE(install.Open());
  EXPECT_STREQ("KALORA_100.GPD", install.Find("DataFile").CurrentKey().Value().CStr());
  INFSection models("Kalora", unicode.c_str());
  ASSERT_TRUE(models.Open());
  EXPECT_TRUE(models.Find("Kalora Jet-100").IsValid());
}

}  // namespace
