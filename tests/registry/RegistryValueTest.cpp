#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "RegistryValue.h"

namespace {

std::string Bytes(const RegistryValue& value) {
  return value.HasData() ? std::string(reinterpret_cast<const char*>(value.Data()), value.Size()) : std::string();
}

RegistryValue Raw(DWORD type, const std::string& bytes) {
  return RegistryValue(type, const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()), "v", false);
}

}  // namespace

TEST(RegistryValue, TypedConstructorsStoreTheRegistryLayout) {
  RegistryValue exists("exists", "Successful Install");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), exists.Type());
  EXPECT_EQ(7u, exists.Size());
  EXPECT_EQ(std::string("exists\0", 7), Bytes(exists));
  EXPECT_STREQ("Successful Install", exists.Name().CStr());

  RegistryValue empty(CString(), "e");
  EXPECT_EQ(1u, empty.Size());
  EXPECT_EQ(std::string(1, '\0'), Bytes(empty));

  EXPECT_EQ(std::string("\1\0\0\0", 4), Bytes(RegistryValue(true, "t")));
  EXPECT_EQ(std::string("\0\0\0\0", 4), Bytes(RegistryValue(false, "f")));
  RegistryValue number(static_cast<DWORD>(0x01020304), "n");
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), number.Type());
  EXPECT_EQ(std::string("\4\3\2\1", 4), Bytes(number));

  RegistryValue none;
  EXPECT_EQ(static_cast<DWORD>(REG_NONE), none.Type());
  EXPECT_FALSE(none.HasData());
  EXPECT_EQ(0u, none.Size());
}

TEST(RegistryValue, PartsWithoutDataKeepNoBlock) {
  char byte = 'x';
  EXPECT_FALSE(RegistryValue(REG_BINARY, &byte, 0, "z", false).HasData());
  EXPECT_FALSE(RegistryValue(REG_BINARY, nullptr, 8, "z", false).HasData());
  EXPECT_EQ(0u, RegistryValue(REG_BINARY, nullptr, 8, "z", false).Size());
  // Handed over with size 0: the record frees the block at once.
  void* block = malloc(16);
  RegistryValue taken(REG_BINARY, block, 0, "z", true);
  EXPECT_FALSE(taken.HasData());
}

TEST(RegistryValue, TakingOverKeepsTheBlockAndCopiesAreDeep) {
  char* block = static_cast<char*>(malloc(3));
  memcpy(block, "abc", 3);
  RegistryValue taken(REG_BINARY, block, 3, "b", true);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(block), taken.Data());
  RegistryValue copy(taken);
  EXPECT_NE(taken.Data(), copy.Data());
  EXPECT_TRUE(copy == taken);
  RegistryValue assigned;
  assigned = taken;
  EXPECT_TRUE(assigned == taken);
  assigned.SetBinary("abd", 3);
  EXPECT_EQ("abc", Bytes(taken));
}

TEST(RegistryValue, SettersReplaceTheData) {
  RegistryValue value("text", "v");
  value.SetBinary("\1\2\3\4", 4);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.Type()) << "SetBinary keeps the type";
  EXPECT_EQ(std::string("\1\2\3\4", 4), Bytes(value));
  value.SetDword(7);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.Type());
  EXPECT_EQ(std::string("\7\0\0\0", 4), Bytes(value));
  value.SetBool(true);
  EXPECT_EQ(std::string("\1\0\0\0", 4), Bytes(value));
  value.SetString("ab");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.Type());
  EXPECT_EQ(std::string("ab\0", 3), Bytes(value));
}

TEST(RegistryValue, TextIsReadUpToTheFirstNulOrTheEndOfTheData) {
  EXPECT_STREQ("", RegistryValue().AsString().CStr());
  EXPECT_STREQ("", Raw(REG_BINARY, std::string("\0abc", 4)).AsString().CStr());
  EXPECT_STREQ("first", Raw(REG_MULTI_SZ, std::string("first\0second\0\0", 14)).AsString().CStr());
  EXPECT_STREQ("%SystemRoot%\\x", Raw(REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15)).AsString().CStr());
  // Stored without a NUL: the text ends with the data, nothing after it is read.
  EXPECT_STREQ("abc", Raw(REG_SZ, "abc").AsString().CStr());
  EXPECT_STREQ("x", Raw(REG_BINARY, "x").AsString().CStr());
}

TEST(RegistryValue, TruthOfTextsIsExactAndOfOtherTypesTheFirstWord) {
  struct TextCase {
    const char* text;
    bool truth;
  } texts[] = {{"true", true}, {"TRUE", true}, {"1", true},  {"True", false}, {"yes", false},
               {"2", false},   {"false", false}, {"", false}, {"true ", false}};
  for (const TextCase& c : texts) EXPECT_EQ(c.truth, RegistryValue(c.text, "v").AsBool()) << c.text;

  EXPECT_TRUE(RegistryValue(static_cast<DWORD>(2), "v").AsBool());
  EXPECT_FALSE(RegistryValue(static_cast<DWORD>(0), "v").AsBool());
  EXPECT_TRUE(Raw(REG_BINARY, std::string("\0\0\0\1\0", 5)).AsBool());
  // Only REG_SZ is read as text: this is two bytes, too short for a word.
  EXPECT_FALSE(Raw(REG_EXPAND_SZ, std::string("1\0", 2)).AsBool());
  // Fewer than four bytes have no first word to read.
  EXPECT_FALSE(Raw(REG_BINARY, std::string("\1\1\1", 3)).AsBool());
  EXPECT_FALSE(Raw(REG_DWORD, "\1").AsBool());
  EXPECT_FALSE(RegistryValue().AsBool());
}

TEST(RegistryValue, EqualityComparesTypeNameAndBytes) {
  EXPECT_TRUE(RegistryValue("a", "Name") == RegistryValue("a", "Name"));
  EXPECT_FALSE(RegistryValue("a", "Name") == RegistryValue("a", "name"));
  EXPECT_FALSE(RegistryValue("a", "Name") == RegistryValue("b", "Name"));
  RegistryValue binary("a", "Name");
  binary.SetType(REG_BINARY);
  EXPECT_FALSE(binary == RegistryValue("a", "Name"));
  EXPECT_TRUE(RegistryValue() == RegistryValue());
}
