// GetShellIcon95to98NT and GetShellIcon98NTto2k: at and around each boundary
// of both translations, and texts that are not plain small numbers.
#include <gtest/gtest.h>

#include "ScriptFindings.h"

namespace {

struct Case {
  const char* index;
  const char* windows98;    // New95
  const char* windows2000;  // New98NT
};

void Check(const ScriptFindings& findings, const Case& c) {
  EXPECT_EQ(0, GetShellIcon95to98NT(c.index));
  EXPECT_EQ(0, GetShellIcon98NTto2k(c.index));
  const char* shown = c.index ? c.index : "(null)";
  EXPECT_EQ(c.windows98, findings.Text("QELIcon", "New95")) << shown;
  EXPECT_EQ(c.windows2000, findings.Text("QELIcon", "New98NT")) << shown;
}

}  // namespace

TEST(ShellIcons, EveryBoundaryOfBothTranslations) {
  ScriptFindings findings;
  const Case cases[] = {{"-3", "-3", "-3"},  {"41", "41", "41"},  {"42", "47", "42"},  {"46", "51", "46"},
                        {"47", "52", "54"},  {"49", "54", "56"},  {"50", "55", "107"}, {"51", "56", "57"},
                        {"64", "69", "70"},  {"65", "71", "71"},  {"78", "84", "84"},  {"79", "85", "86"},
                        {"80", "86", "0"},   {"1000", "1006", "0"}};
  for (const Case& c : cases) Check(findings, c);
  // One after the other: a Windows 95 index in Windows 2000 numbering.
  GetShellIcon95to98NT("45");
  GetShellIcon98NTto2k(findings.Text("QELIcon", "New95").c_str());
  EXPECT_EQ("107", findings.Text("QELIcon", "New98NT"));
}

TEST(ShellIcons, TextIsReadAsTheRuntimeReadsNumbersButNeverOverflows) {
  ScriptFindings findings;
  const Case cases[] = {{" \t+12abc", "12", "12"},
                        {"abc", "0", "0"},
                        {"2147483641", "2147483647", "0"},
                        {"", "0", "0"},
                        {"2147483642", "2147483647", "0"},
                        {"-2147483648", "-2147483648", "-2147483648"},
                        {"99999999999", "2147483647", "0"},
                        {"-99999999999", "-2147483648", "-2147483648"},
                        {nullptr, "0", "0"}};
  for (const Case& c : cases) {
    findings.Set("QELIcon", "New95", "stale");
    findings.Set("QELIcon", "New98NT", "stale");
    Check(findings, c);
  }
}
