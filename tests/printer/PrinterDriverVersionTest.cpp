// The whole lookup under each Windows version the printer drivers serve:
// Windows 98 (driver version 0), NT 4 (2) and Windows 2000 (3). Each suite
// runs only in the test run that Wine reports as that version.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "PrinterDriverFromINF.h"
#include "PrinterInfGenerator.h"
#include "SystemPrinterInf.h"

namespace {

using printerinf::Encoding;
using printerinf::Flaw;
using printerinf::Model;
using printerinf::Options;
using printerinf::PrinterInf;
using printerinf::Route;

struct Lookup {
  bool found = false;
  std::string modelName, modelSection, dataFile, driverFile, configFile, helpFile;
  DWORD version = 0;
};

Lookup Find(const std::string& name) {
  PrinterDriverFromINF driver(name.c_str());
  Lookup result;
  result.found = driver.FindDriver();
  result.modelName = driver.modelName.CStr();
  result.modelSection = driver.modelSection.CStr();
  result.dataFile = driver.dataFile.CStr();
  result.driverFile = driver.driverFile.CStr();
  result.configFile = driver.configFile.CStr();
  result.helpFile = driver.helpFile.CStr();
  result.version = driver.driverVersion;
  return result;
}

// Looks every model up by each name it has and checks the outcome against
// what the generator wrote. Returns how many lookups found a driver, by route.
void ExpectEveryModel(const PrinterInf& inf, unsigned version, int* foundByRoute) {
  for (const Model& model : inf.Models()) {
    std::string names[] = {model.name, model.previousName};
    for (const std::string& asked : names) {
      if (asked.empty()) continue;
      Lookup got = Find(asked);
      SCOPED_TRACE("model \"" + asked.substr(0, 80) + "\"");
      EXPECT_EQ(version, got.version);
      EXPECT_EQ(model.name, got.modelName) << "the current name";
      // The setup library cuts keys after 511 characters: a longer model
      // name is then absent.
      bool expected = model.FoundUnder(version) && (model.flaw != Flaw::LongModelName || model.longText <= 511);
      ASSERT_EQ(expected, got.found);
      if (!expected) continue;
      ++foundByRoute[static_cast<int>(model.route)];
      EXPECT_EQ(model.installSection, got.modelSection);
      EXPECT_EQ(model.ExpectedDataFile(), got.dataFile);
      EXPECT_EQ(model.driverFile, got.driverFile);
      EXPECT_EQ(model.configFile, got.configFile);
      EXPECT_EQ(model.helpFile, got.helpFile) << "empty when the data section has none";
    }
  }
}

Options GeneratedInf(bool hardwareIds) {
  Options options;
  options.seed = 7;
  options.manufacturers = 60;
  options.models = 120;
  options.hardwareIds = hardwareIds;
  options.flaws = true;
  options.longTexts = {300, 4000};
  return options;
}

void ExpectEveryModelFound(unsigned version, bool hardwareIds, Encoding encoding) {
  PrinterInf inf = PrinterInf::Generate(GeneratedInf(hardwareIds));
  ASSERT_TRUE(SystemPrinterInf::Install(inf, encoding));
  int byRoute[3] = {};
  ExpectEveryModel(inf, version, byRoute);
  EXPECT_LT(0, byRoute[static_cast<int>(Route::Hyphen)]);
  EXPECT_LT(0, byRoute[static_cast<int>(Route::FirstWord)]);
  EXPECT_LE(static_cast<int>(printerinf::Aliases().size()), byRoute[static_cast<int>(Route::Alias)])
      << "every alias";
}

// Flaws of the INF that end the lookup, or do not, the same way under each
// version.
void ExpectFlawsHandled(unsigned version) {
  PrinterInf inf = PrinterInf::Generate(GeneratedInf(version != 2));
  ASSERT_TRUE(SystemPrinterInf::Install(inf));
  int seen = 0;
  for (const Model& model : inf.Models()) {
    if (model.flaw == Flaw::None || model.flaw == Flaw::LongModelName) continue;
    Lookup got = Find(model.name);
    bool fails = model.flaw != Flaw::LongFirstInstallLine && model.flaw != Flaw::LongDataFile;
    EXPECT_EQ(!fails, got.found) << "flaw " << static_cast<int>(model.flaw) << " of " << model.name.substr(0, 60);
    if (model.flaw == Flaw::LongDataFile) {
      EXPECT_EQ(model.installSection, got.dataFile) << "an unreadable DataFile is absent";
    }
    if (model.flaw == Flaw::LongDriverFile) {
      EXPECT_EQ("", got.driverFile) << "never a part of the name";
    }
    ++seen;
  }
  EXPECT_EQ(5 + 2 * 4, seen);

  EXPECT_FALSE(Find("Nobody Writer-1").found);
  const Model& first = inf.Models().back();
  EXPECT_FALSE(Find(first.name + " ").found) << "a model absent from the INF";
  EXPECT_FALSE(Find(first.manufacturerSection).found) << "neither \"-\" nor a blank";
}

// A model line without hardware ids names its section by the whole value,
// as it does under NT 4.
void ExpectSectionOnlyLinesFound(unsigned version) {
  ASSERT_TRUE(SystemPrinterInf::InstallText(
      "[Kalora]\n"
      "\"Kalora Jet-100\" = KALORA_100\n"
      "\"Kalora Jet-200\" = KALORA_200, LPTENUM\\KALORA200\n"
      "[KALORA_100]\nDataSection=DATA\n"
      "[KALORA_200]\nDataSection=DATA\n"
      "[DATA]\nDriverFile=K.DLL\nConfigFile=KUI.DLL\n"));
  Lookup plain = Find("Kalora Jet-100");
  EXPECT_TRUE(plain.found);
  EXPECT_EQ("KALORA_100", plain.modelSection);
  EXPECT_EQ("KALORA_100", plain.dataFile) << "no DataFile: the section's name";
  EXPECT_EQ("", plain.helpFile);
  Lookup ids = Find("Kalora Jet-200");
  if (version == 2) {
    EXPECT_FALSE(ids.found);
    EXPECT_EQ("KALORA_200,LPTENUM\\KALORA200", ids.modelSection) << "NT 4 takes the whole value";
  } else {
    EXPECT_TRUE(ids.found);
    EXPECT_EQ("KALORA_200", ids.modelSection);
  }
}

TEST(PrinterDriverLookup_Win98, EveryModelByEachOfItsNames) { ExpectEveryModelFound(0, true, Encoding::Ansi); }
TEST(PrinterDriverLookup_Win98, UnicodeInf) { ExpectEveryModelFound(0, true, Encoding::Utf16WithBom); }
TEST(PrinterDriverLookup_Win98, FlawsOfTheInf) { ExpectFlawsHandled(0); }
TEST(PrinterDriverLookup_Win98, SectionOnlyModelLines) { ExpectSectionOnlyLinesFound(0); }

TEST(PrinterDriverLookup_NT40, EveryModelByEachOfItsNames) { ExpectEveryModelFound(2, false, Encoding::Ansi); }
TEST(PrinterDriverLookup_NT40, UnicodeInf) { ExpectEveryModelFound(2, false, Encoding::Utf16WithBom); }
TEST(PrinterDriverLookup_NT40, ModelLinesWithIdsAreNotFound) {
  PrinterInf inf = PrinterInf::Generate(GeneratedInf(true));
  ASSERT_TRUE(SystemPrinterInf::Install(inf));
  int byRoute[3] = {};
  ExpectEveryModel(inf, 2, byRoute);
}
TEST(PrinterDriverLookup_NT40, FlawsOfTheInf) { ExpectFlawsHandled(2); }
TEST(PrinterDriverLookup_NT40, SectionOnlyModelLines) { ExpectSectionOnlyLinesFound(2); }

TEST(PrinterDriverLookup_Win2k, EveryModelByEachOfItsNames) { ExpectEveryModelFound(3, true, Encoding::Ansi); }
TEST(PrinterDriverLookup_Win2k, UnicodeInf) { ExpectEveryModelFound(3, true, Encoding::Utf16WithBom); }
TEST(PrinterDriverLookup_Win2k, FlawsOfTheInf) { ExpectFlawsHandled(3); }
TEST(PrinterDriverLookup_Win2k, SectionOnlyModelLines) { ExpectSectionOnlyLinesFound(3); }

}  // namespace
