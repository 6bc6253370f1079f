// InstallPrinter for a driver model the spooler lacks, against the bare
// platform calls the same installation needs, through the spooler stand-in
// (run with WINEDLLOVERRIDES=winspool.drv=n and Wine's version set to
// Windows 2000 for this program, as tools/bench.sh does).
//
//   PrinterInstallBench [--models N --share N] [--installs N] [--seed N]
//
// Each install asks for the printer, finds the model in a generated printer
// INF placed as the system printer INF, copies its files from the product's
// cab folder into the driver directory, registers the driver, removes the
// copies and asks once more. "bare" opens the INF once for each section it
// reads, as ours once did; "bare, one open" once per install, as ours does.
// Without --models it runs three INF sizes.
// Each build's driver environment is its own processes' ("Windows x64" on
// the 64-bit twin), for the directory and the registration alike.

#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "BarePrinterLookup.h"
#include "BenchTiming.h"
#include "PrinterInfGenerator.h"

namespace {

const char kPrint[] = "SYSTEM\\CurrentControlSet\\Control\\Print";
const char kProduct[] = "SOFTWARE\\Corvane Systems\\Hollowmarch";
const char kCab[] = "C:\\PrinterInstallBench";
#ifdef _WIN64
char kEnvironment[] = "Windows x64";
#else
char kEnvironment[] = "Windows NT x86";
#endif

std::string SystemDirectory() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  return system;
}

std::string InfPath() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  return std::string(windows) + "\\inf\\ntprint.inf";
}

void SetText(HKEY root, const std::string& key, const char* name, const std::string& text) {
  HKEY opened;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr)) return;
  RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), text.size() + 1);
  RegCloseKey(opened);
}

void DeleteTree(HKEY root, const std::string& key) {
  typedef LONG(WINAPI * DeleteTreeFn)(HKEY, const char*);
  static auto deleteTree = reinterpret_cast<DeleteTreeFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteTreeA")));
  if (deleteTree && !deleteTree(root, key.c_str())) RegDeleteKeyA(root, key.c_str());
}

// The names an INF section lists, one per line.
std::vector<std::string> SectionNames(HINF inf, const char* section) {
  std::vector<std::string> names;
  INFCONTEXT line;
  for (bool more = SetupFindFirstLineA(inf, section, nullptr, &line); more; more = SetupFindNextLine(&line, &line)) {
    char name[MAX_PATH];
    if (SetupGetStringFieldA(&line, 0, name, sizeof name, nullptr)) names.push_back(name);
  }
  return names;
}

UINT CALLBACK CopyAlong(void* context, UINT notification, UINT_PTR param1, UINT_PTR param2) {
  if (notification == SPFILENOTIFY_NEEDMEDIA) return FILEOP_DOIT;
  if (notification == SPFILENOTIFY_COPYERROR) return FILEOP_ABORT;
  return SetupDefaultQueueCallbackA(context, notification, param1, param2);
}

// The upper-cased names at the top of a folder.
std::set<std::string> TopNames(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
    std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(toupper(c)); });
    names.insert(name);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return names;
}

// The same installation written straight onto the platform.
class BareInstall {
 public:
  explicit BareInstall(bool once) : lookup_(InfPath(), once), once_(once) {}

  bool Run(const std::string& printerName, const std::string& model) {
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = const_cast<char*>(printerName.c_str());
    printer.pDriverName = const_cast<char*>(model.c_str());
    printer.pPortName = const_cast<char*>("LPT1:");
    printer.pPrintProcessor = const_cast<char*>("WinPrint");
    // As the export's request asks: a comment, not shared.
    printer.pComment = const_cast<char*>("benchmark");
    if (AddLocal(printer)) return true;
    if (GetLastError() != ERROR_UNKNOWN_PRINTER_DRIVER) return false;

    // One open serves the lookup, the copy and the dependent files.
    HINF inf = once_ ? SetupOpenInfFileA(InfPath().c_str(), nullptr, INF_STYLE_WIN4, nullptr) : INVALID_HANDLE_VALUE;
    bench::LookupResult found = lookup_.Lookup(model, inf);
    if (!found.found) {
      if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
      return false;
    }
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, kEnvironment, 1, nullptr, 0, &needed);
    std::vector<char> buffer(needed + 1);
    if (!needed ||
        !GetPrinterDriverDirectoryA(nullptr, kEnvironment, 1, reinterpret_cast<BYTE*>(buffer.data()), needed,
                                    &needed)) {
      if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
      return false;
    }
    std::string directory = buffer.data();
    std::set<std::string> before = TopNames(directory);

