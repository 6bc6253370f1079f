// InstallPrinter as a host calls it, against the spooler stand-in, which
// records every record it is handed. QELPrinter.dll is loaded afresh for each
// call, as by a new host. Drivers need a Windows that printer drivers serve:
// these suites run as Windows 2000, 98 or NT 4.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "INFFile.h"
#include "PrinterInstallRequest.h"
#include "RawRegistry.h"
#include "SpoolerRecords.h"
#include "SystemPrinterInf.h"
#include "TraceCapture.h"
#include "TestFolder.h"
#include "WindowsVersion.h"

namespace {

using spooler::Calls;
using spooler::DriverKey;
using spooler::Record;
using spooler::SystemFolder;

const std::string kPrint = spooler::kPrintKey;
const std::string kSpooler = spooler::kControlKey;
const std::string kProduct = "SOFTWARE\\Corvane Systems\\Hollowmarch";
const char* const kEnvironment = spooler::kNativeEnvironment;

std::vector<std::string> Files(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return names;
}

class PrinterInstall : public testing::Test {
 protected:
  void SetUp() override {
    // NT 4 takes a model line's whole value for its section: its lines carry
    // no hardware ids.
    WindowsVersion windows = WindowsVersion::Current();
    // The driver's files: a data file, two in one list and, in another, more
    // than the 520 bytes a dependent-file list was once limited to.
    std::string inf =
        "[Previous Names]\n\"Kalora Jet-100\" = \"Kalora Old 100\"\n"
        "[Kalora]\n\"Kalora Jet-100\" = K100" + std::string(windows.Name() == "nt40" ? "" : ", LPTENUM\\K100") + "\n"
        "[K100]\nCopyFiles=@K100.PPD,,KFILES,KLONG\nDataSection=KDATA\nDataFile=K100.PPD\n"
        "[KDATA]\nDriverFile=KDRV.DLL\nConfigFile=KUI.DLL\n[KFILES]\nKDRV.DLL\nKUI.DLL\n[DestinationDirs]\n"
        // Wine's setup library puts 66000 at its NT driver folder whatever it
        // is set to; the driver directory of Windows 95/98 is the system one.
        "DefaultDestDir=" + (windows.platform == VER_PLATFORM_WIN32_NT ? "66000" : "66002") +
        "\n[SourceDisksNames]\n1 = \"Disk\",,,\"\"\n[KLONG]\n";
    files_ = {"K100.PPD", "KDRV.DLL", "KUI.DLL"};
    for (int i = 0; i < 40; ++i) {
      files_.push_back("KALORA_DEPENDENT_FILE_" + std::to_string(i) + ".DLL");
      inf += files_.back() + "\n";
    }
    for (const std::string& file : files_) dependentFiles_ += file + '\0';
    dependentFiles_ += '\0';
    ASSERT_TRUE(SystemPrinterInf::InstallText(inf));
    Forget();
    driverFolderFiles_ = Files(driverFolder_);
  }
  void TearDown() override {
    Forget();
    EXPECT_EQ(driverFolderFiles_, Files(driverFolder_)) << "no copy stays at the top of the driver folder";
  }
  // This test's printers and drivers, the spooler's records, the product's settings.
  void Forget() {
    for (const std::string& printer : RawSubkeyNames(HKEY_LOCAL_MACHINE, kPrint + "\\Printers"))
      if (printer.rfind("QEL ", 0) == 0) RawDeleteTree(HKEY_LOCAL_MACHINE, kPrint + "\\Printers\\" + printer);
    for (const char* environment : {"Windows NT x86", "Windows x64", "Windows 4.0"})
      for (const char* model : {"Kalora Jet-100", "QEL Known"})
        for (DWORD version : {0, 2, 3}) RawDeleteTree(HKEY_LOCAL_MACHINE, DriverKey(environment, model, version));
    for (const std::string& key : {kSpooler, kProduct}) RawDeleteTree(HKEY_CURRENT_USER, key);
    RawDeleteTree(HKEY_LOCAL_MACHINE, kProduct);
    // As Wine's own spooler does: success is the result, not the last error.
    RawSetDword(HKEY_CURRENT_USER, kSpooler, "LastErrorOnSuccess", ERROR_INVALID_PARAMETER);
    // The documents give the spooler's checks in more than one order: the
    // whole suite runs again under the other (see its registrations).
    if (getenv("QEL_SPOOLER_OTHER_ORDER")) {
      RawSetDword(HKEY_CURRENT_USER, kSpooler, "NameCheckedLast", 1);
      RawSetDword(HKEY_CURRENT_USER, kSpooler, "DriverCheckedFirst", 1);
    }
  }
  // The driver's files in `folder`, each holding the folder's path, and the
  // product's settings naming the cab folder.
  void Provide(const std::string& folder, const std::string& cabFolder) {
    RawSetText(HKEY_CURRENT_USER, kProduct + "\\4.0\\Settings", "Cab File Path", cabFolder);
    RawCreateKey(HKEY_LOCAL_MACHINE, kProduct + "\\4.0");
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : files_) ASSERT_TRUE(spooler::PutSourceFile(folder, name)) << folder << "\\" << name;
  }
  void Withdraw(const std::string& folder) {
    for (const std::string& name : files_) DeleteFileA((folder + "\\" + name).c_str());
  }
  // The driver's files the spooler keeps whose source is not `folder`.
  std::string NotFrom(const std::string& folder) {
    std::string others;
    for (const std::string& name : files_)
      if (spooler::KeptFrom(name) != folder) others += name + " ";
    return others;
  }

