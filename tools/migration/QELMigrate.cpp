// QELMigrate: a migration host in small. It works with the two DLLs the way
// the real host does, seeing only their exports, the platform and the
// registry: on the source machine it collects what the DLLs will need and
// carries it, with its own registry keys, to a folder; on the target machine
// it brings the keys back and replays them through the exports.
//
//   QELMigrate.exe collect <carry folder> <user key>
//   QELMigrate.exe replay <carry folder>
//
// What moves: the spooler's printers (one InstallPrinter request each), the
// default phonebook's entries (GetRASEntry saves them, AddRASEntry replays
// them) and the shell icon indexes of another user's desktop icons (the
// user key, such as HKEY_USERS\<sid>, travels whole; the indexes are
// translated to the target's Windows generation under that user).
// Exit status: 0 when every item moved, 1 when one did not, 2 for bad usage.
#include <windows.h>
#include <winspool.h>
#include <ras.h>
#include <raserror.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "KeyText.h"

namespace {

const char kProduct[] = "Software\\Corvane Systems\\Hollowmarch";
const std::string kMigration = std::string(kProduct) + "\\Migration";
const std::string kSavedEntries = std::string(kProduct) + "\\QELScriptExtension\\RASEntries";
const std::string kIconFindings = std::string(kProduct) + "\\QELScriptExtension\\QELIcon";
const std::string kPrinterFinding = std::string(kProduct) + "\\QELPrinter";
// Desktop icons a user picked, per shell object: <clsid>\DefaultIcon values.
const char kDesktopIcons[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID";

// One key, open for as long as the object lives.
class Key {
 public:
  Key(HKEY root, const std::string& path, bool create) {
    LONG status = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                         : RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key_);
    if (status != ERROR_SUCCESS) key_ = nullptr;
  }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  bool IsOpen() const { return key_ != nullptr; }

  // Text of a REG_SZ or REG_EXPAND_SZ value, up to its NUL; false for anything else.
  bool Text(const std::string& name, std::string* text, DWORD* type = nullptr) const {
    DWORD kind = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &kind, nullptr, &size) != ERROR_SUCCESS) return false;
    if (kind != REG_SZ && kind != REG_EXPAND_SZ) return false;
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &kind, reinterpret_cast<BYTE*>(data.data()), &size)) return false;
    text->assign(data.data());
    if (type) *type = kind;
    return true;
  }
  std::string Text(const std::string& name) const {
    std::string text;
    return Text(name, &text) ? text : "(missing)";
  }
  bool SetText(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    return key_ && RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  }
  std::vector<std::string> ValueNames() const { return Names(false); }
  std::vector<std::string> SubkeyNames() const { return Names(true); }

 private:
  std::vector<std::string> Names(bool subkeys) const {
    std::vector<std::string> names;
    std::vector<char> name(16384);
    for (DWORD index = 0; key_; ++index) {
      DWORD length = static_cast<DWORD>(name.size());
      LONG status = subkeys ? RegEnumKeyExA(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr)
                            : RegEnumValueA(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (status != ERROR_SUCCESS) break;
      names.emplace_back(name.data(), length);
    }
    return names;
  }
  HKEY key_ = nullptr;
};

// Windows 2000 has no call that deletes a tree: children first.
void DeleteTree(HKEY root, const std::string& path) {
  for (const std::string& child : Key(root, path, false).SubkeyNames()) DeleteTree(root, path + "\\" + child);
  RegDeleteKeyA(root, path.c_str());
}

// "HKEY_USERS\S-1-5-21-..." as a root and a path below it.
bool SplitKey(const std::string& text, HKEY* root, std::string* path) {
  KeyText key;
  if (!ParseKeyText(text, &key)) return false;
  *root = key.root;
  *path = key.subkey;
  return true;
}

// Shell icon numbering changed twice: Windows 95, then 98 and NT 4, then 2000.
enum Generation { kWindows95, kWindows98NT, kWindows2000 };
const char* const kGenerationNames[] = {"95", "98/NT", "2000"};

Generation ThisGeneration() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return version.dwMinorVersion == 0 ? kWindows95 : kWindows98NT;
  return version.dwMajorVersion < 5 ? kWindows98NT : kWindows2000;
}

