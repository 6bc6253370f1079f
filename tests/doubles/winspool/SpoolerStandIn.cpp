// A local print spooler in place of Wine's, which leaves stale error codes,
// never reports an existing printer and half-adds a printer without a data
// type. Printers and drivers are kept where Windows keeps them (below
// HKLM\SYSTEM\CurrentControlSet\Control\Print), so they outlast the process.
// A driver's files must lie at the top of the driver directory of its
// environment; once accepted they are copied into its version folder there.
// Success leaves the thread's last error as it was.
//
// Tests steer and watch it below HKCU\Software\QELTests\Spooler:
//   Refuse\<function> (DWORD): that function fails with this error code;
//   Calls\0000, 0001, ...: each add call with its level and every field of
//     its record (texts REG_SZ, numbers and set pointers that are no text
//     REG_DWORD, the dependent files REG_BINARY; a null field is no value);
//   OpenPrinters (DWORD): handles given out and not closed yet.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

const std::string kPrint = "SYSTEM\\CurrentControlSet\\Control\\Print";
#ifdef _WIN64
const char kNative[] = "Windows x64";
#else
const char kNative[] = "Windows NT x86";
#endif

struct Key {
  Key(HKEY parent, const std::string& path, bool create) {
    if (create)
      RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    else
      RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key);
  }
  ~Key() {
    if (key) RegCloseKey(key);
  }
  void Set(const char* name, DWORD type, const void* data, size_t size) {
    if (key && data) RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  }
  void Text(const char* name, const char* text) { Set(name, REG_SZ, text, text ? strlen(text) + 1 : 0); }
  void Number(const char* name, DWORD number) { Set(name, REG_DWORD, &number, sizeof number); }
  DWORD Read(const char* name) const {
    DWORD number = 0, size = sizeof number;
    return key && !RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) ? number : 0;
  }
  HKEY key = nullptr;
};

Key Control(const std::string& below) { return Key(HKEY_CURRENT_USER, "Software\\QELTests\\Spooler" + below, true); }

Key* NewCallRecord(const char* function, DWORD level) {
  Key calls = Control("\\Calls");
  DWORD count = 0;
  RegQueryInfoKeyA(calls.key, 0, 0, 0, &count, 0, 0, 0, 0, 0, 0, 0);
  char name[16];
  snprintf(name, sizeof name, "%04lu", static_cast<unsigned long>(count));
  Key* call = new Key(calls.key, name, true);
  call->Text("Function", function);
  call->Number("Level", level);
  return call;
}

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

bool Refused(const char* function) {
  DWORD error = Control("\\Refuse").Read(function);
  return error && !Fail(error);
}

bool DriverDirectory(const char* environment, std::string* directory) {
  const char* known[][2] = {{"Windows NT x86", "w32x86"}, {"Windows x64", "x64"}, {"Windows 4.0", "win40"}};
  for (const auto& entry : known) {
    if (lstrcmpiA(entry[0], environment ? environment : kNative)) continue;
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    *directory = std::string(system) + "\\spool\\drivers\\" + entry[1];
    CreateDirectoryA(directory->c_str(), nullptr);
    return true;
  }
  return Fail(ERROR_INVALID_ENVIRONMENT);
}

std::string DriverKey(const char* environment, DWORD version, const char* name) {
  return kPrint + "\\Environments\\" + environment + "\\Drivers\\Version-" + std::to_string(version) + "\\" + name;
}

