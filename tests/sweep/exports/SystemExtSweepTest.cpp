// QELSystemExt's script exports with bad texts and a failing platform: each
// writes only its own findings, reports the platform's own errors, and
// leaves the platform as it found it when it cannot go on.
#include <objbase.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "NetCfgDouble.h"
#include "PhonebookEntry.h"
#include "Sweep.h"

using namespace sweep;

namespace {

const std::string kFindings = UserRoot() + "\\" + kProduct + "\\QELScriptExtension\\";
const std::string kStore = std::string(kProduct) + "\\QELScriptExtension\\RASEntries";
const std::string kPolicy = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Only these values of the findings key (and keys made on the way to it).
Allowed Findings(const std::string& key, std::initializer_list<const char*> names) {
  std::vector<std::string> allowed(names.begin(), names.end());
  return [key, allowed](const Change& c) {
    if (!c.item.isValue) return OnTheWayTo(c, "HKCU\\" + kFindings + key);
    return c.after && Within(c.item.where, "HKCU\\" + kFindings + key) &&
           std::find(allowed.begin(), allowed.end(), c.item.name) != allowed.end();
  };
}

// A text argument as a case's name: its start and its length.
std::string Named(const char* export_, const char* text) {
  if (!text) return std::string(export_) + "(null)";
  std::string shown(text);
  return std::string(export_) + "(\"" + shown.substr(0, 40) + "\"" +
         (shown.size() > 40 ? ", " + std::to_string(shown.size()) + " bytes" : "") + ")";
}

class SystemExtSweep : public testing::Test {
 protected:
  void SetUp() override {
    RawDeleteTree(HKEY_LOCAL_MACHINE, PhonebookKey());
    RawDeleteTree(HKEY_CURRENT_USER, kStore);
  }
  void TearDown() override {
    RawDeleteTree(HKEY_LOCAL_MACHINE, PhonebookKey());
    RawDeleteTree(HKEY_CURRENT_USER, kStore);
    RawDeleteTree(HKEY_CURRENT_USER, UserRoot());
    RawCreateKey(HKEY_CURRENT_USER, UserRoot());
  }

  void Binding(const char* text) {
    SCOPED_TRACE(text ? std::string(text).substr(0, 60) : "(null)");
    int result = -1;
    Case(Named("isBindingMSTCP", text), [&] { result = Dlls().isBinding(text); }, Findings("DialUp", {"TCPBinding"}));
    EXPECT_EQ(0, result);
    EXPECT_EQ(text && strncmp(text, "MSTCP", 5) == 0 ? "true" : "false", TextAt(kFindings + "DialUp", "TCPBinding"));
  }

  void Icon(const char* text, const char* new95, const char* new98NT) {
    SCOPED_TRACE(text ? std::string(text).substr(0, 60) : "(null)");
    int results[2] = {-1, -1};
    Case(Named("GetShellIcon95to98NT", text), [&] { results[0] = Dlls().icon95(text); }, Findings("QELIcon", {"New95"}));
    Case(Named("GetShellIcon98NTto2k", text), [&] { results[1] = Dlls().icon98(text); },
         Findings("QELIcon", {"New98NT"}));
    EXPECT_EQ(0, results[0] + results[1]);
    EXPECT_EQ(new95, TextAt(kFindings + "QELIcon", "New95"));
    EXPECT_EQ(new98NT, TextAt(kFindings + "QELIcon", "New98NT"));
  }

  // An entry in the stand-in's default phonebook.
  static void Put(const std::string& name, const std::string& bytes) {
    RawSetValue(HKEY_LOCAL_MACHINE, PhonebookKey() + "\\Phonebook", name, REG_BINARY, bytes.data(),
                static_cast<DWORD>(bytes.size()));
  }

