#include <gtest/gtest.h>

#include <string>

#include "Win32Error.h"

namespace {

// The system's own wording, read the way a user's program would.
std::string SystemText(DWORD code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                    FORMAT_MESSAGE_FROM_SYSTEM,
                                nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length && buffer ? std::string(buffer, length) : std::string();
  if (buffer) LocalFree(buffer);
  return text;
}

}  // namespace

TEST(Win32Error, KnownCodesReadAsTheSystemWordsThemOnOneLine) {
  for (DWORD code : {static_cast<DWORD>(ERROR_FILE_NOT_FOUND), static_cast<DWORD>(ERROR_ACCESS_DENIED),
                     static_cast<DWORD>(ERROR_MORE_DATA)}) {
    std::string system = SystemText(code);
    ASSERT_FALSE(system.empty()) << "the system has a text for " << code;
    std::string message = Win32Error(code).Message().CStr();
    EXPECT_EQ(std::string::npos, message.find_first_of("\r\n")) << message;
    // Each line break became one blank; nothing else changed.
    std::string expected;
    for (size_t i = 0; i < system.size(); ++i) {
      if (system.compare(i, 2, "\r\n") == 0) {
        expected += ' ';
        ++i;
      } else {
        expected += system[i];
      }
    }
    EXPECT_EQ(expected, message) << "code " << code;
  }
}

TEST(Win32Error, CodesWithoutASystemTextAreNumbered) {
  ASSERT_TRUE(SystemText(0x20001234).empty());
  EXPECT_STREQ("Win32 error # 536875572", Win32Error(0x20001234).Message().CStr());
  ASSERT_TRUE(SystemText(0xFFFFFFF0u).empty());
  EXPECT_STREQ("Win32 error # 4294967280", Win32Error(0xFFFFFFF0u).Message().CStr());
}

TEST(Win32Error, SuccessReadsAsTheSystemsTextOrNothing) {
  std::string system = SystemText(ERROR_SUCCESS);
  std::string message = Win32Error(ERROR_SUCCESS).Message().CStr();
  if (system.empty())
    EXPECT_EQ("", message);
  else
    EXPECT_EQ(std::string::npos, message.find("Win32 error #")) << message;
}

TEST(Win32Error, TheThreadsLastErrorGoesBothWays) {
  SetLastError(ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), Win32Error::LastError().Code());
  Win32Error::MakeCurrent(Win32Error(ERROR_INVALID_HANDLE));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

  Win32Error error(5);
  Win32Error copy(error);
  EXPECT_TRUE(copy == error);
  copy = 6;
  EXPECT_TRUE(copy != error);
  EXPECT_EQ(6u, copy.Code());
}
