#include "RegistryInfo.h"

#include "Trace.h"

namespace {

struct RootEntry {
  const char* longName;
  const char* abbreviation;
  HKEY handle;
};

const RootEntry kRoots[RegistryInfo::eRootCount] = {
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", "HKU", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
    {"HKEY_DYN_DATA", "HKDD", HKEY_DYN_DATA},
    {"HKEY_PERFORMANCE_DATA", "HKPD", HKEY_PERFORMANCE_DATA},
};

const int kHiveCount = 6;

}  // namespace

const RegistryInfo& RegistryInfo::Instance() {
  static const RegistryInfo info;
  return info;
}

RegistryInfo::RegistryInfo() : computer_("My Computer"), separator_("\\"), version_() {
  for (int i = 0; i < eRootCount; ++i) {
    longNames_[i] = kRoots[i].longName;
    abbreviations_[i] = kRoots[i].abbreviation;
  }
  version_.dwOSVersionInfoSize = sizeof version_;
  if (!GetVersionExA(&version_)) {
    Trace("RegistryInfo::GetNumberOfHives - failed to get OS version\n");
    // Without a version the library acts as on Windows 95/98.
    version_.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
  }
}

RegistryInfo::~RegistryInfo() = default;

int RegistryInfo::GetNumberOfHives() const {
  if (PlatformId() != VER_PLATFORM_WIN32_WINDOWS && PlatformId() != VER_PLATFORM_WIN32_NT)
    Trace("RegistryInfo::GetNumberOfHives - unrecognized OS\n");
  return kHiveCount;
}

const CString& RegistryInfo::GetHiveString(int index) const {
  switch (static_cast<unsigned>(index)) {
    case 0: return longNames_[eClassesRoot];
    case 1: return longNames_[eCurrentUser];
    case 2: return longNames_[eLocalMachine];
    case 3: return longNames_[eUsers];
    case 4: return longNames_[eCurrentConfig];
    case 5:
      return PlatformId() == VER_PLATFORM_WIN32_NT ? longNames_[ePerformanceData] : longNames_[eDynData];
    default:
      Trace("RegistryInfo::GetHiveString - bad index %i\n", index);
      return computer_;
  }
}

HKEY RegistryInfo::RootHandle(ERoot root) { return kRoots[root].handle; }

bool RegistryInfo::IsPredefinedRoot(HKEY handle) {
  for (const RootEntry& entry : kRoots)
    if (entry.handle == handle) return true;
  return false;
}
