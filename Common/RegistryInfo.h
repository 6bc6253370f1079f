#pragma once
// RegistryInfo: what the library knows about the registry as a whole. The
// registry ("My Computer") has seven predefined roots; each has a long name
// ("HKEY_LOCAL_MACHINE") and an abbreviation ("HKLM") that key path texts
// may start with. Which roots a hive list shows depends on the platform:
// Windows NT has HKEY_PERFORMANCE_DATA where Windows 95/98 has HKEY_DYN_DATA.
//
// One table per library, made on first use; nothing in it changes after.

#include <windows.h>

#include "CString.h"

class RegistryInfo {
 public:
  // Roots in table order: the order in which path texts are matched.
  enum ERoot {
    eClassesRoot,
    eCurrentUser,
    eLocalMachine,
    eUsers,
    eCurrentConfig,
    eDynData,
    ePerformanceData,
    eRootCount
  };

  static const RegistryInfo& Instance();

  virtual ~RegistryInfo();
  RegistryInfo(const RegistryInfo&) = delete;
  RegistryInfo& operator=(const RegistryInfo&) = delete;

  // Always 6 (one root of the seven is hidden on each platform).
  int GetNumberOfHives() const;
  // The long name of hive `index` (0..5); "My Computer" for any other index.
  const CString& GetHiveString(int index) const;

  const CString& ComputerName() const { return computer_; }
  const CString& LongName(ERoot root) const { return longNames_[root]; }
  const CString& Abbreviation(ERoot root) const { return abbreviations_[root]; }
  const CString& Separator() const { return separator_; }
  static HKEY RootHandle(ERoot root);
  // 1: Windows 95/98, 2: Windows NT; 1 when the version could not be read.
  DWORD PlatformId() const { return version_.dwPlatformId; }

  // True for the seven predefined root handles.
  static bool IsPredefinedRoot(HKEY handle);

 private:
  RegistryInfo();

  CString computer_;
  CString longNames_[eRootCount];
  CString abbreviations_[eRootCount];
  CString separator_;
  OSVERSIONINFOA version_;
};
