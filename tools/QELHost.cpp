// QELHost: calls one export of QELPrinter.dll or QELSystemExt.dll by hand,
// the way the migration host calls it, and shows what the host would see:
// the integer result, every registry value the export writes for the host
// (read back with plain registry calls) and the trace lines of the call.
//
//   QELHost.exe --help
//   QELHost.exe --version
//   QELHost.exe [--user <key path>] <dll> <export> [<argument>...]
//
// Run `QELHost.exe --help` for the exports and their arguments.
#include <windows.h>
#include <winver.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CString.h"
#include "DecoratedExports.h"
#include "KeyText.h"
#include "TraceCapture.h"

namespace {

enum ExitCode { kRan = 0, kUsage = 2, kNoLibrary = 3 };

// How an export takes its arguments and gives its result.
enum class Form {
  IntOfText,       // int f(const char*)
  CodeOfText,      // DWORD f(const char*)
  IntOfNothing,    // int f()
  HresultStdcall,  // HRESULT __stdcall f()
  BoolOfCStrings,  // bool f(const CString&, const CString&, const CString&)
  VoidOf3Strings,  // void f(const std::string&, const std::string&, const std::string&)
  VoidOf2Strings,  // void f(const std::string&, const std::string&)
};

// Where a value the export writes for the host lies.
enum class Under {
  CurrentUser,  // below the library's current-user root (--user, else HKCU)
  RunningUser,  // below HKEY_CURRENT_USER whatever the root says
};

const char kPrinterKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELPrinter";
const char kDialUpKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\DialUp";
const char kIconKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\QELIcon";
const char kRasKey[] = "Software\\Corvane Systems\\Hollowmarch\\QELScriptExtension\\RASEntries";
const char kPolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Value names; "$1"/"$2" stand for the call's first or second argument.
struct Written {
  Under under;
  const char* key;      // "$1": the first argument
  const char* values;   // names separated by "|"; "$2": the second argument;
                        // empty: the key itself (shown as present or missing)
};

struct Export {
  const char* dll;
  const char* name;
  const char* symbol;
  Form form;
  const char* arguments;  // for --help; also gives the argument count
  int count;
  std::vector<Written> writes;
};

const std::vector<Export>& Exports() {
  static const std::vector<Export> table = {
      {"QELPrinter", "InstallPrinter", "InstallPrinter", Form::IntOfText,
       "\"<printer>|<driver model>|<port>|<comment or NULL>|<share or NULL>\"", 1,
       {{Under::CurrentUser, kPrinterKey, "Successful Install"}}},
      {"QELPrinter", "SetCurrentUserKey", "SetCurrentUserKey", Form::IntOfText, "<registry key path>", 1, {}},
      {"QELPrinter", "WriteRegistryValue", kPrinterWriteRegistryValue, Form::BoolOfCStrings,
       "<key path> <value name> <text>", 3, {{Under::CurrentUser, "$1", "$2"}}},
      {"QELSystemExt", "SetCurrentUserKey", "SetCurrentUserKey", Form::IntOfText, "<registry key path>", 1, {}},
      {"QELSystemExt", "WriteRegistryValue", "WriteRegistryValue", Form::VoidOf3Strings,
       "<key path> <value name> <text>", 3, {{Under::CurrentUser, "$1", "$2"}}},
      {"QELSystemExt", "DeleteRegistryValue", "DeleteRegistryValue", Form::VoidOf2Strings, "<key path> <value name>",
       2, {{Under::RunningUser, "$1", "$2"}}},
      {"QELSystemExt", "DeleteRegistryKey", kSystemExtDeleteRegistryKey, Form::VoidOf2Strings,
       "<key path> <subkey name>", 2, {{Under::CurrentUser, "$1\\$2", ""}}},
      {"QELSystemExt", "AddDialUp9x", "AddDialUp9x", Form::IntOfNothing, "", 0,
       {{Under::CurrentUser, kDialUpKey, "TCP|VRedir|VServer|VServer2|NetTrans"}}},
      {"QELSystemExt", "isBindingMSTCP", "isBindingMSTCP", Form::IntOfText, "<binding name>", 1,
       {{Under::CurrentUser, kDialUpKey, "TCPBinding"}}},
      {"QELSystemExt", "GetRASEntry", "GetRASEntry", Form::CodeOfText, "<phonebook entry name>", 1,
       {{Under::RunningUser, kRasKey, "$1"}}},
      {"QELSystemExt", "AddRASEntry", "AddRASEntry", Form::IntOfNothing, "", 0, {{Under::RunningUser, kRasKey, "*"}}},
      {"QELSystemExt", "GetShellIcon95to98NT", "GetShellIcon95to98NT", Form::IntOfText, "<icon index>", 1,
       {{Under::CurrentUser, kIconKey, "New95"}}},
      {"QELSystemExt", "GetShellIcon98NTto2k", "GetShellIcon98NTto2k", Form::IntOfText, "<icon index>", 1,
       {{Under::CurrentUser, kIconKey, "New98NT"}}},
      {"QELSystemExt", "InstallFileShare2k", "InstallFileShare2k", Form::IntOfNothing, "", 0, {}},
      {"QELSystemExt", "DllRegisterServer", "DllRegisterServer", Form::HresultStdcall, "", 0,
       {{Under::RunningUser, kPolicyKey, "NoSaveSettings"}}},
  };
  return table;
}

void PrintHelp() {
  printf(
      "QELHost: calls one export of QELPrinter.dll or QELSystemExt.dll as the migration host does,\n"
      "then prints its result, the registry values it wrote for the host, and its trace lines.\n"
      "\n"
      "usage: QELHost.exe [--user <key path>] <dll> <export> [<argument>...]\n"
      "       QELHost.exe --version   the version resources of QELHost.exe and of the two DLLs it loads\n"
      "  <dll>          QELPrinter or QELSystemExt (looked for beside QELHost.exe), or a path to either\n"
      "  --user <path>  call the DLL's SetCurrentUserKey(<path>) first, as the host does for another\n"
      "                 user (\"HKEY_USERS\\<sid>\"); values below the current-user root are then read there\n"
      "  --null         as an argument of a text export: pass a null pointer\n"
      "\n"
      "exports:\n");
  for (const Export& e : Exports()) printf("  %-12s %-21s %s\n", e.dll, e.name, e.count ? e.arguments : "(none)");
  printf(
      "\n"
      "exit status: 0 when the export was called; 2 for an unknown export or wrong arguments;\n"
      "3 when the DLL cannot be loaded or does not export the name (for --version: when either DLL\n"
      "cannot be loaded).\n");
}

// ---- the registry as the host reads it back ---------------------------------

KeyText Below(const KeyText& base, const std::string& subkey) {
  KeyText key = base;
  std::string rest = subkey;
  while (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
  if (!rest.empty()) key.subkey = key.subkey.empty() ? rest : key.subkey + "\\" + rest;
  return key;
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    default: return "other type";
  }
}

void PrintData(DWORD type, const std::vector<BYTE>& data) {
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::string text(data.begin(), data.end());
    text = text.substr(0, text.find('\0'));
    printf("\"%s\" (%s, %u bytes)\n", text.c_str(), TypeName(type), static_cast<unsigned>(data.size()));
    return;
  }
  if (type == REG_DWORD && data.size() == 4) {
    DWORD number;
    memcpy(&number, data.data(), 4);
    printf("%lu (REG_DWORD)\n", static_cast<unsigned long>(number));
    return;
  }
  printf("%u bytes (%s):", static_cast<unsigned>(data.size()), TypeName(type));
  for (size_t i = 0; i < data.size() && i < 16; ++i) printf(" %02x", data[i]);
  printf(data.size() > 16 ? " ...\n" : "\n");
}

