// Deleting and moving whole trees. The platform's own deletion differs:
// Windows NT deletes only keys without subkeys, Windows 95/98 whole trees;
// the _NT40, _Win95 and _Win98 suites run under those version settings.
// (Wine's Windows 95/98 deletion stops at a key's second subkey, so there
// the trees below also go through the depth-first fallback.)
#include <gtest/gtest.h>

#include <string>

#include "ScratchRegistryKey.h"
#include "TraceCapture.h"

namespace {

// Tree\d0\d1\...\d<depth-1>, with two leaves and a value at each level.
void BuildDeepTree(const ScratchKey& scratch, int depth) {
  std::string path = scratch.Below("Tree");
  for (int level = 0; level < depth; ++level) {
    RawCreateKey(scratch.Root(), path + "\\leaf a");
    RawCreateKey(scratch.Root(), path + "\\leaf b");
    RawSetDword(scratch.Root(), path, "level", static_cast<DWORD>(level));
    path += "\\d" + std::to_string(level);
  }
  RawCreateKey(scratch.Root(), path);
}

void ExpectDeepTreeDeleted() {
  ScratchKey scratch;
  BuildDeepTree(scratch, 40);
  RawCreateKey(scratch.Root(), scratch.Below("Kept\\child"));
  RegistryKey key = OpenKeyAt(scratch);
  EXPECT_TRUE(key.DeleteSubKey("Tree")) << key.LastError();
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RawOpenStatus(scratch.Root(), scratch.Below("Tree")));
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("Kept\\child"))) << "a sibling is left alone";
}

// A tree one of whose keys grants nothing: Windows NT cannot open it and
// stops there, keeping what it could not reach.
void ExpectDeniedKeyStopsTheDeletion() {
  ScratchKey scratch;
  RawCreateKey(scratch.Root(), scratch.Below("Tree\\B\\Denied\\Inner"));
  RawCreateKey(scratch.Root(), scratch.Below("Tree\\C"));
  bool deleted;
  {
    DeniedKey denied(scratch.Root(), scratch.Below("Tree\\B\\Denied"));
    ASSERT_TRUE(denied.Denied());
    RegistryKey key = OpenKeyAt(scratch);
    deleted = key.DeleteSubKey("Tree");
    EXPECT_EQ(ERROR_ACCESS_DENIED, key.LastError());
  }
  EXPECT_FALSE(deleted);
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("Tree\\B\\Denied\\Inner")));
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("Tree")));
}

RegistryValue Binary(const std::string& bytes, const char* name, DWORD type = REG_BINARY) {
  return RegistryValue(type, const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()), name, false);
}

// Src holds values of several types and a two-level subtree; Dest is empty.
void BuildSource(const ScratchKey& scratch) {
  RawCreateKey(scratch.Root(), scratch.Below("Dest"));
  RegistryKey src = KeyAt(scratch, "Src");
  ASSERT_TRUE(src.Create(REG_OPTION_NON_VOLATILE));
  std::string big(64 * 1024, 'b');
  for (const RegistryValue& value :
       {RegistryValue("text", "sz"), RegistryValue("default", ""), RegistryValue(static_cast<DWORD>(42), "dword"),
        Binary(big, "big"), Binary("", "empty"), Binary(std::string("a\0b\0\0", 5), "multi", REG_MULTI_SZ)})
    ASSERT_TRUE(src.SetValue(value));
  RawSetText(scratch.Root(), scratch.Below("Src\\a\\b"), "deep", "value");
  RawCreateKey(scratch.Root(), scratch.Below("Src\\c"));
}

void ExpectSourceArrived(const ScratchKey& scratch, const std::string& at) {
  EXPECT_EQ(std::string("text\0", 5), ReadRawValue(scratch.Root(), scratch.Below(at), "sz").Bytes());
  EXPECT_EQ(std::string("default\0", 8), ReadRawValue(scratch.Root(), scratch.Below(at), "").Bytes());
  RawValue dword = ReadRawValue(scratch.Root(), scratch.Below(at), "dword");
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dword.type);
  EXPECT_EQ(std::string("\x2a\0\0\0", 4), dword.Bytes());
  EXPECT_EQ(std::string(64 * 1024, 'b'), ReadRawValue(scratch.Root(), scratch.Below(at), "big").Bytes());
  RawValue empty = ReadRawValue(scratch.Root(), scratch.Below(at), "empty");
  EXPECT_TRUE(empty.Found());
  EXPECT_EQ(0u, empty.data.size());
  RawValue multi = ReadRawValue(scratch.Root(), scratch.Below(at), "multi");
  EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), multi.type);
  EXPECT_EQ(std::string("a\0b\0\0", 5), multi.Bytes());
  EXPECT_EQ(std::string("value\0", 6), ReadRawValue(scratch.Root(), scratch.Below(at + "\\a\\b"), "deep").Bytes());
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below(at + "\\c")));
}

