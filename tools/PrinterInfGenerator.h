#pragma once
// Writes printer INFs in the layout of the Windows printer INF, for tests and
// benchmarks: [Version], [Manufacturer], one section per manufacturer listing
// its models, an install section per model (CopyFiles, DataSection,
// DataFile), shared data sections (DriverFile, ConfigFile, HelpFile), file
// lists, [Previous Names], [DestinationDirs], [SourceDisksNames],
// [SourceDisksFiles] and [Strings].
//
// The same options and seed always give the same file. Next to the text the
// generator keeps, for every model, what it wrote, so a caller knows how a
// lookup of that model must come out.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace printerinf {

// How a lookup reaches the manufacturer section from the model name.
enum class Route {
  Hyphen,     // "Kalora-Jet 120": the part before the "-" is the section
  FirstWord,  // "Kalora Jet-120 Plus": the first word is the section
  Alias,      // "Hewlett-Packard Jet 120": the first word is a maker's other name
};

// What is wrong with a model's entries, on purpose.
enum class Flaw {
  None,
  NoDataSection,          // the install section has no DataSection key
  MissingDataSection,     // DataSection names a section the INF lacks
  MissingInstallSection,  // the model line names a section the INF lacks
  NoDriverFile,           // the data section has no DriverFile key
  NoConfigFile,           // the data section has no ConfigFile key
  LongModelLine,          // the model line's text is longText bytes long
  LongFirstInstallLine,   // the install section starts with a CopyFiles line of longText bytes
  LongDataFile,           // the DataFile value is longText bytes long
  LongDriverFile,         // the DriverFile value is longText bytes long
  LongModelName,          // the model name is longText bytes long
};

struct Model {
  std::string name;                 // the current name, as the INF lists it
  std::string previousName;         // what [Previous Names] maps to it; empty: none
  std::string manufacturerSection;  // the section listing it
  std::string installSection;       // the section its line names
  bool hardwareIds = false;         // the line adds ids after the section name
  Route route = Route::FirstWord;
  Flaw flaw = Flaw::None;
  size_t longText = 0;
  std::string dataSection;          // the DataSection value; empty: no key
  std::string dataFileKey;          // the DataFile value; empty: no key
  std::string driverFile;           // the data section's keys; empty: no key
  std::string configFile;
  std::string helpFile;

  // Whether a lookup under spooler driver version 0, 2 or 3 must find the
  // driver. Not settled for LongModelName (the reader may cut the name).
  bool FoundUnder(unsigned driverVersion) const;
  // The data file such a lookup gives: the DataFile value, or the install
  // section's name when there is no readable DataFile key.
  std::string ExpectedDataFile() const;
};

struct Options {
  uint32_t seed = 1;
  int manufacturers = 60;  // at least the 12 sections the maker aliases lead to
  int models = 300;
  bool hardwareIds = true;     // every other model line carries hardware ids
  int previousNameEvery = 5;   // every n-th model has a previous name; 0: none
  int modelsPerInstallSection = 1;  // related models of a maker share one install section
  bool flaws = false;          // add one model of every Flaw up to NoConfigFile
  std::vector<size_t> longTexts;  // for each length, one model of every Long... flaw
};

enum class Encoding { Ansi, Utf16WithBom };

class PrinterInf {
 public:
  static PrinterInf Generate(const Options& options);

  // The INF in the ANSI code page, lines ending with CR LF.
  const std::string& Text() const { return text_; }
  std::vector<unsigned char> Bytes(Encoding encoding) const;
  bool WriteTo(const std::string& path, Encoding encoding) const;

  const std::vector<Model>& Models() const { return models_; }
  const std::vector<std::string>& ManufacturerSections() const { return manufacturers_; }
  const Model* FindModel(const std::string& name) const;

 private:
  std::string text_;
  std::vector<Model> models_;
  std::vector<std::string> manufacturers_;
};

// The maker aliases a lookup knows: a model's first word and the section it
// leads to.
struct Alias {
  const char* firstWord;
  const char* section;
};
const std::vector<Alias>& Aliases();

}  // namespace printerinf
