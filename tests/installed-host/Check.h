#pragma once
// What the installed hosts share: a count of the exports called and of the
// checks that failed, and the registry read back with plain platform calls.
#include <windows.h>

#include <cstdio>
#include <string>

struct Check {
  int called = 0;
  int failed = 0;

  void That(bool ok, const char* what) {
    if (!ok) {
      ++failed;
      printf("FAILED: %s\n", what);
    }
  }
  // The report line the check script looks for.
  int Finish(const char* dll) {
    if (failed) {
      printf("%s: %d of the checks failed\n", dll, failed);
      return 1;
    }
    printf("%s: every export called (%d), each as its header says\n", dll, called);
    return 0;
  }
};

// The value's bytes, or "(missing)".
inline std::string ReadValue(HKEY root, const std::string& key, const char* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return "(missing)";
  char data[4096];
  DWORD size = sizeof data;
  LONG status = RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(opened);
  return status == ERROR_SUCCESS ? std::string(data, size) : "(missing)";
}

inline bool KeyExists(HKEY root, const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}
