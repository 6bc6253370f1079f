#include <gtest/gtest.h>

#include <set>
#include <string>

#include "RegistrySubkeyIterator.h"
#include "RegistryValueIterator.h"
#include "ScratchRegistryKey.h"

namespace {

std::string Numbered(const char* prefix, int i) { return prefix + std::to_string(i); }

}  // namespace

TEST(RegistryIterators, WalkHundredsOfSubkeysAndValuesOnce) {
  ScratchKey scratch;
  const int count = 300;
  std::set<std::string> subkeys, values;
  for (int i = 0; i < count; ++i) {
    RawCreateKey(scratch.Root(), scratch.Below(Numbered("key", i)));
    RawSetDword(scratch.Root(), scratch.Path(), Numbered("value", i), static_cast<DWORD>(i));
    subkeys.insert(Numbered("key", i));
    values.insert(Numbered("value", i));
  }
  RegistryKey key = OpenKeyAt(scratch);

  std::set<std::string> seen;
  int steps = 0;
  for (RegistrySubkeyIterator it = key.SubkeysBegin(), end = key.SubkeysEnd(); it != end; ++it, ++steps) {
    ASSERT_TRUE(it.IsValid());
    seen.insert(it->SubkeyPath().CStr());
    EXPECT_FALSE(it->IsOpen()) << "items are named, not opened";
    EXPECT_TRUE(it->Open(kAccess)) << it->SubkeyPath().CStr();
  }
  EXPECT_EQ(count, steps);
  EXPECT_EQ(subkeys, seen);

  seen.clear();
  steps = 0;
  for (RegistryValueIterator it = key.ValuesBegin(), end = key.ValuesEnd(); it != end; ++it, ++steps) {
    ASSERT_TRUE(it.IsValid());
    std::string name = it->Name().CStr();
    seen.insert(name);
    DWORD number = static_cast<DWORD>(std::stoi(name.substr(5)));
    EXPECT_TRUE(*it == RegistryValue(number, it->Name())) << name;
  }
  EXPECT_EQ(count, steps);
  EXPECT_EQ(values, seen);
}

TEST(RegistryIterators, TheWalkKeepsItsNamesWhileEntriesAreDeleted) {
  ScratchKey scratch;
  for (int i = 0; i < 20; ++i) {
    RawCreateKey(scratch.Root(), scratch.Below(Numbered("k", i)));
    RawSetDword(scratch.Root(), scratch.Path(), Numbered("v", i), 1);
  }
  RegistryKey key = OpenKeyAt(scratch);
  int deleted = 0;
  for (RegistrySubkeyIterator it = key.SubkeysBegin(), end = key.SubkeysEnd(); it != end; ++it)
    if (key.DeleteSubKey(it->SubkeyPath())) ++deleted;
  EXPECT_EQ(20, deleted);
  EXPECT_TRUE(RawSubkeyNames(scratch.Root(), scratch.Path()).empty());

  deleted = 0;
  for (RegistryValueIterator it = key.ValuesBegin(), end = key.ValuesEnd(); it != end; ++it) {
    ASSERT_TRUE(it.IsValid());
    if (key.DeleteValue(it->Name())) ++deleted;
  }
  EXPECT_EQ(20, deleted);
  EXPECT_EQ(0u, key.ValueCount());
}

TEST(RegistryIterators, AValueGoneSinceTheNamesWereTakenHasNoItem) {
  ScratchKey scratch;
  RawSetDword(scratch.Root(), scratch.Path(), "a", 1);
  RawSetDword(scratch.Root(), scratch.Path(), "b", 2);
  RegistryKey key = OpenKeyAt(scratch);
  RegistryValueIterator it = key.ValuesBegin();
  ASSERT_EQ(2u, it.Count());
  RegistryKey raw = OpenKeyAt(scratch);
  ASSERT_TRUE(raw.DeleteValue(it.Name()));
  EXPECT_FALSE(it.IsValid());
  EXPECT_EQ(0u, it->Size()) << "an empty record stands in";
  ++it;
  EXPECT_TRUE(it.IsValid());
  ++it;
  EXPECT_TRUE(it == key.ValuesEnd());
}

