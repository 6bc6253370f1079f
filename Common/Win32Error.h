#pragma once
// Win32Error: one Windows error code (what GetLastError returns) and its
// message text as the system words it, in the user's language. Codes the
// system has no text for read "Win32 error # <code>".

#include <windows.h>

#include "CString.h"

class Win32Error {
 public:
  Win32Error() : code_(ERROR_SUCCESS) {}
  Win32Error(DWORD code) : code_(code) {}
  Win32Error& operator=(DWORD code) {
    code_ = code;
    return *this;
  }

  // The calling thread's last error.
  static Win32Error LastError() { return Win32Error(GetLastError()); }
  // Makes `error` the calling thread's last error.
  static void MakeCurrent(const Win32Error& error) { SetLastError(error.code_); }

  DWORD Code() const { return code_; }
  // The system's text on one line (its line breaks become blanks).
  CString Message() const;

  friend bool operator==(const Win32Error& a, const Win32Error& b) { return a.code_ == b.code_; }
  friend bool operator!=(const Win32Error& a, const Win32Error& b) { return a.code_ != b.code_; }

 private:
  DWORD code_;
};
