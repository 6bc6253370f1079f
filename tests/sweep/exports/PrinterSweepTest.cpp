// InstallPrinter with bad requests and against a spooler and driver sources
// that fail at each step. Whatever happens, the host reads "true" exactly
// when the spooler holds the new printer, the spooler gets the record the
// request asks for, every printer handle is closed and no copy of a driver
// file stays at the top of the driver folder. Runs as Windows 2000, which
// printer drivers serve.
#include <algorithm>

#include "SpoolerRecords.h"
#include "Sweep.h"
#include "SystemPrinterInf.h"

using namespace sweep;

namespace {

const std::string kPrint = spooler::kPrintKey;
const std::string kSetup = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
const std::string kOutcomeKey = UserRoot() + "\\" + kProduct + "\\QELPrinter";
const char* const kNative = spooler::kNativeEnvironment;
const char* const kFiles[] = {"K100.PPD", "KDRV.DLL", "KUI.DLL", "KEXTRA.DLL"};
const char kModel[] = "Kalora Jet-100";

using spooler::DriverKey;
using spooler::SystemFolder;

// The request's fields as the spooler must get them: runs of "|" are one
// separator, at character boundaries only; at most five count.
std::vector<std::string> Fields(const std::string& request) {
  std::vector<std::string> fields;
  std::string field;
  for (size_t i = 0; i <= request.size(); ++i) {
    if (i < request.size() && IsDBCSLeadByte(static_cast<BYTE>(request[i])) && i + 1 < request.size()) {
      field += request.substr(i++, 2);
    } else if (i == request.size() || request[i] == '|') {
      if (!field.empty() && fields.size() < 5) fields.push_back(field);
      field.clear();
    } else {
      field += request[i];
    }
  }
  return fields;
}

// The first record the spooler got: name|driver|port|comment|share|attributes, "-" for null.
std::string FirstRecord() {
  return spooler::Record(0, {"pPrinterName", "pDriverName", "pPortName", "pComment", "pShareName", "Attributes"});
}

std::string ExpectedRecord(const std::string& request) {
  std::vector<std::string> f = Fields(request);
  f.resize(5, "-");
  bool unshared = f[4] == "NULL";
  return f[0] + "|" + f[1] + "|" + f[2] + "|" + (f[3] == "NULL" ? "-" : f[3]) + "|" + (unshared ? "-" : f[4]) + "|" +
         (unshared ? "0" : "8");
}

class PrinterSweep : public testing::Test {
 protected:
  void SetUp() override {
    std::string inf = "[Kalora]\n\"Kalora Jet-100\" = K100\n"
                      "[K100]\nCopyFiles=@K100.PPD,KFILES\nDataSection=KDATA\nDataFile=K100.PPD\n"
                      "[KDATA]\nDriverFile=KDRV.DLL\nConfigFile=KUI.DLL\n[KFILES]\nKDRV.DLL\nKUI.DLL\nKEXTRA.DLL\n"
                      "[DestinationDirs]\nDefaultDestDir=66000\n[SourceDisksNames]\n1 = \"Disk\",,,\"\"\n";
    ASSERT_TRUE(SystemPrinterInf::InstallText(inf));
    sources_ = {Folder("cab"), Folder("setup"), SystemFolder("\\drivers"), SystemFolder("").substr(0, 2) + "\\i386"};
    CreateDirectoryA(sources_[3].c_str(), nullptr);
    RawSetText(HKEY_CURRENT_USER, std::string(kProduct) + "\\4.0\\Settings", "Cab File Path", sources_[0]);
    RawCreateKey(HKEY_LOCAL_MACHINE, std::string(kProduct) + "\\4.0");
    RawSetText(HKEY_LOCAL_MACHINE, kSetup, "SourcePath", sources_[1]);
  }
  void TearDown() override {
    Forget();
    for (const std::string& source : sources_) Provide(source, false);
    RemoveDirectoryA(sources_[3].c_str());
    RemoveDirectoryA(sources_[0].c_str());
    RemoveDirectoryA(sources_[1].c_str());
    RemoveDirectoryA(Folder("").c_str());
    RawDeleteTree(HKEY_CURRENT_USER, std::string(kProduct) + "\\4.0");
    RawDeleteTree(HKEY_LOCAL_MACHINE, std::string(kProduct) + "\\4.0");
    HKEY setup;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSetup.c_str(), 0, KEY_SET_VALUE, &setup) == ERROR_SUCCESS) {
      RegDeleteValueA(setup, "SourcePath");
      RegCloseKey(setup);
    }
  }

  static std::string Folder(const std::string& name) {
    std::string root = SystemFolder("").substr(0, 2) + "\\" + ProgramName();
    CreateDirectoryA(root.c_str(), nullptr);
    std::string folder = name.empty() ? root : root + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
  }
  // Writes the driver's files into `folder` (all but the last one when
  // `partly`), each holding the folder's path, or removes them.
  static void Provide(const std::string& folder, bool put, bool partly = false) {
    for (const char* file : kFiles) {
      std::string path = folder + "\\" + file;
      bool last = file == kFiles[sizeof kFiles / sizeof *kFiles - 1];
      if (!put || (partly && last))
        DeleteFileA(path.c_str());
      else
        ASSERT_TRUE(spooler::PutSourceFile(folder, file)) << path;
    }
  }
  // The sources the registered driver's files came from, one line each.
  static std::string RegisteredFrom() {
    std::string from;
    for (const char* file : kFiles) from += spooler::KeptFrom(file) + "\n";
    return from;
  }
  // This run's printers and drivers gone, the spooler's log empty, a driver
  // it knows, and the stale error Wine's own spooler leaves on success.
  static void Forget() {
    for (const std::string& printer : RawSubkeyNames(HKEY_LOCAL_MACHINE, kPrint + "\\Printers"))
      if (printer.rfind("QEL ", 0) == 0) RawDeleteTree(HKEY_LOCAL_MACHINE, kPrint + "\\Printers\\" + printer);
    for (const char* environment : {"Windows NT x86", "Windows x64"})
      for (const char* model : {kModel, "QEL Known"}) RawDeleteTree(HKEY_LOCAL_MACHINE, DriverKey(environment, model));
    RawDeleteTree(HKEY_CURRENT_USER, kSpooler);
    RawSetDword(HKEY_CURRENT_USER, kSpooler, "LastErrorOnSuccess", ERROR_INVALID_PARAMETER);
    RawCreateKey(HKEY_LOCAL_MACHINE, DriverKey(kNative, "QEL Known"));
  }

  // One call and its promises; returns the result.
  int Install(const char* request, bool mayLeaveOpen = false) {
    const std::string what = "InstallPrinter " + (request ? std::string(request).substr(0, 100) : std::string("(null)"));
    SCOPED_TRACE(what);
    std::vector<std::string> fields = Fields(request ? request : "");
    std::string printer = fields.empty() ? "" : kPrint + "\\Printers\\" + fields[0];
    bool existed = !fields.empty() && RawKeyExists(HKEY_LOCAL_MACHINE, printer);
    std::vector<std::string> printers = RawSubkeyNames(HKEY_LOCAL_MACHINE, kPrint + "\\Printers");
    int result = -1;
    Case(what, [&] { result = Dlls().installPrinter(request); }, [](const Change& c) {
      const std::string& at = c.item.where;
      // The spooler keeps an accepted driver's files in its version folder.
      bool versionFolder = at.find("\\spool\\drivers\\") != std::string::npos &&
                           (at.find("\\3\\") != std::string::npos || at.compare(at.size() - 2, 2, "\\3") == 0);
      return OnTheWayTo(c, "HKCU\\" + kOutcomeKey) ||
             (c.after && (Within(at, "HKCU\\" + kOutcomeKey) || Within(at, "HKLM\\" + kPrint + "\\Printers") ||
                          Within(at, "HKLM\\" + kPrint + "\\Environments") || versionFolder));
    });
    std::string outcome = TextAt(kOutcomeKey, "Successful Install");
    std::vector<std::string> now = RawSubkeyNames(HKEY_LOCAL_MACHINE, kPrint + "\\Printers");
    size_t added = std::count_if(now.begin(), now.end(), [&](const std::string& name) {
      return std::find(printers.begin(), printers.end(), name) == printers.end();
    });
    EXPECT_TRUE(result == 1 ? outcome == "true" : result == 0 && (outcome == "false" || outcome == "exists"))
        << result << " with " << outcome;
    EXPECT_EQ(result == 1 ? 1u : 0u, added) << "a new printer exactly when the host reads true";
    EXPECT_TRUE(result != 1 || RawKeyExists(HKEY_LOCAL_MACHINE, printer)) << "added under the name asked for";
    EXPECT_TRUE(outcome != "exists" || existed);
    EXPECT_TRUE(mayLeaveOpen || spooler::Number("", "OpenPrinters") == 0) << "every printer handle closed";
    if (fields.size() >= 2) {
      EXPECT_EQ(ExpectedRecord(request), FirstRecord());
    } else {
      EXPECT_EQ(0u, spooler::Number("Counts", "AddPrinterA")) << "no driver model, no spooler call";
    }
    return result;
  }

  bool DriverRegistered() { return RawKeyExists(HKEY_LOCAL_MACHINE, DriverKey(kNative, kModel)); }

  std::vector<std::string> sources_;
};

