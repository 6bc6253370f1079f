// A local print spooler in place of Wine's, which leaves stale error codes,
// never reports an existing printer and half-adds a printer without a data
// type. It is as strict as Windows: each check below names the documented
// rule it follows, from the API reference and the Print System Remote
// Protocol ([MS-RPRN]), and answers with that rule's error code. Printers and
// drivers are kept where Windows keeps them (below
// HKLM\SYSTEM\CurrentControlSet\Control\Print). A driver's files must lie at
// the top of the driver directory of its environment; once accepted they are
// copied into its version folder. Local printers are listed at level 2, the
// one level a migration host reads; other levels are refused. It plays the
// Windows version Wine reports to the process: Windows 95/98 serve only
// "Windows 4.0" (Wine's conformance tests: "Windows NT x86" is invalid for
// win9x), whose driver directory there is the system directory (Wine's
// reference of GetPrinterDriverDirectory, from the systems' answers), where
// an accepted driver's files stay.
//
// Tests steer and watch it below HKCU\Software\QELTests\Spooler:
//   Refuse\<function> (DWORD): that function fails with this error code;
//   Refuse\<function>@<n> (DWORD): only its n-th call (from 1) fails so;
//   Touch\<function> (REG_SZ): a file that function creates when called;
//   Counts\<function> (DWORD): calls of that function so far;
//   Calls\0000, 0001, ...: each add call, its level, every field of its
//     record (REG_SZ texts, REG_DWORD numbers and set pointers, REG_BINARY
//     dependent files; a null field has no value) and its Result (DWORD: 0,
//     or the error code it failed with);
//   OpenPrinters (DWORD): printer handles given out and not closed;
//   LastErrorOnSuccess (DWORD): left as the last error by a call that
//     succeeds (otherwise it stays as it was), as some spoolers do;
//   Ports (REG_MULTI_SZ): the ports this machine has; without it, those of a
//     fresh Windows 2000 (LPT1: to LPT3:, COM1: to COM4:, FILE:);
//   NameCheckedLast (DWORD): nonzero checks whether the printer exists after
//     its port and driver, not before (the documents leave that order open);
//   DriverCheckedFirst (DWORD): nonzero checks the driver before the port
//     (the documents give both orders).
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kPrint = "SYSTEM\\CurrentControlSet\\Control\\Print";
const char* const kNativeNT = sizeof(void*) == 8 ? "Windows x64" : "Windows NT x86";
const char kWindows9x[] = "Windows 4.0";
using Texts = std::initializer_list<std::pair<const char*, const char*>>;

struct Key {
  Key(HKEY parent, const std::string& path, bool create) {
    if (create) RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    else RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key);
  }
  Key(Key&& other) : key(other.key) { other.key = nullptr; }
  ~Key() { if (key) RegCloseKey(key); }
  void Set(const char* name, DWORD type, const void* data, size_t size) {
    if (key && data) RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  }
  // A null text is left out, or stored empty.
  void Set(Texts texts, bool keepNull) {
    for (const auto& text : texts) {
      const char* value = text.second ? text.second : keepNull ? nullptr : "";
      Set(text.first, REG_SZ, value, value ? strlen(value) + 1 : 0);
    }
  }
  void Set(const char* name, DWORD number) { Set(name, REG_DWORD, &number, sizeof number); }
  DWORD Read(const char* name) const {
    DWORD number = 0, size = sizeof number;
    return key && !RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) ? number : 0;
  }
  // The value's bytes; false when it is missing.
  bool ReadBytes(const char* name, std::string* bytes) const {
    DWORD size = 0;
    if (!key || RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size)) return false;
    bytes->assign(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&(*bytes)[0]), &size)) return false;
    bytes->resize(size);
    return true;
  }
  HKEY key = nullptr;
};

Key Control(const std::string& below) { return Key(HKEY_CURRENT_USER, "Software\\QELTests\\Spooler" + below, true); }

Key RecordCall(const char* function, DWORD level) {
  Key calls = Control("\\Calls");
  DWORD count = 0;
  RegQueryInfoKeyA(calls.key, 0, 0, 0, &count, 0, 0, 0, 0, 0, 0, 0);
  char name[16];
  snprintf(name, sizeof name, "%04lu", static_cast<unsigned long>(count));
  Key call(calls.key, name, true);
  call.Set({{"Function", function}}, false);
  call.Set("Level", level);
  return call;
}

// The printer handles given out and not closed: a spooler refuses any other
// (ClosePrinter, API reference: ERROR_INVALID_HANDLE).
std::set<HANDLE> g_openPrinters;

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

