#include "PrinterInfGenerator.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <set>

namespace printerinf {

namespace {

// A small generator of our own: the standard distributions differ between
// library versions, and the files must not.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
    if (state_ == 0) state_ = 1;
  }
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  size_t Below(size_t n) { return n ? Next() % n : 0; }

 private:
  uint32_t state_;
};

const char* const kSyllables[] = {"ka", "lo", "ra", "ve", "sto", "mi", "den", "tor", "qua", "zel", "bri", "fon",
                                  "gar", "hel", "jun", "nox", "pel", "rin", "sul", "tam", "vik", "wen", "yor", "zan"};
const char* const kSeries[] = {"LaserJet", "DeskJet", "Jet", "Color", "Pro", "Writer",
                               "Line", "Page", "Stylus", "Imager", "Plotter", "Matrix"};
const char* const kSuffixes[] = {"", " Plus", " PS", " PCL", " XL", " (MS)", " Series", " 600dpi", " v2.1"};

// Shared data sections and the file lists that go with them.
struct DriverKind {
  const char* dataSection;
  const char* fileList;
  const char* dataExtension;
  const char* driverFile;
  const char* configFile;
  const char* helpFile;  // empty: the section has no HelpFile
  std::vector<const char*> files;
};

const std::vector<DriverKind>& DriverKinds() {
  static const std::vector<DriverKind> kinds = {
      {"UNIDRV_DATA", "UNIDRV", ".GPD", "UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP",
       {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP"}},
      {"PSCRIPT_DATA", "PSCRIPT", ".PPD", "PSCRIPT5.DLL", "PS5UI.DLL", "PSCRIPT.HLP",
       {"PSCRIPT5.DLL", "PS5UI.DLL", "PSCRIPT.HLP", "PSCRIPT.NTF"}},
      {"PLOTTER_DATA", "PLOTTER", ".PCD", "PLOTTER.DLL", "PLOTUI.DLL", "", {"PLOTTER.DLL", "PLOTUI.DLL"}},
  };
  return kinds;
}

std::string Upper(const std::string& text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

// Letters and digits kept, everything else "_": usable as a section or id.
std::string Identifier(const std::string& text) {
  std::string id;
  for (char c : Upper(text)) id += ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) ? c : '_';
  return id;
}

std::string Padding(char c, size_t length) { return std::string(length, c); }

struct Section {
  std::string name;
  std::vector<std::string> lines;
};

class Writer {
 public:
  void Line(const std::string& line) { text_ += line + "\r\n"; }
  void Write(const Section& section) {
    Line("");
    Line("[" + section.name + "]");
    for (const std::string& line : section.lines) Line(line);
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

std::vector<std::string> ManufacturerNames(Random& random, int count) {
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const Alias& alias : Aliases()) {
    taken.insert(Upper(alias.firstWord));
    if (taken.insert(Upper(alias.section)).second) names.push_back(alias.section);
  }
  // Words a model name may start with that must not be sections.
  for (const char* reserved : {"HEWLETT", "OLD", "NOSUCH", "LONGDRIVER", "NODRIVER", "NOCONFIG"}) taken.insert(reserved);
  while (static_cast<int>(names.size()) < count) {
    std::string name;
    size_t syllables = 2 + random.Below(2);
    for (size_t i = 0; i < syllables; ++i) name += kSyllables[random.Below(sizeof kSyllables / sizeof *kSyllables)];
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    if (random.Below(8) == 0) name += "_Systems";
    if (taken.insert(Upper(name)).second) names.push_back(name);
  }
  return names;
}

}  // namespace

const std::vector<Alias>& Aliases() {
  static const std::vector<Alias> aliases = {
      {"DPC", "Datpdfiroducts"}, {"MS", "Generic"},          {"Unity", "LaserMaster"},
      {"Windows", "Microsoft"},  {"OceColor", "Oce"},        {"OKIPAGE", "Oki"},
      {"Hermes", "Olivetti"},    {"Triumph", "Olivetti"},    {"ColorPoint", "Seiko"},
      {"Radio", "Radio_Shack"},  {"TI", "Texas_Instruments"}, {"Hewlett-Packard", "HP"},
      {"Adobe", "HP"},           {"LaserWriter", "Apple"},
  };
  return aliases;
}

bool Model::FoundUnder(unsigned driverVersion) const {
  if (driverVersion != 0 && driverVersion != 2 && driverVersion != 3) return false;
  // NT 4 takes the whole line as the section name, ids included.
  if (driverVersion == 2 && hardwareIds) return false;
  return flaw == Flaw::None || flaw == Flaw::LongFirstInstallLine || flaw == Flaw::LongDataFile ||
         flaw == Flaw::LongModelName;
}

std::string Model::ExpectedDataFile() const {
  if (dataFileKey.empty() || flaw == Flaw::LongDataFile) return installSection;
  return dataFileKey;
}

const Model* PrinterInf::FindModel(const std::string& name) const {
  for (const Model& model : models_)
    if (model.name == name) return &model;
  return nullptr;
}

PrinterInf PrinterInf::Generate(const Options& options) {
  PrinterInf inf;
  Random random(options.seed);
  inf.manufacturers_ = ManufacturerNames(random, options.manufacturers);
  const std::vector<std::string>& makers = inf.manufacturers_;

  // Alias words by the section they lead to.
  std::vector<std::vector<const char*>> aliasWords(makers.size());
  for (const Alias& alias : Aliases())
    for (size_t m = 0; m < makers.size(); ++m)
      if (makers[m] == alias.section) aliasWords[m].push_back(alias.firstWord);

  std::vector<Section> modelLists(makers.size());
  for (size_t m = 0; m < makers.size(); ++m) modelLists[m].name = makers[m];
  std::vector<Section> installSections;
  std::vector<Section> extraSections;
  std::vector<std::string> previousNames;
  std::set<std::string> files;
  for (const DriverKind& kind : DriverKinds())
    for (const char* file : kind.files) files.insert(file);

  // Every alias word leads some model, before the rest are spread out.
  std::vector<std::pair<size_t, const char*>> aliasFirst;
  for (size_t m = 0; m < makers.size(); ++m)
    for (const char* word : aliasWords[m]) aliasFirst.emplace_back(m, word);

  // Related models of one maker share an install section: the index of the
  // group's first model, by maker and group.
  std::map<std::pair<size_t, size_t>, size_t> groupLeaders;
  std::vector<size_t> modelsOfMaker(makers.size());

  auto addModel = [&](size_t m, Route route, const char* aliasWord, Flaw flaw, size_t longText) {
    int number = 100 + static_cast<int>(inf.models_.size());
    Model model;
    model.manufacturerSection = makers[m];
    model.route = route;
    model.flaw = flaw;
    model.longText = longText;
    std::string series = kSeries[random.Below(sizeof kSeries / sizeof *kSeries)];
    std::string suffix = kSuffixes[random.Below(sizeof kSuffixes / sizeof *kSuffixes)];
    std::string num = std::to_string(number);
    switch (route) {
      case Route::Hyphen:
        model.name = makers[m] + "-" + series + " " + num + suffix;
        break;
      case Route::FirstWord:
        model.name = makers[m] + " " + series + (random.Below(3) ? "-" : " ") + num + suffix;
        break;
      case Route::Alias:
        model.name = std::string(aliasWord) + " " + series + "-" + num + suffix;
        break;
    }
    if (flaw == Flaw::LongModelName && model.name.size() < longText)
      model.name += " " + Padding('N', longText - model.name.size() - 1);
    std::string id = Identifier(makers[m]);
    if (id.size() > 12) id.resize(12);
    model.installSection = id + "_" + num;
    const Model* leader = nullptr;
    if (options.modelsPerInstallSection > 1 && flaw == Flaw::None) {
      auto group = std::make_pair(m, modelsOfMaker[m]++ / options.modelsPerInstallSection);
      auto found = groupLeaders.find(group);
      if (found != groupLeaders.end())
        leader = &inf.models_[found->second];
      else
        groupLeaders[group] = inf.models_.size();
    }
    const DriverKind& kind = DriverKinds()[random.Below(DriverKinds().size())];
    model.dataSection = kind.dataSection;
    model.driverFile = kind.driverFile;
    model.configFile = kind.configFile;
    model.helpFile = kind.helpFile;
    // Every fifth install section leaves DataFile out: the section's own name is then the data file.
    std::string dataFile = model.installSection + kind.dataExtension;
    if (inf.models_.size() % 5 != 4) model.dataFileKey = dataFile;
    files.insert(dataFile);
    model.hardwareIds = options.hardwareIds && inf.models_.size() % 2 == 0;
    if (flaw == Flaw::LongModelLine) model.hardwareIds = true;
    if (longText == 0 && options.previousNameEvery > 0 && inf.models_.size() % options.previousNameEvery == 1)
      model.previousName = "Old " + makers[m] + " " + series + "-" + num;

    // The model line.
    std::string value = leader ? leader->installSection : model.installSection;
    if (flaw == Flaw::MissingInstallSection) value = "NOSUCH_" + num;
    if (model.hardwareIds) {
      char hex[8];
      snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(random.Next() & 0xFFFF));
      std::string hardwareId = "LPTENUM\\" + Identifier(makers[m]).substr(0, 8) + series + hex;
      std::string compatible = model.name.substr(0, 40);
      for (char& c : compatible)
        if (c == ' ') c = '_';
      if (flaw == Flaw::LongModelLine) {
        size_t line = value.size() + 2 + hardwareId.size() + compatible.size();
        if (line < longText) hardwareId += Padding('H', longText - line);
      }
      value += "," + hardwareId + "," + compatible;
    }
    modelLists[m].lines.push_back("\"" + model.name + "\" = " + value);
    if (leader) {
      // The rest is the first model's.
      model.installSection = leader->installSection;
      model.dataSection = leader->dataSection;
      model.dataFileKey = leader->dataFileKey;
      model.driverFile = leader->driverFile;
      model.configFile = leader->configFile;
      model.helpFile = leader->helpFile;
      inf.models_.push_back(model);
      return;
    }

    // The install section.
    Section install;
    install.name = model.installSection;
    std::string copyFiles = "CopyFiles=@" + dataFile + "," + kind.fileList;
    if (flaw == Flaw::LongFirstInstallLine && copyFiles.size() < longText)
      copyFiles += ",@" + Padding('C', longText - copyFiles.size() - 2);
    install.lines.push_back(copyFiles);
    if (flaw == Flaw::NoDataSection) model.dataSection.clear();
    if (flaw == Flaw::MissingDataSection) model.dataSection = "NOSUCH_DATA";
    if (flaw == Flaw::NoDriverFile) {
      model.dataSection = "NODRIVER_DATA";
      model.driverFile.clear();
    }
    if (flaw == Flaw::NoConfigFile) {
      model.dataSection = "NOCONFIG_DATA";
      model.configFile.clear();
    }
    if (flaw == Flaw::LongDriverFile) {
      model.dataSection = "LONGDRIVER_" + std::to_string(longText) + "_DATA";
      model.driverFile = Padding('D', longText > 11 ? longText - 11 : 1);  // "DriverFile=" makes up the rest
      extraSections.push_back({model.dataSection, {"DriverFile=" + model.driverFile, "ConfigFile=UNIDRVUI.DLL"}});
      model.configFile = "UNIDRVUI.DLL";
      model.helpFile.clear();
    }
    if (!model.dataSection.empty()) install.lines.push_back("DataSection=" + model.dataSection);
    if (flaw == Flaw::LongDataFile) {
      model.dataFileKey = Padding('F', longText > 9 ? longText - 9 : 1);  // after "DataFile="
    }
    if (!model.dataFileKey.empty()) install.lines.push_back("DataFile=" + model.dataFileKey);
    if (flaw != Flaw::MissingInstallSection) installSections.push_back(install);
    inf.models_.push_back(model);
  };

  size_t plain = 0;
  while (plain < makers.size() && !aliasWords[plain].empty()) ++plain;
  if (plain == makers.size()) plain = 0;
  if (options.flaws) {
    for (Flaw flaw : {Flaw::NoDataSection, Flaw::MissingDataSection, Flaw::MissingInstallSection, Flaw::NoDriverFile,
                      Flaw::NoConfigFile})
      addModel(plain, Route::FirstWord, nullptr, flaw, 0);
    extraSections.push_back({"NODRIVER_DATA", {"ConfigFile=UNIDRVUI.DLL", "HelpFile=UNIDRV.HLP"}});
    extraSections.push_back({"NOCONFIG_DATA", {"DriverFile=UNIDRV.DLL", "HelpFile=UNIDRV.HLP"}});
  }
  for (size_t length : options.longTexts) {
    // The long model name first: a section whose first line is long must
    // not hide its other lines.
    for (Flaw flaw : {Flaw::LongModelName, Flaw::LongModelLine, Flaw::LongFirstInstallLine, Flaw::LongDataFile,
                      Flaw::LongDriverFile})
      addModel(plain, Route::FirstWord, nullptr, flaw, length);
  }
  for (const auto& alias : aliasFirst) addModel(alias.first, Route::Alias, alias.second, Flaw::None, 0);
  for (size_t i = 0; static_cast<int>(inf.models_.size()) < options.models; ++i) {
    size_t m = i % makers.size();
    Route route = Route::FirstWord;
    const char* word = nullptr;
    if (!aliasWords[m].empty() && random.Below(2)) {
      route = Route::Alias;
      word = aliasWords[m][random.Below(aliasWords[m].size())];
    } else if (random.Below(3) == 0) {
      route = Route::Hyphen;
    }
    addModel(m, route, word, Flaw::None, 0);
  }

  // [Previous Names]: an unreadable line leads the section when asked for,
  // then the models' old names in a shuffled order.
  for (size_t length : options.longTexts) {
    std::string current = "Long Previous " + std::to_string(length);
    previousNames.push_back("\"" + current + "\" = \"" + Padding('P', length) + "\"");
  }
  std::vector<const Model*> renamed;
  for (const Model& model : inf.models_)
    if (!model.previousName.empty()) renamed.push_back(&model);
  for (size_t i = renamed.size(); i > 1; --i) std::swap(renamed[i - 1], renamed[random.Below(i)]);
  for (const Model* model : renamed) previousNames.push_back("\"" + model->name + "\" = \"" + model->previousName + "\"");

  Writer out;
  out.Line("; Printer INF generated for tests, seed " + std::to_string(options.seed) + ", " +
           std::to_string(inf.models_.size()) + " models");
  out.Write({"Version",
             {"Signature=\"$Windows NT$\"", "Provider=%PROVIDER%", "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}",
              "Class=Printer", "DriverVer=07/01/2001,5.00.2195.1"}});
  Section manufacturer{"Manufacturer", {}};
  std::vector<std::string> strings = {"PROVIDER=\"Printer Makers\"", "DISK1=\"Printer Driver Disk 1\""};
  for (size_t m = 0; m < makers.size(); ++m) {
    if (m % 2) {
      manufacturer.lines.push_back("\"" + makers[m] + "\"");
    } else {
      std::string key = "MFG_" + Identifier(makers[m]);
      manufacturer.lines.push_back("%" + key + "% = " + makers[m]);
      strings.push_back(key + "=\"" + makers[m] + "\"");
    }
  }
  out.Write(manufacturer);
  out.Write({"Previous Names", previousNames});
  for (const Section& section : modelLists) {
    out.Line("");
    out.Line("; Models of " + section.name);
    out.Line("[" + section.name + "]");
    for (const std::string& line : section.lines) out.Line(line);
  }
  for (const Section& section : installSections) out.Write(section);
  for (const DriverKind& kind : DriverKinds()) {
    Section data{kind.dataSection, {std::string("DriverFile=") + kind.driverFile, std::string("ConfigFile=") + kind.configFile}};
    if (*kind.helpFile) data.lines.push_back(std::string("HelpFile=") + kind.helpFile);
    out.Write(data);
    Section list{kind.fileList, {}};
    for (const char* file : kind.files) list.lines.push_back(file);
    out.Write(list);
  }
  for (const Section& section : extraSections) out.Write(section);
  out.Write({"DestinationDirs", {"DefaultDestDir=66000"}});
  out.Write({"SourceDisksNames", {"1 = %DISK1%,,,\"\""}});
  Section sourceFiles{"SourceDisksFiles", {}};
  for (const std::string& file : files) sourceFiles.lines.push_back(file + " = 1");
  out.Write(sourceFiles);
  out.Write({"Strings", strings});
  inf.text_ = out.Take();
  return inf;
}

std::vector<unsigned char> PrinterInf::Bytes(Encoding encoding) const {
  if (encoding == Encoding::Ansi) return std::vector<unsigned char>(text_.begin(), text_.end());
  int units = MultiByteToWideChar(CP_ACP, 0, text_.data(), static_cast<int>(text_.size()), nullptr, 0);
  std::vector<wchar_t> wide(units > 0 ? units : 0);
  if (units > 0) MultiByteToWideChar(CP_ACP, 0, text_.data(), static_cast<int>(text_.size()), wide.data(), units);
  std::vector<unsigned char> bytes = {0xFF, 0xFE};
  for (wchar_t unit : wide) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>((unit >> 8) & 0xFF));
  }
  return bytes;
}

bool PrinterInf::WriteTo(const std::string& path, Encoding encoding) const {
  std::vector<unsigned char> bytes = Bytes(encoding);
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

}  // namespace printerinf