void ExpectTreeMoved() {
  ScratchKey scratch;
  BuildSource(scratch);
  RegistryKey src = OpenKeyAt(scratch, "Src");
  RegistryKey dest = OpenKeyAt(scratch, "Dest");
  EXPECT_TRUE(src.MoveTo(dest)) << src.LastError();
  ExpectSourceArrived(scratch, "Dest\\Src");
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RawOpenStatus(scratch.Root(), scratch.Below("Src")));
  EXPECT_FALSE(src.IsOpen());
}

}  // namespace

TEST(DeleteSubKey, RemovesADeepTreeDepthFirst) { ExpectDeepTreeDeleted(); }

TEST(DeleteSubKey, StopsAtAKeyThatCannotBeOpenedAndKeepsTheRest) { ExpectDeniedKeyStopsTheDeletion(); }

TEST(DeleteSubKey, RefusesAnEmptyNameWhichWouldMeanTheKeyItself) {
  ScratchKey scratch;
  RawCreateKey(scratch.Root(), scratch.Below("Parent\\a\\b"));
  RawCreateKey(scratch.Root(), scratch.Below("Parent\\c"));
  RegistryKey parent = OpenKeyAt(scratch, "Parent");
  EXPECT_FALSE(parent.DeleteSubKey(""));
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("Parent\\a\\b")));
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("Parent\\c")));
}

TEST(DeleteSubKey, FailsOnAMissingSubkeyOrAKeyThatIsNotOpen) {
  ScratchKey scratch;
  RawCreateKey(scratch.Root(), scratch.Below("x"));
  RegistryKey key = OpenKeyAt(scratch);
  EXPECT_FALSE(key.DeleteSubKey("missing"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.LastError());
  RegistryKey closed = KeyAt(scratch);
  EXPECT_FALSE(closed.DeleteSubKey("x"));
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("x")));
}

TEST(DeleteSubKey_NT40, RemovesADeepTreeDepthFirst) { ExpectDeepTreeDeleted(); }
TEST(DeleteSubKey_NT40, StopsAtAKeyThatCannotBeOpened) { ExpectDeniedKeyStopsTheDeletion(); }
TEST(DeleteSubKey_Win98, ThePlatformRemovesTheWholeTree) { ExpectDeepTreeDeleted(); }
TEST(DeleteSubKey_Win95, ThePlatformRemovesTheWholeTree) { ExpectDeepTreeDeleted(); }

TEST(MoveTo, MovesValuesOfEveryKindAndTheWholeSubtree) { ExpectTreeMoved(); }
TEST(MoveTo_NT40, MovesValuesOfEveryKindAndTheWholeSubtree) { ExpectTreeMoved(); }
TEST(MoveTo_Win98, MovesValuesOfEveryKindAndTheWholeSubtree) { ExpectTreeMoved(); }

TEST(MoveTo, OntoItselfOrWithAKeyNotOpenDoesNothing) {
  ScratchKey scratch;
  BuildSource(scratch);
  RegistryKey src = OpenKeyAt(scratch, "Src");
  EXPECT_FALSE(src.MoveTo(src));
  RegistryKey closedDest = KeyAt(scratch, "Dest");
  EXPECT_FALSE(src.MoveTo(closedDest));
  RegistryKey closedSrc = KeyAt(scratch, "Src");
  EXPECT_FALSE(closedSrc.MoveTo(OpenKeyAt(scratch, "Dest")));
  ExpectSourceArrived(scratch, "Src");
  EXPECT_FALSE(RawKeyExists(scratch.Root(), scratch.Below("Src\\Src")));
  EXPECT_TRUE(RawSubkeyNames(scratch.Root(), scratch.Below("Dest")).empty());
}

