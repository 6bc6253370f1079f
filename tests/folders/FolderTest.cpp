// Special folders of the prefix's user (through the shell, and through the
// Explorer keys in the run that refuses the shell library), of another user
// whose hive the test saves and loads, the platform's directories, and
// time-stamped and free file names.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "FileNames.h"
#include "RawRegistry.h"
#include "RegistryKey.h"
#include "SpecialFolders.h"
#include "TestFolder.h"

using Corvane::SystemTime;

namespace {

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

std::string Folder(int id, HKEY root, bool create = false) {
  FilePath folder;
  SpecialFolders::Instance().GetFolder(nullptr, folder, id, create, root, FilePath());
  return folder.Text().CStr();
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Stored(HKEY root, const char* name) {
  return ReadRawValue(root, kExplorer + "Shell Folders", name).Bytes().c_str();
}

// Another user: folders stored in keys of the test's own, saved to a hive
// file with SaveHive and loaded under HKEY_USERS with LoadHive, with the
// privileges a migration host enables for that.
class OtherUser : public testing::Test {
 protected:
  void SetUp() override {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
    for (const char* name : {"SeBackupPrivilege", "SeRestorePrivilege"}) {
      TOKEN_PRIVILEGES privilege = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
      EXPECT_TRUE(LookupPrivilegeValueA(nullptr, name, &privilege.Privileges[0].Luid));
      EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &privilege, sizeof privilege, nullptr, nullptr));
    }
    CloseHandle(token);
    for (const char* name : {"Desktop", "AltStartup", "Start Menu", "Favorites"})
      RawSetText(HKEY_CURRENT_USER, keys_.Below(kExplorer + "Shell Folders"), name, profile_ + "\\" + name);
    std::string documents = "%USERPROFILE%\\My Documents";
    RawSetValue(HKEY_CURRENT_USER, keys_.Below(kExplorer + "User Shell Folders"), "Personal", REG_EXPAND_SZ,
                documents.c_str(), static_cast<DWORD>(documents.size() + 1));

    RegistryKey user(CString(keys_.Text().c_str()), RegistryKey::kKeyAccess);
    ASSERT_TRUE(user.Open(RegistryKey::kKeyAccess));
    std::string file = folder_.Root() + "\\other.hive";
    ASSERT_TRUE(user.SaveHive(file.c_str())) << user.LastError();
    ASSERT_TRUE(hive_.LoadHive(file.c_str())) << hive_.LastError();
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_USERS, name_.c_str(), 0, KEY_READ, &root_));
  }
  void TearDown() override {
    if (root_) RegCloseKey(root_);
    EXPECT_TRUE(hive_.UnloadHive()) << hive_.LastError();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RawOpenStatus(HKEY_USERS, name_));
  }

  TestFolder folder_;
  ScratchKey keys_;
  std::string profile_ = folder_.Folder("Other");
  std::string name_ = "QELOther." + std::to_string(GetCurrentProcessId());
  RegistryKey hive_{CString(("HKEY_USERS\\" + name_).c_str()), RegistryKey::kKeyAccess};
  HKEY root_ = nullptr;
};

class OtherUser_Win98 : public OtherUser {};

}  // namespace

// Only the shell knows the folders without a stored value name (28, local
// application data); ids outside the table have no row at all.
TEST(Folders, ShellAnswersForTheCurrentUser) {
  EXPECT_TRUE(IsFolder(Folder(28, HKEY_CURRENT_USER)));
  EXPECT_EQ(Stored(HKEY_CURRENT_USER, "Personal"), DocumentsFolder().Text().CStr());
  for (int id : {-1, -35, 35, 1000}) EXPECT_EQ("", Folder(id, HKEY_LOCAL_MACHINE)) << id;
}

TEST(Folders_NoShell, ExplorerKeysAnswerWithoutTheShell) {
  ASSERT_EQ(nullptr, LoadLibraryA("shell32.dll")) << "this run refuses the shell library";
  EXPECT_EQ("", Folder(28, HKEY_CURRENT_USER));
  EXPECT_EQ(Stored(HKEY_CURRENT_USER, "Personal"), DocumentsFolder().Text().CStr());
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, "Common Desktop"), DesktopFolder(true).Text().CStr());
}

TEST_F(OtherUser, FoldersComeFromThatUsersHive) {
  EXPECT_EQ(profile_ + "\\My Documents", Folder(5, root_)) << "that user's profile, not ours";
  EXPECT_EQ(profile_ + "\\AltStartup", Folder(30, root_)) << "no all-users folder: the user's own";
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, "Common Start Menu"), Folder(22, root_)) << "NT keeps the machine's";
  std::string favorites = profile_ + "\\Favorites";
  EXPECT_EQ(favorites, Folder(6, root_));
  EXPECT_FALSE(IsFolder(favorites));
  EXPECT_EQ(favorites, Folder(6, root_, true));
  EXPECT_TRUE(IsFolder(favorites)) << "created on request";
}

TEST_F(OtherUser_Win98, ShallowerUserFolderWins) { EXPECT_EQ(profile_ + "\\Start Menu", Folder(22, root_)); }

TEST(Folders, PlatformDirectoriesWithoutTrailingSeparators) {
  TestFolder folder;
  ASSERT_TRUE(SetEnvironmentVariableA("TMP", (folder.Root() + "\\\\\\").c_str()));
  EXPECT_EQ(folder.Root(), TempFolder().Text().CStr());
  ASSERT_TRUE(SetEnvironmentVariableA("TMP", "C:\\"));
  EXPECT_STREQ("C:\\", TempFolder().Text().CStr()) << "\"C:\" alone is the drive's current directory";
  std::string windows = WindowsFolder().Text().CStr();
  EXPECT_TRUE(IsFolder(windows)) << windows;
  EXPECT_EQ(windows + "\\", std::string(SystemFolder().Text().CStr()).substr(0, windows.size() + 1));
  EXPECT_TRUE(IsFolder(ProgramFilesFolder().Text().CStr()));
}

// 150 double-byte characters: within the platform's path limit, but more
// bytes than the usual buffer holds.
TEST(Folders_Cp932, LongTempDirectoryIsReadWhole) {
  std::string deep = "C:\\";
  for (int i = 0; i < 150; ++i) deep += "\x82\xa0";
  ASSERT_TRUE(SetEnvironmentVariableA("TMP", (deep + "\\").c_str()));
  EXPECT_EQ(deep, TempFolder().Text().CStr());
}

TEST(FileNames, StampsAndFreeNamesOfASeries) {
  SYSTEMTIME when = {2024, 3, 2, 5, 14, 7, 9, 0};  // the run's zone is UTC
  SystemTime time(when, SystemTime::eUTC);
  EXPECT_STREQ("03-05-2024 02,07,09 PM", TimeStampText(time).CStr());
  EXPECT_STREQ("", TimeStampText(SystemTime(1ULL << 63)).CStr()) << "the platform has no date for it";

  TestFolder folder;
  std::string report = folder.Root() + "\\Report";
  auto free = [&](const char* name, const SystemTime& at) {
    return std::string(FreeFileName(FilePath(CString((folder.Root() + "\\" + name).c_str())), at).Text().CStr());
  };
  EXPECT_EQ(report + ".txt", free("Report#12.txt", SystemTime::MinTime()));
  folder.File("Report.txt");
  folder.File("Report#2.txt");
  EXPECT_EQ(report + "#3.txt", free("Report#12.txt", SystemTime::MaxTime()));
  EXPECT_EQ(report + "#1a_03-05-2024 02,07,09 PM.txt", free("Report#1a.txt", time));
}
