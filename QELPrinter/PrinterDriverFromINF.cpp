#include "PrinterDriverFromINF.h"

#include <cstdlib>

#include "INFKeyIterator.h"
#include "INFSection.h"

namespace {

// Model names that start with a maker's former or other name, and the
// section that lists those makers' models.
struct ManufacturerAlias {
  const char* firstWord;
  const char* section;
};

const ManufacturerAlias kManufacturerAliases[] = {
    {"DPC", "Datpdfiroducts"},
    {"MS", "Generic"},
    {"Unity", "LaserMaster"},
    {"Windows", "Microsoft"},
    {"OceColor", "Oce"},
    {"OKIPAGE", "Oki"},
    {"Hermes", "Olivetti"},
    {"Triumph", "Olivetti"},
    {"ColorPoint", "Seiko"},
    {"Radio", "Radio_Shack"},
    {"TI", "Texas_Instruments"},
    {"Hewlett-Packard", "HP"},
    {"Adobe", "HP"},
    {"LaserWriter", "Apple"},
};

// The text before the first `c`; empty when there is none.
CString TextBefore(const CString& text, char c) {
  size_t at = text.Find(c);
  return at == CString::npos ? CString() : text.Left(at);
}

// The value of `keyName` in `section`, or `fallback` when the key is absent.
CString KeyValue(const INFSection& section, const char* keyName, const CString& fallback, bool* found = nullptr) {
  CString value;
  bool present = section.FindValue(keyName, &value);
  if (found) *found = present;
  return present ? value : fallback;
}

// The Windows directory without trailing backslashes, empty when it cannot
// be read.
CString WindowsDirectory() {
  char buffer[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return CString();
  CString directory(buffer, length);
  while (directory.EndsWith('\\')) directory.Truncate(directory.Length() - 1);
  return directory;
}

}  // namespace

PrinterDriverFromINF::PrinterDriverFromINF(const CString& name)
    : modelName(name),
      driverVersion(kUndeterminedVersion),
      dependentFiles(static_cast<char*>(calloc(kDependentFilesReserve, 1))),
      dependentFilesSize(dependentFiles ? kDependentFilesReserve : 0),
      dontPrompt(1) {
  // Without the Windows directory the path stays empty, so the INF fails to
  // open instead of being looked for relative to the current folder.
  CString windows = WindowsDirectory();
  if (!windows.IsEmpty()) {
    infFile = FilePath(windows);
    infFile.Append("inf\\ntprint.inf");
  }
}

PrinterDriverFromINF::~PrinterDriverFromINF() { free(dependentFiles); }

bool PrinterDriverFromINF::SectionOpens(const CString& sectionName) const {
  // No section has an empty name; reading the whole INF to learn that is
  // wasted.
  if (sectionName.IsEmpty()) return false;
  INFSection section(sectionName, infFile.Text());
  return section.Open();
}

bool PrinterDriverFromINF::DetermineDriverVersion() {
  OSVERSIONINFOEXA info = {};
  static_assert(sizeof(OSVERSIONINFOEXA) == 156 && sizeof(OSVERSIONINFOA) == 148, "version record sizes");
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
    // Windows before NT 4 SP6 knows only the basic record.
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
  }
  switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_NT:
      if (info.dwMajorVersion <= 4) {
        driverVersion = 2;
        return true;
      }
      if (info.dwMajorVersion == 5) {
        driverVersion = 3;
        return true;
      }
      return false;
    case VER_PLATFORM_WIN32_WINDOWS:
      driverVersion = 0;
      return true;
    default:
      return false;
  }
}

void PrinterDriverFromINF::ApplyPreviousNames() {
  // The walk opens the file itself, and finds nothing when the section does
  // not open: opening it first would read the whole INF once more.
  INFSection previousNames("Previous Names", infFile.Text());
  // Each line reads: current name = previous name.
  for (INFKeyIterator line(previousNames); line.IsValid(); ++line) {
    if (line.CurrentKey().Value() == modelName) {
      modelName = line.CurrentKey().Name();
      return;
    }
  }
}

CString PrinterDriverFromINF::FindManufacturerSection() {
  CString beforeHyphen = TextBefore(modelName, '-');
  if (SectionOpens(beforeHyphen)) return beforeHyphen;
  CString firstWord = TextBefore(modelName, ' ');
  if (SectionOpens(firstWord)) return firstWord;
  for (const ManufacturerAlias& alias : kManufacturerAliases) {
    if (firstWord == alias.firstWord) return CString(alias.section);
  }
  return CString();
}

bool PrinterDriverFromINF::FindDriver() {
  DetermineDriverVersion();
  ApplyPreviousNames();
  CString manufacturer = FindManufacturerSection();

  // Single keys are read through the section's own handle: each look-up
  // through an iterator would read the whole INF again.
  INFSection models(manufacturer, infFile.Text());
  if (!models.Open()) return false;
  CString modelLine;
  if (!models.FindValue(modelName, &modelLine)) return false;

  // NT 4 names the install section by the whole value; later forms of the
  // line add hardware ids after a comma. A line without ids names the
  // section by its whole value under every version.
  if (driverVersion == 2) {
    modelSection = modelLine;
  } else if (driverVersion == 0 || driverVersion == 3) {
    size_t comma = modelLine.Find(',');
    modelSection = comma == CString::npos ? modelLine : modelLine.Left(comma);
  }

  INFSection install(modelSection, infFile.Text());
  if (modelSection.IsEmpty() || !install.Open()) return false;
  CString dataSectionName = KeyValue(install, "DataSection", CString());
  dataFile = KeyValue(install, "DataFile", modelSection);

  INFSection data(dataSectionName, infFile.Text());
  if (dataSectionName.IsEmpty() || !data.Open()) return false;
  bool found = false;
  CString driver = KeyValue(data, "DriverFile", CString(), &found);
  if (!found) return false;
  driverFile = driver;
  CString config = KeyValue(data, "ConfigFile", CString(), &found);
  if (!found) return false;
  configFile = config;
  helpFile = KeyValue(data, "HelpFile", helpFile);
  return true;
}
