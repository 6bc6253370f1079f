#include "Sweep.h"

#include <csignal>
#include <cstdio>
#include <memory>

#include "DecoratedExports.h"
#include "HeapsValid.h"
#include "RasDoubleKey.h"

namespace sweep {

const char kSpooler[] = "Software\\QELTests\\Spooler";
const char kProduct[] = "Software\\Corvane Systems\\Hollowmarch";
const char kDoubleByte[] = "\x95\x5c";
const char kPipeTrail[] = "\x83\x7c";

namespace {

Exports g_exports;

// Counts the cases, and those after whose start a promise failed (the
// group's own checks follow its call, so they count for it too).
class Tally : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { open_ = false; }
  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (result.failed() && open_ && !counted_) ++faulty, counted_ = true;
  }
  void Open() {
    ++cases;
    open_ = true;
    counted_ = false;
  }
  int cases = 0, faulty = 0;

 private:
  bool open_ = false, counted_ = false;
};
Tally* g_tally = new Tally;

// The case running: a crash or an abort names it, since nothing else would.
std::string g_case = "(before the first case)";

void LastWords(const char* how) {
  fprintf(stderr, "sweep: %s in case \"%s\"\n", how, g_case.c_str());
  fflush(stderr);
}

LONG WINAPI Crashed(EXCEPTION_POINTERS* exception) {
  char how[64];
  snprintf(how, sizeof how, "exception 0x%08lx", static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
  LastWords(how);
  return EXCEPTION_CONTINUE_SEARCH;
}

void Aborted(int) { LastWords("abort"); }

std::string WindowsFolder(UINT (WINAPI* get)(LPSTR, UINT), const char* below) {
  char folder[MAX_PATH] = {};
  get(folder, MAX_PATH);
  return folder + std::string(below);
}

void ReadKey(State& state, HKEY root, const std::string& where) {
  HKEY key = nullptr;
  std::string path = where.substr(5);  // after "HKCU\" or "HKLM\"
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  state[{where, false, ""}] = "";
  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values, &longestName,
                   &longestData, nullptr, nullptr);
  // Lengths come in characters; a double-byte name takes up to twice the bytes.
  std::vector<char> name(2 * (longestName > longestSubkey ? longestName : longestSubkey) + 2);
  std::vector<BYTE> data(longestData + 1);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    LONG status = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    std::string content = status ? "enumeration error " + std::to_string(status)
                                 : std::to_string(type) + ":" + std::string(data.begin(), data.begin() + dataSize);
    state[{where, true, status ? "#" + std::to_string(i) : std::string(name.data(), nameSize)}] = content;
  }
  std::vector<std::string> names;
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
      names.emplace_back(name.data(), nameSize);
    else
      state[{where + "\\#" + std::to_string(i), false, ""}] = "enumeration error";
  }
  RegCloseKey(key);
  for (const std::string& subkey : names) ReadKey(state, root, where + "\\" + subkey);
}

void ReadFolder(State& state, const std::string& folder, bool deep) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  state[{folder, false, ""}] = "folder";
  std::vector<std::string> folders;
  do {
    std::string name = entry.cFileName, path = folder + "\\" + name;
    if (name == "." || name == "..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      folders.push_back(path);
    else
      state[{path, false, ""}] = std::to_string(entry.nFileSizeLow);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  for (const std::string& path : folders) {
    if (deep) ReadFolder(state, path, true);
    else state[{path, false, ""}] = "folder";
  }
}

std::string Shown(const std::string& bytes) {
  std::string shown;
  for (unsigned char c : bytes.substr(0, 80)) {
    char hex[8];
    snprintf(hex, sizeof hex, c >= 32 && c < 127 ? "%c" : "\\x%02x", c);
    shown += hex;
  }
  return shown + (bytes.size() > 80 ? "...(" + std::to_string(bytes.size()) + " bytes)" : "");
}

template <class Fn>
void Find(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  EXPECT_NE(nullptr, reinterpret_cast<void*>(fn)) << name;
}

class Loaded : public testing::Environment {
 public:
  void SetUp() override {
    RawDeleteTree(HKEY_CURRENT_USER, UserRoot());
    RawCreateKey(HKEY_CURRENT_USER, UserRoot());
    testing::UnitTest::GetInstance()->listeners().Append(g_tally);
    SetUnhandledExceptionFilter(Crashed);
    signal(SIGABRT, Aborted);
    HMODULE printer = LoadLibraryA("QELPrinter.dll"), ext = LoadLibraryA("QELSystemExt.dll");
    ASSERT_TRUE(printer && ext) << "error " << GetLastError();
    Exports& e = g_exports;
    Find(printer, "InstallPrinter", e.installPrinter);
    Find(printer, "SetCurrentUserKey", e.printerSetUser);
    Find(printer, kPrinterWriteRegistryValue, e.printerWrite);
    Find(ext, "SetCurrentUserKey", e.extSetUser);
    Find(ext, "WriteRegistryValue", e.extWrite);
    Find(ext, "DeleteRegistryValue", e.deleteValue);
    Find(ext, kSystemExtDeleteRegistryKey, e.deleteKey);
    Find(ext, "AddDialUp9x", e.addDialUp);
    Find(ext, "isBindingMSTCP", e.isBinding);
    Find(ext, "GetRASEntry", e.getRasEntry);
    Find(ext, "AddRASEntry", e.addRasEntry);
    Find(ext, "GetShellIcon95to98NT", e.icon95);
    Find(ext, "GetShellIcon98NTto2k", e.icon98);
    Find(ext, "InstallFileShare2k", e.fileShare);
    Find(ext, "DllRegisterServer", e.registerServer);
    ASSERT_FALSE(testing::Test::HasFailure());
    e.printerSetUser(UserRootText().c_str());
    e.extSetUser(UserRootText().c_str());
  }
  void TearDown() override {
    RawDeleteTree(HKEY_CURRENT_USER, UserRoot());
    RegDeleteKeyA(HKEY_CURRENT_USER, UserRoot().c_str());
    printf("sweep: %d cases, %d of them with a broken promise\n", g_tally->cases, g_tally->faulty);
  }
};

testing::Environment* const g_loaded = testing::AddGlobalTestEnvironment(new Loaded);

}  // namespace