class PrinterSweep_Cp932 : public PrinterSweep {};

}  // namespace

TEST_F(PrinterSweep, RequestsOfEveryShapeAndLength) {
  const char* kParts[] = {"QEL F", "QEL Known", "LPT1:", "a comment", "share", "six", "seven"};
  std::vector<std::string> requests = {"|", "|||||||", "||QEL Runs||||QEL Known|||LPT1:|||NULL||NULL|||",
                                       "QEL Null|QEL Known|LPT1:|NULL|NULL", "QEL Lower|QEL Known|LPT1:|null|null",
                                       "QEL Unknown|Nobody Model|LPT1:", "QEL Inf|Nobody-Model|LPT1:"};
  for (size_t k = 0; k <= 7; ++k) {
    std::string request, runs;
    for (size_t i = 0; i < k; ++i) {
      std::string part = i == 0 ? kParts[0] + std::to_string(k) : kParts[i];
      request += (i ? "|" : "") + part;
      runs += "||" + part;
    }
    requests.push_back(request);
    requests.push_back(runs + "||");
  }
  for (size_t field = 0; field < 5; ++field) {
    for (const auto& text : Lengths('L')) {
      std::vector<std::string> parts = {"QEL L" + std::to_string(field), "QEL Known", "LPT1:", "c", "s"};
      // A long model name with a maker the INF lists is looked up in the INF.
      parts[field] = (field == 0 ? "QEL " : field == 1 ? "Kalora " : "") + text.second;
      requests.push_back(parts[0] + "|" + parts[1] + "|" + parts[2] + "|" + parts[3] + "|" + parts[4]);
    }
  }
  Install(nullptr);
  for (const std::string& request : requests) {
    Forget();
    Install(request.c_str());
  }
  Forget();
  EXPECT_EQ(1, Install("QEL Twice|QEL Known|LPT1:|NULL|TWICE"));
  EXPECT_EQ(0, Install("QEL Twice|QEL Known|LPT1:|NULL|TWICE"));
  EXPECT_EQ("exists", TextAt(kOutcomeKey, "Successful Install"));
}

