// The default phonebook for the two entry-property calls and the entry
// listing, as far as the phonebook exports and a migration host use them:
// the default entry is in the newest layout of the Windows version Wine
// reports, the size field of an entry must name a layout that version knows
// and a reading fills no more than the layout asked for, a listed name names
// one of its two, a written entry must carry what the service requires, and
// the answers are the service's codes.
// State and log: RasDoubleKey.h.

#include <windows.h>

#include <ras.h>
#include <raserror.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RasDoubleKey.h"

namespace {

// RASENTRY's dwSize names its layout, each extending the one before: 1768
// bytes on Windows 95/98 and NT 4 without a service pack, 1796 on NT 4 with
// one, 2088 on Windows 2000 (where the platform header's longer one begins).
// A Windows refuses a newer one than its own.
const DWORD kWindows95Layout = 1768, kNT4ServicePackLayout = 1796, kWindows2000Layout = 2088;
const DWORD kAlternateField = offsetof(RASENTRYA, dwAlternateOffset);
// Longer names are in no phonebook (and would not fit a registry value name).
const size_t kLongestEntryName = RAS_MaxEntryName;

bool IsLayoutSize(DWORD size) {
  return size == kWindows95Layout || size == kNT4ServicePackLayout || size == kWindows2000Layout;
}
// Its default entry too: the size query answers with it.
DWORD OwnLayout() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  bool nt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  if (nt && version.dwMajorVersion >= 5) return kWindows2000Layout;
  // Wine's NT 4 reports "Service Pack 6a".
  return nt && version.szCSDVersion[0] ? kNT4ServicePackLayout : kWindows95Layout;
}
bool IsKnownLayout(DWORD size) { return IsLayoutSize(size) && size <= OwnLayout(); }
// An entry name of 256 characters, and since Windows 2000 flags and a phonebook path behind it.
const DWORD kNameSize95 = 264, kNameSize2000 = 532, kNameRoom = 257;

