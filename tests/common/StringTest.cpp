#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CString.h"

TEST(CString, CopiesShareUntilOneChanges) {
  CString original("C:\\WINDOWS");
  CString copy(original);
  EXPECT_EQ(original.CStr(), copy.CStr()) << "a copy shares the buffer";

  copy += "\\SYSTEM";
  EXPECT_STREQ("C:\\WINDOWS", original.CStr());
  EXPECT_STREQ("C:\\WINDOWS\\SYSTEM", copy.CStr());

  CString third(original);
  third.MakeLower();
  EXPECT_STREQ("C:\\WINDOWS", original.CStr());
  EXPECT_STREQ("c:\\windows", third.CStr());

  CString fourth(original);
  fourth.Replace('\\', '/');
  fourth.Truncate(3);
  EXPECT_STREQ("C:\\WINDOWS", original.CStr());
  EXPECT_STREQ("C:/", fourth.CStr());
}

TEST(CString, AppendingItselfAndItsOwnBytes) {
  CString s("ab");
  s += s;
  EXPECT_STREQ("abab", s.CStr());
  s.Append(s.CStr() + 1, 2);
  EXPECT_STREQ("ababba", s.CStr());
  s = &s.CStr()[s.Find('b') + 1];
  EXPECT_STREQ("abba", s.CStr()) << "assigned from its own buffer";
}

TEST(CString, NullAndEmptyTexts) {
  const char* none = nullptr;
  CString fromNull(none);
  EXPECT_TRUE(fromNull.IsEmpty());
  EXPECT_STREQ("", fromNull.CStr());
  fromNull += none;
  EXPECT_TRUE(fromNull.IsEmpty());
  EXPECT_EQ(CString::npos, fromNull.Find('x'));
  EXPECT_EQ(CString::npos, fromNull.Find(none));
  EXPECT_EQ('\0', fromNull.At(5));
  EXPECT_TRUE(fromNull == "");
  EXPECT_TRUE(CString("") == CString());
  EXPECT_TRUE(CString("a", 0).IsEmpty());
}

TEST(CString, EmbeddedNulCountsInLengthAndComparison) {
  CString a("a\0b", 3);
  EXPECT_EQ(3u, a.Length());
  EXPECT_FALSE(a == CString("a"));
  EXPECT_TRUE(CString("a") < a);
}

TEST(CString, SubstringsClampToTheText) {
  CString s("Hewlett-Packard");
  EXPECT_STREQ("Hewlett", s.Left(s.Find('-')).CStr());
  EXPECT_STREQ("Packard", s.Mid(8).CStr());
  EXPECT_STREQ("", s.Mid(100).CStr());
  EXPECT_STREQ("Pack", s.Mid(8, 4).CStr());
  EXPECT_STREQ("ard", s.Right(3).CStr());
  EXPECT_STREQ("Hewlett-Packard", s.Right(300).CStr());
  EXPECT_STREQ("Hewlett-Packard", s.Left(CString::npos).CStr());
}

TEST(CString, SearchesAndReplacement) {
  CString s("a\\b\\c");
  EXPECT_EQ(1u, s.Find('\\'));
  EXPECT_EQ(3u, s.Find('\\', 2));
  EXPECT_EQ(3u, s.ReverseFind('\\'));
  EXPECT_EQ(2u, s.Count('\\'));
  EXPECT_EQ(2u, s.Find("b\\c"));
  EXPECT_EQ(CString::npos, s.Find("b\\d"));
  CString t("\r\nline\r\n");
  t.Replace("\r\n", " ");
  EXPECT_STREQ(" line ", t.CStr());
  EXPECT_TRUE(s.EndsWith('c'));
  EXPECT_FALSE(s.EndsWith('\\'));
  EXPECT_TRUE(s.StartsWith("a\\"));
  EXPECT_EQ(0, CString("hklm\\Software").CompareNoCase("HKLM\\SOFTWARE"));
}

TEST(CString, FormattingGrowsPastEveryBufferSize) {
  EXPECT_STREQ("Win32 error # 4294967295", CString::Format("Win32 error # %lu", 0xFFFFFFFFul).CStr());
  EXPECT_STREQ("", CString::Format("%s", "").CStr());
  for (size_t size : {511u, 512u, 513u, 4096u, 65535u, 65536u, 65537u, 300000u}) {
    std::string text(size, 'q');
    text[0] = 'A';
    text[size - 1] = 'Z';
    CString formatted = CString::Format("<%s>", text.c_str());
    ASSERT_EQ(size + 2, formatted.Length()) << size;
    EXPECT_EQ("<" + text + ">", std::string(formatted.CStr())) << size;
  }
}

// Code page 932: the second byte of many double-byte characters equals "\"
// (0x5C) or a lower-case letter; byte-wise handling would split them.
// "\x95\x5C" is one character (a kanji), "\x83\x61" another.
TEST(CString_Cp932, DoubleByteCharactersAreNeverSplit) {
  ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
  CString s("C:\\\x95\x5C\\x\x95\x5C");
  EXPECT_EQ(2u, s.Find('\\'));
  EXPECT_EQ(5u, s.ReverseFind('\\'));
  EXPECT_EQ(2u, s.Count('\\'));
  EXPECT_FALSE(s.EndsWith('\\'));
  EXPECT_TRUE(s.IsLeadByteAt(3));
  EXPECT_FALSE(s.IsLeadByteAt(4));

  CString slashed(s);
  slashed.Replace('\\', '/');
  EXPECT_STREQ("C:/\x95\x5C/x\x95\x5C", slashed.CStr());

  CString lower("a\x83\x61");
  EXPECT_STREQ("A\x83\x61", lower.Upper().CStr()) << "the trail byte 0x61 is not the letter a";
  EXPECT_EQ(CString::npos, CString("\x83\x61").Find('a'));
  EXPECT_EQ(CString::npos, CString("\x83\x61").Find("a"));
}