std::string Change::Describe() const {
  std::string what = item.where + (item.isValue ? " [" + Shown(item.name) + "]" : "");
  if (!before) return "added " + what + " = " + Shown(is);
  if (!after) return "removed " + what;
  return "changed " + what + " from " + Shown(was) + " to " + Shown(is);
}

State Watch() {
  State state;
  for (const std::string& key : {"HKCU\\" + UserRoot(), std::string("HKCU\\Software\\Corvane Systems"),
                                 std::string("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies")})
    ReadKey(state, HKEY_CURRENT_USER, key);
  for (const std::string& key :
       {std::string("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print"), std::string("HKLM\\Enum"),
        std::string("HKLM\\System\\CurrentControlSet\\Services\\Class"), "HKLM\\" + PhonebookKey() + "\\Phonebook",
        std::string("HKLM\\SOFTWARE\\Corvane Systems"),
        std::string("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup")})
    ReadKey(state, HKEY_LOCAL_MACHINE, key);
  std::string system = WindowsFolder(GetSystemDirectoryA, "");
  ReadFolder(state, system + "\\spool", true);
  ReadFolder(state, system + "\\drivers", false);
  ReadFolder(state, WindowsFolder(GetWindowsDirectoryA, "\\inf"), false);
  ReadFolder(state, system.substr(0, 2) + "\\i386", true);
  ReadFolder(state, system.substr(0, 2) + "\\" + ProgramName(), true);
  return state;
}

std::vector<Change> Diff(const State& before, const State& after) {
  std::vector<Change> changes;
  auto b = before.begin(), a = after.begin();
  while (b != before.end() || a != after.end()) {
    bool onlyBefore = a == after.end() || (b != before.end() && b->first < a->first);
    bool onlyAfter = !onlyBefore && (b == before.end() || a->first < b->first);
    if (onlyBefore) {
      changes.push_back({b->first, true, false, b->second, ""});
      ++b;
    } else if (onlyAfter) {
      changes.push_back({a->first, false, true, "", a->second});
      ++a;
    } else {
      if (b->second != a->second) changes.push_back({b->first, true, true, b->second, a->second});
      ++a;
      ++b;
    }
  }
  return changes;
}

std::vector<Change> Case(const std::string& name, const std::function<void()>& call, const Allowed& allowed) {
  g_tally->Open();
  g_case = name;
  NameCase(name);
  testing::ScopedTrace trace(__FILE__, __LINE__, "case " + name);
  State before = Watch();
  call();
  std::vector<Change> changes = Diff(before, Watch());
  EXPECT_TRUE(HeapsValid());
  for (const Change& change : changes) EXPECT_TRUE(allowed(change)) << "not allowed: " << change.Describe();
  g_case = "(between cases)";
  return changes;
}

void NameCase(const std::string& name) {
  fprintf(stderr, "sweep case: %s\n", Shown(name).c_str());
  fflush(stderr);
}

bool Within(const std::string& where, const std::string& prefix) {
  if (where.size() < prefix.size()) return false;
  if (where.size() > prefix.size() && where[prefix.size()] != '\\') return false;
  return SameText(where.substr(0, prefix.size()), prefix);
}

bool OnTheWayTo(const Change& change, const std::string& key) {
  return !change.item.isValue && !change.before && Within(key, change.item.where);
}

bool NothingElse(const Change&) { return false; }

const std::string& UserRoot() {
  static const std::string root = "Software\\QELTests\\" + ProgramName() + "\\User";
  return root;
}

std::string UserRootText() { return "HKCU\\" + UserRoot(); }

std::string PhonebookKey() { return RasDoubleKey(); }

const Exports& Dlls() { return g_exports; }

Texts Lengths(char fill, const std::string& prefix) {
  Texts texts = {{"empty", prefix}};
  for (size_t n : {259, 260, 261, 4096, 65536, 65537})
    texts.push_back({std::to_string(n) + " bytes", prefix + std::string(n, fill)});
  return texts;
}

std::string Collapsed(const std::string& path) {
  std::string out, component;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      component += path.substr(i++, 2);
    } else if (i == path.size() || path[i] == '\\') {
      if (!component.empty()) out += (out.empty() ? "" : "\\") + component;
      component.clear();
    } else {
      component += path[i];
    }
  }
  return out;
}

bool SameText(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool InCodePage932() { return GetACP() == 932; }

std::string TextAt(const std::string& key, const std::string& name) {
  RawValue value = ReadRawValue(HKEY_CURRENT_USER, key, name);
  std::string bytes = value.Bytes();
  if (!value.Found() || value.type != REG_SZ || bytes.empty() || bytes.back() != '\0') return "(no text value)";
  return bytes.substr(0, bytes.size() - 1);
}

}  // namespace sweep
