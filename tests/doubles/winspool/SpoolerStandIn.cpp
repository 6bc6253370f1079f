// A local print spooler in place of Wine's, which leaves stale error codes,
// never reports an existing printer and half-adds a printer without a data
// type. Printers and drivers are kept where Windows keeps them, below
// HKLM\SYSTEM\CurrentControlSet\Control\Print, so they outlast the process
// and `reg query` shows them. Driver files must lie at the top of the driver
// directory of the record's environment; an accepted driver's files are
// copied into its version folder there, as the system's spooler does.
// Success leaves the thread's last error as it was.
//
// Tests steer and watch it below HKCU\Software\QELTests\Spooler:
//   Refuse\<function> (DWORD): that function fails with this error code;
//   Calls\0000, 0001, ...: each call in order with its level and every field
//     of the record it carried (text as REG_SZ, numbers as REG_DWORD, a set
//     pointer that is no text as DWORD 1, a null field as no value at all);
//   OpenPrinters (DWORD): handles given out and not closed yet.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

const char kPrint[] = "SYSTEM\\CurrentControlSet\\Control\\Print";
const char kControl[] = "Software\\QELTests\\Spooler";
#ifdef _WIN64
const char kNativeEnvironment[] = "Windows x64";
#else
const char kNativeEnvironment[] = "Windows NT x86";
#endif
const char* const kEnvironments[][2] = {{"Windows NT x86", "w32x86"}, {"Windows x64", "x64"}, {"Windows 4.0", "win40"}};

class Key {
 public:
  Key(HKEY parent, const std::string& path, bool create) {
    if (create)
      RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    else
      RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key_);
  }
  Key(Key&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY Handle() const { return key_; }
  void Set(const char* name, DWORD type, const void* data, size_t size) {
    if (key_) RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  }
  void Text(const char* name, const char* text) {
    if (text) Set(name, REG_SZ, text, strlen(text) + 1);
  }
  void Number(const char* name, DWORD number) { Set(name, REG_DWORD, &number, sizeof number); }
  void Pointer(const char* name, const void* pointer) {
    if (pointer) Number(name, 1);
  }
  DWORD NumberOr(const char* name, DWORD fallback) const {
    DWORD number = 0, size = sizeof number;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size)) return fallback;
    return number;
  }

 private:
  HKEY key_ = nullptr;
};

Key Control(const char* below = "") { return Key(HKEY_CURRENT_USER, std::string(kControl) + below, true); }

