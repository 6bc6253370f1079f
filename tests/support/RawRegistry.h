#pragma once
// The registry as the platform shows it, for checking what the code under
// test did: plain Reg* calls, no classes of ours.
//
// ScratchKey gives each test a key of its own, named after the program and
// the test (programs run in parallel in one Wine prefix), made empty at the
// start and deleted with its whole tree at the end.

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

struct RawValue {
  LONG status = ERROR_FILE_NOT_FOUND;  // of RegOpenKeyExA or RegQueryValueExA
  DWORD type = REG_NONE;
  std::vector<BYTE> data;

  bool Found() const { return status == ERROR_SUCCESS; }
  // The data as text, NULs included.
  std::string Bytes() const { return std::string(data.begin(), data.end()); }
  // The data as a number: 0 unless it is exactly four bytes.
  DWORD Dword() const {
    DWORD number = 0;
    if (data.size() == sizeof number) memcpy(&number, data.data(), sizeof number);
    return number;
  }
};

RawValue ReadRawValue(HKEY root, const std::string& subkey, const std::string& name);
// Opens with KEY_QUERY_VALUE; the status of RegOpenKeyExA.
LONG RawOpenStatus(HKEY root, const std::string& subkey);
bool RawKeyExists(HKEY root, const std::string& subkey);
// Creates the key and the keys above it.
void RawCreateKey(HKEY root, const std::string& subkey);
void RawSetValue(HKEY root, const std::string& subkey, const std::string& name, DWORD type, const void* data,
                 DWORD size);
void RawSetText(HKEY root, const std::string& subkey, const std::string& name, const std::string& text);
void RawSetDword(HKEY root, const std::string& subkey, const std::string& name, DWORD number);
// RegDeleteTreeA (loaded by name: the headers we build with predate it).
LONG RawDeleteTree(HKEY root, const std::string& subkey);
// Names of the direct subkeys, in the platform's order.
std::vector<std::string> RawSubkeyNames(HKEY root, const std::string& subkey);

// "RegistryTests-win98" for RegistryTests-win98.exe.
std::string ProgramName();

class ScratchKey {
 public:
  // <under>\QELTests\<program>\<suite>.<test>
  explicit ScratchKey(HKEY root = HKEY_CURRENT_USER, const std::string& under = "Software");
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  HKEY Root() const { return root_; }
  // Below the root, e.g. "Software\QELTests\RegistryTests\Key.Open".
  const std::string& Path() const { return path_; }
  // Path() + "\" + below (or Path() for an empty `below`).
  std::string Below(const std::string& below) const;
  // The text form with the root's abbreviation, e.g. "HKCU\Software\...".
  std::string Text(const std::string& below = "") const;

 private:
  HKEY root_;
  std::string path_;
};

// Takes every right away from a key (an empty DACL); its owner can still
// give them back, which the destructor does.
class DeniedKey {
 public:
  DeniedKey(HKEY root, const std::string& subkey);
  ~DeniedKey();
  DeniedKey(const DeniedKey&) = delete;
  DeniedKey& operator=(const DeniedKey&) = delete;
  bool Denied() const { return denied_; }

 private:
  HKEY root_;
  std::string subkey_;
  bool denied_;
};