  // The stand-in's log of calls, oldest first: each call's values by name.
  std::vector<std::map<std::string, RawValue>> RasCalls() {
    std::vector<std::string> names = RawSubkeyNames(HKEY_LOCAL_MACHINE, PhonebookKey() + "\\Calls");
    std::sort(names.begin(), names.end());
    std::vector<std::map<std::string, RawValue>> calls;
    for (const std::string& name : names) {
      calls.emplace_back();
      for (const char* value : {"Function", "Entry", "Size", "Bytes", "Result"})
        calls.back()[value] = ReadRawValue(HKEY_LOCAL_MACHINE, PhonebookKey() + "\\Calls\\" + name, value);
    }
    return calls;
  }

  // 0 exactly when the entry's bytes, as the service handed them over, were
  // stored under its very name; otherwise the service's own code, if it gave
  // one, and nothing stored.
  DWORD Saved(const char* name) {
    SCOPED_TRACE(name ? "entry " + std::string(name).substr(0, 60) : "entry (null)");
    RawDeleteTree(HKEY_LOCAL_MACHINE, PhonebookKey() + "\\Calls");
    DWORD result = 1;
    std::vector<Change> changes = Case(Named("GetRASEntry", name), [&] { result = Dlls().getRasEntry(name); },
                                       [&](const Change& c) {
      return OnTheWayTo(c, "HKCU\\" + kStore) ||
             (c.item.isValue && c.after && SameText(c.item.where, "HKCU\\" + kStore) && c.item.name == name);
    });
    std::vector<std::map<std::string, RawValue>> calls = RasCalls();
    RawValue stored = ReadRawValue(HKEY_CURRENT_USER, kStore, name ? name : "");
    if (result == 0) {
      EXPECT_FALSE(calls.empty());
      if (calls.empty()) calls.emplace_back();  // so the checks below fail rather than crash
      EXPECT_EQ(0u, calls.back()["Result"].Dword());
      EXPECT_EQ(std::string(name ? name : "") + '\0', calls.back()["Entry"].Bytes());
      EXPECT_EQ(calls.back()["Bytes"].Bytes(), stored.Bytes());
      EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    } else {
      EXPECT_TRUE(changes.empty()) << "code " << result;
      DWORD answered = calls.empty() ? 0 : calls.back()["Result"].Dword();
      EXPECT_TRUE(answered == 0 || answered == result) << "the service's own code " << answered;
    }
    return result;
  }
};

class SystemExtSweep_Cp932 : public SystemExtSweep {};

}  // namespace

TEST_F(SystemExtSweep, DialUpFindingsAndBindings) {
  int result = -1;
  std::vector<Change> changes = Case("AddDialUp9x", [&] { result = Dlls().addDialUp(); },
                                     Findings("DialUp", {"TCP", "VRedir", "VServer", "VServer2", "NetTrans"}));
  EXPECT_EQ(0, result);
  EXPECT_EQ(5, std::count_if(changes.begin(), changes.end(), [](const Change& c) { return c.item.isValue; }));
  for (const char* name : {"TCP", "VRedir", "VServer", "VServer2", "NetTrans"}) {
    std::string number = TextAt(kFindings + "DialUp", name);
    EXPECT_TRUE(number.size() == 4 && std::all_of(number.begin(), number.end(), isdigit)) << name << " " << number;
  }
  {
    // Findings that cannot be written are not written anywhere else.
    DeniedKey denied(HKEY_CURRENT_USER, kFindings + "DialUp");
    ASSERT_TRUE(denied.Denied());
    Case("AddDialUp9x, findings denied", [&] { result = Dlls().addDialUp(); }, NothingElse);
    EXPECT_EQ(0, result);
    Case("isBindingMSTCP, findings denied", [&] { result = Dlls().isBinding("MSTCP"); }, NothingElse);
    EXPECT_EQ(0, result);
  }

  for (const char* text : {static_cast<const char*>(nullptr), "MSTCP", "MSTCP\\0001", "MSTC", "mstcp", " MSTCP", "MSTCp"})
    Binding(text);
  for (const auto& text : Lengths('M')) Binding(text.second.c_str());
  for (const auto& text : Lengths('x', "MSTCP")) Binding(text.second.c_str());
}

