// InstallPrinter as a host calls it (QELPrinter.dll loaded afresh for each
// call, as a new host process would), against the spooler stand-in, which
// records every record it is handed. Driver installation needs a Windows
// that printer drivers serve: these suites run as Windows 2000.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RawRegistry.h"
#include "SystemPrinterInf.h"
#include "TestFolder.h"

namespace {

const std::string kPrint = "SYSTEM\\CurrentControlSet\\Control\\Print";
const std::string kSpooler = "Software\\QELTests\\Spooler";
const std::string kProduct = "SOFTWARE\\Corvane Systems\\Hollowmarch";
const char* const kNative = sizeof(void*) == 8 ? "Windows x64" : "Windows NT x86";
const std::vector<std::string> kDriverFiles = {"K100.PPD", "KDRV.DLL", "KUI.DLL"};
// The list the spooler gets for them: each name with its NUL, one NUL more.
const std::string kDependentFiles("K100.PPD\0KDRV.DLL\0KUI.DLL\0", 26);

// A REG_SZ's data: the text and its NUL.
std::string Stored(const char* text) { return std::string(text, strlen(text) + 1); }

std::string SystemFolder(const char* below) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  return system + std::string(below);
}

std::string DriverKey(const char* environment, const char* model) {
  return kPrint + "\\Environments\\" + environment + "\\Drivers\\Version-3\\" + model;
}

std::vector<std::string> Files(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  while (search != INVALID_HANDLE_VALUE) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    if (!FindNextFileA(search, &entry)) break;
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return names;
}

class PrinterInstall_Win2k : public testing::Test {
 protected:
  void SetUp() override {
    Forget();
    std::string inf =
        "[Previous Names]\n\"Kalora Jet-100\" = \"Kalora Old 100\"\n"
        "[Kalora]\n\"Kalora Jet-100\" = K100, LPTENUM\\K100\n\"Kalora Jet-200\" = K200\n"
        "[K100]\nCopyFiles=@K100.PPD,,KFILES\nDataSection=KDATA\nDataFile=K100.PPD\n"
        "[K200]\nCopyFiles=@K100.PPD,KFILES,KLONG\nDataSection=KDATA\nDataFile=K100.PPD\n"
        "[KDATA]\nDriverFile=KDRV.DLL\nConfigFile=KUI.DLL\n"
        "[KFILES]\nKDRV.DLL\nKUI.DLL\n"
        "[DestinationDirs]\nDefaultDestDir=66000\n[SourceDisksNames]\n1 = \"Disk\",,,\"\"\n[KLONG]\n";
    for (int i = 0; i < 40; ++i) longList_ += "KALORA_DEPENDENT_FILE_" + std::to_string(i) + ".DLL" + '\0';
    for (const char* file = longList_.c_str(); *file; file += strlen(file) + 1) inf += file + std::string("\n");
    ASSERT_TRUE(SystemPrinterInf::InstallText(inf));
    driverFolderFiles_ = Files(driverFolder_);
  }
  void TearDown() override {
    Forget();
    EXPECT_EQ(driverFolderFiles_, Files(driverFolder_)) << "no copy stays at the top of the driver folder";
  }
  // The spooler's printers and drivers of these tests, its records, and the product's settings.
  void Forget() {
    for (const std::string& printer : RawSubkeyNames(HKEY_LOCAL_MACHINE, kPrint + "\\Printers"))
      if (printer.rfind("QEL ", 0) == 0) RawDeleteTree(HKEY_LOCAL_MACHINE, kPrint + "\\Printers\\" + printer);
    for (const char* environment : {"Windows NT x86", "Windows x64"})
      for (const char* model : {"Kalora Jet-100", "Kalora Jet-200", "QEL Known"})
        RawDeleteTree(HKEY_LOCAL_MACHINE, DriverKey(environment, model));
    RawDeleteTree(HKEY_CURRENT_USER, kSpooler);
    RawDeleteTree(HKEY_LOCAL_MACHINE, kProduct);
    RawDeleteTree(HKEY_CURRENT_USER, kProduct);
  }
  void UseCabFolder(const std::string& folder) {
    RawCreateKey(HKEY_LOCAL_MACHINE, kProduct + "\\4.0");
    RawSetText(HKEY_CURRENT_USER, kProduct + "\\4.0\\Settings", "Cab File Path", folder);
  }
  static void PutFiles(const std::string& folder, const std::vector<std::string>& names) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : names) {
      FILE* file = fopen((folder + "\\" + name).c_str(), "wb");
      ASSERT_TRUE(file) << folder << "\\" << name;
      fputs(name.c_str(), file);
      fclose(file);
    }
  }
  static void RemoveFiles(const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) DeleteFileA((folder + "\\" + name).c_str());
  }

  int Install(const char* request) {
    HMODULE dll = LoadLibraryA("QELPrinter.dll");
    auto install =
        reinterpret_cast<int (*)(const char*)>(reinterpret_cast<void*>(GetProcAddress(dll, "InstallPrinter")));
    int result = install ? install(request) : -1;
    FreeLibrary(dll);
    return result;
  }
  std::string Outcome() {
    return ReadRawValue(HKEY_CURRENT_USER, "Software\\Corvane Systems\\Hollowmarch\\QELPrinter", "Successful Install")
        .Bytes();
  }
  std::string CallKey(size_t call) {
    char name[8];
    snprintf(name, sizeof name, "%04u", static_cast<unsigned>(call));
    return kSpooler + "\\Calls\\" + name;
  }
  // The functions called, with the driver each AddPrinterA asked for.
  std::string Calls() {
    std::string calls;
    for (size_t i = 0; i < RawSubkeyNames(HKEY_CURRENT_USER, kSpooler + "\\Calls").size(); ++i)
      calls += Record(i, {"Function", "pDriverName"}) + ";";
    return calls;
  }
  // Fields of call `call` joined by "|": a text as it is, a number in
  // decimal, "-" for a field the record left null.
  std::string Record(size_t call, std::initializer_list<const char*> fields) {
    std::string joined;
    for (const char* field : fields) {
      RawValue value = ReadRawValue(HKEY_CURRENT_USER, CallKey(call), field);
      if (!joined.empty()) joined += "|";
      if (!value.Found())
        joined += "-";
      else if (value.type == REG_DWORD)
        joined += std::to_string(*reinterpret_cast<const DWORD*>(value.data.data()));
      else
        joined += value.Bytes().substr(0, value.Bytes().find('\0'));
    }
    return joined;
  }
  std::string DependentFiles(size_t call) {
    return ReadRawValue(HKEY_CURRENT_USER, CallKey(call), "pDependentFiles").Bytes();
  }
  // Printer handles the spooler gave out and were not closed.
  DWORD OpenPrinters() {
    RawValue open = ReadRawValue(HKEY_CURRENT_USER, kSpooler, "OpenPrinters");
    DWORD count = 0;
    if (open.data.size() == sizeof count) memcpy(&count, open.data.data(), sizeof count);
    return count;
  }

  TestFolder folder_;
  std::string longList_;
  std::string driverFolder_ = SystemFolder(sizeof(void*) == 8 ? "\\spool\\drivers\\x64" : "\\spool\\drivers\\w32x86");
  std::vector<std::string> driverFolderFiles_;
};

