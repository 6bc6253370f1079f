// The parts of the driver lookup that do not depend on the Windows version,
// and the lookup on the Windows that Wine reports by default (7), which no
// printer driver version here serves.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "PrinterDriverFromINF.h"
#include "PrinterInfGenerator.h"
#include "SystemPrinterInf.h"

namespace {

std::string ManufacturerOf(const char* model) {
  PrinterDriverFromINF driver(model);
  return driver.FindManufacturerSection().CStr();
}

TEST(PrinterDriverFromINF, StartsWithTheSystemPrinterInfAndNothingFound) {
  PrinterDriverFromINF driver("Kalora Jet-100");
  EXPECT_STREQ("Kalora Jet-100", driver.modelName.CStr());
  EXPECT_EQ(SystemPrinterInf::Path(), driver.infFile.Text().CStr());
  EXPECT_EQ(PrinterDriverFromINF::kUndeterminedVersion, driver.driverVersion);
  EXPECT_TRUE(driver.modelSection.IsEmpty());
  EXPECT_TRUE(driver.dataFile.IsEmpty() && driver.driverFile.IsEmpty() && driver.configFile.IsEmpty() &&
              driver.helpFile.IsEmpty() && driver.cabFilePath.IsEmpty());
  EXPECT_EQ(1u, driver.dontPrompt);
  EXPECT_TRUE(driver.directorySnapshot.empty());
  ASSERT_EQ(PrinterDriverFromINF::kDependentFilesReserve, driver.dependentFiles.size());
  for (size_t i = 0; i < driver.dependentFiles.size(); ++i) ASSERT_EQ(0, driver.dependentFiles[i]) << "byte " << i;
}

TEST(PrinterDriverFromINF, ManufacturerSectionFromTheModelName) {
  ASSERT_TRUE(SystemPrinterInf::InstallText(
      "[Kalora]\n\"Kalora Jet-100\" = K\n"
      "[Kalora Jet]\n\"Kalora Jet-200\" = K\n"  // a section name with a blank: candidate A
      "[Foo]\nx=y\n[Foo-Bar]\nx=y\n"
      "[DPC]\n\"DPC Writer\" = D\n"
      "[Empty]\n"));
  // Candidate A, the part before the first "-", when it names a section.
  EXPECT_EQ("Kalora Jet", ManufacturerOf("Kalora Jet-200"));
  EXPECT_EQ("Foo", ManufacturerOf("Foo-Bar Baz")) << "A is tried before B";
  EXPECT_EQ("Kalora", ManufacturerOf("Kalora-Jet 100"));
  // Candidate B, the first word.
  EXPECT_EQ("Kalora", ManufacturerOf("Kalora Line-7"));
  EXPECT_EQ("Kalora", ManufacturerOf("Kalora Line 7"));
  EXPECT_EQ("kalora", ManufacturerOf("kalora Line 7")) << "the setup library matches sections regardless of case";
  EXPECT_EQ("DPC", ManufacturerOf("DPC Writer")) << "a section of the first word wins over the alias";
  // A section without lines does not open.
  EXPECT_EQ("", ManufacturerOf("Empty Writer"));
  // Neither "-" nor a blank.
  EXPECT_EQ("", ManufacturerOf("Kalora"));
  EXPECT_EQ("", ManufacturerOf(""));
  EXPECT_EQ("", ManufacturerOf("Nobody Writer"));
}

TEST(PrinterDriverFromINF, EveryManufacturerAliasLeadsToItsSection) {
  // The alias is taken without looking at the INF.
  ASSERT_TRUE(SystemPrinterInf::InstallText("[Other]\nx=y\n"));
  for (const printerinf::Alias& alias : printerinf::Aliases()) {
    std::string model = std::string(alias.firstWord) + " Writer-12 Plus";
    EXPECT_EQ(alias.section, ManufacturerOf(model.c_str())) << model;
  }
  EXPECT_EQ("", ManufacturerOf("hp Writer")) << "aliases compare case-sensitively";
  EXPECT_EQ("", ManufacturerOf("Hewlett Packard Writer"));
  EXPECT_EQ("", ManufacturerOf("HewlettPackard-Writer 1")) << "the alias is of the first word, not of candidate A";
}

TEST(PrinterDriverFromINF, PreviousNamesGiveTheCurrentName) {
  ASSERT_TRUE(SystemPrinterInf::InstallText(
      "[Previous Names]\n"
      "\"Kalora Jet-100\" = \"Kalora Jet 100\"\n"
      "\"Kalora Jet-101\" = \"Kalora Jet 100\"\n"
      "\"Kalora Jet-300\" = \"Kalora 300\", \"Kalora Three\"\n"
      "\"Kalora Jet-400\" = \"Kalora Jet-100\"\n"));
  struct Case {
    const char* asked;
    const char* current;
  } cases[] = {
      {"Kalora Jet 100", "Kalora Jet-100"},  // the first matching line wins, renamed once only
      {"kalora jet 100", "kalora jet 100"},  // compared case-sensitively
      {"Kalora Jet-100", "Kalora Jet-400"},  // any line's value, current name or not
      {"Kalora 300", "Kalora 300"},          // a line of two names matches neither alone
      {"Kalora 300,Kalora Three", "Kalora Jet-300"},
      {"Unlisted", "Unlisted"},
  };
  for (const Case& c : cases) {
    PrinterDriverFromINF driver(c.asked);
    driver.ApplyPreviousNames();
    EXPECT_STREQ(c.current, driver.modelName.CStr()) << "asked for " << c.asked;
  }

  ASSERT_TRUE(SystemPrinterInf::InstallText("[Kalora]\nx=y\n"));
  PrinterDriverFromINF without("Kalora Jet 100");
  without.ApplyPreviousNames();
  EXPECT_STREQ("Kalora Jet 100", without.modelName.CStr()) << "an INF without the section";
}

TEST(PrinterDriverFromINF, MissingOrUnreadableInfFindsNothing) {
  printerinf::Options options;
  options.models = 30;
  printerinf::PrinterInf inf = printerinf::PrinterInf::Generate(options);
  const printerinf::Model& model = inf.Models().front();

  SystemPrinterInf::Remove();
  PrinterDriverFromINF missing(model.name.c_str());
  EXPECT_FALSE(missing.FindDriver());
  EXPECT_TRUE(missing.modelSection.IsEmpty());

  ASSERT_TRUE(SystemPrinterInf::Install(inf));
  HANDLE lock = CreateFileA(SystemPrinterInf::Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  PrinterDriverFromINF locked(model.name.c_str());
  EXPECT_FALSE(locked.FindDriver());
  CloseHandle(lock);

  ASSERT_TRUE(SystemPrinterInf::InstallText("")) << "[Version] alone";
  PrinterDriverFromINF empty(model.name.c_str());
  EXPECT_FALSE(empty.FindDriver());
}

TEST(PrinterDriverFromINF, ALaterWindowsFindsNoDriver) {
  PrinterDriverFromINF probe("x");
  EXPECT_FALSE(probe.DetermineDriverVersion());
  EXPECT_EQ(PrinterDriverFromINF::kUndeterminedVersion, probe.driverVersion);

  printerinf::Options options;
  options.models = 30;
  printerinf::PrinterInf inf = printerinf::PrinterInf::Generate(options);
  ASSERT_TRUE(SystemPrinterInf::Install(inf));
  for (const printerinf::Model& model : inf.Models()) {
    if (model.previousName.empty()) continue;
    PrinterDriverFromINF driver(model.previousName.c_str());
    EXPECT_FALSE(driver.FindDriver()) << model.previousName;
    EXPECT_STREQ(model.name.c_str(), driver.modelName.CStr()) << "the previous name is still replaced";
    EXPECT_TRUE(driver.modelSection.IsEmpty());
    EXPECT_TRUE(driver.driverFile.IsEmpty());
  }
}

}  // namespace