// Wine's and Windows' own reg.exe, quietly; true when it succeeded.
bool RunReg(const std::string& arguments) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  std::string command = "\"" + std::string(system) + "\\reg.exe\" " + arguments;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = start.hStdOutput = start.hStdError = nul;
  PROCESS_INFORMATION process = {};
  DWORD status = 1;
  if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  return status == 0;
}

// The carried keys: one file each in the carry folder.
struct Carried {
  const char* file;
  std::string key;
};

std::vector<Carried> CarriedKeys(const std::string& userKey) {
  return {{"Migration.reg", "HKEY_CURRENT_USER\\" + kMigration},
          {"RASEntries.reg", "HKEY_CURRENT_USER\\" + kSavedEntries},
          {"User.reg", userKey}};
}

// One of the DLLs, loaded from this program's folder as the host keeps them.
class Library {
 public:
  explicit Library(const char* name) {
    char self[MAX_PATH] = {};
    std::string folder(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    module_ = LoadLibraryA((folder.substr(0, folder.find_last_of("\\/") + 1) + name).c_str());
    if (!module_) fprintf(stderr, "QELMigrate: cannot load %s (error %lu)\n", name, GetLastError());
  }
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  template <class Fn>
  Fn Export(const char* name) const {
    Fn found = module_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
    if (module_ && !found) fprintf(stderr, "QELMigrate: the DLL has no export %s\n", name);
    return found;
  }

 private:
  HMODULE module_ = nullptr;
};

using TextExport = int (*)(const char*);
using CodeExport = DWORD (*)(const char*);
using PlainExport = int (*)();

// A field of an InstallPrinter request: "NULL" stands for none, and "|" cannot be carried.
bool RequestField(const char* text, bool present, std::string* request) {
  std::string field = present && text && *text ? text : "NULL";
  if (field.find('|') != std::string::npos) return false;
  *request += (request->empty() ? "" : "|") + field;
  return true;
}

// "<key>\<value>" as people read it: the default value by its usual name.
std::string Shown(const std::string& setting) {
  return setting.back() == '\\' ? setting + "(default)" : setting;
}

// ---- on the source machine ----------------------------------------------------

int CollectPrinters() {
  Key printers(HKEY_CURRENT_USER, kMigration + "\\Printers", true);
  DWORD needed = 0, count = 0;
  std::vector<BYTE> buffer(1);
  while (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                        &count)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) {
      printf("  printers: the spooler cannot list them (error %lu)\n", GetLastError());
      return 1;
    }
    buffer.resize(needed);
  }
  if (count == 0) printf("  printers: none\n");
  int failed = 0;
  const PRINTER_INFO_2A* listed = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    const PRINTER_INFO_2A& p = listed[i];
    std::string request;
    bool shared = (p.Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
    if (RequestField(p.pPrinterName, true, &request) && RequestField(p.pDriverName, true, &request) &&
        RequestField(p.pPortName, true, &request) && RequestField(p.pComment, true, &request) &&
        RequestField(p.pShareName, shared, &request) && printers.SetText(p.pPrinterName, request)) {
      printf("  printer  %s: \"%s\"\n", p.pPrinterName, request.c_str());
    } else {
      printf("  printer  %s: cannot be carried (a \"|\" in its settings)\n", p.pPrinterName);
      ++failed;
    }
  }
  return failed;
}

// The entry list as every Windows of the time lays it out: the name alone.
struct EntryName {
  DWORD dwSize;
  CHAR szEntryName[257];
};
static_assert(sizeof(EntryName) == 264, "the entry list of Windows 95 and NT 4");

int CollectPhonebook(const Library& systemExt) {
  auto getEntry = systemExt.Export<CodeExport>("GetRASEntry");
  std::vector<EntryName> names(1);
  DWORD size = 0, count = 0, status = 0;
  do {
    names.resize(size / sizeof(EntryName) + 1);
    for (EntryName& name : names) name.dwSize = sizeof name;
    size = static_cast<DWORD>(names.size() * sizeof(EntryName));
    status = RasEnumEntriesA(nullptr, nullptr, reinterpret_cast<RASENTRYNAMEA*>(names.data()), &size, &count);
  } while (status == ERROR_BUFFER_TOO_SMALL && size > names.size() * sizeof(EntryName));
  if (status != ERROR_SUCCESS || !getEntry) {
    printf("  phonebook: cannot be listed (error %lu)\n", status);
    return 1;
  }
  int failed = 0;
  for (DWORD i = 0; i < count; ++i) {
    DWORD code = getEntry(names[i].szEntryName);
    printf("  entry    %s: %s (GetRASEntry %lu)\n", names[i].szEntryName, code ? "not saved" : "saved", code);
    failed += code != 0;
  }
  return failed;
}