    if (!once_) inf = SetupOpenInfFileA(InfPath().c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    bool registered = inf != INVALID_HANDLE_VALUE && Copy(inf, found.section, directory);
    std::string dependent = registered ? DependentFiles(inf, found.section, directory) : std::string();
    if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
    if (registered) {
      DRIVER_INFO_3A driver = {};
      driver.cVersion = 3;
      driver.pName = const_cast<char*>(found.modelName.c_str());
      driver.pEnvironment = kEnvironment;
      driver.pDriverPath = const_cast<char*>(found.driverFile.c_str());
      driver.pDataFile = const_cast<char*>(found.dataFile.c_str());
      driver.pConfigFile = const_cast<char*>(found.configFile.c_str());
      driver.pHelpFile = const_cast<char*>(found.helpFile.c_str());
      driver.pDependentFiles = const_cast<char*>(dependent.c_str());
      driver.pDefaultDataType = const_cast<char*>("RAW");
      registered = AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
    }
    for (const std::string& name : TopNames(directory))
      if (!before.count(name)) DeleteFileA((directory + "\\" + name).c_str());
    if (!registered) return false;
    printer.pDriverName = const_cast<char*>(found.modelName.c_str());
    return AddLocal(printer);
  }

 private:
  static bool AddLocal(PRINTER_INFO_2A& printer) {
    SetLastError(ERROR_SUCCESS);
    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (added) ClosePrinter(added);
    return added != nullptr;
  }

  static bool Copy(HINF inf, const std::string& section, const std::string& directory) {
    std::string system = SystemDirectory();
    SetupSetDirectoryIdA(inf, 66000, directory.c_str());
    SetupSetDirectoryIdA(inf, 66002, system.c_str());
    SetupSetDirectoryIdA(inf, 66003, (system + "\\Color").c_str());
    std::string cab = CabFolder();
    HSPFILEQ queue = SetupOpenFileQueue();
    void* context = SetupInitDefaultQueueCallbackEx(nullptr, static_cast<HWND>(INVALID_HANDLE_VALUE), 0, 0, nullptr);
    bool copied = SetupInstallFilesFromInfSectionA(inf, nullptr, queue, section.c_str(), cab.c_str(), 0x1040) &&
                  SetupCommitFileQueueA(nullptr, queue, CopyAlong, context);
    SetupTermDefaultQueueCallback(context);
    SetupCloseFileQueue(queue);
    return copied;
  }

