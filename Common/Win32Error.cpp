#include "Win32Error.h"

CString Win32Error::Message() const {
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
  const DWORD userDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
  char* buffer = nullptr;
  CString text;
  DWORD length = FormatMessageA(flags, nullptr, code_, userDefaultLanguage, reinterpret_cast<char*>(&buffer), 0,
                                nullptr);
  if (length > 0 && buffer) {
    text = CString(buffer, length);
    text.Replace("\r\n", " ");
  }
  if (buffer) LocalFree(buffer);
  if (code_ != ERROR_SUCCESS && text.IsEmpty()) text = CString::Format("Win32 error # %lu", code_);
  return text;
}