  // A model the spooler lacks, installed from the INF: the registration's
  // version and environment, and where the spooler keeps the files.
  void ExpectInstalledFromTheINF(const std::string& registered, const std::string& kept) {
    Withdraw(kept);  // a leftover would pass for a kept copy
    for (const std::string& name : files_)
      ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((kept + "\\" + name).c_str())) << kept << "\\" << name;
    Provide(folder_.Root(), folder_.Root());
    EXPECT_EQ(1, Install("QEL Old|Kalora Old 100|LPT1:|NULL|NULL"));
    EXPECT_EQ("AddPrinterA|Kalora Old 100;AddPrinterDriverA|-;AddPrinterA|Kalora Jet-100;", Calls());
    EXPECT_EQ(registered + "|0", Record(1, {"cVersion", "pEnvironment", "Result"}));
    for (const std::string& name : files_)
      EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((kept + "\\" + name).c_str())) << kept << "\\" << name;
  }

  int Install(const char* request) {
    HMODULE dll = LoadLibraryA("QELPrinter.dll");
    auto install =
        reinterpret_cast<int (*)(const char*)>(reinterpret_cast<void*>(GetProcAddress(dll, "InstallPrinter")));
    int result = install ? install(request) : -1;
    FreeLibrary(dll);
    return result;
  }
  // The text the host reads, without its NUL; "?" when it is not a REG_SZ ending in one.
  std::string Outcome() {
    RawValue value = ReadRawValue(HKEY_CURRENT_USER, "Software\\Corvane Systems\\Hollowmarch\\QELPrinter",
                                  "Successful Install");
    std::string text = value.Bytes();
    return value.type == REG_SZ && !text.empty() && text.back() == '\0' ? text.substr(0, text.size() - 1) : "?";
  }

  TestFolder folder_;
  std::vector<std::string> files_;
  std::string dependentFiles_;
  std::string driverFolder_ = spooler::DriverFolder();
  std::vector<std::string> driverFolderFiles_;
};

class PrinterInstall_Win2k : public PrinterInstall {};

