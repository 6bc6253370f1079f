// GetRASEntry and AddRASEntry through the stand-in rasapi32.dll, whose
// phonebook and call log this program reads under HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "PhonebookEntry.h"
#include "RasDoubleKey.h"
#include "RasEntryLayout.h"
#include "ScriptFindings.h"

namespace {

const std::string kStore = std::string(ScriptFindings::kProduct) + "RASEntries";

struct Call {
  std::string function, entry, bytes;
  bool named, phonebook, deviceInfo;
  DWORD size, result, errorModeAtLoad;
};

// The stand-in's state for this program.
class Phonebook {
 public:
  Phonebook() { RawDeleteTree(HKEY_LOCAL_MACHINE, key_); }
  ~Phonebook() { RawDeleteTree(HKEY_LOCAL_MACHINE, key_); }
  void Put(const std::string& name, const std::string& bytes) const {
    RawSetValue(HKEY_LOCAL_MACHINE, key_ + "\\Phonebook", name, REG_BINARY, bytes.data(), bytes.size());
  }
  std::string Get(const std::string& name) const {
    RawValue value = ReadRawValue(HKEY_LOCAL_MACHINE, key_ + "\\Phonebook", name);
    return value.Found() ? value.Bytes() : "(missing)";
  }
  void AnswerSizeQuery(DWORD size, DWORD result) const {
    RawSetDword(HKEY_LOCAL_MACHINE, key_, "QuerySize", size);
    RawSetDword(HKEY_LOCAL_MACHINE, key_, "QueryResult", result);
  }
  void Clear() const { RawDeleteTree(HKEY_LOCAL_MACHINE, key_); }
  std::vector<Call> Calls() const {
    std::vector<std::string> names = RawSubkeyNames(HKEY_LOCAL_MACHINE, key_ + "\\Calls");
    std::sort(names.begin(), names.end());
    std::vector<Call> calls;
    for (const std::string& name : names) {
      std::string at = key_ + "\\Calls\\" + name;
      auto read = [&](const char* value) { return ReadRawValue(HKEY_LOCAL_MACHINE, at, value); };
      auto text = [&](const char* value) { return read(value).Bytes().substr(0, read(value).Bytes().find('\0')); };
      calls.push_back({text("Function"), text("Entry"), read("Bytes").Bytes(), read("Entry").Found(),
                       read("Phonebook").Found(), read("DeviceInfo").Found(), read("Size").Dword(),
                       read("Result").Dword(), read("ErrorModeAtLoad").Dword()});
    }
    return calls;
  }

 private:
  std::string key_ = RasDoubleKey();
};

class Phonebooks : public testing::Test {
 protected:
  void SetUp() override { RawDeleteTree(HKEY_CURRENT_USER, kStore); }
  void TearDown() override { RawDeleteTree(HKEY_CURRENT_USER, kStore); }
  static std::string Stored(const std::string& name) {
    RawValue value = ReadRawValue(HKEY_CURRENT_USER, kStore, name);
    return value.type == REG_BINARY ? value.Bytes() : "(no binary value)";
  }
  // The library's current user is redirected: the store must not follow.
  ScriptFindings findings_;
  Phonebook phonebook_;
};

}  // namespace

