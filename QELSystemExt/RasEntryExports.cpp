// The phonebook exports: GetRASEntry saves one entry of the default
// phonebook as raw bytes in the registry, AddRASEntry writes every saved
// entry back into the default phonebook (typically on another machine, after
// the host carried the user's registry settings there).

#include "QELSystemExt.h"

#include <windows.h>

#include <raserror.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "CurrentUserRoot.h"
#include "ExportArguments.h"
#include "PlatformVersion.h"
#include "RasEntryLayout.h"
#include "RegistryKey.h"
#include "RegistryValue.h"
#include "RemoteAccess.h"

namespace {

// Fixed when the library loads, while the current-user root is still the
// running user's: a later SetCurrentUserKey does not move saved entries.
const CString kEntryStore =
    CurrentUserRoot() + "\\Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\RASEntries";

// Value names start with this room and grow when longer.
const DWORD kNameRoom = 256;

// The alternate numbers must lie wholly within the `size` bytes handed to
// the service, which reads the list up to its empty text wherever the offset
// points. A list cut off (or pointed past the end) is dropped rather than
// let the service read past the entry.
void DropAlternatesOutside(BYTE* entry, DWORD size) {
  const DWORD field = offsetof(RasEntryLayout, dwAlternateOffset);
  if (size < field + sizeof(DWORD)) return;
  DWORD offset;
  memcpy(&offset, entry + field, sizeof offset);
  if (offset == 0) return;
  for (DWORD at = offset; at < size;) {
    const BYTE* nul = static_cast<const BYTE*>(memchr(entry + at, '\0', size - at));
    if (!nul) break;
    if (nul == entry + at) return;  // the empty text ends the list
    at = static_cast<DWORD>(nul - entry) + 1;
  }
  const DWORD none = 0;
  memcpy(entry + field, &none, sizeof none);
}

// The newest entry layout the running Windows knows. Its service takes that
// one and every older one, and refuses a newer one (ERROR_INVALID_SIZE). The
// service's own default entry tells; where it tells no layout (Wine's stub
// answers 0), the version decides.
DWORD NewestKnownLayout(RemoteAccess& service) {
  const DWORD reported = service.DefaultEntrySize();
  for (DWORD layout : {kRasEntrySize2000, kRasEntrySizeMultilink, kRasEntrySize95})
    if (layout <= reported) return layout;
  OSVERSIONINFOA version = PlatformVersionInfo();
  if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) return kRasEntrySize95;
  if (version.dwMajorVersion >= 5) return kRasEntrySize2000;
  // NT 4's service packs brought the multilink fields.
  return version.szCSDVersion[0] ? kRasEntrySizeMultilink : kRasEntrySize95;
}

}  // namespace

DWORD GetRASEntry(const char* entryName) {
  return GuardExport<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [entryName]() -> DWORD {
    if (!entryName) return ERROR_INVALID_PARAMETER;
    CString name(entryName);
    RegistryKey store(kEntryStore, RegistryKey::kKeyAccess);
    RemoteAccess service;

    DWORD size = 0;
    DWORD asked = service.GetEntryProperties(nullptr, nullptr, size);
    // Not even room for the size field: such a buffer cannot be handed over.
    if (size < sizeof(DWORD)) return asked != ERROR_SUCCESS ? asked : static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL);
    std::vector<BYTE> entry(size, 0);
    memcpy(entry.data(), &size, sizeof size);
    DWORD used = size;
    DWORD read = service.GetEntryProperties(name.CStr(), entry.data(), used);
    if (read != ERROR_SUCCESS) return read;

    RegistryValue saved(REG_BINARY, entry.data(), used < size ? used : size, name, false);
    // Opening with the one right that is needed; a create then asks for it
    // too. 0 means saved: an entry read but not stored gets the registry's
    // code, or the host would count it as carried over.
    if ((store.Open(KEY_SET_VALUE) || store.Create(0)) && store.SetValue(saved)) return ERROR_SUCCESS;
    return store.LastError() != ERROR_SUCCESS ? static_cast<DWORD>(store.LastError())
                                              : static_cast<DWORD>(ERROR_WRITE_FAULT);
  });
}

int AddRASEntry() {
  return GuardExport(0, [] {
    RegistryKey store(kEntryStore, RegistryKey::kKeyAccess);
    if (!store.Open(KEY_QUERY_VALUE)) return 0;
    RemoteAccess service;
    BYTE replay[kRasEntrySize2000];
    DWORD newest = 0;  // asked for once there is something to replay
    RegistryValue value;
    for (DWORD index = 0; store.EnumValue(index, kNameRoom, kRasEntrySize2000, value); ++index) {
      // Whatever was stored, the service gets at most one entry's worth,
      // with its size field telling exactly how much.
      DWORD size = value.Size() < sizeof replay ? value.Size() : static_cast<DWORD>(sizeof replay);
      if (newest == 0) newest = NewestKnownLayout(service);
      // An entry saved on a newer Windows goes over in this one's newest
      // layout, its bytes cut there; one in a layout this Windows knows goes
      // as it was stored.
      DWORD layout = 0;
      if (size >= sizeof layout) memcpy(&layout, value.Data(), sizeof layout);
      if (!(IsRasEntryLayout(layout) && layout <= newest) && size > newest) size = newest;
      memset(replay, 0, sizeof replay);
      if (size > 0) memcpy(replay, value.Data(), size);
      memcpy(replay, &size, sizeof size);
      DropAlternatesOutside(replay, size);
      service.SetEntryProperties(value.Name(), replay, size);
    }
    return 0;
  });
}