TEST_F(PrinterInstall_Win2k, TheRequestBecomesTheSpoolersRecord) {
  RawCreateKey(HKEY_LOCAL_MACHINE, DriverKey(kEnvironment, "QEL Known"));
  for (const char* nothing : {(const char*)nullptr, "", "|||", "QEL Solo|"}) {
    EXPECT_EQ(0, Install(nothing));
    EXPECT_EQ("false", Outcome());
  }
  EXPECT_EQ("", Calls()) << "no driver field, no spooler call";

  EXPECT_EQ(1, Install("QEL A|QEL Known|LPT1:|NULL|NULL|ignored"));
  EXPECT_EQ("true", Outcome());
  EXPECT_EQ("2|-|QEL A|-|LPT1:|QEL Known|-|-|-|-|WinPrint|-|-|-|0|0|0|0|0|0|0|0",
            Record(0, {"Level", "pServerName", "pPrinterName", "pShareName", "pPortName", "pDriverName", "pComment",
                       "pLocation", "pDevMode", "pSepFile", "pPrintProcessor", "pDatatype", "pParameters",
                       "pSecurityDescriptor", "Attributes", "Priority", "DefaultPriority", "StartTime", "UntilTime",
                       "Status", "cJobs", "AveragePPM"}));
  std::string longComment(70000, 'c');
  // A shared printer needs a share name: the spooler refuses the request
  // the product makes of three fields, as Windows does.
  EXPECT_EQ(0, Install("QEL B|QEL Known|LPT1:"));
  EXPECT_EQ("false", Outcome());
  EXPECT_EQ(1, Install("|QEL C||QEL Known|LPT1:|null|null|"));
  EXPECT_EQ(0, Install("QEL D||LPT1:"));
  EXPECT_EQ(1, Install(("QEL E|QEL Known|LPT1:|" + longComment + "|E").c_str()));
  EXPECT_EQ(0, Install("QEL P|QEL Known|LPT9:|NULL|NULL")) << "a port this machine lacks";
  auto fields = {"pPrinterName", "pDriverName", "pPortName", "pComment", "pShareName", "Attributes"};
  EXPECT_EQ("QEL B|QEL Known|LPT1:|-|-|8", Record(1, fields)) << "three fields ask for a shared printer";
  EXPECT_EQ("QEL B|1215;QEL P|1796", Record(1, {"pPrinterName", "Result"}) + ";" + Record(5, {"pPrinterName", "Result"}))
      << "refused by the rules for a share name and for a port";
  EXPECT_EQ("QEL C|QEL Known|LPT1:|null|null|8", Record(2, fields)) << "runs of | are one; null is a name";
  EXPECT_EQ("QEL D|LPT1:|-|-|-|8", Record(3, fields));
  EXPECT_EQ(getenv("QEL_SPOOLER_OTHER_ORDER") ? "1797" : "1796", Record(3, {"Result"}))
      << "no port and an unknown driver: the first of the two checks refuses";
  EXPECT_EQ("QEL E|QEL Known|LPT1:|" + longComment + "|E|8", Record(4, fields));

  EXPECT_EQ(0, Install("QEL A|QEL Known|LPT1:|NULL|NULL"));
  EXPECT_EQ("exists", Outcome());
  EXPECT_EQ(0, Install("QEL F|Nobody Model|LPT1:"));
  EXPECT_EQ("false", Outcome()) << "a model in neither the spooler nor the INF";
  EXPECT_EQ("AddPrinterA|QEL Known;AddPrinterA|QEL Known;AddPrinterA|QEL Known;AddPrinterA|LPT1:;"
            "AddPrinterA|QEL Known;AddPrinterA|QEL Known;AddPrinterA|QEL Known;AddPrinterA|Nobody Model;",
            Calls());
  EXPECT_EQ(std::string(4, '\0'), ReadRawValue(HKEY_CURRENT_USER, kSpooler, "OpenPrinters").Bytes())
      << "every printer handle closed";

  // A pool of this machine's ports is one printer; a port it lacks fails the pool.
  const char ports[] = "LPT1:\0LPT2:\0\0";
  RawSetValue(HKEY_CURRENT_USER, kSpooler, "Ports", REG_MULTI_SZ, ports, sizeof ports);
  EXPECT_EQ(1, Install("QEL Pool|QEL Known|lpt1:,LPT2:|NULL|NULL"));
  EXPECT_EQ(0, Install("QEL Pool 3|QEL Known|LPT1:,LPT3:|NULL|NULL"));
  EXPECT_EQ("0;1796", Record(8, {"Result"}) + ";" + Record(9, {"Result"}));
}