// "<file>,<index>" where the file is the shell's icon library: the index and where it begins.
bool ShellIconIndex(const std::string& location, size_t* at, int* index) {
  size_t comma = location.rfind(',');
  if (comma == std::string::npos) return false;
  std::string file = location.substr(0, comma);
  file = file.substr(file.find_last_of("\\/") == std::string::npos ? 0 : file.find_last_of("\\/") + 1);
  const char* digits = location.c_str() + comma + 1;
  char* end = nullptr;
  long number = strtol(digits, &end, 10);
  if (lstrcmpiA(file.c_str(), "shell32.dll") != 0 || end == digits || *end) return false;
  *at = comma + 1;
  *index = static_cast<int>(number);
  return true;
}

int CollectIcons(HKEY userRoot, const std::string& userPath) {
  Key icons(HKEY_CURRENT_USER, kMigration + "\\Icons", true);
  int failed = 0;
  std::string objects = userPath + "\\" + kDesktopIcons;
  for (const std::string& object : Key(userRoot, objects, false).SubkeyNames()) {
    std::string below = std::string(kDesktopIcons) + "\\" + object + "\\DefaultIcon";
    Key defaultIcon(userRoot, userPath + "\\" + below, false);
    for (const std::string& value : defaultIcon.ValueNames()) {
      std::string location;
      size_t at = 0;
      int index = 0;
      if (!defaultIcon.Text(value, &location) || !ShellIconIndex(location, &at, &index)) continue;
      // Named by where the setting lives below the user key.
      bool recorded = icons.SetText(below + "\\" + value, std::to_string(index));
      printf("  icon     %s: %d%s\n", Shown(below + "\\" + value).c_str(), index, recorded ? "" : ", not recorded");
      failed += !recorded;
    }
  }
  return failed;
}

int Collect(const std::string& carry, const std::string& userKey) {
  HKEY userRoot = nullptr;
  std::string userPath;
  if (!SplitKey(userKey, &userRoot, &userPath) || !Key(userRoot, userPath, false).IsOpen()) {
    fprintf(stderr, "QELMigrate: no user key %s\n", userKey.c_str());
    return 2;
  }
  Generation generation = ThisGeneration();
  printf("collect on Windows %s, for %s\n", kGenerationNames[generation], userKey.c_str());
  // Only this run's findings travel.
  DeleteTree(HKEY_CURRENT_USER, kMigration);
  DeleteTree(HKEY_CURRENT_USER, kSavedEntries);
  Key bookkeeping(HKEY_CURRENT_USER, kMigration, true);
  bookkeeping.SetText("Windows", kGenerationNames[generation]);
  bookkeeping.SetText("User", userKey);

  Library systemExt("QELSystemExt.dll");
  int failed = CollectPrinters() + CollectPhonebook(systemExt) + CollectIcons(userRoot, userPath);
  for (const Carried& carried : CarriedKeys(userKey)) {
    std::string file = carry + "\\" + carried.file;
    bool exported = RunReg("export \"" + carried.key + "\" \"" + file + "\" /y");
    printf("  carried  %s: %s\n", carried.key.c_str(), exported ? file.c_str() : "reg export failed");
    failed += !exported;
  }
  return failed ? 1 : 0;
}

// ---- on the target machine ------------------------------------------------------

int ReplayPrinters(const Library& printer) {
  auto install = printer.Export<TextExport>("InstallPrinter");
  Key printers(HKEY_CURRENT_USER, kMigration + "\\Printers", false);
  int failed = 0;
  for (const std::string& name : printers.ValueNames()) {
    std::string request = printers.Text(name);
    int added = install ? install(request.c_str()) : 0;
    std::string outcome = Key(HKEY_CURRENT_USER, kPrinterFinding, false).Text("Successful Install");
    printf("  printer  %s: InstallPrinter %d, Successful Install \"%s\"\n", name.c_str(), added, outcome.c_str());
    failed += added != 1;
  }
  return failed;
}