TEST_F(PrinterInstall_Win2k, TheRequestBecomesTheSpoolersRecord) {
  RawCreateKey(HKEY_LOCAL_MACHINE, DriverKey(kNative, "QEL Known"));
  for (const char* nothing : {(const char*)nullptr, "", "|||", "QEL Solo|"}) {
    EXPECT_EQ(0, Install(nothing));
    EXPECT_EQ(Stored("false"), Outcome());
  }
  EXPECT_EQ("", Calls()) << "no request with a driver field, no spooler call";

  EXPECT_EQ(1, Install("QEL A|QEL Known|LPT1:|NULL|NULL|ignored"));
  EXPECT_EQ(Stored("true"), Outcome());
  EXPECT_EQ("2|-|QEL A|-|LPT1:|QEL Known|-|-|-|-|WinPrint|-|-|-|0|0|0|0|0|0|0|0",
            Record(0, {"Level", "pServerName", "pPrinterName", "pShareName", "pPortName", "pDriverName", "pComment",
                       "pLocation", "pDevMode", "pSepFile", "pPrintProcessor", "pDatatype", "pParameters",
                       "pSecurityDescriptor", "Attributes", "Priority", "DefaultPriority", "StartTime", "UntilTime",
                       "Status", "cJobs", "AveragePPM"}))
      << "every field of the level-2 record";
  EXPECT_EQ(1, Install("QEL B|QEL Known|LPT1:"));
  EXPECT_EQ(1, Install("|QEL C||QEL Known|LPT1:|null|null|"));
  EXPECT_EQ(0, Install("QEL D||LPT1:"));
  std::string longComment(70000, 'c');
  EXPECT_EQ(1, Install(("QEL E|QEL Known|LPT1:|" + longComment + "|E").c_str()));
  EXPECT_EQ(0, Install("QEL A|QEL Known|LPT1:|NULL|NULL"));
  EXPECT_EQ(Stored("exists"), Outcome());
  EXPECT_EQ(0, Install("QEL F|Nobody Model|LPT1:"));
  EXPECT_EQ(Stored("false"), Outcome()) << "a model in neither the spooler nor the INF";

  std::initializer_list<const char*> fields = {"pPrinterName", "pDriverName", "pPortName",
                                               "pComment",     "pShareName",  "Attributes"};
  EXPECT_EQ("QEL B|QEL Known|LPT1:|-|-|8", Record(1, fields)) << "three fields ask for a shared printer";
  EXPECT_EQ("QEL C|QEL Known|LPT1:|null|null|8", Record(2, fields)) << "runs of | are one; null is a name";
  EXPECT_EQ("QEL D|LPT1:|-|-|-|8", Record(3, fields));
  EXPECT_EQ("QEL E|QEL Known|LPT1:|" + longComment + "|E|8", Record(4, fields));
  EXPECT_EQ(
      "AddPrinterA|QEL Known;AddPrinterA|QEL Known;AddPrinterA|QEL Known;AddPrinterA|LPT1:;"
      "AddPrinterA|QEL Known;AddPrinterA|QEL Known;AddPrinterA|Nobody Model;",
      Calls());
  EXPECT_EQ(0u, OpenPrinters());
}

