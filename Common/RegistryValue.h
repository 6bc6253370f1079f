#pragma once
// RegistryValue: one registry value as the registry stores it: a type
// (REG_SZ, REG_DWORD, REG_BINARY, ...), a name (empty for the key's default
// value) and the raw data bytes. Text data carries its terminating NUL and
// the size counts it; a DWORD is four little-endian bytes. A record of size
// 0 has no data block.
//
// Data blocks come from malloc and go back to free: a block handed over
// with takeOver must have been allocated that way.

#include <windows.h>

#include "CString.h"

class RegistryValue {
 public:
  RegistryValue();
  RegistryValue(bool truth, const CString& name);
  RegistryValue(DWORD number, const CString& name);
  RegistryValue(const CString& text, const CString& name);
  // Without this a literal text would pick the truth-value constructor.
  RegistryValue(const char* text, const CString& name);
  // takeOver: the record keeps `data` itself and frees it; otherwise it
  // copies `size` bytes. A null block counts as no data (size 0).
  RegistryValue(DWORD type, void* data, DWORD size, const CString& name, bool takeOver);
  RegistryValue(const RegistryValue& other);
  RegistryValue& operator=(const RegistryValue& other);
  // Moves hand the data block over instead of copying it.
  RegistryValue(RegistryValue&& other) noexcept;
  RegistryValue& operator=(RegistryValue&& other) noexcept;
  virtual ~RegistryValue();

  DWORD Type() const { return type_; }
  const CString& Name() const { return name_; }
  const BYTE* Data() const { return data_; }
  DWORD Size() const { return size_; }
  bool HasData() const { return data_ != nullptr; }

  void SetType(DWORD type) { type_ = type; }
  void SetName(const CString& name) { name_ = name; }
  // Keeps the type.
  void SetBinary(const void* bytes, DWORD count);
  void SetDword(DWORD number);
  void SetBool(bool truth);
  void SetString(const CString& text);

  // The data up to its first NUL (or its end), whatever the type; a
  // REG_MULTI_SZ gives its first string.
  CString AsString() const;
  // REG_SZ: the text is "true", "TRUE" or "1". Other types: the first
  // 32-bit word is not zero; false with fewer than four bytes.
  bool AsBool() const;

  friend bool operator==(const RegistryValue& a, const RegistryValue& b);
  friend bool operator!=(const RegistryValue& a, const RegistryValue& b) { return !(a == b); }

 private:
  void FreeData();
  // Replaces the data by a copy; false (and no data) when out of memory.
  bool CopyData(const void* bytes, DWORD count);

  DWORD type_;
  CString name_;
  BYTE* data_;
  DWORD size_;
};