// One value, or every value of the key for "*".
void ShowValues(const KeyText& key, const std::string& name) {
  HKEY opened = nullptr;
  LONG status = RegOpenKeyExA(key.root, key.subkey.c_str(), 0, KEY_QUERY_VALUE, &opened);
  if (name.empty()) {
    printf("    %s: %s\n", key.Text().c_str(), status == ERROR_SUCCESS ? "present" : "missing");
    if (status == ERROR_SUCCESS) RegCloseKey(opened);
    return;
  }
  if (status != ERROR_SUCCESS) {
    printf("    %s\\%s: key missing (%ld)\n", key.Text().c_str(), name.c_str(), status);
    return;
  }
  std::vector<std::string> names;
  if (name == "*") {
    char buffer[16384];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof buffer;
      if (RegEnumValueA(opened, i, buffer, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(buffer, length);
    }
    if (names.empty()) printf("    %s: no values\n", key.Text().c_str());
  } else {
    names.push_back(name);
  }
  for (const std::string& value : names) {
    DWORD type = 0, size = 0;
    status = RegQueryValueExA(opened, value.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (status == ERROR_SUCCESS && size > 0)
      status = RegQueryValueExA(opened, value.c_str(), nullptr, &type, data.data(), &size);
    printf("    %s\\%s = ", key.Text().c_str(), value.empty() ? "(default)" : value.c_str());
    if (status != ERROR_SUCCESS) {
      printf("missing (%ld)\n", status);
    } else {
      data.resize(size);
      PrintData(type, data);
    }
  }
  RegCloseKey(opened);
}

std::string Substitute(const std::string& pattern, const std::vector<std::string>& args) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '$' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
      size_t index = static_cast<size_t>(pattern[i + 1] - '1');
      if (index < args.size()) out += args[index];
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

// ---- the call ----------------------------------------------------------------

template <class Fn>
Fn Symbol(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Calls the export, which the module is known to have, and prints its result.
void Call(HMODULE module, const Export& e, const std::vector<std::string>& args, const std::vector<bool>& nulls) {
  auto text = [&](size_t i) { return nulls[i] ? nullptr : args[i].c_str(); };
  switch (e.form) {
    case Form::IntOfText:
      printf("  result: %d\n", Symbol<int (*)(const char*)>(module, e.symbol)(text(0)));
      break;
    case Form::CodeOfText:
      printf("  result: %lu\n",
             static_cast<unsigned long>(Symbol<DWORD (*)(const char*)>(module, e.symbol)(text(0))));
      break;
    case Form::IntOfNothing:
      printf("  result: %d\n", Symbol<int (*)()>(module, e.symbol)());
      break;
    case Form::HresultStdcall:
      printf("  result: 0x%08lx\n",
             static_cast<unsigned long>(Symbol<HRESULT(__stdcall*)()>(module, e.symbol)()));
      break;
    case Form::BoolOfCStrings: {
      CString a(args[0].c_str()), b(args[1].c_str()), c(args[2].c_str());
      bool stored = Symbol<bool (*)(const CString&, const CString&, const CString&)>(module, e.symbol)(a, b, c);
      printf("  result: %s\n", stored ? "true" : "false");
      break;
    }
    case Form::VoidOf3Strings:
      Symbol<void (*)(const std::string&, const std::string&, const std::string&)>(module, e.symbol)(
          args[0], args[1], args[2]);
      printf("  result: (none)\n");
      break;
    case Form::VoidOf2Strings:
      Symbol<void (*)(const std::string&, const std::string&)>(module, e.symbol)(args[0], args[1]);
      printf("  result: (none)\n");
      break;
  }
}

std::string LibraryFile(const std::string& dll) {
  if (dll.find('\\') != std::string::npos || dll.find('/') != std::string::npos) return dll;
  std::string name = dll;
  if (name.size() < 4 || _stricmp(name.c_str() + name.size() - 4, ".dll") != 0) name += ".dll";
  // Beside this program, as the host keeps them.
  char self[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder(self, length < MAX_PATH ? length : 0);
  size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? name : folder.substr(0, slash + 1) + name;
}

// "QELPrinter" for "C:\x\qelprinter.dll".
std::string LibraryKind(const std::string& file) {
  size_t slash = file.find_last_of("\\/");
  std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1);
  for (const char* kind : {"QELPrinter", "QELSystemExt"}) {
    std::string withDll = std::string(kind) + ".dll";
    if (_stricmp(name.c_str(), kind) == 0 || _stricmp(name.c_str(), withDll.c_str()) == 0) return kind;
  }
  return "";
}

// ---- versions -----------------------------------------------------------------

std::string Dotted(DWORD high, DWORD low) {
  char text[32];
  snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
  return text;
}

std::string ModuleFile(HMODULE module) {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

// The file's version resource as an inventory shows it: the numbers that
// installers compare, then each text of the block its translation names.
void PrintVersion(const char* name, const std::string& file) {
  printf("%s (%s)\n", name, file.c_str());
  DWORD handle = 0;  // Windows 95 passes where it found the resource on to GetFileVersionInfoA
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  std::vector<char> block(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  WORD* translation = nullptr;
  UINT length = 0, pairs = 0;
  if (!size || !GetFileVersionInfoA(file.c_str(), handle, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed ||
      fixed->dwSignature != VS_FFI_SIGNATURE ||
      !VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &pairs) ||
      pairs < 2 * sizeof(WORD)) {
    printf("  no version resource\n");
    return;
  }
  printf("  file version %s, product version %s\n", Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS).c_str(),
         Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS).c_str());
  printf("  language %04x, code page %u\n", translation[0], translation[1]);
  for (const char* key : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                          "OriginalFilename", "ProductName", "ProductVersion"}) {
    char path[96];
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], key);
    char* text = nullptr;
    bool found = VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&text), &length) && text;
    printf("  %s: %s\n", key, found ? text : "(missing)");
  }
}