TEST_F(SystemExtSweep, IconIndexesAtTheIntegerLimits) {
  const char* const kMax = "2147483647";
  const char* const kMin = "-2147483648";
  const char* const rows[][3] = {
      {nullptr, "0", "0"},        {"", "0", "0"},         {"41", "41", "41"},         {"65", "71", "71"},
      {"79", "85", "86"},         {"80", "86", "0"},      {"2147483641", kMax, "0"},  {"2147483642", kMax, "0"},
      {kMax, kMax, "0"},          {"2147483648", kMax, "0"}, {"4294967296", kMax, "0"}, {"99999999999999999999", kMax, "0"},
      {kMin, kMin, kMin},         {"-2147483649", kMin, kMin}, {"-99999999999999999999", kMin, kMin},
      {" \t+41x", "41", "41"},    {"-0", "0", "0"},       {"0x50", "0", "0"},         {"--5", "0", "0"},
  };
  for (const auto& row : rows) Icon(row[0], row[1], row[2]);
  for (const auto& text : Lengths('9')) Icon(text.second.c_str(), text.second.empty() ? "0" : kMax, "0");
  for (const auto& text : Lengths('0', "-")) Icon(text.second.c_str(), "0", "0");
  for (const auto& text : Lengths('x')) Icon(text.second.c_str(), "0", "0");
}

TEST_F(SystemExtSweep, PhonebookEntriesOfEveryNameSizeAndError) {
  // The long names are in no phonebook; the empty one reads the default entry.
  std::vector<std::string> names = {"Office", "  ", "Entry\\with\\separators"};
  for (size_t i = 0; i < names.size(); ++i) Put(names[i], Entry(2088, static_cast<int>(i)));
  for (const auto& text : Lengths('r')) names.push_back(text.second);
  // Alternate numbers behind it: more than the default entry.
  Put("Long", WithAlternates(Entry(2088, 99), {"555 0101"}));

  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), Saved(nullptr));
  EXPECT_EQ(623u, Saved("Missing"));
  EXPECT_EQ(603u, Saved("Long"));
  for (const std::string& name : names) EXPECT_EQ(name.size() > 256 ? 623u : 0u, Saved(name.c_str()));

  // The service answering the size query with too little, an error, or a
  // size of its own or of no layout: the code GetRASEntry gives for each.
  const DWORD answers[][3] = {{0, 0, 603},   {3, 0, 603},      {3, 632, 632},  {4, 0, 632},
                              {100, 0, 632}, {1768, 0, 0},     {1796, 0, 0},   {100000, 0, 632},
                              {2088, 603, 0}, {2088, 0, 0}};
  for (const auto& answer : answers) {
    SCOPED_TRACE("size query answered " + std::to_string(answer[0]) + ", " + std::to_string(answer[1]));
    RawSetDword(HKEY_LOCAL_MACHINE, PhonebookKey(), "QuerySize", answer[0]);
    RawSetDword(HKEY_LOCAL_MACHINE, PhonebookKey(), "QueryResult", answer[1]);
    EXPECT_EQ(answer[2], Saved("Office"));
  }
  {
    // Read but not stored: the registry's code.
    DeniedKey denied(HKEY_CURRENT_USER, kStore);
    ASSERT_TRUE(denied.Denied());
    DWORD saved = 0;
    int replayed = -1;
    Case("GetRASEntry, store denied", [&] { saved = Dlls().getRasEntry("Office"); }, NothingElse);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), saved);
    Case("AddRASEntry, store denied", [&] { replayed = Dlls().addRasEntry(); }, NothingElse);
    EXPECT_EQ(0, replayed);
  }
}

