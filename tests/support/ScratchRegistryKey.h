#pragma once
// The library's RegistryKey for a test's scratch key (RawRegistry.h), with
// the access mask every key of the library carries unless a test asks for
// another.

#include <gtest/gtest.h>

#include <string>

#include "RawRegistry.h"
#include "RegistryKey.h"

const REGSAM kAccess = RegistryKey::kKeyAccess;

// Named, not opened: the key as a caller builds it from its text.
inline RegistryKey KeyAt(const ScratchKey& scratch, const std::string& below = "", REGSAM access = kAccess) {
  return RegistryKey(CString(scratch.Text(below).c_str()), access);
}

// Opened, and the test fails when it does not open.
inline RegistryKey OpenKeyAt(const ScratchKey& scratch, const std::string& below = "", REGSAM access = kAccess) {
  RegistryKey key = KeyAt(scratch, below, access);
  EXPECT_TRUE(key.Open(access)) << scratch.Text(below) << ": " << key.LastError();
  return key;
}