Key RecordCall(const char* function, DWORD level) {
  Key calls = Control("\\Calls");
  DWORD count = 0;
  RegQueryInfoKeyA(calls.Handle(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr);
  char name[16];
  snprintf(name, sizeof name, "%04lu", static_cast<unsigned long>(count));
  Key call(calls.Handle(), name, true);
  call.Text("Function", function);
  call.Number("Level", level);
  return call;
}

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

bool Refused(const char* function) {
  DWORD error = Control("\\Refuse").NumberOr(function, ERROR_SUCCESS);
  return error != ERROR_SUCCESS && !Fail(error);
}

bool DriverDirectory(const char* environment, std::string* directory) {
  if (!environment) environment = kNativeEnvironment;
  for (const auto& known : kEnvironments) {
    if (lstrcmpiA(known[0], environment) != 0) continue;
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    *directory = std::string(system) + "\\spool\\drivers\\" + known[1];
    CreateDirectoryA(directory->c_str(), nullptr);
    return true;
  }
  return Fail(ERROR_INVALID_ENVIRONMENT);
}

bool DriverKnown(const char* name) {
  for (const char* version : {"3", "2", "0"}) {
    std::string path = std::string(kPrint) + "\\Environments\\" + kNativeEnvironment + "\\Drivers\\Version-" + version;
    if (Key(HKEY_LOCAL_MACHINE, path + "\\" + name, false).Handle()) return true;
  }
  return false;
}

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The bytes of a NUL-separated list up to and including its closing NUL.
size_t ListSize(const char* list) {
  size_t size = 0;
  while (list[size]) size += strlen(list + size) + 1;
  return size + 1;
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI GetPrinterDriverDirectoryA(LPSTR server, LPSTR environment, DWORD level,
                                                             LPBYTE buffer, DWORD size, LPDWORD needed) {
  std::string directory;
  if (Refused("GetPrinterDriverDirectoryA")) return FALSE;
  if (level != 1) return Fail(ERROR_INVALID_LEVEL);
  if (!DriverDirectory(environment, &directory)) return FALSE;
  if (needed) *needed = static_cast<DWORD>(directory.size() + 1);
  if (!buffer || size < directory.size() + 1) return Fail(ERROR_INSUFFICIENT_BUFFER);
  memcpy(buffer, directory.c_str(), directory.size() + 1);
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI AddPrinterDriverA(LPSTR server, DWORD level, LPBYTE info) {
  Key call = RecordCall("AddPrinterDriverA", level);
  if (level != 3) return Fail(ERROR_INVALID_LEVEL);
  const DRIVER_INFO_3A* driver = reinterpret_cast<const DRIVER_INFO_3A*>(info);
  if (!driver) return Fail(ERROR_INVALID_PARAMETER);
  call.Number("cVersion", driver->cVersion);
  const char* texts[][2] = {{"pName", driver->pName}, {"pEnvironment", driver->pEnvironment},
                            {"pDriverPath", driver->pDriverPath}, {"pDataFile", driver->pDataFile},
                            {"pConfigFile", driver->pConfigFile}, {"pHelpFile", driver->pHelpFile},
                            {"pMonitorName", driver->pMonitorName}, {"pDefaultDataType", driver->pDefaultDataType}};
  for (const auto& text : texts) call.Text(text[0], text[1]);
  if (driver->pDependentFiles)
    call.Set("pDependentFiles", REG_BINARY, driver->pDependentFiles, ListSize(driver->pDependentFiles));
  if (Refused("AddPrinterDriverA")) return FALSE;

  std::string directory;
  if (!driver->pName || !*driver->pName || !driver->pDriverPath || !driver->pDataFile || !driver->pConfigFile)
    return Fail(ERROR_INVALID_PARAMETER);
  if (!DriverDirectory(driver->pEnvironment, &directory)) return FALSE;
  std::string files[] = {driver->pDriverPath, driver->pDataFile, driver->pConfigFile,
                         driver->pHelpFile ? driver->pHelpFile : ""};
  std::string version = directory + "\\" + std::to_string(driver->cVersion);
  CreateDirectoryA(version.c_str(), nullptr);
  auto take = [&](const std::string& file) {
    if (file.empty()) return true;
    if (!IsFile(directory + "\\" + file)) return Fail(ERROR_FILE_NOT_FOUND);
    return CopyFileA((directory + "\\" + file).c_str(), (version + "\\" + file).c_str(), FALSE) != 0;
  };
  for (const std::string& file : files)
    if (!take(file)) return FALSE;
  for (const char* file = driver->pDependentFiles; file && *file; file += strlen(file) + 1)
    if (!take(file)) return FALSE;

  std::string environment = driver->pEnvironment ? driver->pEnvironment : kNativeEnvironment;
  Key kept(HKEY_LOCAL_MACHINE,
           std::string(kPrint) + "\\Environments\\" + environment + "\\Drivers\\Version-" +
               std::to_string(driver->cVersion) + "\\" + driver->pName,
           true);
  kept.Number("Version", driver->cVersion);
  kept.Text("Driver", driver->pDriverPath);
  kept.Text("Data File", driver->pDataFile);
  kept.Text("Configuration File", driver->pConfigFile);
  kept.Text("Help File", driver->pHelpFile ? driver->pHelpFile : "");
  kept.Text("Monitor", driver->pMonitorName ? driver->pMonitorName : "");
  kept.Text("Datatype", driver->pDefaultDataType ? driver->pDefaultDataType : "");
  if (driver->pDependentFiles)
    kept.Set("Dependent Files", REG_MULTI_SZ, driver->pDependentFiles, ListSize(driver->pDependentFiles));
  return TRUE;
}

__declspec(dllexport) HANDLE WINAPI AddPrinterA(LPSTR server, DWORD level, LPBYTE info) {
  Key call = RecordCall("AddPrinterA", level);
  if (level != 2) return Fail(ERROR_INVALID_LEVEL), nullptr;
  const PRINTER_INFO_2A* printer = reinterpret_cast<const PRINTER_INFO_2A*>(info);
  if (!printer) return Fail(ERROR_INVALID_PARAMETER), nullptr;
  const char* texts[][2] = {
      {"pServerName", printer->pServerName}, {"pPrinterName", printer->pPrinterName},
      {"pShareName", printer->pShareName},   {"pPortName", printer->pPortName},
      {"pDriverName", printer->pDriverName}, {"pComment", printer->pComment},
      {"pLocation", printer->pLocation},     {"pSepFile", printer->pSepFile},
      {"pPrintProcessor", printer->pPrintProcessor}, {"pDatatype", printer->pDatatype},
      {"pParameters", printer->pParameters}};
  for (const auto& text : texts) call.Text(text[0], text[1]);
  call.Pointer("pDevMode", printer->pDevMode);
  call.Pointer("pSecurityDescriptor", printer->pSecurityDescriptor);
  const DWORD numbers[] = {printer->Attributes, printer->Priority, printer->DefaultPriority, printer->StartTime,
                           printer->UntilTime,  printer->Status,   printer->cJobs,           printer->AveragePPM};
  const char* numberNames[] = {"Attributes", "Priority", "DefaultPriority", "StartTime",
                               "UntilTime",  "Status",   "cJobs",           "AveragePPM"};
  for (int i = 0; i < 8; ++i) call.Number(numberNames[i], numbers[i]);
  if (Refused("AddPrinterA")) return nullptr;

  const char* name = printer->pPrinterName;
  if (!name || !*name || strlen(name) > 220 || strpbrk(name, "\\,")) return Fail(ERROR_INVALID_PRINTER_NAME), nullptr;
  std::string path = std::string(kPrint) + "\\Printers\\" + name;
  if (Key(HKEY_LOCAL_MACHINE, path, false).Handle()) return Fail(ERROR_PRINTER_ALREADY_EXISTS), nullptr;
  // Ports are not modelled: any named port will do.
  if (!printer->pPortName || !*printer->pPortName) return Fail(ERROR_UNKNOWN_PORT), nullptr;
  if (!printer->pDriverName || !DriverKnown(printer->pDriverName)) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER), nullptr;
  if (!printer->pPrintProcessor || lstrcmpiA(printer->pPrintProcessor, "WinPrint") != 0)
    return Fail(ERROR_UNKNOWN_PRINTPROCESSOR), nullptr;
  if (printer->pDatatype && lstrcmpiA(printer->pDatatype, "RAW") != 0) return Fail(ERROR_INVALID_DATATYPE), nullptr;

  Key kept(HKEY_LOCAL_MACHINE, path, true);
  kept.Text("Name", name);
  kept.Text("Share Name", printer->pShareName ? printer->pShareName : "");
  kept.Text("Port", printer->pPortName);
  kept.Text("Printer Driver", printer->pDriverName);
  kept.Text("Description", printer->pComment ? printer->pComment : "");
  kept.Text("Print Processor", printer->pPrintProcessor);
  kept.Text("Datatype", printer->pDatatype ? printer->pDatatype : "RAW");
  kept.Number("Attributes", printer->Attributes);
  Key control = Control();
  control.Number("OpenPrinters", control.NumberOr("OpenPrinters", 0) + 1);
  return new char('P');
}

__declspec(dllexport) BOOL WINAPI ClosePrinter(HANDLE printer) {
  if (Refused("ClosePrinter")) return FALSE;
  if (!printer) return Fail(ERROR_INVALID_HANDLE);
  delete static_cast<char*>(printer);
  Key control = Control();
  control.Number("OpenPrinters", control.NumberOr("OpenPrinters", 0) - 1);
  return TRUE;
}

}  // extern "C"