size_t ListSize(const char* list) {
  size_t size = 0;
  while (list[size]) size += strlen(list + size) + 1;
  return size + 1;
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI
    GetPrinterDriverDirectoryA(LPSTR, LPSTR environment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  std::string directory;
  if (Refused("GetPrinterDriverDirectoryA")) return FALSE;
  if (level != 1) return Fail(ERROR_INVALID_LEVEL);
  if (!DriverDirectory(environment, &directory)) return FALSE;
  if (needed) *needed = static_cast<DWORD>(directory.size() + 1);
  if (!buffer || size <= directory.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
  memcpy(buffer, directory.c_str(), directory.size() + 1);
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI AddPrinterDriverA(LPSTR, DWORD level, LPBYTE info) {
  std::unique_ptr<Key> call(NewCallRecord("AddPrinterDriverA", level));
  const DRIVER_INFO_3A* d = reinterpret_cast<const DRIVER_INFO_3A*>(info);
  if (level != 3 || !d) return Fail(level != 3 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
  call->Number("cVersion", d->cVersion);
  const char* texts[][2] = {{"pName", d->pName},
                            {"pEnvironment", d->pEnvironment},
                            {"pDriverPath", d->pDriverPath},
                            {"pDataFile", d->pDataFile},
                            {"pConfigFile", d->pConfigFile},
                            {"pHelpFile", d->pHelpFile},
                            {"pMonitorName", d->pMonitorName},
                            {"pDefaultDataType", d->pDefaultDataType}};
  for (const auto& text : texts) call->Text(text[0], text[1]);
  if (d->pDependentFiles) call->Set("pDependentFiles", REG_BINARY, d->pDependentFiles, ListSize(d->pDependentFiles));
  if (Refused("AddPrinterDriverA")) return FALSE;

  std::string directory;
  if (!d->pName || !*d->pName || !d->pDriverPath || !d->pDataFile || !d->pConfigFile)
    return Fail(ERROR_INVALID_PARAMETER);
  const char* environment = d->pEnvironment ? d->pEnvironment : kNative;
  if (!DriverDirectory(environment, &directory)) return FALSE;
  std::string files = std::string(d->pDriverPath) + '\0' + d->pDataFile + '\0' + d->pConfigFile + '\0' +
                      (d->pHelpFile ? d->pHelpFile : "") + '\0';
  if (d->pDependentFiles) files.append(d->pDependentFiles, ListSize(d->pDependentFiles));
  std::string version = directory + "\\" + std::to_string(d->cVersion) + "\\";
  CreateDirectoryA(version.c_str(), nullptr);
  for (const char* file = files.c_str(); file < files.c_str() + files.size(); file += strlen(file) + 1) {
    std::string from = directory + "\\" + file;
    if (*file && !CopyFileA(from.c_str(), (version + file).c_str(), FALSE)) return Fail(ERROR_FILE_NOT_FOUND);
  }
  Key kept(HKEY_LOCAL_MACHINE, DriverKey(environment, d->cVersion, d->pName), true);
  kept.Number("Version", d->cVersion);
  const char* values[][2] = {
      {"Driver", d->pDriverPath},  {"Data File", d->pDataFile},  {"Configuration File", d->pConfigFile},
      {"Help File", d->pHelpFile}, {"Monitor", d->pMonitorName}, {"Datatype", d->pDefaultDataType}};
  for (const auto& value : values) kept.Text(value[0], value[1] ? value[1] : "");
  if (d->pDependentFiles) kept.Set("Dependent Files", REG_MULTI_SZ, d->pDependentFiles, ListSize(d->pDependentFiles));
  return TRUE;
}

__declspec(dllexport) HANDLE WINAPI AddPrinterA(LPSTR, DWORD level, LPBYTE info) {
  std::unique_ptr<Key> call(NewCallRecord("AddPrinterA", level));
  const PRINTER_INFO_2A* p = reinterpret_cast<const PRINTER_INFO_2A*>(info);
  if (level != 2 || !p) return Fail(level != 2 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER), nullptr;
  const char* texts[][2] = {
      {"pServerName", p->pServerName}, {"pPrinterName", p->pPrinterName}, {"pShareName", p->pShareName},
      {"pPortName", p->pPortName},     {"pDriverName", p->pDriverName},   {"pComment", p->pComment},
      {"pLocation", p->pLocation},     {"pSepFile", p->pSepFile},         {"pPrintProcessor", p->pPrintProcessor},
      {"pDatatype", p->pDatatype},     {"pParameters", p->pParameters}};
  for (const auto& text : texts) call->Text(text[0], text[1]);
  if (p->pDevMode) call->Number("pDevMode", 1);
  if (p->pSecurityDescriptor) call->Number("pSecurityDescriptor", 1);
  const std::pair<const char*, DWORD> numbers[] = {
      {"Attributes", p->Attributes}, {"Priority", p->Priority},    {"DefaultPriority", p->DefaultPriority},
      {"StartTime", p->StartTime},   {"UntilTime", p->UntilTime},  {"Status", p->Status},
      {"cJobs", p->cJobs},           {"AveragePPM", p->AveragePPM}};
  for (const auto& number : numbers) call->Number(number.first, number.second);
  if (Refused("AddPrinterA")) return nullptr;

  const char* name = p->pPrinterName;
  if (!name || !*name || strlen(name) > 220 || strpbrk(name, "\\,")) return Fail(ERROR_INVALID_PRINTER_NAME), nullptr;
  std::string path = kPrint + "\\Printers\\" + name;
  if (Key(HKEY_LOCAL_MACHINE, path, false).key) return Fail(ERROR_PRINTER_ALREADY_EXISTS), nullptr;
  // Ports are not modelled: any named port will do.
  if (!p->pPortName || !*p->pPortName) return Fail(ERROR_UNKNOWN_PORT), nullptr;
  bool known = false;
  for (DWORD version : {0, 2, 3})
    known =
        known || (p->pDriverName && Key(HKEY_LOCAL_MACHINE, DriverKey(kNative, version, p->pDriverName), false).key);
  if (!known) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER), nullptr;
  if (!p->pPrintProcessor || lstrcmpiA(p->pPrintProcessor, "WinPrint"))
    return Fail(ERROR_UNKNOWN_PRINTPROCESSOR), nullptr;
  if (p->pDatatype && lstrcmpiA(p->pDatatype, "RAW")) return Fail(ERROR_INVALID_DATATYPE), nullptr;

  Key kept(HKEY_LOCAL_MACHINE, path, true);
  const char* values[][2] = {{"Name", name},
                             {"Share Name", p->pShareName},
                             {"Port", p->pPortName},
                             {"Printer Driver", p->pDriverName},
                             {"Description", p->pComment},
                             {"Print Processor", p->pPrintProcessor},
                             {"Datatype", p->pDatatype ? p->pDatatype : "RAW"}};
  for (const auto& value : values) kept.Text(value[0], value[1] ? value[1] : "");
  kept.Number("Attributes", p->Attributes);
  Key control = Control("");
  control.Number("OpenPrinters", control.Read("OpenPrinters") + 1);
  return new char('P');
}

__declspec(dllexport) BOOL WINAPI ClosePrinter(HANDLE printer) {
  if (Refused("ClosePrinter")) return FALSE;
  if (!printer) return Fail(ERROR_INVALID_HANDLE);
  delete static_cast<char*>(printer);
  Key control = Control("");
  control.Number("OpenPrinters", control.Read("OpenPrinters") - 1);
  return TRUE;
}

}  // extern "C"