TEST_F(PrinterSweep, ASpoolerRefusingAnyOneCall) {
  struct Refusal {
    const char* function;
    int call;
    DWORD error;
  };
  const Refusal refusals[] = {
      {"AddPrinterA", 1, ERROR_ACCESS_DENIED},          {"GetPrinterDriverDirectoryA", 1, ERROR_ACCESS_DENIED},
      {"GetPrinterDriverDirectoryA", 2, ERROR_ACCESS_DENIED}, {"AddPrinterDriverA", 1, ERROR_ACCESS_DENIED},
      {"AddPrinterDriverA", 1, ERROR_FILE_NOT_FOUND},   {"AddPrinterA", 2, ERROR_ACCESS_DENIED},
      {"AddPrinterA", 2, ERROR_UNKNOWN_PRINTER_DRIVER}, {"AddPrinterA", 2, ERROR_SUCCESS},
  };
  Provide(sources_[0], true);
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(std::string(refusal.function) + " call " + std::to_string(refusal.call) + " refused with " +
                 std::to_string(refusal.error));
    Forget();
    // ERROR_SUCCESS: no refusal, the whole way through.
    if (refusal.error)
      RawSetDword(HKEY_CURRENT_USER, kSpooler + std::string("\\Refuse"),
                  refusal.function + std::string("@") + std::to_string(refusal.call), refusal.error);
    int result = Install("QEL Faulty|Kalora Jet-100|LPT1:|NULL|FAULTY");
    EXPECT_LE(static_cast<DWORD>(refusal.call), spooler::Number("Counts", refusal.function)) << "the call was reached";
    EXPECT_EQ(refusal.error ? 0 : 1, result);
  }
  // A printer the spooler added but could not close is still added.
  Forget();
  RawSetDword(HKEY_CURRENT_USER, kSpooler + std::string("\\Refuse"), "ClosePrinter@1", ERROR_ACCESS_DENIED);
  EXPECT_EQ(1, Install("QEL Unclosed|QEL Known|LPT1:|NULL|NULL", true));
  EXPECT_EQ(1u, spooler::Number("Counts", "ClosePrinter"));
  // A spooler that checks the name after the driver finds the printer on
  // the retry, with the driver now installed.
  Forget();
  ASSERT_EQ(1, Install("QEL Faulty|QEL Known|LPT1:|NULL|NULL"));
  RawDeleteTree(HKEY_CURRENT_USER, kSpooler + std::string("\\Calls"));
  RawSetDword(HKEY_CURRENT_USER, kSpooler, "NameCheckedLast", 1);
  EXPECT_EQ(0, Install("QEL Faulty|Kalora Jet-100|LPT1:|NULL|NULL"));
  EXPECT_TRUE(DriverRegistered());
}