TEST_F(Phonebooks, EntriesTravelThroughTheRegistryByteForByte) {
  const std::string office = Entry(2088, 1), home = Entry(2088, 2);
  phonebook_.Put("Office", office);
  phonebook_.Put("Home", Entry(2088, 3));
  EXPECT_EQ(0u, GetRASEntry("Home"));
  phonebook_.Put("Home", home);
  EXPECT_EQ(0u, GetRASEntry("Home"));  // the second reading replaces the first
  EXPECT_EQ(0u, GetRASEntry("Office"));
  // The empty name reads the service's default entry, saved as any other.
  EXPECT_EQ(0u, GetRASEntry(""));
  std::vector<Call> read = phonebook_.Calls();
  ASSERT_EQ(8u, read.size());
  EXPECT_EQ("", read[7].entry);
  EXPECT_TRUE(read[7].named);
  // The size query on the default entry, then the entry with its size field set.
  EXPECT_FALSE(read[0].named);
  EXPECT_EQ(0u, read[0].size);
  EXPECT_EQ("Home", read[1].entry);
  EXPECT_EQ(2088u, read[1].size);
  EXPECT_EQ(0u, read[1].result);
  for (const Call& call : read) EXPECT_FALSE(call.phonebook || call.deviceInfo);

  EXPECT_EQ(home, Stored("Home"));
  EXPECT_EQ(office, Stored("Office"));
  EXPECT_EQ(read[7].bytes, Stored(""));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, findings_.Redirected(kStore)));

  // Another machine: the values carried over, an empty phonebook.
  phonebook_.Clear();
  EXPECT_EQ(0, AddRASEntry());
  EXPECT_EQ(office, phonebook_.Get("Office"));
  EXPECT_EQ(home, phonebook_.Get("Home"));
  std::vector<Call> written = phonebook_.Calls();
  ASSERT_EQ(4u, written.size());
  // The service is asked for its own layout once, then handed every entry.
  EXPECT_EQ("RasGetEntryPropertiesA", written[0].function);
  EXPECT_FALSE(written[0].named || written[0].size);
  for (const Call& call : std::vector<Call>(written.begin() + 1, written.end())) {
    EXPECT_EQ("RasSetEntryPropertiesA", call.function);
    EXPECT_EQ(2088u, call.size);
    EXPECT_FALSE(call.phonebook || call.deviceInfo);
    // The service takes no entry without a name.
    EXPECT_EQ(call.entry.empty() ? static_cast<DWORD>(ERROR_INVALID_NAME) : 0u, call.result) << call.entry;
  }
  EXPECT_EQ("(missing)", phonebook_.Get(""));
}

TEST_F(Phonebooks, AnEntryThatCannotBeReadLeavesTheStoreAlone) {
  EXPECT_EQ(0, AddRASEntry());  // no store yet: the service is not even asked
  EXPECT_TRUE(phonebook_.Calls().empty());

  EXPECT_EQ(623u, GetRASEntry("Nowhere"));
  EXPECT_EQ(87u, GetRASEntry(nullptr));
  // Alternate numbers behind the entry make it larger than the default one.
  phonebook_.Put("Long", WithAlternates(Entry(2088, 4), {"555 0101", "555 0102"}));
  EXPECT_EQ(603u, GetRASEntry("Long"));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kStore));

  // A service that reports less than a size field (Wine's reports 0 and
  // success) is not handed a buffer at all.
  phonebook_.Put("Office", Entry(2088, 1));
  phonebook_.AnswerSizeQuery(0, 0);
  EXPECT_EQ(603u, GetRASEntry("Office"));
  phonebook_.AnswerSizeQuery(3, 632);
  EXPECT_EQ(632u, GetRASEntry("Office"));
  std::vector<Call> calls = phonebook_.Calls();
  ASSERT_EQ(6u, calls.size());
  EXPECT_FALSE(calls[4].named || calls[5].named) << "only the size queries";
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kStore));

  // Read but not stored: the registry's code, so that 0 means saved.
  phonebook_.Clear();
  phonebook_.Put("Office", Entry(2088, 1));
  RawCreateKey(HKEY_CURRENT_USER, kStore);
  {
    DeniedKey denied(HKEY_CURRENT_USER, kStore);
    ASSERT_TRUE(denied.Denied());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetRASEntry("Office"));
  }
  EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kStore, "Office").Found());
}

