#include "SpecialFolders.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "DelimitedPath.h"
#include "PlatformDirectory.h"
#include "PlatformVersion.h"
#include "RegistryKey.h"
#include "RegistryValueIterator.h"

namespace {

struct FolderRow {
  const char* valueName;  // under the Explorer keys; null: only the shell knows it
  int fallback;           // the per-user folder behind an all-users one, or -1
};

// Indexed by folder id.
const FolderRow kFolderTable[SpecialFolders::kFolderCount] = {
    {"Desktop", -1},            // 0
    {nullptr, -1},              // 1
    {"Programs", -1},           // 2
    {nullptr, -1},              // 3
    {nullptr, -1},              // 4
    {"Personal", -1},           // 5
    {"Favorites", -1},          // 6
    {"Startup", -1},            // 7
    {"Recent", -1},             // 8
    {"SendTo", -1},             // 9
    {nullptr, -1},              // 10
    {"Start Menu", -1},         // 11
    {nullptr, -1},              // 12
    {nullptr, -1},              // 13
    {nullptr, -1},              // 14
    {nullptr, -1},              // 15
    {"Desktop", -1},            // 16
    {nullptr, -1},              // 17
    {nullptr, -1},              // 18
    {"NetHood", -1},            // 19
    {"Fonts", -1},              // 20
    {"Templates", -1},          // 21
    {"Common Start Menu", 11},  // 22
    {"Common Programs", 2},     // 23
    {"Common Startup", 7},      // 24
    {"Common Desktop", 0},      // 25
    {"AppData", -1},            // 26
    {"PrintHood", -1},          // 27
    {nullptr, -1},              // 28
    {"AltStartup", -1},         // 29
    {"Common AltStartup", 29},  // 30
    {"Common Favorites", 6},    // 31
    {"Cache", -1},              // 32
    {"Cookies", -1},            // 33
    {"History", -1},            // 34
};

const FolderRow kNoRow = {nullptr, -1};

// Any id outside the table, negative ones too, has no row.
const FolderRow& RowOf(int id) { return id >= 0 && id < SpecialFolders::kFolderCount ? kFolderTable[id] : kNoRow; }

const char kExplorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const char kUserProfileReference[] = "%USERPROFILE%";
const size_t kUserProfileReferenceLength = sizeof kUserProfileReference - 1;

CString ShellFoldersKey() { return DelimitedPath(kExplorerKey, "Shell Folders").Text(); }
CString UserShellFoldersKey() { return DelimitedPath(kExplorerKey, "User Shell Folders").Text(); }

// A root keeps its separator: "C:" alone would mean the current directory
// of drive C:. The platform reports a directory at a drive's root as "C:\"
// (GetWindowsDirectory in Microsoft's reference), and GetTempPath ends every
// directory with one.
FilePath WithoutTrailingSeparators(const CString& text) {
  FilePath path(text);
  while (path.TrailingState() == FilePath::kTrailingSeparator) path.SetTrailingState(FilePath::kNoTrailingSeparator);
  return path;
}

FilePath WithoutTrailingSeparator(FilePath path) {
  path.SetTrailingState(FilePath::kNoTrailingSeparator);
  return path;
}

// The folder `id` of the current user, without trailing separator.
FilePath CurrentUserFolder(int id) {
  FilePath folder;
  SpecialFolders::Instance().GetFolder(nullptr, folder, id, false, HKEY_CURRENT_USER, FilePath());
  return WithoutTrailingSeparator(folder);
}

// ExpandEnvironmentStringsA into a buffer of the size the platform asks
// for; empty when the expansion fails or keeps asking for more.
CString ExpandEnvironment(const CString& text) {
  const DWORD kLargest = 65536;  // twice the longest environment value
  DWORD size = MAX_PATH;
  for (int round = 0; round < 4 && size <= kLargest; ++round) {
    std::vector<char> buffer(size, '\0');
    DWORD needed = ExpandEnvironmentStringsA(text.CStr(), buffer.data(), size);
    if (needed == 0) return CString();
    if (needed <= size) return CString(buffer.data(), strnlen(buffer.data(), size));
    size = needed;
  }
  return CString();
}

}  // namespace

SpecialFolders& SpecialFolders::Instance() {
  static SpecialFolders folders;
  return folders;
}

SpecialFolders::SpecialFolders()
    : shell_("Shell32.dll"), shellFolder_(shell_.Entry<ShellFolderFunction>("SHGetSpecialFolderPathA")) {}

SpecialFolders::~SpecialFolders() = default;

