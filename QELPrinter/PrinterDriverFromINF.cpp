#include "PrinterDriverFromINF.h"

#include <algorithm>
#include <cstring>

#include "DirectoryIterator.h"
#include "INFKeyIterator.h"
#include "INFSection.h"
#include "InstallFilesFromINFSection.h"
#include "RegistryKey.h"
#include "RegistrySubkeyIterator.h"
#include "RegistryValueIterator.h"
#include "SpecialFolders.h"
#include "Spooler.h"

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

const char kProductKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane Systems\\Hollowmarch";
const char kUserProductKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\Corvane Systems\\Hollowmarch\\";

// Directory ids of printer INFs: the printer driver directory, the system
// directory and its color profile folder.
const DWORD kDriverDirectoryId = 66000;
const DWORD kSystemDirectoryId = 66002;
const DWORD kColorDirectoryId = 66003;

// A file of that name lies in the folder. For a plain name its attributes
// answer as a search for it would, and cost less. A search answers
// otherwise for a pattern, a path, a stream, "." and "..": a name with any
// of their bytes (even inside a double-byte character) is searched for.
bool FileIn(const CString& folder, const CString& name) {
  // "folder\" names the folder itself, which is no file of it.
  if (name.IsEmpty()) return false;
  FilePath path(folder + "\\" + name);
  if (!strpbrk(name.CStr(), "\\/:*?\"<>|") && !name.EndsWith('.') && !name.EndsWith(' '))
    return GetFileAttributesA(path.Text().CStr()) != INVALID_FILE_ATTRIBUTES;
  return DirectoryIterator(path, false, nullptr, true, FindFilterRef()).IsValid();
}

// The names of a folder's entries as found, dots left out.
template <class Visit>
void ForEachEntry(const CString& folder, Visit visit) {
  for (DirectoryIterator entry(FilePath(folder + "\\*.*"), false, nullptr, true, FindFilterRef()); entry.IsValid();
       ++entry)
    visit(entry->Name());
}

}  // namespace

PrinterDriverFromINF::PrinterDriverFromINF(const CString& name)
    : modelName(name),
      driverVersion(kUndeterminedVersion),
      dependentFiles(kDependentFilesReserve, '\0'),
      dontPrompt(1) {
  // Without the Windows directory the path stays empty, so the INF fails to
  // open instead of being looked for relative to the current folder.
  FilePath windows = WindowsFolder();
  if (!windows.Text().IsEmpty()) {
    infFile = windows;
    infFile.Append("inf\\ntprint.inf");
  }
}

PrinterDriverFromINF::~PrinterDriverFromINF() = default;

INFSection PrinterDriverFromINF::Section(const CString& sectionName) {
  if (!inf_) {
    inf_ = RefCountedHolder<INFFile>::Make();
    // An INF that fails to open is not tried again: every section of it is
    // missing for this request, as each fresh try would find.
    if (inf_) inf_->Open(infFile.Text());
  }
  return INFSection(sectionName, inf_);
}

bool PrinterDriverFromINF::SectionOpens(const CString& sectionName) {
  // No section has an empty name.
  if (sectionName.IsEmpty()) return false;
  return Section(sectionName).Open();
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
        driverVersion = kNT4Version;
        return true;
      }
      if (info.dwMajorVersion == 5) {
        driverVersion = kWindows2000Version;
        return true;
      }
      return false;
    case VER_PLATFORM_WIN32_WINDOWS:
      driverVersion = kWindows9xVersion;
      return true;
    default:
      return false;
  }
}