// The service's library loads with load failures answered to the caller,
// not in boxes nobody answers; the host's own mode is back afterwards.
TEST_F(Phonebooks, TheServiceLoadsWithoutErrorBoxes) {
  UINT testMode = SetErrorMode(SEM_NOGPFAULTERRORBOX);
  EXPECT_EQ(623u, GetRASEntry("Nowhere"));
  EXPECT_EQ(static_cast<UINT>(SEM_NOGPFAULTERRORBOX), SetErrorMode(testMode)) << "the host's mode is back";
  std::vector<Call> calls = phonebook_.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(static_cast<DWORD>(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
            calls[0].errorModeAtLoad);
}

TEST_F(Phonebooks, AReplayStaysWithinTheStoredValueAndOneEntry) {
  // Alternate numbers that fit within 2088 bytes stay; a list cut off by
  // the truncation is dropped rather than read past the entry.
  std::string fits = Entry(3000, 5), cutOff = Entry(3000, 6);
  const DWORD inside = 2000, outside = 2090;
  fits.replace(156, 4, reinterpret_cast<const char*>(&inside), 4);
  fits.replace(inside, 6, std::string("555\0\0\0", 6));
  cutOff.replace(156, 4, reinterpret_cast<const char*>(&outside), 4);
  const std::map<std::string, std::string> values = {
      {"0", ""}, {"3", Entry(3, 7)}, {"4", Entry(4, 8)}, {"1768", Entry(1768, 9, kRasEntrySize95)},
      {"2088", Entry(2088, 10)}, {"fits", fits}, {"cut off", cutOff}};
  for (const auto& value : values)
    RawSetValue(HKEY_CURRENT_USER, kStore, value.first, REG_BINARY, value.second.data(), value.second.size());

  EXPECT_EQ(0, AddRASEntry());
  std::map<std::string, Call> replayed;
  for (const Call& call : phonebook_.Calls())
    if (call.named) replayed[call.entry] = call;  // not the size query
  ASSERT_EQ(values.size(), replayed.size());
  for (const auto& value : values) {
    const Call& call = replayed[value.first];
    std::string expected = value.second.substr(0, 2088);
    DWORD size = expected.size();
    size_t field = std::min<size_t>(size, 4);  // the size field, as far as it is handed over
    expected.replace(0, field, reinterpret_cast<const char*>(&size), field);
    if (value.first == "cut off") expected.replace(156, 4, 4, '\0');
    EXPECT_EQ(size, call.size) << value.first;
    EXPECT_EQ(expected, call.bytes) << value.first;
    EXPECT_EQ(size >= 1768 ? 0u : 632u, call.result) << value.first;
  }
  // The service keeps the numbers it read behind the entry.
  EXPECT_EQ(std::string("555\0\0", 5), phonebook_.Get("fits").substr(2088));
}

namespace {

// An entry saved on Windows 2000 replays on an older Windows in that one's
// newest layout: its bytes up to it, the size field naming it.
void ExpectReplayedIn(const Phonebook& phonebook, DWORD layout) {
  const std::string saved = Entry(2088, 11);
  RawSetValue(HKEY_CURRENT_USER, kStore, "Office", REG_BINARY, saved.data(), saved.size());
  EXPECT_EQ(0, AddRASEntry());
  EXPECT_EQ(Entry(layout, 11, layout), phonebook.Get("Office"));
}

class Phonebooks_NT40 : public Phonebooks {};
class Phonebooks_Win98 : public Phonebooks {};

}  // namespace

TEST_F(Phonebooks_NT40, AWindows2000EntryReplays) {
  ExpectReplayedIn(phonebook_, kRasEntrySizeMultilink);
  // The service's own entry size decides, not the service pack's name; one
  // that tells no layout (Wine's stub) leaves it to the version.
  phonebook_.AnswerSizeQuery(kRasEntrySize95, 603);
  ExpectReplayedIn(phonebook_, kRasEntrySize95);
  phonebook_.AnswerSizeQuery(0, 0);
  ExpectReplayedIn(phonebook_, kRasEntrySizeMultilink);
}
TEST_F(Phonebooks_Win98, AWindows2000EntryReplays) { ExpectReplayedIn(phonebook_, kRasEntrySize95); }