bool SpecialFolders::GetFolder(HWND owner, FilePath& out, int id, bool create, HKEY root, const FilePath& profile) {
  out = FilePath();
  if (root == HKEY_CURRENT_USER && shellFolder_) {
    char buffer[MAX_PATH + 1] = {};
    if (shellFolder_(owner, buffer, id, create ? TRUE : FALSE)) out = CString(buffer, strnlen(buffer, MAX_PATH));
  }

  if (out.Text().IsEmpty()) {
    const FolderRow& row = RowOf(id);
    // The all-users folders are the machine's, whatever user is asked for.
    HKEY hive = row.fallback >= 0 ? HKEY_LOCAL_MACHINE : root;
    if (row.valueName && !RegistryFolderValue(hive, ShellFoldersKey(), row.valueName, profile, out))
      RegistryFolderValue(hive, UserShellFoldersKey(), row.valueName, profile, out);
    if (out.Text().IsEmpty() && row.fallback >= 0) {
      GetFolder(owner, out, row.fallback, create, root, profile);
      id = row.fallback;
    }
  }
  if (out.Text().IsEmpty()) return false;

  // Windows 95/98 may keep an all-users folder below a user's own: the
  // user's folder, shallower, is the one that user sees.
  const FolderRow& row = RowOf(id);
  if (row.fallback >= 0 && !IsWindowsNT()) {
    FilePath perUser;
    if (GetFolder(owner, perUser, row.fallback, create, root, profile) &&
        perUser.SeparatorCount() < out.SeparatorCount())
      out = perUser;
  }

  if (create && GetFileAttributesA(out.Text().CStr()) == INVALID_FILE_ATTRIBUTES)
    return CreateDirectoryA(out.Text().CStr(), nullptr) != 0;
  return true;
}

FilePath WindowsFolder() { return WithoutTrailingSeparators(PlatformDirectory(eWindowsDirectory)); }

FilePath SystemFolder() { return WithoutTrailingSeparators(PlatformDirectory(eSystemDirectory)); }

FilePath TempFolder() { return WithoutTrailingSeparators(PlatformDirectory(eTempDirectory)); }

FilePath ProgramFilesFolder() {
  FilePath folder;
  RegistryFolderValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", FilePath(),
                      folder);
  return WithoutTrailingSeparator(folder);
}

FilePath DesktopFolder(bool allUsers) { return CurrentUserFolder(allUsers ? 25 : 16); }

FilePath DocumentsFolder() { return CurrentUserFolder(5); }

FilePath ProgramsFolder(bool allUsers) { return CurrentUserFolder(allUsers ? 23 : 2); }

FilePath StartMenuFolder(bool allUsers) { return CurrentUserFolder(allUsers ? 22 : 11); }

FilePath StartupFolder(bool allUsers) { return CurrentUserFolder(allUsers ? 24 : 7); }

bool IsAllUsersFolder(int id) { return (id >= 22 && id <= 25) || id == 30 || id == 31; }

FilePath FolderValueToPath(const RegistryValue& value, HKEY root, const FilePath& profile) {
  if (value.Type() == REG_SZ) return FilePath(value.AsString());
  if (value.Type() != REG_EXPAND_SZ) return FilePath();

  CString text = value.AsString();
  // Another user's "%USERPROFILE%" is not the one in this process's
  // environment.
  if ((!profile.Text().IsEmpty() || root != HKEY_CURRENT_USER) &&
      text.Left(kUserProfileReferenceLength).Upper() == kUserProfileReference) {
    FilePath owner = profile.Text().IsEmpty() ? UserProfileFolder(root) : profile;
    // Without it the rest would name a folder below the root of the drive.
    if (owner.Text().IsEmpty()) return FilePath();
    text = owner.Text() + text.Mid(kUserProfileReferenceLength);
  }
  return FilePath(ExpandEnvironment(text));
}

bool RegistryFolderValue(HKEY root, const CString& keyPath, const CString& valueName, const FilePath& profile,
                         FilePath& out) {
  RegistryKey rootKey(root, RegistryKey::kKeyAccess);
  RegistryKey key(rootKey, keyPath, RegistryKey::kKeyAccess);
  if (!key.Open(RegistryKey::kKeyAccess)) return false;
  RegistryValueIterator found = key.FindValue(valueName);
  const RegistryValue* value = found.Current();
  if (!value) return false;
  out = FolderValueToPath(*value, root, profile);
  return !out.Text().IsEmpty();
}

FilePath UserProfileFolder(HKEY root) {
  RegistryKey rootKey(root, RegistryKey::kKeyAccess);
  RegistryKey key(rootKey, ShellFoldersKey(), RegistryKey::kKeyAccess);
  if (!key.Open(RegistryKey::kKeyAccess)) return FilePath();
  for (const char* name : {"Desktop", "AppData"}) {
    RegistryValueIterator found = key.FindValue(name);
    const RegistryValue* value = found.Current();
    if (!value) continue;
    if (value->Type() != REG_SZ) return FilePath();
    return FilePath(value->AsString()).Parent();
  }
  return FilePath();
}