  // The product's newest version's "Cab File Path".
  static std::string CabFolder() {
    HKEY product;
    std::string newest;
    if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProduct, 0, KEY_READ, &product)) {
      char name[256];
      for (DWORD i = 0, length = sizeof name; !RegEnumKeyExA(product, i, name, &length, 0, 0, 0, 0);
           ++i, length = sizeof name)
        if (lstrcmpiA(name, newest.c_str()) > 0) newest = name;
      RegCloseKey(product);
    }
    HKEY settings;
    char path[MAX_PATH] = {};
    DWORD size = sizeof path - 1;
    if (!RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kProduct) + "\\" + newest + "\\Settings").c_str(), 0, KEY_READ,
                       &settings)) {
      RegQueryValueExA(settings, "Cab File Path", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
      RegCloseKey(settings);
    }
    return path;
  }

  std::string DependentFiles(HINF inf, const std::string& section, const std::string& directory) {
    std::string list;
    INFCONTEXT line;
    char copyFiles[MAX_PATH] = {};
    if (SetupFindFirstLineA(inf, section.c_str(), "CopyFiles", &line))
      SetupGetLineTextA(&line, nullptr, nullptr, nullptr, copyFiles, sizeof copyFiles, nullptr);
    auto add = [&](const std::string& name) {
      if (GetFileAttributesA((directory + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES) list += name + '\0';
    };
    for (char* token = strtok(copyFiles, ","); token; token = strtok(nullptr, ",")) {
      if (*token == '@') {
        add(token + 1);
        continue;
      }
      // Ours reads the INF afresh for each file-list section.
      HINF lists = once_ ? inf : SetupOpenInfFileA(InfPath().c_str(), nullptr, INF_STYLE_WIN4, nullptr);
      for (const std::string& name : SectionNames(lists, token)) add(name);
      if (!once_) SetupCloseInfFile(lists);
    }
    return list + '\0';
  }

  bench::Bare lookup_;
  bool once_;
};

struct Settings {
  int models = 0;  // with share: one INF of that size instead of the three below
  int share = 25;
  int installs = 20;
  unsigned seed = 5;
};

// The sizes of the table: a mid-sized INF, a small one whose models each
// have an install section, and one as large as Windows 2000's own.
struct InfSize {
  int models, share;
};
const InfSize kSizes[] = {{1250, 25}, {60, 1}, {5000, 25}};

const int kRounds = 5;  // of installs by each side, per INF size

struct Row {
  int models = 0, share = 0;
  size_t bytes = 0;
  double ours = 0, bare = 0, once = 0;  // seconds per install, medians
  double oursToBare = 0, oursToOnce = 0;  // medians of the rounds' ratios
  double open = 0;                        // one open of the INF
  int oursAdded = 0, bareAdded = 0, onceAdded = 0;
};

// Puts the driver model out of the spooler's reach again, with its printers.
void Forget(const std::string& model) {
  for (const char* environment : {"Windows NT x86", "Windows x64"})
    DeleteTree(HKEY_LOCAL_MACHINE,
               std::string(kPrint) + "\\Environments\\" + environment + "\\Drivers\\Version-3\\" + model);
  for (int i = 0; i < 1000; ++i) {
    std::string key = std::string(kPrint) + "\\Printers\\Bench Printer " + std::to_string(i);
    HKEY probe;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &probe)) continue;
    RegCloseKey(probe);
    DeleteTree(HKEY_LOCAL_MACHINE, key);
  }
  DeleteTree(HKEY_CURRENT_USER, "Software\\QELTests\\Spooler\\Calls");
}

// Times the three sides on an INF of `models` models in five rounds of
// `installs` installs each.
Row Measure(const Settings& s, int (*installPrinter)(const char*), int models, int share) {
  Row row;
  row.models = models;
  row.share = share;
  printerinf::Options options;
  options.seed = s.seed;
  options.models = models;
  options.modelsPerInstallSection = share;
  printerinf::PrinterInf inf = printerinf::PrinterInf::Generate(options);
  row.bytes = inf.Text().size();
  if (!inf.WriteTo(InfPath(), printerinf::Encoding::Ansi)) return row;
  // Every file the INF names, in the cab folder the product's settings name.
  CreateDirectoryA(kCab, nullptr);
  HINF opened = SetupOpenInfFileA(InfPath().c_str(), nullptr, INF_STYLE_WIN4, nullptr);
  std::vector<std::string> files = SectionNames(opened, "SourceDisksFiles");
  SetupCloseInfFile(opened);
  for (const std::string& file : files) {
    FILE* out = fopen((std::string(kCab) + "\\" + file).c_str(), "wb");
    if (out) fclose(out);
  }
  SetText(HKEY_LOCAL_MACHINE, std::string(kProduct) + "\\4.0", "Bench", "");
  SetText(HKEY_CURRENT_USER, std::string(kProduct) + "\\4.0\\Settings", "Cab File Path", kCab);

  const printerinf::Model* model = nullptr;
  for (const printerinf::Model& candidate : inf.Models())
    if (!candidate.previousName.empty() && candidate.hardwareIds) model = &candidate;
  const std::string& asked = model->previousName;
  std::string request = "|" + asked + "|LPT1:|benchmark|NULL";
  printf("INF: %d models, %d per install section, %zu bytes; %zu driver files\n", models, share, row.bytes,
         files.size());
  printf("model \"%s\", asked for by its previous name \"%s\"\n", model->name.c_str(), model->previousName.c_str());

  std::vector<double> ours, bare, once, toBare, toOnce;
  int printer = 0;
  BareInstall perSection(false), oneOpen(true);
  // Each install is made by the three sides in turn, in an order that turns
  // from one install to the next, so that a slow moment of the shared
  // machine lands on all three alike.
  auto timeInstall = [&](auto install) {
    Forget(model->name);
    std::string name = "Bench Printer " + std::to_string(printer++ % 1000);
    return bench::Timed([&] { install(name); });
  };
  auto viaExport = [&](const std::string& name) { row.oursAdded += installPrinter((name + request).c_str()); };
  for (int round = 0; round < kRounds; ++round) {
    double o = 0, b = 0, one = 0;
    for (int i = 0; i < s.installs; ++i) {
      for (int side = 0; side < 3; ++side) {
        switch ((side + i) % 3) {
          case 0:
            o += timeInstall(viaExport);
            break;
          case 1:
            b += timeInstall([&](const std::string& name) { row.bareAdded += perSection.Run(name, asked); });
            break;
          default:
            one += timeInstall([&](const std::string& name) { row.onceAdded += oneOpen.Run(name, asked); });
        }
      }
    }
    o /= s.installs;
    b /= s.installs;
    one /= s.installs;
    ours.push_back(o);
    bare.push_back(b);
    once.push_back(one);
    toBare.push_back(o / b);
    toOnce.push_back(o / one);
  }
  Forget(model->name);
  row.ours = bench::Median(ours);
  row.bare = bench::Median(bare);
  row.once = bench::Median(once);
  row.oursToBare = bench::Median(toBare);
  row.oursToOnce = bench::Median(toOnce);
  row.open = bench::Timed([] {
               for (int i = 0; i < 5; ++i)
                 SetupCloseInfFile(SetupOpenInfFileA(InfPath().c_str(), nullptr, INF_STYLE_WIN4, nullptr));
             }) / 5;
  printf("%d installs per side in %d rounds; printers added: ours %d, bare %d, bare with one open %d\n\n",
         kRounds * s.installs, kRounds, row.oursAdded, row.bareAdded, row.onceAdded);

  for (const std::string& file : files) DeleteFileA((std::string(kCab) + "\\" + file).c_str());
  RemoveDirectoryA(kCab);
  DeleteTree(HKEY_LOCAL_MACHINE, kProduct);
  DeleteTree(HKEY_CURRENT_USER, kProduct);
  DeleteFileA(InfPath().c_str());
  return row;
}

}  // namespace

