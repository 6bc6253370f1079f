// The file queue's callback and the product settings the copy reads. The
// callback's toggle is process-wide: this suite runs in a process of its own.
#include <windows.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "INFFile.h"
#include "InstallFilesFromINFSection.h"
#include "PrinterDriverFromINF.h"
#include "RawRegistry.h"
#include "TestFolder.h"
#include "TraceCapture.h"

namespace {

UINT Answer(UINT notification) { return InstallFilesFromINFSection::QueueCallback(nullptr, notification, 0, 0); }

TEST(FileQueueCallback, AnswersInPlaceOfTheUser) {
  TraceCapture trace;
  EXPECT_EQ(static_cast<UINT>(FILEOP_DOIT), Answer(SPFILENOTIFY_NEEDMEDIA)) << "the first request in a process";
  EXPECT_EQ(static_cast<UINT>(FILEOP_ABORT), Answer(SPFILENOTIFY_NEEDMEDIA));
  EXPECT_EQ(static_cast<UINT>(FILEOP_DOIT), Answer(SPFILENOTIFY_NEEDMEDIA));
  EXPECT_EQ(std::vector<std::string>(3, "SPFILENOTIFY_NEEDMEDIA\n"), trace.Lines());
  for (UINT error :
       {SPFILENOTIFY_COPYERROR, SPFILENOTIFY_DELETEERROR, SPFILENOTIFY_RENAMEERROR, SPFILENOTIFY_LANGMISMATCH})
    EXPECT_EQ(0u, Answer(error)) << error;

  // Each real queue starts ready for a second look, wherever the toggle
  // stood: the platform asks for media even when the files are there.
  TestFolder folder;
  std::string inf =
      folder.Write("q.inf",
                   "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Install]\r\nCopyFiles=@A.DLL\r\n"
                   "[DestinationDirs]\r\nDefaultDestDir=40000\r\n[SourceDisksNames]\r\n1 = \"Disk\",,,\"\"\r\n"
                   "[SourceDisksFiles]\r\nA.DLL = 1\r\n");
  folder.Folder("source");
  folder.Write("source\\A.DLL", "a");
  std::string copied = folder.Folder("target") + "\\A.DLL";
  {
    INFSection section("Install", inf.c_str());
    ASSERT_TRUE(section.Open());
    InstallFilesFromINFSection files(section);
    ASSERT_TRUE(files.SetDirectoryId(40000, (folder.Root() + "\\target").c_str()));
    files.sourcePath = (folder.Root() + "\\source").c_str();
    // The toggle stands at "give up" after the three answers above.
    trace.Clear();
    EXPECT_TRUE(files.Install(1, InstallFilesFromINFSection::kCopyFlags));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(copied.c_str()));
    EXPECT_EQ(1u, trace.Lines().size());

    // A missing source gets one silent second look, then the queue gives up,
    // also right after a queue that succeeded.
    DeleteFileA(copied.c_str());
    files.sourcePath = (folder.Root() + "\\missing").c_str();
    trace.Clear();
    EXPECT_FALSE(files.Install(1, InstallFilesFromINFSection::kCopyFlags));
    EXPECT_EQ(2u, trace.Lines().size());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(copied.c_str()));
    EXPECT_EQ(1, INFFile::OpenFileQueues());
  }
  EXPECT_EQ(0, INFFile::OpenFileQueues());
}

TEST(CabSettings, TheNewestVersionsSettings) {
  const std::string product = "SOFTWARE\\Corvane Systems\\Hollowmarch";
  auto read = [] {
    PrinterDriverFromINF driver("x");
    driver.ReadCabSettings();
    return std::string(driver.cabFilePath.CStr()) + "|" + std::to_string(driver.dontPrompt);
  };
  RawDeleteTree(HKEY_LOCAL_MACHINE, product);
  RawDeleteTree(HKEY_CURRENT_USER, product);
  EXPECT_EQ("|1", read()) << "no product key";
  RawCreateKey(HKEY_LOCAL_MACHINE, product);
  EXPECT_EQ("|1", read()) << "a product key without versions";

  // Versions compare as text, ignoring case.
  RawCreateKey(HKEY_LOCAL_MACHINE, product + "\\10.0");
  RawCreateKey(HKEY_LOCAL_MACHINE, product + "\\9.0");
  RawSetText(HKEY_CURRENT_USER, product + "\\10.0\\Settings", "Cab File Path", "C:\\ten");
  RawSetValue(HKEY_CURRENT_USER, product + "\\9.0\\Settings", "Cab File Path", REG_BINARY, "C:\\nine", 7);
  RawSetDword(HKEY_CURRENT_USER, product + "\\9.0\\Settings", "Don't prompt cab files", 0);
  EXPECT_EQ("C:\\nine|0", read()) << "9.0 is greater than 10.0; data without a NUL reads as far as it goes";
  RawSetValue(HKEY_CURRENT_USER, product + "\\9.0\\Settings", "Don't prompt cab files", REG_BINARY, "\0\0", 2);
  EXPECT_EQ("C:\\nine|1", read()) << "less than a word is no flag";
  RawCreateKey(HKEY_LOCAL_MACHINE, product + "\\alpha");
  RawCreateKey(HKEY_LOCAL_MACHINE, product + "\\Beta");
  RawSetText(HKEY_CURRENT_USER, product + "\\Beta\\Settings", "Cab File Path", "C:\\beta");
  EXPECT_EQ("C:\\beta|1", read());
  RawDeleteTree(HKEY_LOCAL_MACHINE, product);
  RawDeleteTree(HKEY_CURRENT_USER, product);
}

}  // namespace