TEST_F(SystemExtSweep, StoredValuesOfEverySizeReplayedOnce) {
  // Every size from nothing to well past one entry, with what GetRASEntry
  // leaves beside them; one replay, and one call per stored value.
  std::map<std::string, std::string> stored;
  for (size_t size = 0; size <= 3000; ++size) {
    char name[16];
    snprintf(name, sizeof name, "raw %04u", static_cast<unsigned>(size));
    stored[name] = Entry(size, static_cast<int>(size));
  }
  stored[""] = Entry(2088, 1);
  stored[std::string(4096, 'r')] = Entry(2088, 2);
  for (const auto& value : stored)
    RawSetValue(HKEY_CURRENT_USER, kStore, value.first, REG_BINARY, value.second.data(),
                static_cast<DWORD>(value.second.size()));

  int result = -1;
  Case("AddRASEntry, every size", [&] { result = Dlls().addRasEntry(); },
       [](const Change& c) { return Within(c.item.where, "HKLM\\" + PhonebookKey() + "\\Phonebook") && c.after; });
  EXPECT_EQ(0, result);
  std::vector<std::map<std::string, RawValue>> calls = RasCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_FALSE(calls.front()["Entry"].Found()) << "first the size query, once";
  calls.erase(calls.begin());
  EXPECT_EQ(stored.size(), calls.size());
  std::map<std::string, int> seen;
  for (auto& call : calls) {
    std::string name = call["Entry"].Bytes().substr(0, call["Entry"].Bytes().find('\0'));
    SCOPED_TRACE("replayed " + name.substr(0, 40));
    ASSERT_EQ(1u, stored.count(name));
    EXPECT_EQ(1, ++seen[name]) << "replayed once";
    std::string expected = stored[name].substr(0, 2088);
    DWORD size = static_cast<DWORD>(expected.size());
    expected.replace(0, std::min<size_t>(4, size), reinterpret_cast<const char*>(&size), std::min<size_t>(4, size));
    EXPECT_EQ("RasSetEntryPropertiesA", call["Function"].Bytes().substr(0, 22));
    EXPECT_EQ(size, call["Size"].Dword());
    EXPECT_EQ(expected, call["Bytes"].Bytes());
    // Taken exactly when it is one of the service's layouts under a name a
    // phonebook can hold.
    bool layout = size == 1768 || size == 1796 || size == 2088;
    DWORD taken = name.empty() || name.size() > 256 ? ERROR_INVALID_NAME : layout ? 0 : 632;
    EXPECT_EQ(taken, call["Result"].Dword());
  }
}

TEST_F(SystemExtSweep, FileSharingWithTheConfigurationFailingAtEachStep) {
  ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  {
    NetCfgDouble netcfg;
    ASSERT_EQ(S_OK, netcfg.registration);
    // The service present before and after, and what the host is told:
    // never a machine left without it that had it; 0 for a pass that could
    // not hold the lock or that removed the service and could not put it
    // back (cancelled), 1 for every other pass, even one whose later steps
    // failed.
    struct Row {
      const char* what;
      bool before;
      std::function<void(NetCfgAnswers&)> answer;
      int result;
      bool after;
    };
    const Row rows[] = {
        {"absent", false, [](NetCfgAnswers&) {}, 1, true},
        {"present", true, [](NetCfgAnswers&) {}, 1, true},
        {"no object", false, [](NetCfgAnswers& a) { a.create = REGDB_E_CLASSNOTREG; }, 0, false},
        {"no memory", false, [](NetCfgAnswers& a) { a.create = E_OUTOFMEMORY; }, 0, false},
        {"no lock interface", false, [](NetCfgAnswers& a) { a.lockInterface = false; }, 0, false},
        {"lock held", true, [](NetCfgAnswers& a) { a.lock = S_FALSE; }, 0, true},
        {"lock failing", false, [](NetCfgAnswers& a) { a.lock = E_FAIL; }, 0, false},
        {"lock refused", false, [](NetCfgAnswers& a) { a.lock = NETCFG_E_NO_WRITE_LOCK; }, 0, false},
        {"no search", true, [](NetCfgAnswers& a) { a.find = E_FAIL; }, 1, true},
        {"no class", true, [](NetCfgAnswers& a) { a.classGuid = E_FAIL; }, 1, true},
        {"no removal", true, [](NetCfgAnswers& a) { a.deinstall = E_FAIL; }, 1, true},
        {"no reinstall", true, [](NetCfgAnswers& a) { a.install = E_FAIL; }, 0, true},
        {"still referenced, no reinstall", true,
         [](NetCfgAnswers& a) { a.deinstall = NETCFG_S_STILL_REFERENCED; a.install = E_FAIL; }, 1, true},
        {"no install", false, [](NetCfgAnswers& a) { a.install = E_FAIL; }, 1, false},
        {"restart asked", false, [](NetCfgAnswers& a) { a.install = NETCFG_S_REBOOT; }, 1, true},
        {"no apply", false, [](NetCfgAnswers& a) { a.apply = E_FAIL; }, 1, false},
    };
    for (const Row& row : rows) {
      netcfg.answers = NetCfgAnswers();
      row.answer(netcfg.answers);
      netcfg.installed = row.before;
      int result = -1;
      Case(std::string("InstallFileShare2k, ") + row.what, [&] { result = Dlls().fileShare(); }, NothingElse);
      SCOPED_TRACE(row.what);
      EXPECT_EQ(row.result, result);
      EXPECT_EQ(row.after, netcfg.installed);
      EXPECT_EQ(std::vector<std::string>(), netcfg.Outstanding()) << "every interface given back";
      EXPECT_EQ(std::vector<std::string>(), netcfg.faults);
    }
  }
  CoUninitialize();
}

