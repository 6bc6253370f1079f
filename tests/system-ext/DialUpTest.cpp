// AddDialUp9x and isBindingMSTCP, with Windows 9x instance keys made under
// HKEY_LOCAL_MACHINE of the test prefix.
#include <gtest/gtest.h>

#include <initializer_list>

#include "ScriptFindings.h"

namespace {

const char kTcp[] = "Enum\\Network\\MSTCP";
const char kRedirector[] = "Enum\\Network\\VRedir";
const char kServer[] = "Enum\\Network\\VServer";
const char kTransport[] = "System\\CurrentControlSet\\Services\\Class\\NetTrans";

std::string Number(int n) {
  char text[8];
  snprintf(text, sizeof text, "%04d", n);
  return text;
}

class DialUp : public testing::Test {
 protected:
  void SetUp() override { RemoveInstances(); }
  void TearDown() override { RemoveInstances(); }
  static void RemoveInstances() {
    for (const char* family : {kTcp, kRedirector, kServer, kTransport}) RawDeleteTree(HKEY_LOCAL_MACHINE, family);
  }
  static void Take(const char* family, std::initializer_list<int> numbers) {
    for (int n : numbers) RawCreateKey(HKEY_LOCAL_MACHINE, std::string(family) + "\\" + Number(n));
  }
  // TCP VRedir VServer VServer2 NetTrans, as written.
  std::string Found() const {
    std::string all;
    for (const char* name : {"TCP", "VRedir", "VServer", "VServer2", "NetTrans"})
      all += (all.empty() ? "" : " ") + findings_.Text("DialUp", name);
    return all;
  }
  ScriptFindings findings_;
};

}  // namespace

TEST_F(DialUp, WithoutInstanceKeysEveryFamilyStartsAtZeroAndNothingIsCreated) {
  EXPECT_EQ(0, AddDialUp9x());
  EXPECT_EQ("0000 0000 0000 0001 0000", Found());
  findings_.Set("DialUp", "TCP", "stale");
  EXPECT_EQ(0, AddDialUp9x());
  EXPECT_EQ("0000 0000 0000 0001 0000", Found());
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, kTcp));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, std::string(ScriptFindings::kProduct) + "DialUp"))
      << "the findings follow the redirected current user";
}

TEST_F(DialUp, TakenNumbersAndGapsAreSkipped) {
  Take(kTcp, {0, 2});
  Take(kRedirector, {0, 1, 2});
  Take(kServer, {0, 1, 2, 4});
  Take(kTransport, {1});
  AddDialUp9x();
  EXPECT_EQ("0001 0003 0003 0005 0000", Found());
}

TEST_F(DialUp, WithEveryServerNumberTakenBothServerValuesAreTheLastNumber) {
  HKEY family = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServer, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &family, nullptr));
  for (int n = 0; n <= 9999; ++n) {
    HKEY instance = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(family, Number(n).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &instance, nullptr));
    RegCloseKey(instance);
  }
  AddDialUp9x();
  // Never an empty text: it would name the family's own key.
  EXPECT_EQ("0000 0000 9999 9999 0000", Found());
  // By name, last first: the platform's tree deletion takes seconds here.
  for (int n = 9999; n >= 0; --n) RegDeleteKeyA(family, Number(n).c_str());
  RegCloseKey(family);
}

TEST_F(DialUp, OnlyBindingsStartingWithTheUpperCaseLettersAreTcp) {
  // Alternating, so that a call that writes nothing shows.
  const struct {
    const char* binding;
    const char* tcp;
  } cases[] = {{"MSTCP", "true"}, {"mstcp", "false"}, {"MSTCP\\0001", "true"}, {"MSTC", "false"},
               {"MSTCP", "true"},  {"", "false"},      {"MSTCPX", "true"},     {" MSTCP", "false"},
               {"MSTCP", "true"},  {"NWLINK", "false"}, {"MSTCP", "true"},     {nullptr, "false"}};
  for (const auto& c : cases) {
    EXPECT_EQ(0, isBindingMSTCP(c.binding));
    EXPECT_EQ(c.tcp, findings_.Text("DialUp", "TCPBinding")) << (c.binding ? c.binding : "(null)");
  }
}
