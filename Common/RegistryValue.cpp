#include "RegistryValue.h"

#include <cstdlib>
#include <cstring>

RegistryValue::RegistryValue() : type_(REG_NONE), data_(nullptr), size_(0) {}

RegistryValue::RegistryValue(bool truth, const CString& name) : RegistryValue() {
  name_ = name;
  SetBool(truth);
}

RegistryValue::RegistryValue(DWORD number, const CString& name) : RegistryValue() {
  name_ = name;
  SetDword(number);
}

RegistryValue::RegistryValue(const CString& text, const CString& name) : RegistryValue() {
  name_ = name;
  SetString(text);
}

RegistryValue::RegistryValue(const char* text, const CString& name) : RegistryValue(CString(text), name) {}

RegistryValue::RegistryValue(DWORD type, void* data, DWORD size, const CString& name, bool takeOver)
    : type_(type), name_(name), data_(nullptr), size_(0) {
  if (takeOver) {
    if (size > 0 && data) {
      data_ = static_cast<BYTE*>(data);
      size_ = size;
    } else {
      free(data);
    }
  } else {
    CopyData(data, data ? size : 0);
  }
}

RegistryValue::RegistryValue(const RegistryValue& other) : RegistryValue() { *this = other; }

RegistryValue& RegistryValue::operator=(const RegistryValue& other) {
  if (this != &other) {
    type_ = other.type_;
    name_ = other.name_;
    CopyData(other.data_, other.size_);
  }
  return *this;
}

RegistryValue::RegistryValue(RegistryValue&& other) noexcept
    : type_(other.type_), name_(static_cast<CString&&>(other.name_)), data_(other.data_), size_(other.size_) {
  other.data_ = nullptr;
  other.size_ = 0;
}

RegistryValue& RegistryValue::operator=(RegistryValue&& other) noexcept {
  if (this != &other) {
    FreeData();
    type_ = other.type_;
    name_ = static_cast<CString&&>(other.name_);
    data_ = other.data_;
    size_ = other.size_;
    other.data_ = nullptr;
    other.size_ = 0;
  }
  return *this;
}

RegistryValue::~RegistryValue() { FreeData(); }

void RegistryValue::FreeData() {
  free(data_);
  data_ = nullptr;
  size_ = 0;
}

bool RegistryValue::CopyData(const void* bytes, DWORD count) {
  FreeData();
  if (count == 0 || !bytes) return true;
  data_ = static_cast<BYTE*>(malloc(count));
  if (!data_) return false;
  memcpy(data_, bytes, count);
  size_ = count;
  return true;
}

void RegistryValue::SetBinary(const void* bytes, DWORD count) { CopyData(bytes, count); }

void RegistryValue::SetDword(DWORD number) {
  // The registry stores REG_DWORD little-endian, as this machine does.
  CopyData(&number, sizeof number);
  type_ = REG_DWORD;
}

void RegistryValue::SetBool(bool truth) { SetDword(truth ? 1 : 0); }

void RegistryValue::SetString(const CString& text) {
  CopyData(text.CStr(), static_cast<DWORD>(text.Length() + 1));
  type_ = REG_SZ;
}

CString RegistryValue::AsString() const {
  if (!data_) return CString();
  // Data read from the registry need not end with a NUL: never read past it.
  const void* nul = memchr(data_, '\0', size_);
  size_t length = nul ? static_cast<size_t>(static_cast<const BYTE*>(nul) - data_) : size_;
  return CString(reinterpret_cast<const char*>(data_), length);
}

bool RegistryValue::AsBool() const {
  if (type_ == REG_SZ) {
    CString text = AsString();
    return text == "true" || text == "TRUE" || text == "1";
  }
  DWORD word = 0;
  if (!data_ || size_ < sizeof word) return false;
  memcpy(&word, data_, sizeof word);
  return word != 0;
}

bool operator==(const RegistryValue& a, const RegistryValue& b) {
  return a.type_ == b.type_ && a.name_ == b.name_ && a.size_ == b.size_ &&
         (a.size_ == 0 || memcmp(a.data_, b.data_, a.size_) == 0);
}