void PrinterDriverFromINF::ApplyPreviousNames() {
  // Each line reads: current name = previous name. A missing section gives
  // an invalid walk.
  for (INFKeyIterator line(Section("Previous Names")); line.IsValid(); ++line) {
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

  INFSection models = Section(manufacturer);
  if (!models.Open()) return false;
  CString modelLine;
  if (!models.FindValue(modelName, &modelLine)) return false;

  // NT 4 names the install section by the whole value; later forms of the
  // line add hardware ids after a comma. A line without ids names the
  // section by its whole value under every version.
  if (driverVersion == kNT4Version) {
    modelSection = modelLine;
  } else if (driverVersion == kWindows9xVersion || driverVersion == kWindows2000Version) {
    size_t comma = modelLine.Find(',');
    modelSection = comma == CString::npos ? modelLine : modelLine.Left(comma);
  }

  INFSection install = Section(modelSection);
  if (modelSection.IsEmpty() || !install.Open()) return false;
  CString dataSectionName = KeyValue(install, "DataSection", CString());
  dataFile = KeyValue(install, "DataFile", modelSection);

  INFSection data = Section(dataSectionName);
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

bool PrinterDriverFromINF::InstallDriver() {
  if (!FindDriver()) return false;
  InstallFilesFromINFSection files(Section(modelSection));
  // The copy works from the reading the lookup made: an INF that has gone
  // or changed since would name files the lookup never saw.
  if (!files.SectionOpens() || !inf_->Unchanged()) return false;
  Spooler spooler;
  CString directory;
  // Without a directory the snapshot and the removal would walk the root of
  // the current drive.
  if (!spooler.DriverDirectory(DriverEnvironment(), &directory)) return false;

  SnapshotDriverDirectory(directory);
  bool registered = CopyDriverFiles(directory, files) && BuildDependentFiles(directory) && RegisterDriver(spooler);
  if (!registered || driverVersion != kWindows9xVersion) RemoveNewDriverFiles(directory);
  return registered;
}

const char* PrinterDriverFromINF::DriverEnvironment() const {
  return driverVersion == kWindows9xVersion ? kWindows9xEnvironment : kNTEnvironment;
}

void PrinterDriverFromINF::ReadCabSettings() {
  // Version subkeys compare as text, ignoring case: of equal names the first
  // read stays.
  CString newest;
  RegistryKey product(kProductKey, RegistryKey::kKeyAccess);
  if (product.Open(RegistryKey::kKeyAccess)) {
    for (RegistrySubkeyIterator version = product.SubkeysBegin(), end = product.SubkeysEnd(); version != end;
         ++version) {
      CString name = version.Name();
      if (name.CompareNoCase(newest) > 0) newest = name;
    }
  }
  RegistryKey settings(CString(kUserProductKey) + newest + "\\Settings", RegistryKey::kKeyAccess);
  if (!settings.Open(RegistryKey::kKeyAccess)) return;
  RegistryValueIterator flag = settings.FindValue("Don't prompt cab files");
  // Whatever its type, the value counts only when it holds a whole word.
  if (flag.IsValid() && flag->Size() >= sizeof dontPrompt) memcpy(&dontPrompt, flag->Data(), sizeof dontPrompt);
  RegistryValueIterator cabPath = settings.FindValue("Cab File Path");
  if (cabPath.IsValid()) cabFilePath = cabPath->AsString();
}

bool PrinterDriverFromINF::CopyDriverFiles(const CString& driverDirectory, InstallFilesFromINFSection& files) {
  FilePath system = SystemFolder();
  if (system.Text().IsEmpty()) return false;
  FilePath color(system);
  color.Append("Color");
  if (!files.SetDirectoryId(kDriverDirectoryId, driverDirectory) ||
      !files.SetDirectoryId(kSystemDirectoryId, system.Text()) ||
      !files.SetDirectoryId(kColorDirectoryId, color.Text()))
    return false;
  ReadCabSettings();
  FilePath drivers(system);
  drivers.Append("drivers");
  struct Source {
    CString folder;
    int promptSuppression;
  };
  // The last is the installation folder of a Windows CD copied to the system
  // drive: the one source for which the settings may allow prompts.
  const Source sources[] = {{cabFilePath, 1},
                            {files.sourcePath, 1},
                            {drivers.Text(), 1},
                            {drivers.Head() + "\\i386", static_cast<int>(dontPrompt)}};
  for (const Source& source : sources) {
    files.sourcePath = source.folder;
    if (files.Install(source.promptSuppression, InstallFilesFromINFSection::kCopyFlags)) return true;
    // A source that fails part-way leaves what it copied, and the next one
    // never overwrites: the driver would mix files of two sources.
    RemoveNewDriverFiles(driverDirectory);
  }
  return false;
}

void PrinterDriverFromINF::SnapshotDriverDirectory(const CString& driverDirectory) {
  directorySnapshot.clear();
  ForEachEntry(driverDirectory, [&](const CString& name) { directorySnapshot.insert(name.Upper()); });
}

void PrinterDriverFromINF::AddDependentFile(const CString& name, size_t* end) {
  // The name, its NUL and the list's closing NUL.
  size_t needed = *end + name.Length() + 2;
  if (needed > dependentFiles.size()) dependentFiles.resize(std::max(needed, 2 * dependentFiles.size()), '\0');
  memcpy(dependentFiles.data() + *end, name.CStr(), name.Length());
  *end += name.Length() + 1;
}

template <typename Visit>
bool PrinterDriverFromINF::ForEachNamedFile(Visit visit) {
  INFSection install = Section(modelSection);
  if (!install.Open()) return false;
  CString copyFiles = KeyValue(install, "CopyFiles", CString());
  // Runs of commas are one separator; blanks belong to the names.
  for (size_t start = 0; start < copyFiles.Length();) {
    size_t comma = copyFiles.Find(',', start);
    if (comma == CString::npos) comma = copyFiles.Length();
    CString token = copyFiles.Mid(start, comma - start);
    start = comma + 1;
    if (token.IsEmpty()) continue;
    if (token.At(0) == '@') {
      visit(token.Mid(1));
      continue;
    }
    // A section that does not open fails the walk.
    INFKeyIterator line{Section(token)};
    if (!line.Section().IsValid()) return false;
    if (line.IsValid() && line.CurrentKey().Name().Find(",,,") != CString::npos) continue;
    for (; line.IsValid(); ++line) visit(line.CurrentKey().Name());
  }
  return true;
}

bool PrinterDriverFromINF::BuildDependentFiles(const CString& driverDirectory) {
  if (!SectionOpens(modelSection)) return false;
  dependentFiles.assign(kDependentFilesReserve, '\0');
  size_t end = 0;
  return ForEachNamedFile([&](const CString& name) {
    if (FileIn(driverDirectory, name)) AddDependentFile(name, &end);
  });
}

void PrinterDriverFromINF::RemoveNewDriverFiles(const CString& driverDirectory) {
  auto removeIfNew = [&](const CString& name) {
    if (!directorySnapshot.count(name.Upper())) DeleteFileA((driverDirectory + "\\" + name).CStr());  // a folder stays
  };
  if (driverVersion != kWindows9xVersion) {
    ForEachEntry(driverDirectory, removeIfNew);
    return;
  }
  // Windows 95/98's driver directory is the system one, where other programs
  // put files meanwhile too: only the copy's own files go, and only by a
  // plain name, never a path out of the folder.
  ForEachNamedFile([&](const CString& name) {
    if (!name.IsEmpty() && !strpbrk(name.CStr(), "\\/:*?\"<>|")) removeIfNew(name);
  });
}

bool PrinterDriverFromINF::RegisterDriver(Spooler& spooler) {
  // The spooler only reads the record's texts.
  auto text = [](const CString& value) { return const_cast<char*>(value.CStr()); };
  DRIVER_INFO_3A driver = {};
  driver.cVersion = driverVersion;
  driver.pName = text(modelName);
  driver.pEnvironment = const_cast<char*>(DriverEnvironment());
  driver.pDriverPath = text(driverFile);
  driver.pDataFile = text(dataFile);
  driver.pConfigFile = text(configFile);
  driver.pHelpFile = text(helpFile);  // "" when the INF names none
  driver.pDependentFiles = dependentFiles.data();
  driver.pMonitorName = nullptr;
  driver.pDefaultDataType = const_cast<char*>("RAW");
  return spooler.AddDriver(driver);
}