TEST_F(PrinterInstall_Win2k, APreviousNameIsInstalledUnderItsCurrentName) {
  UseCabFolder(folder_.Root());
  PutFiles(folder_.Root(), kDriverFiles);
  int added = Install("QEL Old|Kalora Old 100|LPT1:|moved|NULL");
  EXPECT_EQ("3|Kalora Jet-100|Windows NT x86|KDRV.DLL|K100.PPD|KUI.DLL||-|RAW",
            Record(1, {"cVersion", "pName", "pEnvironment", "pDriverPath", "pDataFile", "pConfigFile", "pHelpFile",
                       "pMonitorName", "pDefaultDataType"}));
  EXPECT_EQ(kDependentFiles + '\0', DependentFiles(1));
  EXPECT_EQ(0u, OpenPrinters());
  if (sizeof(void*) == 4) {
    EXPECT_EQ(1, added);
    EXPECT_EQ(Stored("true"), Outcome());
    EXPECT_EQ("AddPrinterA|Kalora Old 100;AddPrinterDriverA|-;AddPrinterA|Kalora Jet-100;", Calls());
    for (const std::string& name : kDriverFiles)
      EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((driverFolder_ + "\\3\\" + name).c_str())) << name;
  } else {
    // The 64-bit twin's queue copies into the x64 folder, but the driver is
    // registered for x86, whose folder lacks the files: the spooler refuses.
    EXPECT_EQ(0, added);
    EXPECT_EQ("AddPrinterA|Kalora Old 100;AddPrinterDriverA|-;", Calls());
  }
}

TEST_F(PrinterInstall_Win2k, EachSourceAloneSuffices) {
  std::string setupKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
  std::string sources[] = {folder_.Folder("cab"), folder_.Folder("setup"), SystemFolder("\\drivers"),
                           SystemFolder("").substr(0, 2) + "\\i386"};
  for (const std::string& source : sources) {
    SCOPED_TRACE(source);
    Forget();
    UseCabFolder(sources[0]);
    RawSetText(HKEY_LOCAL_MACHINE, setupKey, "SourcePath", sources[1]);
    PutFiles(source, kDriverFiles);
    // x86 drivers install only in a 32-bit prefix (see above).
    EXPECT_EQ(sizeof(void*) == 4 ? 1 : 0, Install("QEL Sourced|Kalora Jet-100|LPT1:"));
    EXPECT_EQ(kDependentFiles + '\0', DependentFiles(1)) << "copied from this source";
    RemoveFiles(source, kDriverFiles);
  }
  RemoveDirectoryA(sources[3].c_str());
  HKEY setup;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, setupKey.c_str(), 0, KEY_SET_VALUE, &setup));
  RegDeleteValueA(setup, "SourcePath");
  RegCloseKey(setup);
}

TEST_F(PrinterInstall_Win2k, AFailedInstallationLeavesNoCopy) {
  UseCabFolder(folder_.Root());
  PutFiles(folder_.Root(), kDriverFiles);
  RawSetDword(HKEY_CURRENT_USER, kSpooler + "\\Refuse", "AddPrinterDriverA", ERROR_ACCESS_DENIED);
  EXPECT_EQ(0, Install("QEL Refused|Kalora Jet-100|LPT1:"));
  EXPECT_EQ("AddPrinterA|Kalora Jet-100;AddPrinterDriverA|-;", Calls());
  EXPECT_EQ(driverFolderFiles_, Files(driverFolder_));

  RawDeleteTree(HKEY_CURRENT_USER, kSpooler);
  RawSetDword(HKEY_CURRENT_USER, kSpooler + "\\Refuse", "GetPrinterDriverDirectoryA", ERROR_ACCESS_DENIED);
  EXPECT_EQ(0, Install("QEL No Folder|Kalora Jet-100|LPT1:"));
  EXPECT_EQ("AddPrinterA|Kalora Jet-100;", Calls()) << "nothing copied, nothing registered";
}

TEST_F(PrinterInstall_Win2k, ALongListOfDependentFiles) {
  UseCabFolder(folder_.Root());
  std::vector<std::string> files = kDriverFiles;
  for (const char* file = longList_.c_str(); *file; file += strlen(file) + 1) files.push_back(file);
  PutFiles(folder_.Root(), files);
  EXPECT_EQ(sizeof(void*) == 4 ? 1 : 0, Install("QEL Long|Kalora Jet-200|LPT1:"));
  ASSERT_LT(1000u, longList_.size());
  EXPECT_EQ(kDependentFiles + longList_ + '\0', DependentFiles(1));
}

}  // namespace