TEST_F(SystemExtSweep, SelfRegistrationTouchesOnlyThePolicyValue) {
  const bool existed = RawKeyExists(HKEY_CURRENT_USER, kPolicy);
  const RawValue kept = ReadRawValue(HKEY_CURRENT_USER, kPolicy, "NoSaveSettings");
  auto onlyThePolicy = [](const Change& c) {
    return c.item.isValue && !c.after && c.item.name == "NoSaveSettings" && Within(c.item.where, "HKCU\\" + kPolicy);
  };
  const std::pair<const char*, std::function<void()>> setups[] = {
      {"number", [] { RawSetDword(HKEY_CURRENT_USER, kPolicy, "NoSaveSettings", 1); }},
      {"text", [] { RawSetText(HKEY_CURRENT_USER, kPolicy, "NoSaveSettings", "1"); }},
      {"another value", [] { RawSetText(HKEY_CURRENT_USER, kPolicy, "Sweep Kept", "1"); }},
      {"no policy key", [] { RawDeleteTree(HKEY_CURRENT_USER, kPolicy); }},
  };
  for (const auto& setup : setups) {
    setup.second();
    HRESULT result = E_FAIL;
    Case(std::string("DllRegisterServer, ") + setup.first, [&] { result = Dlls().registerServer(); }, onlyThePolicy);
    EXPECT_EQ(S_OK, result);
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kPolicy, "NoSaveSettings").Found());
  }
  RawSetDword(HKEY_CURRENT_USER, kPolicy, "NoSaveSettings", 1);
  {
    DeniedKey denied(HKEY_CURRENT_USER, kPolicy);
    ASSERT_TRUE(denied.Denied());
    HRESULT result = E_FAIL;
    Case("DllRegisterServer, policy denied", [&] { result = Dlls().registerServer(); }, NothingElse);
    EXPECT_EQ(S_OK, result);
  }
  // The policy as it was: this test holds it alone (see the registration).
  RawDeleteTree(HKEY_CURRENT_USER, kPolicy);
  if (!existed) RegDeleteKeyA(HKEY_CURRENT_USER, kPolicy.c_str());
  if (kept.Found()) RawSetValue(HKEY_CURRENT_USER, kPolicy, "NoSaveSettings", kept.type, kept.data.data(),
                                static_cast<DWORD>(kept.data.size()));
}

TEST_F(SystemExtSweep_Cp932, DoubleByteTexts) {
  ASSERT_TRUE(InCodePage932());
  const std::string d = kDoubleByte;
  // The last is "MSTCP" in full-width letters.
  for (const std::string& text : {"MSTCP" + d, d + "MSTCP", std::string("\x82\x6c\x82\x72\x82\x73\x82\x62\x82\x6f")})
    Binding(text.c_str());
  Icon(("4" + d).c_str(), "4", "4");
  Icon((d + "4").c_str(), "0", "0");
  const std::string name = "Office " + d + kPipeTrail;
  Put(name, Entry(2088, 5));
  EXPECT_EQ(0u, Saved(name.c_str()));
}