TEST_F(PrinterInstall_Win2k, APreviousNameIsInstalledUnderItsCurrentName) {
  Provide(folder_.Root(), folder_.Root());
  EXPECT_EQ(1, Install("QEL Old|Kalora Old 100|LPT1:|moved|NULL"));
  EXPECT_EQ("AddPrinterDriverA|3|Kalora Jet-100|" + std::string(kEnvironment) +
                "|KDRV.DLL|K100.PPD|KUI.DLL||-|RAW|" + dependentFiles_,
            Record(1, {"Function", "cVersion", "pName", "pEnvironment", "pDriverPath", "pDataFile", "pConfigFile",
                       "pHelpFile", "pMonitorName", "pDefaultDataType", "pDependentFiles"}));
  EXPECT_EQ("true", Outcome());
  EXPECT_EQ("AddPrinterA|Kalora Old 100;AddPrinterDriverA|-;AddPrinterA|Kalora Jet-100;", Calls());
  for (const std::string& name : files_)
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((driverFolder_ + "\\3\\" + name).c_str())) << name;
}

// Every open reads the whole INF, and the reader's cost grows with the
// square of its sections: one installation reads it once. The installation
// runs in this process, where the opens can be counted.
TEST_F(PrinterInstall_Win2k, OneInstallationReadsTheINFOnce) {
  Provide(folder_.Root(), folder_.Root());
  long opensBefore = INFFile::Opens(), openBefore = INFFile::OpenHandles();
  long queuesBefore = INFFile::OpenFileQueues();
  EXPECT_EQ(PrinterInstallRequest::eAdded,
            PrinterInstallRequest("QEL Once|Kalora Old 100|LPT1:|NULL|NULL").Install());
  EXPECT_EQ(dependentFiles_, Record(1, {"pDependentFiles"})) << "every step that reads the INF ran";
  EXPECT_EQ(1, INFFile::Opens() - opensBefore);
  EXPECT_EQ(queuesBefore, INFFile::OpenFileQueues()) << "the copy's queue is closed";
  EXPECT_EQ(openBefore, INFFile::OpenHandles()) << "closed when the installation ends";
}

// The four sources in their order, each checked with every later one
// holding its own copy of the files: the first that holds them provides all.
TEST_F(PrinterInstall_Win2k, TheFirstSourceHoldingTheFilesWins) {
  const std::string setup = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
  std::string sources[] = {folder_.Folder("cab"), folder_.Folder("setup"), SystemFolder("\\drivers"),
                           SystemFolder("").substr(0, 2) + "\\i386"};
  for (size_t first = 4; first-- > 0;) {
    Forget();
    RawSetText(HKEY_LOCAL_MACHINE, setup, "SourcePath", sources[1]);
    Provide(sources[first], sources[0]);
    EXPECT_EQ(1, Install("QEL Sourced|Kalora Jet-100|LPT1:|NULL|NULL")) << sources[first];
    EXPECT_EQ("", NotFrom(sources[first]));
  }
  for (const std::string& source : sources) Withdraw(source);
  RemoveDirectoryA(sources[3].c_str());
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, setup.c_str(), 0, KEY_SET_VALUE, &key));
  RegDeleteValueA(key, "SourcePath");
  RegCloseKey(key);
}

// With "Don't prompt cab files" 0 only the system drive's \i386 may ask the
// user: every earlier source still answers requests for media itself (look
// again, then give up), which the copy traces; the last leaves them to the
// platform. The copy runs in this process, where its trace can be read.
TEST_F(PrinterInstall_Win2k, OnlyTheLastSourceMayPrompt) {
  std::string i386 = SystemFolder("").substr(0, 2) + "\\i386";
  Provide(i386, folder_.Folder("empty cab"));
  RawSetDword(HKEY_CURRENT_USER, kProduct + "\\4.0\\Settings", "Don't prompt cab files", 0);
  TraceCapture trace;
  EXPECT_EQ(PrinterInstallRequest::eAdded,
            PrinterInstallRequest("QEL Prompted|Kalora Jet-100|LPT1:|NULL|NULL").Install());
  std::vector<std::string> lines = trace.Lines();
  EXPECT_EQ(6, std::count(lines.begin(), lines.end(), "SPFILENOTIFY_NEEDMEDIA\n")) << trace.Text();
  Withdraw(i386);
  RemoveDirectoryA(i386.c_str());
}

