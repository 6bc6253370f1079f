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
// An object serves one request: it is built from the model name, FindDriver
// fills the install section and file names, and the installation reads the
// members directly.

#include <windows.h>

#include <vector>

#include "CString.h"
#include "FilePath.h"

class PrinterDriverFromINF {
 public:
  // A driver version that none of the Windows versions served here has.
  static constexpr DWORD kUndeterminedVersion = 0xFFFFFFFF;
  static constexpr size_t kDependentFilesReserve = 260;

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

  CString modelName;
  CString modelSection;
  FilePath infFile;
  CString dataFile;
  CString driverFile;
  CString configFile;
  CString helpFile;
  CString cabFilePath;
  DWORD driverVersion;
  // The spooler's NUL-separated list of dependent files; zero-filled.
  char* dependentFiles;
  size_t dependentFilesSize;
  DWORD dontPrompt;
  std::vector<CString> directorySnapshot;

 private:
  bool SectionOpens(const CString& sectionName) const;
};
