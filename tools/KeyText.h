#pragma once
// A registry key named by text as the libraries name it: a root name, long
// ("HKEY_USERS") or short ("HKU") and matched exactly, then "\" and the
// path below it. The host tools read back what the libraries wrote with it.

#include <windows.h>

#include <string>

struct KeyText {
  HKEY root = nullptr;
  std::string rootName;  // the long name
  std::string subkey;

  std::string Text() const { return subkey.empty() ? rootName : rootName + "\\" + subkey; }
};

// False for a text whose head names no root.
inline bool ParseKeyText(const std::string& text, KeyText* key) {
  static const struct {
    const char* name;
    const char* shortName;
    HKEY handle;
  } kRoots[] = {
      {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT}, {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
      {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", "HKU", HKEY_USERS},
      {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
  };
  size_t separator = text.find('\\');
  std::string head = text.substr(0, separator);
  for (const auto& root : kRoots) {
    if (head != root.name && head != root.shortName) continue;
    key->root = root.handle;
    key->rootName = root.name;
    key->subkey = separator == std::string::npos ? "" : text.substr(separator + 1);
    return true;
  }
  return false;
}
