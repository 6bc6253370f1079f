#pragma once
// A printer driver as the system printer INF ("inf\ntprint.inf" under the
// Windows directory) describes it. The INF lists models by manufacturer:
//
//   [HP]                                     manufacturer section
//   "HP LaserJet 4" = HPLJ4, LPTENUM\HPLJ4   model line: install section, ids
//   [HPLJ4]                                  model install section
//   DataSection = PSCRIPT_DATA               where the driver's files are named
//   DataFile = HPLJ4.PPD
//   [PSCRIPT_DATA]                           data section
//   DriverFile = PSCRIPT5.DLL
//   ConfigFile = PS5UI.DLL
//
// The manufacturer section is found from the model name: the part before its
// first "-", else the part before its first space, else a fixed table of
// names that makers used before (a "Hewlett-Packard ..." model is under
// [HP]). [Previous Names] maps old model names to current ones. The spooler
// driver version says which form of the model line applies.
//
// An object serves one request: it is built from the model name, and
// InstallDriver finds the model (FindDriver fills the install section and
// file names), copies the install section's files into the printer driver
// directory and registers the driver with the spooler. It reads the INF
// once, when it first needs it; every section it looks at, the file queue
// and the dependent-file list share that reading.

#include <windows.h>

#include <set>
#include <vector>

#include "CString.h"
#include "FilePath.h"
#include "INFFile.h"
#include "INFSection.h"
#include "RefCountedHolder.h"

class InstallFilesFromINFSection;
class Spooler;

class PrinterDriverFromINF {
 public:
  // The spooler's driver versions: Windows 95/98's drivers, NT 4's
  // kernel-mode ones, Windows 2000's user-mode ones.
  static constexpr DWORD kWindows9xVersion = 0;
  static constexpr DWORD kNT4Version = 2;
  static constexpr DWORD kWindows2000Version = 3;
  // A driver version that none of the Windows versions served here has.
  static constexpr DWORD kUndeterminedVersion = 0xFFFFFFFF;
  static constexpr size_t kDependentFilesReserve = 260;
  // The environment of the driver directory and of the registration alike.
  // NT: that of this build's own processes, since the setup library copies
  // into the directory of the process's own environment and a spooler
  // refuses a driver whose files lie in another's. Windows 95/98 serve only
  // their own and refuse any NT one (ERROR_INVALID_ENVIRONMENT).
#ifdef _WIN64
  static constexpr const char* kNTEnvironment = "Windows x64";
#else
  static constexpr const char* kNTEnvironment = "Windows NT x86";
#endif
  static constexpr const char* kWindows9xEnvironment = "Windows 4.0";

  explicit PrinterDriverFromINF(const CString& modelName);
  virtual ~PrinterDriverFromINF();
  PrinterDriverFromINF(const PrinterDriverFromINF&) = delete;
  PrinterDriverFromINF& operator=(const PrinterDriverFromINF&) = delete;

  // Finds the model in the INF and fills the version, the model name (its
  // current one), the install section and the driver's file names. Members
  // set before a failing step stay set.
  bool FindDriver();

  // 0 for Windows 95/98, 2 for NT 4 and earlier, 3 for Windows 2000; false
  // (and the version left undetermined) for any other Windows.
  bool DetermineDriverVersion();
  // Replaces a model name that [Previous Names] lists as an old name by the
  // model's current name.
  void ApplyPreviousNames();
  // The name of the section that lists the model; empty when none fits.
  CString FindManufacturerSection();

  // The whole installation: FindDriver, the copy of the install section's
  // files into the printer driver directory, the registration. True when
  // the spooler accepted the driver. The copies the installation put at the
  // top of the driver directory are removed again, as NT's spooler keeps its
  // own of an accepted driver; Windows 95/98 keep the copies themselves.
  bool InstallDriver();
  // The environment of the driver version found (kNTEnvironment when none).
  const char* DriverEnvironment() const;
  // The product's settings: where driver files may lie besides the Windows
  // sources (cabFilePath), and whether the last source may prompt.
  void ReadCabSettings();
  // Defines the INF's directory ids, then copies the files from the first of
  // four sources that holds them: the product's cab folder, the Windows
  // setup source, the system's drivers folder, the system drive's \i386.
  // What a failing source copied is removed (RemoveNewDriverFiles, after
  // the snapshot) before the next is tried.
  bool CopyDriverFiles(const CString& driverDirectory, InstallFilesFromINFSection& files);
  // Remembers what the driver directory holds before the copy.
  void SnapshotDriverDirectory(const CString& driverDirectory);
  // The files the install section's CopyFiles names ("@file" or a file-list
  // section) that lie in the driver directory, as the spooler's list.
  bool BuildDependentFiles(const CString& driverDirectory);
  // Deletes the files at the top of the driver directory that the snapshot
  // does not name; on Windows 95/98 (the system directory) only those of
  // them that the install section names.
  void RemoveNewDriverFiles(const CString& driverDirectory);

  CString modelName;
  CString modelSection;
  FilePath infFile;
  CString dataFile;
  CString driverFile;
  CString configFile;
  CString helpFile;
  CString cabFilePath;
  DWORD driverVersion;
  // The spooler's list of dependent files: each name with its NUL, and one
  // NUL more; zero beyond. Grows as the names need.
  std::vector<char> dependentFiles;
  DWORD dontPrompt;
  // Upper-cased names; the system directory of Windows 95/98 holds thousands.
  std::set<CString> directorySnapshot;

 private:
  // A section of the INF, read on the first call.
  INFSection Section(const CString& sectionName);
  bool SectionOpens(const CString& sectionName);
  void AddDependentFile(const CString& name, size_t* end);
  // Visits the names the install section's CopyFiles gives ("@file", and the
  // lines of each file-list section), in order; false when a section does
  // not open.
  template <typename Visit>
  bool ForEachNamedFile(Visit visit);
  bool RegisterDriver(Spooler& spooler);

  // Closed when this object and the last section taken from it let go.
  RefCountedHolder<INFFile> inf_;
};