BOOL Succeeded() {
  if (DWORD stale = Control("").Read("LastErrorOnSuccess")) SetLastError(stale);
  return TRUE;
}

bool Refused(const char* function) {
  Key counts = Control("\\Counts");
  DWORD call = counts.Read(function) + 1;
  counts.Set(function, call);
  // Another program's file, put in meanwhile.
  std::string other;
  if (Control("\\Touch").ReadBytes(function, &other))
    CloseHandle(CreateFileA(other.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  Key refuse = Control("\\Refuse");
  DWORD error = refuse.Read(function);
  if (!error) error = refuse.Read((function + ("@" + std::to_string(call))).c_str());
  return error && !Fail(error);
}

bool RunsAsWindows9x() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

const char* Native() { return RunsAsWindows9x() ? kWindows9x : kNativeNT; }

bool DriverDirectory(const char* environment, std::string* directory) {
  const char* named = environment && *environment ? environment : Native();
  bool windows9x = RunsAsWindows9x();
  const char* known[][2] = {{"Windows NT x86", "w32x86"}, {"Windows x64", "x64"}, {kWindows9x, "win40"}};
  for (const auto& entry : known) {
    if (lstrcmpiA(entry[0], named) || (windows9x && lstrcmpiA(entry[0], kWindows9x))) continue;
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    *directory = system + (windows9x ? std::string() : std::string("\\spool\\drivers\\") + entry[1]);
    CreateDirectoryA(directory->c_str(), nullptr);
    return true;
  }
  return Fail(ERROR_INVALID_ENVIRONMENT);
}

// The ports of this machine, upper-cased: the test's list, or a fresh
// Windows 2000's.
std::vector<std::string> Ports() {
  static const char kWindows2000[] = "LPT1:\0LPT2:\0LPT3:\0COM1:\0COM2:\0COM3:\0COM4:\0FILE:";
  std::string list;
  if (!Control("").ReadBytes("Ports", &list)) list.assign(kWindows2000, sizeof kWindows2000);
  std::vector<std::string> ports;
  for (size_t at = 0; at < list.size();) {
    size_t end = std::min(list.find('\0', at), list.size());
    std::string port = list.substr(at, end - at);
    CharUpperBuffA(&port[0], static_cast<DWORD>(port.size()));
    if (!port.empty()) ports.push_back(port);
    at = end + 1;
  }
  return ports;
}

// PRINTER_INFO_2's pPortName names one port, or several separated by commas
// (a printer pool): every one must be a port of this machine, compared
// regardless of case as Windows compares port names.
bool PortsKnown(const char* named) {
  if (!named || !*named) return false;
  std::vector<std::string> ports = Ports();
  std::string list(named);
  CharUpperBuffA(&list[0], static_cast<DWORD>(list.size()));
  for (size_t at = 0; at <= list.size();) {
    size_t comma = list.find(',', at);
    if (comma == std::string::npos) comma = list.size();
    std::string port = list.substr(at, comma - at);
    if (port.empty() || std::find(ports.begin(), ports.end(), port) == ports.end()) return false;
    at = comma + 1;
  }
  return true;
}

std::string DriverKey(const char* environment, DWORD version, const char* name) {
  return kPrint + "\\Environments\\" + environment + "\\Drivers\\Version-" + std::to_string(version) + "\\" + name;
}

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// By characters: a double-byte character may end in the byte of "\".
bool HasSeparator(const char* name) {
  for (const char* c = name; *c; c += IsDBCSLeadByte(static_cast<BYTE>(*c)) && c[1] ? 2 : 1)
    if (*c == '\\' || *c == ',') return true;
  return false;
}

// A NUL-separated list with its closing NUL.
std::string List(const char* list) {
  size_t size = 0;
  while (list && list[size]) size += strlen(list + size) + 1;
  return std::string(list ? list : "", list ? size + 1 : 0);
}

// One printer as the spooler keeps it; a missing text reads as empty.
struct KeptPrinter {
  explicit KeptPrinter(const std::string& name) : key(HKEY_LOCAL_MACHINE, kPrint + "\\Printers\\" + name, false) {}
  std::string Text(const char* value) const {
    char text[1024] = {};
    DWORD size = sizeof text - 1;
    return key.key && !RegQueryValueExA(key.key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) ? text
                                                                                                             : "";
  }
  Key key;
};

// Level-2 records first, their texts packed from the end of the buffer down,
// as the spooler lays them out; without a buffer it only counts.
class PrinterList {
 public:
  PrinterList(BYTE* buffer, DWORD size, size_t records)
      : buffer_(buffer), size_(size), needed_(static_cast<DWORD>(sizeof(PRINTER_INFO_2A) * records)) {}
  DWORD Needed() const { return needed_; }
  char* Pack(const std::string& text) {
    needed_ += static_cast<DWORD>(text.size() + 1);
    packed_ += static_cast<DWORD>(text.size() + 1);
    if (!buffer_) return nullptr;
    return static_cast<char*>(memcpy(buffer_ + size_ - packed_, text.c_str(), text.size() + 1));
  }

 private:
  BYTE* buffer_;
  DWORD size_, needed_, packed_ = 0;
};

std::vector<std::string> PrinterNames() {
  std::vector<std::string> names;
  Key printers(HKEY_LOCAL_MACHINE, kPrint + "\\Printers", false);
  char name[256];
  for (DWORD length = sizeof name;
       printers.key && !RegEnumKeyExA(printers.key, static_cast<DWORD>(names.size()), name, &length, 0, 0, 0, 0);
       length = sizeof name)
    names.emplace_back(name, length);
  return names;
}

// Fills `records` (null: only counts) within a buffer of `size` bytes.
DWORD ListPrinters(const std::vector<std::string>& names, PRINTER_INFO_2A* records, DWORD size) {
  PrinterList list(reinterpret_cast<BYTE*>(records), size, names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    KeptPrinter kept(names[i]);
    PRINTER_INFO_2A record = {};
    record.pPrinterName = list.Pack(kept.Text("Name"));
    record.pShareName = list.Pack(kept.Text("Share Name"));
    record.pPortName = list.Pack(kept.Text("Port"));
    record.pDriverName = list.Pack(kept.Text("Printer Driver"));
    record.pComment = list.Pack(kept.Text("Description"));
    record.pLocation = list.Pack(kept.Text("Location"));
    record.pSepFile = list.Pack(kept.Text("Separator File"));
    record.pPrintProcessor = list.Pack(kept.Text("Print Processor"));
    record.pDatatype = list.Pack(kept.Text("Datatype"));
    record.pParameters = list.Pack(kept.Text("Parameters"));
    record.Attributes = kept.key.Read("Attributes");
    if (records) records[i] = record;
  }
  return list.Needed();
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size,
                                                LPDWORD needed, LPDWORD returned) {
  if (Refused("EnumPrintersA")) return FALSE;
  if (!needed || !returned) return Fail(RPC_X_NULL_REF_POINTER);
  *returned = 0;
  // Only this machine's printers: no connections, no other servers.
  if (!(flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_NAME))) return Succeeded();
  if ((flags & PRINTER_ENUM_NAME) && name && *name) return Fail(ERROR_INVALID_NAME);
  if (level != 2) return Fail(ERROR_INVALID_LEVEL);
  std::vector<std::string> names = PrinterNames();
  *needed = ListPrinters(names, nullptr, 0);
  // With no printers there is nothing to ask room for (Wine's conformance
  // tests: success, 0 needed, 0 returned).
  if (size < *needed || (!buffer && *needed > 0)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  ListPrinters(names, reinterpret_cast<PRINTER_INFO_2A*>(buffer), size);
  *returned = static_cast<DWORD>(names.size());
  return Succeeded();
}


__declspec(dllexport) BOOL WINAPI GetPrinterDriverDirectoryA(LPSTR, LPSTR environment, DWORD level, LPBYTE buffer,
                                                             DWORD size, LPDWORD needed) {
  std::string directory;
  if (Refused("GetPrinterDriverDirectoryA")) return FALSE;
  // As Windows 2000 and later answer a null size pointer (Wine's tests).
  if (!needed) return Fail(RPC_X_NULL_REF_POINTER);
  if (level != 1) return Fail(ERROR_INVALID_LEVEL);
  if (!DriverDirectory(environment, &directory)) return FALSE;
  *needed = static_cast<DWORD>(directory.size() + 1);
  if (!buffer || size <= directory.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
  memcpy(buffer, directory.c_str(), directory.size() + 1);
  return TRUE;
}

static BOOL AddDriver(Key& call, DWORD level, LPBYTE info) {
  const DRIVER_INFO_3A* d = reinterpret_cast<const DRIVER_INFO_3A*>(info);
  if (level != 3 || !d) return Fail(level != 3 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
  std::string dependent = List(d->pDependentFiles);
  call.Set("cVersion", d->cVersion);
  call.Set({{"pName", d->pName}, {"pEnvironment", d->pEnvironment}, {"pDriverPath", d->pDriverPath},
            {"pDataFile", d->pDataFile}, {"pConfigFile", d->pConfigFile}, {"pHelpFile", d->pHelpFile},
            {"pMonitorName", d->pMonitorName}, {"pDefaultDataType", d->pDefaultDataType}}, true);
  call.Set("pDependentFiles", REG_BINARY, d->pDependentFiles, dependent.size());
  if (Refused("AddPrinterDriverA")) return FALSE;

  // [MS-RPRN] 3.1.4.1.8.3: a driver names itself and its three main files;
  // an environment this server does not serve is refused (3.1.4.1.3); none
  // (or an empty one) is the server's own.
  std::string directory;
  const char* environment = d->pEnvironment && *d->pEnvironment ? d->pEnvironment : Native();
  if (!d->pName || !*d->pName || !d->pDriverPath || !*d->pDriverPath || !d->pDataFile || !*d->pDataFile ||
      !d->pConfigFile || !*d->pConfigFile)
    return Fail(ERROR_INVALID_PARAMETER);
  if (!DriverDirectory(environment, &directory)) return FALSE;
  // AddPrinterDriver (API reference): all the files a driver needs are
  // copied to the printer driver directory before the call. So every file
  // the record names must lie there, the driver, data and configuration
  // files as much as its help and dependent files. All are checked before
  // any is taken, so a refused driver leaves no copy behind.
  std::string files = std::string(d->pDriverPath) + '\0' + d->pDataFile + '\0' + d->pConfigFile + '\0' +
                      (d->pHelpFile ? d->pHelpFile : "") + '\0' + dependent;
  std::vector<std::string> named;
  for (const char* file = files.c_str(); file < files.c_str() + files.size(); file += strlen(file) + 1)
    if (*file) named.emplace_back(file);
  for (const std::string& file : named)
    if (!IsFile(directory + "\\" + file)) return Fail(ERROR_FILE_NOT_FOUND);
  std::string version = directory + "\\" + std::to_string(d->cVersion) + "\\";
  if (!RunsAsWindows9x()) {
    CreateDirectoryA(version.c_str(), nullptr);
    for (const std::string& file : named)
      if (!CopyFileA((directory + "\\" + file).c_str(), (version + file).c_str(), FALSE))
        return Fail(ERROR_ACCESS_DENIED);
  }
  Key kept(HKEY_LOCAL_MACHINE, DriverKey(environment, d->cVersion, d->pName), true);
  kept.Set("Version", d->cVersion);
  kept.Set({{"Driver", d->pDriverPath}, {"Data File", d->pDataFile}, {"Configuration File", d->pConfigFile},
            {"Help File", d->pHelpFile}, {"Monitor", d->pMonitorName}, {"Datatype", d->pDefaultDataType}}, false);
  kept.Set("Dependent Files", REG_MULTI_SZ, d->pDependentFiles, dependent.size());
  return Succeeded();
}

// What the add call gave, kept with its record; the caller's last error
// stays what the call left.
static void RecordResult(Key& call, bool succeeded) {
  DWORD error = GetLastError();
  call.Set("Result", succeeded ? 0 : error);
  SetLastError(error);
}

__declspec(dllexport) BOOL WINAPI AddPrinterDriverA(LPSTR, DWORD level, LPBYTE info) {
  Key call = RecordCall("AddPrinterDriverA", level);
  BOOL added = AddDriver(call, level, info);
  RecordResult(call, added);
  return added;
}

static HANDLE AddPrinterTo(Key& call, DWORD level, LPBYTE info) {
  const PRINTER_INFO_2A* p = reinterpret_cast<const PRINTER_INFO_2A*>(info);
  if (level != 2 || !p) return Fail(level != 2 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER), nullptr;
  call.Set({{"pServerName", p->pServerName}, {"pPrinterName", p->pPrinterName}, {"pShareName", p->pShareName},
            {"pPortName", p->pPortName}, {"pDriverName", p->pDriverName}, {"pComment", p->pComment},
            {"pLocation", p->pLocation}, {"pSepFile", p->pSepFile}, {"pPrintProcessor", p->pPrintProcessor},
            {"pDatatype", p->pDatatype}, {"pParameters", p->pParameters}}, true);
  if (p->pDevMode) call.Set("pDevMode", 1);
  if (p->pSecurityDescriptor) call.Set("pSecurityDescriptor", 1);
  for (const auto& number : {std::make_pair("Attributes", p->Attributes), {"Priority", p->Priority},
                             {"DefaultPriority", p->DefaultPriority}, {"StartTime", p->StartTime},
                             {"UntilTime", p->UntilTime}, {"Status", p->Status}, {"cJobs", p->cJobs},
                             {"AveragePPM", p->AveragePPM}})
    call.Set(number.first, number.second);
  if (Refused("AddPrinterA")) return nullptr;

  const char* name = p->pPrinterName;
  std::string path = kPrint + "\\Printers\\" + (name ? name : "");
  // [MS-RPRN] 2.2.4.14 and 3.1.4.1.5: a printer name is not empty and holds
  // neither "\\" nor ",".
  if (!name || !*name || strlen(name) > 220 || HasSeparator(name)) return Fail(ERROR_INVALID_PRINTER_NAME), nullptr;
  // [MS-RPRN] 3.1.4.2.3 validates the printer container before anything else
  // but leaves open where the name's existence is checked: tests may move it
  // behind the container's checks.
  bool nameLast = Control("").Read("NameCheckedLast") != 0;
  bool exists = Key(HKEY_LOCAL_MACHINE, path, false).key != nullptr;
  if (exists && !nameLast) return Fail(ERROR_PRINTER_ALREADY_EXISTS), nullptr;
  // [MS-RPRN] 3.1.4.1.8.6, the printer container's checks in its order: the
  // data type the print processor takes, the print processor (which the
  // AddPrinter reference requires), the separator file, the port, the driver.
  if (p->pDatatype && lstrcmpiA(p->pDatatype, "RAW")) return Fail(ERROR_INVALID_DATATYPE), nullptr;
  if (!p->pPrintProcessor || lstrcmpiA(p->pPrintProcessor, "WinPrint"))
    return Fail(ERROR_UNKNOWN_PRINTPROCESSOR), nullptr;
  if (p->pSepFile && *p->pSepFile && !IsFile(p->pSepFile))
    return Fail(ERROR_INVALID_SEPARATOR_FILE), nullptr;
  // 3.1.4.2.3's own steps for a level-2 record check the driver before the
  // port: tests may take that order.
  bool driverFirst = Control("").Read("DriverCheckedFirst") != 0;
  bool driverKnown = false;
  for (DWORD version : {0, 2, 3})
    driverKnown |= p->pDriverName && Key(HKEY_LOCAL_MACHINE, DriverKey(Native(), version, p->pDriverName), false).key;
  if (driverFirst && !driverKnown) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER), nullptr;
  if (!PortsKnown(p->pPortName)) return Fail(ERROR_UNKNOWN_PORT), nullptr;
  if (!driverKnown) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER), nullptr;
  // PRINTER_INFO_2 (API reference): pShareName is the share point of a
  // printer with PRINTER_ATTRIBUTE_SHARED. What a shared printer without one
  // gets is inferred, not documented: refused as an invalid share name.
  if ((p->Attributes & PRINTER_ATTRIBUTE_SHARED) && (!p->pShareName || !*p->pShareName))
    return Fail(ERROR_INVALID_SHARENAME), nullptr;
  if (exists) return Fail(ERROR_PRINTER_ALREADY_EXISTS), nullptr;

  Key(HKEY_LOCAL_MACHINE, path, true).Set({{"Name", name}, {"Share Name", p->pShareName}, {"Port", p->pPortName},
                                           {"Printer Driver", p->pDriverName}, {"Description", p->pComment},
                                           {"Print Processor", p->pPrintProcessor},
                                           {"Datatype", p->pDatatype ? p->pDatatype : "RAW"}}, false);
  Key(HKEY_LOCAL_MACHINE, path, true).Set("Attributes", p->Attributes);
  Key control = Control("");
  control.Set("OpenPrinters", control.Read("OpenPrinters") + 1);
  Succeeded();
  return *g_openPrinters.insert(new char('P')).first;
}

__declspec(dllexport) HANDLE WINAPI AddPrinterA(LPSTR, DWORD level, LPBYTE info) {
  Key call = RecordCall("AddPrinterA", level);
  HANDLE printer = AddPrinterTo(call, level, info);
  RecordResult(call, printer != nullptr);
  return printer;
}

__declspec(dllexport) BOOL WINAPI ClosePrinter(HANDLE printer) {
  // A refused close leaves the handle open, as a spooler that failed would.
  if (Refused("ClosePrinter")) return FALSE;
  if (!g_openPrinters.erase(printer)) return Fail(ERROR_INVALID_HANDLE);
  delete static_cast<char*>(printer);
  Key control = Control("");
  control.Set("OpenPrinters", control.Read("OpenPrinters") - 1);
  return TRUE;
}

}  // extern "C"