TEST(RegistryIterators, DataThatGrewSinceTheWalkBeganIsReadWhole) {
  ScratchKey scratch;
  RawSetValue(scratch.Root(), scratch.Path(), "grows", REG_BINARY, "x", 1);
  RegistryKey key = OpenKeyAt(scratch);
  RegistryValueIterator it = key.ValuesBegin();
  // The walk sized its buffer for one byte; the value is now 64 KiB.
  std::string big(64 * 1024 + 3, 'g');
  RawSetValue(scratch.Root(), scratch.Path(), "grows", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  ASSERT_TRUE(it.IsValid());
  EXPECT_EQ(big.size(), it->Size());
  EXPECT_EQ(0, memcmp(big.data(), it->Data(), big.size()));
}

TEST(RegistryIterators, KeysThatAreNotOpenOrEmptyYieldNothing) {
  ScratchKey scratch;
  RegistryKey closed = KeyAt(scratch);
  RawCreateKey(scratch.Root(), scratch.Below("child"));
  EXPECT_TRUE(closed.SubkeysBegin() == closed.SubkeysEnd());
  EXPECT_TRUE(closed.ValuesBegin() == closed.ValuesEnd());
  EXPECT_FALSE(closed.SubkeysBegin().IsValid());

  RegistryKey empty = KeyAt(scratch, "child");
  ASSERT_TRUE(empty.Open(kAccess));
  EXPECT_TRUE(empty.SubkeysBegin() == empty.SubkeysEnd());
  EXPECT_TRUE(empty.ValuesBegin() == empty.ValuesEnd());
  // Past the end the item is a key that never opens.
  RegistrySubkeyIterator end = empty.SubkeysEnd();
  EXPECT_FALSE(end.IsValid());
  EXPECT_FALSE(end->Open(kAccess));
  EXPECT_FALSE(end->DeleteSubKey("x"));
}

TEST(RegistryIterators, AKeyThatCannotSayWhatItHoldsIsWalkedAsEmpty) {
  ScratchKey scratch;
  RawCreateKey(scratch.Root(), scratch.Below("gone\\a"));
  RawSetDword(scratch.Root(), scratch.Below("gone"), "v", 1);
  RegistryKey key = KeyAt(scratch, "gone");
  ASSERT_TRUE(key.Open(kAccess));
  ASSERT_EQ(ERROR_SUCCESS, RawDeleteTree(scratch.Root(), scratch.Below("gone")));
  // Still open, but the platform no longer answers for the key.
  EXPECT_TRUE(key.SubkeysBegin() == key.SubkeysEnd());
  EXPECT_EQ(0u, key.SubkeysBegin().Count());
  EXPECT_TRUE(key.ValuesBegin() == key.ValuesEnd());
  EXPECT_EQ(0u, key.SubkeyCount());
}

TEST(RegistryIterators, SubkeyNamesThatCannotBeReadAreLeftOut) {
  ScratchKey scratch;
  RawCreateKey(scratch.Root(), scratch.Below("child\\grandchild"));
  // Allowed to count its subkeys but not to enumerate them.
  RegistryKey key = OpenKeyAt(scratch, "", KEY_QUERY_VALUE);
  ASSERT_EQ(1u, key.SubkeyCount());
  RegistrySubkeyIterator begin = key.SubkeysBegin();
  EXPECT_TRUE(begin == key.SubkeysEnd()) << "an unread name must not become \"\" (the key itself)";
  EXPECT_FALSE(begin.IsValid());
  EXPECT_FALSE(begin.IsComplete());
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("child\\grandchild")));
}

TEST(RegistryIterators, StepsGoBothWaysAndCopiesKeepTheirItem) {
  ScratchKey scratch;
  for (const char* name : {"a", "b", "c"}) RawSetText(scratch.Root(), scratch.Path(), name, name);
  RegistryKey key = OpenKeyAt(scratch);
  RegistryValueIterator end = key.ValuesEnd();
  RegistryValueIterator last = end;
  --last;
  ASSERT_TRUE(last.IsValid()) << "stepping back from the end reaches the last value";
  EXPECT_STREQ("c", last->AsString().CStr());
  RegistryValueIterator copy(last);
  EXPECT_TRUE(copy == last);
  EXPECT_STREQ("c", copy->Name().CStr());
  RegistryValueIterator before = copy--;
  EXPECT_STREQ("c", before->Name().CStr());
  EXPECT_STREQ("b", copy->Name().CStr());
  RegistryValueIterator after = copy++;
  EXPECT_STREQ("b", after->Name().CStr());
  EXPECT_TRUE(copy == last);
  EXPECT_TRUE(++copy == end);

  RegistrySubkeyIterator none = key.SubkeysBegin();
  RegistrySubkeyIterator assigned = key.SubkeysEnd();
  assigned = none;
  EXPECT_TRUE(assigned == key.SubkeysEnd());
}