DWORD Field(const std::vector<BYTE>& bytes, size_t at) {
  DWORD value = 0;
  if (bytes.size() >= at + sizeof value) memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

void SetField(std::vector<BYTE>& bytes, size_t at, DWORD value) { memcpy(bytes.data() + at, &value, sizeof value); }

// The alternate numbers of `bytes` (each with its NUL, the closing empty text
// left out) when its offset names a list that ends within them.
bool AlternatesOf(const std::vector<BYTE>& bytes, std::string& alternates) {
  alternates.clear();
  DWORD at = Field(bytes, kAlternateField);
  if (at == 0) return true;
  while (at < bytes.size()) {
    const BYTE* start = bytes.data() + at;
    const BYTE* nul = static_cast<const BYTE*>(memchr(start, '\0', bytes.size() - at));
    if (!nul) break;
    if (nul == start) return true;
    alternates.append(reinterpret_cast<const char*>(start), nul - start + 1);
    at += static_cast<DWORD>(nul - start) + 1;
  }
  return false;
}

// An entry in `layout`: the fields it has room for, its size field, and its
// alternate numbers behind it, where its offset then points.
std::vector<BYTE> InLayout(const std::vector<BYTE>& stored, DWORD layout) {
  DWORD storedLayout = IsLayoutSize(Field(stored, 0)) ? Field(stored, 0) : kWindows2000Layout;
  std::vector<BYTE> entry(layout, 0);
  memcpy(entry.data(), stored.data(), std::min<size_t>({layout, storedLayout, stored.size()}));
  SetField(entry, 0, layout);
  std::string alternates;
  AlternatesOf(stored, alternates);
  SetField(entry, kAlternateField, alternates.empty() ? 0 : layout);
  if (!alternates.empty()) {
    entry.insert(entry.end(), alternates.begin(), alternates.end());
    entry.push_back(0);
  }
  return entry;
}

// What RasSetEntryProperties requires of an entry (Microsoft's reference:
// "The caller must provide values for the following members": the size,
// the local phone number, the device name and type, the framing protocol,
// and the options), else ERROR_INVALID_PARAMETER.
bool HasRequiredMembers(const RASENTRYA& entry) {
  const DWORD framing = entry.dwFramingProtocol;
  return entry.szLocalPhoneNumber[0] && entry.szDeviceName[0] && entry.szDeviceType[0] &&
         (framing == RASFP_Ppp || framing == RASFP_Slip || framing == RASFP_Ras);
}

HKEY Open(const char* below) {
  std::string path = RasDoubleKey() + (*below ? "\\" : "") + below;
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

bool Setting(const char* name, DWORD& value) {
  HKEY key = Open("");
  DWORD size = sizeof value;
  bool found = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) == 0;
  RegCloseKey(key);
  return found;
}

bool FindEntry(const char* name, std::vector<BYTE>& bytes) {
  HKEY key = Open("Phonebook");
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    bytes.assign(size, 0);
    status = RegQueryValueExA(key, name, nullptr, nullptr, bytes.data(), &size);
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

std::vector<std::string> EntryNames() {
  HKEY key = Open("Phonebook");
  std::vector<std::string> names;
  char name[16384];
  for (DWORD length = sizeof name; RegEnumValueA(key, static_cast<DWORD>(names.size()), name, &length, nullptr,
                                                 nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       length = sizeof name)
    names.emplace_back(name, length);
  RegCloseKey(key);
  return names;
}

void SaveEntry(const char* name, const void* bytes, DWORD size) {
  HKEY key = Open("Phonebook");
  RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(bytes), size);
  RegCloseKey(key);
}

// The process's error mode while this library was being loaded.
UINT g_errorModeAtLoad = 0;

struct Call {
  const char* function;
  const char* phonebook;
  const char* entry;
  bool deviceInfo;
  DWORD size;
  DWORD sizeOut;
  const void* bytes;
  DWORD byteCount;

  DWORD End(DWORD result) const {
    DWORD record = 1;
    if (Setting("Record", record) && record == 0) return result;
    HKEY calls = Open("Calls");
    DWORD count = 0;
    RegQueryInfoKeyA(calls, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    char name[16];
    snprintf(name, sizeof name, "%05lu", static_cast<unsigned long>(count));
    HKEY key = nullptr;
    RegCreateKeyExA(calls, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    auto text = [key](const char* value, const char* data) {
      if (data) RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), strlen(data) + 1);
    };
    auto number = [key](const char* value, DWORD data) {
      RegSetValueExA(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    };
    text("Function", function);
    text("Phonebook", phonebook);
    text("Entry", entry);
    if (deviceInfo) number("DeviceInfo", 1);
    number("Size", size);
    number("SizeOut", sizeOut);
    if (bytes) RegSetValueExA(key, "Bytes", 0, REG_BINARY, static_cast<const BYTE*>(bytes), byteCount);
    number("Result", result);
    number("ErrorModeAtLoad", g_errorModeAtLoad);
    RegCloseKey(key);
    RegCloseKey(calls);
    return result;
  }
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) SetErrorMode(g_errorModeAtLoad = SetErrorMode(0));
  return TRUE;
}

// Declared as the platform header declares them.
extern "C" __declspec(dllexport) DWORD WINAPI RasGetEntryPropertiesA(const char* phonebook, const char* entry,
                                                                    RASENTRYA* buffer, DWORD* size, BYTE* deviceInfo,
                                                                    DWORD* deviceInfoSize) {
  Call call = {"RasGetEntryPropertiesA", phonebook, entry, deviceInfo || deviceInfoSize, 0, 0, nullptr, 0};
  if (!size) return call.End(ERROR_INVALID_PARAMETER);
  call.size = call.sizeOut = *size;
  DWORD layout = 0;
  if (buffer) {
    // Never read past what the caller said it has.
    if (*size >= sizeof layout) memcpy(&layout, buffer, sizeof layout);
    // The reference's code for a size field the platform does not take; it
    // names no other for Windows 95/98.
    if (!IsKnownLayout(layout)) return call.End(ERROR_INVALID_SIZE);
  }
  // A null or empty name reads the default entry (Microsoft's reference:
  // "If an empty string is specified, the function returns default values"):
  // its size field, all else zero here.
  std::vector<BYTE> stored(OwnLayout(), 0);
  SetField(stored, 0, OwnLayout());
  if (entry && *entry && (strlen(entry) > kLongestEntryName || !FindEntry(entry, stored)))
    return call.End(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
  // The layout the caller named, and the alternate numbers behind it: a
  // caller of an older layout gets no more than that layout.
  std::vector<BYTE> reply = InLayout(stored, buffer ? layout : OwnLayout());
  DWORD needed = static_cast<DWORD>(reply.size());
  if (!buffer || *size < needed) {
    DWORD result = ERROR_BUFFER_TOO_SMALL;
    if (!entry && !buffer && Setting("QuerySize", needed)) Setting("QueryResult", result);
    *size = call.sizeOut = needed;
    return call.End(result);
  }
  memcpy(buffer, reply.data(), needed);
  *size = call.sizeOut = needed;
  call.bytes = buffer;
  call.byteCount = needed;
  return call.End(ERROR_SUCCESS);
}

extern "C" __declspec(dllexport) DWORD WINAPI RasSetEntryPropertiesA(const char* phonebook, const char* entry,
                                                                    RASENTRYA* buffer, DWORD size, BYTE* deviceInfo,
                                                                    DWORD deviceInfoSize) {
  Call call = {"RasSetEntryPropertiesA", phonebook, entry, deviceInfo || deviceInfoSize, size, size, buffer, size};
  if (!entry || !*entry || strlen(entry) > kLongestEntryName) return call.End(ERROR_INVALID_NAME);
  if (!buffer) return call.End(ERROR_BUFFER_INVALID);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(buffer);
  std::vector<BYTE> given(bytes, bytes + size);
  DWORD layout = Field(given, 0);
  if (!IsKnownLayout(layout) || size < layout) return call.End(ERROR_INVALID_SIZE);
  RASENTRYA fields = {};
  memcpy(&fields, given.data(), layout);
  if (!HasRequiredMembers(fields)) return call.End(ERROR_INVALID_PARAMETER);
  // The service reads the alternate numbers from wherever the offset points
  // up to their empty text; a list that does not end within the bytes handed
  // over would be read past them, which a test must see. Not a documented
  // check of Windows (which would read on): the code is this stand-in's.
  std::string alternates;
  if (!AlternatesOf(given, alternates)) return call.End(ERROR_BUFFER_INVALID);
  // Kept as a reading in the caller's layout returns it.
  given = InLayout(given, layout);
  SaveEntry(entry, given.data(), static_cast<DWORD>(given.size()));
  return call.End(ERROR_SUCCESS);
}

extern "C" __declspec(dllexport) DWORD WINAPI RasEnumEntriesA(const char*, const char* phonebook, RASENTRYNAMEA* names,
                                                             DWORD* size, DWORD* count) {
  Call call = {"RasEnumEntriesA", phonebook, nullptr, false, 0, 0, nullptr, 0};
  if (!size || !count) return call.End(ERROR_INVALID_PARAMETER);
  call.size = call.sizeOut = *size;
  DWORD layout = kNameSize2000;
  if (names) {
    if (*size >= sizeof layout) memcpy(&layout, names, sizeof layout);
    if (layout != kNameSize95 && layout != kNameSize2000) return call.End(ERROR_INVALID_SIZE);
  }
  std::vector<std::string> entries = EntryNames();
  DWORD needed = static_cast<DWORD>(entries.size()) * layout;
  *count = static_cast<DWORD>(entries.size());
  if (needed > 0 && (!names || *size < needed)) {
    *size = call.sizeOut = needed;
    return call.End(ERROR_BUFFER_TOO_SMALL);
  }
  std::vector<BYTE> listed(needed, 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    BYTE* record = listed.data() + i * layout;
    memcpy(record, &layout, sizeof layout);
    memcpy(record + sizeof layout, entries[i].c_str(), std::min<size_t>(entries[i].size(), kNameRoom - 1));
  }
  if (needed > 0) memcpy(names, listed.data(), needed);
  *size = call.sizeOut = needed;
  call.bytes = names;
  call.byteCount = needed;
  return call.End(ERROR_SUCCESS);
}