// A retry that meets an existing printer: a spooler that checks the name
// after the driver asks for the driver first. The printer stays as it was.
TEST_F(PrinterInstall_Win2k, APrinterFoundOnTheRetryExists) {
  Provide(folder_.Root(), folder_.Root());
  RawCreateKey(HKEY_LOCAL_MACHINE, DriverKey(kEnvironment, "QEL Known"));
  ASSERT_EQ(1, Install("QEL Here|QEL Known|LPT1:|NULL|NULL"));
  RawSetDword(HKEY_CURRENT_USER, kSpooler, "NameCheckedLast", 1);
  EXPECT_EQ(0, Install("QEL Here|Kalora Jet-100|LPT1:|NULL|NULL"));
  EXPECT_EQ("exists", Outcome());
  EXPECT_EQ("AddPrinterA|QEL Known;AddPrinterA|Kalora Jet-100;AddPrinterDriverA|-;AddPrinterA|Kalora Jet-100;",
            Calls());
  EXPECT_EQ(std::string("QEL Known", sizeof "QEL Known"),
            ReadRawValue(HKEY_LOCAL_MACHINE, kPrint + "\\Printers\\QEL Here", "Printer Driver").Bytes());
}

// The dependent files are those the install section's lists put in the
// driver folder: a listed file that went elsewhere (a colour profile) is
// left out, since the spooler refuses a list naming a file it cannot find
// there, and so is an entry without a name ("@"). A list section that is empty or missing cannot be read, which
// fails the installation before the spooler is asked, leaving no copy.
TEST_F(PrinterInstall_Win2k, TheDependentFilesLieInTheDriverFolder) {
  const std::string profile = SystemFolder("\\spool\\drivers\\color\\KCOLOR.ICM");
  auto inf = [](const std::string& lists) {
    return SystemPrinterInf::InstallText(
        "[Kalora]\n\"Kalora Jet-100\" = K100\n[KDATA]\nDriverFile=KDRV.DLL\nConfigFile=KUI.DLL\n"
        "[KFILES]\nKDRV.DLL\nKUI.DLL\n[KCOLOR]\nKCOLOR.ICM\n[KEMPTY]\n"
        "[DestinationDirs]\nDefaultDestDir=66000\nKCOLOR=66003\n[SourceDisksNames]\n1 = \"Disk\",,,\"\"\n"
        "[K100]\nDataSection=KDATA\nDataFile=K100.PPD\nCopyFiles=@K100.PPD,@,KFILES," + lists + "\n");
  };
  files_ = {"K100.PPD", "KDRV.DLL", "KUI.DLL", "KCOLOR.ICM"};
  Provide(folder_.Root(), folder_.Root());
  ASSERT_TRUE(inf("KCOLOR"));
  EXPECT_EQ(1, Install("QEL Listed|Kalora Jet-100|LPT1:|NULL|NULL"));
  EXPECT_EQ(std::string("K100.PPD\0KDRV.DLL\0KUI.DLL\0", 27), Record(1, {"pDependentFiles"}));
  DeleteFileA(profile.c_str());
  for (const char* lists : {"KCOLOR,KEMPTY", "KCOLOR,KNONE"}) {
    SCOPED_TRACE(lists);
    Forget();
    Provide(folder_.Root(), folder_.Root());
    ASSERT_TRUE(inf(lists));
    EXPECT_EQ(0, Install("QEL Listed|Kalora Jet-100|LPT1:|NULL|NULL"));
    EXPECT_EQ("AddPrinterA|Kalora Jet-100;", Calls());
    DeleteFileA(profile.c_str());
  }
}

TEST_F(PrinterInstall_Win2k, AFailedInstallationLeavesNoCopy) {
  Provide(folder_.Root(), folder_.Root());
  RawSetDword(HKEY_CURRENT_USER, kSpooler + "\\Refuse", "AddPrinterDriverA", ERROR_ACCESS_DENIED);
  EXPECT_EQ(0, Install("QEL Refused|Kalora Jet-100|LPT1:|NULL|NULL"));
  EXPECT_EQ("AddPrinterA|Kalora Jet-100;AddPrinterDriverA|-;", Calls());
  EXPECT_EQ(driverFolderFiles_, Files(driverFolder_));

  RawDeleteTree(HKEY_CURRENT_USER, kSpooler + "\\Calls");
  RawSetDword(HKEY_CURRENT_USER, kSpooler + "\\Refuse", "GetPrinterDriverDirectoryA", ERROR_ACCESS_DENIED);
  EXPECT_EQ(0, Install("QEL No Folder|Kalora Jet-100|LPT1:|NULL|NULL"));
  EXPECT_EQ("AddPrinterA|Kalora Jet-100;", Calls()) << "nothing copied, nothing registered";
}

