#pragma once
// What every export does with its arguments before using them. A host is
// outside our control: a reference may arrive null, and nothing may be
// thrown back at it.
//
// The compiler assumes a reference is never null and drops a plain
// `&ref == nullptr` test; ArgumentAddress hides the address from it first.

#include <cstring>
#include <string>

#include "CString.h"

template <class T>
inline const T* ArgumentAddress(const T& reference) {
  const T* address = &reference;
  asm volatile("" : "+r"(address));
  return address;
}

// A host's text up to its first NUL; an absent buffer is the empty text.
inline CString ArgumentText(const std::string& text) {
  const char* data = text.data();
  return data ? CString(data, strnlen(data, text.size())) : CString();
}

inline CString ArgumentText(const CString& text) { return text; }

// Runs an export's body; an exception (out of memory in the runtime, say)
// ends the call with `failed` instead of reaching the host.
template <class Result, class Body>
inline Result GuardExport(Result failed, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return failed;
  }
}

template <class Body>
inline void GuardExport(Body body) noexcept {
  try {
    body();
  } catch (...) {
  }
}