// Each step from the source's generation up to this one's goes through its
// export, whose finding the host reads back below the user's key.
int ReplayIcons(const Library& systemExt, Generation from, HKEY userRoot, const std::string& userPath) {
  const struct {
    const char *exportName, *finding;
  } steps[] = {{"GetShellIcon95to98NT", "New95"}, {"GetShellIcon98NTto2k", "New98NT"}};
  Key icons(HKEY_CURRENT_USER, kMigration + "\\Icons", false);
  const int to = ThisGeneration();
  int failed = 0;
  for (const std::string& setting : icons.ValueNames()) {
    std::string index = icons.Text(setting), shown = index;
    for (int step = from; step < to; ++step) {
      auto translate = systemExt.Export<TextExport>(steps[step].exportName);
      if (translate) translate(index.c_str());
      index = Key(userRoot, userPath + "\\" + kIconFindings, false).Text(steps[step].finding);
      shown += " -> " + index + " (" + steps[step].finding + ")";
    }
    size_t slash = setting.rfind('\\');
    Key holder(userRoot, userPath + "\\" + setting.substr(0, slash), false);
    std::string value = setting.substr(slash + 1), location;
    DWORD type = REG_SZ;
    size_t at = 0;
    int old = 0;
    bool moved = holder.Text(value, &location, &type) && ShellIconIndex(location, &at, &old) && !index.empty() &&
                 index.find_first_not_of("-0123456789") == std::string::npos &&
                 holder.SetText(value, location.substr(0, at) + index, type);
    printf("  icon     %s: %s%s\n", Shown(setting).c_str(), shown.c_str(), moved ? "" : ", not moved");
    failed += !moved;
  }
  return failed;
}

int Replay(const std::string& carry) {
  printf("replay from %s\n", carry.c_str());
  int failed = 0;
  for (const char* file : {"Migration.reg", "RASEntries.reg", "User.reg"}) {
    bool imported = RunReg("import \"" + carry + "\\" + file + "\"");
    printf("  brought  %s\\%s%s\n", carry.c_str(), file, imported ? "" : ": reg import failed");
    failed += !imported;
  }
  Key bookkeeping(HKEY_CURRENT_USER, kMigration, false);
  std::string userKey = bookkeeping.Text("User"), userPath;
  std::string source = bookkeeping.Text("Windows");
  int from = kWindows95;
  while (from <= kWindows2000 && source != kGenerationNames[from]) ++from;
  HKEY userRoot = nullptr;
  if (!bookkeeping.IsOpen() || !SplitKey(userKey, &userRoot, &userPath) || from > kWindows2000) {
    fprintf(stderr, "QELMigrate: %s holds no collection\n", carry.c_str());
    return 2;
  }
  printf("on Windows %s, of what Windows %s collected\n", kGenerationNames[ThisGeneration()],
         kGenerationNames[from]);

  Library printer("QELPrinter.dll"), systemExt("QELSystemExt.dll");
  failed += ReplayPrinters(printer);
  auto addEntries = systemExt.Export<PlainExport>("AddRASEntry");
  if (addEntries) addEntries();
  printf("  phonebook: AddRASEntry for %u saved entries\n",
         static_cast<unsigned>(Key(HKEY_CURRENT_USER, kSavedEntries, false).ValueNames().size()));
  // The icon findings are the other user's: they land below that user's key.
  auto setUser = systemExt.Export<TextExport>("SetCurrentUserKey");
  if (setUser) setUser(userKey.c_str());
  printf("  user     SetCurrentUserKey(\"%s\")\n", userKey.c_str());
  failed += ReplayIcons(systemExt, static_cast<Generation>(from), userRoot, userPath);
  return failed || !addEntries || !setUser ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.size() == 3 && words[0] == "collect") return Collect(words[1], words[2]);
  if (words.size() == 2 && words[0] == "replay") return Replay(words[1]);
  fprintf(stderr,
          "usage: QELMigrate.exe collect <carry folder> <user key>   (on the source machine)\n"
          "       QELMigrate.exe replay <carry folder>               (on the target machine)\n");
  return 2;
}