// This program's version and those of the DLLs it would call, as loaded
// from its folder.
int ShowVersions() {
  PrintVersion("QELHost.exe", ModuleFile(nullptr));
  int status = kRan;
  for (const char* dll : {"QELPrinter.dll", "QELSystemExt.dll"}) {
    std::string file = LibraryFile(dll);
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) {
      printf("%s: cannot be loaded from %s (error %lu)\n", dll, file.c_str(), GetLastError());
      status = kNoLibrary;
      continue;
    }
    PrintVersion(dll, ModuleFile(module));
    FreeLibrary(module);
  }
  return status;
}

int Usage(const char* message) {
  fprintf(stderr, "QELHost: %s\nRun QELHost.exe --help for the exports and their arguments.\n", message);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty()) return Usage("no DLL and export named");
  if (words[0] == "--help" || words[0] == "-h" || words[0] == "/?") {
    PrintHelp();
    return kRan;
  }
  if (words[0] == "--version") return ShowVersions();
  std::string user;
  if (words[0] == "--user") {
    if (words.size() < 2) return Usage("--user needs a registry key path");
    user = words[1];
    words.erase(words.begin(), words.begin() + 2);
  }
  if (words.size() < 2) return Usage("name a DLL and an export");

  std::string file = LibraryFile(words[0]);
  std::string kind = LibraryKind(file);
  if (kind.empty()) return Usage(("not one of these DLLs: " + words[0]).c_str());
  const Export* chosen = nullptr;
  for (const Export& e : Exports())
    if (kind == e.dll && words[1] == e.name) chosen = &e;
  if (!chosen) return Usage((kind + " has no export named " + words[1]).c_str());

  std::vector<std::string> args(words.begin() + 2, words.end());
  if (static_cast<int>(args.size()) != chosen->count) {
    char message[256];
    snprintf(message, sizeof message, "%s takes %d argument%s (%s), not %u", chosen->name, chosen->count,
             chosen->count == 1 ? "" : "s", chosen->count ? chosen->arguments : "none",
             static_cast<unsigned>(args.size()));
    return Usage(message);
  }
  std::vector<bool> nulls(args.size(), false);
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--null") continue;
    if (chosen->form != Form::IntOfText && chosen->form != Form::CodeOfText)
      return Usage("--null stands only for a text argument of a const char* export");
    nulls[i] = true;
    args[i].clear();
  }

  HMODULE module = LoadLibraryA(file.c_str());
  if (!module) {
    fprintf(stderr, "QELHost: cannot load %s (error %lu)\n", file.c_str(), GetLastError());
    return kNoLibrary;
  }

  KeyText currentUser;
  ParseKeyText("HKCU", &currentUser);
  KeyText runningUser = currentUser;
  if (!user.empty()) {
    typedef int (*SetUserFn)(const char*);
    SetUserFn setUser = Symbol<SetUserFn>(module, "SetCurrentUserKey");
    if (!setUser) {
      fprintf(stderr, "QELHost: %s does not export SetCurrentUserKey\n", file.c_str());
      return kNoLibrary;
    }
    setUser(user.c_str());
    // The library takes the key only when it exists; so does the read-back.
    KeyText named;
    HKEY probe = nullptr;
    if (ParseKeyText(user, &named) &&
        RegOpenKeyExA(named.root, named.subkey.c_str(), 0, KEY_QUERY_VALUE, &probe) == ERROR_SUCCESS) {
      RegCloseKey(probe);
      currentUser = named;
    } else {
      printf("note: %s does not name an existing key; the DLL keeps HKEY_CURRENT_USER\n", user.c_str());
    }
  }

  if (!GetProcAddress(module, chosen->symbol)) {
    fprintf(stderr, "QELHost: %s does not export %s (%s)\n", file.c_str(), chosen->name, chosen->symbol);
    FreeLibrary(module);
    return kNoLibrary;
  }
  printf("%s %s(", kind.c_str(), chosen->name);
  for (size_t i = 0; i < args.size(); ++i)
    printf(nulls[i] ? "%snull" : "%s\"%s\"", i ? ", " : "", args[i].c_str());
  printf(")\n");

  std::vector<std::string> lines;
  bool traced = false;
  {
    TraceCapture trace;
    Call(module, *chosen, args, nulls);
    lines = trace.Lines();
    traced = trace.IsAvailable();
  }

  printf("  registry:%s\n", chosen->writes.empty() ? " (this export writes no value for the host)" : "");
  for (const Written& w : chosen->writes) {
    KeyText key = Below(w.under == Under::CurrentUser ? currentUser : runningUser, Substitute(w.key, args));
    std::string names = w.values;
    if (names.empty()) ShowValues(key, "");
    for (size_t start = 0; start < names.size();) {
      size_t bar = names.find('|', start);
      std::string name = names.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
      ShowValues(key, Substitute(name, args));
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
  }
  if (!traced)
    printf("  trace: (not seen: this Windows has no vectored exception handlers; use a debugger or DebugView)\n");
  else
    printf("  trace:%s\n", lines.empty() ? " (none)" : "");
  for (std::string line : lines) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    printf("    %s\n", line.c_str());
  }
  FreeLibrary(module);
  return kRan;
}