TEST(MoveTo, APathEndingInASeparatorIsNamedByItsLastComponent) {
  ScratchKey scratch;
  BuildSource(scratch);
  RawCreateKey(scratch.Root(), scratch.Below("Sibling"));
  RegistryKey src(CString((scratch.Text("Src") + "\\").c_str()), kAccess);
  ASSERT_TRUE(src.Open(kAccess));
  RegistryKey dest = OpenKeyAt(scratch, "Dest");
  EXPECT_TRUE(src.MoveTo(dest)) << src.LastError();
  ExpectSourceArrived(scratch, "Dest\\Src");
  EXPECT_EQ((std::vector<std::string>{"Src"}), RawSubkeyNames(scratch.Root(), scratch.Below("Dest")));
  EXPECT_FALSE(RawKeyExists(scratch.Root(), scratch.Below("Src")));
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("Sibling")));
}

TEST(MoveTo, AKeyNamedByOneComponentMovesToo) {
  ScratchKey scratch;
  BuildSource(scratch);
  RegistryKey parent = OpenKeyAt(scratch);
  RegistryKey src(parent, "Src", kAccess);
  ASSERT_TRUE(src.Open(kAccess));
  EXPECT_TRUE(src.MoveTo(OpenKeyAt(scratch, "Dest"))) << src.LastError();
  ExpectSourceArrived(scratch, "Dest\\Src");
  EXPECT_FALSE(RawKeyExists(scratch.Root(), scratch.Below("Src")));
}

TEST(MoveTo, TheSourceStaysWhenItsValuesCouldNotAllBeRead) {
  ScratchKey scratch;
  BuildSource(scratch);
  // Rights to walk and delete the key, not to read its values.
  const REGSAM noReading = kAccess & ~static_cast<REGSAM>(KEY_QUERY_VALUE);
  RegistryKey src = OpenKeyAt(scratch, "Src", noReading);
  EXPECT_FALSE(src.MoveTo(OpenKeyAt(scratch, "Dest")));
  ExpectSourceArrived(scratch, "Src");
}

TEST(MoveTo, TheSourceStaysWhenASubkeyCannotBeMoved) {
  ScratchKey scratch;
  BuildSource(scratch);
  bool moved;
  {
    DeniedKey denied(scratch.Root(), scratch.Below("Src\\z denied"));
    ASSERT_TRUE(denied.Denied());
    RegistryKey src = OpenKeyAt(scratch, "Src");
    moved = src.MoveTo(OpenKeyAt(scratch, "Dest"));
  }
  EXPECT_FALSE(moved);
  // Everything is still somewhere: values in both places, the denied key
  // in the source, and subkeys moved before it in the destination.
  EXPECT_EQ(std::string("text\0", 5), ReadRawValue(scratch.Root(), scratch.Below("Src"), "sz").Bytes());
  EXPECT_TRUE(RawKeyExists(scratch.Root(), scratch.Below("Src\\z denied")));
  for (const char* subkey : {"a\\b", "c"}) {
    bool inSource = RawKeyExists(scratch.Root(), scratch.Below(std::string("Src\\") + subkey));
    bool inDest = RawKeyExists(scratch.Root(), scratch.Below(std::string("Dest\\Src\\") + subkey));
    EXPECT_TRUE(inSource || inDest) << subkey;
  }
  std::string deep = ReadRawValue(scratch.Root(), scratch.Below("Src\\a\\b"), "deep").Bytes() +
                     ReadRawValue(scratch.Root(), scratch.Below("Dest\\Src\\a\\b"), "deep").Bytes();
  EXPECT_EQ(std::string("value\0", 6), deep) << "in one place or the other, not lost, not doubled";
}

// A destination below the source would receive copies of itself without end.
TEST(MoveTo, RefusesADestinationInsideTheMovedKeyBeforeCopyingAnything) {
  ScratchKey scratch;
  BuildSource(scratch);
  RawCreateKey(scratch.Root(), scratch.Below("Src\\a\\Inner"));
  for (const char* inside : {"Src\\a\\Inner", "Src"}) {
    RegistryKey src = OpenKeyAt(scratch, "Src");
    RegistryKey dest = OpenKeyAt(scratch, inside);
    TraceCapture trace;
    EXPECT_FALSE(src.MoveTo(dest)) << inside;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, src.LastError()) << inside;
    EXPECT_TRUE(trace.Contains("RegistryKey::MoveTo - the destination lies inside the key being moved\n"));
    ExpectSourceArrived(scratch, "Src");
    EXPECT_EQ((std::vector<std::string>{}), RawSubkeyNames(scratch.Root(), scratch.Below("Src\\a\\Inner"))) << inside;
  }
}