TEST_F(PrinterSweep, DriverFilesMissingFromEverySource) {
  const char request[] = "QEL Sourced|Kalora Jet-100|LPT1:|NULL|NULL";
  Forget();
  EXPECT_EQ(0, Install(request));
  EXPECT_FALSE(DriverRegistered()) << "no source holds the files";
  for (const std::string& partly : sources_) {
    SCOPED_TRACE("the driver's last file missing from " + partly + ", no later source");
    Forget();
    Provide(partly, true, true);
    EXPECT_EQ(0, Install(request));
    EXPECT_FALSE(DriverRegistered());
    Provide(partly, false);
  }
  for (size_t partly = 0; partly + 1 < sources_.size(); ++partly) {
    SCOPED_TRACE("the driver's last file missing from " + sources_[partly] + ", the next holds them");
    Forget();
    Provide(sources_[partly], true, true);
    Provide(sources_[partly + 1], true);
    EXPECT_EQ(1, Install(request));
    EXPECT_TRUE(DriverRegistered());
    // Never a mix: what the failing source copied is not kept.
    std::string next = sources_[partly + 1] + "\n";
    EXPECT_EQ(next + next + next + next, RegisteredFrom());
    Provide(sources_[partly], false);
    Provide(sources_[partly + 1], false);
  }
}

TEST_F(PrinterSweep_Cp932, DoubleByteRequests) {
  ASSERT_TRUE(InCodePage932());
  const std::string p = kPipeTrail, d = kDoubleByte;
  for (const std::string& request :
       {"QEL " + p + "|QEL Known|LPT1:|" + p + "|" + p, "QEL " + d + p + "||QEL Known|LPT1:|" + d,
        "QEL " + p + p + "|" + p + "|LPT1:", "QEL " + d + "|QEL Known|" + p + "|NULL|NULL"}) {
    Forget();
    Install(request.c_str());
  }
}
