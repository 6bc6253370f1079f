#pragma once
// The machine's and the users' well-known folders as paths: the Windows,
// system and temporary directories, the program-files folder, and the
// shell's special folders (desktop, documents, start menu, ...), named by
// the shell's folder ids (CSIDL 0 to 34).
//
// A special folder is asked of the shell first (for the current user only),
// then of the Explorer keys "Shell Folders" and "User Shell Folders" under
// the user's root; an all-users folder the machine does not know falls back
// to the matching per-user one. The root may be another user's hive loaded
// somewhere in the registry: then "%USERPROFILE%" in a stored folder means
// that user's profile folder, not the running user's.
//
//   FilePath documents;
//   SpecialFolders::Instance().GetFolder(nullptr, documents, 5, false, HKEY_CURRENT_USER, FilePath());

#include <windows.h>

#include "FilePath.h"
#include "LoadedLibrary.h"
#include "RegistryValue.h"

class SpecialFolders {
 public:
  // Ids 0 .. kFolderCount - 1 have a row in the folder table.
  static constexpr int kFolderCount = 35;

  // Made on first use; holds the shell library until the library unloads.
  static SpecialFolders& Instance();
  virtual ~SpecialFolders();
  SpecialFolders(const SpecialFolders&) = delete;
  SpecialFolders& operator=(const SpecialFolders&) = delete;

  // The folder `id` of the user whose keys are under `root` into `out`;
  // `profile`, when not empty, stands for that user's "%USERPROFILE%". With
  // `create`, a missing folder is created (its parent must exist). False
  // when no folder is known, or when the creation failed (`out` then holds
  // the folder that could not be made).
  bool GetFolder(HWND owner, FilePath& out, int id, bool create, HKEY root, const FilePath& profile);

 private:
  typedef BOOL(WINAPI* ShellFolderFunction)(HWND owner, LPSTR path, int id, BOOL create);

  SpecialFolders();

  LoadedLibrary shell_;
  ShellFolderFunction shellFolder_;
};

// Directories the platform names, without trailing separators (a drive's
// root keeps its own: "C:\"); empty when the platform cannot tell.
FilePath WindowsFolder();
FilePath SystemFolder();
FilePath TempFolder();
// "ProgramFilesDir" of the machine's CurrentVersion key; empty when absent.
FilePath ProgramFilesFolder();

// The current user's folders (or, with allUsers, the machine's shared ones),
// without trailing separator; empty when unknown.
FilePath DesktopFolder(bool allUsers);
FilePath DocumentsFolder();
FilePath ProgramsFolder(bool allUsers);
FilePath StartMenuFolder(bool allUsers);
FilePath StartupFolder(bool allUsers);

// Ids 22 to 25, 30 and 31: the folders shared by all users.
bool IsAllUsersFolder(int id);

// A stored folder value as a path: a REG_SZ as it is, a REG_EXPAND_SZ with
// its environment references expanded ("%USERPROFILE%" meaning `profile`,
// or the profile folder of `root`, unless root is the current user with no
// profile given); anything else, or a profile that cannot be found, gives
// an empty path.
FilePath FolderValueToPath(const RegistryValue& value, HKEY root, const FilePath& profile);
// The value `valueName` of the key `keyPath` under `root` as a folder, into
// `out`; true when that gives a path. `out` is left alone when the value
// does not exist.
bool RegistryFolderValue(HKEY root, const CString& keyPath, const CString& valueName, const FilePath& profile,
                         FilePath& out);
// The user's profile folder: the folder above the user's desktop (or, with
// no desktop stored, above the application-data folder) as stored in the
// Explorer key "Shell Folders" under `root`; empty when that is no plain
// text.
FilePath UserProfileFolder(HKEY root);
