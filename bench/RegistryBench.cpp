// Our registry code against the bare platform calls doing the same work, in
// one process and one Wine prefix. Prints the time of each and the ratio
// (ours / bare); the median of several alternating rounds counts.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "CString.h"
#include "DecoratedExports.h"
#include "RegistryKey.h"
#include "RegistrySubkeyIterator.h"
#include "RegistryValueIterator.h"

namespace {

using bench::Report;
using bench::Result;
using bench::Timed;

const char kBase[] = "Software\\QELBench";
const int kEntries = 10000;
const int kRounds = 5;

std::string Sub(const std::string& below) { return std::string(kBase) + "\\" + below; }

HKEY CreateRaw(const std::string& subkey) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

typedef LONG(WINAPI* DeleteTreeFn)(HKEY, const char*);
DeleteTreeFn DeleteTree() {
  return reinterpret_cast<DeleteTreeFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteTreeA")));
}

// 100 keys of 99 subkeys each under Tree: 10,000 keys below it.
void BuildTree() {
  for (int i = 0; i < 100; ++i) {
    HKEY branch = CreateRaw(Sub("Tree\\branch" + std::to_string(i)));
    for (int j = 0; j < 99; ++j) {
      HKEY leaf = nullptr;
      RegCreateKeyExA(branch, ("leaf" + std::to_string(j)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &leaf,
                      nullptr);
      RegCloseKey(leaf);
    }
    RegCloseKey(branch);
  }
}

}  // namespace

int main() {
  DeleteTreeFn deleteTree = DeleteTree();
  if (!deleteTree) {
    printf("RegDeleteTreeA is not there\n");
    return 1;
  }
  deleteTree(HKEY_CURRENT_USER, kBase);
  RegCloseKey(CreateRaw(kBase));

  HMODULE printer = LoadLibraryA("QELPrinter.dll");
  HMODULE systemExt = LoadLibraryA("QELSystemExt.dll");
  typedef bool (*PrinterWrite)(const CString&, const CString&, const CString&);
  typedef void (*ExtWrite)(const std::string&, const std::string&, const std::string&);
  PrinterWrite printerWrite = reinterpret_cast<PrinterWrite>(
      reinterpret_cast<void*>(GetProcAddress(printer, kPrinterWriteRegistryValue)));
  ExtWrite extWrite =
      reinterpret_cast<ExtWrite>(reinterpret_cast<void*>(GetProcAddress(systemExt, "WriteRegistryValue")));
  if (!printerWrite || !extWrite) {
    printf("the DLLs or their exports are missing (error %lu)\n", GetLastError());
    return 1;
  }

  Result deletion{"DeleteSubKey vs RegDeleteTreeA, tree of 10,000 keys", {}, {}};
  Result printerWrites{"QELPrinter WriteRegistryValue vs create+set+close, 10,000", {}, {}};
  Result extWrites{"QELSystemExt WriteRegistryValue vs create+set+close, 10,000", {}, {}};
  Result keyWalk{"subkey walk vs RegEnumKeyExA loop, 10,000 keys", {}, {}};
  Result valueWalk{"value walk (data read) vs RegEnumValueA loop, 10,000", {}, {}};
  Result nameWalk{"value walk (names only) vs RegEnumValueA names, 10,000", {}, {}};

  // Texts made before the clock starts, as a host would have them.
  const std::string writeKey = Sub("Writes\\QELPrinter");
  std::vector<std::string> names;
  std::vector<CString> cnames;
  for (int i = 0; i < kEntries; ++i) {
    names.push_back("value" + std::to_string(i % 100));
    cnames.push_back(CString(names.back().c_str()));
  }
  const CString cWriteKey(writeKey.c_str()), cText("true");
  const std::string text = "true";

  // The walks read a key with 10,000 subkeys and 10,000 DWORD values.
  {
    HKEY walked = CreateRaw(Sub("Walked"));
    for (int i = 0; i < kEntries; ++i) {
      std::string name = "entry" + std::to_string(i);
      HKEY sub = nullptr;
      RegCreateKeyExA(walked, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
      RegCloseKey(sub);
      DWORD number = static_cast<DWORD>(i);
      RegSetValueExA(walked, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    }
    RegCloseKey(walked);
  }
  RegistryKey walkedKey(CString(("HKCU\\" + Sub("Walked")).c_str()), RegistryKey::kKeyAccess);
  walkedKey.Open(RegistryKey::kKeyAccess);
  HKEY walkedRaw = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, Sub("Walked").c_str(), 0, RegistryKey::kKeyAccess, &walkedRaw);

  for (int round = 0; round < kRounds; ++round) {
    BuildTree();
    deletion.ours.push_back(Timed([&] {
      RegistryKey base(CString(("HKCU\\" + std::string(kBase)).c_str()), RegistryKey::kKeyAccess);
      if (!base.Open(RegistryKey::kKeyAccess) || !base.DeleteSubKey("Tree")) printf("DeleteSubKey failed\n");
    }));
    BuildTree();
    deletion.bare.push_back(Timed([&] {
      HKEY base = nullptr;
      RegOpenKeyExA(HKEY_CURRENT_USER, kBase, 0, RegistryKey::kKeyAccess, &base);
      if (deleteTree(base, "Tree") != ERROR_SUCCESS) printf("RegDeleteTreeA failed\n");
      RegCloseKey(base);
    }));

    auto bareWrites = [&] {
      for (int i = 0; i < kEntries; ++i) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, writeKey.c_str(), 0, nullptr, 0, RegistryKey::kKeyAccess, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
          continue;
        RegSetValueExA(key, names[i].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
      }
    };
    printerWrites.ours.push_back(Timed([&] {
      for (int i = 0; i < kEntries; ++i) printerWrite(cWriteKey, cnames[i], cText);
    }));
    printerWrites.bare.push_back(Timed(bareWrites));
    extWrites.ours.push_back(Timed([&] {
      for (int i = 0; i < kEntries; ++i) extWrite(writeKey, names[i], text);
    }));
    extWrites.bare.push_back(Timed(bareWrites));

    size_t seen = 0;
    keyWalk.ours.push_back(Timed([&] {
      for (RegistrySubkeyIterator it = walkedKey.SubkeysBegin(), end = walkedKey.SubkeysEnd(); it != end; ++it)
        seen += it->SubkeyPath().Length();
    }));
    keyWalk.bare.push_back(Timed([&] {
      char name[256];
      for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(walkedRaw, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        seen += length;
      }
    }));

    valueWalk.ours.push_back(Timed([&] {
      for (RegistryValueIterator it = walkedKey.ValuesBegin(), end = walkedKey.ValuesEnd(); it != end; ++it)
        seen += it->Size();
    }));
    valueWalk.bare.push_back(Timed([&] {
      char name[256];
      BYTE data[64];
      for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name, size = sizeof data, type = 0;
        if (RegEnumValueA(walkedRaw, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        seen += size;
      }
    }));

    nameWalk.ours.push_back(Timed([&] {
      for (RegistryValueIterator it = walkedKey.ValuesBegin(), end = walkedKey.ValuesEnd(); it != end; ++it)
        seen += it.Name().Length();
    }));
    nameWalk.bare.push_back(Timed([&] {
      char name[256];
      for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(walkedRaw, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        seen += length;
      }
    }));
    if (seen == 0) printf("nothing was walked\n");
  }

  RegCloseKey(walkedRaw);
  walkedKey.Close();
  deleteTree(HKEY_CURRENT_USER, kBase);
  RegDeleteKeyA(HKEY_CURRENT_USER, kBase);

  printf("%-58s %12s %12s %6s\n", "median of 5 rounds", "ours", "bare", "ratio");
  for (const Result* r : {&deletion, &printerWrites, &extWrites, &keyWalk, &valueWalk, &nameWalk}) Report(*r);
  return 0;
}
