// The default phonebook of Windows 2000 for the two entry-property calls and
// the entry listing, as far as the phonebook exports and a migration host use
// them: the default entry is 2088 bytes, the size field of an entry must name
// one of the service's three layouts, a listed name one of its two, and the
// answers are the service's codes. State and log: RasDoubleKey.h.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RasDoubleKey.h"

namespace {

const DWORD kDefaultEntrySize = 2088;
const DWORD kBufferTooSmall = 603, kBufferInvalid = 610, kCannotFindEntry = 623, kInvalidSize = 632;
// Longer names are in no phonebook (and would not fit a registry value name).
const size_t kLongestEntryName = 256;

bool IsLayoutSize(DWORD size) { return size == 1768 || size == 1796 || size == 2088; }
// An entry name of 256 characters, and since Windows 2000 flags and a phonebook path behind it.
const DWORD kNameSize95 = 264, kNameSize2000 = 532, kNameRoom = 257;

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
    RegCloseKey(key);
    RegCloseKey(calls);
    return result;
  }
};

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI RasGetEntryPropertiesA(const char* phonebook, const char* entry,
                                                                    void* buffer, DWORD* size, BYTE* deviceInfo,
                                                                    DWORD* deviceInfoSize) {
  Call call = {"RasGetEntryPropertiesA", phonebook, entry, deviceInfo || deviceInfoSize, 0, 0, nullptr, 0};
  if (!size) return call.End(ERROR_INVALID_PARAMETER);
  call.size = call.sizeOut = *size;
  DWORD layout = 0;
  if (buffer) {
    // Never read past what the caller said it has.
    if (*size >= sizeof layout) memcpy(&layout, buffer, sizeof layout);
    if (!IsLayoutSize(layout)) return call.End(kInvalidSize);
  }
  std::vector<BYTE> stored(kDefaultEntrySize, 0);
  if (entry && (strlen(entry) > kLongestEntryName || !FindEntry(entry, stored))) return call.End(kCannotFindEntry);
  // Entries with alternate numbers behind them need more than the default.
  DWORD needed = stored.size() > kDefaultEntrySize ? static_cast<DWORD>(stored.size()) : kDefaultEntrySize;
  if (!buffer || *size < needed) {
    DWORD result = kBufferTooSmall;
    if (!entry && !buffer && Setting("QuerySize", needed)) Setting("QueryResult", result);
    *size = call.sizeOut = needed;
    return call.End(result);
  }
  stored.resize(needed, 0);
  memcpy(buffer, stored.data(), needed);
  memcpy(buffer, &layout, sizeof layout);
  *size = call.sizeOut = needed;
  call.bytes = buffer;
  call.byteCount = needed;
  return call.End(ERROR_SUCCESS);
}

extern "C" __declspec(dllexport) DWORD WINAPI RasSetEntryPropertiesA(const char* phonebook, const char* entry,
                                                                    void* buffer, DWORD size, BYTE* deviceInfo,
                                                                    DWORD deviceInfoSize) {
  Call call = {"RasSetEntryPropertiesA", phonebook, entry, deviceInfo || deviceInfoSize, size, size, buffer, size};
  if (!entry || !*entry || strlen(entry) > kLongestEntryName) return call.End(ERROR_INVALID_NAME);
  if (!buffer) return call.End(kBufferInvalid);
  DWORD layout = 0;
  if (size >= sizeof layout) memcpy(&layout, buffer, sizeof layout);
  if (!IsLayoutSize(layout) || size < layout) return call.End(kInvalidSize);
  SaveEntry(entry, buffer, size);
  return call.End(ERROR_SUCCESS);
}

extern "C" __declspec(dllexport) DWORD WINAPI RasEnumEntriesA(const char*, const char* phonebook, void* names,
                                                             DWORD* size, DWORD* count) {
  Call call = {"RasEnumEntriesA", phonebook, nullptr, false, 0, 0, nullptr, 0};
  if (!size || !count) return call.End(ERROR_INVALID_PARAMETER);
  call.size = call.sizeOut = *size;
  DWORD layout = kNameSize2000;
  if (names) {
    if (*size >= sizeof layout) memcpy(&layout, names, sizeof layout);
    if (layout != kNameSize95 && layout != kNameSize2000) return call.End(kInvalidSize);
  }
  std::vector<std::string> entries = EntryNames();
  DWORD needed = static_cast<DWORD>(entries.size()) * layout;
  *count = static_cast<DWORD>(entries.size());
  if (needed > 0 && (!names || *size < needed)) {
    *size = call.sizeOut = needed;
    return call.End(kBufferTooSmall);
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