int main(int argc, char** argv) {
  Settings s;
  for (int i = 1; i + 1 < argc; i += 2) {
    int value = atoi(argv[i + 1]);
    if (!strcmp(argv[i], "--models"))
      s.models = value;
    else if (!strcmp(argv[i], "--share"))
      s.share = value;
    else if (!strcmp(argv[i], "--installs"))
      s.installs = value;
    else if (!strcmp(argv[i], "--seed"))
      s.seed = static_cast<unsigned>(value);
  }
  HMODULE dll = LoadLibraryA("QELPrinter.dll");
  auto installPrinter =
      reinterpret_cast<int (*)(const char*)>(reinterpret_cast<void*>(GetProcAddress(dll, "InstallPrinter")));
  char spooler[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA("winspool.drv"), spooler, sizeof spooler);
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  if (!installPrinter || version.dwMajorVersion != 5) {
    printf("Needs QELPrinter.dll beside it and Wine's version set to win2k for this program.\n");
    return 2;
  }
  printf("spooler: %s\n\n", spooler);

  std::vector<InfSize> sizes(std::begin(kSizes), std::end(kSizes));
  if (s.models > 0) sizes = {{s.models, s.share}};
  std::vector<Row> rows;
  for (const InfSize& size : sizes) rows.push_back(Measure(s, installPrinter, size.models, size.share));

  printf("ms per install (medians of 5 rounds); \"one open\": the bare sequence reading the INF once\n");
  printf("  %7s %6s %8s %9s %9s %6s %9s %6s %9s\n", "models", "share", "bytes", "ours", "bare", "ratio", "one open",
         "ratio", "INF read");
  for (const Row& r : rows)
    printf("  %7d %6d %8zu %9.1f %9.1f %6.2f %9.1f %6.2f %9.1f\n", r.models, r.share, r.bytes, r.ours * 1000,
           r.bare * 1000, r.oursToBare, r.once * 1000, r.oursToOnce, r.open * 1000);
  FreeLibrary(dll);
  // A side that failed to add its printers timed something else.
  int status = 0;
  for (const Row& r : rows) {
    int expected = kRounds * s.installs;
    if (r.oursAdded != expected || r.bareAdded != expected || r.onceAdded != expected) {
      printf("%d models: printers added: ours %d, bare %d, one open %d; each should have added %d\n", r.models,
             r.oursAdded, r.bareAdded, r.onceAdded, expected);
      status = 1;
    }
  }
  return status;
}