// A handle the spooler never gave out is refused and changes nothing; a
// machine without printers lists none and needs no room for them.
TEST_F(PrinterInstall_Win2k, TheSpoolerAnswersAsWindowsDoes) {
  EXPECT_FALSE(ClosePrinter(reinterpret_cast<HANDLE>(-1)));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  EXPECT_EQ(0u, spooler::Number("", "OpenPrinters"));
  ASSERT_EQ(std::vector<std::string>(), RawSubkeyNames(HKEY_LOCAL_MACHINE, kPrint + "\\Printers"));
  DWORD needed = 1, returned = 1;
  EXPECT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned)) << GetLastError();
  EXPECT_EQ("0 0", std::to_string(needed) + " " + std::to_string(returned));
}

// Windows 98 registers a version-0 driver for "Windows 4.0" and keeps its
// files where the copy put them, its driver directory (the system one); NT 4
// a version-2 driver for its own environment, copied into that version's
// folder.
class PrinterInstall_Win98 : public PrinterInstall {};
class PrinterInstall_NT40 : public PrinterInstall {};

TEST_F(PrinterInstall_Win98, ADriverFromTheINF) {
  ExpectInstalledFromTheINF("0|Windows 4.0", SystemFolder(""));
  Withdraw(SystemFolder(""));
}

// A refused driver's copies go, and only they: another program's file that
// appeared in the system folder meanwhile stays.
TEST_F(PrinterInstall_Win98, AFailedInstallationRemovesOnlyItsCopies) {
  const std::string other = SystemFolder("\\QELOTHER.DLL");
  Withdraw(SystemFolder(""));
  Provide(folder_.Root(), folder_.Root());
  RawSetDword(HKEY_CURRENT_USER, kSpooler + "\\Refuse", "AddPrinterDriverA", ERROR_ACCESS_DENIED);
  RawSetText(HKEY_CURRENT_USER, kSpooler + "\\Touch", "AddPrinterDriverA", other);
  EXPECT_EQ(0, Install("QEL Refused|Kalora Jet-100|LPT1:|NULL|NULL"));
  EXPECT_TRUE(DeleteFileA(other.c_str())) << other;
  for (const std::string& name : files_)
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(SystemFolder("\\" + name).c_str())) << name;
}

TEST_F(PrinterInstall_NT40, ADriverFromTheINF) {
  ExpectInstalledFromTheINF("2|" + std::string(kEnvironment), driverFolder_ + "\\2");
}

// Run with the setup library disabled: QELPrinter.dll must still load, add
// a printer whose driver the spooler has, and fail the INF path cleanly.
class PrinterInstallNoSetupLibrary_Win2k : public PrinterInstall {};

TEST_F(PrinterInstallNoSetupLibrary_Win2k, OnlyTheINFPathFails) {
  ASSERT_EQ(nullptr, LoadLibraryA("setupapi.dll")) << "this run disables the setup library";
  RawCreateKey(HKEY_LOCAL_MACHINE, DriverKey(kEnvironment, "QEL Known"));
  EXPECT_EQ(1, Install("QEL Plain|QEL Known|LPT1:|NULL|NULL"));
  EXPECT_EQ("true", Outcome());
  Provide(folder_.Root(), folder_.Root());
  TraceCapture trace;
  EXPECT_EQ(0, Install("QEL Old|Kalora Old 100|LPT1:"));
  EXPECT_EQ("false", Outcome());
  EXPECT_NE(std::string::npos, trace.Text().find("INFFile::Open - no setup library")) << trace.Text();
  EXPECT_EQ("AddPrinterA|QEL Known;AddPrinterA|Kalora Old 100;", Calls());
}

}  // namespace
